// 'Tools \ Configuration File' against the simulated device, which delivers and fetches
// configuration files through the screen's own TFTP server on loopback.
#include "KxDialogs.h"
#include "TFM_CfgFile.h"
#include "TransferScreenFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

using namespace transfertest;

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");
const QString kArrayPassword = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.3.11.1.1.4.0"); // read back masked
const QString kSaved = QStringLiteral("The configuration file saved successfully!");
const QString kNotSaved = QStringLiteral("Fail to save the configuration file!");
using Boxes = QList<QPair<QString, QString>>;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

QString octets(const QByteArray &text)
{
    return "4x|" + simtest::hexOf(text);
}

// A device that starts writing `name` to the server, sends one full block and then
// falls silent, as one that loses its link halfway.
bool startStalledUpload(QUdpSocket &device, quint16 serverPort, const QByteArray &name)
{
    if (!device.bind(QHostAddress::LocalHost, 0))
        return false;
    device.writeDatagram(QByteArray("\0\2", 2) + name + '\0' + "octet" + '\0', QHostAddress::LocalHost, serverPort);
    auto awaitAck = [&](char block, quint16 &port) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            QTest::qWait(10);
            while (device.hasPendingDatagrams()) {
                QByteArray ack(16, '\0');
                ack.resize(device.readDatagram(ack.data(), ack.size(), nullptr, &port));
                if (ack == QByteArray("\0\4\0", 3) + block)
                    return true;
            }
        }
        return false;
    };
    quint16 port = 0;
    if (!awaitAck('\0', port))
        return false;
    device.writeDatagram(QByteArray("\0\3\0\1", 4) + QByteArray(512, 'n'), QHostAddress::LocalHost, port);
    return awaitAck('\1', port);
}

} // namespace

class TestTFMCfgFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    quint16 m_tftpPort = 0;
    std::unique_ptr<simtest::Simulator> m_sim;
    std::unique_ptr<Host> m_main;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

    template <class T>
    static T *child(QWidget &w, const char *name) { return w.findChild<T *>(QLatin1String(name)); }
    static void click(QWidget &w, const char *button) { child<QPushButton>(w, button)->click(); }

    // Chooses `path` in the save dialog and starts the backup.
    void backUpTo(TFM_CfgFile &screen, const QString &path)
    {
        m_dialogs->fileNames = {path};
        click(screen, "Bt_SavBrw");
        QCOMPARE(child<QLineEdit>(screen, "Ed_SaveFile")->text(), path);
        click(screen, "Bt_Upload");
    }

private slots:
    void initTestCase()
    {
        m_tftpPort = simtest::freeUdpPort();
        QVERIFY(m_tftpPort != 0);
        qputenv("RWN3460_TFTP_PORT", QByteArray::number(m_tftpPort));
        m_sim = std::make_unique<simtest::Simulator>(QStringList{"--tftp-port", QString::number(m_tftpPort)});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
        OpenGlobalSession(m_dir.path());
        m_main = std::make_unique<Host>();
    }

    void hiddenCarriersAreThere()
    {
        TFM_CfgFile screen;
        for (const char *name : {"Ed_TfpSrv", "CB_TfpCom", "CB_UpgCom", "La_TftpSrv", "La_UpComm", "La_UpgrdComm"}) {
            const QWidget *control = screen.findChild<QWidget *>(QLatin1String(name));
            QVERIFY2(control, name);
            QVERIFY2(control->isHidden(), name);
        }
    }

    void cleanupTestCase()
    {
        m_main.reset();
        QVERIFY2(m_sim->stop(), qPrintable(m_sim->error()));
    }

    void init()
    {
        m_dialogs = std::make_unique<KxScriptedDialogsScope>();
        pointAt(*m_sim);
    }

    void cleanup() { m_dialogs.reset(); }

    void backupHoldsTheDevicesSettings_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        QTest::newRow("extension appended") << "ap backup" << "ap backup.kcf";
        QTest::newRow("capitalised extension kept") << "Saved.KCF" << "Saved.KCF";
        QTest::newRow("extension inside the name kept") << "ap.kcf.old" << "ap.kcf.old";
    }

    void backupHoldsTheDevicesSettings()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        const QByteArray name = QByteArray("backup ") + QTest::currentDataTag();
        QCOMPARE(m_sim->set({kSysName, "s", QString::fromUtf8(name)}).exitCode, 0);
        TFM_CfgFile screen;
        child<QLineEdit>(screen, "Ed_UpgFile")->setText("/elsewhere/restore.kcf");
        const int before = m_sim->journalLines().size();

        backUpTo(screen, m_dir.filePath(chosen));
        QCOMPARE(child<QLineEdit>(screen, "Ed_UpgFile")->text(), QString());
        QVERIFY(!screen.isEnabled()); // the notice is up
        QVERIFY(screen.BackupMode());

        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes(), Boxes({{"OK", kSaved}}), 15000);
        QVERIFY(screen.isEnabled());
        QVERIFY(!QFile::exists(m_dir.filePath(chosen)) || chosen == stored);
        // Every line of the file is the device's current value of that object.
        const simtest::Objects file = simtest::readDataFile(m_dir.filePath(stored));
        QVERIFY(file.size() >= 10);
        QCOMPARE(file.value(kSysName), octets(name));
        // A few objects per request: the whole file would not fit into one answer.
        simtest::Objects device;
        const QStringList keys = file.keys();
        for (qsizetype i = 0; i < keys.size(); i += 40)
            device.insert(simtest::parseToolOutput(m_sim->get(keys.mid(i, 40)).out));
        // A secret is in the file as the device keeps it, and read back only masked.
        simtest::Objects expected = file;
        QCOMPARE(expected.take(kArrayPassword), octets("arraykey1"));
        QCOMPARE(device.take(kArrayPassword), octets("********"));
        QCOMPARE(device, expected);
        QCOMPARE(setsSince(*m_sim, before), QList<QStringList>({addressSet(stored), transferSet(3), upgradeSet(2)}));
    }

    void restoreMakesTheFileTheDevicesSettings()
    {
        const QString path = m_dir.filePath("site A.Kcf");
        QVERIFY(writeFile(path, (kSysName + "|4|restored-ap\n" + kSysLocation + "|4|rack 7\n").toUtf8()));
        TFM_CfgFile screen;
        child<QLineEdit>(screen, "Ed_SaveFile")->setText("/somewhere/old.kcf");
        m_dialogs->fileNames = {path};
        click(screen, "Bt_Browse");
        QCOMPARE(child<QLineEdit>(screen, "Ed_UpgFile")->text(), path);
        QCOMPARE(child<QLineEdit>(screen, "Ed_SaveFile")->text(), QString());
        QCOMPARE(m_dialogs->shown[0].filter, QString(".kcf document (*.kcf);;All Files (*)"));
        const int before = m_sim->journalLines().size();

        click(screen, "Bt_OK");
        QCOMPARE(child<QLineEdit>(screen, "Ed_UpgFile")->text(), path);
        QTRY_COMPARE_WITH_TIMEOUT(setsSince(*m_sim, before).size(), 3, 15000);
        QCOMPARE(setsSince(*m_sim, before), QList<QStringList>({addressSet("site A.Kcf"), transferSet(2), upgradeSet(3)}));
        QCOMPARE(m_sim->value(kSysName), octets("restored-ap"));
        QCOMPARE(m_sim->value(kSysLocation), octets("rack 7"));
        QTRY_VERIFY(screen.isEnabled());
        QTest::qWait(100);
        QCOMPARE(m_dialogs->Boxes(), Boxes()); // a restore that worked ends silently
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("path"); // %1: a folder holding settings.txt
        QTest::addColumn<QString>("message");
        QTest::newRow("restore: empty") << "Bt_OK" << "" << "Empty file is not accepted.";
        QTest::newRow("restore: .txt") << "Bt_OK" << "%1/settings.txt" << "File format error! Please try again!";
        QTest::newRow("restore: missing .kcf") << "Bt_OK" << "%1/none.kcf" << "File format error! Please try again!";
        QTest::newRow("backup: empty") << "Bt_Upload" << "" << "Empty file is not accepted.";
    }

    void refusedFiles()
    {
        QFETCH(QString, button);
        QFETCH(QString, path);
        QFETCH(QString, message);
        QVERIFY(writeFile(m_dir.filePath("settings.txt"), "1.3.6.1.2.1.1.5.0|4|x\n"));
        TFM_CfgFile screen;
        const int before = m_sim->journalLines().size();
        child<QLineEdit>(screen, button == "Bt_OK" ? "Ed_UpgFile" : "Ed_SaveFile")->setText(path.contains("%1") ? path.arg(m_dir.path()) : path);
        click(screen, qPrintable(button));
        QCOMPARE(m_dialogs->Boxes(), Boxes({{"Warning", message}}));
        QVERIFY(screen.isEnabled());
        QTest::qWait(100);
        QCOMPARE(m_sim->journalLines().size(), before);
    }

    // A device that takes a while to assemble its configuration before it connects.
    void lateBackupIsWaitedFor()
    {
        simtest::Simulator device({"--tftp-port", QString::number(m_tftpPort), "--upload-delay", "5"});
        QVERIFY2(device.start(), qPrintable(device.error()));
        pointAt(device);
        TFM_CfgFile screen;
        QVERIFY(screen.ArrivalWait >= 30000);
        const QString path = m_dir.filePath("late.kcf");

        backUpTo(screen, path);
        QTRY_VERIFY(!setsSince(device, 0).isEmpty() && setsSince(device, 0).last() == upgradeSet(2));
        QTest::qWait(4000);
        QVERIFY(m_dialogs->Boxes().isEmpty());
        QVERIFY(!screen.isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes(), Boxes({{"OK", kSaved}}), 15000);
        QVERIFY(screen.isEnabled());
        QVERIFY(simtest::readDataFile(path).contains(kSysName));
        QVERIFY2(device.stop(), qPrintable(device.error()));
    }

    void undeliveredBackupFailsAndKeepsTheOlderOne_data()
    {
        QTest::addColumn<QStringList>("deviceArgs");
        QTest::addColumn<bool>("stalls"); // the device starts the file, then stops
        QTest::newRow("device acknowledges but never sends") << QStringList{"--lose-uploads"} << false;
        QTest::newRow("device stops after one block") << QStringList{"--lose-uploads"} << true;
        QTest::newRow("device cannot reach the server")
            << QStringList{"--tftp-port", QString::number(simtest::freeUdpPort())} << false;
    }

    void undeliveredBackupFailsAndKeepsTheOlderOne()
    {
        QFETCH(QStringList, deviceArgs);
        QFETCH(bool, stalls);
        if (!deviceArgs.contains("--tftp-port"))
            deviceArgs << "--tftp-port" << QString::number(m_tftpPort);
        simtest::Simulator device(deviceArgs);
        QVERIFY2(device.start(), qPrintable(device.error()));
        pointAt(device);
        QTemporaryDir folder;
        const QString path = folder.filePath("old.kcf");
        QVERIFY(writeFile(path, "older backup\n"));
        TFM_CfgFile screen;
        screen.ArrivalWait = 3000; // a short wait for the test; the default is far longer

        backUpTo(screen, path);
        // Once the device accepted the command, the notice stays up while the file is awaited.
        QTRY_VERIFY_WITH_TIMEOUT(!setsSince(device, 0).isEmpty() && setsSince(device, 0).last().mid(1) == upgradeSet(2).mid(1), 20000);
        if (setsSince(device, 0).last() == upgradeSet(2))
            QVERIFY(!screen.isEnabled());
        QUdpSocket stalled;
        if (stalls)
            QVERIFY(startStalledUpload(stalled, m_tftpPort, "old.kcf"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes(), Boxes({{"ERROR", kNotSaved}}), 20000);
        QVERIFY(screen.isEnabled());
        QCOMPARE(readFile(path), QByteArray("older backup\n"));
        QTRY_COMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"old.kcf"}));
        QTest::qWait(200);
        QCOMPARE(m_dialogs->Boxes().size(), 1);
        QVERIFY2(device.stop(), qPrintable(device.error()));
    }
};

QTEST_MAIN(TestTFMCfgFile)
#include "tst_tfm_cfgfile.moc"
