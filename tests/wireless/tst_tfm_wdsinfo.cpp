// 'Status \ WDS Information' against the simulated device: the trigger, then the walk of
// the WDS table, and how each peer is shown.
#include "KxScreenFixture.h"
#include "TFM_WDSInfo.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kWireless = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3");
const QString kTrigger = kWireless + ".5.1.1.1.1";
const QString kWds = kWireless + ".5.2.1";
const QString kEncryption = kWireless + ".2.1.1.2.1";

// The visible list, one line per row holding only the cells the row has.
QStringList rows(TFM_WDSInfo &screen)
{
    QStringList out;
    auto *list = screen.findChild<QTreeWidget *>("WDS_ClientListView");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->topLevelItem(i)->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

QString status(TFM_WDSInfo &screen)
{
    return screen.findChild<QStatusBar *>("StatusBar1")->currentMessage();
}

} // namespace

class TestTFMWDSInfo : public QObject {
    Q_OBJECT

private slots:
    // The simulator's peers: one up, one down with no signal, two slots without a peer.
    void listsThePeersTheTriggerGathered()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        const int mark = fixture.Mark();
        TFM_WDSInfo *reference = nullptr;
        fixture.Open<TFM_WDSInfo>(reference, [&](TFM_WDSInfo &screen) {
            QCOMPARE(reference, &screen);
            screen.show();
            QCOMPARE(screen.windowTitle(), QString("Status \\ WDS Information"));
            QCOMPARE(screen.findChild<QLabel *>("Lb_Channel")->text(), QString("6"));
            QCOMPARE(screen.findChild<QLabel *>("Lb_Band")->text(), QString("2.437"));
            QTRY_COMPARE(status(screen), QString("OK"));
            QCOMPARE(rows(screen), QStringList({"WDS1|00C0CA4A3C10|None|57%|On", "WDS2|00C0CA4A3D20|wpa2-psk||Off",
                                                "WDS3||None||Off", "WDS4||None||Off"}));
            QVERIFY(screentest::SavePicture(screen, "TFM_WDSInfo"));
            screen.findChild<QPushButton *>("Btn_Close")->click();
            QVERIFY(!screen.isVisible());
        });
        QCOMPARE(fixture.SetsSince(mark), (QList<QStringList>{{"noError", kTrigger + "|2|1"}}));
    }

    // With encryption on, an open peer is named as it is; 802.1x is always "None"; a
    // status other than "on" or "off" leaves its cell out.
    void securityAndStatusTexts()
    {
        QTemporaryDir dir;
        QFile gathered(dir.filePath("gathered.snmprec"));
        QVERIFY(gathered.open(QIODevice::WriteOnly));
        const QString slot1 = ".1.1|", slot2 = ".1.2|";
        gathered.write(QStringList{kWds + ".2" + slot1 + "4x|00c0ca4a3c10", kWds + ".4" + slot1 + "2|1",
                                   kWds + ".5" + slot1 + "2|12", kWds + ".7" + slot1 + "4|north",
                                   kWds + ".9" + slot1 + "4|on", kWds + ".2" + slot2 + "4x|00c0ca4a3d20",
                                   kWds + ".4" + slot2 + "2|10", kWds + ".5" + slot2 + "2|100",
                                   kWds + ".7" + slot2 + "4|south", kWds + ".9" + slot2 + "4|scanning"}
                          .join('\n')
                          .toUtf8());
        gathered.close();
        screentest::ScreenFixture fixture({"--gathered", gathered.fileName()}, {{kEncryption, "2|1"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_WDSInfo screen;
        QTRY_COMPARE(status(screen), QString("OK"));
        QCOMPARE(rows(screen), QStringList({"north|00C0CA4A3C10|opensystem|12%|On", "south|00C0CA4A3D20|None|100%",
                                            "||opensystem|", "||opensystem|"}));
    }

    // Refresh keeps the list until the new one is read.
    void refreshKeepsTheListUntilTheWalk()
    {
        screentest::ScreenFixture fixture({"--trigger-delay", "500"});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_WDSInfo screen;
        QTRY_COMPARE_WITH_TIMEOUT(status(screen), QString("OK"), 10000);
        const QStringList before = rows(screen);
        QCOMPARE(before.size(), 4);
        const int mark = fixture.Mark();
        auto *refresh = screen.findChild<QPushButton *>("Btn_Refresh");
        refresh->click();
        QCOMPARE(status(screen), QString("Refresh WDS Info..."));
        QCOMPARE(rows(screen), before);
        QVERIFY(!refresh->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(status(screen), QString("OK"), 10000);
        QCOMPARE(rows(screen), before);
        QVERIFY(refresh->isEnabled());
        QCOMPARE(fixture.SetsSince(mark), (QList<QStringList>{{"noError", kTrigger + "|2|1"}}));
    }

    // A failed trigger is reported and nothing is walked; the window closes at any time.
    void failedTrigger()
    {
        screentest::ScreenFixture fixture({"--trigger-fail", "--trigger-delay", "500"});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TFM_WDSInfo screen;
        screen.show();
        QVERIFY(screen.close());
        QTRY_COMPARE_WITH_TIMEOUT(status(screen),
                                  QString("Get timed out!(SNMP) Cannot perform operation, General Error!"), 10000);
        QVERIFY(rows(screen).isEmpty());
        QCOMPARE(screen.findChild<QTreeWidget *>("WDS_ListView")->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestTFMWDSInfo)
#include "tst_tfm_wdsinfo.moc"
