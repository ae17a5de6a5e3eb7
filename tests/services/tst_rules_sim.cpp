// The simulated device's traffic manager and schedule rules, through net-snmp's
// snmpset: the rule objects added and deleted by their action, the device's list texts,
// and every refusal leaving the lists as they were.
#include "ServiceScreenTest.h"

using namespace servicetest;

namespace {
const QString kRule = R + ".3.9.3.2";
const QString kRules = R + ".3.9.3.3.1.1";
const QString kSchedule = R + ".3.10.1.2";
const QString kScheduleList = R + ".3.10.2.1.1";

// A traffic rule "cam" and a schedule rule "night" for SSID 1 in the first rows.
const simtest::Objects kListed = {
    {kRules + ".2.1", "4|cam"}, {kRules + ".3.1", "64|192.168.0.9"}, {kRules + ".5.1", "2|50"},
    {kScheduleList + ".2.1", "4|night"}, {kScheduleList + ".3.1", "4|Mon,Wed"},
    {kScheduleList + ".4.1", "4|8:30-17:45"}, {kScheduleList + ".6.1", "2|1"},
};

QStringList trafficRule(const QString &name, const QString &ip, const QString &mac, int down, int up, int action)
{
    return {kRule + ".1.0", "s", name, kRule + ".2.0", "a", ip, kRule + ".3.0", "x", mac,
            kRule + ".4.0", "i", QString::number(down), kRule + ".5.0", "i", QString::number(up),
            kRule + ".6.0", "i", QString::number(action)};
}

QStringList scheduleRule(const QString &name, int days, int allDay, const QString &start, const QString &end,
                         int ssid, int action)
{
    return {kSchedule + ".1.0", "s", name, kSchedule + ".2.0", "i", QString::number(days),
            kSchedule + ".3.0", "i", QString::number(allDay), kSchedule + ".4.0", "s", start,
            kSchedule + ".5.0", "s", end, kSchedule + ".8.0", "i", QString::number(ssid),
            kSchedule + ".7.0", "i", QString::number(action)};
}

// A value as text: the tools show every octet string in hex.
QString text(simtest::Simulator &sim, const QString &oid)
{
    const QString v = sim.value(oid);
    return v.startsWith("4x|") ? QString::fromUtf8(QByteArray::fromHex(v.mid(3).toLatin1())) : v;
}

QStringList listed(simtest::Simulator &sim, const QString &column, int rows = 3)
{
    QStringList cells;
    for (int r = 1; r <= rows; ++r)
        cells << text(sim, column + "." + QString::number(r));
    return cells;
}

} // namespace

class TestRulesSim : public QObject {
    Q_OBJECT

    // Refusals change nothing, so they share one device.
    screentest::ScreenFixture m_fixture{{}, kListed};

private slots:
    void initTestCase() { QVERIFY2(m_fixture.Start(), qPrintable(m_fixture.Error())); }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("status");
        const QString none = "000000000000";
        QTest::newRow("rule name taken") << trafficRule("cam", "192.168.0.7", none, 10, 0, 1) << "inconsistentValue";
        QTest::newRow("rule without name") << trafficRule("", "192.168.0.7", none, 10, 0, 1) << "inconsistentValue";
        QTest::newRow("rule without IP or MAC") << trafficRule("pc", "0.0.0.0", none, 10, 0, 1) << "inconsistentValue";
        QTest::newRow("rule speeds both 0") << trafficRule("pc", "192.168.0.7", none, 0, 0, 1) << "wrongValue";
        QTest::newRow("rule speed above bandwidth") << trafficRule("pc", "192.168.0.7", none, 101, 0, 1) << "wrongValue";
        QTest::newRow("delete of unknown rule") << trafficRule("pc", "0.0.0.0", none, 0, 0, 0) << "inconsistentValue";
        QTest::newRow("bandwidth 151") << QStringList{R + ".3.9.1.2.1.0", "i", "151"} << "wrongValue";
        QTest::newRow("QoS ports end below start") << QStringList{R + ".3.9.2.2.2.1.1.5.5", "s", "8080-8000"} << "wrongValue";
        QTest::newRow("QoS port 65536") << QStringList{R + ".3.9.2.2.2.1.1.5.5", "s", "1-65536"} << "wrongValue";
        QTest::newRow("QoS ports overlap") << QStringList{R + ".3.9.2.2.2.1.1.5.6", "s", "1050-2000"} << "inconsistentValue";
        QTest::newRow("schedule hour 24") << scheduleRule("work", 10, 0, "24:0", "17:45", 1, 1) << "wrongValue";
        QTest::newRow("schedule minute 60") << scheduleRule("work", 10, 0, "8:60", "17:45", 1, 1) << "wrongValue";
        QTest::newRow("schedule name taken") << scheduleRule("night", 10, 1, "", "", 2, 1) << "inconsistentValue";
        QTest::newRow("schedule delete, other SSID") << scheduleRule("night", 0, 0, "", "", 2, 0) << "inconsistentValue";
    }
    void refusals()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QString, status);
        screentest::ScreenFixture &fixture = m_fixture;
        simtest::Simulator &sim = fixture.Sim();
        const QStringList rules = listed(sim, kRules + ".2"), schedules = listed(sim, kScheduleList + ".2");
        const int mark = fixture.Mark();
        QVERIFY(sim.set(varbinds).exitCode != 0);
        QCOMPARE(fixture.SetsSince(mark).value(0).value(0), status);
        QCOMPARE(listed(sim, kRules + ".2"), rules);
        QCOMPARE(listed(sim, kScheduleList + ".2"), schedules);
    }

    void trafficRulesAddAndDeleteByName()
    {
        screentest::ScreenFixture fixture({}, kListed);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        simtest::Simulator &sim = fixture.Sim();
        QCOMPARE(sim.set(trafficRule("pc", "0.0.0.0", "00c0ca000001", 0, 100, 1)).exitCode, 0);
        QCOMPARE(listed(sim, kRules + ".2"), (QStringList{"cam", "pc", ""}));
        QCOMPARE(sim.value(kRules + ".4.2"), QString("4x|00c0ca000001"));
        QCOMPARE(sim.value(kRules + ".6.2"), QString("2|100"));
        // The rules below a deleted one move up: the named rows stay first.
        QCOMPARE(sim.set(trafficRule("cam", "0.0.0.0", "000000000000", 0, 0, 0)).exitCode, 0);
        QCOMPARE(listed(sim, kRules + ".2"), (QStringList{"pc", "", ""}));
        QCOMPARE(sim.value(kRules + ".4.1"), QString("4x|00c0ca000001"));
        // Eight rows: seven more fit, the next is refused.
        for (int n = 2; n <= 8; ++n)
            QCOMPARE(sim.set(trafficRule("r" + QString::number(n), "192.168.0." + QString::number(n),
                                         "000000000000", 1, 1, 1)).exitCode, 0);
        const int mark = fixture.Mark();
        QVERIFY(sim.set(trafficRule("r9", "192.168.0.9", "000000000000", 1, 1, 1)).exitCode != 0);
        QCOMPARE(fixture.SetsSince(mark).value(0).value(0), QString("resourceUnavailable"));
    }

    void scheduleListsTheDeviceTexts_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QStringList>("row"); // days, time frame, SSID index, SSID
        QTest::newRow("Mon and Wed, timed") << scheduleRule("work", 10, 0, "08:05", "17:45", 1, 1)
                                            << QStringList{"Mon,Wed", "8:5-17:45", "2|1", "rwn3460-2"};
        QTest::newRow("all week, all day") << scheduleRule("always", 0, 1, "", "", 0, 1)
                                           << QStringList{"All Week", "All Day(s)", "2|0", "rwn3460"};
        QTest::newRow("seven days named") << scheduleRule("each", 127, 0, "0:0", "23:59", 7, 1)
                                          << QStringList{"Sun,Mon,Tue,Wed,Thu,Fri,Sat", "0:0-23:59", "2|7",
                                                         "rwn3460-8"};
    }
    void scheduleListsTheDeviceTexts()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QStringList, row);
        screentest::ScreenFixture fixture({}, kListed);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        simtest::Simulator &sim = fixture.Sim();
        QCOMPARE(sim.set(varbinds).exitCode, 0);
        QCOMPARE(text(sim, kScheduleList + ".2.2"), varbinds[2]);
        QCOMPARE((QStringList{text(sim, kScheduleList + ".3.2"), text(sim, kScheduleList + ".4.2"),
                              sim.value(kScheduleList + ".6.2"), text(sim, kScheduleList + ".7.2")}),
                 row);
        // Deleted by name and SSID: the rule below moves up.
        QCOMPARE(sim.set(scheduleRule("night", 0, 0, "", "", 1, 0)).exitCode, 0);
        QCOMPARE(listed(sim, kScheduleList + ".2", 2), (QStringList{varbinds[2], ""}));
    }
};

QTEST_MAIN(TestRulesSim)
#include "tst_rules_sim.moc"
