// Error codes, their texts and the replaceable message catalogs of the access layer.
//
// Every status the layer meets becomes one signed code and one text. The texts start
// as the built-in tables below and may be replaced, table by table, from catalog files
// so that they can be reworded without rebuilding.
#pragma once

#include <QString>
#include <QTime>

#include <initializer_list>
#include <stdexcept>
#include <utility>

enum class KxFamily {
    SNMP,        // "snmp.err": agent error status 1..19 -> -101..-119
    SNMPv3,      // "snmpv3.err": message-processing status -1402..-1418 -> -201..-217
    SNMPv3USM,   // "snmpusm.err": USM status 1401..1414 -> -301..-314
    SNMPClass,   // "snmpclass.err": library status -1..-23 -> -401..-423
    KxSNMPpp,    // "kxsnmp.err": the layer's own, line n is code -500 - n (line 0 is 0)
    RequestLog,  // "snmp.msg": line 0 get, line 1 set
    KxCommon,    // "common.err": input constraints and the common helpers
};

// Codes of the layer's own family.
namespace KxCode {
constexpr int Ok = 0;
constexpr int CannotCreateSession = -506;
constexpr int BootsLoad = -507;
constexpr int BootsSave = -508;
constexpr int InvalidAddress = -509;
constexpr int GetNextOnSingle = -510;
constexpr int BadSyntax = -511;
constexpr int BadKeyCount = -514;
constexpr int BadItemType = -515;
constexpr int BadPartialSyntax = -517;
constexpr int BadPartialValue = -518;
constexpr int PartialOutOfRange = -519;
constexpr int NoOptionList = -520;
constexpr int BadControlType = -521;
constexpr int NotEnoughControls = -522;
constexpr int Unknown = -528;
constexpr int Timeout = -405;
constexpr int NoSuchName = -102;
} // namespace KxCode

// Fields and their order follow the record handed to error handlers and completions.
struct KxSNMPError {
    qint32 Code = 0;
    qint32 ErrorIndex = 0;
    QString Text;
    QString AgentAddress;
    quint16 AgentPort = 0;
    bool Finished = false;
    qint64 ErrorSerial = 0;
};

// The layer's failures: the message is the catalog text, HelpContext the code.
class KxException : public std::runtime_error {
public:
    KxException(const QString &text, int code);
    QString Text() const { return m_text; }
    int HelpContext() const { return m_code; }

private:
    QString m_text;
    int m_code;
};

// The current text of a line of a family's table. A line past the end of a loaded
// catalog falls back to the built-in text so that no code ever shows an empty message.
QString FamilyText(KxFamily family, int line);
int FamilyLineCount(KxFamily family);

// Maps a status of any family (agent error status, library, message processing, USM)
// to the layer's code and the current text of that code.
struct KxStatusText {
    int code;
    QString text;
};
KxStatusText StatusToText(int status);

// Text of a code of the layer's result space (0, -101..-528); -528's text otherwise.
QString CodeText(int code);

// Throws KxException with the current text of a KxSNMP++ code (0, -501..-528).
[[noreturn]] void ThrowKx(int code);
// Throws KxException with KxCommon line `line` and code -line.
[[noreturn]] void ThrowCommon(int line);

// Replaces a family's table with the non-blank lines of a catalog file. A file that
// cannot be read or holds no non-blank line leaves the table as it is.
// Returns true when the table was replaced.
bool CatalogLoad(KxFamily family, const QString &path);
// The catalog file name of each family ("snmp.err", ..., "snmp.msg").
QString CatalogFileName(KxFamily family);
// Puts every table back to its built-in texts (tests; a new profile of catalogs).
void CatalogResetAll();

// Replaces each placeholder in one left-to-right pass: a replacement is never
// searched again, whatever it contains.
QString Substitute(const QString &text,
                   std::initializer_list<std::pair<QString, QString>> values);

// The line a request writes to its status target: format 0 (get) or 1 (set) of the
// request log formats with [ERROR], [VARLIST] and [TIME] filled in.
// Which morning and afternoon markers a time text carries.
enum class KxTimeMarker { Locale, English };
QString RequestLogLine(int format, const QString &listName, const QString &message,
                       const QTime &now = QTime::currentTime(), KxTimeMarker marker = KxTimeMarker::Locale);
// "hh:nn:ss AM/PM" with the locale's morning and afternoon markers, or "AM"/"PM".
QString LogTimeText(const QTime &time, KxTimeMarker marker = KxTimeMarker::Locale);
