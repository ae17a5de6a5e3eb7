// The simulated device's RADIUS accounts and QoS rules, through net-snmp's snmpset:
// accounts added and deleted by name without regard to case, rules written into their
// rows and deleted by index, and every refusal leaving the tables as they were.
#include "ServiceScreenTest.h"

using namespace servicetest;

namespace {
const QString kAccount = R + ".3.12.1";
const QString kAccounts = R + ".3.12.2.1.1";
const QString kRules = R + ".3.6.2.5.1";
const QString kQosDelete = R + ".3.6.2.4.0";

// "bob" listed first; QoS rules "voip" and "web" in rows 1 and 2.
const simtest::Objects kListed = {
    {kAccounts + ".2.1", "4|bob"}, {kAccounts + ".3.1", "2|1"}, {kAccounts + ".4.1", "4|bobsecret"},
    {kRules + ".3.1", "4|voip"}, {kRules + ".2.1", "2|1"}, {kRules + ".4.1", "2|0"},
    {kRules + ".3.2", "4|web"}, {kRules + ".4.2", "2|2"}, {kRules + ".10.2", "2|80"}, {kRules + ".11.2", "2|88"},
};

QStringList account(const QString &name, const QString &password, int status, int action)
{
    QStringList set = {kAccount + ".1.0", "s", name};
    if (!password.isNull())
        set << kAccount + ".2.0" << "s" << password;
    return set << kAccount + ".4.0" << "i" << QString::number(status) << kAccount + ".3.0" << "i"
               << QString::number(action);
}

// A value as text: the tools show every octet string in hex.
QString text(simtest::Simulator &sim, const QString &oid)
{
    const QString v = sim.value(oid);
    return v.startsWith("4x|") ? QString::fromUtf8(QByteArray::fromHex(v.mid(3).toLatin1())) : v.section('|', 1);
}

QStringList listed(simtest::Simulator &sim, const QString &column, int rows = 3)
{
    QStringList cells;
    for (int r = 1; r <= rows; ++r)
        cells << text(sim, column + "." + QString::number(r));
    return cells;
}

} // namespace

class TestRadiusQosSim : public QObject {
    Q_OBJECT

    // Refusals change nothing, so they share one device.
    screentest::ScreenFixture m_fixture{{}, kListed};

private slots:
    void initTestCase() { QVERIFY2(m_fixture.Start(), qPrintable(m_fixture.Error())); }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("status");
        QTest::newRow("account name in other letters") << account("BOB", "whatever1", 1, 1) << "inconsistentValue";
        QTest::newRow("account without name") << account("", "whatever1", 1, 1) << "wrongValue";
        QTest::newRow("password of 7") << account("dave", "abcdefg", 1, 1) << "wrongValue";
        QTest::newRow("password of 65") << account("dave", QString(65, 'p'), 1, 1) << "wrongLength";
        QTest::newRow("name of 65") << account(QString(65, 'n'), "whatever1", 1, 1) << "wrongLength";
        QTest::newRow("account status 2") << account("dave", "whatever1", 2, 1) << "wrongValue";
        QTest::newRow("delete of unknown account") << account("dave", QString(), 1, 0) << "inconsistentValue";
        QTest::newRow("list is read-only") << QStringList{kAccounts + ".2.2", "s", "eve"} << "notWritable";
        QTest::newRow("rule delete 0") << QStringList{kQosDelete, "i", "0"} << "wrongValue";
        QTest::newRow("rule delete of a free row") << QStringList{kQosDelete, "i", "3"} << "wrongValue";
        QTest::newRow("rule delete 65") << QStringList{kQosDelete, "i", "65"} << "wrongValue";
        QTest::newRow("rule 65") << QStringList{kRules + ".3.65", "s", "x"} << "noCreation";
        QTest::newRow("rule past a free row") << QStringList{kRules + ".3.4", "s", "late"} << "inconsistentValue";
        QTest::newRow("protocol 258") << QStringList{kRules + ".5.1", "i", "258"} << "wrongValue";
        QTest::newRow("priority 4") << QStringList{kRules + ".4.1", "i", "4"} << "wrongValue";
        QTest::newRow("port 65536") << QStringList{kRules + ".16.1", "i", "65536"} << "wrongValue";
        QTest::newRow("ports reversed") << QStringList{kRules + ".10.2", "i", "89"} << "inconsistentValue";
        QTest::newRow("addresses reversed")
            << QStringList{kRules + ".7.1", "a", "10.0.0.9", kRules + ".8.1", "a", "9.255.255.255"} << "inconsistentValue";
        QTest::newRow("rule index is the device's") << QStringList{kRules + ".1.1", "i", "7"} << "notWritable";
    }
    void refusals()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QString, status);
        screentest::ScreenFixture &fixture = m_fixture;
        simtest::Simulator &sim = fixture.Sim();
        const QStringList accounts = listed(sim, kAccounts + ".2"), rules = listed(sim, kRules + ".3");
        const int mark = fixture.Mark();
        QVERIFY(sim.set(varbinds).exitCode != 0);
        QCOMPARE(fixture.SetsSince(mark).value(0).value(0), status);
        QCOMPARE(listed(sim, kAccounts + ".2"), accounts);
        QCOMPARE(listed(sim, kRules + ".3"), rules);
    }

    void accountsAddAndDeleteByName()
    {
        screentest::ScreenFixture fixture({}, kListed);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        simtest::Simulator &sim = fixture.Sim();
        QCOMPARE(sim.set(account("carol", "carolsecret", 0, 1)).exitCode, 0);
        QCOMPARE(listed(sim, kAccounts + ".2"), (QStringList{"bob", "carol", ""}));
        QCOMPARE(listed(sim, kAccounts + ".3", 2), (QStringList{"1", "0"}));
        QCOMPARE(text(sim, kAccounts + ".4.2"), QString("carolsecret"));
        // By name in any letters, without a password; the accounts below move up.
        QCOMPARE(sim.set(account("BOB", QString(), 1, 0)).exitCode, 0);
        QCOMPARE(listed(sim, kAccounts + ".2"), (QStringList{"carol", "", ""}));
        QCOMPARE(text(sim, kAccounts + ".4.1"), QString("carolsecret"));
        // Sixteen rows: fifteen more fit, the next is refused.
        for (int n = 2; n <= 16; ++n)
            QCOMPARE(sim.set(account("user" + QString::number(n), "password", 1, 1)).exitCode, 0);
        const int mark = fixture.Mark();
        QVERIFY(sim.set(account("user17", "password", 1, 1)).exitCode != 0);
        QCOMPARE(fixture.SetsSince(mark).value(0).value(0), QString("resourceUnavailable"));
    }

    // A rule goes into its row; a delete by index moves the rules below it up, so the
    // state objects of the remaining rules are 1..n again.
    void rulesDeleteByIndexAndCloseUp()
    {
        screentest::ScreenFixture fixture({}, kListed);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        simtest::Simulator &sim = fixture.Sim();
        QCOMPARE(sim.set({kRules + ".3.3", "s", "mail", kRules + ".2.3", "i", "1", kRules + ".7.3", "a", "10.0.0.1",
                          kRules + ".8.3", "a", "10.0.1.5", kRules + ".9.3", "i", "261"})
                     .exitCode,
                 0);
        QCOMPARE(listed(sim, kRules + ".3", 4), (QStringList{"voip", "web", "mail", ""}));
        QCOMPARE(sim.set({kQosDelete, "i", "1"}).exitCode, 0);
        QCOMPARE(listed(sim, kRules + ".3", 4), (QStringList{"web", "mail", "", ""}));
        QCOMPARE(listed(sim, kRules + ".1", 3), (QStringList{"1", "2", "3"}));
        QCOMPARE(text(sim, kRules + ".10.1"), QString("80"));
        QCOMPARE(listed(sim, kRules + ".2", 3), (QStringList{"0", "1", "0"}));
        // The freed row reads as a free row again, and the delete object as idle.
        QCOMPARE(text(sim, kRules + ".7.3"), QString("0.0.0.0"));
        QCOMPARE(text(sim, kRules + ".5.3"), QString("256"));
        QCOMPARE(text(sim, kQosDelete), QString("0"));
    }
};

QTEST_MAIN(TestRadiusQosSim)
#include "tst_radius_qos_sim.moc"
