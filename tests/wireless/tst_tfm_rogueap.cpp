// 'Advanced \ Wireless Intrusion Protection' against the simulated device: the scan end
// to end, reclassifying checked entries by their BSSID, the rules for new access points,
// the filter across a rescan, and how refused writes are reported.
#include "KxScreenFixture.h"
#include "TFM_RogueAP.h"
#include "TFM_Waiting.h"

#include <QApplication>
#include <QLabel>

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kRogue = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.3.4.4");
const QString kScan = kRogue + ".1.0|2|1";
const QString kMac = QStringLiteral("001B2C6070");

QString toClass(int object, int index)
{
    return kRogue + "." + QString::number(object) + ".0|2|" + QString::number(index);
}

struct Screen {
    explicit Screen(simtest::Objects changes = {}) : fixture({}, std::move(changes)) {}
    bool start()
    {
        if (!fixture.Start())
            return false;
        screen = std::make_unique<TFM_RogueAP>(&fixture.Host());
        screen->show();
        return true;
    }
    template <class T = QWidget>
    T *w(const char *name) const
    {
        return screen->findChild<T *>(QLatin1String(name));
    }
    bool idle()
    {
        for (int i = 0; i < 250 && screen->Busy(); ++i)
            QTest::qWait(20);
        return !screen->Busy();
    }
    bool detect()
    {
        w<QPushButton>("Bt_Detect")->click();
        return idle();
    }
    // The line the wait window shows while the window is busy; empty when none is shown.
    static QString waitLine()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *notice = qobject_cast<TFM_Waiting *>(top); notice && notice->isVisible())
                return notice->Line("Label3")->text();
        return {};
    }
    QTreeWidget *list() const { return w<QTreeWidget>("AP_UserListView"); }
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < 7; ++c)
                cells << list()->topLevelItem(i)->text(c);
            out << cells.join('|');
        }
        return out;
    }
    // Checks the shown rows of these BSSIDs (their last octet).
    void check(const QStringList &lasts)
    {
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            if (lasts.contains(list()->topLevelItem(i)->text(4).right(2)))
                list()->topLevelItem(i)->setCheckState(0, Qt::Checked);
    }
    void filter(int item)
    {
        auto *box = w<QComboBox>("CB_OperatorType");
        box->setCurrentIndex(item);
        emit box->activated(item);
    }
    QStringList typesShown() const
    {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            out << list()->topLevelItem(i)->text(3) + ":" + list()->topLevelItem(i)->text(0);
        return out;
    }
    QString status() const { return screen->StatusBar()->currentMessage(); }

    screentest::ScreenFixture fixture;
    std::unique_ptr<TFM_RogueAP> screen;
};

} // namespace

class TestTFMRogueAP : public QObject {
    Q_OBJECT

private slots:
    // Nothing is scanned until Detect; then every access point heard, as the device
    // classes it, in table order.
    void scanEndToEnd()
    {
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.list()->topLevelItemCount(), 0);
        QVERIFY(!t.w("CheckBox_SelectAll")->isEnabled());
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Detect")->click();
        QCOMPARE(Screen::waitLine(), QString("The device is scanning."));
        QVERIFY(!t.screen->isEnabled());
        QVERIFY(t.idle());
        QCOMPARE(Screen::waitLine(), QString());
        QCOMPARE(t.status(), QString("Get OK!"));
        QCOMPARE(t.rows(), QStringList({
                               "new|A|44|printer-ap|" + kMac + "06|2026/12/11 09:10:33|up",
                               "new|G|1|office-net|" + kMac + "01|2026/12/11 09:14:02|up",
                               "valid|B|6|guest|" + kMac + "02|2026/12/11 09:13:40|up",
                               "neighborhood|N|11|lab|" + kMac + "03|2026/12/11 08:55:17|down",
                               "rogue|A|36|warehouse-5g|" + kMac + "04|2026/12/11 09:14:05|up",
                               "new|N|149|free-wifi|" + kMac + "05|2026/12/11 09:02:51|down",
                           }));
        QVERIFY(t.w("CheckBox_SelectAll")->isEnabled());
        QVERIFY(t.screen->isEnabled());
        QCOMPARE(t.fixture.SetsSince(mark), (QList<QStringList>{{"noError", kScan}}));
        QVERIFY(screentest::SavePicture(*t.screen, "TFM_RogueAP"));
    }

    // Rows found by BSSID, not by their place in the filtered list; after the rescan the
    // list keeps the filter, and the entry heard only once is gone.
    void setAsRogueByBssidKeepsTheFilter()
    {
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(t.detect());
        t.filter(4); // "New"
        QCOMPARE(t.typesShown(), QStringList({"printer-ap:new", "office-net:new", "free-wifi:new"}));
        t.check({"06", "05"});
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_SetRogue")->click();
        QCOMPARE(Screen::waitLine(), QString("The settings are saving and taking effect."));
        QVERIFY(t.idle());
        QCOMPARE(t.fixture.SetsSince(mark),
                 (QList<QStringList>{{"noError", toClass(7, 1)}, {"noError", toClass(7, 6)}, {"noError", kScan}}));
        QCOMPARE(t.w<QComboBox>("CB_OperatorType")->currentText(), QString("New"));
        QCOMPARE(t.typesShown(), QStringList({"office-net:new"}));
        t.filter(3); // "Rogue"
        QCOMPARE(t.typesShown(), QStringList({"warehouse-5g:rogue", "free-wifi:rogue"}));
        QCOMPARE(t.status(), QString("Get OK!"));
    }

    // Apply: the checked entries to "new" (each index), then the selected rule alone;
    // a second Apply sends the rule selected then, not both.
    void applyMovesToNewThenTheRule()
    {
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(t.detect());
        t.w<QRadioButton>("RB_MarkAllRogue")->click();
        t.check({"02", "03"});
        int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QVERIFY(t.idle());
        QCOMPARE(t.fixture.SetsSince(mark), (QList<QStringList>{{"noError", toClass(8, 3)},
                                                                 {"noError", toClass(8, 4)},
                                                                 {"noError", toClass(10, 1)},
                                                                 {"noError", kScan}}));
        QCOMPARE(t.typesShown(), QStringList({"office-net:rogue", "guest:rogue", "lab:rogue", "warehouse-5g:rogue",
                                              "free-wifi:rogue"}));
        t.check({"01"});
        mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QVERIFY(t.idle());
        QCOMPARE(t.fixture.SetsSince(mark),
                 (QList<QStringList>{{"noError", toClass(8, 1)}, {"noError", toClass(10, 1)}, {"noError", kScan}}));
    }

    // An entry the device no longer holds at that index is refused: reported, not "Get OK!".
    void refusedClassWriteIsReported()
    {
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(t.detect());
        QCOMPARE(t.fixture.Sim().set({kRogue + ".1.0", "i", "1"}).exitCode, 0); // another manager rescans
        t.check({"05"});
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_SetValid")->click();
        QVERIFY(t.idle());
        QCOMPARE(t.fixture.SetsSince(mark),
                 (QList<QStringList>{{"inconsistentValue", toClass(5, 6)}, {"noError", kScan}}));
        QCOMPARE(t.status(), QString("Set Error!"));
    }

    // A refused rule: "Set Error!" and no scan.
    void refusedRuleStartsNoScan()
    {
        Screen t({{kRogue + ".9.0", ""}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(t.detect());
        t.check({"01"});
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QVERIFY(t.idle());
        const QList<QStringList> sets = t.fixture.SetsSince(mark);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[1].value(0), QString("noCreation"));
        QCOMPARE(t.status(), QString("Set Error!"));
        QVERIFY(t.screen->isEnabled());
    }

    void nothingCheckedWritesNothing_data()
    {
        QTest::addColumn<QString>("button");
        for (const char *b : {"Bt_SetValid", "Bt_SetNeighbor", "Bt_SetRogue", "Bt_SetNew", "Bt_Apply"})
            QTest::newRow(b) << QString::fromLatin1(b);
    }
    void nothingCheckedWritesNothing()
    {
        QFETCH(QString, button);
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(t.detect());
        const int mark = t.fixture.Mark();
        t.w<QPushButton>(qPrintable(button))->click();
        QVERIFY(t.fixture.SetsSince(mark).isEmpty());
        QCOMPARE(t.fixture.Dialogs().Boxes(), (QList<QPair<QString, QString>>{{"Waring", "No entry click!"}}));
    }

    void filterEnablesTheRules_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("All") << 0 << true;
        QTest::newRow("Valid") << 1 << false;
        QTest::newRow("Neighborhood") << 2 << false;
        QTest::newRow("Rogue") << 3 << false;
        QTest::newRow("New") << 4 << true;
    }
    void filterEnablesTheRules()
    {
        QFETCH(int, item);
        QFETCH(bool, enabled);
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.filter(item);
        QCOMPARE(t.w("RB_MarkAllValid")->isEnabled(), enabled);
        QCOMPARE(t.w("RB_MarkAllRogue")->isEnabled(), enabled);
    }
};

QTEST_MAIN(TestTFMRogueAP)
#include "tst_tfm_rogueap.moc"
