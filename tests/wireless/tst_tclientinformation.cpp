// 'Status \ Client Info' against the simulated device: the trigger, then the walk of the
// client table it filled; the failure paths with a device whose trigger fails late.
#include "KxScreenFixture.h"
#include "TClientInformation.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kTrigger = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.4.1.1.1.1");
const QString kClientMacs = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.4.2.1.2");

// The visible list, one "cell|cell|..." line per row.
QStringList rows(TClientInformation &screen)
{
    QStringList out;
    auto *list = screen.findChild<QTreeWidget *>("User_ListView");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

QString text(TClientInformation &screen, const char *label)
{
    return screen.findChild<QLabel *>(label)->text();
}

// The clients the simulator's radio finds: slots 1, 2, 4 and 5 (slot 3 is empty).
const QStringList kListed = {
    "1|rwn3460|3C2EFF4A7B01|N|WPA2-PSK|72|Off",
    "2|rwn3460|001B63A4B5C6|G|OPEN|48|On",
    "3|guest|5CF9386D7E8F|B|wpa-auto-psk|35|Off",
    "4|office|F0D5BF102030|N|dot1x|60|Off",
};

} // namespace

class TestTClientInformation : public QObject {
    Q_OBJECT

private slots:
    void listsTheClientsTheTriggerGathered()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        // Nothing is gathered before the trigger: every slot of the table is empty.
        QCOMPARE(fixture.Sim().value(kClientMacs + ".1"), QString("4x|000000000000"));
        const int mark = fixture.Mark();
        TClientInformation *reference = nullptr;
        fixture.Open<TClientInformation>(reference, [&](TClientInformation &screen) {
            QCOMPARE(reference, &screen);
            screen.show();
            QCOMPARE(screen.windowTitle(), QString("Status \\ Client Info"));
            QCOMPARE(text(screen, "Lb_Band"), QString("2.4GHZ"));
            QTRY_VERIFY(!screen.Detecting());
            QCOMPARE(screen.StatusBar()->currentMessage(), QString("(KxSNMP++) Ok!"));
            QCOMPARE(rows(screen), kListed);
            QCOMPARE(text(screen, "NumOfRecord"), QString("4"));
            // Everything the table holds was read, the empty slots too, and shown hidden.
            QCOMPARE(screen.findChild<QTreeWidget *>("ClientListView")->topLevelItemCount(), 8);
            QVERIFY(screen.findChild<QTreeWidget *>("User_ListView")->isColumnHidden(0));
            QVERIFY(screentest::SavePicture(screen, "TClientInformation"));
            screen.findChild<QPushButton *>("Bt_Close")->click();
            QVERIFY(!screen.isVisible());
        });
        QCOMPARE(reference, nullptr);
        QCOMPARE(fixture.SetsSince(mark), (QList<QStringList>{{"noError", kTrigger + "|2|1"}}));
    }

    void fiveGigahertzBand()
    {
        screentest::ScreenFixture fixture({}, {{"1.3.6.1.4.1.32473.2.5.9.2.1.3.3.1.1.1.34.1", "2|1"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TClientInformation screen;
        QCOMPARE(text(screen, "Lb_Band"), QString("5GHZ"));
        QTRY_VERIFY(!screen.Detecting());
    }

    // Refresh writes the trigger again and walks the table only once it has completed:
    // the list is emptied at once, and the window is held until the one walk has ended,
    // with the list it ends with.
    void refreshWalksOnlyAfterTheTrigger()
    {
        screentest::ScreenFixture fixture({"--trigger-delay", "600"});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TClientInformation screen;
        screen.show();
        QTRY_VERIFY_WITH_TIMEOUT(!screen.Detecting(), 10000);
        QCOMPARE(rows(screen), kListed);
        const int mark = fixture.Mark();
        auto *refresh = screen.findChild<QPushButton *>("Bt_Rfrsh");
        refresh->click();
        QVERIFY(screen.Detecting());
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("Detect Client Info..."));
        QVERIFY(rows(screen).isEmpty());
        QVERIFY(!refresh->isEnabled()); // one cycle at a time
        refresh->click();
        QTRY_VERIFY_WITH_TIMEOUT(!screen.Detecting(), 10000);
        QCOMPARE(rows(screen), kListed);
        QCOMPARE(text(screen, "NumOfRecord"), QString("4"));
        QTest::qWait(300); // no second walk still on its way
        QCOMPARE(rows(screen), kListed);
        QCOMPARE(screen.StatusBar()->currentMessage(), QString("(KxSNMP++) Ok!"));
        QCOMPARE(fixture.SetsSince(mark), (QList<QStringList>{{"noError", kTrigger + "|2|1"}}));
        QVERIFY(refresh->isEnabled());
    }

    // The trigger fails, late: until its answer the window cannot be closed, by the
    // button, the close box or Escape; then the failure is shown and nothing is walked.
    void failedTriggerHoldsTheWindowUntilItsAnswer()
    {
        screentest::ScreenFixture fixture({"--trigger-fail", "--trigger-delay", "800"});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TClientInformation screen;
        screen.show();
        QTest::qWait(200);
        QVERIFY(screen.Detecting());
        screen.findChild<QPushButton *>("Bt_Close")->click();
        QVERIFY(screen.isVisible());
        QVERIFY(!screen.close());
        QTest::keyClick(&screen, Qt::Key_Escape);
        QVERIFY(screen.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!screen.Detecting(), 10000);
        QCOMPARE(screen.StatusBar()->currentMessage(),
                 QString("Detect timed out!(SNMP) Cannot perform operation, General Error!"));
        QCOMPARE(text(screen, "NumOfRecord"), QString("0"));
        QCOMPARE(screen.findChild<QTreeWidget *>("ClientListView")->topLevelItemCount(), 0);
        QVERIFY(screen.findChild<QPushButton *>("Bt_Rfrsh")->isEnabled());
        QVERIFY(screen.close());
    }
};

QTEST_MAIN(TestTClientInformation)
#include "tst_tclientinformation.moc"
