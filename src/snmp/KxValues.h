// The text form of every value syntax, in both directions, and the octet images the
// binding layer cuts values into. Every value the layer holds is its display text.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QTime>
#include <QString>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>

#include <vector>

namespace KxSyntax {
constexpr unsigned Boolean = 1;
constexpr unsigned Integer = 2;
constexpr unsigned BitString = 3;
constexpr unsigned OctetString = 4;
constexpr unsigned Null = 5;
constexpr unsigned ObjectId = 6;
constexpr unsigned IpAddress = 64;
constexpr unsigned Counter32 = 65;
constexpr unsigned Gauge32 = 66;
constexpr unsigned TimeTicks = 67;
constexpr unsigned Opaque = 68;
constexpr unsigned NsapAddress = 69;
constexpr unsigned Counter64 = 70;
constexpr unsigned UInteger32 = 71;
constexpr unsigned Double = 72;
constexpr unsigned MacAddress = 73;
constexpr unsigned DateTime = 74;
constexpr unsigned DayCount = 75;
constexpr unsigned DisplayString = 76;
// Partial-data syntaxes: only for bindings that show part of a value.
constexpr unsigned Bool8 = 193;
constexpr unsigned Signed8 = 194;
constexpr unsigned Unsigned8 = 195;
constexpr unsigned Bool16 = 196;
constexpr unsigned Unsigned16 = 197;
constexpr unsigned Unsigned16b = 198;

// True for the codes a variable descriptor may carry (not the partial ones).
bool IsVariableSyntax(unsigned syntax);
// True for every code with an octet image, partial ones included.
bool IsImageSyntax(unsigned syntax);
} // namespace KxSyntax

namespace KxValueText {
inline const QString Null = QStringLiteral("(NULL)");
inline const QString NotDone = QStringLiteral("(NOTDONE)");
inline const QString True = QStringLiteral("true");
inline const QString False = QStringLiteral("false");
} // namespace KxValueText

// A value ready for snmp_pdu_add_variable / snmp_set_var_typed_value: the ASN type and
// the bytes in the layout net-snmp expects for it (long, u_long, counter64, oid[] ...).
struct KxSetValue {
    u_char type = ASN_NULL;
    QByteArray data;
};

// Response varbind -> display text for a variable of `syntax` (before any option
// list). A varbind of a type the syntax cannot read counts as an empty value, so a
// response never raises. An unknown syntax raises -511.
QString VarbindToText(const netsnmp_variable_list &vb, unsigned syntax);
// Display text -> the value a set sends for `syntax`. "(NULL)" always sends NULL.
// An unknown syntax raises -511.
KxSetValue TextToSetValue(unsigned syntax, const QString &text);

// Octet images: "(NULL)" gives an empty image and an empty image gives "(NULL)"
// (the empty text for display strings). A non-empty image shorter than the syntax
// needs raises -518; an unknown syntax raises -511.
QByteArray TextToImage(unsigned syntax, const QString &text);
QString ImageToText(unsigned syntax, const QByteArray &image);

// Octets an image of the syntax holds: -1 for the variable-length syntaxes, 0 for
// null; -511 for an unknown syntax.
int ImageSize(unsigned syntax);

// Helpers shared with the variable lists and the screens.
QString HexText(const QByteArray &octets);             // uppercase, no separators
QByteArray HexToOctets(const QString &text);           // spaces ignored; odd: first digit alone
qint32 LeadingInt32(const QString &text);              // 0 when there is no number
quint32 LeadingUInt32(const QString &text);
QString TimeTicksText(quint32 ticks);
quint32 TimeTicksFromText(const QString &text);        // the three text forms, or a plain count
QString OidText(const oid *name, size_t length);       // dotted, no leading dot
std::vector<oid> OidFromText(const QString &text);     // empty on any malformed part
QString DayCountText(double dayCount);                 // "yyyy/mm/dd hh:nn:ss am"
// Day counts: days since 1899-12-30 with the time of day as fraction (before that day
// the fraction still counts forward from midnight). False for no representable date.
bool DayCountToDateTime(double dayCount, QDate &date, QTime &time);
double DayCountOf(const QDate &date, const QTime &time);
double DayCountFromText(const QString &text);          // 0 when no form matches
QString DoubleText(double value);
