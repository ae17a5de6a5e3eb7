// Transfers over a poor link: real clients reach the server through a relay that loses,
// duplicates and reorders datagrams. Files are small and the seeds fixed, so that every
// run sees the same link and stays short.
#include "LossyRelay.h"
#include "TftpFixture.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTest>

using namespace tftptest;

namespace {
// One transfer by one client through the relay at `port`; the clients resend after one
// second (their shortest), so that their own losses cost little.
// `options` ("name value") are for atftp only.
ClientResult RunThrough(const QString &client, bool get, quint16 port, const QString &remote,
                        const QString &local, int ms, const QStringList &options = {})
{
    const QString p = QString::number(port);
    if (client == QLatin1String("atftp")) {
        QStringList args{"--tftp-timeout", "1"};
        for (const QString &o : options)
            args << "--option" << o;
        return RunClient(QStringLiteral("atftp"),
                         args + QStringList{get ? "-g" : "-p", "-r", remote, "-l", local,
                                            "127.0.0.1", p},
                         ms);
    }
    if (client == QLatin1String("curl")) {
        const QString url = QStringLiteral("tftp://127.0.0.1:%1/%2").arg(p, remote);
        return RunClient(QStringLiteral("curl"),
                         {"-sS", "--tftp-no-options", "--max-time", "60", get ? "-o" : "-T",
                          local, url},
                         ms);
    }
    // tftp-hpa takes its settings as commands on standard input.
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString command = get ? QStringLiteral("get %1 %2").arg(remote, local)
                                : QStringLiteral("put %1 %2").arg(local, remote);
    process.start(QStringLiteral("sh"),
                  {"-c", QStringLiteral("printf 'rexmt 1\\nbinary\\n%1\\n' | tftp 127.0.0.1 %2")
                             .arg(command, p)});
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (process.waitForStarted(5000) && process.state() != QProcess::NotRunning)
        loop.exec();
    ClientResult result;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        result.exitCode = process.exitCode();
    }
    result.output = process.readAll();
    return result;
}
} // namespace

class TestKxTFTPLoss : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void throughRelay_data();
    void throughRelay();
    void firmwareScreenServer();
};

void TestKxTFTPLoss::initTestCase()
{
    for (const char *program : {"curl", "atftp", "tftp"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty(), program);
}

void TestKxTFTPLoss::throughRelay_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<bool>("get");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("size");
    quint32 seed = 3;
    for (const char *client : {"atftp", "tftp-hpa", "curl"}) {
        for (bool get : {true, false}) {
            QTest::addRow("%s %s", client, get ? "get" : "put")
                << QString::fromLatin1(client) << get << seed++ << QStringList() << 40 * 1024 + 123;
        }
    }
    // Large blocks in windows: a loss costs the rest of its window, not just one block.
    for (bool get : {true, false}) {
        QTest::addRow("atftp %s, blksize 1428 windowsize 8, 4 MiB", get ? "get" : "put")
            << QStringLiteral("atftp") << get << seed++
            << QStringList{"blksize 1428", "windowsize 8"} << 4 * 1024 * 1024;
    }
}

// 5 % lost, 5 % duplicated, 5 % delayed by 2-20 ms, both ways: the file arrives byte for
// byte within a bounded time, the server's session ends in success (or, for a read, in the
// one failure a lost final ACK forces), the upload replaces the old file once and leaves
// no temporary file.
void TestKxTFTPLoss::throughRelay()
{
    QFETCH(QString, client);
    QFETCH(bool, get);
    QFETCH(quint32, seed);
    QFETCH(QStringList, options);
    QFETCH(int, size);
    Served s(/*timeout*/ 300, /*retries*/ 3); // the configuration screen's values
    LossyRelay relay(s.Port(), Impairment{0.05, 0.05, 0.05, 2, 20, seed});
    const QByteArray content = RandomBytes(size, seed);
    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("local.bin"));
    QVERIFY(WriteFile(get ? s.Path("file.bin") : local, content));
    if (!get)
        QVERIFY(WriteFile(s.Path("file.bin"), "previous"));

    const ClientResult r = RunThrough(client, get, relay.Port(), "file.bin", local, 90000, options);
    QVERIFY2(r.exitCode == 0, r.output.constData());
    // Long enough for the server to give up: 3 s times 3 tries.
    QTRY_VERIFY_WITH_TIMEOUT(s.Outcome(0).has_value(), 15000);
    const KxTFTPMsg outcome = *s.Outcome(0);
    if (outcome.Code != KxTFTPCode::Success) {
        // A client quits once it has sent its last ACK; when the link loses that ACK, the
        // server gives up after the whole file went out, and nothing in TFTP tells this
        // from a client that vanished before the end. Any other failure is a fault.
        QVERIFY2(get && outcome.Code == KxTFTPCode::Timeout, qPrintable(outcome.Text));
        QCOMPARE(outcome.TotalBytes, qint64(size));
    }
    QCOMPARE(Sha(ReadFile(get ? local : s.Path("file.bin"))), Sha(content));
    QVERIFY(relay.Counted().dropped > 0 && relay.Counted().duplicated > 0);
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 5000);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.bin"});
}

// The firmware screen's server (time-out 30 s) sends a 1 MiB image over a link losing 1 %
// of its datagrams: lost blocks cost a round trip, not the time-out, so the transfer ends
// well before even one time-out per loss could have passed.
void TestKxTFTPLoss::firmwareScreenServer()
{
    Served s(/*timeout*/ 3000, /*retries*/ 3);
    LossyRelay relay(s.Port(), Impairment{0.01, 0.01, 0.01, 2, 20, 11});
    const QByteArray image = RandomBytes(1024 * 1024, 11);
    QVERIFY(WriteFile(s.Path("fw.bin"), image));
    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("fw.bin"));
    QElapsedTimer clock;
    clock.start();
    const ClientResult r = RunThrough("curl", true, relay.Port(), "fw.bin", local, 60000);
    QVERIFY2(r.exitCode == 0, r.output.constData());
    QCOMPARE(Sha(ReadFile(local)), Sha(image));
    QVERIFY(relay.Counted().dropped >= 10);
    // Ten losses at the old resend time would have taken 300 s.
    QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 5000);
}

QTEST_GUILESS_MAIN(TestKxTFTPLoss)
#include "tst_kxtftploss.moc"
