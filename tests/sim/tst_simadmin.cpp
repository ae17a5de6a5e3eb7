// The simulated device's management access and clock, driven by net-snmp's snmpset and
// snmpget: what it refuses, how a range row is freed, and a clock that runs.
#include "SimFixture.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTest>

using namespace simtest;

namespace {

const QString kRoot = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kClock = kRoot + ".4.8.7.0";
const QString kStart = kRoot + ".4.10.1.3.1.2.";
const QString kEnd = kRoot + ".4.10.1.3.1.3.";
const QString kDelete = kRoot + ".4.10.1.3.1.4.";

QString clockText(Simulator &sim)
{
    const QString v = sim.value(kClock);
    return v.startsWith("4x|") ? QString::fromUtf8(QByteArray::fromHex(v.mid(3).toLatin1())) : v;
}

} // namespace

class TestSimAdmin : public QObject {
    Q_OBJECT

private:
    // Row 1 of the factory table holds 192.168.0.10 to 192.168.0.20.
    Simulator m_sim;

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(), qPrintable(m_sim.error())); }
    void cleanupTestCase() { QVERIFY2(m_sim.stop(), qPrintable(m_sim.error())); }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("reason");
        QTest::newRow("user name of 65") << QStringList{kRoot + ".4.1.1.1.2.1", "s", QString(65, 'a')} << "wrongLength";
        QTest::newRow("password of 13") << QStringList{kRoot + ".4.1.1.1.3.1", "s", "1234567890123"} << "wrongLength";
        QTest::newRow("timeout 6") << QStringList{kRoot + ".4.4.3.0", "i", "6"} << "wrongValue";
        QTest::newRow("VLAN tag 4096") << QStringList{kRoot + ".4.10.1.2.0", "i", "4096"} << "wrongValue";
        QTest::newRow("zone 76") << QStringList{kRoot + ".4.8.2.0", "i", "76"} << "wrongValue";
        QTest::newRow("zone 0") << QStringList{kRoot + ".4.8.2.0", "i", "0"} << "wrongValue";
        QTest::newRow("31 February") << QStringList{kClock, "s", "02/31/2020 10:00:00"} << "wrongValue";
        QTest::newRow("hour 24") << QStringList{kClock, "s", "02/28/2020 24:00:00"} << "wrongValue";
        QTest::newRow("not a date") << QStringList{kClock, "s", "2020-02-28 10:00:00"} << "wrongValue";
        QTest::newRow("start above end")
            << QStringList{kStart + "2", "a", "10.0.0.9", kEnd + "2", "a", "10.0.0.1"} << "inconsistentValue";
        QTest::newRow("overlapping row 1")
            << QStringList{kStart + "2", "a", "192.168.0.20", kEnd + "2", "a", "192.168.0.30"} << "inconsistentValue";
        QTest::newRow("enclosing row 1")
            << QStringList{kStart + "3", "a", "192.168.0.1", kEnd + "3", "a", "192.168.0.99"} << "inconsistentValue";
        QTest::newRow("half a range") << QStringList{kStart + "2", "a", "10.0.0.1"} << "inconsistentValue";
    }
    void refusals()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QString, reason);
        const QString before = m_sim.value(varbinds[0]);
        const RunResult r = m_sim.set(varbinds);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.all().contains(reason), qPrintable(r.all()));
        QCOMPARE(m_sim.value(varbinds[0]), before);
    }

    void rangeRowIsAddedAndFreed()
    {
        QCOMPARE(m_sim.set({kStart + "4", "a", "192.168.0.21", kEnd + "4", "a", "192.168.0.30", kDelete + "4", "i", "0"})
                     .exitCode, 0);
        QCOMPARE(m_sim.value(kEnd + "4"), QString("64|192.168.0.30"));
        QCOMPARE(m_sim.set({kDelete + "4", "i", "1"}).exitCode, 0);
        QCOMPARE(m_sim.value(kStart + "4"), QString("64|0.0.0.0"));
        QCOMPARE(m_sim.value(kEnd + "4"), QString("64|0.0.0.0"));
        QCOMPARE(m_sim.value(kDelete + "4"), QString("2|0")); // the command reads back idle
        QCOMPARE(m_sim.value(kStart + "1"), QString("64|192.168.0.10"));
    }

    // Set just before a new year, the clock runs into it.
    void clockRunsFromTheTimeSet()
    {
        QCOMPARE(m_sim.set({kClock, "s", "12/31/2011 23:59:59"}).exitCode, 0);
        const QDateTime set = QDateTime::fromString("12/31/2011 23:59:59", "MM/dd/yyyy HH:mm:ss");
        QElapsedTimer waited;
        waited.start();
        QString now = clockText(m_sim);
        while (now.startsWith("12/31/2011") && waited.elapsed() < 10000) {
            QTest::qWait(200);
            now = clockText(m_sim);
        }
        const QDateTime read = QDateTime::fromString(now, "MM/dd/yyyy HH:mm:ss");
        QVERIFY2(read.isValid(), qPrintable(now));
        QVERIFY(now.startsWith("01/01/2012 00:00:"));
        QVERIFY(set.secsTo(read) >= 1 && set.secsTo(read) <= 1 + waited.elapsed() / 1000 + 1);
    }
};

QTEST_MAIN(TestSimAdmin)
#include "tst_simadmin.moc"
