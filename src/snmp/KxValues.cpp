#include "KxValues.h"

#include "KxDateTime.h"
#include "KxErrors.h"

#include <QDateTime>
#include <QLocale>
#include <QVarLengthArray>
#include <QStringDecoder>
#include <QtEndian>

#include <net-snmp/net-snmp-includes.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace KxSyntax {

bool IsVariableSyntax(unsigned s)
{
    return (s >= Boolean && s <= ObjectId) || (s >= IpAddress && s <= DisplayString);
}

bool IsImageSyntax(unsigned s)
{
    return IsVariableSyntax(s) || (s >= Bool8 && s <= Unsigned16b);
}

} // namespace KxSyntax

using namespace KxSyntax;

namespace {

constexpr qint64 kDayMs = 86400000;
const QDate kDayZero(1899, 12, 30);

void requireSyntax(unsigned syntax, bool (*known)(unsigned))
{
    if (!known(syntax))
        ThrowKx(KxCode::BadSyntax);
}

bool isIntegerType(u_char type)
{
    return type == ASN_INTEGER || type == ASN_COUNTER || type == ASN_GAUGE
           || type == ASN_TIMETICKS || type == ASN_UINTEGER;
}

bool isOctetType(u_char type)
{
    return type == ASN_OCTET_STR || type == ASN_BIT_STR || type == ASN_OPAQUE
           || type == ASN_NSAP || type == ASN_IPADDRESS;
}

QByteArray octetsOf(const netsnmp_variable_list &vb)
{
    if (!vb.val.string || vb.val_len == 0)
        return {};
    return QByteArray(reinterpret_cast<const char *>(vb.val.string), qsizetype(vb.val_len));
}

QString displayText(const QByteArray &octets)
{
    const qsizetype zero = octets.indexOf('\0');
    const QByteArray chars = zero < 0 ? octets : octets.left(zero);
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(chars);
    // Octets that are not UTF-8 come from older firmware: keep every octet visible.
    return decoder.hasError() ? QString::fromLatin1(chars) : text;
}

QString ipText(const QByteArray &octets)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(quint8(octets[0])).arg(quint8(octets[1])).arg(quint8(octets[2])).arg(quint8(octets[3]));
}

double doubleOf(const QByteArray &octets)
{
    return qFromLittleEndian<double>(octets.constData());
}

QByteArray doubleImage(double value)
{
    QByteArray out(8, '\0');
    qToLittleEndian(value, out.data());
    return out;
}

template <typename T>
QByteArray littleEndian(T value)
{
    QByteArray out(sizeof(T), '\0');
    qToLittleEndian(value, out.data());
    return out;
}

template <typename T>
QByteArray bigEndian(T value)
{
    QByteArray out(sizeof(T), '\0');
    qToBigEndian(value, out.data());
    return out;
}

QByteArray ipImage(const QString &text)
{
    QByteArray out;
    for (const QString &part : text.split(QLatin1Char('.')))
        out.append(char(quint8(LeadingUInt32(part))));
    return out;
}

// Parses an optional sign and decimal digits after leading blanks, saturating.
qint64 leadingNumber(const QString &text)
{
    qsizetype pos = 0;
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == u'+' || text.at(pos) == u'-'))
        negative = text.at(pos++) == u'-';
    qint64 value = 0;
    constexpr qint64 kLimit = qint64(1) << 40;
    while (pos < text.size() && text.at(pos) >= u'0' && text.at(pos) <= u'9') {
        value = std::min(value * 10 + (text.at(pos).unicode() - '0'), kLimit);
        ++pos;
    }
    return negative ? -value : value;
}

quint64 counter64FromText(const QString &text)
{
    const QByteArray latin = text.trimmed().toLatin1();
    char *end = nullptr;
    const long double value = std::strtold(latin.constData(), &end);
    if (end == latin.constData() || !(value > 0))
        return 0;
    if (value >= 18446744073709551615.0L)
        return std::numeric_limits<quint64>::max();
    return quint64(value);
}

double doubleFromText(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

KxSetValue integerValue(u_char type, long value)
{
    return {type, QByteArray(reinterpret_cast<const char *>(&value), sizeof value)};
}

KxSetValue unsignedValue(u_char type, quint32 value)
{
    const u_long v = value;
    return {type, QByteArray(reinterpret_cast<const char *>(&v), sizeof v)};
}

KxSetValue octetValue(const QByteArray &octets)
{
    return {ASN_OCTET_STR, octets};
}

QString unsignedText(const netsnmp_variable_list &vb)
{
    if (vb.type == ASN_COUNTER64 && vb.val.counter64) {
        return QString::number(quint32(vb.val.counter64->low));
    }
    return isIntegerType(vb.type) && vb.val.integer ? QString::number(quint32(*vb.val.integer))
                                                    : QString();
}

} // namespace

int ImageSize(unsigned syntax)
{
    switch (syntax) {
    case Boolean: case Integer: case IpAddress: case Counter32: case Gauge32: case TimeTicks:
    case NsapAddress: case UInteger32:
        return 4;
    case Counter64: case Double: case DayCount:
        return 8;
    case MacAddress:
        return 6;
    case DateTime:
        return KxDateTime::ImageSize;
    case Bool8: case Signed8: case Unsigned8:
        return 1;
    case Bool16: case Unsigned16: case Unsigned16b:
        return 2;
    case BitString: case OctetString: case ObjectId: case Opaque: case DisplayString:
        return -1;
    case Null:
        return 0;
    default:
        ThrowKx(KxCode::BadSyntax);
    }
}

QString HexText(const QByteArray &octets)
{
    return QString::fromLatin1(octets.toHex().toUpper());
}

QByteArray HexToOctets(const QString &text)
{
    QByteArray digits;
    for (QChar c : text) {
        if (c == u' ')
            continue;
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'x'))
            break;
        digits.append(c.toLatin1());
    }
    if (digits.size() % 2)
        digits.prepend('0');
    return QByteArray::fromHex(digits);
}

qint32 LeadingInt32(const QString &text)
{
    return qint32(std::clamp<qint64>(leadingNumber(text), INT32_MIN, INT32_MAX));
}

quint32 LeadingUInt32(const QString &text)
{
    return quint32(std::clamp<qint64>(leadingNumber(text), 0, UINT32_MAX));
}

QString TimeTicksText(quint32 ticks)
{
    const quint32 days = ticks / 8640000;
    const quint32 rest = ticks % 8640000;
    const QString clock = QStringLiteral("%1:%2:%3.%4")
                              .arg(rest / 360000)
                              .arg(rest / 6000 % 60, 2, 10, QLatin1Char('0'))
                              .arg(rest / 100 % 60, 2, 10, QLatin1Char('0'))
                              .arg(rest % 100, 2, 10, QLatin1Char('0'));
    if (days == 0)
        return clock;
    if (days == 1)
        return QStringLiteral("1 day ") + clock;
    return QStringLiteral("%1 days, ").arg(days) + clock;
}

quint32 TimeTicksFromText(const QString &text)
{
    QString rest = text.trimmed();
    quint64 days = 0;
    const qsizetype dayWord = rest.indexOf(QLatin1String(" day"));
    if (dayWord > 0) {
        days = quint64(std::max<qint64>(leadingNumber(rest.left(dayWord)), 0));
        rest = rest.mid(dayWord + 4);
        if (rest.startsWith(QLatin1Char('s')))
            rest.remove(0, 1);
        if (rest.startsWith(QLatin1Char(',')))
            rest.remove(0, 1);
        rest = rest.trimmed();
    }
    if (!rest.contains(QLatin1Char(':')))
        return quint32(std::min<quint64>(days * 8640000 + quint64(LeadingUInt32(rest)), UINT32_MAX));
    const QStringList clock = rest.split(QLatin1Char(':'));
    quint64 hours = LeadingUInt32(clock.value(0));
    quint64 minutes = LeadingUInt32(clock.value(1));
    const QStringList seconds = clock.value(2).split(QLatin1Char('.'));
    quint64 whole = LeadingUInt32(seconds.value(0));
    quint64 hundredths = LeadingUInt32(seconds.value(1));
    const quint64 total = days * 8640000 + hours * 360000 + minutes * 6000 + whole * 100 + hundredths;
    return quint32(std::min<quint64>(total, UINT32_MAX));
}

QString OidText(const oid *name, size_t length)
{
    // Every response passes through here: format into one buffer, allocate once.
    QVarLengthArray<char, 256> buffer;
    char digits[24];
    for (size_t i = 0; i < length; ++i) {
        if (i)
            buffer.append('.');
        quint64 value = quint64(name[i]);
        int n = 0;
        do {
            digits[n++] = char('0' + value % 10);
            value /= 10;
        } while (value);
        while (n)
            buffer.append(digits[--n]);
    }
    return QString::fromLatin1(buffer.constData(), buffer.size());
}

std::vector<oid> OidFromText(const QString &text)
{
    std::vector<oid> out;
    const QChar *c = text.constData();
    const QChar *end = c + text.size();
    while (c < end && c->isSpace())
        ++c;
    while (end > c && (end - 1)->isSpace())
        --end;
    if (c < end && *c == u'.')
        ++c;
    if (c == end)
        return out;
    out.reserve(16);
    while (c <= end) {
        quint64 value = 0;
        const QChar *start = c;
        while (c < end && c->unicode() >= u'0' && c->unicode() <= u'9') {
            value = value * 10 + (c->unicode() - u'0');
            if (value > UINT32_MAX)
                return {};
            ++c;
        }
        if (c == start || (c < end && *c != u'.'))
            return {};
        out.push_back(oid(value));
        ++c; // past the dot, or past the end to stop
    }
    return out;
}

QString DoubleText(double value)
{
    return QString::number(value, 'g', 15);
}

bool DayCountToDateTime(double dayCount, QDate &date, QTime &time)
{
    // Days before the epoch carry the time of day as a positive fraction.
    if (!std::isfinite(dayCount) || std::fabs(dayCount) > 2.0e6)
        return false;
    const double whole = std::trunc(dayCount);
    qint64 ms = std::llround(std::fabs(dayCount - whole) * double(kDayMs));
    qint64 days = qint64(whole);
    if (ms >= kDayMs) {
        ms -= kDayMs;
        days += 1;
    }
    date = kDayZero.addDays(days);
    time = QTime::fromMSecsSinceStartOfDay(int(ms));
    return true;
}

double DayCountOf(const QDate &date, const QTime &time)
{
    const qint64 days = kDayZero.daysTo(date);
    const double fraction = double(time.msecsSinceStartOfDay()) / double(kDayMs);
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QString DayCountText(double dayCount)
{
    QDate date;
    QTime time;
    if (!DayCountToDateTime(dayCount, date, time))
        return KxValueText::Null;
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1/%2/%3 %4:%5:%6 %7")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QLatin1String("am") : QLatin1String("pm"));
}

double DayCountFromText(const QString &text)
{
    const QString t = text.trimmed();
    QDateTime dt;
    static const char *const kForms[] = {
        "yyyy/MM/dd hh:mm:ss ap", "yyyy/MM/dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-ddTHH:mm:ss",    "yyyy/MM/dd",          "yyyy-MM-dd",
    };
    for (const char *form : kForms) {
        dt = QLocale::c().toDateTime(t, QString::fromLatin1(form));
        if (dt.isValid())
            break;
    }
    if (!dt.isValid())
        dt = QLocale().toDateTime(t, QLocale::ShortFormat);
    if (!dt.isValid())
        return 0.0;
    return DayCountOf(dt.date(), dt.time());
}

QString VarbindToText(const netsnmp_variable_list &vb, unsigned syntax)
{
    requireSyntax(syntax, IsVariableSyntax);
    const bool integer = isIntegerType(vb.type) && vb.val.integer;
    const bool octets = isOctetType(vb.type);
    QString text;
    switch (syntax) {
    case Boolean:
        if (integer)
            text = *vb.val.integer != 0 ? KxValueText::True : KxValueText::False;
        break;
    case Integer:
        if (integer)
            text = QString::number(qint32(*vb.val.integer));
        break;
    case Counter32: case Gauge32: case UInteger32:
        text = unsignedText(vb);
        break;
    case TimeTicks:
        if (integer)
            text = TimeTicksText(quint32(*vb.val.integer));
        break;
    case Counter64:
        if (vb.type == ASN_COUNTER64 && vb.val.counter64)
            text = QString::number((quint64(vb.val.counter64->high & 0xFFFFFFFF) << 32)
                                   | quint64(vb.val.counter64->low & 0xFFFFFFFF));
        else if (integer)
            text = QString::number(quint32(*vb.val.integer));
        break;
    case BitString: case OctetString: case Opaque: case MacAddress:
        // Hex syntaxes show an empty value as the empty text, never as "(NULL)".
        return octets ? HexText(octetsOf(vb)) : QString();
    case DisplayString:
        return octets ? displayText(octetsOf(vb)) : QString();
    case Null:
        return KxValueText::Null;
    case ObjectId:
        if (vb.type == ASN_OBJECT_ID && vb.val.objid)
            text = OidText(vb.val.objid, vb.val_len / sizeof(oid));
        break;
    case IpAddress: case NsapAddress:
        if (octets && vb.val_len >= 4)
            text = ipText(octetsOf(vb));
        break;
    case Double:
        if (octets && vb.val_len >= 8)
            text = DoubleText(doubleOf(octetsOf(vb)));
        break;
    case DayCount:
        if (octets && vb.val_len >= 8)
            text = DayCountText(doubleOf(octetsOf(vb)));
        break;
    case DateTime:
        if (octets && vb.val_len >= 8)
            text = KxDateTime::FromImage(octetsOf(vb)).ToText();
        break;
    }
    return text.isEmpty() ? KxValueText::Null : text;
}

KxSetValue TextToSetValue(unsigned syntax, const QString &text)
{
    requireSyntax(syntax, IsVariableSyntax);
    if (text == KxValueText::Null || syntax == Null)
        return {};
    switch (syntax) {
    case Boolean:
        return integerValue(ASN_INTEGER, text == KxValueText::True ? 1 : 0);
    case Integer:
        return integerValue(ASN_INTEGER, LeadingInt32(text));
    case Counter32:
        return unsignedValue(ASN_COUNTER, LeadingUInt32(text));
    case Gauge32:
        return unsignedValue(ASN_GAUGE, LeadingUInt32(text));
    case UInteger32:
        return unsignedValue(ASN_UINTEGER, LeadingUInt32(text));
    case TimeTicks:
        return unsignedValue(ASN_TIMETICKS, TimeTicksFromText(text));
    case Counter64: {
        const quint64 value = counter64FromText(text);
        struct counter64 c {};
        c.high = u_long(value >> 32);
        c.low = u_long(value & 0xFFFFFFFF);
        return {ASN_COUNTER64, QByteArray(reinterpret_cast<const char *>(&c), sizeof c)};
    }
    case BitString: case OctetString: case Opaque: case MacAddress:
        return octetValue(HexToOctets(text));
    case DisplayString:
        return octetValue(text.toUtf8());
    case ObjectId: {
        std::vector<oid> name = OidFromText(text);
        if (name.size() < 2)
            name = {0, 0}; // the smallest OID BER can carry
        return {ASN_OBJECT_ID, QByteArray(reinterpret_cast<const char *>(name.data()),
                                          qsizetype(name.size() * sizeof(oid)))};
    }
    case IpAddress: case NsapAddress: {
        QByteArray address = ipImage(text);
        address.resize(4, '\0');
        return {ASN_IPADDRESS, address};
    }
    case Double:
        return octetValue(doubleImage(doubleFromText(text)));
    case DayCount:
        return octetValue(doubleImage(DayCountFromText(text)));
    case DateTime:
        return octetValue(KxDateTime::FromText(text).ToImage());
    }
    return {};
}

QByteArray TextToImage(unsigned syntax, const QString &text)
{
    requireSyntax(syntax, IsImageSyntax);
    if (text == KxValueText::Null)
        return {};
    switch (syntax) {
    case Boolean:
        return littleEndian<quint32>(text == KxValueText::True ? 1 : 0);
    case Integer:
        return littleEndian<qint32>(LeadingInt32(text));
    case Counter32: case Gauge32: case UInteger32:
        return littleEndian<quint32>(LeadingUInt32(text));
    case BitString: case OctetString: case Opaque: case MacAddress:
        return HexToOctets(text);
    case Null:
        return {};
    case ObjectId: {
        QByteArray out;
        for (oid sub : OidFromText(text))
            out += littleEndian<quint32>(quint32(sub));
        return out;
    }
    case IpAddress: case NsapAddress:
        return ipImage(text);
    case TimeTicks:
        return littleEndian<quint32>(TimeTicksFromText(text));
    case Counter64: {
        const quint64 value = counter64FromText(text);
        return littleEndian<quint32>(quint32(value)) + littleEndian<quint32>(quint32(value >> 32));
    }
    case Double:
        return doubleImage(doubleFromText(text));
    case DayCount:
        return doubleImage(DayCountFromText(text));
    case DateTime:
        return KxDateTime::FromText(text).ToImage();
    case DisplayString:
        return text.toUtf8();
    case Bool8:
        return QByteArray(1, text == KxValueText::True ? 1 : 0);
    case Signed8:
        return QByteArray(1, char(qint8(LeadingInt32(text))));
    case Unsigned8:
        return QByteArray(1, char(quint8(LeadingUInt32(text))));
    case Bool16:
        return bigEndian<quint16>(text == KxValueText::True ? 1 : 0);
    case Unsigned16: case Unsigned16b:
        return bigEndian<quint16>(quint16(LeadingUInt32(text)));
    }
    return {};
}

QString ImageToText(unsigned syntax, const QByteArray &image)
{
    requireSyntax(syntax, IsImageSyntax);
    if (image.isEmpty())
        return syntax == DisplayString ? QString() : KxValueText::Null;
    const int need = ImageSize(syntax);
    if (need > 0 && image.size() < need)
        ThrowKx(KxCode::BadPartialValue);
    const char *data = image.constData();
    switch (syntax) {
    case Boolean:
        return qFromLittleEndian<quint32>(data) ? KxValueText::True : KxValueText::False;
    case Integer:
        return QString::number(qFromLittleEndian<qint32>(data));
    case Counter32: case Gauge32: case UInteger32:
        return QString::number(qFromLittleEndian<quint32>(data));
    case BitString: case OctetString: case Opaque:
        return HexText(image);
    case MacAddress:
        return HexText(image.left(6));
    case Null:
        return KxValueText::Null;
    case ObjectId: {
        QString text;
        for (qsizetype i = 0; i + 4 <= image.size(); i += 4) {
            if (i)
                text += QLatin1Char('.');
            text += QString::number(qFromLittleEndian<quint32>(data + i));
        }
        return text.isEmpty() ? KxValueText::Null : text;
    }
    case IpAddress: case NsapAddress:
        return ipText(image);
    case TimeTicks:
        return TimeTicksText(qFromLittleEndian<quint32>(data));
    case Counter64:
        return QString::number(quint64(qFromLittleEndian<quint32>(data))
                               | (quint64(qFromLittleEndian<quint32>(data + 4)) << 32));
    case Double:
        return DoubleText(doubleOf(image));
    case DayCount:
        return DayCountText(doubleOf(image));
    case DateTime:
        return KxDateTime::FromImage(image).ToText();
    case DisplayString:
        return displayText(image);
    case Bool8:
        return image.at(0) ? KxValueText::True : KxValueText::False;
    case Signed8:
        return QString::number(qint8(image.at(0)));
    case Unsigned8:
        return QString::number(quint8(image.at(0)));
    case Bool16:
        return qFromBigEndian<quint16>(data) ? KxValueText::True : KxValueText::False;
    case Unsigned16: case Unsigned16b:
        return QString::number(qFromBigEndian<quint16>(data));
    }
    return KxValueText::Null;
}
