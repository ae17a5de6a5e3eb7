// 'Advanced \ VLAN Settings' against the simulated device: the lists as the device holds
// them, adds into the first free row, edits and deletes of the row picked, the access
// marks after every write, and the write order of each Apply.
#include "ServiceScreenTest.h"
#include "TFM_VlanSetting.h"
#include "TFM_Waiting.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace servicetest;

namespace {

const QString kStatus = R + ".3.6.1.1.0";
const QString kMode = R + ".3.6.1.2.0";
const QString kVlans = R + ".3.6.1.3.1";
const QString kPvidAuto = R + ".3.6.2.1.0";
const QString kPvids = R + ".3.6.2.2.1";
const QString kPortRefresh = R + ".3.6.3.1.0";
const QString kApply = R + ".4.2.3.0";
const QString kApMode = R + ".2.1.3.3.1.1.1.28.1";
const QString kSsids = R + ".3.3.3.1";

using Vlan = ScreenUnderTest<TFM_VlanSetting>;
using Boxes = QList<QPair<QString, QString>>;
using Sets = QList<QStringList>;

const QStringList kPortNames = {"Mgmt", "LAN", "Primary", "S-1", "S-2", "S-3", "S-4", "S-5", "S-6",
                                "S-7", "W-1", "W-2", "W-3", "W-4", "W-5", "W-6", "W-7", "W-8"};

// A VLAN row; `members` holds one digit per port: 0 none, 1 tag, 2 untag.
simtest::Objects vlanRow(int row, int vid, const QString &name, const QString &members)
{
    const QString k = "." + QString::number(row);
    simtest::Objects o = {{kVlans + ".2" + k, "2|" + QString::number(vid)}, {kVlans + ".3" + k, "4|" + name}};
    for (int p = 0; p < 18; ++p)
        o[kVlans + "." + QString::number(4 + p) + k] = "2|" + members.mid(p, 1);
    return o;
}

// VLAN on; the default VLAN in row 1, row 2 free, VID 20 in row 3.
simtest::Objects withGap(const simtest::Objects &more = {})
{
    simtest::Objects o = vlanRow(3, 20, "twenty", "120000000000000000");
    o[kStatus] = "2|1";
    o.insert(more);
    return o;
}

// What Add writes into a row: VID, name and the 18 memberships.
QStringList rowSet(int row, int vid, const QString &name, const QString &members)
{
    const QString k = "." + QString::number(row);
    QStringList set = {"noError", vb(kVlans + ".2" + k, "2|" + QString::number(vid)), vb(kVlans + ".3" + k, "4|" + name)};
    for (int p = 0; p < 18; ++p)
        set << vb(kVlans + "." + QString::number(4 + p) + k, "2|" + members.mid(p, 1));
    return set;
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

// The device started, the screen open and its VLAN list read with `listed` entries.
bool started(Vlan &t, int listed)
{
    if (!t.Start()) {
        qWarning("%s", qPrintable(t.fixture.Error()));
        return false;
    }
    auto *list = t.w<QTreeWidget>("LV_VlanListUser");
    return QTest::qWaitFor([&] { return list->topLevelItemCount() == listed; }, 10000);
}

void select(const Vlan &t, int entry)
{
    auto *list = t.w<QTreeWidget>("LV_VlanListUser");
    if (entry < 0)
        list->clearSelection();
    else
        list->topLevelItem(entry)->setSelected(true);
}

void showTab(const Vlan &t, int tab)
{
    t.w<QTabWidget>("PageControl1")->setCurrentIndex(tab);
}

bool noticeShown()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<TFM_Waiting *>(w) && w->isVisible())
            return true;
    return false;
}

} // namespace

class TestTFMVlanSetting : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheDeviceLists()
    {
        Vlan t(withGap());
        QVERIFY(started(t, 2));
        TFM_VlanSetting &s = *t.screen;
        QCOMPARE(s.windowTitle(), QString("Advanced \\ VLAN Settings"));
        QCOMPARE(Unnamed(&s), QStringList());
        QCOMPARE(t.w("RB_MssidS3Tag")->accessibleName(), QString("S-3 Tag"));
        QCOMPARE(t.w<QLabel>("LB_VlanMode")->text(), QString("Static"));
        QCOMPARE(rows(t.w<QTreeWidget>("LV_VlanListUser")),
                 (QList<QStringList>{{"1", "default", kPortNames.join(','), ""}, {"20", "twenty", "LAN", "Mgmt"}}));
        QCOMPARE(s.State(), TFM_VlanSetting::Adding);
        QCOMPARE(s.CurrentRow(), QString("2")); // the free row, not the one after the listed ones
        QVERIFY(!t.w<QPushButton>("Btn_VlanEdit")->isEnabled());
        for (const char *port : {"PortMgmt", "MssidS7", "WdsW8"})
            QVERIFY(t.w<QRadioButton>(qPrintable(QStringLiteral("RB_%1Untag").arg(port)))->isChecked());

        // The device gathered the port list when the window opened.
        auto *ports = t.w<QTreeWidget>("LV_PortListUser");
        QTRY_COMPARE(ports->topLevelItem(0)->text(1), QString("20"));
        QCOMPARE(rows(ports)[0], (QStringList{"Mgmt", "20", "1", "1"}));
        QCOMPARE(rows(ports)[1], (QStringList{"LAN", "", "1,20", "1"}));
        QCOMPARE(ports->topLevelItem(2)->text(0), QString("rwn3460"));
        QCOMPARE(ports->topLevelItem(17)->text(0), QString("W-8"));
        Snapshot(&s, "TFM_VlanSetting");

        // Every visit of the port list has the device gather it again.
        const int mark = t.fixture.Mark();
        showTab(t, TFM_VlanSetting::PortListTab);
        QCOMPARE(t.setsSince(mark), (Sets{{"noError", vb(kPortRefresh, "2|1")}}));
    }

    void portListHasEighteenRows_data()
    {
        QTest::addColumn<simtest::Objects>("device");
        QTest::addColumn<QStringList>("names");
        QStringList five = {"Mgmt", "LAN", "rwn3460", "rwn3460-2", "rwn3460-3", "rwn3460-4", "rwn3460-5",
                            "S-5", "S-6", "S-7"};
        simtest::Objects fewer;
        for (int row = 6; row <= 8; ++row)
            for (const char *column : {".1.1.", ".3.1."})
                fewer[kSsids + column + QString::number(row)] = "";
        QTest::newRow("five SSIDs") << fewer << five;
        simtest::Objects more;
        for (int row = 9; row <= 10; ++row) {
            more[kSsids + ".1.1." + QString::number(row)] = "2|" + QString::number(row);
            more[kSsids + ".3.1." + QString::number(row)] = "4|extra";
        }
        QStringList eight = five.mid(0, 7);
        eight << "rwn3460-6" << "rwn3460-7" << "rwn3460-8";
        QTest::newRow("ten SSIDs") << more << eight;
    }
    void portListHasEighteenRows()
    {
        QFETCH(simtest::Objects, device);
        QFETCH(QStringList, names);
        Vlan t(device);
        QVERIFY(started(t, 1));
        auto *ports = t.w<QTreeWidget>("LV_PortListUser");
        QTRY_COMPARE(ports->topLevelItem(17)->text(2), QString("1"));
        QCOMPARE(ports->topLevelItemCount(), 18);
        QStringList shown;
        for (int p = 0; p < 10; ++p)
            shown << ports->topLevelItem(p)->text(0);
        QCOMPARE(shown, names);
        QCOMPARE(ports->topLevelItem(10)->text(0), QString("W-1"));
    }

    void addGoesToTheFirstFreeRow()
    {
        Vlan t(withGap());
        QVERIFY(started(t, 2));
        TFM_VlanSetting &s = *t.screen;
        showTab(t, TFM_VlanSetting::AddEditTab);
        t.w<QLineEdit>("Ed_VlanID")->setText("30");
        t.w<QLineEdit>("Ed_VlanName")->setText("guest");
        t.w<QRadioButton>("RB_PortMgmtTag")->setChecked(true);
        t.w<QRadioButton>("RB_PortLanNot")->setChecked(true);
        t.click("Btn_VlanMssidTagAll");
        t.click("Btn_VlanWdsNotAll");
        const int mark = t.fixture.Mark();
        t.click("AddButton");
        auto *list = t.w<QTreeWidget>("LV_VlanListUser");
        QTRY_COMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(t.setsSince(mark), (Sets{rowSet(2, 30, "guest", "101111111100000000")}));
        QCOMPARE(rows(list)[1], (QStringList{"30", "guest", "", "Mgmt,Primary,S-1,S-2,S-3,S-4,S-5,S-6,S-7"}));
        QVERIFY(s.isEnabled());
        QVERIFY(!noticeShown());
        QCOMPARE(s.CurrentRow(), QString("4"));
        QVERIFY(t.fixture.Dialogs().Boxes().isEmpty());
    }

    void addRefused_data()
    {
        QTest::addColumn<QString>("vid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString range = "The VID value range is 1~4094.";
        QTest::newRow("no VID") << "" << "guest" << range;
        QTest::newRow("VID 0") << "0" << "guest" << range;
        QTest::newRow("VID 4095") << "4095" << "guest" << range;
        QTest::newRow("a listed VID") << "20" << "guest"
                                      << "There is an existent entry with the same VID.\nPlease change the VID.";
        // Such a VLAN would never be listed, so it could never be deleted either.
        QTest::newRow("no name") << "30" << "" << "Please input the VLAN name.";
    }
    void addRefused()
    {
        QFETCH(QString, vid);
        QFETCH(QString, name);
        QFETCH(QString, message);
        Vlan t(withGap());
        QVERIFY(started(t, 2));
        showTab(t, TFM_VlanSetting::AddEditTab);
        t.w<QLineEdit>("Ed_VlanID")->setText(vid);
        t.w<QLineEdit>("Ed_VlanName")->setText(name);
        const int mark = t.fixture.Mark();
        t.click("AddButton");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", message}}));
        QTest::qWait(50);
        QCOMPARE(t.setsSince(mark), Sets());
    }

    void editKeepsTheRowAndItsVid()
    {
        Vlan t(withGap());
        QVERIFY(started(t, 2));
        TFM_VlanSetting &s = *t.screen;
        select(t, 1);
        QCOMPARE(s.State(), TFM_VlanSetting::Selected);
        QCOMPARE(s.CurrentRow(), QString("3"));
        t.click("Btn_VlanEdit");
        QCOMPARE(t.w<QTabWidget>("PageControl1")->currentIndex(), int(TFM_VlanSetting::AddEditTab));
        QLineEdit *vid = t.w<QLineEdit>("Ed_VlanID");
        QCOMPARE(vid->text(), QString("20"));
        QVERIFY(!vid->isEnabled());
        QCOMPARE(t.w<QLineEdit>("Ed_VlanName")->text(), QString("twenty"));
        QVERIFY(t.w<QRadioButton>("RB_PortMgmtTag")->isChecked());
        QVERIFY(t.w<QRadioButton>("RB_PortLanUntag")->isChecked());
        QVERIFY(t.w<QRadioButton>("RB_MssidPrimaryNot")->isChecked());
        QVERIFY(s.AddOrEdit());
        Snapshot(&s, "TFM_VlanSetting_edit");
        t.w<QLineEdit>("Ed_VlanName")->setText("twenty-b");
        t.w<QRadioButton>("RB_WdsW1Tag")->setChecked(true);
        const int mark = t.fixture.Mark();
        t.click("AddButton");
        QTRY_COMPARE(t.w<QTreeWidget>("LV_VlanListUser")->topLevelItem(1)->text(1), QString("twenty-b"));
        QCOMPARE(t.setsSince(mark), (Sets{rowSet(3, 20, "twenty-b", "120000000010000000")}));
        QVERIFY(vid->isEnabled());
        QVERIFY(!s.AddOrEdit());
    }

    // Picking nothing after a VLAN: an Add goes to a free row, never to that VLAN.
    void nothingPickedAddsAgain()
    {
        Vlan t(withGap());
        QVERIFY(started(t, 2));
        select(t, 1);
        select(t, -1);
        QCOMPARE(t.screen->State(), TFM_VlanSetting::Adding);
        QCOMPARE(t.screen->CurrentRow(), QString("2"));
        QVERIFY(t.w<QLineEdit>("Ed_VlanID")->isEnabled());
        QVERIFY(!t.w<QPushButton>("Btn_VlanDelete")->isEnabled());
    }

    void deleteThenAddSendsEveryColumn_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::newRow("the device deletes") << false;
        QTest::newRow("the device refuses") << true;
    }
    void deleteThenAddSendsEveryColumn()
    {
        QFETCH(bool, refused);
        simtest::Objects device = withGap(vlanRow(2, 10, "ten", "220000000000000000"));
        if (refused)
            device[kVlans + ".22.2"] = ""; // no delete object for that row
        Vlan t(device);
        QVERIFY(started(t, 3));
        select(t, 1);
        int mark = t.fixture.Mark();
        t.click("Btn_VlanDelete");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"warning", "Are you sure you want to delete ten?"}}));
        QTRY_COMPARE(t.setsSince(mark).size(), 1);
        QCOMPARE(t.setsSince(mark)[0].mid(1), (QStringList{vb(kVlans + ".22.2", "2|1")}));
        auto *list = t.w<QTreeWidget>("LV_VlanListUser");
        if (refused) {
            QTRY_VERIFY(!noticeShown());
            QVERIFY(t.screen->StatusBar()->currentMessage() != QLatin1String("Get OK!"));
            QCOMPARE(list->topLevelItemCount(), 3);
        } else {
            // The device closes up its table: VID 20 moves into row 2.
            QTRY_COMPARE(list->topLevelItemCount(), 2);
            QCOMPARE(list->topLevelItem(1)->text(0), QString("20"));
            QCOMPARE(t.fixture.Sim().value(kVlans + ".2.2"), QString("2|20"));
        }
        QVERIFY(t.screen->isEnabled());

        select(t, -1);
        const QString free = t.screen->CurrentRow();
        QCOMPARE(free, QString(refused ? "4" : "3"));
        showTab(t, TFM_VlanSetting::AddEditTab);
        t.w<QLineEdit>("Ed_VlanID")->setText("40");
        t.w<QLineEdit>("Ed_VlanName")->setText("forty");
        mark = t.fixture.Mark();
        t.click("AddButton");
        QTRY_COMPARE(t.setsSince(mark).size(), 1);
        QCOMPARE(t.setsSince(mark), (Sets{rowSet(free.toInt(), 40, "forty", "222222222222222222")}));
    }

    void fullTableWritesNothing()
    {
        simtest::Objects device;
        for (int row = 1; row <= 18; ++row)
            device.insert(vlanRow(row, 100 + row, "v" + QString::number(row), "200000000000000000"));
        device[kStatus] = "2|1";
        Vlan t(device);
        QVERIFY(started(t, 18));
        QCOMPARE(t.screen->State(), TFM_VlanSetting::Full);
        QCOMPARE(t.screen->CurrentRow(), QString());
        showTab(t, TFM_VlanSetting::AddEditTab);
        t.w<QLineEdit>("Ed_VlanID")->setText("300");
        t.w<QLineEdit>("Ed_VlanName")->setText("more");
        const int mark = t.fixture.Mark();
        t.click("AddButton");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "The VLAN table is full!"}}));
        QTest::qWait(50);
        QCOMPARE(t.setsSince(mark), Sets());
    }

    void editingFollowsStatusAndMode_data()
    {
        QTest::addColumn<simtest::Objects>("device");
        QTest::addColumn<bool>("switchOn");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("pvids");
        QTest::addColumn<QString>("mode");
        QTest::newRow("VLAN off") << simtest::Objects{} << false << false << false << "Static";
        QTest::newRow("switched on, PVIDs by hand") << simtest::Objects{} << true << true << true << "Static";
        QTest::newRow("on, PVIDs assigned") << simtest::Objects{{kStatus, "2|1"}, {kPvidAuto, "2|1"}} << false << true
                                            << false << "Static";
        QTest::newRow("on, dynamic") << simtest::Objects{{kStatus, "2|1"}, {kMode, "2|1"}} << false << false << false
                                     << "Dynamic";
    }
    void editingFollowsStatusAndMode()
    {
        QFETCH(simtest::Objects, device);
        QFETCH(bool, switchOn);
        QFETCH(bool, add);
        QFETCH(bool, pvids);
        QFETCH(QString, mode);
        Vlan t(device);
        QVERIFY(started(t, 1));
        if (switchOn) {
            auto *status = t.w<QComboBox>("CB_VlanStatus");
            status->setFocus();
            QTest::keyClick(status, Qt::Key_Down);
            QCOMPARE(status->currentText(), QString("Enable"));
        }
        QCOMPARE(t.w<QLabel>("LB_VlanMode")->text(), mode);
        for (const char *name : {"AddButton", "Ed_VlanID", "Btn_VlanPortTagAll", "RB_WdsW8Tag", "CB_PvidAutoStatus"})
            QCOMPARE(t.w(name)->isEnabled(), add);
        for (const char *name : {"Ed_PvidMgmt", "Ed_PvidWdsW8"})
            QCOMPARE(t.w(name)->isEnabled(), pvids);
    }

    void pvidApply_data()
    {
        QTest::addColumn<simtest::Objects>("device");
        QTest::addColumn<Sets>("sets");
        const QStringList apply = {"noError", vb(kApply, "2|1")};
        QTest::newRow("VLAN off: status, apply") << simtest::Objects{}
            << Sets{{"noError", vb(kStatus, "2|0")}, apply};
        QTest::newRow("assigned PVIDs: status, auto, apply")
            << simtest::Objects{{kStatus, "2|1"}, {kPvidAuto, "2|1"}}
            << Sets{{"noError", vb(kStatus, "2|1")}, {"noError", vb(kPvidAuto, "2|1")}, apply};
        QStringList values = {"noError"};
        for (int p = 0; p < 18; ++p)
            values << vb(kPvids + "." + QString::number(2 + p) + ".1", p == 1 ? "2|20" : "2|1");
        QTest::newRow("PVIDs by hand: status, auto, the 18 values, apply")
            << simtest::Objects{{kStatus, "2|1"}}
            << Sets{{"noError", vb(kStatus, "2|1")}, {"noError", vb(kPvidAuto, "2|0")}, values, apply};
    }
    void pvidApply()
    {
        QFETCH(simtest::Objects, device);
        QFETCH(Sets, sets);
        Vlan t(device);
        QVERIFY(started(t, 1));
        showTab(t, TFM_VlanSetting::PvidTab);
        t.w<QLineEdit>("Ed_PvidLan")->setText("20");
        const int mark = t.fixture.Mark();
        t.click("Btn_PvidApply");
        QCOMPARE(t.setsSince(mark), sets);
        QCOMPARE(t.screen->StatusBar()->currentMessage(), QString("Set OK!"));
        QVERIFY(!noticeShown());
        if (sets.size() == 4) // read back and shown in the port list
            QCOMPARE(t.w<QTreeWidget>("LV_PortListUser")->topLevelItem(1)->text(3), QString("20"));
    }

    void pvidRefused_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("0") << "0";
        QTest::newRow("empty") << "";
        QTest::newRow("4095") << "4095";
    }
    void pvidRefused()
    {
        QFETCH(QString, value);
        Vlan t(withGap());
        QVERIFY(started(t, 2));
        showTab(t, TFM_VlanSetting::PvidTab);
        QLineEdit *field = t.w<QLineEdit>("Ed_PvidMssidS3");
        field->setText(value);
        const int mark = t.fixture.Mark();
        t.click("Btn_PvidApply");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "The VID value range is 1~4094."}}));
        QCOMPARE(field->text(), QString("1"));
        QCOMPARE(t.screen->focusWidget(), field);
        QCOMPARE(t.setsSince(mark), Sets());
    }

    // A client with VLAN switched on (not applied yet): warned at once; Apply brings VLAN
    // into effect and the device becomes an access point.
    void applyMakesAClientAnAccessPoint()
    {
        Vlan t({{kApMode, "2|4"}});
        QVERIFY2(t.fixture.Start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.fixture.Sim().set({kStatus, "i", "1"}).exitCode, 0);
        QVERIFY(t.Show());
        QCOMPARE(t.fixture.Dialogs().Boxes(),
                 (Boxes{{"Warning", "If you enable VLAN, AP Mode will be set to 'Access Point'!"}}));
        showTab(t, TFM_VlanSetting::AddEditTab);
        const int mark = t.fixture.Mark();
        t.click("Btn_VlanApply");
        QCOMPARE(t.setsSince(mark), (Sets{{"noError", vb(kStatus, "2|1")}, {"noError", vb(kApply, "2|1")},
                                          {"noError", vb(kPortRefresh, "2|1")}}));
        QCOMPARE(t.screen->StatusBar()->currentMessage(), QString("Set OK!"));
        QCOMPARE(t.fixture.Sim().value(kApMode), QString("2|1"));
        QVERIFY(t.screen->isEnabled());
    }
};

QTEST_MAIN(TestTFMVlanSetting)
#include "tst_tfm_vlansetting.moc"
