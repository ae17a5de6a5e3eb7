// 'Tools \ Time and Date' against the simulated device, whose clock runs: what Apply
// sends for NTP, a time set by hand, and each zone; when the clock is left alone; the
// checks of the server address and the date.
#include "KxScreenFixture.h"
#include "TMainForm.h"
#include "KxStatusTarget.h"
#include "TFM_Time.h"
#include "TFM_Waiting.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {

const QString kSntp = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.4.8.");
const QString kServer = kSntp + "1.0";
const QString kZone = kSntp + "2.0";
const QString kDaylight = kSntp + "3.0";
const QString kStatus = kSntp + "5.0";
const QString kClock = kSntp + "7.0";
const QString kApply = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.4.2.3.0");

using Boxes = QList<QPair<QString, QString>>;
using Sets = QList<QStringList>;

QStringList set(const QStringList &varbinds, const QString &status = QStringLiteral("noError"))
{
    return QStringList{status} + varbinds;
}
const QStringList kApplySet = set({kApply + "|2|1"});

// The time request with the factory zone, daylight saving off and NTP off.
QStringList factoryTime(const QString &status = "0")
{
    return set({kZone + "|2|27", kDaylight + "|2|0", kStatus + "|2|" + status});
}

QString octets(const QString &text)
{
    return "4x|" + simtest::hexOf(text.toUtf8());
}

// Counts the waiting notices shown.
struct NoticeCount : QObject {
    int shown = 0;
    NoticeCount() { qApp->installEventFilter(this); }
    ~NoticeCount() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (qobject_cast<TFM_Waiting *>(o) && e->type() == QEvent::Show)
            ++shown;
        return false;
    }
};


} // namespace

class TestTFMTime : public QObject {
    Q_OBJECT

private:
    template <class T>
    static T *child(QWidget &w, const char *name) { return w.findChild<T *>(QLatin1String(name)); }
    static QComboBox *box(QWidget &w, const char *name) { return child<QComboBox>(w, name); }
    static QCheckBox *check(QWidget &w, const char *name) { return child<QCheckBox>(w, name); }
    static void apply(QWidget &w) { child<QPushButton>(w, "Btn_Apply")->click(); }
    static QString result(TFM_Time &screen) { return KxStatusText(screen.StatusBar()); }

    // The user picks a date and time in the six lists; a part no item bears stays empty.
    static void pick(QWidget &w, const QStringList &parts)
    {
        const char *names[] = {"CB_Year", "CB_Month", "CB_Day", "CB_Hour", "CB_Minute", "CB_Second"};
        for (int i = 0; i < 6; ++i)
            box(w, names[i])->setCurrentIndex(box(w, names[i])->findText(parts[i]));
    }

private slots:
    void menuOpensTheScreen()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TMainForm form;
        QString opened;
        fixture.Dialogs().ModalHandler = [&](QDialog *window) {
            opened = window->objectName() + " " + window->windowTitle();
            [&] { QCOMPARE(window->parentWidget(), &form); }();
            return 0;
        };
        form.findChild<QAction *>("Time and Date")->trigger();
        QCOMPARE(opened, QString("FM_Time Tools \\ Time and Date"));
    }

    void opensWithTheDeviceSettings()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        QCOMPARE(screen.windowTitle(), QString("Tools \\ Time and Date"));
        QVERIFY(screentest::SavePicture(screen, screen.metaObject()->className()));
        QVERIFY(child<QLabel>(screen, "LB_CurrentTime")->text().startsWith("01/01/2012 00:0"));
        QCOMPARE(box(screen, "CB_TimeZone")->count(), 75);
        QCOMPARE(box(screen, "CB_TimeZone")->currentText(),
                 QString("(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London"));
        QCOMPARE(box(screen, "CB_TimeZone")->itemText(74), QString("(GMT+13:00) Nuku'alofa"));
        QVERIFY(check(screen, "CheckBox_Daylight")->isEnabled());
        QVERIFY(!check(screen, "CheckBox_Daylight")->isChecked());
        QVERIFY(!box(screen, "CB_StartMonth")->isEnabled());
        QCOMPARE(box(screen, "CB_StartMonth")->currentText(), QString("Mar"));
        QCOMPARE(box(screen, "CB_EndTime")->currentText(), QString("2am"));
        QCOMPARE(box(screen, "CB_InDays")->currentText(), QString("+1:00"));
        QVERIFY(!box(screen, "CB_InDays")->isEnabled());
        // NTP off: the server is not asked for; the manual lists show the PC's clock.
        QVERIFY(!check(screen, "CheckBox_NTP")->isChecked());
        QCOMPARE(child<QLineEdit>(screen, "Ed_ServerIp")->text(), QString()); // 0.0.0.0 is none
        QVERIFY(!child<QLineEdit>(screen, "Ed_ServerIp")->isEnabled());
        QCOMPARE(box(screen, "CB_ServerName")->currentIndex(), 0);
        QCOMPARE(box(screen, "CB_Year")->currentText(), QDate::currentDate().toString("yyyy"));
        QCOMPARE(box(screen, "CB_Year")->itemText(box(screen, "CB_Year")->count() - 1), QString("2037"));
        QVERIFY(box(screen, "CB_Second")->isEnabled());
        QVERIFY(!screen.ManualTimeChosen());
        QCOMPARE(child<QLineEdit>(screen, "Ed_DateTime")->text().left(10), QString("01/01/2012"));

        // Daylight saving on opens the eight date lists, never the offset.
        check(screen, "CheckBox_Daylight")->setChecked(true);
        QVERIFY(box(screen, "CB_EndDay")->isEnabled());
        QVERIFY(!box(screen, "CB_InDays")->isEnabled());
        // NTP on: server, '<<' and the list of servers; the manual group is closed.
        check(screen, "CheckBox_NTP")->setChecked(true);
        QVERIFY(child<QLineEdit>(screen, "Ed_ServerIp")->isEnabled());
        QVERIFY(!box(screen, "CB_Second")->isEnabled());
        QVERIFY(!child<QPushButton>(screen, "Btn_Copy")->isEnabled());
        box(screen, "CB_ServerName")->setCurrentIndex(1);
        child<QPushButton>(screen, "Btn_Convert")->click();
        QCOMPARE(child<QLineEdit>(screen, "Ed_ServerIp")->text(), QString("216.239.35.4"));
        box(screen, "CB_ServerName")->setCurrentIndex(0);
        child<QPushButton>(screen, "Btn_Convert")->click();
        QCOMPARE(child<QLineEdit>(screen, "Ed_ServerIp")->text(), QString());
        QVERIFY(fixture.Dialogs().Boxes().isEmpty());
    }

    // Nothing chosen by hand: the clock is not set, however long the window was open.
    void applyUnchangedLeavesTheClockAlone()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        screen.show();
        NoticeCount notices;
        const int mark = fixture.Mark();
        apply(screen);
        QCOMPARE(fixture.SetsSince(mark), Sets({factoryTime(), kApplySet}));
        QCOMPARE(notices.shown, 1);
        QVERIFY(screen.isEnabled());
        QVERIFY(screen.findChildren<TFM_Waiting *>().isEmpty());
        QCOMPARE(result(screen), QString("Setting Success"));
        QVERIFY(fixture.Sim().value(kClock).startsWith(octets("01/01/2012")));
    }

    // NTP off and a time picked: sent once with NTP "Disable", never the server.
    void manualTimeIsSentOnce_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::newRow("picked from the lists") << false;
        QTest::newRow("copied from the PC") << true;
    }
    void manualTimeIsSentOnce()
    {
        QFETCH(bool, copy);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        QString chosen = "03/15/2009 14:05:09";
        const int mark = fixture.Mark();
        if (copy) {
            child<QPushButton>(screen, "Btn_Copy")->click();
            chosen = child<QLineEdit>(screen, "Ed_DateTime")->text();
            QCOMPARE(chosen, screen.ManualText());
            const QDateTime copied = QDateTime::fromString(chosen, "MM/dd/yyyy HH:mm:ss");
            QVERIFY(qAbs(copied.secsTo(QDateTime::currentDateTime())) < 120);
            QVERIFY(fixture.SetsSince(mark).isEmpty()); // nothing until Apply
        } else {
            pick(screen, {"2009", "03", "15", "14", "05", "09"});
        }
        apply(screen);
        QCOMPARE(fixture.SetsSince(mark), Sets({factoryTime(), set({kClock + "|4|" + chosen}), kApplySet}));
        QCOMPARE(result(screen), QString("Setting Success"));
        QVERIFY(fixture.Sim().value(kClock).startsWith(octets(chosen.left(14))));
        // A second Apply must not set the clock back to the same moment.
        const int second = fixture.Mark();
        apply(screen);
        QCOMPARE(fixture.SetsSince(second), Sets({factoryTime(), kApplySet}));
    }

    void ntpServer_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::newRow("empty sends none") << "" << "0.0.0.0";
        QTest::newRow("an address") << "192.168.0.1" << "192.168.0.1";
    }
    void ntpServer()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        check(screen, "CheckBox_NTP")->setChecked(true);
        pick(screen, {"2009", "03", "15", "14", "05", "09"}); // not sent while NTP is on
        child<QLineEdit>(screen, "Ed_ServerIp")->setText(typed);
        const int mark = fixture.Mark();
        apply(screen);
        QCOMPARE(fixture.SetsSince(mark),
                 Sets({set({kServer + "|64|" + sent, kZone + "|2|27", kDaylight + "|2|0", kStatus + "|2|1"}),
                       kApplySet}));
        QCOMPARE(child<QLineEdit>(screen, "Ed_ServerIp")->text(), typed);
        QCOMPARE(result(screen), QString("Setting Success"));
    }

    void invalidServerIsRefusedEvenWithoutNtp()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        child<QLineEdit>(screen, "Ed_ServerIp")->setText("300.1.1.1");
        const int mark = fixture.Mark();
        apply(screen);
        QCOMPARE(fixture.Dialogs().Boxes(), Boxes({{"Waring", "Please input valid IP address"}}));
        QCOMPARE(child<QLineEdit>(screen, "Ed_ServerIp")->text(), QString());
        QVERIFY(fixture.SetsSince(mark).isEmpty());
    }

    void zones_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<bool>("daylight"); // checked by the user after choosing the zone
        QTest::addColumn<QStringList>("time");
        const QStringList dates = {kSntp + "8.0|2|3",  kSntp + "9.0|2|5",  kSntp + "10.0|2|0", kSntp + "11.0|2|1",
                                   kSntp + "12.0|2|10", kSntp + "13.0|2|5", kSntp + "14.0|2|0", kSntp + "15.0|2|2"};
        QTest::newRow("Taipei clears daylight saving") << "(GMT+08:00) Taipei" << true
            << set({kZone + "|2|61", kDaylight + "|2|0", kStatus + "|2|0"});
        QTest::newRow("Eastern Time with daylight saving") << "(GMT-05:00) Eastern Time (US & Canada)" << true
            << set(QStringList{kZone + "|2|14", kDaylight + "|2|1", kStatus + "|2|0"} + dates);
        QTest::newRow("Eastern Time without") << "(GMT-05:00) Eastern Time (US & Canada)" << false
            << set({kZone + "|2|14", kDaylight + "|2|0", kStatus + "|2|0"});
    }
    void zones()
    {
        QFETCH(QString, zone);
        QFETCH(bool, daylight);
        QFETCH(QStringList, time);
        // The device keeps daylight saving on, in a zone that has it.
        screentest::ScreenFixture fixture({}, {{kDaylight, "2|1"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        QVERIFY(check(screen, "CheckBox_Daylight")->isChecked());
        QVERIFY(box(screen, "CB_StartMonth")->isEnabled());
        box(screen, "CB_TimeZone")->setCurrentText(zone);
        if (check(screen, "CheckBox_Daylight")->isEnabled())
            check(screen, "CheckBox_Daylight")->setChecked(daylight);
        const bool allowed = time.contains(kDaylight + "|2|1");
        QCOMPARE(box(screen, "CB_EndTime")->isEnabled(), allowed);
        QVERIFY(!box(screen, "CB_InDays")->isEnabled());
        const int mark = fixture.Mark();
        apply(screen);
        QCOMPARE(fixture.SetsSince(mark), Sets({time, kApplySet}));
        if (zone.contains("Taipei")) {
            QVERIFY(!check(screen, "CheckBox_Daylight")->isEnabled());
            QVERIFY(!check(screen, "CheckBox_Daylight")->isChecked());
        }
    }

    void manualDateChecks_data()
    {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("31 February") << QStringList{"2011", "02", "31", "10", "00", "00"} << false;
        QTest::newRow("29 February of a common year") << QStringList{"2011", "02", "29", "10", "00", "00"} << false;
        QTest::newRow("29 February of a leap year") << QStringList{"2012", "02", "29", "10", "00", "00"} << true;
        QTest::newRow("31 April") << QStringList{"2020", "04", "31", "23", "59", "59"} << false;
        QTest::newRow("year past the list") << QStringList{"2040", "06", "01", "10", "00", "00"} << false;
        QTest::newRow("last year of the list") << QStringList{"2037", "12", "31", "23", "59", "59"} << true;
        QTest::newRow("no second") << QStringList{"2020", "06", "01", "10", "00", "60"} << false;
    }
    void manualDateChecks()
    {
        QFETCH(QStringList, parts);
        QFETCH(bool, accepted);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        pick(screen, parts);
        const int mark = fixture.Mark();
        apply(screen);
        if (!accepted) {
            QCOMPARE(fixture.Dialogs().Boxes(), Boxes({{"Warning", "Please select a valid date and time!"}}));
            QVERIFY(fixture.SetsSince(mark).isEmpty());
            return;
        }
        const QString text = QString("%1/%2/%3 %4:%5:%6").arg(parts[1], parts[2], parts[0], parts[3], parts[4], parts[5]);
        QCOMPARE(fixture.SetsSince(mark).value(1), set({kClock + "|4|" + text}));
        QCOMPARE(result(screen), QString("Setting Success"));
    }

    // A device that refuses the time set by hand (it keeps its clock as a number):
    // the reads and "apply" still succeed, but the outcome is an error, and the time
    // stays chosen for the next Apply.
    void refusedManualTimeIsReported()
    {
        screentest::ScreenFixture fixture({}, {{kClock, "2|0"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_Time screen;
        pick(screen, {"2009", "03", "15", "14", "05", "09"});
        const int mark = fixture.Mark();
        apply(screen);
        const Sets sets = fixture.SetsSince(mark);
        QCOMPARE(sets.size(), 3);
        QCOMPARE(sets[1].first(), QString("wrongType"));
        QCOMPARE(sets[2], kApplySet);
        QCOMPARE(result(screen), QString("Setting Error"));
        QVERIFY(screen.ManualTimeChosen());
    }
};

QTEST_MAIN(TestTFMTime)
#include "tst_tfm_time.moc"
