// tftp_relay SERVER_PORT [--loss P] [--duplicate P] [--delay P] [--seed N]
//
// The tests' lossy relay as a program for the benchmarks: forwards TFTP between clients
// and the server on 127.0.0.1:SERVER_PORT, losing, duplicating and delaying datagrams at
// the given shares (0..1) from a fixed seed. Prints its own port, and on SIGTERM what it
// did to the datagrams.
#include "LossyRelay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("SERVER_PORT"), QStringLiteral("server's UDP port"));
    parser.addOption({QStringLiteral("loss"), QStringLiteral("share lost"), QStringLiteral("P"), "0.05"});
    parser.addOption({QStringLiteral("duplicate"), QStringLiteral("share duplicated"), QStringLiteral("P"), "0.05"});
    parser.addOption({QStringLiteral("delay"), QStringLiteral("share delayed 2-20 ms"), QStringLiteral("P"), "0.05"});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("N"), "1"});
    parser.addOption({QStringLiteral("trace"), QStringLiteral("one line per datagram on standard output")});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    tftptest::Impairment impairment;
    impairment.loss = parser.value(QStringLiteral("loss")).toDouble();
    impairment.duplicate = parser.value(QStringLiteral("duplicate")).toDouble();
    impairment.delay = parser.value(QStringLiteral("delay")).toDouble();
    impairment.seed = parser.value(QStringLiteral("seed")).toUInt();
    tftptest::LossyRelay relay(quint16(parser.positionalArguments().first().toUInt()), impairment);
    if (parser.isSet(QStringLiteral("trace")))
        relay.Trace(stdout);
    std::fprintf(stderr, "tftp_relay: listening on UDP port %u\n", unsigned(relay.Port()));

    if (pipe(g_signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const int rc = app.exec();
    const auto &c = relay.Counted();
    std::fprintf(stderr, "tftp_relay: forwarded %lld dropped %lld duplicated %lld delayed %lld\n",
                 static_cast<long long>(c.forwarded), static_cast<long long>(c.dropped),
                 static_cast<long long>(c.duplicated), static_cast<long long>(c.delayed));
    return rc;
}
