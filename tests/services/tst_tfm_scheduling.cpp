// 'Advanced \ Wireless Schedule' against the simulated device: the rule list with the
// device's texts, what Add writes (the day mask, the time texts, explicit all-day), a
// change as a delete of the picked rule before the add, Delete and Apply.
#include "ServiceScreenTest.h"
#include "TFM_Scheduling.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

using namespace servicetest;

namespace {

const QString kStatus = R + ".3.10.1.1.1.0";
const QString kRule = R + ".3.10.1.2";
const QString kList = R + ".3.10.2.1.1";

using Schedule = ScreenUnderTest<TFM_Scheduling>;
using Sets = QList<QStringList>;
using Boxes = QList<QPair<QString, QString>>;

// The schedule on; "night" for SSID1 on Mon and Wed, "always" for the primary SSID.
simtest::Objects listed(simtest::Objects more = {})
{
    simtest::Objects o = {
        {kStatus, "2|1"},
        {kList + ".2.1", "4|night"}, {kList + ".3.1", "4|Mon,Wed"}, {kList + ".4.1", "4|8:30-17:45"},
        {kList + ".5.1", "2|1"}, {kList + ".6.1", "2|1"}, {kList + ".7.1", "4|rwn3460-2"},
        {kList + ".2.2", "4|always"}, {kList + ".3.2", "4|All Week"}, {kList + ".4.2", "4|All Day(s)"},
        {kList + ".7.2", "4|rwn3460"},
    };
    o.insert(more);
    return o;
}

QString rule(int object, const QString &tagValue)
{
    return vb(kRule + "." + QString::number(object) + ".0", tagValue);
}

// The delete of a rule: its name, its SSID and the action.
QStringList deleteSet(const QString &name, int ssid)
{
    return {"noError", rule(1, "4|" + name), rule(8, "2|" + QString::number(ssid)), rule(7, "2|0")};
}

QList<QStringList> rows(const QTreeWidget *list)
{
    QList<QStringList> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells;
    }
    return out;
}

bool started(Schedule &t, int count)
{
    if (!t.Start()) {
        qWarning("%s", qPrintable(t.fixture.Error()));
        return false;
    }
    auto *list = t.w<QTreeWidget>("User_ListView");
    return QTest::qWaitFor([&] { return list->topLevelItemCount() == count; }, 10000);
}

bool listReads(const Schedule &t, int count)
{
    auto *list = t.w<QTreeWidget>("User_ListView");
    return QTest::qWaitFor([&] { return list->topLevelItemCount() == count; }, 10000);
}

void pick(const Schedule &t, int row)
{
    auto *list = t.w<QTreeWidget>("User_ListView");
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
}

void times(const Schedule &t, const QString &startHour, const QString &startMinute, const QString &endHour,
           const QString &endMinute)
{
    t.w<QLineEdit>("Ed_StartHour")->setText(startHour);
    t.w<QLineEdit>("Ed_StartMinute")->setText(startMinute);
    t.w<QLineEdit>("Ed_EndHour")->setText(endHour);
    t.w<QLineEdit>("Ed_EndMinute")->setText(endMinute);
}

void chooseSsid(const Schedule &t, int item)
{
    auto *index = t.w<QComboBox>("Cbox_SchIndex");
    index->setCurrentIndex(item);
    emit index->activated(item);
}

} // namespace

class TestTFMScheduling : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheDeviceList()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        TFM_Scheduling &s = *t.screen;
        QCOMPARE(s.windowTitle(), QString("Advanced \\ Wireless Schedule"));
        QCOMPARE(Unnamed(&s), QStringList());
        QCOMPARE(rows(t.w<QTreeWidget>("User_ListView")),
                 (QList<QStringList>{{"night", "SSID1", "rwn3460-2", "Mon,Wed", "8:30-17:45", "on"},
                                     {"always", "Primary SSID", "rwn3460", "All Week", "All Day(s)", "off"}}));
        QCOMPARE(s.ListedCount(), 2);
        QCOMPARE(t.w<QComboBox>("CBox_ScheduleStatus")->currentText(), QString("Enable"));
        QCOMPARE(t.w<QLineEdit>("Ed_SchSsid")->text(), QString("rwn3460"));
        QVERIFY(!t.w<QLineEdit>("Ed_SchSsid")->isEnabled());
        QVERIFY(t.w<QRadioButton>("RB_Day")->isChecked());
        QVERIFY(!t.w<QPushButton>("Btn_Del")->isEnabled());
        QVERIFY(t.w<QPushButton>("Btn_Add")->isEnabled());
        chooseSsid(t, 3);
        QCOMPARE(t.w<QLineEdit>("Ed_SchSsid")->text(), QString("rwn3460-4"));
        Snapshot(&s, "TFM_Scheduling");
    }

    void statusAndClientModeGateTheRule()
    {
        Schedule off;
        QVERIFY(started(off, 0));
        QVERIFY(!off.w<QPushButton>("Btn_Add")->isEnabled());
        QVERIFY(off.w<QPushButton>("Btn_Apply")->isEnabled());
        QVERIFY(off.w<QComboBox>("CBox_ScheduleStatus")->isEnabled());
        Schedule client(listed({{R + ".2.1.3.3.1.1.1.28.1", "2|4"}}));
        QVERIFY(started(client, 2));
        QVERIFY(!client.w<QComboBox>("CBox_ScheduleStatus")->isEnabled());
        QVERIFY(client.w<QPushButton>("Btn_Add")->isEnabled()); // as the status read at opening says
    }

    void addWrites_data()
    {
        QTest::addColumn<bool>("allWeek");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<bool>("allDay");
        QTest::addColumn<QStringList>("set");
        QTest::addColumn<QStringList>("shown"); // the device's days and time frame
        const QStringList timed = {rule(4, "4|8:5"), rule(5, "4|17:45")};
        QTest::newRow("Mon and Wed, 8:5 to 17:45")
            << false << QStringList{"CheckBox_Mon", "CheckBox_Wed"} << false
            << QStringList{rule(2, "2|10"), rule(3, "2|0"), timed[0], timed[1]}
            << QStringList{"Mon,Wed", "8:5-17:45"};
        QTest::newRow("seven days") << false
                                    << QStringList{"CheckBox_Sun", "CheckBox_Mon", "CheckBox_Tue", "CheckBox_Wed",
                                                   "CheckBox_Thu", "CheckBox_Fri", "CheckBox_Sat"}
                                    << false << QStringList{rule(2, "2|127"), rule(3, "2|0"), timed[0], timed[1]}
                                    << QStringList{"Sun,Mon,Tue,Wed,Thu,Fri,Sat", "8:5-17:45"};
        QTest::newRow("all week, all day") << true << QStringList{} << true
                                           << QStringList{rule(2, "2|0"), rule(3, "2|1")}
                                           << QStringList{"All Week", "All Day(s)"};
    }
    void addWrites()
    {
        QFETCH(bool, allWeek);
        QFETCH(QStringList, days);
        QFETCH(bool, allDay);
        QFETCH(QStringList, set);
        QFETCH(QStringList, shown);
        Schedule t(listed());
        QVERIFY(started(t, 2));
        chooseSsid(t, 1);
        t.w<QLineEdit>("Ed_ScheduleName")->setText("work");
        if (allWeek)
            t.click("RB_Week");
        for (const QString &day : days)
            t.click(qPrintable(day));
        times(t, " 8", "05", "17", "45 ");
        if (allDay) {
            t.click("CheckBox_AllDay");
            QCOMPARE(t.w<QLineEdit>("Ed_StartHour")->text(), QString());
        }
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.status("StatusBar"), QString("Save OK!"));
        QVERIFY(listReads(t, 3));
        set.prepend(rule(1, "4|work"));
        set.prepend("noError");
        set << rule(8, "2|1") << rule(9, "2|1") << rule(7, "2|1");
        QCOMPARE(t.setsSince(mark), Sets{set});
        const QStringList row = rows(t.w<QTreeWidget>("User_ListView"))[2];
        QCOMPARE((QStringList{row[0], row[1], row[2], row[3], row[4]}),
                 (QStringList{"work", "SSID1", "rwn3460-2", shown[0], shown[1]}));
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
    }

    void addRefuses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("time"); // start hour, start minute, end hour, end minute
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("emptied");
        QTest::newRow("no name") << "" << QStringList{"8", "0", "9", "0"} << "The Name field can not be blank." << "";
        QTest::newRow("hour 24") << "w" << QStringList{"24", "0", "9", "0"} << "Invalid Hour!" << "Ed_StartHour";
        QTest::newRow("end hour 25") << "w" << QStringList{"8", "0", "25", "0"} << "Invalid Hour!" << "Ed_EndHour";
        QTest::newRow("hour -1") << "w" << QStringList{"-1", "0", "9", "0"} << "Invalid Hour!" << "Ed_StartHour";
        QTest::newRow("minute 60") << "w" << QStringList{"8", "60", "9", "0"} << "Invalid Minute!" << "Ed_StartMinute";
        QTest::newRow("end minute empty") << "w" << QStringList{"8", "0", "9", ""}
                                          << "'' is not a valid integer value" << "";
    }
    void addRefuses()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, time);
        QFETCH(QString, box);
        QFETCH(QString, emptied);
        Schedule t(listed());
        QVERIFY(started(t, 2));
        t.w<QLineEdit>("Ed_ScheduleName")->setText(name);
        t.click("CheckBox_Fri");
        times(t, time[0], time[1], time[2], time[3]);
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().BoxTexts(), QStringList{box});
        QCOMPARE(t.setsSince(mark), Sets{});
        if (!emptied.isEmpty())
            QCOMPARE(t.w<QLineEdit>(qPrintable(emptied))->text(), QString());
    }

    void noDayChosenIsRefused()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        t.w<QLineEdit>("Ed_ScheduleName")->setText("w");
        t.click("CheckBox_AllDay");
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "Please Select Day(s)"}}));
    }

    void pickingARuleShowsIt()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        pick(t, 1);
        QVERIFY(t.w<QRadioButton>("RB_Week")->isChecked());
        QVERIFY(t.w<QCheckBox>("CheckBox_AllDay")->isChecked());
        QVERIFY(!t.w<QLineEdit>("Ed_StartHour")->isEnabled());
        pick(t, 0);
        QCOMPARE(t.w<QLineEdit>("Ed_ScheduleName")->text(), QString("night"));
        QCOMPARE(t.w<QComboBox>("Cbox_SchIndex")->currentText(), QString("SSID1"));
        QCOMPARE(t.w<QLineEdit>("Ed_SchSsid")->text(), QString("rwn3460-2"));
        QStringList checked;
        for (QCheckBox *day : t.screen->findChildren<QCheckBox *>())
            if (day->objectName() != "CheckBox_AllDay" && day->isChecked())
                checked << day->objectName();
        QCOMPARE(checked, (QStringList{"CheckBox_Mon", "CheckBox_Wed"})); // the previous seven cleared
        QVERIFY(!t.w<QCheckBox>("CheckBox_AllDay")->isChecked());
        QCOMPARE((QStringList{t.w<QLineEdit>("Ed_StartHour")->text(), t.w<QLineEdit>("Ed_StartMinute")->text(),
                              t.w<QLineEdit>("Ed_EndHour")->text(), t.w<QLineEdit>("Ed_EndMinute")->text()}),
                 (QStringList{"8", "30", "17", "45"}));
        QVERIFY(t.w<QPushButton>("Btn_Del")->isEnabled());
        QCOMPARE(t.screen->RememberedName(), QString("night"));
    }

    void aRenameDeletesThePickedRule()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        pick(t, 0);
        t.w<QLineEdit>("Ed_ScheduleName")->setText("late");
        chooseSsid(t, 2);
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QVERIFY(listReads(t, 2));
        QTRY_COMPARE(t.w<QTreeWidget>("User_ListView")->topLevelItem(1)->text(0), QString("late"));
        const Sets sets = t.setsSince(mark);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0], deleteSet("night", 1));
        QCOMPARE(sets[1].mid(0, 6), (QStringList{"noError", rule(1, "4|late"), rule(2, "2|10"), rule(3, "2|0"),
                                                 rule(4, "4|8:30"), rule(5, "4|17:45")}));
        QCOMPARE(sets[1].value(6), rule(8, "2|2"));
        QCOMPARE(t.w<QTreeWidget>("User_ListView")->topLevelItem(1)->text(1), QString("SSID2"));
    }

    void aRefusedChangeKeepsTheRule()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        pick(t, 0);
        t.w<QLineEdit>("Ed_EndMinute")->setText("60");
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().BoxTexts(), QStringList{"Invalid Minute!"});
        QCOMPARE(t.setsSince(mark), Sets{});
    }

    void deleteSendsThePickedRule()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        t.click("Btn_Del"); // nothing picked: nothing happens
        pick(t, 0);
        t.w<QLineEdit>("Ed_ScheduleName")->setText("edited");
        const int mark = t.fixture.Mark();
        t.click("Btn_Del");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "Are you sure that you want to delete this entry?"}}));
        QCOMPARE(t.status("StatusBar"), QString("Delete OK!"));
        QVERIFY(listReads(t, 1));
        QCOMPARE(t.setsSince(mark), Sets{deleteSet("night", 1)});
        QCOMPARE(t.w<QLineEdit>("Ed_ScheduleName")->text(), QString());
    }

    void clearForgetsThePickedRule()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        pick(t, 0);
        t.click("Btn_Clear");
        QCOMPARE(t.screen->RememberedName(), QString());
        const int mark = t.fixture.Mark();
        t.click("Btn_Del");
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
        QCOMPARE(t.setsSince(mark), Sets{});
        QVERIFY(!t.w<QCheckBox>("CheckBox_Mon")->isChecked());
        QVERIFY(t.w<QCheckBox>("CheckBox_Mon")->isEnabled());
    }

    void applyWritesOnlyTheStatus()
    {
        Schedule t(listed());
        QVERIFY(started(t, 2));
        pick(t, 0);
        auto *status = t.w<QComboBox>("CBox_ScheduleStatus");
        status->setCurrentIndex(0);
        emit status->activated(0);
        QVERIFY(!t.w<QPushButton>("Btn_Add")->isEnabled());
        const int mark = t.fixture.Mark();
        t.click("Btn_Apply");
        QCOMPARE(t.setsSince(mark), (Sets{{"noError", vb(kStatus, "2|0")}}));
        QCOMPARE(t.status("StatusBar"), QString("Save OK!"));
    }
};

QTEST_MAIN(TestTFMScheduling)
#include "tst_tfm_scheduling.moc"
