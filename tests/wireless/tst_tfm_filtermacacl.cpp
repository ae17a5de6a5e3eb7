// 'Advanced \ Wireless MAC ACL' against the simulated device: the list the device keeps,
// changed one address at a time through its add and delete objects, the checks before
// anything is written, and the window held until the device has confirmed the list.
#include "KxScreenFixture.h"
#include "KxSession.h"
#include "TFM_FilterMACACL.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kAcl = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.3");
const QString kMode = kAcl + ".2.1.1.1";
const QString kAdd = kAcl + ".2.1.2.1";
const QString kDelete = kAcl + ".2.1.3.1";
const QString kSlot = kAcl + ".3.1.2.";
const QString kApMode = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.1.1.1.28.1");
const QString kClientTrigger = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.4.1.1.1.1");
using Boxes = QList<QPair<QString, QString>>;
using Sets = QList<QStringList>;

template <class T>
T *child(TFM_FilterMACACL &screen, const char *name)
{
    return screen.findChild<T *>(QLatin1String(name));
}

QStringList rows(TFM_FilterMACACL &screen, const char *list)
{
    QStringList out;
    auto *view = child<QTreeWidget>(screen, list);
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < view->topLevelItem(i)->columnCount(); ++c)
            cells << view->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

void pick(TFM_FilterMACACL &screen, const char *list, int row)
{
    auto *view = child<QTreeWidget>(screen, list);
    view->clearSelection();
    view->topLevelItem(row)->setSelected(true);
}

void click(TFM_FilterMACACL &screen, const char *button)
{
    child<QPushButton>(screen, button)->click();
}

// Waits until the window holds the device's list again.
bool settled(TFM_FilterMACACL &screen)
{
    return QTest::qWaitFor([&] { return screen.AclIdle(); }, 10000);
}

const QStringList kClients = {"3C2EFF4A7B01|rwn3460|N|WPA2-PSK|72", "001B63A4B5C6|rwn3460|G|OPEN|48",
                              "5CF9386D7E8F|guest|B|wpa-auto-psk|35", "F0D5BF102030|office|N|dot1x|60"};

} // namespace

class TestTFMFilterMACACL : public QObject {
    Q_OBJECT

private slots:
    void sameMac_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<bool>("same");
        QTest::newRow("equal") << "00C0CA4A3B50" << "00C0CA4A3B50" << true;
        QTest::newRow("typed in lower case") << "00c0ca4a3b50" << "00C0CA4A3B50" << true;
        QTest::newRow("other address") << "00C0CA4A3B51" << "00C0CA4A3B50" << false;
        QTest::newRow("typed a prefix") << "00C0CA" << "00C0CA4A3B50" << false;
        QTest::newRow("listed shorter") << "00C0CA4A3B50" << "00C0CA" << false;
        QTest::newRow("a digit is no letter") << "Q0C0CA4A3B50" << "10C0CA4A3B50" << false;
    }
    void sameMac()
    {
        QFETCH(QString, typed);
        QFETCH(QString, listed);
        QFETCH(bool, same);
        QCOMPARE(SameMac(typed, listed), same);
    }

    // The factory state: access control off, no address listed. With "Disable" neither
    // Add button is usable, even with a client picked.
    void opensWithTheDeviceState()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        const int mark = fixture.Mark();
        TFM_FilterMACACL *reference = nullptr;
        fixture.Open<TFM_FilterMACACL>(reference, [&](TFM_FilterMACACL &screen) {
            QCOMPARE(reference, &screen);
            screen.show();
            QCOMPARE(screen.windowTitle(), QString("Advanced \\ Wireless MAC ACL"));
            QVERIFY(!screen.AclIdle());
            QVERIFY(!child<QPushButton>(screen, "Bt_Apply")->isEnabled());
            QVERIFY(settled(screen));
            QVERIFY(child<QPushButton>(screen, "Bt_Apply")->isEnabled());
            QVERIFY(child<QPushButton>(screen, "Bt_Del")->isEnabled());
            QCOMPARE(child<QComboBox>(screen, "CB_Band")->currentText(), QString("2.4GHz"));
            QVERIFY(!child<QComboBox>(screen, "CB_Band")->isEnabled());
            QCOMPARE(child<QComboBox>(screen, "CB_AccessControl")->currentText(), QString("Disable"));
            QVERIFY(child<QComboBox>(screen, "CB_AccessControl")->isEnabled());
            QVERIFY(rows(screen, "LV_UerMACAddress").isEmpty());
            QCOMPARE(rows(screen, "LV_GetMAC").size(), 16);
            QTRY_COMPARE(rows(screen, "LV_ClientUser"), kClients);
            pick(screen, "LV_ClientUser", 0);
            for (const char *name : {"Ed_MacAdd", "Btn_Add", "Bt_Add"})
                QVERIFY2(!child<QWidget>(screen, name)->isEnabled(), name);
            // Choosing a mode that admits some stations opens typing, and a picked client.
            child<QComboBox>(screen, "CB_AccessControl")->setCurrentIndex(0);
            QVERIFY(child<QLineEdit>(screen, "Ed_MacAdd")->isEnabled());
            QVERIFY(child<QPushButton>(screen, "Btn_Add")->isEnabled());
            pick(screen, "LV_ClientUser", 1);
            QVERIFY(child<QPushButton>(screen, "Bt_Add")->isEnabled());
            QCOMPARE(child<QLineEdit>(screen, "Ed_MacAdd2")->text(), QString("001B63A4B5C6"));
            QVERIFY(screen.close());
        });
        QCOMPARE(reference, nullptr);
        QCOMPARE(fixture.SetsSince(mark), (Sets{{"noError", kClientTrigger + "|2|1"}}));
    }

    void wirelessClientModeLocksTheAccessControl()
    {
        screentest::ScreenFixture fixture({}, {{kApMode, "2|4"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        QVERIFY(!child<QComboBox>(screen, "CB_AccessControl")->isEnabled());
        QVERIFY(settled(screen));
    }

    // A typed address goes to the first empty slot, a deleted one leaves its slot empty;
    // until the device's list has been read again the window cannot be closed.
    void addAndDeleteEndToEnd()
    {
        screentest::ScreenFixture fixture({}, {{kMode, "2|1"}, {kSlot + "2", "4x|001b63a4b5c6"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        screen.show();
        QVERIFY(settled(screen));
        QCOMPARE(rows(screen, "LV_UerMACAddress"), QStringList({"1|001B63A4B5C6"}));
        int mark = fixture.Mark();
        // Typed by hand: a letter that is no hex digit does not stay, Enter adds.
        auto *typed = child<QLineEdit>(screen, "Ed_MacAdd");
        typed->setFocus();
        QTest::keyClicks(typed, "00c0ca11z2233");
        QCOMPARE(typed->text(), QString("00c0ca112233"));
        QTest::keyClick(typed, Qt::Key_Return);
        QVERIFY(!screen.AclIdle());
        QVERIFY(!child<QPushButton>(screen, "Bt_Apply")->isEnabled());
        QVERIFY(!child<QPushButton>(screen, "Bt_Del")->isEnabled());
        QVERIFY(!screen.close());
        QVERIFY(settled(screen));
        QCOMPARE(fixture.SetsSince(mark), (Sets{{"noError", kAdd + "|4x|00c0ca112233"}}));
        QCOMPARE(rows(screen, "LV_UerMACAddress"), QStringList({"1|00C0CA112233", "2|001B63A4B5C6"}));
        QCOMPARE(child<QLineEdit>(screen, "Ed_MacAdd")->text(), QString());
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Get OK!"));
        QTRY_COMPARE(rows(screen, "LV_ClientUser"), kClients);
        pick(screen, "LV_ClientUser", 2);
        QVERIFY(screentest::SavePicture(screen, "TFM_FilterMACACL"));

        mark = fixture.Mark();
        pick(screen, "LV_UerMACAddress", 1);
        click(screen, "Bt_Del");
        QVERIFY(!screen.AclIdle());
        QCOMPARE(child<QLabel>(screen, "LA_Index")->text(), QString("2")); // the device's row
        QVERIFY(settled(screen));
        QCOMPARE(fixture.SetsSince(mark), (Sets{{"noError", kDelete + "|4x|001b63a4b5c6"}}));
        QCOMPARE(rows(screen, "LV_UerMACAddress"), QStringList({"1|00C0CA112233"}));
        QCOMPARE(fixture.Sim().value(kSlot + "2"), QString("4x|000000000000"));
        QVERIFY(screen.close());
    }

    void refusedTypedAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("too short") << "00C0CA1122" << "Error" << "The length is 12 in MAC Address.";
        QTest::newRow("empty") << "" << "Error" << "The length is 12 in MAC Address.";
        QTest::newRow("no address") << "000000000000" << "Warning" << "Please input a valid MAC Address.";
        QTest::newRow("listed, typed in lower case") << "001b63a4b5c6" << "Warning" << "Reject: The MAC already exists ";
    }
    void refusedTypedAddress()
    {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        QFETCH(QString, message);
        screentest::ScreenFixture fixture({}, {{kMode, "2|2"}, {kSlot + "5", "4x|001b63a4b5c6"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        QVERIFY(settled(screen));
        const int mark = fixture.Mark();
        child<QLineEdit>(screen, "Ed_MacAdd")->setText(typed);
        click(screen, "Btn_Add");
        QCOMPARE(fixture.Dialogs().Boxes(), (Boxes{{title, message}}));
        QVERIFY(screen.AclIdle());
        QTest::qWait(100);
        QCOMPARE(fixture.SetsSince(mark), Sets());
    }

    // A client's address is added without holding the window; one already listed is
    // refused before anything is written.
    void clientAddress()
    {
        screentest::ScreenFixture fixture({}, {{kMode, "2|1"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        QVERIFY(settled(screen));
        QTRY_COMPARE(rows(screen, "LV_ClientUser").size(), 4);
        int mark = fixture.Mark();
        pick(screen, "LV_ClientUser", 2);
        click(screen, "Bt_Add");
        QVERIFY(!child<QPushButton>(screen, "Bt_Add")->isEnabled());
        QVERIFY(screen.AclIdle());
        QTRY_COMPARE(rows(screen, "LV_UerMACAddress"), QStringList({"1|5CF9386D7E8F"}));
        QCOMPARE(fixture.SetsSince(mark), (Sets{{"noError", kAdd + "|4x|5cf9386d7e8f"}}));

        QVERIFY(settled(screen));
        mark = fixture.Mark();
        pick(screen, "LV_ClientUser", 1);
        pick(screen, "LV_ClientUser", 2);
        click(screen, "Bt_Add");
        QCOMPARE(fixture.Dialogs().Boxes(), (Boxes{{"Warning", "The MAC already exists "}}));
        QVERIFY(child<QPushButton>(screen, "Bt_Add")->isEnabled());
        QTest::qWait(100);
        QCOMPARE(fixture.SetsSince(mark), Sets());
    }

    // The device refuses an add (its list is full): the error is shown, the window is
    // released and the list stays as it was.
    void refusedAddReleasesTheWindow()
    {
        simtest::Objects full = {{kMode, "2|1"}};
        for (int slot = 1; slot <= 16; ++slot)
            full[kSlot + QString::number(slot)] = QStringLiteral("4x|00c0ca0000%1").arg(slot, 2, 16, QChar('0'));
        screentest::ScreenFixture fixture({}, full);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        QVERIFY(settled(screen));
        QCOMPARE(rows(screen, "LV_UerMACAddress").size(), 16);
        const int mark = fixture.Mark();
        child<QLineEdit>(screen, "Ed_MacAdd")->setText("3C2EFF4A7B01");
        click(screen, "Btn_Add");
        QVERIFY(settled(screen));
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("(SNMP) Cannot create/set variable, Resource Unavailable!"));
        QCOMPARE(fixture.SetsSince(mark), (Sets{{"resourceUnavailable", kAdd + "|4x|3c2eff4a7b01"}}));
        QVERIFY(child<QPushButton>(screen, "Bt_Apply")->isEnabled());
        QVERIFY(child<QPushButton>(screen, "Bt_Del")->isEnabled());
        QCOMPARE(rows(screen, "LV_UerMACAddress").size(), 16);
        QCOMPARE(child<QLineEdit>(screen, "Ed_MacAdd")->text(), QString("3C2EFF4A7B01"));
    }

    // An address that is not in the device's list as read (a failed read of the full
    // list leaves it empty) is not deleted, and nothing else is written in its place.
    void deleteWithoutMatchWritesNothing()
    {
        screentest::ScreenFixture fixture({}, {{kMode, "2|1"}, {kSlot + "1", "4x|001b63a4b5c6"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        QVERIFY(settled(screen));
        child<QTreeWidget>(screen, "LV_GetMAC")->clear();
        child<QLineEdit>(screen, "Ed_MACAddr")->setText("00C0CA000001");
        const int mark = fixture.Mark();
        pick(screen, "LV_UerMACAddress", 0);
        click(screen, "Bt_Del");
        QVERIFY(screen.AclIdle());
        QTest::qWait(100);
        QCOMPARE(fixture.SetsSince(mark), Sets());
    }

    // Save writes the access-control mode and nothing else.
    void saveWritesOnlyTheMode_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("status");
        QTest::addColumn<Sets>("sets");
        QTest::newRow("accepted") << false << "Save OK!" << Sets{{"noError", kMode + "|2|2"}};
        // With the read community for writes the agent turns every set away unseen.
        QTest::newRow("refused") << true << "Save Fail!" << Sets();
    }
    void saveWritesOnlyTheMode()
    {
        QFETCH(bool, refused);
        QFETCH(QString, status);
        QFETCH(Sets, sets);
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        if (refused)
            GlobalSecurity.writeCommunity = GlobalSecurity.readCommunity;
        TFM_FilterMACACL screen;
        QVERIFY(settled(screen));
        const int mark = fixture.Mark();
        child<QComboBox>(screen, "CB_AccessControl")->setCurrentIndex(1); // "Reject"
        click(screen, "Bt_Apply");
        QCOMPARE(screen.StatusBar()->currentMessage(), status);
        QCOMPARE(fixture.SetsSince(mark), sets);
    }

    // The client trigger fails: reported as a detection time-out, no client is listed,
    // and the access list is read as usual.
    void failedClientTrigger()
    {
        // Late, so that its answer comes while the window is watched; the device answers
        // the list reads only after it.
        screentest::ScreenFixture fixture({"--trigger-fail", "--trigger-delay", "300"});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_FilterMACACL screen;
        QSignalSpy messages(screen.StatusBar(), &QStatusBar::messageChanged);
        QVERIFY(settled(screen));
        QStringList shown;
        for (const QList<QVariant> &m : std::as_const(messages))
            shown << m.value(0).toString();
        QVERIFY2(shown.contains("Detect timed out!(SNMP) Cannot perform operation, General Error!"),
                 qPrintable(shown.join(" / ")));
        QVERIFY(rows(screen, "LV_ClientUser").isEmpty());
        QCOMPARE(rows(screen, "LV_GetMAC").size(), 16);
    }
};

QTEST_MAIN(TestTFMFilterMACACL)
#include "tst_tfm_filtermacacl.moc"
