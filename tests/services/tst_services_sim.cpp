// The simulated device's own rules for the DHCP server and VLAN objects, through
// net-snmp's snmpset: what it refuses, with which status, and that a refusal changes
// nothing.
#include "ServiceScreenTest.h"

using namespace servicetest;

namespace {
const QString kPool = R + ".3.1.2.2.1";
const QString kStatic = R + ".3.1.3.2.1";
const QString kVlans = R + ".3.6.1.3.1";
} // namespace

class TestServicesSim : public QObject {
    Q_OBJECT

    // A static entry in row 2, so that its address is taken.
    screentest::ScreenFixture m_fixture{{}, {{kStatic + ".4.2", "64|192.168.0.20"}}};

private slots:
    void initTestCase() { QVERIFY2(m_fixture.Start(), qPrintable(m_fixture.Error())); }

    void writes_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("status");
        QTest::newRow("lease 59 s") << QStringList{kPool + ".11.1", "i", "59"} << "wrongValue";
        QTest::newRow("lease 31536001 s") << QStringList{kPool + ".11.1", "i", "31536001"} << "wrongValue";
        QTest::newRow("lease 60 s") << QStringList{kPool + ".11.1", "i", "60"} << "noError";
        QTest::newRow("pool end below its start") << QStringList{kPool + ".4.1", "a", "192.168.0.99"}
                                                  << "inconsistentValue";
        QTest::newRow("pool end off the start's network") << QStringList{kPool + ".4.1", "a", "192.168.1.150"}
                                                          << "inconsistentValue";
        QTest::newRow("pool start and end moved together")
            << QStringList{kPool + ".3.1", "a", "10.0.0.10", kPool + ".4.1", "a", "10.0.0.20"} << "noError";
        QTest::newRow("static address the AP's own") << QStringList{kStatic + ".4.3", "a", "192.168.0.50"}
                                                     << "inconsistentValue";
        QTest::newRow("static address another row holds") << QStringList{kStatic + ".4.3", "a", "192.168.0.20"}
                                                           << "inconsistentValue";
        QTest::newRow("static MAC of five octets") << QStringList{kStatic + ".5.3", "x", "00c0ca0000"}
                                                   << "wrongLength";
        QTest::newRow("delete a row the table lacks") << QStringList{R + ".3.1.3.3.0", "i", "9"} << "wrongValue";
        QTest::newRow("VID 0") << QStringList{kVlans + ".2.2", "i", "0"} << "wrongValue";
        QTest::newRow("VID 4095") << QStringList{kVlans + ".2.2", "i", "4095"} << "wrongValue";
        QTest::newRow("VID the default VLAN holds") << QStringList{kVlans + ".2.2", "i", "1"} << "inconsistentValue";
        QTest::newRow("membership 3") << QStringList{kVlans + ".4.2", "i", "3"} << "wrongValue";
        QTest::newRow("PVID 4095") << QStringList{R + ".3.6.2.2.1.5.1", "i", "4095"} << "wrongValue";
        QTest::newRow("VLAN mode is the device's") << QStringList{R + ".3.6.1.2.0", "i", "1"} << "notWritable";
    }
    void writes()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QString, status);
        simtest::Simulator &sim = m_fixture.Sim();
        QStringList before;
        for (int i = 0; i < varbinds.size(); i += 3)
            before << sim.value(varbinds[i]);
        const int mark = m_fixture.Mark();
        const simtest::RunResult r = sim.set(varbinds);
        QCOMPARE(r.exitCode == 0, status == QLatin1String("noError"));
        const QList<QStringList> sets = m_fixture.SetsSince(mark);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0].value(0), status);
        if (status != QLatin1String("noError"))
            for (int i = 0; i < varbinds.size(); i += 3)
                QCOMPARE(sim.value(varbinds[i]), before[i / 3]);
    }
};

QTEST_MAIN(TestServicesSim)
#include "tst_services_sim.moc"
