#include "KxIni.h"

#include <QFile>
#include <QStringList>

namespace {

// The buffer holds a terminating zero, so 4095 bytes of text at most; a character
// that does not fit whole is left out rather than cut into invalid UTF-8.
constexpr qsizetype kBufferBytes = 4096;

QString fitBuffer(const QString &value)
{
    QByteArray bytes = value.toUtf8();
    if (bytes.size() < kBufferBytes)
        return value;
    bytes.truncate(kBufferBytes - 1);
    qsizetype end = bytes.size();
    qsizetype start = end - 1;
    while (start > 0 && (quint8(bytes.at(start)) & 0xC0) == 0x80)
        --start;
    const quint8 lead = quint8(bytes.at(start));
    const qsizetype need = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (end - start < need)
        bytes.truncate(start);
    return QString::fromUtf8(bytes);
}

// The profile-string reader drops one pair of quotes, double or single, that encloses
// the whole value; a lone quote or quotes inside the value are kept.
QString stripEnclosingQuotes(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

KxIni::KxIni(const QString &path) : m_path(path) {}

QString KxIni::TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString KxIni::ReadString(const QString &section, const QString &key, const QString &def) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return def;
    QByteArray content = file.readAll();
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    const QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));

    bool inSection = false;
    bool sectionSeen = false;
    for (const QString &raw : lines) {
        const QString line = TrimBlanks(raw);
        if (line.startsWith(QLatin1Char('['))) {
            // Only the first section of that name counts, as with the platform reader.
            if (sectionSeen)
                break;
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = TrimBlanks(line.mid(1, close < 0 ? -1 : close - 1));
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = inSection;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (TrimBlanks(line.left(equals)).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString value =
            TrimBlanks(fitBuffer(stripEnclosingQuotes(TrimBlanks(line.mid(equals + 1)))));
        return value.isEmpty() ? def : value;
    }
    return def;
}
