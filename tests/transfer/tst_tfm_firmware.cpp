// 'Tools \ Firmware' against the simulated device, which fetches the files from the
// screen's own TFTP server on loopback.
#include "KxDialogs.h"
#include "TFM_Firmware.h"
#include "TFM_Waiting.h"
#include "TransferScreenFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStatusBar>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

using namespace transfertest;

namespace {

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7919 + seed) >> 3);
    return bytes;
}

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

} // namespace

class TestTFMFirmware : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_kept; // what the device fetched
    QString m_previousDir;
    quint16 m_tftpPort = 0;
    std::unique_ptr<simtest::Simulator> m_sim;
    std::unique_ptr<Host> m_main;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;
    QStringList m_waits; // "text countdown restart" of every waiting dialog run

    template <class T>
    static T *child(QWidget &w, const char *name) { return w.findChild<T *>(QLatin1String(name)); }

    void upload(TFM_Firmware &screen, const char *edit, const char *button, const QString &path)
    {
        child<QLineEdit>(screen, edit)->setText(path);
        child<QPushButton>(screen, button)->click();
    }

private slots:
    void initTestCase()
    {
        m_tftpPort = simtest::freeUdpPort();
        QVERIFY(m_tftpPort != 0);
        qputenv("RWN3460_TFTP_PORT", QByteArray::number(m_tftpPort));
        // The device asks for Ethernet-sized blocks, as embedded clients commonly do.
        m_sim = std::make_unique<simtest::Simulator>(QStringList{
            "--reboot-seconds", "1", "--tftp-port", QString::number(m_tftpPort), "--tftp-blksize", "1428",
            "--keep-fetched", m_kept.path()});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
        // The device's silence after a restart is one second here: asked often, it is
        // seen back soon.
        KxRestartCheck::RetryMs = 200;
        OpenGlobalSession(m_dir.path());
        m_main = std::make_unique<Host>();
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }

    void hiddenCarriersAreThere()
    {
        TFM_Firmware screen;
        for (const char *name : {"Ed_TfpSrv", "Ed_RemoteFile", "CB_TfpCom", "CB_UpgCom", "StatusBar2", "La_TftpSrv", "La_UpComm", "La_UpgrdComm", "CB_SslUpdt", "CB_Reboot", "StatusBar1"}) {
            const QWidget *control = screen.findChild<QWidget *>(QLatin1String(name));
            QVERIFY2(control, name);
            QVERIFY2(control->isHidden(), name);
        }
    }

    void cleanupTestCase()
    {
        QDir::setCurrent(m_previousDir);
        m_main.reset();
        QVERIFY2(m_sim->stop(), qPrintable(m_sim->error()));
    }

    void init()
    {
        m_dialogs = std::make_unique<KxScriptedDialogsScope>();
        m_dialogs->ModalHandler = [this](QDialog *window) {
            if (auto *waiting = qobject_cast<TFM_Waiting *>(window))
                m_waits << QStringLiteral("%1 %2 %3").arg(waiting->Line("Label2")->text()).arg(waiting->Countdown)
                               .arg(waiting->SendRestartCommand);
            return 1;
        };
        m_waits.clear();
        pointAt(*m_sim);
        QVERIFY(m_sim->waitUntilAnswering(10000) >= 0);
    }

    void cleanup() { m_dialogs.reset(); }

    void firmwareIsFetchedThenTheDeviceRestarts()
    {
        const QByteArray image = pattern(3 * 1428 + 300, 1); // several blocks of the size asked
        const QString path = m_dir.filePath("fw v2.bin");
        QVERIFY(writeFile(path, image));
        TFM_Firmware screen;
        QVERIFY(screen.Server() && screen.Server()->IsListening());
        QCOMPARE(screen.Server()->Port(), m_tftpPort);
        const int before = m_sim->journalLines().size();

        upload(screen, "Ed_UpgFile", "Bt_OK", path);
        QCOMPARE(child<QLineEdit>(screen, "Ed_UpgFile")->text(), path);
        QCOMPARE(child<QLineEdit>(screen, "Ed_RemoteFile")->text(), QString("fw v2.bin"));
        QCOMPARE(child<QLineEdit>(screen, "Ed_TfpSrv")->text(), QString("127.0.0.1"));
        QCOMPARE(screen.Server()->Directory(), m_dir.path() + "/");

        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes().size(), 1, 20000);
        QCOMPARE(m_dialogs->Boxes()[0], qMakePair(QString("Warning"), QString("Update firmware success!")));
        QCOMPARE(m_waits, QStringList({"Loading firmware file... 5 0", "Updating firmware file... 90 0",
                                       "Device is restarting... 60 0"}));
        QCOMPARE(readFile(m_kept.filePath("fw v2.bin")), image);
        QTRY_COMPARE(setsSince(*m_sim, before).size(), 4);
        QCOMPARE(setsSince(*m_sim, before),
                 QList<QStringList>({addressSet("fw v2.bin"), transferSet(2), upgradeSet(1), upgradeSet(4)}));
        QVERIFY(!screen.RestartArmed());
        QCOMPARE(screen.StatusBar()->currentMessage(),
                 QString("The device restarted and reports: RWN-3460 Wireless Access Point, firmware 1.10.13"));
        QVERIFY(m_sim->waitUntilAnswering(10000) >= 0);
        // The restart's own answer (in by now) brings no second message.
        QTest::qWait(200);
        QCOMPARE(m_dialogs->Boxes().size(), 1);
    }

    // The waiting dialogs run real nested event loops: the upgrade command's answer comes
    // while the second wait is on screen, and its completion, on top of that wait,
    // writes the restart then and waits for it. Also after a certificate upload, which
    // had left the restart disarmed until the second wait was over.
    void restartIsWrittenDuringTheSecondWait_data()
    {
        QTest::addColumn<bool>("certificateFirst");
        QTest::newRow("firmware alone") << false;
        QTest::newRow("firmware after a certificate") << true;
    }

    void restartIsWrittenDuringTheSecondWait()
    {
        QFETCH(bool, certificateFirst);
        QVERIFY(writeFile(m_dir.filePath("nested.bin"), pattern(700, 4)));
        QVERIFY(writeFile(m_dir.filePath("nested.pem"), pattern(300, 5)));
        TFM_Firmware screen;
        if (certificateFirst) {
            upload(screen, "EDT_Certificate", "Bt_CUpload", m_dir.filePath("nested.pem"));
            QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->BoxTexts(), QStringList{"Update SSL success!"}, 15000);
            QVERIFY(!screen.RestartArmed());
            m_dialogs->Clear();
        }
        struct Run {
            QString text;
            qint64 from = -1;
            qint64 to = -1;  // simulator milliseconds: no journaled arrival is later
            bool overSecond = false;
        };
        QList<Run> runs;
        QPointer<TFM_Waiting> second;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            auto *waiting = qobject_cast<TFM_Waiting *>(window);
            if (!waiting)
                return 0;
            const QString text = waiting->Line("Label2")->text();
            const bool isSecond = text == "Updating firmware file...";
            const qsizetype index = runs.size();
            runs << Run{text, m_sim->sinceStart(), -1, second && second->isVisible()};
            if (isSecond)
                second = waiting;
            // Shorter than the dialogs' own countdowns, long enough for the device to
            // fetch the file and answer.
            screentest::RunNestedLoop(waiting, text.startsWith("Loading") ? 300 : isSecond ? 4000 : 1500);
            runs[index].to = m_sim->sinceStart();
            return 1;
        };
        const int before = m_sim->journalLines().size();
        upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("nested.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(runs.size() >= 2 && runs[1].to >= 0, 30000);

        QCOMPARE(runs.size(), 3);
        QCOMPARE(runs[0].text, QString("Loading firmware file..."));
        QCOMPARE(runs[1].text, QString("Updating firmware file..."));
        QCOMPARE(runs[2].text, QString("Device is restarting..."));
        QVERIFY(runs[2].overSecond);
        QCOMPARE(m_dialogs->BoxTexts(), QStringList{"Update firmware success!"});
        QCOMPARE(setsSince(*m_sim, before),
                 QList<QStringList>({addressSet("nested.bin"), transferSet(2), upgradeSet(1), upgradeSet(4)}));
        const QList<simtest::JournalEntry> journal = m_sim->journal().mid(before);
        const qint64 restartAt = journal[3].ms;
        QVERIFY(journal[2].ms <= restartAt);
        QVERIFY2(restartAt <= runs[1].to && restartAt <= runs[2].to,
                 qPrintable(QStringLiteral("restart at %1 ms, second wait %2..%3, third %4..%5")
                                .arg(restartAt).arg(runs[1].from).arg(runs[1].to).arg(runs[2].from).arg(runs[2].to)));
        QVERIFY(!screen.RestartArmed());
    }

    void keyRowOpensOnlyAfterACertificate()
    {
        const QByteArray certificate = pattern(700, 2);
        const QByteArray key = pattern(1428, 3); // exactly one block: an empty one ends it
        QVERIFY(writeFile(m_dir.filePath("ap.pem"), certificate));
        QVERIFY(writeFile(m_dir.filePath("ap-key.der"), key));
        TFM_Firmware screen;
        for (const char *name : {"EDT_Key", "Bt_KBrowse", "Bt_KUpload"})
            QVERIFY2(!child<QWidget>(screen, name)->isEnabled(), name);
        const int before = m_sim->journalLines().size();

        upload(screen, "EDT_Certificate", "Bt_CUpload", m_dir.filePath("ap.pem"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes().size(), 1, 15000);
        QCOMPARE(m_dialogs->Boxes()[0], qMakePair(QString("Warning"), QString("Update SSL success!")));
        QCOMPARE(m_waits, QStringList({"Loading pem file... 5 0"}));
        QCOMPARE(child<QLineEdit>(screen, "EDT_Certificate")->text(), QString());
        for (const char *name : {"EDT_Key", "Bt_KBrowse", "Bt_KUpload"})
            QVERIFY2(child<QWidget>(screen, name)->isEnabled(), name);
        QVERIFY(!screen.RestartArmed());

        upload(screen, "EDT_Key", "Bt_KUpload", m_dir.filePath("ap-key.der"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes().size(), 2, 15000);
        QCOMPARE(m_dialogs->Boxes()[1], qMakePair(QString("Warning"), QString("Update KEY success!")));
        QCOMPARE(child<QLineEdit>(screen, "EDT_Key")->text(), QString());
        for (const char *name : {"EDT_Key", "Bt_KBrowse", "Bt_KUpload"})
            QVERIFY2(!child<QWidget>(screen, name)->isEnabled(), name);

        QCOMPARE(readFile(m_kept.filePath("ap.pem")), certificate);
        QCOMPARE(readFile(m_kept.filePath("ap-key.der")), key);
        QCOMPARE(setsSince(*m_sim, before),
                 QList<QStringList>({addressSet("ap.pem"), transferSet(2), upgradeSet(7),
                                     addressSet("ap-key.der"), transferSet(2), upgradeSet(8)}));
    }

    void refusedCommandIsReported()
    {
        QVERIFY(writeFile(m_dir.filePath("refused.bin"), "x"));
        // The device refuses every set; the next test points at it afresh.
        GlobalSecurity.writeCommunity = GlobalSecurity.readCommunity;
        TFM_Firmware screen;
        upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("refused.bin"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->Boxes(),
                                  (QList<QPair<QString, QString>>{{"Warning", "Cant Perform Operation,Please try again!"}}),
                                  10000);
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("(SNMP) Cannot access variable, No Access!"));
        QVERIFY(m_waits.isEmpty());
        QVERIFY(screen.RestartArmed());
    }

    void refusedPaths_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("path"); // %1: a folder holding fw.img, fw.BIN, ap.crt
        QTest::addColumn<QString>("message");
        const QString firmwareEmpty = "Please put in the firmware file & path.";
        const QString firmwareInvalid = "Please put in valid firmware file & path.";
        QTest::newRow("firmware: empty") << "Bt_OK" << "Ed_UpgFile" << "" << firmwareEmpty;
        QTest::newRow("firmware: trailing separator") << "Bt_OK" << "Ed_UpgFile" << "%1/" << firmwareEmpty;
        QTest::newRow("firmware: wrong extension") << "Bt_OK" << "Ed_UpgFile" << "%1/fw.img" << firmwareInvalid;
        QTest::newRow("firmware: capitalised extension") << "Bt_OK" << "Ed_UpgFile" << "%1/fw.BIN" << firmwareInvalid;
        QTest::newRow("firmware: missing file") << "Bt_OK" << "Ed_UpgFile" << "%1/none.bin" << firmwareInvalid;
        QTest::newRow("firmware: bare name") << "Bt_OK" << "Ed_UpgFile" << "bare.bin" << "The file path is error.";
        QTest::newRow("certificate: empty") << "Bt_CUpload" << "EDT_Certificate" << "" << "Empty file is not accepted!";
        QTest::newRow("certificate: trailing separator")
            << "Bt_CUpload" << "EDT_Certificate" << "%1/" << "Empty file is not accepted!";
        QTest::newRow("certificate: wrong extension")
            << "Bt_CUpload" << "EDT_Certificate" << "%1/ap.crt" << "File format error! Please try again.";
        QTest::newRow("certificate: capitalised extension")
            << "Bt_CUpload" << "EDT_Certificate" << "%1/ap.PEM" << "File format error! Please try again.";
        QTest::newRow("certificate: missing file")
            << "Bt_CUpload" << "EDT_Certificate" << "%1/none.pem" << "Please put in valid pem file & path.";
        QTest::newRow("language pack: empty") << "Bt_Lpack" << "Ed_UpLanguageFile" << "" << "Empty file is not accepted!";
        QTest::newRow("language pack: missing file, any extension")
            << "Bt_Lpack" << "Ed_UpLanguageFile" << "%1/lang.dat" << "Please put in valid pem file & path.";
    }

    void refusedPaths()
    {
        QFETCH(QString, button);
        QFETCH(QString, edit);
        QFETCH(QString, path);
        QFETCH(QString, message);
        for (const char *name : {"fw.img", "fw.BIN", "ap.crt", "bare.bin"})
            QVERIFY(writeFile(m_dir.filePath(name), "x"));
        TFM_Firmware screen;
        const int before = m_sim->journalLines().size();
        const QString text = path.contains("%1") ? path.arg(m_dir.path()) : path;
        upload(screen, qPrintable(edit), qPrintable(button), text);
        QCOMPARE(m_dialogs->Boxes(), (QList<QPair<QString, QString>>{{"Warning", message}}));
        QCOMPARE(child<QLineEdit>(screen, qPrintable(edit))->text(), text);
        QVERIFY(m_waits.isEmpty());
        QTest::qWait(100);
        QCOMPARE(m_sim->journalLines().size(), before);
    }

    // A device behind the PC's firewall acknowledges the command and never arrives: the
    // user hears where it was sent and what probably stops it, within the bounded wait.
    void blockedTransferIsDiagnosed()
    {
        simtest::Simulator blocked({"--tftp-blocked", "--tftp-port", QString::number(m_tftpPort)});
        QVERIFY2(blocked.start(), qPrintable(blocked.error()));
        pointAt(blocked);
        QVERIFY(writeFile(m_dir.filePath("blocked.bin"), pattern(2000, 6)));
        const int previous = KxTransferScreen::ConnectWaitMs;
        KxTransferScreen::ConnectWaitMs = 1500;
        TFM_Firmware screen;
        QElapsedTimer clock;
        clock.start();
        upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("blocked.bin"));
        const auto diagnosis = [&] {
            for (const QString &text : m_dialogs->BoxTexts())
                if (text.startsWith("The device did not connect"))
                    return text;
            return QString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!diagnosis().isEmpty(), 6000);
        KxTransferScreen::ConnectWaitMs = previous;
        QVERIFY2(clock.elapsed() < 1500 + 3000, qPrintable(QString::number(clock.elapsed())));
        const QString port = QString::number(m_tftpPort);
        QCOMPARE(diagnosis(),
                 "The device did not connect to the TFTP server at 127.0.0.1 port " + port + " within 2 seconds. "
                 "Likely causes: a firewall on this PC blocks UDP to port " + port + "; the PC address 127.0.0.1 "
                 "is on another network than the device's; UDP port " + port + " is not available on this PC.");
        QCOMPARE(screen.StatusBar()->currentMessage(), diagnosis());
        // The device took the command but never had the image: it is neither restarted
        // nor is the upgrade called a success.
        QTest::qWait(300);
        QCOMPARE(m_dialogs->BoxTexts(), QStringList{diagnosis()});
        QCOMPARE(setsSince(blocked, 0),
                 QList<QStringList>({addressSet("blocked.bin"), transferSet(2), upgradeSet(1)}));
        QVERIFY(!screen.RestartArmed());
        QVERIFY(blocked.stop());
    }

    // After the restart the device is asked what it runs now; one that never went down
    // is no success.
    void restartIsConfirmed_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("status"); // a regular expression
        QTest::newRow("new firmware")
            << QStringList{"--upgraded-descr", "RWN-3460 Wireless Access Point, firmware 2.0.1"}
            << QStringList{"Update firmware success!"}
            << "The device restarted and reports: RWN-3460 Wireless Access Point, firmware 2\\.0\\.1";
        const QString stayedUp = "The device answers but did not restart: it has been up for 0:00:\\d\\d\\.\\d\\d\\.";
        QTest::newRow("no restart") << QStringList{"--no-restart"} << QStringList{stayedUp} << stayedUp;
    }

    void restartIsConfirmed()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, boxes);
        QFETCH(QString, status);
        simtest::Simulator device(options + QStringList{"--reboot-seconds", "1", "--tftp-port", QString::number(m_tftpPort)});
        QVERIFY2(device.start(), qPrintable(device.error()));
        pointAt(device);
        QVERIFY(writeFile(m_dir.filePath("new.bin"), pattern(5000, 8)));
        TFM_Firmware screen;
        upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("new.bin"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->BoxTexts().size(), 1, 20000);
        QVERIFY2(QRegularExpression("^" + boxes[0] + "$").match(m_dialogs->BoxTexts()[0]).hasMatch(),
                 qPrintable(m_dialogs->BoxTexts()[0]));
        QVERIFY2(QRegularExpression("^" + status + "$").match(screen.StatusBar()->currentMessage()).hasMatch(),
                 qPrintable(screen.StatusBar()->currentMessage()));
        QCOMPARE(setsSince(device, 0).last(), upgradeSet(4));
        QVERIFY(device.stop());
    }

    // While the device fetches the image, the wait's progress line follows the server.
    void progressAdvancesDuringAnUpload()
    {
        const int size = 4 * 1024 * 1024;
        QByteArray image(size, '\0');
        for (int i = 0; i < size; ++i)
            image[i] = char(i % 251);
        QVERIFY(writeFile(m_dir.filePath("big.bin"), image));
        QStringList seen;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            auto *waiting = qobject_cast<TFM_Waiting *>(window);
            if (!waiting || waiting->Line("Label2")->text() != "Updating firmware file...")
                return 1;
            QTimer sample;
            QObject::connect(&sample, &QTimer::timeout, waiting, [&] {
                const QLabel *line = waiting->Line("La_Progress");
                const QString text = line ? line->text() : QString();
                if (seen.isEmpty() || seen.last() != text)
                    seen << text;
                if (text == "received")
                    waiting->done(1);
            });
            sample.start(10);
            QTimer::singleShot(15000, waiting, [waiting] { waiting->done(1); });
            waiting->exec();
            return 1;
        };
        TFM_Firmware screen;
        upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("big.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty() && seen.last() == "received", 20000);
        const QRegularExpression bytes("^(\\d+) of 4194304 bytes \\((\\d+)%\\)$");
        qint64 last = -1;
        int steps = 0;
        for (const QString &text : seen) {
            const QRegularExpressionMatch m = bytes.match(text);
            if (!m.hasMatch())
                continue;
            QVERIFY2(m.captured(1).toLongLong() > last, qPrintable(seen.join('|')));
            QCOMPARE(m.captured(2).toLongLong(), m.captured(1).toLongLong() * 100 / size);
            last = m.captured(1).toLongLong();
            ++steps;
        }
        QVERIFY2(steps >= 3, qPrintable(seen.join('|')));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->BoxTexts(), QStringList{"Update firmware success!"}, 20000);
        QVERIFY(m_sim->waitUntilAnswering(10000) >= 0);
    }

    // A device that goes silent part-way: the message says how far the transfer got.
    void stallReportsItsByteCount()
    {
        simtest::Simulator stalling({"--tftp-stall-after", "4000", "--tftp-blksize", "1428",
                                     "--tftp-port", QString::number(m_tftpPort)});
        QVERIFY2(stalling.start(), qPrintable(stalling.error()));
        pointAt(stalling);
        QVERIFY(writeFile(m_dir.filePath("stall.bin"), pattern(10 * 1428, 7)));
        TFM_Firmware screen;
        screen.Server()->SetTimeout(30, 2); // gives up after two seconds of silence
        upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("stall.bin"));
        const QRegularExpression stalled("^The transfer of \"stall.bin\" stalled after (\\d+) bytes: the device acknowledged no more.$");
        const auto message = [&] {
            for (const QString &text : m_dialogs->BoxTexts())
                if (stalled.match(text).hasMatch())
                    return stalled.match(text);
            return QRegularExpressionMatch();
        };
        QTRY_VERIFY_WITH_TIMEOUT(message().hasMatch(), 8000);
        // Blocks of 1428 bytes: the server had sent three; the client took two and went
        // silent at the third.
        QCOMPARE(message().captured(1).toInt(), 3 * 1428);
        QVERIFY(stalling.stop());
    }

    void busyPortEndsTheModule()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, m_tftpPort, QAbstractSocket::DontShareAddress));
        int ended = 0;
        const auto previous = KxTransferScreen::EndModule;
        KxTransferScreen::EndModule = [&] { ++ended; };
        {
            TFM_Firmware screen;
            KxTransferScreen::EndModule = previous;
            QCOMPARE(ended, 1);
            QVERIFY(!screen.Server());
            QCOMPARE(m_dialogs->BoxTexts(),
                     QStringList({"TFTP Service Init Error:(KxTFTP) Fail to open socket!Please check if the network is ready."
                                  " (UDP port " + QString::number(m_tftpPort) + ": The bound address is already in use)"}));
            QVERIFY(writeFile(m_dir.filePath("late.bin"), "x"));
            upload(screen, "Ed_UpgFile", "Bt_OK", m_dir.filePath("late.bin"));
            QCOMPARE(m_dialogs->BoxTexts().size(), 1);
        }
    }
};

QTEST_MAIN(TestTFMFirmware)
#include "tst_tfm_firmware.moc"
