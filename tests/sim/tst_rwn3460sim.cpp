// The simulated RWN-3460 driven by real clients: net-snmp's snmpget/snmpwalk/snmpset,
// tftpd-hpa for the device's transfers and snmpsimd as an independent agent.

#include "SimFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <QtTest>

using namespace simtest;

namespace {

const QString kSysDescr = "1.3.6.1.2.1.1.1.0";
const QString kSysUpTime = "1.3.6.1.2.1.1.3.0";
const QString kTimeOfDay = "1.3.6.1.4.1.32473.2.5.9.4.8.7.0"; // the clock runs
const QString kSysContact = "1.3.6.1.2.1.1.4.0";
const QString kSysName = "1.3.6.1.2.1.1.5.0";
const QString kSysLocation = "1.3.6.1.2.1.1.6.0";
const QString kRoot = "1.3.6.1.4.1.32473.2.5.9";
const QString kHostAddress = kRoot + ".2.1.1.1.1.2.1";
const QString kIfAddress = kRoot + ".5.1.2.1.1.2.1";
const QString kChannel = kRoot + ".2.1.3.3.1.1.1.3.1";
const QString kRestart = kRoot + ".4.2.1.0";
const QString kFactory = kRoot + ".4.2.2.0";
const QString kApply = kRoot + ".4.2.3.0";
const QString kDiscard = kRoot + ".4.2.4.0";
const QString kTftpServer = kRoot + ".4.3.2.1.0";
const QString kTftpFile = kRoot + ".4.3.2.2.0";
const QString kTftpCommand = kRoot + ".4.3.2.4.0";
const QString kUpgrade = kRoot + ".4.3.2.5.0";
const QString kClientTrigger = kRoot + ".2.1.3.3.4.1.1.1.1";
const QString kClientMac = kRoot + ".2.1.3.3.4.2.1.2";
const QString kArrayPassword = kRoot + ".3.11.1.1.4.0"; // read back masked
const QString kWdsTrigger = kRoot + ".2.1.3.3.5.1.1.1.1";
const QString kWdsStatus = kRoot + ".2.1.3.3.5.2.1.9.1";
const QString kAclAdd = kRoot + ".2.1.3.3.2.3.2.1.2.1";
const QString kAclDelete = kRoot + ".2.1.3.3.2.3.2.1.3.1";
const QString kAclMac = kRoot + ".2.1.3.3.2.3.3.1.2";
const QString kNoMac = "4x|000000000000";

const QStringList kUsers = {"--user", "alice:SHA:alicepass1:AES:alicepriv1",
                            "--user", "bob:SHA-256:bobpass123:AES-256:bobpriv123",
                            "--user", "carl:MD5:carlpass1:DES:carlpriv1"};
const QStringList kV1 = {"-v1", "-c", "wrcommu"};
const QStringList kAlice = {"-v3", "-l", "authPriv", "-u", "alice", "-a", "SHA", "-A", "alicepass1",
                            "-x", "AES", "-X", "alicepriv1"};

QString hexText(const QString &s) { return "4x|" + hexOf(s.toUtf8()); }

} // namespace

class TestRwn3460Sim : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void readsMatchDataFile_data();
    void readsMatchDataFile();
    void refusedRequests_data();
    void refusedRequests();
    void refusedSets_data();
    void refusedSets();
    void setsChangeStateAndJournalInOrder();
    void journalTellsWhenASetArrived();
    void failingVarbindUndoesWholeSet();
    void restartIsSilentThenAnswersWithNewUptime();
    void applyDiscardAndFactoryDefault();
    void tftpGetFirmwareAndConfigRoundTrip();
    void lostUploadIsAcknowledgedButNeverSent();
    void tftpFailuresFailTheUpgradeCommand_data();
    void tftpFailuresFailTheUpgradeCommand();
    void startErrors_data();
    void startErrors();
    void snmpsimdServesTheSameValues();
    void stationTablesAreFilledOnlyByTheirTrigger();
    void accessListSlotsFilledAndEmptiedByTheDevice();
    void triggerThatFailsLate();
    void requestLogHoldsWhatPassedTheAccessCheck();

private:
    std::unique_ptr<Simulator> shared_; // for tests that change nothing
    Objects factory_;
};

void TestRwn3460Sim::initTestCase()
{
    factory_ = readDataFile(factoryDataPath());
    QVERIFY2(factory_.size() > 30, qPrintable(factoryDataPath()));
    shared_ = std::make_unique<Simulator>(kUsers);
    QVERIFY2(shared_->start(), qPrintable(shared_->error()));
}

void TestRwn3460Sim::cleanupTestCase()
{
    if (shared_)
        QVERIFY2(shared_->stop(true), qPrintable(shared_->error())); // SIGINT ends it as cleanly
}

void TestRwn3460Sim::readsMatchDataFile_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("cred");
    QTest::newRow("v1 walk") << "snmpwalk" << QStringList{"-v1", "-c", "rdcomm"};
    QTest::newRow("v2c walk") << "snmpwalk" << QStringList{"-v2c", "-c", "rdcomm"};
    QTest::newRow("v2c bulk walk") << "snmpbulkwalk" << QStringList{"-v2c", "-c", "rdcomm"};
    QTest::newRow("v2c write community reads too") << "snmpwalk" << QStringList{"-v2c", "-c", "wrcommu"};
    QTest::newRow("v3 SHA AES") << "snmpwalk" << kAlice;
    QTest::newRow("v3 SHA-256 AES-256") << "snmpwalk"
        << QStringList{"-v3", "-l", "authPriv", "-u", "bob", "-a", "SHA-256", "-A", "bobpass123",
                       "-x", "AES-256", "-X", "bobpriv123"};
    QTest::newRow("v3 MD5 DES") << "snmpwalk"
        << QStringList{"-v3", "-l", "authPriv", "-u", "carl", "-a", "MD5", "-A", "carlpass1",
                       "-x", "DES", "-X", "carlpriv1"};
    QTest::newRow("v3 authNoPriv") << "snmpwalk"
        << QStringList{"-v3", "-l", "authNoPriv", "-u", "alice", "-a", "SHA", "-A", "alicepass1"};
}

void TestRwn3460Sim::readsMatchDataFile()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, cred);
    RunResult r = run(tool, cred + QStringList{"-t", "1", "-r", "2", "-On", "-Ox", "-Ot", "-Oe",
                                               shared_->target(), "1.3.6.1"});
    QCOMPARE(r.exitCode, 0);
    Objects got = parseToolOutput(r.out);
    QVERIFY(got.value(kSysUpTime).startsWith("67|"));
    QVERIFY(got.value(kSysUpTime).mid(3).toLongLong() > 0);
    got.remove(kSysUpTime);
    QVERIFY(got.value(kTimeOfDay).startsWith("4x|"));
    got.remove(kTimeOfDay);
    Objects expected = factory_;
    expected.remove(kSysUpTime);
    expected.remove(kTimeOfDay);
    // The counters grow with every read (a walk before this one has grown them) and the
    // array password reads back masked.
    for (auto it = expected.begin(); it != expected.end();) {
        if (!it.value().startsWith("65|")) {
            ++it;
            continue;
        }
        QVERIFY2(got.take(it.key()).startsWith("65|"), qPrintable(it.key()));
        it = expected.erase(it);
    }
    expected[kArrayPassword] = "4x|" + hexOf("********");
    QCOMPARE(got, expected);
}

void TestRwn3460Sim::refusedRequests_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<QString>("expected");
    const QStringList name = {kSysName};
    const QStringList setName = {kSysName, "s", "x"};
    const QStringList quick = {"-t", "0.3", "-r", "0"};
    QTest::newRow("unknown community gets no answer") << "snmpget"
        << QStringList{"-v2c", "-c", "public"} + quick << name << "Timeout";
    QTest::newRow("v1 unknown community") << "snmpget"
        << QStringList{"-v1", "-c", "wrcommux"} + quick << name << "Timeout";
    QTest::newRow("read community cannot set") << "snmpset"
        << QStringList{"-v2c", "-c", "rdcomm"} << setName << "noAccess";
    QTest::newRow("v1 read community cannot set") << "snmpset"
        << QStringList{"-v1", "-c", "rdcomm"} << setName << "noSuchName";
    QTest::newRow("v3 wrong pass phrase") << "snmpget"
        << QStringList{"-v3", "-l", "authPriv", "-u", "alice", "-a", "SHA", "-A", "wrongpass1",
                       "-x", "AES", "-X", "alicepriv1"} << name << "Authentication failure";
    QTest::newRow("v3 unknown user") << "snmpget"
        << QStringList{"-v3", "-l", "authPriv", "-u", "mallory", "-a", "SHA", "-A", "alicepass1",
                       "-x", "AES", "-X", "alicepriv1"} << name << "Unknown user name";
    QTest::newRow("v3 unknown object") << "snmpget" << kAlice << QStringList{kRoot + ".9.9.0"}
        << "No Such Object";
    QTest::newRow("v1 unknown object") << "snmpget"
        << QStringList{"-v1", "-c", "rdcomm"} << QStringList{kRoot + ".9.9.0"} << "noSuchName";
}

void TestRwn3460Sim::refusedRequests()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, options);
    QFETCH(QStringList, operands);
    QFETCH(QString, expected);
    const QString before = shared_->value(kSysName);
    RunResult r = run(tool, options + QStringList{"-On", shared_->target()} + operands);
    QVERIFY2(r.all().contains(expected), qPrintable(r.all()));
    QCOMPARE(shared_->value(kSysName), before);
}

void TestRwn3460Sim::refusedSets_data()
{
    QTest::addColumn<QStringList>("cred");
    QTest::addColumn<QStringList>("varbind");
    QTest::addColumn<QString>("reason");        // as snmpset reports it
    QTest::addColumn<QString>("journalStatus"); // as the agent decided it
    const QStringList v2c;
    QTest::newRow("read-only") << v2c << QStringList{kSysDescr, "s", "x"} << "notWritable" << "notWritable";
    QTest::newRow("v1 read-only") << kV1 << QStringList{kSysDescr, "s", "x"} << "readOnly" << "readOnly";
    QTest::newRow("read-only MAC") << kAlice << QStringList{kRoot + ".5.1.2.1.1.5.1", "x", "001122334455"}
                                   << "notWritable" << "notWritable";
    QTest::newRow("wrong type") << v2c << QStringList{kSysName, "i", "3"} << "wrongType" << "wrongType";
    QTest::newRow("v1 wrong type") << kV1 << QStringList{kSysName, "i", "3"} << "badValue" << "wrongType";
    QTest::newRow("address as string") << v2c << QStringList{kHostAddress, "s", "192.168.0.9"}
                                       << "wrongType" << "wrongType";
    QTest::newRow("unknown object") << v2c << QStringList{"1.3.6.1.2.1.1.9.0", "i", "1"}
                                    << "noCreation" << "noCreation";
    QTest::newRow("v1 unknown object") << kV1 << QStringList{"1.3.6.1.2.1.1.9.0", "i", "1"}
                                       << "noSuchName" << "noCreation";
    QTest::newRow("value the device does not know") << v2c << QStringList{kRestart, "i", "2"}
                                                    << "wrongValue" << "wrongValue";
    QTest::newRow("v1 value the device does not know") << kV1 << QStringList{kApply, "i", "7"}
                                                       << "badValue" << "wrongValue";
    QTest::newRow("gateway off the subnet") << v2c << QStringList{kRoot + ".2.1.1.1.1.4.1", "a", "10.0.0.1"}
                                            << "inconsistentValue" << "inconsistentValue";
    QTest::newRow("address leaving its gateway behind")
        << v2c << QStringList{kHostAddress, "a", "10.0.0.5", kRoot + ".2.1.1.1.1.4.1", "a", "192.168.0.1"}
        << "inconsistentValue" << "inconsistentValue";
    QTest::newRow("name too long") << v2c << QStringList{kSysName, "s", QString(256, 'n')}
                                   << "wrongLength" << "wrongLength";
    QTest::newRow("trigger value unknown") << v2c << QStringList{kClientTrigger, "i", "2"}
                                           << "wrongValue" << "wrongValue";
    QTest::newRow("ACL add: no MAC") << v2c << QStringList{kAclAdd, "x", "000000000000"}
                                     << "wrongValue" << "wrongValue";
    QTest::newRow("ACL add: five octets") << v2c << QStringList{kAclAdd, "x", "00c0ca1122"}
                                          << "wrongLength" << "wrongLength";
    QTest::newRow("ACL add: seven octets") << v2c << QStringList{kAclAdd, "x", "00c0ca11223344"}
                                           << "wrongLength" << "wrongLength";
    QTest::newRow("ACL delete: not listed") << v2c << QStringList{kAclDelete, "x", "00c0ca112233"}
                                            << "inconsistentValue" << "inconsistentValue";
}

void TestRwn3460Sim::refusedSets()
{
    QFETCH(QStringList, cred);
    QFETCH(QStringList, varbind);
    QFETCH(QString, reason);
    QFETCH(QString, journalStatus);
    const QString before = shared_->value(varbind[0]);
    const int lines = shared_->journalLines().size();
    RunResult r = shared_->set(varbind, cred);
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QCOMPARE(shared_->value(varbind[0]), before);
    const QStringList journal = shared_->journalLines();
    QCOMPARE(journal.size(), lines + 1);
    QCOMPARE(parseJournalLine(journal.last()).status, journalStatus);
}

// A set sent 400 ms after the previous one was answered arrives at least 400 ms later
// on the simulator's clock, and no arrival lies beyond the time it has been running.
void TestRwn3460Sim::journalTellsWhenASetArrived()
{
    Simulator sim;
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const int before = sim.journalLines().size();
    QCOMPARE(sim.set({kSysContact, "s", "first"}).exitCode, 0);
    QTest::qWait(400);
    QCOMPARE(sim.set({kSysContact, "s", "second"}).exitCode, 0);
    const QList<JournalEntry> journal = sim.journal();
    QCOMPARE(journal.size(), before + 2);
    const JournalEntry &first = journal[before];
    const JournalEntry &second = journal[before + 1];
    QCOMPARE(first.varbinds, QStringList({kSysContact + "|4|first"}));
    QCOMPARE(second.seq, first.seq + 1);
    QVERIFY2(second.ms - first.ms >= 400, qPrintable(QString("%1 -> %2").arg(first.ms).arg(second.ms)));
    QVERIFY(first.ms >= 0);
    QVERIFY(second.ms <= sim.sinceStart());
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::setsChangeStateAndJournalInOrder()
{
    Simulator sim(kUsers);
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QCOMPARE(sim.set({kSysName, "s", "ap-lobby", kSysLocation, "s", "Lobby | 2nd floor",
                      kHostAddress, "a", "192.168.0.60", kChannel, "i", "11"}).exitCode, 0);
    QCOMPARE(sim.set({kSysContact, "s", "admin@example.org"}, kAlice).exitCode, 0);
    QCOMPARE(sim.set({kSysName, "s", "tab\there"}, kV1).exitCode, 0);

    QCOMPARE(sim.value(kSysName), hexText("tab\there"));
    QCOMPARE(sim.value(kSysLocation), hexText("Lobby | 2nd floor"));
    QCOMPARE(sim.value(kSysContact), hexText("admin@example.org"));
    QCOMPARE(sim.value(kHostAddress), QString("64|192.168.0.60"));
    QCOMPARE(sim.value(kChannel), QString("2|11"));

    // The arrival times are the second column; here only their order is known.
    QStringList withoutTimes;
    qint64 previous = 0;
    for (const QString &line : sim.journalLines()) {
        QStringList fields = line.split('\t');
        const qint64 ms = fields.takeAt(1).toLongLong();
        QVERIFY2(ms >= previous && ms <= sim.sinceStart(), qPrintable(line));
        previous = ms;
        withoutTimes << fields.join('\t');
    }
    const QStringList expected = {
        "1\t2c\twrcommu\tnoError\t1.3.6.1.2.1.1.5.0|4|ap-lobby\t1.3.6.1.2.1.1.6.0|4|Lobby | 2nd floor\t"
            + kHostAddress + "|64|192.168.0.60\t" + kChannel + "|2|11",
        "2\t3\talice\tnoError\t1.3.6.1.2.1.1.4.0|4|admin@example.org",
        "3\t1\twrcommu\tnoError\t1.3.6.1.2.1.1.5.0|4x|" + hexOf("tab\there"),
    };
    QCOMPARE(withoutTimes, expected);
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::failingVarbindUndoesWholeSet()
{
    const QString name = shared_->value(kSysName);
    RunResult r = shared_->set({kSysName, "s", "never", kSysDescr, "s", "x"});
    QVERIFY2(r.err.contains("notWritable"), qPrintable(r.err));
    QVERIFY2(r.err.contains("Failed object: .1.3.6.1.2.1.1.1.0"), qPrintable(r.err));
    QCOMPARE(shared_->value(kSysName), name);

    // A behaviour failing late (a transfer command without its parameters) undoes the
    // varbinds before it as well.
    r = shared_->set({kSysName, "s", "never", kTftpCommand, "i", "2", kUpgrade, "i", "1"});
    QVERIFY2(r.err.contains("inconsistentValue"), qPrintable(r.err));
    QCOMPARE(shared_->value(kSysName), name);
    QCOMPARE(shared_->value(kTftpCommand), QString("2|4"));
}

void TestRwn3460Sim::restartIsSilentThenAnswersWithNewUptime()
{
    Simulator sim({"--reboot-seconds", "2"});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QThread::msleep(1200);
    const qint64 uptimeBefore = sim.value(kSysUpTime).mid(3).toLongLong();
    QVERIFY2(uptimeBefore >= 100, qPrintable(QString::number(uptimeBefore)));
    QCOMPARE(sim.set({kSysName, "s", "not-applied"}).exitCode, 0);

    QElapsedTimer since;
    since.start();
    QCOMPARE(sim.set({kRestart, "i", "1"}).exitCode, 0); // answered before going down
    RunResult silent = sim.get({kSysName}, {}, "-t 0.5 -r 0");
    QVERIFY2(silent.err.contains("Timeout"), qPrintable(silent.all()));
    QVERIFY(sim.waitUntilAnswering(10000) >= 0);
    const qint64 down = since.elapsed();
    QVERIFY2(down >= 1800 && down < 5000, qPrintable(QString::number(down)));

    const qint64 uptimeAfter = sim.value(kSysUpTime).mid(3).toLongLong();
    QVERIFY2(uptimeAfter < 100, qPrintable(QString::number(uptimeAfter)));
    QCOMPARE(sim.value(kSysName), factory_.value(kSysName)); // not applied, so lost
    QCOMPARE(sim.value(kRestart), QString("2|0"));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::applyDiscardAndFactoryDefault()
{
    Simulator sim({"--reboot-seconds", "1"});
    QVERIFY2(sim.start(), qPrintable(sim.error()));

    // Apply stores and brings into effect: the interface takes the configured address.
    QCOMPARE(sim.set({kSysName, "s", "stored", kHostAddress, "a", "192.168.0.60"}).exitCode, 0);
    QCOMPARE(sim.value(kIfAddress), QString("64|192.168.0.50"));
    QCOMPARE(sim.set({kApply, "i", "1"}).exitCode, 0);
    QCOMPARE(sim.value(kIfAddress), QString("64|192.168.0.60"));
    QCOMPARE(sim.value(kApply), QString("2|0"));

    // The module's "Save and Activate": apply, discard "nothing" and reboot in one set.
    QCOMPARE(sim.set({kApply, "i", "1", kDiscard, "i", "0", kRestart, "i", "1"}).exitCode, 0);
    QVERIFY(sim.waitUntilAnswering(10000) >= 0);
    QCOMPARE(sim.value(kSysName), hexText("stored"));

    // Discard drops what was not stored (and restarts).
    QCOMPARE(sim.set({kSysName, "s", "dropped"}).exitCode, 0);
    QCOMPARE(sim.set({kDiscard, "i", "1"}).exitCode, 0);
    QVERIFY(sim.waitUntilAnswering(10000) >= 0);
    QCOMPARE(sim.value(kSysName), hexText("stored"));

    // Factory default: the data file's state again, after a restart.
    QCOMPARE(sim.set({kFactory, "i", "1"}).exitCode, 0);
    RunResult silent = sim.get({kSysName}, {}, "-t 0.3 -r 0");
    QVERIFY2(silent.err.contains("Timeout"), qPrintable(silent.all()));
    QVERIFY(sim.waitUntilAnswering(10000) >= 0);
    QCOMPARE(sim.value(kSysName), factory_.value(kSysName));
    QCOMPARE(sim.value(kHostAddress), factory_.value(kHostAddress));
    QCOMPARE(sim.value(kIfAddress), factory_.value(kIfAddress));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::tftpGetFirmwareAndConfigRoundTrip()
{
    TftpServer tftp;
    QVERIFY2(tftp.start(), qPrintable(tftp.error()));
    QTemporaryDir kept;
    Simulator sim({"--tftp-port", QString::number(tftp.port()), "--keep-fetched", kept.path()});
    QVERIFY2(sim.start(), qPrintable(sim.error()));

    QByteArray firmware(200 * 1024 + 17, '\0');
    for (int i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<char>((i * 7919) >> 3);
    QFile fw(tftp.dir() + "/RWN3460 v1.11.bin");
    QVERIFY(fw.open(QIODevice::WriteOnly));
    fw.write(firmware);
    fw.close();

    // Firmware: "Get", then the upgrade command fetches it before answering.
    QCOMPARE(sim.set({kTftpServer, "a", "127.0.0.1", kTftpFile, "s", "RWN3460 v1.11.bin"}).exitCode, 0);
    QCOMPARE(sim.set({kTftpCommand, "i", "2"}).exitCode, 0);
    RunResult up = sim.set({kUpgrade, "i", "1"});
    QVERIFY2(up.exitCode == 0, qPrintable(up.all()));
    QVERIFY2(sim.output().contains(QStringLiteral("tftp get RWN3460 v1.11.bin firmware %1 bytes").arg(firmware.size())),
             qPrintable(sim.output()));
    QCOMPARE(sim.value(kUpgrade), QString("2|6"));
    QFile copy(kept.path() + "/RWN3460 v1.11.bin");
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll() == firmware);

    // Backup: "Put" and "configSetting" upload the settings as .snmprec text.
    QCOMPARE(sim.set({kSysName, "s", "backed-up", kChannel, "i", "1"}).exitCode, 0);
    QCOMPARE(sim.set({kTftpFile, "s", "ap.kcf", kTftpCommand, "i", "3"}).exitCode, 0);
    up = sim.set({kUpgrade, "i", "2"});
    QVERIFY2(up.exitCode == 0, qPrintable(up.all()));
    QFile backup(tftp.dir() + "/ap.kcf");
    QVERIFY(backup.open(QIODevice::ReadOnly));
    const QByteArray config = backup.readAll();
    QVERIFY2(config.contains("1.3.6.1.2.1.1.5.0|4|backed-up\n"), config.constData());
    QVERIFY2(config.contains((kChannel + "|2|1\n").toLatin1()), config.constData());
    QVERIFY2(!config.contains("1.3.6.1.2.1.1.1.0|"), "read-only objects are not settings");
    QVERIFY2(!config.contains((kRestart + "|").toLatin1()), "commands are not settings");

    // Restore: "Get" and "Configsave" make the file's settings the device's, stored.
    QCOMPARE(sim.set({kSysName, "s", "changed", kChannel, "i", "6"}).exitCode, 0);
    QCOMPARE(sim.set({kTftpCommand, "i", "2"}).exitCode, 0);
    up = sim.set({kUpgrade, "i", "3"});
    QVERIFY2(up.exitCode == 0, qPrintable(up.all()));
    QCOMPARE(sim.value(kSysName), hexText("backed-up"));
    QCOMPARE(sim.value(kChannel), QString("2|1"));
    QCOMPARE(sim.set({kRestart, "i", "1"}).exitCode, 0);
    QVERIFY(sim.waitUntilAnswering(15000) >= 0);
    QCOMPARE(sim.value(kSysName), hexText("backed-up"));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::lostUploadIsAcknowledgedButNeverSent()
{
    TftpServer tftp;
    QVERIFY2(tftp.start(), qPrintable(tftp.error()));
    Simulator sim({"--tftp-port", QString::number(tftp.port()), "--lose-uploads"});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QCOMPARE(sim.set({kTftpServer, "a", "127.0.0.1", kTftpFile, "s", "lost.kcf", kTftpCommand, "i", "3"}).exitCode, 0);
    RunResult up = sim.set({kUpgrade, "i", "2"});
    QVERIFY2(up.exitCode == 0, qPrintable(up.all()));
    QVERIFY2(sim.output().contains("tftp put lost.kcf lost"), qPrintable(sim.output()));
    QVERIFY(!QFile::exists(tftp.dir() + "/lost.kcf"));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::tftpFailuresFailTheUpgradeCommand_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // put on the server under "file" unless empty
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing firmware") << "missing.bin" << QByteArray() << 2 << 1 << "genErr";
    QTest::newRow("missing certificate") << "missing.pem" << QByteArray() << 2 << 7 << "genErr";
    QTest::newRow("config that is not .snmprec")
        << "bad.kcf" << QByteArray("1.3.6.1.2.1.1.5.0|4|fine\nthis is not a record\n") << 2 << 3 << "wrongValue";
    QTest::newRow("config with a read-only object")
        << "ro.kcf" << QByteArray("1.3.6.1.2.1.1.1.0|4|another device\n") << 2 << 3 << "wrongValue";
    QTest::newRow("restore announced as Put") << "any.kcf" << QByteArray("x") << 3 << 3 << "inconsistentValue";
    QTest::newRow("backup announced as Get") << "out.kcf" << QByteArray() << 2 << 2 << "inconsistentValue";
}

void TestRwn3460Sim::tftpFailuresFailTheUpgradeCommand()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, direction);
    QFETCH(int, command);
    QFETCH(QString, reason);
    TftpServer tftp;
    QVERIFY2(tftp.start(), qPrintable(tftp.error()));
    if (!content.isEmpty()) {
        QFile f(tftp.dir() + "/" + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    Simulator sim({"--tftp-port", QString::number(tftp.port())});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString name = sim.value(kSysName);
    QCOMPARE(sim.set({kTftpServer, "a", "127.0.0.1", kTftpFile, "s", file,
                      kTftpCommand, "i", QString::number(direction)}).exitCode, 0);
    RunResult r = sim.set({kUpgrade, "i", QString::number(command)});
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QCOMPARE(sim.value(kSysName), name);
    QVERIFY(!QFile::exists(tftp.dir() + "/out.kcf"));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::startErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bad record") << QStringList{"--data", "@BAD@"} << "@BAD@:3: bad IpAddress '192.168.0.300'";
    QTest::newRow("missing data file") << QStringList{"--data", "/nonexistent/x.snmprec"}
                                       << "/nonexistent/x.snmprec: cannot open";
    QTest::newRow("busy port") << QStringList{"--listen", "@BUSY@"} << "cannot listen on 127.0.0.1:";
    QTest::newRow("bad listen") << QStringList{"--listen", "localhost"} << "bad --listen 'localhost'";
    QTest::newRow("user without pass") << QStringList{"--user", "alice:SHA"} << "bad --user 'alice:...'";
    QTest::newRow("unknown auth") << QStringList{"--user", "alice:SHA1024:alicepass1"}
                                  << "unknown authentication protocol 'SHA1024'";
    QTest::newRow("short pass") << QStringList{"--user", "alice:SHA:short"} << "shorter than 8";
    // Standard error often ends up in a log: pass phrases stay out of it.
    QTest::newRow("pass phrases not echoed")
        << QStringList{"--user", "alice:SHA:alicepass1:ROT13:alicepriv1"} << "bad --user 'alice:...': unknown privacy";
    QTest::newRow("misspelt option not echoed")
        << QStringList{"--usr=alice:SHA:alicepass1"} << "unknown or incomplete option '--usr'\n";
    QTest::newRow("unknown priv") << QStringList{"--user", "alice:SHA:alicepass1:ROT13:alicepriv1"}
                                  << "unknown privacy protocol 'ROT13'";
    QTest::newRow("bad reboot seconds") << QStringList{"--reboot-seconds", "soon"} << "bad --reboot-seconds";
}

void TestRwn3460Sim::startErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.snmprec");
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("1.3.6.1.2.1.1.1.0|4|ok\n\n1.3.6.1.2.1.1.2.0|64|192.168.0.300\n");
    f.close();
    QUdpSocket busy;
    QVERIFY(busy.bind(QHostAddress::LocalHost, 0));
    const QString busyAddress = QStringLiteral("127.0.0.1:%1").arg(busy.localPort());
    for (QString &a : args)
        a.replace("@BAD@", bad).replace("@BUSY@", busyAddress);
    expected.replace("@BAD@", bad);
    if (!args.contains("--listen"))
        args += {"--listen", "127.0.0.1:0"};
    RunResult r = run(simulatorPath(), args, 10000);
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(expected), qPrintable(r.err));
    QVERIFY2(!r.all().contains("alicepass1") && !r.all().contains("alicepriv1"), qPrintable(r.all()));
    QVERIFY(!r.out.contains("listening on"));
}

void TestRwn3460Sim::snmpsimdServesTheSameValues()
{
    const QString snmpsimd = QStandardPaths::findExecutable("snmpsimd");
    if (snmpsimd.isEmpty())
        QSKIP("snmpsimd is not installed (Debian package snmpsim); no second agent to compare with");
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("data")) && QDir().mkpath(dir.filePath("cache")));
    // snmpsimd takes the community from the file name.
    QVERIFY(QFile::copy(factoryDataPath(), dir.filePath("data/rdcomm.snmprec")));
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther
                                          | QFile::WriteOther);
    for (const char *sub : {"data", "cache"})
        QFile::setPermissions(dir.filePath(sub), QFile::ReadOther | QFile::ExeOther | QFile::WriteOther
                                                     | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(dir.filePath("data/rdcomm.snmprec"), QFile::ReadOther | QFile::ReadOwner);

    QProcess agent;
    agent.setProcessChannelMode(QProcess::MergedChannels);
    quint16 port = 0;
    QStringList args;
    for (int attempt = 0; attempt < 3 && agent.state() != QProcess::Running; ++attempt) {
        port = freeUdpPort();
        args = {"--data-dir=" + dir.filePath("data"), "--cache-dir=" + dir.filePath("cache"),
                QStringLiteral("--agent-udpv4-endpoint=127.0.0.1:%1").arg(port)};
        if (getuid() == 0)
            args += {"--process-user=nobody", "--process-group=nogroup"};
        agent.start(snmpsimd, args);
        QVERIFY(agent.waitForStarted(5000));
    }
    Objects fromSim, fromSnmpsimd;
    const QStringList sample = {kSysDescr, "1.3.6.1.2.1.1.2.0", kSysName, kHostAddress,
                                kRoot + ".2.1.3.3.1.1.1.34.1", kRoot + ".2.1.3.3.1.1.1.1.1", kRestart,
                                kUpgrade, kRoot + ".5.1.1.0", kRoot + ".5.1.2.1.1.5.1", kRoot + ".5.1.4.0"};
    const QStringList tool = {"-v2c", "-c", "rdcomm", "-On", "-Ox", "-Ot", "-Oe", "-t", "1", "-r", "0"};
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000 && agent.state() == QProcess::Running) {
        RunResult r = run("snmpget", tool + QStringList{QStringLiteral("127.0.0.1:%1").arg(port)} + sample);
        if (r.exitCode == 0) {
            fromSnmpsimd = parseToolOutput(r.out);
            break;
        }
    }
    const QString log = QString::fromUtf8(agent.readAll());
    agent.terminate();
    if (!agent.waitForFinished(5000)) {
        agent.kill();
        agent.waitForFinished(3000);
    }
    QVERIFY2(!fromSnmpsimd.isEmpty(), qPrintable("snmpsimd did not answer: " + log.right(2000)));
    RunResult r = run("snmpget", tool + QStringList{shared_->target()} + sample);
    QCOMPARE(r.exitCode, 0);
    fromSim = parseToolOutput(r.out);
    QCOMPARE(fromSim.size(), sample.size());
    for (const QString &oid : sample)
        QCOMPARE(fromSim.value(oid), fromSnmpsimd.value(oid));
}

void TestRwn3460Sim::stationTablesAreFilledOnlyByTheirTrigger()
{
    // What the radio finds: a client in slot 2, one in a slot the table does not have,
    // and a WDS peer that is up.
    QTemporaryDir dir;
    QFile gathered(dir.filePath("gathered.snmprec"));
    QVERIFY(gathered.open(QIODevice::WriteOnly));
    gathered.write((kClientMac + ".2|4x|001b63a4b5c6\n" + kClientMac + ".9|4x|5cf9386d7e8f\n"
                    + kWdsStatus + ".1|4|on\n").toUtf8());
    gathered.close();
    Simulator sim({"--gathered", gathered.fileName()});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QCOMPARE(sim.value(kClientMac + ".2"), kNoMac);

    QCOMPARE(sim.set({kClientTrigger, "i", "1"}).exitCode, 0);
    QCOMPARE(sim.value(kClientTrigger), QString("2|0"));
    QCOMPARE(sim.value(kClientMac + ".1"), kNoMac);
    QCOMPARE(sim.value(kClientMac + ".2"), QString("4x|001b63a4b5c6"));
    QVERIFY(sim.value(kClientMac + ".9").contains("No Such"));
    QCOMPARE(sim.value(kWdsStatus + ".1"), QString("4x|")); // each table has its own trigger
    QCOMPARE(sim.set({kWdsTrigger, "i", "1"}).exitCode, 0);
    QCOMPARE(sim.value(kWdsStatus + ".1"), hexText("on"));

    // An apply starts the radio afresh: nothing gathered any more.
    QCOMPARE(sim.set({kApply, "i", "1"}).exitCode, 0);
    QCOMPARE(sim.value(kClientMac + ".2"), kNoMac);
    QCOMPARE(sim.value(kWdsStatus + ".1"), QString("4x|"));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::accessListSlotsFilledAndEmptiedByTheDevice()
{
    // Fifteen of the sixteen slots taken.
    QTemporaryDir dir;
    Objects taken;
    for (int slot = 1; slot <= 15; ++slot)
        taken[kAclMac + "." + QString::number(slot)] = QStringLiteral("4x|00c0ca0000%1").arg(slot, 2, 16, QChar('0'));
    Simulator sim(variantArgs(dir.path(), taken));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QCOMPARE(sim.set({kAclAdd, "x", "3C2EFF4A7B01"}).exitCode, 0);
    QCOMPARE(sim.value(kAclMac + ".16"), QString("4x|3c2eff4a7b01"));
    QCOMPARE(sim.value(kAclAdd), kNoMac);

    RunResult r = sim.set({kAclAdd, "x", "001b63a4b5c6"});
    QVERIFY2(r.err.contains("resourceUnavailable"), qPrintable(r.err)); // full
    r = sim.set({kAclAdd, "x", "00c0ca000003"});
    QVERIFY2(r.err.contains("inconsistentValue"), qPrintable(r.err)); // listed

    QCOMPARE(sim.set({kAclDelete, "x", "00c0ca000003"}).exitCode, 0);
    QCOMPARE(sim.value(kAclMac + ".3"), kNoMac);
    QCOMPARE(sim.value(kAclDelete), kNoMac);
    QCOMPARE(sim.set({kAclAdd, "x", "001b63a4b5c6"}).exitCode, 0);
    QCOMPARE(sim.value(kAclMac + ".3"), QString("4x|001b63a4b5c6")); // the first empty slot
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::triggerThatFailsLate()
{
    Simulator sim({"--trigger-fail", "--trigger-delay", "400"});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const int before = sim.journalLines().size();
    QElapsedTimer clock;
    clock.start();
    RunResult r = sim.set({kClientTrigger, "i", "1"});
    QVERIFY2(r.err.contains("genErr"), qPrintable(r.err));
    QVERIFY(clock.elapsed() >= 400);
    QCOMPARE(sim.value(kClientMac + ".1"), kNoMac);
    QCOMPARE(sim.setsSince(before), (QList<QStringList>{{"genErr", kClientTrigger + "|2|1"}}));
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
}

void TestRwn3460Sim::requestLogHoldsWhatPassedTheAccessCheck()
{
    Simulator sim(kUsers);
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QStringList quick = {"-t", "0.5", "-r", "0", "-On"};
    const QStringList name = {sim.target(), kSysName};
    QCOMPARE(run("snmpget", kAlice + quick + name).exitCode, 0);
    // Turned away: by USM (wrong pass phrase), by the community.
    run("snmpget", QStringList{"-v3", "-l", "authPriv", "-u", "alice", "-a", "SHA", "-A", "wrongpass1", "-x",
                               "AES", "-X", "alicepriv1"} + quick + name);
    run("snmpget", QStringList{"-v2c", "-c", "public"} + quick + name);
    QCOMPARE(run("snmpget", QStringList{"-v2c", "-c", "rdcomm"} + quick + name).exitCode, 0);
    // One line for a PDU the agent works through in several passes.
    QCOMPARE(run("snmpbulkget", QStringList{"-v2c", "-c", "rdcomm", "-Cr5"} + quick + name).exitCode, 0);
    QCOMPARE(sim.set({kSysName, "s", "logged"}).exitCode, 0);

    QStringList got;
    for (const RequestEntry &e : sim.requests())
        got << QStringList{e.version, e.principal, e.level, e.command}.join(' ');
    QCOMPARE(got, QStringList({"3 alice authPriv get", "2c rdcomm - get", "2c rdcomm - getbulk",
                               "2c wrcommu - set"}));
    const QString output = sim.output();
    QVERIFY2(sim.stop(), qPrintable(sim.error()));
    QVERIFY2(!output.contains("alicepass1") && !output.contains("alicepriv1"), qPrintable(output));
}

QTEST_GUILESS_MAIN(TestRwn3460Sim)
#include "tst_rwn3460sim.moc"
