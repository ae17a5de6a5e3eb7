// The simulated device's log, driven by snmpset and delivered to tftpd-hpa: what it
// refuses, the log as seeded arriving unchanged, lines gained by a set of settings and a
// restart, and clearing.
#include "SimFixture.h"

#include <QFile>
#include <QTest>

using namespace simtest;

namespace {

const QString kLog = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.5.4");
const QByteArray kSeed = "2026-01-02 03:04:05 | [System] boot\n"
                         "\n"
                         "no delimiters at all\n"
                         "12:00 | [Notice unclosed\n";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class TestSimLog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TftpServer m_tftp;
    std::unique_ptr<Simulator> m_sim;

    // Has the device deliver its log as `name`; the file as it arrived.
    QByteArray fetch(const QString &name)
    {
        QFile::remove(m_tftp.dir() + "/" + name);
        const RunResult r = m_sim->set({kLog + ".4.0", "a", "127.0.0.1", kLog + ".5.0", "s", name, kLog + ".6.0", "i", "1"});
        if (r.exitCode != 0)
            return "(refused) " + r.all().toUtf8();
        return readFile(m_tftp.dir() + "/" + name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_tftp.start(), qPrintable(m_tftp.error()));
        QFile seed(m_dir.filePath("seed.log"));
        QVERIFY(seed.open(QIODevice::WriteOnly) && seed.write(kSeed) == kSeed.size());
        seed.close();
        m_sim = std::make_unique<Simulator>(QStringList{"--tftp-port", QString::number(m_tftp.port()), "--log-file",
                                                        seed.fileName(), "--reboot-seconds", "1"});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
    }
    void cleanupTestCase() { QVERIFY2(m_sim->stop(), qPrintable(m_sim->error())); }

    // First, before any other set: the seed as given, then what the device adds, then
    // clearing.
    void logLifecycle()
    {
        QCOMPARE(fetch("first.log"), kSeed);
        QVERIFY(m_sim->output().contains("tftp put first.log log " + QString::number(kSeed.size()) + " bytes"));

        QCOMPARE(m_sim->set({kLog + ".1.0", "i", "0"}).exitCode, 0);
        QByteArray grown = fetch("second.log");
        QVERIFY2(grown.startsWith(kSeed), grown.constData());
        QList<QByteArray> added = grown.mid(kSeed.size()).split('\n');
        QCOMPARE(added.size(), 2); // one line and the end of the file
        QVERIFY2(added[0].contains(" | [Notice] Settings changed"), added[0].constData());

        QCOMPARE(m_sim->set({"1.3.6.1.4.1.32473.2.5.9.4.2.1.0", "i", "1"}).exitCode, 0);
        QVERIFY(m_sim->waitUntilAnswering(10000) >= 0);
        grown = fetch("third.log");
        QVERIFY2(grown.contains("[System] Device restarted"), grown.constData());

        QCOMPARE(m_sim->set({kLog + ".10.0", "i", "1"}).exitCode, 0);
        QCOMPARE(fetch("cleared.log"), QByteArray());
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("varbinds");
        QTest::addColumn<QString>("reason");
        QTest::newRow("get-log to 0.0.0.0")
            << QStringList{kLog + ".4.0", "a", "0.0.0.0", kLog + ".5.0", "s", "x.log", kLog + ".6.0", "i", "1"}
            << "inconsistentValue";
        QTest::newRow("get-log without a name")
            << QStringList{kLog + ".4.0", "a", "127.0.0.1", kLog + ".5.0", "s", "", kLog + ".6.0", "i", "1"}
            << "inconsistentValue";
        QTest::newRow("get-log 2") << QStringList{kLog + ".6.0", "i", "2"} << "wrongValue";
        QTest::newRow("mail port 0") << QStringList{kLog + ".11.1.1.10.1", "i", "0"} << "wrongValue";
        QTest::newRow("mail port 65536") << QStringList{kLog + ".11.1.1.10.1", "i", "65536"} << "wrongValue";
        QTest::newRow("password of 13") << QStringList{kLog + ".11.1.1.7.1", "s", "1234567890123"} << "wrongLength";
    }
    void refusals()
    {
        QFETCH(QStringList, varbinds);
        QFETCH(QString, reason);
        const RunResult r = m_sim->set(varbinds);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.all().contains(reason), qPrintable(r.all()));
    }

    void mailPortEdgesTaken()
    {
        for (const char *port : {"1", "65535", "25"})
            QCOMPARE(m_sim->set({kLog + ".11.1.1.10.1", "i", port}).exitCode, 0);
    }

    void passwordReadsMasked()
    {
        QCOMPARE(m_sim->set({kLog + ".11.1.1.7.1", "s", "secret"}).exitCode, 0);
        QCOMPARE(m_sim->value(kLog + ".11.1.1.7.1"), "4x|" + hexOf("******"));
        QCOMPARE(m_sim->set({kLog + ".11.1.1.7.1", "s", ""}).exitCode, 0);
    }

};

QTEST_GUILESS_MAIN(TestSimLog)
#include "tst_simlog.moc"
