#include "KxDateTime.h"

#include <QDateTime>

#include <array>

namespace {

// A scanf-like reader for the three text forms: "%d" takes optional blanks, an
// optional sign and at least one digit; any other format character must match.
// Returns how many numbers were read before the first mismatch.
int scan(const QString &text, const char *format, std::array<int, 9> &numbers)
{
    int count = 0;
    qsizetype pos = 0;
    for (const char *f = format; *f; ++f) {
        if (f[0] == '%' && f[1] == 'd') {
            ++f;
            while (pos < text.size() && text.at(pos).isSpace())
                ++pos;
            bool negative = false;
            if (pos < text.size() && (text.at(pos) == u'+' || text.at(pos) == u'-'))
                negative = text.at(pos++) == u'-';
            const qsizetype digits = pos;
            qint64 value = 0;
            while (pos < text.size() && text.at(pos).isDigit() && text.at(pos).unicode() < 128) {
                value = std::min<qint64>(value * 10 + (text.at(pos).unicode() - '0'), INT32_MAX);
                ++pos;
            }
            if (pos == digits)
                return count;
            numbers[size_t(count++)] = int(negative ? -value : value);
        } else {
            if (pos >= text.size() || text.at(pos) != QLatin1Char(*f))
                return count;
            ++pos;
        }
    }
    return count;
}

} // namespace

KxDateTime KxDateTime::Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    KxDateTime dt;
    dt.Year = quint16(now.date().year());
    dt.Month = quint8(now.date().month());
    dt.Day = quint8(now.date().day());
    dt.Hour = quint8(now.time().hour());
    dt.Minutes = quint8(now.time().minute());
    dt.Seconds = quint8(now.time().second());
    return dt;
}

KxDateTime KxDateTime::FromText(const QString &text)
{
    std::array<int, 9> n{};
    char direction = '+';
    if (scan(text, "%d-%d-%d,%d:%d:%d.%d,+%d:%d", n) != 9) {
        n.fill(0);
        if (scan(text, "%d-%d-%d,%d:%d:%d.%d,-%d:%d", n) == 9) {
            direction = '-';
        } else {
            n.fill(0);
            scan(text, "%d-%d-%d,%d:%d:%d.%d", n);
            n[7] = n[8] = 0;
        }
    }
    KxDateTime dt;
    dt.Year = quint16(n[0]);
    dt.Month = quint8(n[1]);
    dt.Day = quint8(n[2]);
    dt.Hour = quint8(n[3]);
    dt.Minutes = quint8(n[4]);
    dt.Seconds = quint8(n[5]);
    dt.DeciSeconds = quint8(n[6]);
    dt.Direction = direction;
    dt.UtcHours = quint8(n[7]);
    dt.UtcMinutes = quint8(n[8]);
    return dt;
}

QString KxDateTime::ToText() const
{
    QString text = QStringLiteral("%1-%2-%3,%4:%5:%6.%7")
                       .arg(Year).arg(Month).arg(Day)
                       .arg(Hour).arg(Minutes).arg(Seconds).arg(DeciSeconds);
    // An offset is only written with a direction a reader can parse back.
    if ((UtcHours != 0 || UtcMinutes != 0) && (Direction == '+' || Direction == '-'))
        text += QStringLiteral(",%1%2:%3").arg(QLatin1Char(Direction)).arg(UtcHours).arg(UtcMinutes);
    return text;
}

KxDateTime KxDateTime::FromImage(const QByteArray &image)
{
    std::array<quint8, ImageSize> o{};
    for (qsizetype i = 0; i < std::min<qsizetype>(image.size(), ImageSize); ++i)
        o[size_t(i)] = quint8(image.at(i));
    KxDateTime dt;
    dt.Year = quint16((o[0] << 8) | o[1]);
    dt.Month = o[2];
    dt.Day = o[3];
    dt.Hour = o[4];
    dt.Minutes = o[5];
    dt.Seconds = o[6];
    dt.DeciSeconds = o[7];
    dt.Direction = char(o[8]);
    dt.UtcHours = o[9];
    dt.UtcMinutes = o[10];
    return dt;
}

QByteArray KxDateTime::ToImage() const
{
    const char octets[ImageSize] = {
        char(Year >> 8), char(Year & 0xFF), char(Month), char(Day), char(Hour),
        char(Minutes), char(Seconds), char(DeciSeconds), Direction, char(UtcHours),
        char(UtcMinutes)};
    return QByteArray(octets, ImageSize);
}
