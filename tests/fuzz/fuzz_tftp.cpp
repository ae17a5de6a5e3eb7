// Arbitrary datagrams through the TFTP request and packet parsers, and arbitrary
// requested names through the served-folder rules: a name that is accepted must never
// lead outside the served folder.
#include "KxTFTPProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {
// A served folder with a subfolder, a file and links in and out, made once per run.
struct Folder {
    QString root;
    QString prefix;
    Folder()
    {
        const QString base = QDir::tempPath() + QStringLiteral("/rwn3460-fuzz-tftp");
        QDir().mkpath(base + QStringLiteral("/served/sub"));
        QFile f(base + QStringLiteral("/served/file.bin"));
        (void)f.open(QIODevice::WriteOnly);
        QFile::link(base, base + QStringLiteral("/served/up"));
        QFile::link(base + QStringLiteral("/served/sub"), base + QStringLiteral("/served/down"));
        QFile::link(base + QStringLiteral("/served/file.bin"), base + QStringLiteral("/served/same"));
        root = QFileInfo(base + QStringLiteral("/served")).canonicalFilePath();
        prefix = root + QLatin1Char('/');
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Folder folder;
    const char *bytes = reinterpret_cast<const char *>(data);
    const auto n = qsizetype(size);

    if (const auto request = KxTFTP::ParseRequest(bytes, n)) {
        if (request->opcode != KxTFTP::RRQ && request->opcode != KxTFTP::WRQ)
            std::abort();
        if (request->fileName.contains('\0') || request->mode.contains('\0'))
            std::abort();
        if (4 + request->fileName.size() + request->mode.size() > n)
            std::abort();
        if (const auto path = KxTFTP::ResolveName(folder.root, request->fileName)) {
            if (!path->startsWith(folder.prefix) || path->mid(folder.prefix.size()).contains('/'))
                std::abort(); // an accepted name escaped the served folder
        }
        // Whatever a client asks, the session runs within the protocol's limits.
        const KxTFTP::Negotiated settled = KxTFTP::Negotiate(*request, 1024, n);
        if (settled.blockSize < KxTFTP::MinBlockSize || settled.blockSize > 1024
            || settled.window < 1 || settled.window > KxTFTP::MaxWindow
            || settled.timeoutS < 0 || settled.timeoutS > 255
            || settled.accepted.size() > request->options.size())
            std::abort();
    }
    if (const auto header = KxTFTP::ParseHeader(bytes, n)) {
        const QByteArray again = KxTFTP::DataPacket(header->block, bytes + 4, n - 4);
        const auto back = KxTFTP::ParseHeader(again.constData(), again.size());
        if (!back || back->block != header->block || back->opcode != KxTFTP::DATA
            || again.mid(4) != QByteArray(bytes + 4, n - 4))
            std::abort();
    }
    // The name rules on the raw input too, without the request framing: an accepted name
    // holds no control character (NUL included) and keeps its own bytes.
    const QByteArray raw(bytes, n);
    if (const auto path = KxTFTP::ResolveName(folder.root, raw)) {
        if (!path->startsWith(folder.prefix) || path->mid(folder.prefix.size()).contains('/'))
            std::abort();
        for (const char c : raw) {
            if (quint8(c) < 0x20 || c == 0x7F)
                std::abort();
        }
        if (!QFileInfo(*path).isSymLink() && !QFileInfo::exists(*path)
            && path->mid(folder.prefix.size()).toUtf8() != raw)
            std::abort();
    }
    return 0;
}
