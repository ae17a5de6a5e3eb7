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
    return Request{opcode, *name, *mode};
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

} // namespace KxTFTP
