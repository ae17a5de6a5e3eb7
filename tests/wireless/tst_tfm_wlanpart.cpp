// 'Advanced \ WLAN Partition' against the simulated device: what each mode and the
// multi-SSID switch let the user change, the writes of an Apply and how the device's
// answer to the apply trigger is reported.
#include "KxRadioGroup.h"
#include "KxScreenFixture.h"
#include "KxSession.h"
#include "TFM_WLANPart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {

const QString R = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kPartition = R + ".2.1.3.3.2.3.1.1";
const QString kLink = R + ".3.2.1.1.3.1";
const QString kMode = R + ".2.1.3.3.1.1.1.28.1";
const QString kMssid = R + ".3.3.1.1.1.1";
const QString kApply = R + ".4.2.3.0";

// The partition objects in the order the screen writes them.
QStringList partitionOids()
{
    QStringList oids{kPartition + ".2.1"};
    for (int column = 4; column <= 11; ++column)
        oids << kPartition + "." + QString::number(column) + ".1";
    return oids << kLink;
}

struct Screen {
    explicit Screen(simtest::Objects changes = {}) : fixture({}, std::move(changes)) {}
    bool start(bool v1 = false)
    {
        if (!fixture.Start())
            return false;
        if (v1)
            GlobalSecurity.version = 0; // a missing object fails the whole get
        screen = std::make_unique<TFM_WLANPart>(&fixture.Host());
        screen->show();
        return true;
    }
    KxRadioGroup *group(int n) const
    {
        return screen->findChild<KxRadioGroup *>(QStringLiteral("RadioGroup%1").arg(n));
    }
    template <class T = QWidget>
    T *w(const char *name) const
    {
        return screen->findChild<T *>(QLatin1String(name));
    }
    // Which of the page's controls can be changed, by name.
    QStringList enabled() const
    {
        QStringList out;
        for (const char *name : {"CB_WBand", "CB_WLANAccess", "Cbox_LinkInte", "Btn_Apply"})
            if (w(name)->isEnabled())
                out << name;
        for (int n = 1; n <= 8; ++n)
            if (group(n)->isEnabled())
                out << QStringLiteral("RadioGroup%1").arg(n);
        return out;
    }
    QString status() const { return screen->StatusBar()->currentMessage(); }

    screentest::ScreenFixture fixture;
    std::unique_ptr<TFM_WLANPart> screen;
};

QStringList groups(int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out << QStringLiteral("RadioGroup%1").arg(n);
    return out;
}

} // namespace

class TestTFMWLANPart : public QObject {
    Q_OBJECT

private slots:
    void enablingByModeAndMultiSsid_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("enabled");
        const QStringList top{"CB_WLANAccess", "Cbox_LinkInte", "Btn_Apply"};
        QTest::newRow("access point, multi-SSID on") << simtest::Objects{{kMssid, "2|1"}} << top + groups(1, 8);
        QTest::newRow("access point, multi-SSID off") << simtest::Objects{{kMssid, "2|0"}} << top + groups(1, 1);
        QTest::newRow("WDS, multi-SSID off") << simtest::Objects{{kMode, "2|3"}} << top + groups(1, 1);
        // Nothing can be changed; Apply still writes the values as read.
        QTest::newRow("wireless client, multi-SSID on")
            << simtest::Objects{{kMode, "2|4"}, {kMssid, "2|1"}} << QStringList{"Btn_Apply"};
    }
    void enablingByModeAndMultiSsid()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(QStringList, enabled);
        Screen t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.enabled(), enabled);
        QCOMPARE(t.screen->windowTitle(), QString("Advanced \\WLAN Partition"));
    }

    // Each radio item stands for the device value of its position and is named as the
    // device names that value: 0 is "Disable", 1 "Enable". Multi-SSID off: only the
    // primary SSID changes, the others are written back as read, then the apply.
    void applyWritesThePartitionThenTheApply()
    {
        Screen t({{kMssid, "2|0"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.group(1)->items(), QStringList({"Disable ", "Enable", "GuestMode"}));
        QCOMPARE(t.group(1)->currentText(), QString("Enable"));
        QCOMPARE(t.group(2)->currentText(), QString("Disable "));
        QCOMPARE(t.group(3)->currentText(), QString("GuestMode"));
        QCOMPARE(t.w<QComboBox>("CB_WBand")->currentText(), QString("2.4GHz"));
        QVERIFY(screentest::SavePicture(*t.screen, "TFM_WLANPart"));
        t.group(1)->setItemIndex(2);
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Btn_Apply")->click();
        QTRY_COMPARE(t.status(), QString("Setting Success!"));
        const QStringList values{"1", "2", "0", "2", "1", "1", "1", "1", "1", "0"};
        QStringList partition{"noError"};
        for (int i = 0; i < values.size(); ++i)
            partition << partitionOids()[i] + "|2|" + values[i];
        QCOMPARE(t.fixture.SetsSince(mark), (QList<QStringList>{partition, {"noError", kApply + "|2|1"}}));
        QCOMPARE(t.fixture.Sim().value(kPartition + ".4.1"), QString("2|2"));
    }

    // A value the radio items do not know selects none and is not written back as 0.
    void unknownValueIsLeftAlone()
    {
        Screen t({{kPartition + ".7.1", "2|3"}, {kMssid, "2|1"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.group(4)->itemIndex(), -1);
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Btn_Apply")->click();
        QTRY_COMPARE(t.status(), QString("Setting Success!"));
        const QList<QStringList> sets = t.fixture.SetsSince(mark);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0].size(), 1 + 9);
        QVERIFY(!sets[0].join(' ').contains(kPartition + ".7.1|"));
        QCOMPARE(t.fixture.Sim().value(kPartition + ".7.1"), QString("2|3"));
    }

    // The apply trigger's answer is the outcome: a device that refuses it is reported.
    void refusedApplyIsReported()
    {
        Screen t({{kApply, ""}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.w<QPushButton>("Btn_Apply")->click();
        QTRY_COMPARE(t.status(), QString("Setting Error!"));
        QVERIFY(t.w<QPushButton>("Btn_Apply")->isEnabled());
    }

    // Values that were never read are not written: Apply stays disabled.
    void unreadPartitionIsNotWritten()
    {
        Screen t({{kLink, ""}});
        QVERIFY2(t.start(true), qPrintable(t.fixture.Error()));
        QVERIFY(!t.w<QPushButton>("Btn_Apply")->isEnabled());
        QVERIFY2(t.status().startsWith("Get: (SNMP) Variable does not exist!"), qPrintable(t.status()));
        const int mark = t.fixture.Mark();
        t.screen->Btn_ApplyClick();
        QTest::qWait(200);
        QVERIFY(t.fixture.SetsSince(mark).isEmpty());
    }

    // Choosing "Disable" for Ethernet to WLAN access warns each time; "Enable" does not.
    void blockingBroadcastsWarns()
    {
        Screen t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *access = t.w<QComboBox>("CB_WLANAccess");
        for (int item : {0, 1, 0}) {
            access->setCurrentIndex(item);
            emit access->activated(item);
        }
        const QPair<QString, QString> warning{
            "Waring", "AP will block all multicast/broadcast packets from Ethernet to wireless,except DHCP'S !"};
        QCOMPARE(t.fixture.Dialogs().Boxes(), (QList<QPair<QString, QString>>{warning, warning}));
    }
};

QTEST_MAIN(TestTFMWLANPart)
#include "tst_tfm_wlanpart.moc"
