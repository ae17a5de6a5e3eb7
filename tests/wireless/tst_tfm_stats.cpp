// The Ethernet and WLAN counter windows against the simulated device, whose counters are
// Counter32 values that grow with every read: what is shown is what the device sent,
// unsigned, and a clear is reported as the device answered it.
#include "KxScreenFixture.h"
#include "KxSession.h"
#include "TFM_StatWLAN.h"
#include "TFM_Static.h"
#include "TMainForm.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {

const QString kDot3 = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.5.2.1.1.1.1.");
const QString kDot11 = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.5.2.2.1.1.1.");

// Each edit box and the column of the counter it shows.
struct Shown {
    const char *edit;
    int column;
};
const QList<Shown> kEthernet = {
    {"Ed_TranPCount", 1},  {"Edt_TransBCount", 2},  {"Edt_DropPCount", 3},   {"Edt_RecPacCount", 4},
    {"Edt_RecByCount", 5}, {"Edt_DropPacCount", 6}, {"Edt_RecMulPC", 7},     {"Edt_RecBroPC", 8},
    {"Edt_Len64PC", 9},    {"Edt_Len65PC", 10},     {"Edt_Len128PC", 11},    {"Edt_Len256PC", 12},
    {"Edt_Len512PC", 13},  {"Edt_Len1024PC", 14},   {"Edt_Len1519PC", 15},
};
const QList<Shown> kWlan = {
    {"Ed_TranPCount", 21},     {"Edt_TransBCount", 22},    {"Edt_DropPCount", 23},     {"Ed_TranReCount", 24},
    {"Edt_RecPacCount", 27},   {"Edt_RecByCount", 28},     {"Edt_DropPacCount", 29},   {"Edt_RecCRCCount", 30},
    {"Edt_RecDecErrCount", 31}, {"Edt_RecMICErrCount", 32}, {"Edt_RecPHYErrCount", 33},
};

// One of the two windows, as a test row names it.
struct Window {
    bool ethernet;
    QString group() const { return ethernet ? kDot3 : kDot11; }
    const QList<Shown> &shown() const { return ethernet ? kEthernet : kWlan; }
    QString clear() const { return group() + (ethernet ? "16.1" : "34.1"); }
    QString oid(const Shown &s) const { return group() + QString::number(s.column) + ".1"; }
    std::unique_ptr<KxCounterScreen> open() const
    {
        if (ethernet)
            return std::make_unique<TFM_Static>();
        return std::make_unique<TFM_StatWLAN>();
    }
    QString text(const char *ethernetText, const char *wlanText) const
    {
        return QLatin1String(ethernet ? ethernetText : wlanText);
    }
};

QStringList shownValues(QWidget &screen, const Window &w)
{
    QStringList out;
    for (const Shown &s : w.shown())
        out << screen.findChild<QLineEdit *>(s.edit)->text();
    return out;
}

QString status(QWidget &screen)
{
    return screen.findChild<QStatusBar *>("StatusBar")->currentMessage();
}

// The count the device reports now (a read: it grows the counter).
QString deviceCount(simtest::Simulator &sim, const QString &oid)
{
    const QString value = sim.value(oid);
    return value.startsWith("65|") ? value.mid(3) : value;
}

void click(QWidget &screen, const char *button)
{
    screen.findChild<QPushButton *>(button)->click();
}

void addWindows()
{
    QTest::addColumn<bool>("ethernet");
    QTest::newRow("Ethernet") << true;
    QTest::newRow("WLAN") << false;
}

} // namespace

class TestTFMStats : public QObject {
    Q_OBJECT

private slots:
    void menuOpensBothWindows()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        TMainForm form;
        QStringList opened;
        fixture.Dialogs().ModalHandler = [&](QDialog *window) {
            opened << window->objectName() + " " + window->windowTitle() + "|" + status(*window);
            return 0;
        };
        for (const char *entry : {"Ethernet", "WLAN"})
            form.findChild<QAction *>(entry)->trigger();
        QCOMPARE(opened, QStringList({"FM_Static Status \\ Stats \\ Ethernet|Ethernet Info Get OK!",
                                      "FM_StatWLAN Status \\ Stats \\ WLAN |Wlan Info Get OK!"}));
    }

    // The first read shows the data file's counts, those above 2^31 unsigned; a refresh
    // shows the grown counts, and the device's next read has grown by the same traffic.
    void countersAsTheDeviceSendsThem_data() { addWindows(); }
    void countersAsTheDeviceSendsThem()
    {
        QFETCH(bool, ethernet);
        const Window w{ethernet};
        const simtest::Objects factory = simtest::readDataFile(simtest::factoryDataPath());
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        auto screen = w.open();
        QCOMPARE(status(*screen), w.text("Ethernet Info Get OK!", "Wlan Info Get OK!"));
        QStringList expected;
        for (const Shown &s : w.shown())
            expected << factory.value(w.oid(s)).section('|', 1);
        QCOMPARE(shownValues(*screen, w), expected);
        QCOMPARE(screen->findChild<QLineEdit *>("Edt_TransBCount")->text(),
                 w.text("3012458760", "2150000123"));
        QVERIFY(screentest::SavePicture(*screen, screen->metaObject()->className()));

        const QStringList first = shownValues(*screen, w);
        click(*screen, "Bt_Refresh");
        QCOMPARE(status(*screen), w.text("Refresh Ethernet Info OK!", "Refresh Wlan Info OK!"));
        const QStringList second = shownValues(*screen, w);
        QVERIFY(second[0].toULongLong() > first[0].toULongLong());
        for (int i = 0; i < w.shown().size(); ++i) {
            const quint64 step = second[i].toULongLong() - first[i].toULongLong();
            QCOMPARE(deviceCount(fixture.Sim(), w.oid(w.shown()[i])), QString::number(second[i].toULongLong() + step));
        }
    }

    // An accepted clear zeroes the counters, which are read again; a refused one is
    // reported with the layer's text and leaves the counters shown as they were.
    void clear_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<bool>("refused");
        QTest::newRow("Ethernet accepted") << true << false;
        QTest::newRow("Ethernet refused") << true << true;
        QTest::newRow("WLAN accepted") << false << false;
        QTest::newRow("WLAN refused") << false << true;
    }
    void clear()
    {
        QFETCH(bool, ethernet);
        QFETCH(bool, refused);
        const Window w{ethernet};
        // A device without the clear object refuses it (noSuchName to SNMPv2c: noCreation).
        screentest::ScreenFixture fixture({}, refused ? simtest::Objects{{w.clear(), ""}} : simtest::Objects{});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        auto screen = w.open();
        const QStringList before = shownValues(*screen, w);
        const int mark = fixture.Mark();
        click(*screen, "Bt_Clear");
        const QList<QStringList> sets = fixture.SetsSince(mark);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0].value(1), w.clear() + "|2|1");
        if (refused) {
            QCOMPARE(sets[0].value(0), QString("noCreation"));
            QVERIFY2(status(*screen).startsWith("Set:") && status(*screen).contains("(SNMP)"),
                     qPrintable(status(*screen)));
            QCOMPARE(shownValues(*screen, w), before);
            return;
        }
        QCOMPARE(status(*screen), w.text("Clear Ethernet Info is OK!", "Clear Wlan Info is OK!"));
        QCOMPARE(shownValues(*screen, w), QStringList(w.shown().size(), "0"));
        QCOMPARE(fixture.Sim().value(w.clear()), QString("2|0")); // a command reads back idle
    }

    // A device that cannot give every counter (an SNMPv1 read fails as a whole): the
    // error texts, and a clear that is accepted but whose counters cannot be read again
    // does not say that all went well.
    void unreadableCounters_data() { addWindows(); }
    void unreadableCounters()
    {
        QFETCH(bool, ethernet);
        const Window w{ethernet};
        screentest::ScreenFixture fixture({}, {{w.oid(w.shown().last()), ""}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        GlobalSecurity.version = 0;
        auto screen = w.open();
        QCOMPARE(status(*screen), w.text("Ethernet Info Get Error!", "Wlan Info Get Error!"));
        click(*screen, "Bt_Refresh");
        QCOMPARE(status(*screen), w.text("Refresh Ethernet Info Error!", "Refresh Wlan Info Error!"));
        const int mark = fixture.Mark();
        click(*screen, "Bt_Clear");
        QCOMPARE(fixture.SetsSince(mark), QList<QStringList>{QStringList({"noError", w.clear() + "|2|1"})});
        QCOMPARE(status(*screen), w.text("Refresh Ethernet Info Error!", "Refresh Wlan Info Error!"));
    }

    // The clear objects take 1 only.
    void clearTakesOnlyOne_data() { addWindows(); }
    void clearTakesOnlyOne()
    {
        QFETCH(bool, ethernet);
        const Window w{ethernet};
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        const QString counter = w.oid(w.shown()[0]);
        for (const char *value : {"0", "2"}) {
            const simtest::RunResult r = fixture.Sim().set({w.clear(), "i", value});
            QVERIFY2(r.exitCode != 0 && r.all().contains("wrongValue"), qPrintable(r.all()));
        }
        QVERIFY(deviceCount(fixture.Sim(), counter) != "0");
        QCOMPARE(fixture.Sim().set({w.clear(), "i", "1"}).exitCode, 0);
        QCOMPARE(deviceCount(fixture.Sim(), counter), QString("0"));
    }
};

QTEST_MAIN(TestTFMStats)
#include "tst_tfm_stats.moc"
