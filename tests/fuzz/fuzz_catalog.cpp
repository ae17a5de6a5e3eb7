// Arbitrary bytes as a catalog file: loading must never fault, and what it loads must
// be usable for every code and the request log line.
#include "KxErrors.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("snmp.msg"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    CatalogLoad(KxFamily::RequestLog, path);
    CatalogLoad(KxFamily::SNMP, path);
    for (int status = -30; status <= 30; ++status)
        (void)StatusToText(status);
    (void)RequestLogLine(0, QString(), QStringLiteral("m"), QTime(13, 0, 0));
    (void)RequestLogLine(1, QStringLiteral("List"), QStringLiteral("[TIME]"), QTime(1, 0, 0));
    CatalogResetAll();
    return 0;
}
