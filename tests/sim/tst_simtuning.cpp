// The simulated device's radio tuning, WLAN partition and intrusion protection objects,
// driven by net-snmp's snmpset and snmpget: the ranges it refuses, the values that depend
// on the band, and the rogue scan with its one-shot class objects.
#include "SimFixture.h"

#include <QTest>

using namespace simtest;

namespace {

const QString R = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kRadio = R + ".2.1.3.3.1.1.1";
const QString kBand = kRadio + ".34.1";
const QString kGrouping = R + ".3.2.1.1";
const QString kPartition = R + ".2.1.3.3.2.3.1.1";
const QString kRogue = R + ".3.4.4";

} // namespace

class TestSimTuning : public QObject {
    Q_OBJECT

private:
    Simulator m_sim;

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(), qPrintable(m_sim.error())); }
    void cleanupTestCase() { QVERIFY2(m_sim.stop(), qPrintable(m_sim.error())); }

    // Each row on 2.4 GHz unless it names the band first.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("reason");
        const auto i = [](const QString &oid, int v) { return QStringList{oid, "i", QString::number(v)}; };
        const QStringList band5 = i(kBand, 1);
        QTest::newRow("beacon 24") << i(kRadio + ".17.1", 24) << "wrongValue";
        QTest::newRow("beacon 501") << i(kRadio + ".17.1", 501) << "wrongValue";
        QTest::newRow("DTIM 0") << i(kRadio + ".18.1", 0) << "wrongValue";
        QTest::newRow("DTIM 16") << i(kRadio + ".18.1", 16) << "wrongValue";
        QTest::newRow("user limit 65") << i(kGrouping + ".2.1", 65) << "wrongValue";
        QTest::newRow("utilization 5") << i(kGrouping + ".5.1", 5) << "wrongValue";
        QTest::newRow("power 5") << i(kRadio + ".21.1", 5) << "wrongValue";
        QTest::newRow("ACK 47 on 2.4 GHz") << i(kRadio + ".31.1", 47) << "wrongValue";
        QTest::newRow("ACK 24 on 5 GHz") << band5 + i(kRadio + ".31.1", 24) << "wrongValue";
        QTest::newRow("ACK 201") << i(kRadio + ".31.1", 201) << "wrongValue";
        QTest::newRow("802.11a only on 2.4 GHz") << i(kRadio + ".16.1", 7) << "inconsistentValue";
        QTest::newRow("g and b on 5 GHz") << band5 + i(kRadio + ".16.1", 3) << "inconsistentValue";
        QTest::newRow("rate 5.5 on 5 GHz") << band5 + QStringList{kRadio + ".11.1", "s", "5.5"} << "wrongValue";
        QTest::newRow("rate 7") << QStringList{kRadio + ".11.1", "s", "7"} << "wrongValue";
        QTest::newRow("rate empty") << QStringList{kRadio + ".11.1", "s", ""} << "wrongValue";
        QTest::newRow("station connection 3") << i(kPartition + ".7.1", 3) << "wrongValue";
        QTest::newRow("Ethernet to WLAN 2") << i(kPartition + ".2.1", 2) << "wrongValue";
        QTest::newRow("rate list is read-only") << QStringList{kRadio + ".20.1", "s", "1"} << "notWritable";
    }
    void refusals()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QString, reason);
        const QString last = varbinds[varbinds.size() - 3];
        const QString before = m_sim.value(last);
        const RunResult r = m_sim.set(varbinds);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.all().contains(reason), qPrintable(r.all()));
        QCOMPARE(m_sim.value(last), before);
        QCOMPARE(m_sim.value(kBand), QString("2|0"));
    }

    void boundariesAreAccepted_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        const auto i = [](const QString &oid, int v) { return QStringList{oid, "i", QString::number(v)}; };
        QTest::newRow("beacon 25 and 500") << i(kRadio + ".17.1", 25) + i(kRadio + ".17.1", 500);
        QTest::newRow("DTIM 1 and 15") << i(kRadio + ".18.1", 1) + i(kRadio + ".18.1", 15);
        QTest::newRow("user limit 0 and 64") << i(kGrouping + ".2.1", 0) + i(kGrouping + ".2.1", 64);
        QTest::newRow("ACK 48 and 200") << i(kRadio + ".31.1", 48) + i(kRadio + ".31.1", 200);
        QTest::newRow("ACK 25 on 5 GHz, a only") << i(kBand, 1) + i(kRadio + ".31.1", 25) + i(kRadio + ".16.1", 7);
        QTest::newRow("rate Auto, 5.5") << QStringList{kRadio + ".11.1", "s", "Auto", kRadio + ".11.1", "s", "5.5"};
        QTest::newRow("guest mode") << i(kPartition + ".11.1", 2) + i(kPartition + ".4.1", 0);
    }
    void boundariesAreAccepted()
    {
        QFETCH(QStringList, varbinds);
        for (qsizetype at = 0; at + 2 < varbinds.size(); at += 3) {
            const RunResult r = m_sim.set(varbinds.mid(at, 3));
            QVERIFY2(r.exitCode == 0, qPrintable(r.all()));
        }
        QVERIFY(m_sim.set({kBand, "i", "0", kRadio + ".16.1", "i", "6", kRadio + ".31.1", "i", "64"}).exitCode == 0);
    }

    // The scan fills the table; a class object moves the entry of its index and reads
    // back 0; an index not in the table is refused; the next scan keeps the classes by
    // BSSID and no longer lists the entry heard only once.
    void rogueScanAndClasses()
    {
        const QString type = kRogue + ".4.1.11.";
        const QString bssid = kRogue + ".4.1.5.";
        QVERIFY(!m_sim.value(type + "1").startsWith("2|")); // nothing before a scan
        QVERIFY(m_sim.set({kRogue + ".1.0", "i", "1"}).exitCode == 0);
        QCOMPARE(m_sim.value(kRogue + ".1.0"), QString("2|0"));
        QCOMPARE(m_sim.value(type + "6"), QString("2|1"));
        const QString last = m_sim.value(bssid + "6");
        QVERIFY(m_sim.set({kRogue + ".7.0", "i", "6"}).exitCode == 0);
        QCOMPARE(m_sim.value(type + "6"), QString("2|4"));
        QCOMPARE(m_sim.value(kRogue + ".7.0"), QString("2|0"));
        const RunResult refused = m_sim.set({kRogue + ".5.0", "i", "7"});
        QVERIFY2(refused.all().contains("inconsistentValue"), qPrintable(refused.all()));
        QVERIFY(m_sim.set({kRogue + ".1.0", "i", "1"}).exitCode == 0);
        QCOMPARE(m_sim.value(bssid + "5"), last);
        QCOMPARE(m_sim.value(type + "5"), QString("2|4"));
        QVERIFY(m_sim.value(bssid + "6") != last);
        // The rule for new access points moves every new entry.
        QVERIFY(m_sim.set({kRogue + ".9.0", "i", "1"}).exitCode == 0);
        for (const char *row : {"1", "2", "3", "4", "5"})
            QVERIFY(m_sim.value(type + row) != "2|1");
    }
};

QTEST_MAIN(TestSimTuning)
#include "tst_simtuning.moc"
