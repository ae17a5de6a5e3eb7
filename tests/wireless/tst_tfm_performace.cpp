// 'Advanced \ Performance' against the simulated device: the rate list by band and
// wireless mode, what a save sends in each mode and in which order, the checks that stop
// it, the Japan rule, and how failed reads and writes end.
#include "KxScreenFixture.h"
#include "KxSession.h"
#include "TFM_Performace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {

const QString R = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kRadio = R + ".2.1.3.3.1.1.1";
const QString kSec = R + ".2.1.3.3.2.1.1";
const QString kGrouping = R + ".3.2.1.1";
const QString kBand = kRadio + ".34.1", kMode = kRadio + ".28.1", kWifiMode = kRadio + ".16.1";
const QString kRate = kRadio + ".11.1", kWidth = kRadio + ".29.1", kCountry = kRadio + ".39.1";

// The OIDs of a PDU's varbinds, named by their variable.
QStringList names(const QStringList &pdu)
{
    const std::pair<QString, const char *> known[] = {
        {kRadio + ".17.1", "beacon"}, {kRadio + ".18.1", "dtim"},    {kRadio + ".21.1", "power"},
        {kRadio + ".25.1", "wmm"},    {kRadio + ".32.1", "shortgi"}, {kRadio + ".33.1", "igmp"},
        {kRadio + ".23.1", "radio"},  {kRate, "rate"},               {kGrouping + ".1.1", "balance"},
        {kGrouping + ".2.1", "limit"}, {kGrouping + ".3.1", "link"}, {kRadio + ".31.1", "ack"},
        {kGrouping + ".5.1", "utilization"}, {kWifiMode, "mode"},
    };
    QStringList out;
    for (const QString &vb : pdu.mid(1)) {
        const QString oid = vb.section('|', 0, 0);
        QString name = oid;
        for (const auto &[o, n] : known)
            if (o == oid)
                name = QString::fromLatin1(n);
        out << name + "=" + vb.section('|', 2);
    }
    return out;
}

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

struct Screen {
    explicit Screen(simtest::Objects changes = {}) : fixture({}, std::move(changes)) {}
    bool start(bool v1 = false)
    {
        if (!fixture.Start())
            return false;
        if (v1)
            GlobalSecurity.version = 0; // a missing object fails the whole get
        screen = std::make_unique<TFM_Performace>(&fixture.Host());
        screen->show();
        return true;
    }
    template <class T = QWidget>
    T *w(const char *name) const
    {
        return screen->findChild<T *>(QLatin1String(name));
    }
    // "Name=text" types into an edit, "Name#n" picks item n as the user does.
    void act(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const int eq = step.indexOf('='), hash = step.indexOf('#');
            if (eq > 0 && (hash < 0 || eq < hash)) {
                w<QLineEdit>(qPrintable(step.left(eq)))->setText(step.mid(eq + 1));
            } else {
                auto *box = w<QComboBox>(qPrintable(step.left(hash)));
                const int item = step.mid(hash + 1).toInt();
                box->setCurrentIndex(item);
                emit box->activated(item);
            }
        }
    }
    // The SET PDUs of one Apply, each as its status and its named varbinds.
    QList<QStringList> save()
    {
        const int mark = fixture.Mark();
        w<QPushButton>("Bt_Apply_a")->click();
        QList<QStringList> out;
        for (const QStringList &pdu : fixture.SetsSince(mark))
            out << QStringList{pdu.value(0)} + names(pdu);
        return out;
    }
    QString status() const { return screen->StatusBar()->currentMessage(); }

    screentest::ScreenFixture fixture;
    std::unique_ptr<TFM_Performace> screen;
};

const QStringList kEveryMode = {"power=1", "wmm=1", "shortgi", "radio=1", "link=0", "ack=64"};

} // namespace

class TestTFMPerformace : public QObject {
    Q_OBJECT

private slots:
    // The rate list of each band and wireless mode; a fixed rate only in the legacy mode.
    void rateListByBandAndMode_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("rates");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("fixable");
        const QStringList ofdm{"54 Mb", "48 Mb", "36 Mb", "24 Mb", "18 Mb", "12 Mb", "9 Mb", "6 Mb"};
        const QStringList cck{"11 Mb", "5.5 Mb", "2 Mb", "1 Mb"};
        QTest::newRow("2.4 GHz n,g,b") << simtest::Objects{} << QStringList{"Best(up to 300)"} + ofdm + cck
                                       << "Best(up to 300)" << false;
        QTest::newRow("2.4 GHz g,b, device 5.5") << simtest::Objects{{kWifiMode, "2|3"}, {kRate, "4|5.5"}}
                                                 << QStringList{"Best(up to 54)"} + ofdm + cck << "5.5 Mb" << true;
        QTest::newRow("5 GHz a only, device Auto") << simtest::Objects{{kBand, "2|1"}, {kWifiMode, "2|7"}}
                                                   << QStringList{"Best(up to 54)"} + ofdm << "Best(up to 54)" << true;
        QTest::newRow("5 GHz n only") << simtest::Objects{{kBand, "2|1"}, {kWifiMode, "2|8"}}
                                      << QStringList{"Best(up to 300)"} + ofdm << "Best(up to 300)" << false;
        QTest::newRow("rate matching no item") << simtest::Objects{{kWifiMode, "2|3"}, {kRate, "4|7"}}
                                               << QStringList{"Best(up to 54)"} + ofdm + cck << "" << true;
    }
    void rateListByBandAndMode()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(QStringList, rates);
        QFETCH(QString, selected);
        QFETCH(bool, fixable);
        Screen t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.status(), QString("Get OK!"));
        auto *rate = t.w<QComboBox>("CB_DRate");
        QCOMPARE(items(rate), rates);
        QCOMPARE(rate->currentText(), selected);
        QCOMPARE(rate->isEnabled(), fixable);
        QCOMPARE(t.w<QComboBox>("CB_ShortGI")->isEnabled(), !fixable);
    }

    // 5 GHz "802.11a Only": the rate, then the wireless mode; nothing read-only is sent.
    void legacySaveWritesRateThenMode()
    {
        Screen t({{kBand, "2|1"}, {kWifiMode, "2|7"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.w<QLabel>("Lb_AckTimeOut")->text(), QString("Ack Time Out (5GHz, 25~200)"));
        QVERIFY(t.w("CB_WMode2")->isVisible() && !t.w("CB_WMode1")->isVisible());
        QVERIFY(screentest::SavePicture(*t.screen, "TFM_Performace"));
        t.act({"CB_DRate#1", "Ed_AckTimeOut=30"});
        const QList<QStringList> sets = t.save();
        QCOMPARE(sets, (QList<QStringList>{
                           {"noError", "beacon=100", "dtim=1", "power=1", "wmm=1", "shortgi=0", "igmp=0", "radio=1",
                            "rate=54", "balance=0", "link=0", "ack=30"},
                           {"noError", "mode=7"}}));
        QCOMPARE(t.status(), QString("Save OK!"));
    }

    // What each mode sends. The client keeps beacon, DTIM, grouping, rate and mode, and
    // its short GI follows the channel width.
    void writesPerMode_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<QStringList>>("sets");
        const QStringList ap{"beacon=100", "dtim=1", "power=1", "wmm=1", "shortgi=1", "igmp=0", "radio=1"};
        QTest::newRow("AP, no limit")
            << simtest::Objects{} << QStringList{}
            << QList<QStringList>{QStringList{"noError"} + ap + QStringList{"balance=0", "link=0", "ack=64"},
                                  {"noError", "mode=6"}};
        QTest::newRow("AP, limit")
            << simtest::Objects{} << QStringList{"CB_Grouping#1", "Ed_ULimit=20", "CB_NetWork#2"}
            << QList<QStringList>{QStringList{"noError"} + ap
                                      + QStringList{"balance=1", "limit=20", "link=0", "ack=64", "utilization=6"},
                                  {"noError", "mode=6"}};
        // A value no item shows is not written back as 0.
        QTest::newRow("AP, power the list does not know")
            << simtest::Objects{{kRadio + ".21.1", "2|7"}} << QStringList{}
            << QList<QStringList>{{"noError", "beacon=100", "dtim=1", "wmm=1", "shortgi=1", "igmp=0", "radio=1",
                                   "balance=0", "link=0", "ack=64"},
                                  {"noError", "mode=6"}};
        QTest::newRow("WDS") << simtest::Objects{{kMode, "2|3"}} << QStringList{}
                             << QList<QStringList>{QStringList{"noError"} + ap + QStringList{"link=0", "ack=64"},
                                                   {"noError", "mode=6"}};
        QTest::newRow("client, 20/40 MHz")
            << simtest::Objects{{kMode, "2|4"}} << QStringList{"Ed_BeInta=9999", "Ed_DTIMa=", "Ed_ULimit=99"}
            << QList<QStringList>{{"noError", "power=1", "wmm=1", "shortgi=1", "radio=1", "link=0", "ack=64"}};
        QTest::newRow("client, 20 MHz")
            << simtest::Objects{{kMode, "2|4"}, {kWidth, "2|1"}} << QStringList{}
            << QList<QStringList>{{"noError", "power=1", "wmm=1", "shortgi=0", "radio=1", "link=0", "ack=64"}};
    }
    void writesPerMode()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(QStringList, steps);
        QFETCH(QList<QStringList>, sets);
        Screen t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act(steps);
        QCOMPARE(t.save(), sets);
        QCOMPARE(t.status(), QString("Save OK!"));
        QVERIFY(t.fixture.Dialogs().Boxes().isEmpty());
        // A second save sends the same: the marks of the first were put back.
        QCOMPARE(t.save(), sets);
    }

    // Each failed check: its message, the field emptied, nothing written.
    void checksStopTheSave_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        const QString beacon = "Please input a number between 25 and 500.";
        QTest::newRow("beacon empty") << simtest::Objects{} << QStringList{"Ed_BeInta="} << "Ed_BeInta" << beacon;
        QTest::newRow("beacon 501") << simtest::Objects{} << QStringList{"Ed_BeInta=501"} << "Ed_BeInta" << beacon;
        QTest::newRow("beacon not a number") << simtest::Objects{} << QStringList{"Ed_BeInta=ab"} << "Ed_BeInta"
                                             << beacon;
        QTest::newRow("DTIM 16") << simtest::Objects{} << QStringList{"Ed_DTIMa=16"} << "Ed_DTIMa"
                                 << "Please input a number between 1 and 15.";
        QTest::newRow("user limit 65") << simtest::Objects{} << QStringList{"Ed_ULimit=65"} << "Ed_ULimit"
                                       << "The range of 'User Limit' is from 0 to 64";
        QTest::newRow("ACK 47 on 2.4 GHz") << simtest::Objects{} << QStringList{"Ed_AckTimeOut=47"} << "Ed_AckTimeOut"
                                           << "The Ack TimeOut value range is 48~200.";
        QTest::newRow("ACK 24 on 5 GHz") << simtest::Objects{{kBand, "2|1"}, {kWifiMode, "2|9"}}
                                         << QStringList{"Ed_AckTimeOut=24"} << "Ed_AckTimeOut"
                                         << "The Ack TimeOut value range is 25~200.";
        QTest::newRow("ACK 201 in client mode") << simtest::Objects{{kMode, "2|4"}}
                                                << QStringList{"Ed_AckTimeOut=201"} << "Ed_AckTimeOut"
                                                << "The Ack TimeOut value range is 48~200.";
    }
    void checksStopTheSave()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(QStringList, steps);
        QFETCH(QString, field);
        QFETCH(QString, message);
        Screen t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act(steps);
        QVERIFY(t.save().isEmpty());
        QCOMPARE(t.fixture.Dialogs().Boxes(), (QList<QPair<QString, QString>>{{"Error", message}}));
        QCOMPARE(t.w<QLineEdit>(qPrintable(field))->text(), QString());
    }

    // The first item lets the device choose: it is sent as the device's "Auto", and the
    // next refresh selects it again. A device rate that no item shows is left alone.
    void rateItemsThatAreNoNumber()
    {
        Screen t({{kWifiMode, "2|3"}, {kRate, "4|54"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act({"CB_DRate#0"});
        QVERIFY(t.save().value(0).contains("rate=Auto"));
        QCOMPARE(t.fixture.Sim().value(kRate), "4x|" + simtest::hexOf("Auto"));
        t.w<QPushButton>("Bt_Refresh_a")->click();
        QCOMPARE(t.w<QComboBox>("CB_DRate")->currentIndex(), 0);

        Screen odd({{kWifiMode, "2|3"}, {kRate, "4|7"}});
        QVERIFY2(odd.start(), qPrintable(odd.fixture.Error()));
        const QList<QStringList> sets = odd.save();
        QCOMPARE(sets.size(), 2);
        QVERIFY(!sets[0].join(' ').contains("rate="));
        QCOMPARE(odd.fixture.Sim().value(kRate), "4x|" + simtest::hexOf("7"));
        QCOMPARE(odd.status(), QString("Save OK!"));
    }

    // The wireless mode's write counts: refused (the band changed meanwhile), the save failed.
    void refusedModeWriteFailsTheSave()
    {
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.fixture.Sim().set({kBand, "i", "1"}).exitCode, 0);
        const QList<QStringList> sets = t.save();
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0].value(0), QString("noError"));
        QCOMPARE(sets[1], (QStringList{"inconsistentValue", "mode=6"}));
        QCOMPARE(t.status(), QString("Set Error!"));
        QVERIFY(t.screen->isEnabled()); // the wait window went
    }

    // A failed read leaves its error in the status line and Apply off.
    void failedReadWritesNothing()
    {
        Screen t({{kGrouping + ".5.1", ""}});
        QVERIFY2(t.start(true), qPrintable(t.fixture.Error()));
        QVERIFY(!t.w<QPushButton>("Bt_Apply_a")->isEnabled());
        QVERIFY(t.status() != "Get OK!");
        const int mark = t.fixture.Mark();
        t.screen->Bt_Apply_aClick();
        QVERIFY(t.fixture.SetsSince(mark).isEmpty());
    }

    // Japan with TKIP or WEP: no "802.11n Only" in either list; the device's mode stays.
    void japanWithOldCiphers_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<bool>("cut");
        const simtest::Objects jp5{{kCountry, "4|JP"}, {kBand, "2|1"}, {kWifiMode, "2|7"}};
        auto with = [](simtest::Objects o, const simtest::Objects &more) {
            o.insert(more);
            return o;
        };
        QTest::newRow("JP, WPA2 TKIP") << with(jp5, {{kSec + ".1.1", "2|6"}, {kSec + ".5.1", "2|3"}}) << true;
        QTest::newRow("JP, WEP") << with(jp5, {{kSec + ".1.1", "2|1"}, {kSec + ".2.1", "2|1"}}) << true;
        QTest::newRow("JP, WPA2 AES") << with(jp5, {{kSec + ".1.1", "2|6"}, {kSec + ".5.1", "2|2"}}) << false;
        QTest::newRow("US, TKIP") << with(jp5, {{kCountry, "4|US"}, {kSec + ".1.1", "2|6"}, {kSec + ".5.1", "2|3"}})
                                  << false;
    }
    void japanWithOldCiphers()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(bool, cut);
        Screen t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        for (const char *name : {"CB_WMode1", "CB_WMode2"})
            QCOMPARE(items(t.w<QComboBox>(name)).contains("802.11n Only"), !cut);
        QCOMPARE(t.w<QComboBox>("CB_WMode2")->currentText(), QString("802.11a Only"));
    }
};

QTEST_MAIN(TestTFMPerformace)
#include "tst_tfm_performace.moc"
