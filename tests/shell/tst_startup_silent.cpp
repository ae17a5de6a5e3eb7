// The main window against a device that does not answer, or not yet: shown at once and
// live, filled in when the device starts answering, and closed without waiting for it;
// also the module itself, ended by a signal while its start-up reads are outstanding.
#include "KxDialogs.h"
#include "KxFrontPanel.h"
#include "KxSession.h"
#include "SimFixture.h"
#include "TMainForm.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkDatagram>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <csignal>
#include <map>
#include <utility>

namespace {

const QString kUser = QStringLiteral("silentv3");
const QString kAuthPass = QStringLiteral("shapassword");
const QString kPrivPass = QStringLiteral("aespassword");
const QString kTimedOut = QStringLiteral("(SNMPClass) SNMP request timed out!");

// A device address whose traffic is held until the test opens it, then relayed both
// ways to the simulator, held datagrams first: a device that starts answering after
// the requests were sent, answering those very requests.
class HeldRelay : public QObject {
public:
    HeldRelay()
    {
        QObject::connect(&m_front, &QUdpSocket::readyRead, this, &HeldRelay::readFront);
    }
    bool bind() { return m_front.bind(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_front.localPort(); }
    int held() const { return int(m_held.size()); }
    void open(quint16 agentPort)
    {
        m_agent = agentPort;
        const QList<QNetworkDatagram> held = std::exchange(m_held, {});
        for (const QNetworkDatagram &d : held)
            forward(d);
    }

private:
    void readFront()
    {
        while (m_front.hasPendingDatagrams()) {
            const QNetworkDatagram d = m_front.receiveDatagram();
            if (m_agent)
                forward(d);
            else
                m_held << d;
        }
    }
    void forward(const QNetworkDatagram &d)
    {
        QUdpSocket *&up = m_upstream[d.senderPort()];
        if (!up) {
            up = new QUdpSocket(this);
            up->bind(QHostAddress::LocalHost, 0);
            const quint16 client = d.senderPort();
            QObject::connect(up, &QUdpSocket::readyRead, this, [this, up, client] {
                while (up->hasPendingDatagrams())
                    m_front.writeDatagram(up->receiveDatagram().data(), QHostAddress::LocalHost, client);
            });
        }
        up->writeDatagram(d.data(), QHostAddress::LocalHost, m_agent);
    }

    QUdpSocket m_front;
    quint16 m_agent = 0;
    QList<QNetworkDatagram> m_held;
    std::map<quint16, QUdpSocket *> m_upstream;
};

void pointAt(quint16 port, bool v3)
{
    GlobalDevice.address = QStringLiteral("127.0.0.1");
    GlobalDevice.port = port;
    GlobalSecurity = KxSNMPSecurity();
    GlobalSecurity.version = 1;
    if (v3) {
        GlobalSecurity.version = 3;
        GlobalSecurity.securityModel = 3;
        GlobalSecurity.securityName = kUser;
        GlobalSecurity.securityLevel = 3; // authentication and privacy
        GlobalSecurity.authProtocol = 3;  // SHA
        GlobalSecurity.authPassword = kAuthPass;
        GlobalSecurity.privProtocol = 4;  // AES
        GlobalSecurity.privPassword = kPrivPass;
    }
}

template <class T>
T *child(QWidget &w, const char *name)
{
    return w.findChild<T *>(QLatin1String(name));
}

QMenu *menu(QMainWindow &window, const QString &title)
{
    for (QMenu *m : window.menuBar()->findChildren<QMenu *>()) {
        if (QString(m->title()).remove(QLatin1Char('&')) == title)
            return m;
    }
    return nullptr;
}

void addVersions()
{
    QTest::addColumn<bool>("v3");
    QTest::newRow("SNMPv2c") << false;
    QTest::newRow("SNMPv3") << true;
}

} // namespace

class TestStartupSilent : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<simtest::Simulator> m_sim;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

private slots:
    void initTestCase()
    {
        m_sim = std::make_unique<simtest::Simulator>(
            QStringList{"--user", kUser + ":SHA:" + kAuthPass + ":AES:" + kPrivPass});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
        OpenGlobalSession(m_dir.path());
    }

    void cleanupTestCase() { QVERIFY2(m_sim->stop(), qPrintable(m_sim->error())); }

    void init() { m_dialogs = std::make_unique<KxScriptedDialogsScope>(); }
    void cleanup() { m_dialogs.reset(); }

    void shownAndLiveAgainstASilentDevice_data() { addVersions(); }
    void shownAndLiveAgainstASilentDevice()
    {
        QFETCH(bool, v3);
        HeldRelay nobody; // never opened: nothing ever answers
        QVERIFY(nobody.bind());
        pointAt(nobody.port(), v3);
        QElapsedTimer clock;
        clock.start();
        TMainForm form;
        form.PollTimeout = 50;
        form.StartRequests();
        form.show();
        bool ticked = false;
        QTimer::singleShot(10, &form, [&] { ticked = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ticked, 1000);
        QMenu *tools = menu(form, "Tools");
        QVERIFY(tools);
        tools->popup(form.mapToGlobal(QPoint(20, 20)));
        QTRY_VERIFY_WITH_TIMEOUT(tools->isVisible(), 1000);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        tools->hide();
        QVERIFY(nobody.held() >= 1);

        // Nothing has arrived: what a failed read leaves.
        QCOMPARE(child<KxLamp>(form, "LED_Power")->color(), QColor(Qt::white));
        for (const char *name : {"CB_Band", "Cbox_SaveAct", "Cbox_Discard", "Cbox_Restart"})
            QVERIFY2(child<QComboBox>(form, name)->currentIndex() == -1, name);
        QCOMPARE(form.LanAddress(), QString());
        QLineEdit found;
        QVERIFY(!form.FindLocalAddress(&found));

        QTRY_COMPARE_WITH_TIMEOUT(form.StatusText(), kTimedOut, 5000);
        QCOMPARE(child<QStatusBar>(form, "MainStatusBar")->currentMessage(), kTimedOut);
        for (const char *name : {"LED_Power", "LED_5GLan", "LED_24GLan", "LED_APstatus"})
            QCOMPARE(child<KxLamp>(form, name)->color(), KxLamp::Dark);
        form.BlinkStep(); // no band known and no answer: the lamps stay dark
        QCOMPARE(child<KxLamp>(form, "LED_24GLan")->color(), KxLamp::Dark);
    }

    void deviceAnsweringLaterFillsTheFields_data() { addVersions(); }
    void deviceAnsweringLaterFillsTheFields()
    {
        QFETCH(bool, v3);
        HeldRelay late;
        QVERIFY(late.bind());
        pointAt(late.port(), v3);
        TMainForm form;
        form.StartRequests();
        // SNMPv2c: the poll and the four reads; SNMPv3: the engine discovery they wait for.
        QTRY_COMPARE(late.held(), v3 ? 1 : 5);
        QTest::qWait(200);
        QCOMPARE(form.LanAddress(), QString());
        QCOMPARE(form.BandItem(), -1);
        QVERIFY(!form.LampsLit());

        late.open(m_sim->port());
        QTRY_COMPARE_WITH_TIMEOUT(form.LanAddress(), QString("192.168.0.50"), 10000);
        QTRY_COMPARE(form.BandItem(), 0);
        QTRY_COMPARE(child<QComboBox>(form, "Cbox_SaveAct")->currentText(), QString("nothing"));
        QTRY_COMPARE(child<QComboBox>(form, "Cbox_Discard")->currentText(), QString("nothing"));
        QTRY_COMPARE(child<QComboBox>(form, "Cbox_Restart")->currentText(), QString("nothing"));
        QTRY_VERIFY(form.LampsLit());
        QCOMPARE(child<KxLamp>(form, "LED_Power")->color(), KxLamp::Lit);
        QTRY_COMPARE(form.DeviceAddress(), QString("192.168.0.50"));
    }

    // The start-up reads fail while the device is away; the first poll it answers reads
    // them again, without a restart of the module. With SNMPv3 they fail early: they
    // wait for the engine discovery, which has the (here short) time-out of the poll.
    void startupValuesAreReadAgainWhenTheDeviceComesBack()
    {
        HeldRelay away;
        QVERIFY(away.bind());
        pointAt(away.port(), true);
        TMainForm form;
        form.PollTimeout = 20;
        form.StartRequests();
        QTRY_COMPARE_WITH_TIMEOUT(form.StatusText(), kTimedOut, 5000);
        QTest::qWait(100);
        away.open(m_sim->port());
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(form.BandItem(), 0, 5000);
        QTRY_COMPARE(form.LanAddress(), QString("192.168.0.50"));
        QTRY_COMPARE(child<QComboBox>(form, "Cbox_Restart")->currentText(), QString("nothing"));
    }

    void closingWhileReadsAreOutstanding_data() { addVersions(); }
    void closingWhileReadsAreOutstanding()
    {
        QFETCH(bool, v3);
        HeldRelay late;
        QVERIFY(late.bind());
        pointAt(late.port(), v3);
        auto form = std::make_unique<TMainForm>();
        form->show();
        form->StartRequests();
        QTRY_COMPARE(late.held(), v3 ? 1 : 5);
        QElapsedTimer clock;
        clock.start();
        form->close();
        form.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        // The answers come after all: they reach nobody, and touch nothing freed.
        late.open(m_sim->port());
        QTest::qWait(1000);
    }

    // The module itself, against a silent device, ended by a signal once it is up.
    void moduleEndsBySignalWhileReadsAreOutstanding_data() { addVersions(); }
    void moduleEndsBySignalWhileReadsAreOutstanding()
    {
        QFETCH(bool, v3);
        HeldRelay nobody;
        QVERIFY(nobody.bind());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile registry(dir.filePath("registry.ini"));
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write("[SOFTWARE]\nKestrix\\Tarsel5.1\\MibFile\\Path=" + dir.path().toUtf8() + "/\n");
        registry.close();
        QFile profile(dir.filePath("127.0.0.1.cfg"));
        QVERIFY(profile.open(QIODevice::WriteOnly));
        const QString security = v3 ? QString("Version=3\nSecurityModel=3\nSecurityLevel=2\nSecurityName=%1\n"
                                              "AuthProtocol=2\nPrivProtocol=3\nAuthPassword=%2\nPrivPassword=%3\n")
                                          .arg(kUser, kAuthPass, kPrivPass)
                                    : QString("Version=1\nSecurityModel=1\nSecurityLevel=0\nSecurityName=\n"
                                              "AuthProtocol=0\nPrivProtocol=0\n");
        profile.write(QString("[Program Information]\nAgentPort=%1\nContextName=\nContextEngineID=\n%2")
                          .arg(nobody.port())
                          .arg(security)
                          .toUtf8());
        profile.close();

        QProcess module;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("RWN3460_REGISTRY", dir.filePath("registry.ini"));
        env.insert("XDG_RUNTIME_DIR", dir.path()); // its own instance lock
        env.insert("QT_QPA_PLATFORM", "offscreen");
        module.setProcessEnvironment(env);
        module.setWorkingDirectory(dir.path());
        module.start(QStringLiteral(RWN3460_BIN), {"/I127.0.0.1", "/Rrdcomm", "/Wwrcommu"});
        QVERIFY(module.waitForStarted(5000));
        // Its requests are out: the poll (or the SNMPv3 discovery) reached the device.
        QTRY_VERIFY_WITH_TIMEOUT(nobody.held() >= 1, 5000);
        QTest::qWait(500);
        QCOMPARE(module.state(), QProcess::Running);
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(module.processId()), SIGTERM);
        const bool ended = module.waitForFinished(5000);
        const qint64 took = clock.elapsed();
        if (!ended) {
            module.kill();
            module.waitForFinished(5000);
        }
        const QString errors = QString::fromLocal8Bit(module.readAllStandardError());
        QVERIFY2(ended, "still running 5 s after SIGTERM");
        qInfo("ended %lld ms after SIGTERM", took);
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        QCOMPARE(module.exitStatus(), QProcess::NormalExit);
        QVERIFY2(module.exitCode() == 0, qPrintable(errors));
        QVERIFY2(!errors.contains("Sanitizer") && !errors.contains("runtime error"), qPrintable(errors));
    }
};

QTEST_MAIN(TestStartupSilent)
#include "tst_startup_silent.moc"
