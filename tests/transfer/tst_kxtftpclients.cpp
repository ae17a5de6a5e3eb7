// The server against real TFTP clients (curl, atftp, tftp-hpa) on loopback.
#include "TftpFixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace tftptest;

namespace {
// The command line of one client for one direction; `local` is the client's side.
QStringList ClientArgs(const QString &client, bool get, quint16 port, const QString &remote,
                       const QString &local)
{
    const QString p = QString::number(port);
    if (client == QLatin1String("curl")) {
        const QString url = QStringLiteral("tftp://127.0.0.1:%1/%2").arg(p, remote);
        return get ? QStringList{"-sS", "--max-time", "120", "-o", local, url}
                   : QStringList{"-sS", "--max-time", "120", "-T", local, url};
    }
    if (client == QLatin1String("atftp"))
        return {get ? "-g" : "-p", "-r", remote, "-l", local, "127.0.0.1", p};
    // tftp-hpa; binary mode, its default netascii would rewrite line ends
    return {"-m", "binary", "127.0.0.1", p, "-c", get ? "get" : "put",
            get ? remote : local, get ? local : remote};
}

QString Program(const QString &client)
{
    return client == QLatin1String("tftp-hpa") ? QStringLiteral("tftp") : client;
}

QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
}
} // namespace

class TestKxTFTPClients : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void transfer_data();
    void transfer();
    void refusedNames_data();
    void refusedNames();
    void download32MiB();
    void writeErrorKeepsOldFile();
    void readErrorIsNoEndOfFile();
    void commandLineServer();
};

void TestKxTFTPClients::initTestCase()
{
    for (const char *program : {"curl", "atftp", "tftp"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty(), program);
}

void TestKxTFTPClients::transfer_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<bool>("get");
    QTest::addColumn<int>("size");
    const int sizes[] = {0, 1, 511, 512, 1024, 1024 * 1024 + 1};
    for (const char *client : {"curl", "atftp", "tftp-hpa"}) {
        for (bool get : {true, false}) {
            for (int size : sizes) {
                QTest::addRow("%s %s %d", client, get ? "get" : "put", size)
                    << QString::fromLatin1(client) << get << size;
            }
        }
    }
}

// Every size the block rules treat differently, both ways, with every client: the file
// arrives byte for byte and the session reports success with the right byte count.
void TestKxTFTPClients::transfer()
{
    QFETCH(QString, client);
    QFETCH(bool, get);
    QFETCH(int, size);
    Served s;
    QTemporaryDir clientDir;
    const QByteArray content = RandomBytes(size, quint32(size) + 7);
    const QString local = clientDir.filePath(QStringLiteral("local.bin"));
    const QString name = QStringLiteral("file.bin");
    // Uploads replace an older file of another length.
    QVERIFY(WriteFile(get ? s.Path(name) : local, content));
    if (!get)
        QVERIFY(WriteFile(s.Path(name), QByteArray("previous contents of the file")));

    const ClientResult r = RunClient(Program(client), ClientArgs(client, get, s.Port(), name, local));
    QVERIFY2(r.exitCode == 0, r.output.constData());
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 5000);
    QCOMPARE(s.Outcome(0)->TotalBytes, qint64(size));
    QCOMPARE(s.Outcome(0)->Operation, get ? 1 : 2);
    QCOMPARE(Sha(ReadFile(get ? local : s.Path(name))), Sha(content));
    QCOMPARE(Entries(s.dir.path()), QStringList{name}); // no temporary file left behind
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 2000);
    QVERIFY(!s.server.SweepActive());
}

void TestKxTFTPClients::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("get");
    const char *names[] = {"../outside.txt", "sub/inner.txt", "/OUTSIDE", "..", ".",
                           "sub\\inner.txt", "link-out", "dangling-out"};
    for (const char *name : names) {
        for (bool get : {true, false})
            QTest::addRow("%s %s", get ? "get" : "put", name) << QString::fromLatin1(name) << get;
    }
}

// Names that leave the served folder, or could, are refused with ERROR 2 and nothing is
// read, written or created anywhere.
void TestKxTFTPClients::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(bool, get);
    QTemporaryDir root;
    const QString served = root.filePath(QStringLiteral("served"));
    QVERIFY(QDir().mkpath(served + QStringLiteral("/sub")));
    const QByteArray secret("outside the served folder");
    QVERIFY(WriteFile(root.filePath(QStringLiteral("outside.txt")), secret));
    QVERIFY(WriteFile(served + QStringLiteral("/sub/inner.txt"), secret));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("outside.txt")),
                        served + QStringLiteral("/link-out")));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("nothing-yet")),
                        served + QStringLiteral("/dangling-out")));
    // An absolute name points at a file of this test, never at a system file.
    if (name == QLatin1String("/OUTSIDE"))
        name = root.filePath(QStringLiteral("outside.txt"));

    Served s;
    s.server.Start(served, 0); // already listening: only the folder changes
    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("local.bin"));
    QVERIFY(WriteFile(local, QByteArray("upload that must not land anywhere")));
    const QStringList before = Entries(root.path()) + Entries(served) + Entries(served + "/sub");

    const ClientResult r = RunClient(QStringLiteral("tftp"),
                                     ClientArgs(QStringLiteral("tftp-hpa"), get, s.Port(), name, local),
                                     15000);
    QVERIFY2(r.output.contains("Error code 2"), r.output.constData());
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::AccessViolation, 5000);
    QCOMPARE(s.Outcome(0)->FileName, name);
    QCOMPARE(Entries(root.path()) + Entries(served) + Entries(served + "/sub"), before);
    QCOMPARE(ReadFile(root.filePath(QStringLiteral("outside.txt"))), secret);
    QCOMPARE(ReadFile(served + QStringLiteral("/sub/inner.txt")), secret);
}

// Beyond 65535 blocks the block number rolls over and the transfer still completes.
void TestKxTFTPClients::download32MiB()
{
    Served s;
    const qsizetype size = 32 * 1024 * 1024 + 1000; // 65538 blocks
    const QByteArray content = RandomBytes(size, 32);
    QVERIFY(WriteFile(s.Path(QStringLiteral("big.bin")), content));
    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("big.bin"));
    const ClientResult r = RunClient(
        QStringLiteral("curl"),
        ClientArgs(QStringLiteral("curl"), true, s.Port(), QStringLiteral("big.bin"), local), 240000);
    QVERIFY2(r.exitCode == 0, r.output.constData());
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 5000);
    QCOMPARE(s.Outcome(0)->TotalBytes, qint64(size));
    QCOMPARE(Sha(ReadFile(local)), Sha(content));
}

// A write error on the local file (here the file size limit of the process) fails the
// upload with ERROR 3; the previous file stays and no temporary file is left.
void TestKxTFTPClients::writeErrorKeepsOldFile()
{
    Served s;
    const QByteArray previous("the previous backup");
    QVERIFY(WriteFile(s.Path(QStringLiteral("backup.kcf")), previous));
    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("backup.kcf"));
    QVERIFY(WriteFile(local, RandomBytes(256 * 1024, 3)));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 40 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ClientResult r = RunClient(
        QStringLiteral("curl"),
        ClientArgs(QStringLiteral("curl"), false, s.Port(), QStringLiteral("backup.kcf"), local),
        30000);
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::DiskFull, 5000);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY2(r.exitCode != 0, "the client must hear that the upload failed");
    QVERIFY(s.Outcome(0)->TotalBytes < 256 * 1024);
    QCOMPARE(ReadFile(s.Path(QStringLiteral("backup.kcf"))), previous);
    QCOMPARE(Entries(s.dir.path()), QStringList{QStringLiteral("backup.kcf")});
}

// A file whose reading fails (this process's own memory image: reading at offset 0 is
// an I/O error) is not served as an empty file: the client gets ERROR 0.
void TestKxTFTPClients::readErrorIsNoEndOfFile()
{
    QFile probe(QStringLiteral("/proc/self/mem"));
    QVERIFY(probe.open(QIODevice::ReadOnly));
    char byte;
    QCOMPARE(probe.read(&byte, 1), qint64(-1));

    Served s;
    s.server.Start(QStringLiteral("/proc/self"), 0);
    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("mem"));
    const ClientResult r = RunClient(
        QStringLiteral("curl"),
        ClientArgs(QStringLiteral("curl"), true, s.Port(), QStringLiteral("mem"), local), 15000);
    QVERIFY2(r.exitCode != 0, "the client must hear that the download failed");
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Undefined, 5000);
    QCOMPARE(s.Outcome(0)->Text, QStringLiteral("(KxTFTP) Undefined error:"));
}

// The command-line server serves its folder, prints one line per status record and
// ends on SIGTERM.
void TestKxTFTPClients::commandLineServer()
{
    QTemporaryDir served;
    const QByteArray content = RandomBytes(1500, 9);
    QVERIFY(WriteFile(served.filePath(QStringLiteral("fw.bin")), content));
    QProcess server;
    server.start(QStringLiteral(RWN3460_TFTPD), {served.path(), "--port", "0", "--timeout", "50"});
    QVERIFY(server.waitForStarted(5000));
    QByteArray banner;
    QTRY_VERIFY_WITH_TIMEOUT((banner += server.readAllStandardError()).contains('\n'), 10000);
    const QByteArray portText = banner.mid(banner.lastIndexOf(' ') + 1).trimmed();
    const quint16 port = quint16(portText.toUInt());
    QVERIFY2(port != 0, banner.constData());

    QTemporaryDir clientDir;
    const QString local = clientDir.filePath(QStringLiteral("fw.bin"));
    const ClientResult r = RunClient(
        QStringLiteral("curl"),
        ClientArgs(QStringLiteral("curl"), true, port, QStringLiteral("fw.bin"), local), 15000);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(ReadFile(local), content);
    QByteArray lines;
    QTRY_VERIFY_WITH_TIMEOUT((lines += server.readAllStandardOutput())
                                 .contains("0 0 (KxTFTP) A TFTP session is disconnected... fw.bin 1500\n"),
                             5000);
    QVERIFY(lines.startsWith("0 1 (KxTFTP) A TFTP session is connected... fw.bin 0\n"));
    QVERIFY(lines.contains("0 3 (KxTFTP) Success to transfer file. fw.bin 1500\n"));
    server.terminate();
    QTRY_COMPARE_WITH_TIMEOUT(server.state(), QProcess::NotRunning, 10000);
    QCOMPARE(server.exitStatus(), QProcess::NormalExit);
    QCOMPARE(server.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestKxTFTPClients)
#include "tst_kxtftpclients.moc"
