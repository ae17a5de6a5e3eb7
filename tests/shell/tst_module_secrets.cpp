// The module itself, started the way the host manager starts it, with communities and
// SNMPv3 passwords on its command line: the process list no longer shows them, every
// other argument stays as given, and the module still talks to the device with them.
#include "KxStartup.h"
#include "SimFixture.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const QString kUser = QStringLiteral("secretsv3");
const QString kAuthPass = QStringLiteral("auth-Secret-17");
const QString kPrivPass = QStringLiteral("priv-Secret-42");
const QString kReadCommunity = QStringLiteral("rd-Secret-5");
const QString kWriteCommunity = QStringLiteral("wr-Secret-9");
const QStringList kSecrets = {kAuthPass, kPrivPass, kReadCommunity, kWriteCommunity};

// What /proc shows of a process's arguments: NUL-separated, program name first.
QStringList processArguments(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    QStringList list;
    for (const QByteArray &part : bytes.split('\0'))
        list << QString::fromLocal8Bit(part);
    return list;
}

// The arguments as the process list must show them: each secret value replaced by as
// many asterisks.
QStringList masked(const QStringList &arguments)
{
    QStringList out;
    for (const QString &a : arguments) {
        QString shown = a;
        for (const QString &s : kSecrets)
            shown.replace(s, QString(s.size(), QLatin1Char('*')));
        out << shown;
    }
    return out;
}

// The module with its own registry, profile folder and lock, started from `dir`.
class Module {
public:
    Module(const QTemporaryDir &dir, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("RWN3460_REGISTRY", dir.filePath("registry.ini"));
        env.insert("XDG_RUNTIME_DIR", dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(dir.path());
        m_process.start(QStringLiteral(RWN3460_BIN), arguments);
    }
    ~Module()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QProcess &process() { return m_process; }
    // Ends it by SIGTERM; its standard output and error.
    QString stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        m_process.waitForFinished(5000);
        return QString::fromLocal8Bit(m_process.readAllStandardOutput() + m_process.readAllStandardError());
    }

private:
    QProcess m_process;
};

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(text.toUtf8());
}

QString v3Profile(quint16 port)
{
    return QStringLiteral("[Program Information]\nAgentPort=%1\nVersion=3\nContextName=\nContextEngineID=\n"
                          "SecurityModel=3\nSecurityLevel=2\nSecurityName=%2\nAuthProtocol=2\nPrivProtocol=3\n"
                          "AuthPassword=%3\nPrivPassword=%4\n")
        .arg(port)
        .arg(kUser, kAuthPass, kPrivPass);
}

QString v2cProfile(quint16 port)
{
    return QStringLiteral("[Program Information]\nAgentPort=%1\nVersion=1\nContextName=\nContextEngineID=\n"
                          "SecurityModel=1\nSecurityLevel=0\nSecurityName=\nAuthProtocol=0\nPrivProtocol=0\n"
                          "AuthPassword=\nPrivPassword=\n")
        .arg(port);
}

// The module's requests that the device answered under the expected principal.
int answered(const simtest::Simulator &sim, const QString &version, const QString &principal,
             const QString &level)
{
    int n = 0;
    for (const simtest::RequestEntry &e : sim.requests())
        n += e.version == version && e.principal == principal && e.level == level;
    return n;
}

} // namespace

class TestModuleSecrets : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<simtest::Simulator> m_sim;

private slots:
    void initTestCase()
    {
        m_sim = std::make_unique<simtest::Simulator>(
            QStringList{"--user", kUser + ":SHA:" + kAuthPass + ":AES:" + kPrivPass, "--community-read",
                        kReadCommunity, "--community-write", kWriteCommunity});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
    }

    void cleanupTestCase()
    {
        QVERIFY2(m_sim->stop(), qPrintable(m_sim->error()));
        const QString console = m_sim->output();
        for (const QString &s : kSecrets)
            QVERIFY2(!console.contains(s), qPrintable(console));
    }

    void secretsHiddenFromTheProcessList_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: the simulator's port
        QTest::addColumn<bool>("withProfile");
        QTest::addColumn<QString>("version");   // of the answered requests
        QTest::addColumn<QString>("principal");
        QTest::addColumn<QString>("level");

        QTest::newRow("SNMPv3 on the command line")
            << QStringList{"/I127.0.0.1", "/R" + kReadCommunity, "/W" + kWriteCommunity, "/v3", "/t%1", "/m3",
                           "/l2", "/n" + kUser, "/A" + kAuthPass, "/P" + kPrivPass, "/a2", "/p3"}
            << false << "3" << kUser << "authPriv";
        QTest::newRow("communities, the rest from the profile")
            << QStringList{"/I127.0.0.1", "/R" + kReadCommunity, "/W" + kWriteCommunity} << true << "2c"
            << kReadCommunity << "-";
        // Start-up takes the passwords from the profile here: nothing on the command line
        // is a secret, and nothing of it changes.
        QTest::newRow("SNMPv3 from the profile")
            << QStringList{"/I127.0.0.1", "/v3"} << true << "3" << kUser << "authPriv";
        QTest::newRow("secret behind other characters, unused passwords")
            << QStringList{"/I127.0.0.1", "x/R" + kReadCommunity, "/A" + kAuthPass, "/W" + kWriteCommunity}
            << true << "2c" << kReadCommunity << "-";
    }

    void secretsHiddenFromTheProcessList()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withProfile);
        QFETCH(QString, version);
        QFETCH(QString, principal);
        QFETCH(QString, level);
        for (QString &a : arguments)
            a.replace("%1", QString::number(m_sim->port()));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath("registry.ini"),
                  "[SOFTWARE]\nKestrix\\Tarsel5.1\\MibFile\\Path=" + dir.path() + "/\n");
        if (withProfile) {
            writeFile(dir.filePath("127.0.0.1.cfg"),
                      version == "3" ? v3Profile(m_sim->port()) : v2cProfile(m_sim->port()));
        }

        const int before = answered(*m_sim, version, principal, level);
        Module module(dir, arguments);
        QVERIFY(module.process().waitForStarted(5000));
        // The device answered the module's status poll (for SNMPv3: a request USM
        // authenticated and decrypted with keys from these passwords).
        QTRY_VERIFY_WITH_TIMEOUT(answered(*m_sim, version, principal, level) > before, 15000);
        QCOMPARE(module.process().state(), QProcess::Running);

        const QStringList shown = processArguments(module.process().processId());
        QCOMPARE(shown.mid(1), masked(arguments));
        const QString all = shown.join(QLatin1Char(' '));
        for (const QString &s : kSecrets)
            QVERIFY2(!all.contains(s), qPrintable(all));

        const QString output = module.stop();
        QCOMPARE(module.process().exitStatus(), QProcess::NormalExit);
        QVERIFY2(module.process().exitCode() == 0, qPrintable(output));
        for (const QString &s : kSecrets)
            QVERIFY2(!output.contains(s), qPrintable(output));
    }

    // The request log holds only what the device authenticated: a wrong privacy
    // password reaches nothing.
    void wrongPasswordIsNotAnswered()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath("registry.ini"), "[SOFTWARE]\n");
        const int before = int(m_sim->requests().size());
        Module module(dir, {"/I127.0.0.1", "/v3", QString("/t%1").arg(m_sim->port()), "/m3", "/l2",
                            "/n" + kUser, "/A" + kAuthPass, "/Pnot-the-password", "/a2", "/p3"});
        QVERIFY(module.process().waitForStarted(5000));
        QTest::qWait(3000);
        QCOMPARE(module.process().state(), QProcess::Running);
        QCOMPARE(int(m_sim->requests().size()), before);
        QVERIFY(!processArguments(module.process().processId()).join(' ').contains("not-the-password"));
    }

    void secretStart_data()
    {
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<int>("start");
        QTest::newRow("read community") << QByteArray("/Rpublic") << 2;
        QTest::newRow("write community") << QByteArray("/Wprivate") << 2;
        QTest::newRow("auth password") << QByteArray("/Asecret") << 2;
        QTest::newRow("priv password") << QByteArray("/Psecret") << 2;
        QTest::newRow("characters in front") << QByteArray("abc/Rpublic") << 5;
        QTest::newRow("first of several") << QByteArray("/nuser/Apass/Rx") << 8;
        QTest::newRow("empty value") << QByteArray("/R") << 2;
        QTest::newRow("address") << QByteArray("/I10.0.0.5") << -1;
        QTest::newRow("user and protocols") << QByteArray("/nadmin") << -1;
        QTest::newRow("lower-case protocol switches") << QByteArray("/a2") << -1;
        QTest::newRow("lower-case /r is none") << QByteArray("/rpublic") << -1;
    }

    void secretStart()
    {
        QFETCH(QByteArray, token);
        QFETCH(int, start);
        QCOMPARE(int(KxStartup::SecretStart(token)), start);
    }

    void hideSecretArguments()
    {
        QByteArray program("rwn3460"), address("/I10.0.0.5"), read("x/Rpublic"), auth("/AsecretÄ");
        char *argv[] = {program.data(), address.data(), read.data(), auth.data(), nullptr};
        QCOMPARE(KxStartup::HideSecretArguments(4, argv), 2);
        QCOMPARE(QByteArray(argv[0]), QByteArray("rwn3460"));
        QCOMPARE(QByteArray(argv[1]), QByteArray("/I10.0.0.5"));
        QCOMPARE(QByteArray(argv[2]), QByteArray("x/R******"));
        // Bytes, not characters: the block the kernel shows keeps its length.
        QCOMPARE(QByteArray(argv[3]), QByteArray("/A") + QByteArray(int(qstrlen("secretÄ")), '*'));
    }
};

QTEST_MAIN(TestModuleSecrets)
#include "tst_module_secrets.moc"
