// Writes the built-in message catalogs as catalog files into a folder, so that an
// installation carries files a translator can start from.
#include "KxErrors.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: rwn3460-catalogs FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "rwn3460-catalogs: cannot create %s\n", argv[1]);
        return 1;
    }
    // The common texts hold line breaks inside messages, which a catalog line cannot
    // carry: they stay built in.
    for (KxFamily family : {KxFamily::SNMP, KxFamily::SNMPv3, KxFamily::SNMPv3USM, KxFamily::SNMPClass,
                            KxFamily::KxSNMPpp, KxFamily::RequestLog}) {
        QFile file(folder + QLatin1Char('/') + CatalogFileName(family));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "rwn3460-catalogs: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        for (int line = 0; line < FamilyLineCount(family); ++line)
            file.write(FamilyText(family, line).toUtf8() + "\r\n");
    }
    return 0;
}
