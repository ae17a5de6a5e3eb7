// 'Advanced \ AP Array' against the simulated device: the settings as the device holds
// them (its password masked), the members with their empty slots left out, the scan
// trigger and the list it fills, and what a save writes.
#include "KxRadioGroup.h"
#include "KxScreenFixture.h"
#include "TFM_APArray.h"
#include "TMainForm.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kArray = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.3.11");
const QString kStatus = kArray + ".1.1.1.0";
const QString kMode = kArray + ".1.1.2.0";
const QString kName = kArray + ".1.1.3.0";
const QString kPassword = kArray + ".1.1.4.0";
const QString kScan = kArray + ".1.2.1.1.0";
const QString kApMode = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.1.1.1.28.1");

template <class T>
T *child(QWidget &screen, const char *name)
{
    return screen.findChild<T *>(QLatin1String(name));
}

QStringList rows(QWidget &screen, const char *list)
{
    QStringList out;
    auto *view = child<QTreeWidget>(screen, list);
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < view->columnCount(); ++c)
            cells << view->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

QString status(QWidget &screen)
{
    return child<QStatusBar>(screen, "StatusBar")->currentMessage();
}

QString connection(QWidget &screen)
{
    return child<QLabel>(screen, "Lb_ConnectStatus")->text();
}

// Every member of the factory state except its empty slot.
simtest::Objects withoutMembers()
{
    simtest::Objects changes;
    for (const char *column : {"1", "3", "4", "5", "6"})
        for (const char *row : {"1", "2", "3"})
            changes[kArray + ".2.1.1." + column + "." + row] = "";
    return changes;
}

} // namespace

class TestTFMAPArray : public QObject {
    Q_OBJECT

private slots:
    // From the menu: the device's settings, and its members numbered with the empty
    // slot (role 0) left out.
    void opensWithTheDeviceState()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TMainForm form;
        bool opened = false;
        fixture.Dialogs().ModalHandler = [&](QDialog *window) {
            opened = true;
            [&] {
                QCOMPARE(window->objectName(), QString("FM_APArray"));
                QCOMPARE(window->windowTitle(), QString("Advanced \\  AP Array"));
                auto &screen = *window;
                auto *enable = child<QCheckBox>(screen, "Chk_APArray");
                QVERIFY(enable->isChecked() && enable->isEnabled());
                QCOMPARE(child<QLineEdit>(screen, "Ed_APArrayName")->text(), QString("lobby-array"));
                QCOMPARE(child<QLineEdit>(screen, "Ed_APArrayPW")->text(), QString("********"));
                QCOMPARE(child<QLineEdit>(screen, "Ed_APArrayPW")->echoMode(), QLineEdit::Password);
                QCOMPARE(child<KxRadioGroup>(screen, "RadioGroup1")->itemIndex(), 0);
                QTRY_COMPARE(connection(screen), QString("Connect"));
                QCOMPARE(rows(screen, "LV_CurrentMem"), QStringList({"1|Master|192.168.0.50|00C0CA4A3B50|lobby",
                                                                     "2|Slave|192.168.0.51|00C0CA4A3C51|hall"}));
                QVERIFY(rows(screen, "LV_ApArrayListUser").isEmpty()); // filled by a scan only
                QVERIFY(screentest::SavePicture(screen, "TFM_APArray"));
            }();
            return 0;
        };
        form.findChild<QAction *>("AP Array")->trigger();
        QVERIFY(opened);
    }

    void noMembersIsDisconnected()
    {
        screentest::ScreenFixture fixture({}, withoutMembers());
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_APArray screen;
        QTRY_COMPARE(connection(screen), QString("Discsonnect"));
        QVERIFY(rows(screen, "LV_CurrentMem").isEmpty());
    }

    // Outside "Access Point" the enable box is locked but still shows the device's state,
    // which the name, password, role and scan follow.
    void enableRule_data()
    {
        QTest::addColumn<QString>("apMode");
        QTest::addColumn<QString>("arrayStatus");
        QTest::addColumn<bool>("boxEnabled");
        QTest::addColumn<bool>("fieldsEnabled");
        QTest::newRow("access point, on") << "1" << "1" << true << true;
        QTest::newRow("access point, off") << "1" << "0" << true << false;
        QTest::newRow("WDS, on") << "3" << "1" << false << true;
        QTest::newRow("wireless client, off") << "4" << "0" << false << false;
    }
    void enableRule()
    {
        QFETCH(QString, apMode);
        QFETCH(QString, arrayStatus);
        QFETCH(bool, boxEnabled);
        QFETCH(bool, fieldsEnabled);
        screentest::ScreenFixture fixture({}, {{kApMode, "2|" + apMode}, {kStatus, "2|" + arrayStatus}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_APArray screen;
        auto *enable = child<QCheckBox>(screen, "Chk_APArray");
        QCOMPARE(enable->isEnabled(), boxEnabled);
        QCOMPARE(enable->isChecked(), arrayStatus == "1");
        for (const char *name : {"Ed_APArrayName", "Ed_APArrayPW", "RadioGroup1", "Bt_Scan"})
            QVERIFY2(child<QWidget>(screen, name)->isEnabled() == fieldsEnabled, name);
        if (boxEnabled) {
            enable->click();
            QVERIFY(child<QWidget>(screen, "Bt_Scan")->isEnabled() != fieldsEnabled);
        }
    }

    // The list the scan gathered; a refused scan leaves the list and says why.
    void scan_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::newRow("gathered") << false;
        QTest::newRow("refused") << true;
    }
    void scan()
    {
        QFETCH(bool, refused);
        screentest::ScreenFixture fixture(refused ? QStringList{"--trigger-fail"} : QStringList{});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_APArray screen;
        QTRY_COMPARE(connection(screen), QString("Connect"));
        const int mark = fixture.Mark();
        child<QPushButton>(screen, "Bt_Scan")->click();
        if (refused) {
            QTRY_VERIFY(status(screen).contains("General Error"));
            QVERIFY2(status(screen).startsWith("Set:"), qPrintable(status(screen)));
            QTest::qWait(200);
            QVERIFY(rows(screen, "LV_ApArrayListUser").isEmpty());
        } else {
            QTRY_COMPARE(status(screen), QString("Scan OK!"));
            QCOMPARE(rows(screen, "LV_ApArrayListUser"),
                     QStringList({"lobby-array|192.168.0.50|00C0CA4A3B50|1|0|1|2",
                                  "warehouse|192.168.0.72|00C0CA4A3B72|1|1|3|5",
                                  "north-wing|192.168.0.91|00C0CA4A3B91|1|0|0|1"}));
            QCOMPARE(child<QTreeWidget>(screen, "LV_ApArrayListUser")->topLevelItem(0)->checkState(0),
                     Qt::Unchecked);
            QVERIFY(screentest::SavePicture(screen, "TFM_APArray_scan"));
        }
        const QList<QStringList> sets = fixture.SetsSince(mark);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0], QStringList({refused ? "genErr" : "noError", kScan + "|2|1"}));
    }

    // One write of the settings in list order; the password only when the user typed one
    // (the device's masked one, or nothing, keeps the device's password).
    void save_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("sent");
        QTest::newRow("untouched mask") << "********" << false;
        QTest::newRow("emptied") << "" << false;
        QTest::newRow("typed") << "new*key" << true;
    }
    void save()
    {
        QFETCH(QString, password);
        QFETCH(bool, sent);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_APArray screen;
        QTRY_COMPARE(connection(screen), QString("Connect"));
        child<QLineEdit>(screen, "Ed_APArrayName")->setText("east-array");
        child<QLineEdit>(screen, "Ed_APArrayPW")->setText(password);
        child<KxRadioGroup>(screen, "RadioGroup1")->setItemIndex(2);
        const int mark = fixture.Mark();
        child<QPushButton>(screen, "Bt_ArraySave")->click();
        QCOMPARE(status(screen), QString("Save OK!"));
        QStringList expected{"noError", kStatus + "|2|1", kMode + "|2|3", kName + "|4|east-array"};
        if (sent)
            expected << kPassword + "|4|" + password;
        QCOMPARE(fixture.SetsSince(mark), QList<QStringList>{expected});
        // The next save is judged afresh.
        child<QLineEdit>(screen, "Ed_APArrayPW")->setText("other-key");
        child<QPushButton>(screen, "Bt_ArraySave")->click();
        QCOMPARE(fixture.SetsSince(mark).value(1).value(4), kPassword + "|4|other-key");
    }

    // What the device takes: name and password of at most 32 characters, roles 1 to 3.
    void deviceLimits_data()
    {
        QTest::addColumn<QStringList>("varbind");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        QTest::newRow("name of 32") << QStringList{kName, "s", QString(32, 'n')} << "";
        QTest::newRow("name of 33") << QStringList{kName, "s", QString(33, 'n')} << "wrongLength";
        QTest::newRow("password of 33") << QStringList{kPassword, "s", QString(33, 'p')} << "wrongLength";
        QTest::newRow("slave") << QStringList{kMode, "i", "3"} << "";
        QTest::newRow("role 0") << QStringList{kMode, "i", "0"} << "wrongValue";
        QTest::newRow("role 4") << QStringList{kMode, "i", "4"} << "wrongValue";
        QTest::newRow("status 2") << QStringList{kStatus, "i", "2"} << "wrongValue";
    }
    void deviceLimits()
    {
        QFETCH(QStringList, varbind);
        QFETCH(QString, refusal);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        const simtest::RunResult r = fixture.Sim().set(varbind);
        if (refusal.isEmpty())
            QVERIFY2(r.exitCode == 0, qPrintable(r.all()));
        else
            QVERIFY2(r.exitCode != 0 && r.all().contains(refusal), qPrintable(r.all()));
    }

    void refusedSave()
    {
        screentest::ScreenFixture fixture({}, {{kName, ""}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_APArray screen;
        child<QPushButton>(screen, "Bt_ArraySave")->click();
        QCOMPARE(status(screen), QString("Save file!"));
    }
};

QTEST_MAIN(TestTFMAPArray)
#include "tst_tfm_aparray.moc"
