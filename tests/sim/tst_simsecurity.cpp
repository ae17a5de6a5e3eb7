// The simulated device's security objects of the primary SSID, driven by net-snmp's
// snmpset, snmpget and snmpwalk: keys, the passphrase and the secrets read back masked
// while the journal holds what was written, and what the device refuses.
#include "SimFixture.h"

#include <QTest>

using namespace simtest;

namespace {

const QString kSec = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.1.1");
const QString kWep = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1");

QString masked(int length)
{
    return "4x|" + hexOf(QByteArray(length, '*'));
}

} // namespace

class TestSimSecurity : public QObject {
    Q_OBJECT

private:
    Simulator m_sim;

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(), qPrintable(m_sim.error())); }
    void cleanupTestCase() { QVERIFY2(m_sim.stop(), qPrintable(m_sim.error())); }

    void secretsReadBackMasked_data()
    {
        QTest::addColumn<QStringList>("varbinds"); // the secret first
        QTest::addColumn<QString>("written");      // as the journal holds it
        QTest::newRow("HEX key of 64 bit") << QStringList{kWep + ".3.1", "s", "0123456789"} << "4|0123456789";
        QTest::newRow("ASCII key of 128 bit") << QStringList{kWep + ".3.2", "s", "abcdefghijklm", kWep + ".2.2", "i", "1"}
                                              << "4|abcdefghijklm";
        QTest::newRow("passphrase") << QStringList{kSec + ".4.1", "s", "correct horse"} << "4|correct horse";
        QTest::newRow("RADIUS secret") << QStringList{kSec + ".10.1", "s", "radsecret"} << "4|radsecret";
        QTest::newRow("backup RADIUS secret") << QStringList{kSec + ".13.1", "s", "b"} << "4|b";
        QTest::newRow("accounting secret") << QStringList{kSec + ".17.1", "s", QString(64, 'x')}
                                           << "4|" + QString(64, 'x');
        QTest::newRow("backup accounting secret") << QStringList{kSec + ".21.1", "s", "acct"} << "4|acct";
    }
    void secretsReadBackMasked()
    {
        QFETCH(QStringList, varbinds);
        const QString oid = varbinds[0];
        QCOMPARE(m_sim.value(oid), QString("4x|")); // unset: nothing, not even a mask
        const RunResult r = m_sim.set(varbinds);
        QVERIFY2(r.exitCode == 0, qPrintable(r.all()));
        QFETCH(QString, written);
        QVERIFY2(m_sim.journalLines().last().contains(oid + "|" + written), qPrintable(m_sim.journalLines().last()));
        QCOMPARE(m_sim.value(oid), masked(int(varbinds[2].size())));
        // A walk shows the same mask.
        const RunResult walk = run("snmpwalk", {"-v2c", "-c", "rdcomm", "-On", "-Ox", "-Ot", "-Oe", m_sim.target(), oid});
        QCOMPARE(parseToolOutput(walk.out).value(oid), masked(int(varbinds[2].size())));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("reason");
        QTest::newRow("passphrase of 7") << QStringList{kSec + ".4.1", "s", "1234567"} << "wrongLength";
        QTest::newRow("passphrase of 64") << QStringList{kSec + ".4.1", "s", QString(64, 'p')} << "wrongLength";
        QTest::newRow("HEX key of 9") << QStringList{kWep + ".3.3", "s", "012345678"} << "wrongLength";
        QTest::newRow("HEX key of 13") << QStringList{kWep + ".3.3", "s", "0123456789abc"} << "wrongLength";
        QTest::newRow("HEX key with a g") << QStringList{kWep + ".3.3", "s", "012345678g"} << "wrongValue";
        QTest::newRow("ASCII key of 10") << QStringList{kWep + ".3.4", "s", "0123456789", kWep + ".2.4", "i", "1"}
                                         << "wrongLength";
        QTest::newRow("entry method 3") << QStringList{kWep + ".2.4", "i", "3"} << "wrongValue";
        QTest::newRow("key index 5") << QStringList{kSec + ".3.1", "i", "5"} << "wrongValue";
        QTest::newRow("group key interval 299") << QStringList{kSec + ".6.1", "i", "299"} << "wrongValue";
        QTest::newRow("group key interval 10000000") << QStringList{kSec + ".6.1", "i", "10000000"} << "wrongValue";
        QTest::newRow("RADIUS key interval 299") << QStringList{kSec + ".24.1", "i", "299"} << "wrongValue";
        QTest::newRow("RADIUS port 0") << QStringList{kSec + ".9.1", "i", "0"} << "wrongValue";
        QTest::newRow("backup accounting port 65536") << QStringList{kSec + ".20.1", "i", "65536"} << "wrongValue";
        QTest::newRow("secret of 65") << QStringList{kSec + ".10.1", "s", QString(65, 's')} << "wrongLength";
        QTest::newRow("RADIUS source 3") << QStringList{kSec + ".23.1", "i", "3"} << "wrongValue";
        QTest::newRow("a good passphrase refused with a bad port")
            << QStringList{kSec + ".4.1", "s", "a good passphrase", kSec + ".16.1", "i", "70000"} << "wrongValue";
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

    // The entry method of a row with a stored key may only change to one the key fits.
    void entryMethodMustFitTheStoredKey()
    {
        QCOMPARE(m_sim.set({kWep + ".2.3", "i", "2", kWep + ".3.3", "s", "0123456789"}).exitCode, 0);
        const RunResult r = m_sim.set({kWep + ".2.3", "i", "1"});
        QVERIFY2(r.all().contains("inconsistentValue"), qPrintable(r.all()));
        QCOMPARE(m_sim.value(kWep + ".2.3"), QString("2|2"));
        QCOMPARE(m_sim.set({kWep + ".2.3", "i", "1", kWep + ".3.3", "s", "abcde"}).exitCode, 0);
        QCOMPARE(m_sim.value(kWep + ".3.3"), masked(5));
        // An empty key clears the row, whatever its method.
        QCOMPARE(m_sim.set({kWep + ".3.3", "s", ""}).exitCode, 0);
        QCOMPARE(m_sim.value(kWep + ".3.3"), QString("4x|"));
    }

    void boundariesAreAccepted()
    {
        const RunResult r = m_sim.set({kSec + ".4.1", "s", QString(63, 'p'), kSec + ".6.1", "i", "300", kSec + ".24.1",
                                       "i", "9999999", kSec + ".9.1", "i", "65535", kSec + ".12.1", "i", "1",
                                       kWep + ".3.4", "s", QString(26, 'F'), kWep + ".2.4", "i", "2"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.all()));
        QCOMPARE(m_sim.value(kSec + ".6.1"), QString("2|300"));
        QCOMPARE(m_sim.value(kSec + ".4.1"), masked(63));
    }
};

QTEST_MAIN(TestSimSecurity)
#include "tst_simsecurity.moc"
