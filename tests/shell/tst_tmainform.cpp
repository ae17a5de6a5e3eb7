// The main window, the device-wide commands and the waiting dialog, driven by their
// control names against the simulated device.
#include "KxDialogs.h"
#include "KxFrontPanel.h"
#include "KxScreenFixture.h"
#include "KxRequest2Edits.h"
#include "KxSession.h"
#include "SimFixture.h"
#include "TAboutForm.h"
#include "TFM_Sytem.h"
#include "TFM_Waiting.h"
#include "TMainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kRoot = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");

// The varbinds of journal lines written after `from`, one list per SET PDU.
QList<QStringList> setsSince(const simtest::Simulator &sim, int from)
{
    QList<QStringList> sets;
    const QStringList lines = sim.journalLines();
    for (int i = from; i < lines.size(); ++i)
        sets << lines[i].split('\t').mid(5);
    return sets;
}

QAction *action(QMainWindow &window, const QString &text)
{
    return window.findChild<QAction *>(text);
}

} // namespace

class TestTMainForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    simtest::Simulator m_sim{{"--reboot-seconds", "1"}};
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

    void pointAtSimulator()
    {
        GlobalDevice.address = "127.0.0.1";
        GlobalDevice.port = m_sim.port();
        GlobalSecurity = KxSNMPSecurity();
        GlobalSecurity.version = 1;
    }

    void waitForDevice() { QVERIFY(m_sim.waitUntilAnswering(10000) >= 0); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start());
        OpenGlobalSession(m_dir.path());
        // The device is silent for one second after a restart: asked often, it is seen
        // back soon.
        KxRestartCheck::RetryMs = 200;
    }

    void init()
    {
        m_dialogs = std::make_unique<KxScriptedDialogsScope>();
        pointAtSimulator();
        waitForDevice();
    }

    void cleanup() { m_dialogs.reset(); }

    void lampsComeAlive()
    {
        TMainForm form;
        auto *power = form.findChild<KxLamp *>("LED_Power");
        auto *lan24 = form.findChild<KxLamp *>("LED_24GLan");
        auto *lan5 = form.findChild<KxLamp *>("LED_5GLan");
        auto *ap = form.findChild<KxLamp *>("LED_APstatus");
        QCOMPARE(power->color(), QColor(Qt::white));
        form.StartRequests();
        // The start-up reads hold nothing up: their values arrive with the answers.
        QCOMPARE(form.findChild<QComboBox *>("CB_Band")->currentIndex(), -1);
        QTRY_COMPARE(form.findChild<QComboBox *>("CB_Band")->currentIndex(), 0);
        QTRY_COMPARE(form.findChild<QLineEdit *>("Ed_SysIpaddress")->text(), QString("192.168.0.50"));
        QTRY_COMPARE(form.findChild<QComboBox *>("Cbox_SaveAct")->currentText(), QString("nothing"));
        QTRY_COMPARE(form.findChild<QComboBox *>("Cbox_Restart")->currentText(), QString("nothing"));
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 5000);
        QTRY_COMPARE(form.findChild<QLineEdit *>("IPAddressEdit")->text(), QString("192.168.0.50"));
        QCOMPARE(form.findChild<QLineEdit *>("SubMaskEdit")->text(), QString("255.255.255.0"));
        QCOMPARE(power->color(), KxLamp::Lit);
        QCOMPARE(ap->color(), KxLamp::Lit);
        // The band may arrive after the first poll's answer: the next blink step uses it.
        QTRY_VERIFY(lan5->isHidden());
        const QColor before = lan24->color();
        form.BlinkStep();
        QVERIFY(lan24->color() != before);
        QVERIFY(lan24->color() == KxLamp::Lit || lan24->color() == KxLamp::Dark);
        const QRegularExpression report("^Get: \\(KxSNMP\\+\\+\\) Ok!\\. Receive at \\d\\d:\\d\\d:\\d\\d (AM|PM)\\.$");
        QVERIFY2(report.match(form.StatusText()).hasMatch(), qPrintable(form.StatusText()));
        QCOMPARE(form.findChild<QStatusBar *>("MainStatusBar")->currentMessage(), form.StatusText());
    }

    // The poll report says AM or PM in every language, and nothing but the next report
    // replaces it: not the empty status tip a menu sends when it opens.
    void pollReportKeepsItsFixedFormAndStays()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        TMainForm form;
        form.show();
        form.StartRequests();
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 5000);
        QLocale::setDefault(previous);
        const QRegularExpression report("^Get: \\(KxSNMP\\+\\+\\) Ok!\\. Receive at \\d\\d:\\d\\d:\\d\\d (AM|PM)\\.$");
        QVERIFY2(report.match(form.StatusText()).hasMatch(), qPrintable(form.StatusText()));
        auto *bar = form.findChild<QStatusBar *>("MainStatusBar");
        const QString shown = bar->currentMessage();
        QVERIFY(!shown.isEmpty());
        QStatusTipEvent emptyTip{QString()};
        QApplication::sendEvent(form.menuBar(), &emptyTip);
        QStatusTipEvent otherTip{QStringLiteral("a tip")};
        QApplication::sendEvent(form.menuBar(), &otherTip);
        QCOMPARE(bar->currentMessage(), shown);
    }

    void windowsAreCentred()
    {
        TMainForm form;
        const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((form.geometry().center() - desk.center()).manhattanLength() <= 2);
        form.show();
        TFM_Waiting waiting(&form);
        waiting.Timer1.stop();
        waiting.SetLines("A much longer second line than the default one, to change the size", QString());
        waiting.show();
        // Within the few pixels a window frame may add.
        QVERIFY((waiting.frameGeometry().center() - form.frameGeometry().center()).manhattanLength() <= 4);
        QCOMPARE(waiting.minimumSize(), waiting.maximumSize()); // not resizable
    }

    void fiveGigahertzBlinksTheOtherLamp()
    {
        const QString band = kRoot + ".2.1.3.3.1.1.1.34.1";
        QVERIFY(m_sim.set({band, "i", "1"}).exitCode == 0);
        TMainForm form;
        form.StartRequests();
        QTRY_COMPARE(form.findChild<QComboBox *>("CB_Band")->currentIndex(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 5000);
        auto *lan5 = form.findChild<KxLamp *>("LED_5GLan");
        auto *lan24 = form.findChild<KxLamp *>("LED_24GLan");
        QTRY_VERIFY(lan24->isHidden());
        QVERIFY(!lan5->isHidden());
        const QColor before = lan5->color();
        form.BlinkStep();
        QVERIFY(lan5->color() != before);
        QVERIFY(m_sim.set({band, "i", "0"}).exitCode == 0);
    }

    void silentDeviceDarkensTheLampsAndEmptiesTheAddress()
    {
        // A restart keeps the device silent for a while.
        simtest::Simulator quiet({"--reboot-seconds", "8"});
        QVERIFY(quiet.start());
        GlobalDevice.port = quiet.port();
        TMainForm silent;
        silent.PollTimeout = 20;
        silent.StartRequests();
        QTRY_VERIFY_WITH_TIMEOUT(silent.LampsLit(), 5000);
        QTRY_VERIFY(!silent.findChild<QLineEdit *>("IPAddressEdit")->text().isEmpty());
        QVERIFY(quiet.set({kRoot + ".4.2.1.0", "i", "1"}).exitCode == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!silent.LampsLit(), 8000);
        QCOMPARE(silent.StatusText(), QString("(SNMPClass) SNMP request timed out!"));
        for (const char *name : {"LED_Power", "LED_5GLan", "LED_24GLan", "LED_APstatus"})
            QCOMPARE(silent.findChild<KxLamp *>(name)->color(), KxLamp::Dark);
        for (int tick = 0; tick < 8; ++tick)
            silent.RefreshDeviceAddress();
        QCOMPARE(silent.findChild<QLineEdit *>("IPAddressEdit")->text(), QString());
        QTest::qWait(300); // the silent device fills nothing back in
        QCOMPARE(silent.findChild<QLineEdit *>("IPAddressEdit")->text(), QString());
        pointAtSimulator();
    }

    void failedPollDarkensTheLamps()
    {
        TMainForm form;
        form.StartRequests();
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 5000);
        // An SNMPv3 user the device does not know: refused at once, not by time-out.
        GlobalSecurity.version = 3;
        GlobalSecurity.securityModel = 3;
        GlobalSecurity.securityName = "stranger";
        TMainForm other;
        other.StartRequests();
        QTRY_VERIFY_WITH_TIMEOUT(other.StatusText().startsWith("(SNMPv3"), 10000);
        QVERIFY(!other.LampsLit());
        for (const char *name : {"LED_Power", "LED_5GLan", "LED_24GLan", "LED_APstatus"}) {
            QCOMPARE(other.findChild<KxLamp *>(name)->color(), KxLamp::Dark);
            QVERIFY(!other.findChild<KxLamp *>(name)->isHidden());
        }
        // An address that is no address is reported as the poll starts.
        GlobalDevice.address = "no-such-host.invalid";
        TMainForm broken;
        broken.StartRequests();
        QCOMPARE(broken.StatusText(), QString("(KxSNMP++) Invalid IP Address or DNS name!"));
        QCOMPARE(broken.findChild<KxLamp *>("LED_Power")->color(), KxLamp::Dark);
    }

    void addressFieldsAreEmptiedEveryFourteenSeconds()
    {
        TMainForm form;
        form.StartRequests();
        auto *address = form.findChild<QLineEdit *>("IPAddressEdit");
        QTRY_COMPARE(address->text(), QString("192.168.0.50"));
        for (int tick = 1; tick <= 7; ++tick)
            form.RefreshDeviceAddress();
        QCOMPARE(address->text(), QString("192.168.0.50"));
        form.RefreshDeviceAddress(); // the 8th tick empties, then the answer refills
        QCOMPARE(address->text(), QString());
        QTRY_COMPARE(address->text(), QString("192.168.0.50"));
    }

    void saveAndActivateThenDiscard()
    {
        TMainForm form;
        form.StartRequests();
        QTRY_COMPARE(form.findChild<QComboBox *>("Cbox_Discard")->currentText(), QString("nothing"));
        int waits = 0;
        QList<int> countdowns;
        QStringList lines;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            if (auto *waiting = qobject_cast<TFM_Waiting *>(window)) {
                ++waits;
                countdowns << waiting->Countdown << int(waiting->SendRestartCommand);
                lines << waiting->Line("Label2")->text() << waiting->Line("Label3")->text();
            }
            return 1;
        };
        const int before = m_sim.journalLines().size();
        form.SaveAndActivate();
        QCOMPARE(waits, 1);
        QCOMPARE(countdowns, QList<int>({60, 0}));
        QCOMPARE(lines, QStringList({"The device is activate...", "Please DO NOT POWER OFF the device"}));
        QList<QStringList> sets = setsSince(m_sim, before);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0], QStringList({kRoot + ".4.2.3.0|2|1", kRoot + ".4.2.4.0|2|0", kRoot + ".4.2.1.0|2|1"}));
        QCOMPARE(form.findChild<QComboBox *>("Cbox_Restart")->currentText(), QString("nothing"));
        QCOMPARE(form.findChild<QComboBox *>("Cbox_SaveAct")->currentText(), QString("apply"));
        // Once the device answers again its uptime says it restarted.
        auto *restartLine = form.findChild<QLabel *>("La_RestartCheck");
        const QRegularExpression restarted("^The device restarted \\(up for 0:00:0\\d\\.\\d\\d\\)\\.$");
        QTRY_COMPARE_WITH_TIMEOUT(restartLine->text(), QString("restarted"), 10000);
        QVERIFY2(restarted.match(restartLine->accessibleDescription()).hasMatch(),
                 qPrintable(restartLine->accessibleDescription()));
        QCOMPARE(restartLine->toolTip(), restartLine->accessibleDescription());
        waitForDevice();

        form.DiscardChanges();
        QCOMPARE(restartLine->text(), QString()); // until this restart is checked
        QTRY_COMPARE_WITH_TIMEOUT(restartLine->text(), QString("restarted"), 10000);
        QCOMPARE(waits, 2);
        QCOMPARE(countdowns, QList<int>({60, 0, 81, 0}));
        QCOMPARE(lines.mid(2), QStringList({"The device is rebooting...", "Please DO NOT POWER OFF the device"}));
        sets = setsSince(m_sim, before + 1);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0], QStringList({kRoot + ".4.2.3.0|2|1", kRoot + ".4.2.4.0|2|1", kRoot + ".4.2.1.0|2|0"}));
        waitForDevice();
    }

    void systemRestartAndRestore()
    {
        TFM_Sytem screen;
        const int before = m_sim.journalLines().size();
        m_dialogs->answers = {QMessageBox::Cancel};
        screen.Button1Click();
        QCOMPARE(m_dialogs->Boxes().last(), qMakePair(QString("Warning"), QString("Device will reboot, continue?")));
        QCOMPARE(m_sim.journalLines().size(), before); // cancelled: nothing written

        QString caption;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            caption = window->windowTitle();
            return 1;
        };
        screen.Button1Click();
        QCOMPARE(caption, QString("System is rebooting, please waiting....."));
        QCOMPARE(setsSince(m_sim, before), QList<QStringList>{{kRoot + ".4.2.1.0|2|1"}});
        const QRegularExpression restarted("^The device restarted \\(up for 0:00:0\\d\\.\\d\\d\\)\\.$");
        QTRY_VERIFY_WITH_TIMEOUT(restarted.match(screen.StatusBar()->currentMessage()).hasMatch(), 10000);
        waitForDevice();

        screen.StatusBar()->clearMessage();
        screen.Button2Click();
        QCOMPARE(m_dialogs->Boxes().last().second, QString("Restore to Factory Default Settings?"));
        QCOMPARE(caption, QString("System is rebooting, please waiting.....!"));
        QCOMPARE(setsSince(m_sim, before + 1), QList<QStringList>{{kRoot + ".4.2.2.0|2|1"}});
        QTRY_VERIFY_WITH_TIMEOUT(restarted.match(screen.StatusBar()->currentMessage()).hasMatch(), 10000);
        waitForDevice();
    }

    // A device that takes a restart command and stays up is told, not passed over.
    void restartThatNeverHappensIsReported()
    {
        simtest::Simulator stays({"--no-restart"});
        QVERIFY(stays.start());
        GlobalDevice.port = stays.port();
        const QRegularExpression stayedUp("^The device answers but did not restart: it has been up for 0:00:\\d\\d\\.\\d\\d\\.$");
        {
            TMainForm form;
            form.StartRequests();
            QTRY_COMPARE(form.findChild<QComboBox *>("Cbox_Discard")->currentText(), QString("nothing"));
            form.SaveAndActivate();
            auto *restartLine = form.findChild<QLabel *>("La_RestartCheck");
            QTRY_COMPARE_WITH_TIMEOUT(restartLine->text(), QString("did not restart"), 10000);
            QVERIFY2(stayedUp.match(restartLine->accessibleDescription()).hasMatch(),
                     qPrintable(restartLine->accessibleDescription()));
            QCOMPARE(m_dialogs->Boxes().last(), qMakePair(QString("Warning"), restartLine->accessibleDescription()));
        }
        TFM_Sytem screen;
        const int boxes = m_dialogs->Boxes().size();
        screen.Button1Click();
        QTRY_VERIFY_WITH_TIMEOUT(stayedUp.match(screen.StatusBar()->currentMessage()).hasMatch(), 10000);
        QCOMPARE(m_dialogs->Boxes().size(), boxes + 2); // the question, then the finding
        QCOMPARE(m_dialogs->Boxes().last().second, screen.StatusBar()->currentMessage());
        QCOMPARE(setsSince(stays, 0).last(), QStringList{kRoot + ".4.2.1.0|2|1"});
        QVERIFY(stays.stop());
    }

    // The waiting dialog runs a real nested event loop over the live main window while
    // the device restarts: the poll goes on, darkens the lamps and lights them again,
    // and the dialog ends as soon as the poll sees the device back. On either band: a
    // 5 GHz device never lights the 2.4 GHz lamp, and a dialog watching that lamp
    // would only give up, six ticks after reaching 1.
    void waitingDialogFollowsTheLivePoll_data()
    {
        QTest::addColumn<QString>("band");
        QTest::addColumn<int>("item");
        QTest::newRow("2.4 GHz") << "0" << 0;
        QTest::newRow("5 GHz") << "1" << 1;
    }

    void waitingDialogFollowsTheLivePoll()
    {
        QFETCH(QString, band);
        QFETCH(int, item);
        QTemporaryDir dir;
        QStringList args = simtest::variantArgs(dir.path(), {{kRoot + ".2.1.3.3.1.1.1.34.1", "2|" + band}});
        QVERIFY(!args.isEmpty());
        simtest::Simulator device(args << "--reboot-seconds" << "3");
        QVERIFY2(device.start(), qPrintable(device.error()));
        GlobalDevice.port = device.port();
        TMainForm form;
        form.PollTimeout = 20;
        form.StartRequests();
        QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 5000);
        QTRY_COMPARE(form.BandItem(), item);

        QVERIFY(device.set({kRoot + ".4.2.1.0", "i", "1"}).exitCode == 0); // silent for 3 s
        TFM_Waiting waiting(&form);
        waiting.Countdown = 3;
        waiting.SendRestartCommand = false;
        bool sawDark = false;
        bool sawLitAgain = false;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this, [&] {
            bool dark = true;
            for (const char *name : {"LED_Power", "LED_5GLan", "LED_24GLan", "LED_APstatus"})
                dark = dark && form.findChild<KxLamp *>(name)->color() == KxLamp::Dark;
            sawDark = sawDark || dark;
            sawLitAgain = sawLitAgain || (sawDark && form.findChild<KxLamp *>("LED_Power")->color() == KxLamp::Lit);
        });
        sampler.start(50);
        m_dialogs->ModalHandler = [](QDialog *window) { return screentest::RunNestedLoop(window, 15000); };
        const int result = Dialogs().RunModal(&waiting);
        sampler.stop();
        QVERIFY(sawDark);
        QVERIFY(sawLitAgain);
        QCOMPARE(result, int(QDialog::Accepted)); // it closed itself
        QCOMPARE(waiting.Countdown, 0);
        QVERIFY2(waiting.MissCount < 6, qPrintable(QString::number(waiting.MissCount)));
        QVERIFY(form.LampsLit());
        pointAtSimulator();
    }

    void countdownClosesWhenTheDeviceAnswers()
    {
        TFM_Waiting waiting;
        waiting.Timer1.stop();
        waiting.SendRestartCommand = false;
        waiting.Countdown = 3;
        bool answers = false;
        waiting.DeviceAnswers = [&] { return answers; };
        waiting.show();
        waiting.Tick();
        waiting.Tick();
        QCOMPARE(waiting.Countdown, 1);
        QCOMPARE(waiting.findChild<QLabel *>("La_Time")->text(), QString("1"));
        waiting.Tick(); // stuck at 1 without an answer
        QCOMPARE(waiting.MissCount, 1);
        QVERIFY(!waiting.close()); // refused while counting
        QVERIFY(waiting.isVisible());
        answers = true;
        waiting.Tick();
        QCOMPARE(waiting.Countdown, 0);
        QCOMPARE(waiting.result(), int(QDialog::Accepted));
        QVERIFY(!waiting.isVisible());
    }

    void countdownGivesUpSixTicksAfterOne()
    {
        TFM_Waiting waiting;
        waiting.Timer1.stop();
        waiting.SendRestartCommand = false;
        waiting.Countdown = 1;
        waiting.DeviceAnswers = [] { return false; };
        waiting.show();
        for (int i = 0; i < 3; ++i)
            waiting.Tick();
        QVERIFY(waiting.isVisible());
        QVERIFY(waiting.close()); // three misses: the user may close it now
        waiting.show();
        waiting.Countdown = 1;
        waiting.MissCount = 0;
        for (int i = 0; i < 5; ++i)
            waiting.Tick();
        QVERIFY(waiting.isVisible());
        waiting.Tick();
        QVERIFY(!waiting.isVisible());
    }

    void countdownSendsTheRestartOnItsSecondTick()
    {
        TFM_Waiting waiting;
        waiting.Timer1.stop();
        waiting.DeviceAnswers = [] { return true; };
        const int before = m_sim.journalLines().size();
        waiting.Tick();
        QCOMPARE(m_sim.journalLines().size(), before);
        waiting.Tick();
        QTRY_COMPARE(m_sim.journalLines().size(), before + 1);
        QCOMPARE(setsSince(m_sim, before), QList<QStringList>{{kRoot + ".4.3.2.5.0|2|4"}});
        waiting.Tick();
        QCOMPARE(m_sim.journalLines().size(), before + 1); // only once
        waitForDevice();
    }

    void noticeDisablesItsCaller()
    {
        QWidget caller;
        TFM_Waiting *notice = TFM_Waiting::ShowNotice(&caller, "The settings are saving and taking effect.",
                                                       "Please wait 10 seconds then access",
                                                       "the device with new IP Address.");
        QVERIFY(!caller.isEnabled());
        QVERIFY(notice->isEnabled()); // the notice itself stays readable
        QVERIFY(!notice->Timer1.isActive());
        QVERIFY(notice->findChild<QLabel *>("seconds")->isHidden());
        QCOMPARE(notice->Line("Label1")->text(), QString("the device with new IP Address."));
        TFM_Waiting::CloseNotice(&caller, notice);
        QVERIFY(caller.isEnabled());
    }

    void wirelessEntriesOpenTheirScreens_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("screen");
        QTest::newRow("clients") << "Client Infomation" << "ClientInformation";
        QTest::newRow("WDS peers") << "WDS Information" << "FM_WDSInfo";
        QTest::newRow("MAC access list") << "Wireless MAC ACL" << "FM_FilterMACACL";
        QTest::newRow("performance") << "Performance" << "FM_Performace";
        QTest::newRow("WLAN partition") << "WLAN Partition" << "FM_WLANPart";
        QTest::newRow("intrusion") << "Intrusion" << "FM_RogueAP";
    }
    void wirelessEntriesOpenTheirScreens()
    {
        QFETCH(QString, entry);
        QFETCH(QString, screen);
        TMainForm form;
        QString shown;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            shown = window->objectName();
            return int(QDialog::Rejected);
        };
        action(form, entry)->trigger();
        QCOMPARE(shown, screen);
    }

    // The Wireless screen runs its own nested loop over the main window; whatever band it
    // leaves on the device, the main window reads it again once the screen is gone.
    void wirelessEntryRereadsTheBand()
    {
        const QString band = kRoot + ".2.1.3.3.1.1.1.34.1";
        // Later tests expect the factory band, also when this one fails half-way.
        auto restore = qScopeGuard([&] { m_sim.set({band, "i", "0"}); });
        TMainForm form;
        form.StartRequests();
        QTRY_COMPARE(form.findChild<QComboBox *>("CB_Band")->currentIndex(), 0);
        QString shown;
        QString screenBand;
        int changed = -1;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            shown = window->objectName() + " " + window->windowTitle();
            screentest::RunNestedLoop(window, 600);
            if (auto *box = window->findChild<QComboBox *>("CB_Band"))
                screenBand = box->currentText();
            changed = m_sim.set({band, "i", "1"}).exitCode;
            return int(QDialog::Rejected);
        };
        action(form, "Wireless")->trigger();
        QCOMPARE(shown, QString("FM_Wirless Home \\ Wireless"));
        QCOMPARE(screenBand, QString("2.4GHz"));
        QCOMPARE(changed, 0);
        QTRY_COMPARE(form.findChild<QComboBox *>("CB_Band")->currentIndex(), 1);
        restore.dismiss();
        QVERIFY(m_sim.set({band, "i", "0"}).exitCode == 0);
    }

    void menuAndAbout()
    {
        TMainForm form;
        QVERIFY(!action(form, "Qos Setting")->isVisible());
        QVERIFY(action(form, "System")->isEnabled());
        QVERIFY(action(form, "Save and Activate")->isEnabled());
        QString shown;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            shown = window->objectName();
            auto *ok = window->findChild<QPushButton *>("OKButton");
            auto *build = window->findChild<QLabel *>("LB_Build");
            [&] {
                QVERIFY(build->isHidden());
                QTest::keyClick(ok, Qt::Key_F3, Qt::ShiftModifier);
                QVERIFY(build->isHidden());
                QTest::keyClick(ok, Qt::Key_F3, Qt::ShiftModifier | Qt::AltModifier);
                QVERIFY(!build->isHidden());
                QCOMPARE(build->text(), QString("R35(2009/06/09)"));
            }();
            return 1;
        };
        action(form, "About")->trigger();
        QCOMPARE(shown, QString("AboutForm"));
    }

    // The QoS entry is never offered by the menu; the window's own key opens its screen.
    void qosSettingOpensOnlyByItsKey()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QAction *entry = action(form, "Qos Setting");
        QVERIFY(!entry->isVisible());
        QStringList opened;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            opened << window->objectName() + " " + window->windowTitle();
            return 1;
        };
        // Its own shortcut, if it had one, could not fire while it is hidden.
        QVERIFY(entry->shortcut().isEmpty());
        QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(opened, QStringList());
        QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(opened, QStringList{"FM_QosSetting Advanced \\ Qos Setting"});
    }

    // Each entry opens its screen modally over the main window and destroys it after.
    void menuOpensTheFirstScreens()
    {
        TMainForm form;
        QStringList opened;
        QList<QPointer<QDialog>> windows;
        m_dialogs->ModalHandler = [&](QDialog *window) {
            opened << window->objectName() + " " + window->windowTitle();
            windows << window;
            [&] { QCOMPARE(window->parentWidget(), &form); }();
            return 1;
        };
        for (const char *entry : {"Information", "LAN", "Device Info", "DHCP Server", "Vlan Setting", "Scheduling",
                                  "Traffic Control", "Internal RADIUS Server"})
            action(form, entry)->trigger();
        QCOMPARE(opened, QStringList({"FM_Information Home \\ Information", "FM_LanCfg Home \\ LAN",
                                      "FM_DevInfo Status \\ Device Info", "FM_DHCP Advanced \\ DHCP Server",
                                      "FM_VlanSetting Advanced \\ VLAN Settings",
                                      "FM_Scheduling Advanced \\ Wireless Schedule",
                                      "FM_TrafficCtrl Advanced \\ Traffic Control",
                                      "FM_LRADIUSSer Advanced \\ Internal RADIUS Server"}));
        for (const QPointer<QDialog> &window : windows)
            QVERIFY(window.isNull());
    }

    void startsFromCommandLineAndProfile_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<bool>("starts");
        QTest::newRow("complete profile")
            << QByteArray("[Program Information]\nAgentPort=%1\nVersion=1\nContextName=\nContextEngineID=\n"
                          "SecurityModel=1\nSecurityLevel=0\nSecurityName=\nAuthProtocol=0\nPrivProtocol=0\n")
            << true;
        // Numbers the profile must carry are read strictly, as the host manager writes them.
        QTest::newRow("no security model")
            << QByteArray("[Program Information]\nAgentPort=%1\nVersion=1\n") << false;
    }

    void startsFromCommandLineAndProfile()
    {
        QFETCH(QByteArray, profile);
        QFETCH(bool, starts);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("profiles");
        QFile registry(dir.filePath("registry.ini"));
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write("[SOFTWARE]\nKestrix\\Tarsel5.1\\MibFile\\Path=" + dir.path().toUtf8() + "/profiles/\n");
        registry.close();
        QFile device(dir.filePath("profiles/127.0.0.1.cfg"));
        QVERIFY(device.open(QIODevice::WriteOnly));
        device.write(QString::fromUtf8(profile).arg(m_sim.port()).toUtf8());
        device.close();
        qputenv("RWN3460_REGISTRY", dir.filePath("registry.ini").toLocal8Bit());
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path()); // the boots counter file lands here
        {
            TMainForm form;
            QCOMPARE(form.FormCreate({"/I127.0.0.1", "/Rrdcomm", "/Wwrcommu"}), starts);
            if (starts) {
                QCOMPARE(form.windowTitle(), QString("RWN-3460 : 127.0.0.1"));
                QTRY_VERIFY_WITH_TIMEOUT(form.LampsLit(), 5000);
                QVERIFY(m_dialogs->Boxes().isEmpty());
            } else {
                QCOMPARE(m_dialogs->BoxTexts(), QStringList{"'' is not a valid integer value"});
            }
        }
        QDir::setCurrent(cwd);
        qunsetenv("RWN3460_REGISTRY");
        pointAtSimulator();
    }

    void startedWithoutArguments()
    {
        QTemporaryDir registryDir;
        qputenv("RWN3460_REGISTRY", registryDir.filePath("registry.ini").toLocal8Bit());
        TMainForm form;
        QVERIFY(!form.FormCreate({}));
        QCOMPARE(m_dialogs->BoxTexts(), QStringList{"This module is only used in the Tarsel or HP-Openview."});
        qunsetenv("RWN3460_REGISTRY");
        pointAtSimulator();
    }
};

QTEST_MAIN(TestTMainForm)
#include "tst_tmainform.moc"
