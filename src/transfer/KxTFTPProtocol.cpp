#include "KxTFTPProtocol.h"

#include <QDir>
#include <QFileInfo>

namespace KxTFTP {
namespace {
quint16 Read16(const char *p)
{
    return quint16((quint16(quint8(p[0])) << 8) | quint8(p[1]));
}

void Append16(QByteArray &out, quint16 value)
{
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

// The NUL-terminated string at data[pos..size); nothing when it has no terminator.
std::optional<QByteArray> CString(const char *data, qsizetype size, qsizetype &pos)
{
    for (qsizetype i = pos; i < size; ++i) {
        if (data[i] == '\0') {
            QByteArray text(data + pos, i - pos);
            pos = i + 1;
            return text;
        }
    }
    return std::nullopt;
}
} // namespace

std::optional<Request> ParseRequest(const char *data, qsizetype size)
{
    if (size < 4)
        return std::nullopt;
    const quint16 opcode = Read16(data);
    if (opcode != RRQ && opcode != WRQ)
        return std::nullopt;
    qsizetype pos = 2;
    auto name = CString(data, size, pos);
    if (!name)
        return std::nullopt;
    auto mode = CString(data, size, pos);
    if (!mode)
        return std::nullopt;
    Request request{opcode, *name, *mode, {}};
    while (pos < size) {
        auto option = CString(data, size, pos);
        auto value = option ? CString(data, size, pos) : std::nullopt;
        if (!value)
            break;
        request.options.append(Option{option->toLower(), *value});
    }
    return request;
}

namespace {
// A plain decimal number; RFC 2347 values carry no sign, space or base prefix.
std::optional<qint64> Decimal(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}
} // namespace

Negotiated Negotiate(const Request &request, int maxBlockSize, qint64 fileSize)
{
    Negotiated out;
    const int blockCap = qBound(MinBlockSize, maxBlockSize, MaxBlockSize);
    QList<QByteArray> seen;
    for (const Option &option : request.options) {
        if (seen.contains(option.name))
            continue; // the first one counts; a repeat is no second offer
        seen.append(option.name);
        const auto value = Decimal(option.value);
        if (!value)
            continue;
        qint64 taken = -1;
        if (option.name == "blksize" && *value >= MinBlockSize) {
            out.blockSize = int(qMin<qint64>(*value, blockCap));
            taken = out.blockSize;
        } else if (option.name == "windowsize" && *value >= 1) {
            out.window = int(qMin<qint64>(*value, MaxWindow));
            taken = out.window;
        } else if (option.name == "timeout" && *value >= 1 && *value <= 255) {
            out.timeoutS = int(*value);
            taken = out.timeoutS;
        } else if (option.name == "tsize" && request.opcode == RRQ && fileSize > 0) {
            // Never "tsize 0": files under /proc claim that size whatever they hold, and
            // curl refuses an OACK that says so.
            taken = fileSize;
        } else if (option.name == "tsize" && request.opcode == WRQ) {
            out.tsize = *value;
            taken = out.tsize;
        }
        if (taken >= 0)
            out.accepted.append(Option{option.name, QByteArray::number(taken)});
    }
    return out;
}

QByteArray OackPacket(const QList<Option> &options)
{
    QByteArray out;
    Append16(out, OACK);
    for (const Option &option : options)
        out += option.name + '\0' + option.value + '\0';
    return out;
}

std::optional<Header> ParseHeader(const char *data, qsizetype size)
{
    if (size < 4)
        return std::nullopt;
    return Header{Read16(data), Read16(data + 2)};
}

QByteArray DataPacket(quint16 block, const char *payload, qsizetype size)
{
    QByteArray out;
    out.reserve(4 + size);
    Append16(out, DATA);
    Append16(out, block);
    out.append(payload, size);
    return out;
}

QByteArray AckPacket(quint16 block)
{
    QByteArray out;
    Append16(out, ACK);
    Append16(out, block);
    return out;
}

QByteArray ErrorPacket(quint16 code)
{
    QByteArray out;
    Append16(out, ERROR);
    Append16(out, code);
    out.append('\0');
    return out;
}

std::optional<QString> ResolveName(const QString &folder, const QByteArray &name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/')
        || name.contains('\\'))
        return std::nullopt;
    // A name that is not valid UTF-8 cannot be turned back into the same bytes.
    const QString text = QString::fromUtf8(name);
    if (text.toUtf8() != name)
        return std::nullopt;
    // Control characters would land in the served folder and in every log line that
    // shows the name; a NUL would cut the path short.
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    }

    const QString root = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder)
                             .canonicalFilePath();
    if (root.isEmpty())
        return std::nullopt;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    const QString path = prefix + text;

    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return path; // a new file, directly in the served folder
    // An existing entry (a dangling link included) must lead back into the folder.
    const QString real = info.canonicalFilePath();
    if (real.isEmpty() || !real.startsWith(prefix))
        return std::nullopt;
    return real;
}

ResendClock::ResendClock(int capMs, int floorMs)
    : m_cap(qMax(1, capMs)), m_floor(qBound(1, floorMs, m_cap))
{
}

int ResendClock::IntervalMs() const
{
    if (m_fixed > 0)
        return m_fixed; // what the client asked for, unchanged
    qint64 ms = InitialMs;
    if (m_srtt >= 0)
        // The 20 ms sweep is the clock's granularity (RFC 6298's G).
        ms = (m_srtt + qMax<qint64>(20000, 4 * m_rttvar) + 999) / 1000;
    ms = qMax<qint64>(ms, m_floor) << qMin(m_backoff, 16);
    return int(qMin<qint64>(ms, m_cap));
}

void ResendClock::Sample(qint64 roundTripUs)
{
    m_backoff = 0;
    roundTripUs = qMax<qint64>(0, roundTripUs);
    if (m_srtt < 0) {
        m_srtt = roundTripUs;
        m_rttvar = roundTripUs / 2;
        return;
    }
    // alpha 1/8, beta 1/4
    m_rttvar = (3 * m_rttvar + qAbs(m_srtt - roundTripUs)) / 4;
    m_srtt = (7 * m_srtt + roundTripUs) / 8;
}

void ResendClock::Backoff()
{
    ++m_backoff;
}

void ResendClock::Fix(int ms)
{
    m_fixed = qMax(1, ms);
}

} // namespace KxTFTP
