// rwn3460-tftpd DIR [--port N] [--timeout T] [--retries R] [--max-blksize B]
//
// Serves DIR with the module's own TFTP server until interrupted, printing each status
// record as one line: session, code, text, file, bytes. Progress comes with every block,
// and formatting it took a third of the instructions spent per block: it is printed at
// most ten times a second, every other record at once. Field engineers use it to try a
// device's TFTP client by hand; the benchmark uses it as the server under test.
#include "KxErrors.h"
#include "KxNetSnmp.h"
#include "KxTFTPServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    (void)!write(g_signalPipe[1], &byte, 1);
}

int Number(const QCommandLineParser &parser, const QString &name, int fallback, int low,
           int high)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high) {
        std::fprintf(stderr, "rwn3460-tftpd: --%s wants a number from %d to %d\n",
                     qPrintable(name), low, high);
        std::exit(2);
    }
    return value;
}
} // namespace

int main(int argc, char *argv[])
{
    // As in the module: Qt's own event dispatcher costs less per wake-up than GLib's, a
    // sixth of a lock-step round trip on loopback.
    KxPreferQtEventDispatcher();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves DIR over TFTP until interrupted."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("folder to serve"));
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("UDP port (default $RWN3460_TFTP_PORT, else 69; 0 picks one)"),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("timeout"),
                      QStringLiteral("retransmission time-out in hundredths of a second (1000)"),
                      QStringLiteral("T")});
    parser.addOption({QStringLiteral("retries"),
                      QStringLiteral("most sends of one data block (3)"), QStringLiteral("R")});
    parser.addOption({QStringLiteral("max-blksize"),
                      QStringLiteral("largest block size granted to a client (65464)"),
                      QStringLiteral("B")});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const int envPort = qEnvironmentVariableIsSet("RWN3460_TFTP_PORT")
                            ? qEnvironmentVariableIntValue("RWN3460_TFTP_PORT")
                            : 69;
    const int port = Number(parser, QStringLiteral("port"), envPort, 0, 65535);
    const int timeout = Number(parser, QStringLiteral("timeout"), 1000, 1, 360000);
    const int retries = Number(parser, QStringLiteral("retries"), 3, 1, 100);
    const int maxBlock = Number(parser, QStringLiteral("max-blksize"), KxTFTP::MaxBlockSize,
                                KxTFTP::MinBlockSize, KxTFTP::MaxBlockSize);

    // Status lines come in per block; a terminal sees each at once, a file or pipe gets
    // them in buffered chunks and every line that is not progress right away.
    const bool tty = isatty(fileno(stdout));
    std::setvbuf(stdout, nullptr, tty ? _IOLBF : _IOFBF, 1 << 16);

    KxTFTPServer server;
    server.SetTimeout(timeout, retries);
    server.MaxBlockSize = maxBlock;
    QElapsedTimer sincePrinted;
    server.SetOnMessage(
        [&sincePrinted](QObject *, const KxTFTPMsg &m, bool &) {
            const bool progress = m.Code == KxTFTPCode::Transferring;
            if (progress && sincePrinted.isValid() && sincePrinted.elapsed() < 100)
                return;
            std::printf("%d %d %s %s %lld\n", m.SessionNo, m.Code, qPrintable(m.Text),
                        qPrintable(m.FileName), static_cast<long long>(m.TotalBytes));
            if (progress)
                sincePrinted.start();
            else
                std::fflush(stdout);
        },
        nullptr);
    try {
        server.Start(parser.positionalArguments().first(), quint16(port));
    } catch (const KxException &e) {
        std::fprintf(stderr, "TFTP Service Init Error:%s\n", qPrintable(e.Text()));
        return 1;
    }
    std::fprintf(stderr, "rwn3460-tftpd: serving %s on UDP port %u\n",
                 qPrintable(server.Directory()), unsigned(server.Port()));

    if (pipe(g_signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    const int rc = app.exec();
    server.Stop();
    std::fflush(stdout);
    return rc;
}
