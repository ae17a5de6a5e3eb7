// 'Advanced \ DHCP Server' against the simulated device: what is written, in which order
// and to which row of a table with gaps, every refusal, the lease lists and the close rule.
#include "KxErrors.h"
#include "KxSession.h"
#include "KxValues.h"
#include "ServiceScreenTest.h"
#include "TFM_DHCP.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace servicetest;

namespace {

const QString kServerControl = R + ".3.1.1.0";
const QString kPool = R + ".3.1.2.2.1";
const QString kDomainStatus = R + ".3.1.2.3.0";
const QString kStaticControl = R + ".3.1.3.1.0";
const QString kStatic = R + ".3.1.3.2.1";
const QString kStaticDelete = R + ".3.1.3.3.0";
const QString kApMode = R + ".2.1.3.3.1.1.1.28.1";

using Dhcp = ScreenUnderTest<TFM_DHCP>;
using Boxes = QList<QPair<QString, QString>>;

// Both servers on, with a gateway and DNS that pass the checks.
simtest::Objects serversOn(const simtest::Objects &more = {})
{
    simtest::Objects o = {{kServerControl, "2|1"}, {kStaticControl, "2|1"}, {kPool + ".7.1", "64|192.168.0.1"},
                          {kPool + ".9.1", "64|192.168.0.1"}};
    o.insert(more);
    return o;
}

// A static row holding an entry.
simtest::Objects entry(int row, const QString &host, const QString &address, const QString &mac)
{
    const QString k = QString::number(row);
    return {{kStatic + ".2." + k, "2|1"}, {kStatic + ".3." + k, "4|" + host}, {kStatic + ".4." + k, "64|" + address},
            {kStatic + ".5." + k, "4x|" + mac}, {kStatic + ".6." + k, "64|255.255.255.0"},
            {kStatic + ".7." + k, "64|192.168.0.1"}, {kStatic + ".8." + k, "64|192.168.0.1"}};
}

// The nine columns of a static row as one set writes them.
QStringList rowSet(int row, const QString &host, const QString &address, const QString &mac)
{
    const QString k = "." + QString::number(row);
    return {"noError",
            vb(kStatic + ".2" + k, "2|1"),
            vb(kStatic + ".3" + k, "4|" + host),
            vb(kStatic + ".4" + k, "64|" + address),
            vb(kStatic + ".5" + k, "4x|" + mac),
            vb(kStatic + ".6" + k, "64|255.255.255.0"),
            vb(kStatic + ".7" + k, "64|192.168.0.1"),
            vb(kStatic + ".8" + k, "64|192.168.0.1"),
            vb(kStatic + ".9" + k, "64|0.0.0.0"),
            vb(kStatic + ".10" + k, "4|")};
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

void typePool(const Dhcp &t, const QString &start, const QString &range, const QString &lease)
{
    t.w<QLineEdit>("Ed_IPAF")->setText(start);
    t.w<QLineEdit>("Ed_PoolRan")->setText(range);
    t.w<QLineEdit>("Ed_Lease")->setText(lease);
    t.w<QLineEdit>("Ed_SubMask")->setText("255.255.255.0");
    t.w<QLineEdit>("Ed_Gateway")->setText("192.168.0.1");
    t.w<QLineEdit>("Ed_Wins")->clear();
    t.w<QLineEdit>("Ed_DNS")->setText("192.168.0.1");
    t.w<QLineEdit>("Ed_DomNa")->setText("office.lan");
}

void typeEntry(const Dhcp &t, const QString &host, const QString &address, const QString &mac)
{
    t.w<QLineEdit>("ED_StaticHostName")->setText(host);
    t.w<QLineEdit>("ED_StaticAssignIP")->setText(address);
    t.w<QLineEdit>("ED_StaticAssignMAC")->setText(mac);
}

void selectEntry(const Dhcp &t, int row)
{
    QTreeWidget *list = t.w<QTreeWidget>("User_ListView");
    if (row < 0)
        list->clearSelection();
    else
        list->topLevelItem(row)->setSelected(true);
}

} // namespace

class TestTFMDHCP : public QObject {
    Q_OBJECT

private slots:
    // Opened as the menu opens it; the window stays until its static table is read.
    void opensWithThePoolAsARange()
    {
        Dhcp t(serversOn({{kPool + ".3.1", "64|192.168.0.101"}, {kPool + ".4.1", "64|192.168.0.150"},
                          {kPool + ".7.1", "64|0.0.0.0"}}));
        QVERIFY2(t.fixture.Start(), qPrintable(t.fixture.Error()));
        TFM_DHCP *reference = nullptr;
        bool driven = false;
        t.fixture.Open<TFM_DHCP>(reference, [&](TFM_DHCP &s) {
            driven = true;
            QCOMPARE(reference, &s);
            QCOMPARE(s.windowTitle(), QString("Advanced \\ DHCP Server"));
            QCOMPARE(s.findChild<QTabWidget *>("PageControl1")->currentIndex(), 0);
            QCOMPARE(s.findChild<QLineEdit *>("Ed_PoolRan")->text(), QString("50"));
            QCOMPARE(s.findChild<QLineEdit *>("Ed_Gateway")->text(), QString());
            QCOMPARE(s.findChild<QStatusBar *>("StatusBar1")->currentMessage(), QString("Get OK!"));
            s.show();
            QVERIFY(s.StaticReadPending());
            s.close();
            QTest::keyClick(&s, Qt::Key_Escape);
            QVERIFY(s.isVisible());
            QTRY_VERIFY(!s.StaticReadPending());
            QCOMPARE(s.findChild<QStatusBar *>("StatusBar2")->currentMessage(), QString("Get OK!"));
            QCOMPARE(s.findChild<QComboBox *>("CB_Fuction2")->currentText(), QString("Enable"));
            Snapshot(&s, "TFM_DHCP");
            QCOMPARE(Unnamed(&s), QStringList());
            QCOMPARE(s.findChild<QLineEdit *>("Ed_Lease")->accessibleName(), QString("Lease Time (60 - 31536000 sec)"));
            QVERIFY(s.findChild<QPushButton *>("Bt_Cancel")->isEnabled());
            s.findChild<QPushButton *>("Bt_Cancel")->click();
            QVERIFY(!s.isVisible());
        });
        QVERIFY(driven);
        QCOMPARE(reference, nullptr);
    }

    void dynamicSave_data()
    {
        QTest::addColumn<simtest::Objects>("device");
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("lease");
        QTest::addColumn<QList<QStringList>>("sets");
        auto pool = [](const QString &start, const QString &end, const QString &lease, bool domain) {
            QStringList set = {"noError", vb(kPool + ".3.1", "64|" + start), vb(kPool + ".4.1", "64|" + end),
                               vb(kPool + ".6.1", "64|255.255.255.0"), vb(kPool + ".7.1", "64|192.168.0.1"),
                               vb(kPool + ".8.1", "64|0.0.0.0"), vb(kPool + ".9.1", "64|192.168.0.1")};
            if (domain)
                set << vb(kPool + ".10.1", "4|office.lan");
            return set << vb(kPool + ".11.1", "2|" + lease);
        };
        const QStringList on = {"noError", vb(kServerControl, "2|1")};
        QTest::newRow("start .100 with 155 addresses ends at .254")
            << serversOn() << 1 << "192.168.0.100" << "155" << "60"
            << QList<QStringList>{on, pool("192.168.0.100", "192.168.0.254", "60", true)};
        QTest::newRow("the longest lease, on another network")
            << serversOn() << 1 << "192.168.1.1" << "254" << "31536000"
            << QList<QStringList>{on, pool("192.168.1.1", "192.168.1.254", "31536000", true)};
        QTest::newRow("only the static side has a domain name: none written")
            << serversOn({{kDomainStatus, "2|2"}}) << 1 << "192.168.0.100" << "10" << "86400"
            << QList<QStringList>{on, pool("192.168.0.100", "192.168.0.109", "86400", false)};
        QTest::newRow("server off: only the control")
            << serversOn() << 0 << "" << "" << ""
            << QList<QStringList>{{"noError", vb(kServerControl, "2|0")}};
    }
    void dynamicSave()
    {
        QFETCH(simtest::Objects, device);
        QFETCH(int, control);
        QFETCH(QString, start);
        QFETCH(QString, range);
        QFETCH(QString, lease);
        QFETCH(QList<QStringList>, sets);
        Dhcp t(device);
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        auto *box = t.w<QComboBox>("CB_Fuction1");
        box->setCurrentIndex(control);
        t.screen->CB_Fuction1Change();
        QCOMPARE(t.w<QComboBox>("CB_Fuction2")->currentIndex(), control);
        if (control == 1)
            typePool(t, start, range, lease);
        const int mark = t.fixture.Mark();
        t.click("Bt_Apply");
        QCOMPARE(t.setsSince(mark), sets);
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes());
        QCOMPARE(t.status("StatusBar1"), QString("Setting Success!"));
        if (control == 1) {
            QCOMPARE(t.w<QLineEdit>("Ed_PoolRan")->text(), range); // read back as a count again
            QCOMPARE(t.w<QLineEdit>("Ed_Wins")->text(), QString("0.0.0.0"));
        }
    }

    void poolRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        const QString address = "Please input valid IP address";
        const QString range = "Please input a number between 1 and 254.";
        const QString lease = "Please input a number between 60 and 31536000.";
        QTest::newRow("no start") << "Ed_IPAF" << "" << "Warning" << address;
        QTest::newRow("no range") << "Ed_PoolRan" << "" << "Warning" << range;
        QTest::newRow("range 0") << "Ed_PoolRan" << "0" << "Error" << range;
        QTest::newRow("range 255") << "Ed_PoolRan" << "255" << "Error" << range;
        QTest::newRow(".100 with 156 addresses reaches .255") << "Ed_PoolRan" << "156" << "Error" << "Invaild IP range!";
        // Its last part is not read before the start is known to be an address.
        QTest::newRow("start .255 is no host address") << "Ed_IPAF" << "192.168.0.255" << "Waring" << address;
        QTest::newRow("start not four numbers") << "Ed_IPAF" << "192.168.0" << "Waring" << address;
        QTest::newRow("the pool would hand out the AP's address")
            << "Ed_IPAF" << "192.168.0.1" << "Waring" << address + ".";
        QTest::newRow("no lease") << "Ed_Lease" << "" << "Warning" << lease;
        QTest::newRow("lease 59") << "Ed_Lease" << "59" << "Error" << lease;
        QTest::newRow("lease 31536001") << "Ed_Lease" << "31536001" << "Error" << lease;
        QTest::newRow("mask 0.0.0.0") << "Ed_SubMask" << "0.0.0.0" << "Waring" << "Please input valid SubMask.";
        QTest::newRow("no gateway") << "Ed_Gateway" << "" << "Waring" << "Please input valid Gateway.";
        QTest::newRow("WINS not an address") << "Ed_Wins" << "10.0.0" << "Waring" << "Invalid WINS!";
        QTest::newRow("DNS not an address") << "Ed_DNS" << "300.1.1.1" << "Waring" << "Please input valid DNS!";
        QTest::newRow("range not a number") << "" << "12a" << ProgramTitle() << "'12a' is not a valid integer value";
    }
    void poolRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, message);
        Dhcp t(serversOn());
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        typePool(t, "192.168.0.100", "100", "86400");
        QLineEdit *edit = t.w<QLineEdit>(field.isEmpty() ? "Ed_PoolRan" : qPrintable(field));
        edit->setText(text);
        const int mark = t.fixture.Mark();
        t.click("Bt_Apply");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{title, message}}));
        if (!field.isEmpty())
            QCOMPARE(t.screen->focusWidget(), edit);
        QTest::qWait(50);
        QCOMPARE(t.setsSince(mark), QList<QStringList>());
    }

    // Entries in rows 2 and 4, rows 1 and 3 free: every write reaches the row meant.
    void staticEntriesReachTheirOwnRows()
    {
        simtest::Objects device = serversOn(entry(2, "alpha", "192.168.0.20", "00c0ca000002"));
        device.insert(entry(4, "bravo", "192.168.0.40", "00c0ca000004"));
        Dhcp t(device);
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        TFM_DHCP &s = *t.screen;
        QTRY_VERIFY(!s.StaticReadPending());
        auto *list = t.w<QTreeWidget>("User_ListView");
        QCOMPARE(rows(list), (QList<QStringList>{{"00C0CA000002", "192.168.0.20", "alpha"},
                                                 {"00C0CA000004", "192.168.0.40", "bravo"}}));
        QCOMPARE(s.CurrentStaticRow(), QString("1"));
        QCOMPARE(t.w<QLineEdit>("ED_StaticSubMask")->text(), QString("255.255.255.0")); // from the pool
        t.w<QTabWidget>("PageControl1")->setCurrentIndex(1);
        Snapshot(&s, "TFM_DHCP_static");

        // Add: the first free row.
        typeEntry(t, "charlie", "192.168.0.30", "00c0ca000003");
        int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QTRY_COMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(2), QString("charlie"));
        QCOMPARE(t.setsSince(mark), QList<QStringList>{rowSet(1, "charlie", "192.168.0.30", "00c0ca000003")});
        QCOMPARE(t.status("StatusBar2"), QString("Get OK!"));
        QVERIFY(!s.StaticReadPending());

        // Del right after a Save is in adding mode: nothing.
        mark = t.fixture.Mark();
        s.Btn_DelClick();
        QVERIFY(t.fixture.Dialogs().Boxes().isEmpty());

        // Edit the last entry: its own row 4, not the list's third position.
        selectEntry(t, 2);
        QVERIFY(s.Editing());
        QCOMPARE(s.CurrentStaticRow(), QString("4"));
        QCOMPARE(t.w<QLineEdit>("ED_StaticAssignIP")->text(), QString("192.168.0.40"));
        t.w<QLineEdit>("ED_StaticHostName")->setText("bravo-2");
        t.click("Btn_Add");
        QTRY_COMPARE(list->topLevelItem(2)->text(2), QString("bravo-2"));
        QCOMPARE(t.setsSince(mark), QList<QStringList>{rowSet(4, "bravo-2", "192.168.0.40", "00c0ca000004")});

        // Picking nothing after an entry: a Save adds again, into the free row 3.
        selectEntry(t, 1);
        QCOMPARE(s.CurrentStaticRow(), QString("2"));
        selectEntry(t, -1);
        QVERIFY(!s.Editing());
        QCOMPARE(s.CurrentStaticRow(), QString("3"));
        QCOMPARE(t.w<QLineEdit>("ED_StaticHostName")->text(), QString());
        QVERIFY(!t.w<QPushButton>("Btn_Del")->isEnabled());

        // Delete the second entry: its own row index goes to the device.
        selectEntry(t, 1);
        mark = t.fixture.Mark();
        t.click("Btn_Del");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "Are you sure that you want to delete this entry?"}}));
        QCOMPARE(t.setsSince(mark), (QList<QStringList>{{"noError", vb(kStaticDelete, "2|2")}}));
        QCOMPARE(t.status("StatusBar2"), QString("Delete OK!"));
        QTRY_COMPARE(rows(list), (QList<QStringList>{{"00C0CA000003", "192.168.0.30", "charlie"},
                                                     {"00C0CA000004", "192.168.0.40", "bravo-2"}}));
        QCOMPARE(s.CurrentStaticRow(), QString("2"));
    }

    void staticRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        const QString address = "Please input valid IP address";
        const QString mac = "Please input valid MAC address.";
        QTest::newRow("no address") << "ED_StaticAssignIP" << "" << "Warning" << address;
        QTest::newRow("a network, not a host") << "ED_StaticAssignIP" << "192.168.0.0" << "Waring" << address;
        QTest::newRow("the AP's own address") << "ED_StaticAssignIP" << "192.168.0.50" << "Waring" << address + ".";
        QTest::newRow("MAC too short") << "ED_StaticAssignMAC" << "00c0ca0000" << "Waring" << mac;
        QTest::newRow("no MAC") << "ED_StaticAssignMAC" << "000000000000" << "Waring" << mac;
        QTest::newRow("mask with holes") << "ED_StaticSubMask" << "255.0.255.0" << "Waring" << "Please input valid SubMask.";
        QTest::newRow("no host name") << "ED_StaticHostName" << "" << "Warning" << "Invalid Computer Name!";
        QTest::newRow("gateway a broadcast") << "ED_StaticGateway" << "192.168.0.255" << "Waring"
                                             << "Please input valid Gateway.";
        QTest::newRow("WINS not an address") << "ED_StaticWins" << "10.0.0" << "Waring" << "Invalid WINS!";
        QTest::newRow("DNS not an address") << "ED_StaticDNS" << "0.1.2.3" << "Waring" << "Please input valid DNS!";
    }
    void staticRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, message);
        Dhcp t(serversOn());
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        typeEntry(t, "delta", "192.168.0.33", "00c0ca000033");
        QLineEdit *edit = t.w<QLineEdit>(qPrintable(field));
        edit->setText(text);
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{title, message}}));
        QCOMPARE(t.screen->focusWidget(), edit);
        QVERIFY(t.w<QPushButton>("Btn_Add")->isEnabled());
        QTest::qWait(50);
        QCOMPARE(t.setsSince(mark), QList<QStringList>());
    }

    void fullTableWritesNothing()
    {
        simtest::Objects device = serversOn();
        for (int row = 1; row <= 8; ++row)
            device.insert(entry(row, "pc" + QString::number(row), "192.168.0." + QString::number(10 + row),
                                "00c0ca0000" + QString::number(10 + row)));
        Dhcp t(device);
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        QCOMPARE(t.w<QTreeWidget>("User_ListView")->topLevelItemCount(), 8);
        QCOMPARE(t.screen->CurrentStaticRow(), QString());
        typeEntry(t, "extra", "192.168.0.99", "00c0ca000099");
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "The static pool table is full!"}}));
        QTest::qWait(50);
        QCOMPARE(t.setsSince(mark), QList<QStringList>());
    }

    // The device refuses an address another entry holds: the entry can be corrected.
    void refusedEntryStaysEditable()
    {
        Dhcp t(serversOn(entry(2, "alpha", "192.168.0.20", "00c0ca000002")));
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        typeEntry(t, "echo", "192.168.0.20", "00c0ca000005");
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QTRY_COMPARE(t.setsSince(mark).size(), 1);
        QCOMPARE(t.setsSince(mark)[0].value(0), QString("inconsistentValue"));
        QTRY_VERIFY(t.w<QPushButton>("Btn_Add")->isEnabled());
        QVERIFY(t.status("StatusBar2") != QLatin1String("Setting Success!"));
        QCOMPARE(t.status("StatusBar2"), t.status("StatusBar1"));
        QVERIFY(t.w<QLineEdit>("ED_StaticAssignIP")->isEnabled());
        QCOMPARE(t.w<QLineEdit>("ED_StaticHostName")->text(), QString("echo"));
        QCOMPARE(t.screen->CurrentStaticRow(), QString("1"));
    }

    void refusedDeleteIsNotReportedDone()
    {
        simtest::Objects device = serversOn(entry(2, "alpha", "192.168.0.20", "00c0ca000002"));
        device.insert(kStaticDelete, ""); // the device knows no delete object
        Dhcp t(device);
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        selectEntry(t, 0);
        t.click("Btn_Del");
        QVERIFY(!t.status("StatusBar2").isEmpty());
        QVERIFY(t.status("StatusBar2") != QLatin1String("Delete OK!"));
        QCOMPARE(t.w<QTreeWidget>("User_ListView")->topLevelItemCount(), 1);
    }

    void clientModeLocksBothControlLists()
    {
        Dhcp t(serversOn({{kApMode, "2|4"}}));
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_VERIFY(!t.screen->StaticReadPending());
        for (const char *name : {"CB_Fuction1", "CB_Fuction2"}) {
            QCOMPARE(t.w<QComboBox>(name)->currentText(), QString("Disable"));
            QVERIFY(!t.w<QComboBox>(name)->isEnabled());
        }
        for (const char *name : {"Bt_RefreshDynamicPool", "Bt_RefreshStaticPool"})
            QVERIFY(!t.w<QPushButton>(name)->isEnabled());
        QVERIFY(!t.w<QLineEdit>("Ed_IPAF")->isEnabled());
        QVERIFY(!t.w<QLineEdit>("ED_StaticAssignIP")->isEnabled());
    }

    // The lists show what the device gathered: empty slots are left out, a lease
    // without a host name is not.
    void leaseListsFollowTheDevice()
    {
        // The printer's address is reserved, so it holds no dynamic lease.
        Dhcp t(serversOn(entry(2, "printer", "192.168.0.20", "00c0ca112203")));
        QVERIFY2(t.Start(), qPrintable(t.fixture.Error()));
        QTRY_COMPARE(t.status("StatusBar3"), QString("Get OK"));
        QTRY_COMPARE(t.status("StatusBar4"), QString("Get OK"));
        auto *dynamic = t.w<QTreeWidget>("LV_DynPool");
        auto *reserved = t.w<QTreeWidget>("LV_StaticPool");
        QCOMPARE(dynamic->topLevelItemCount(), 0); // eight empty slots
        QCOMPARE(reserved->topLevelItemCount(), 0);

        int mark = t.fixture.Mark();
        t.click("Bt_RefreshDynamicPool");
        QTRY_COMPARE(dynamic->topLevelItemCount(), 2);
        QTRY_COMPARE(t.status("StatusBar3"), QString("Get OK"));
        QCOMPARE(t.setsSince(mark), (QList<QStringList>{{"noError", vb(R + ".3.1.4.1.0", "2|1")}}));
        QList<QStringList> device;
        simtest::Simulator &sim = t.fixture.Sim();
        for (int row = 1; row <= 2; ++row) {
            const QString k = "." + QString::number(row);
            const QString base = R + ".3.1.4.2.1";
            device << QStringList{QString::fromUtf8(QByteArray::fromHex(sim.value(base + ".2" + k).mid(3).toLatin1())),
                                  sim.value(base + ".3" + k).mid(3).toUpper(),
                                  sim.value(base + ".4" + k).mid(3),
                                  TimeTicksText(sim.value(base + ".5" + k).mid(3).toUInt())};
        }
        QCOMPARE(rows(dynamic), device);
        QCOMPARE(rows(dynamic)[0], (QStringList{"office-pc", "00C0CA112201", "192.168.0.100", "1 day 0:00:00.00"}));
        QCOMPARE(rows(dynamic)[1].value(0), QString()); // the client sent no host name

        mark = t.fixture.Mark();
        t.click("Bt_RefreshStaticPool");
        QTRY_COMPARE(reserved->topLevelItemCount(), 1);
        QCOMPARE(t.setsSince(mark), (QList<QStringList>{{"noError", vb(R + ".3.1.4.3.0", "2|1")}}));
        QCOMPARE(rows(reserved), (QList<QStringList>{{"printer", "00C0CA112203", "192.168.0.20"}}));
        t.w<QTabWidget>("PageControl1")->setCurrentIndex(2);
        Snapshot(t.screen.get(), "TFM_DHCP_leases");
    }

    // Nothing can be read when the requests cannot be built; the window still closes.
    void unbuildableWindowStillCloses()
    {
        Dhcp t;
        QVERIFY2(t.fixture.Start(), qPrintable(t.fixture.Error()));
        GlobalDevice.address.clear();
        TFM_DHCP screen(&t.fixture.Host());
        screen.show();
        const QString text = CodeText(KxCode::InvalidAddress);
        for (const char *bar : {"StatusBar1", "StatusBar2", "StatusBar3"})
            QCOMPARE(screen.findChild<QStatusBar *>(bar)->currentMessage(), text);
        QVERIFY(!screen.StaticReadPending());
        screen.close();
        QVERIFY(!screen.isVisible());
    }
};

QTEST_MAIN(TestTFMDHCP)
#include "tst_tfm_dhcp.moc"
