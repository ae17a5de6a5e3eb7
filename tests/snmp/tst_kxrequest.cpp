// Requests against Debian's snmpd on a free loopback port: what the layer reads must be
// what net-snmp's own command-line tools read, and every failure must arrive as its
// code without hanging or crashing.
#include "KxNetSnmp.h"
#include "KxRequest.h"
#include "KxTestSupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <stdexcept>

namespace {

using KxTest::Snmpd;

const char kSysDescr[] = "1.3.6.1.2.1.1.1";
const KxSNMPVarDesc kSystem[] = {
    {kSysDescr, "sysDescr", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.2", "sysObjectID", KxSyntax::ObjectId, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.3", "sysUpTime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.4", "sysContact", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.5", "sysName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.6", "sysLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.7", "sysServices", KxSyntax::Integer, KxAccess::ReadOnly},
    {nullptr},
};

const KxSNMPVarDesc kWritable[] = {
    {"1.3.6.1.2.1.1.4", "sysContact", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.5", "sysName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.6", "sysLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

// snmpd's table of "extend" lines, indexed by the line's name (a length-prefixed
// string); the name comes back as a pseudo key column.
const char kExtendTable[] = "1.3.6.1.4.1.8072.1.3.2.2.1";
const KxSNMPVarDesc kExtend[] = {
    {" ", "nsExtendToken", KxSyntax::DisplayString, KxAccess::Key},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.2", "nsExtendCommand", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.3", "nsExtendArgs", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.5", "nsExtendCacheTime", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.8072.1.3.2.2.1.21", "nsExtendStatus", KxSyntax::Integer, KxAccess::ReadOnly},
    {nullptr},
};

// A table served by a "pass" script: column 1 has five rows, column 2 three.
const KxSNMPVarDesc kUneven[] = {
    {" ", "index", KxSyntax::Integer, KxAccess::Key},
    {"1.3.6.1.4.1.32473.99.1.1", "number", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.4.1.32473.99.1.2", "label", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {nullptr},
};

const char kPassScript[] = R"(#!/bin/sh
exec awk -v mode="$1" -v req="$2" '
function cmp(a, b,   x, y, n, m, i) {
  n = split(a, x, "."); m = split(b, y, ".")
  for (i = 1; i <= n && i <= m; i++) { if (x[i] + 0 < y[i] + 0) return -1; if (x[i] + 0 > y[i] + 0) return 1 }
  return (n < m) ? -1 : (n > m) ? 1 : 0
}
BEGIN {
  if (mode == "-s") { print "not-writable"; exit }
  root = ".1.3.6.1.4.1.32473.99.1"; k = 0
  for (r = 1; r <= 5; r++) { k++; o[k] = root ".1." r; t[k] = "integer"; v[k] = r * 10 }
  for (r = 1; r <= 3; r++) { k++; o[k] = root ".2." r; t[k] = "string"; v[k] = "row " r }
  for (i = 1; i <= k; i++)
    if ((mode == "-g" && cmp(o[i], req) == 0) || (mode == "-n" && cmp(o[i], req) > 0)) {
      print o[i]; print t[i]; print v[i]; exit
    }
  print "NONE"
}')";

const QList<KxTest::SnmpdUser> kUsers = {
    {"md5des", "MD5", "md5password", "DES", "despassword", "priv"},
    {"shaaes", "SHA", "shapassword", "AES", "aespassword", "priv"},
    {"sha256aes256", "SHA-256", "sha256password", "AES-256", "aes256password", "priv"},
    {"authonly", "SHA", "authpassword", "", "", "auth"},
    {"nobody", "", "", "", "", "noauth"},
    {"asyncfirst", "SHA", "asyncpassword", "AES", "asyncprivacy", "priv"},
    {"bothways", "SHA", "bothpassword", "AES", "bothprivacy", "priv"},
};

struct Credentials {
    Credentials(quint8 version = 1, const QString &user = {}, int level = 1, int auth = 1,
                const QString &authPass = {}, int priv = 1, const QString &privPass = {}, int model = 3)
        : version(version), user(user), level(level), auth(auth), authPass(authPass), priv(priv),
          privPass(privPass), model(model)
    {
    }
    quint8 version;
    QString user;
    int level;
    int auth;
    QString authPass;
    int priv;
    QString privPass;
    int model;
};

void useCredentials(KxSNMPRequest &r, const Credentials &c)
{
    r.Security.version = c.version;
    r.Security.securityName = c.user;
    r.Security.securityLevel = c.level;
    r.Security.authProtocol = c.auth;
    r.Security.authPassword = c.authPass;
    r.Security.privProtocol = c.priv;
    r.Security.privPassword = c.privPass;
    r.Security.securityModel = c.model;
}

QStringList snmpArgs(const Credentials &c)
{
    if (c.version != 3)
        return {c.version == 0 ? "-v1" : "-v2c", "-c", Snmpd::ReadCommunity};
    static const QMap<int, QString> auth = {{2, "MD5"}, {3, "SHA"}, {5, "SHA-256"}};
    static const QMap<int, QString> priv = {{2, "DES"}, {4, "AES"}, {21, "AES-256"}};
    QStringList args = {"-v3", "-u", c.user, "-l",
                        c.level == 1 ? "noAuthNoPriv" : c.level == 2 ? "authNoPriv" : "authPriv"};
    if (c.level >= 2)
        args << "-a" << auth.value(c.auth) << "-A" << c.authPass;
    if (c.level == 3)
        args << "-x" << priv.value(c.priv) << "-X" << c.privPass;
    return args;
}

// "OID value" lines of snmpwalk/snmpget -On -Oq, with string quotes removed.
QMap<QString, QString> parseNumeric(const QString &output)
{
    QMap<QString, QString> values;
    for (const QString &line : output.split('\n', Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(' ');
        QString oid = line.left(space).mid(1);
        QString value = space < 0 ? QString() : line.mid(space + 1);
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        if (value.startsWith('.'))
            value = value.mid(1);
        values.insert(oid, value);
    }
    return values;
}

// The module's application shows an error that escapes a handler and goes on; so does
// this one, keeping what it caught for the tests to read.
class CatchingApplication : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;
    QStringList caught;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QCoreApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            caught << QString::fromLocal8Bit(e.what());
        }
        return false;
    }
};

CatchingApplication *app()
{
    return static_cast<CatchingApplication *>(QCoreApplication::instance());
}

// CPU time this process has used, user and system, in milliseconds.
qint64 cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

const Credentials kShaAes{3, "shaaes", 3, 3, "shapassword", 4, "aespassword"};

struct Recorder {
    QList<KxSNMPError> errors;
    void attach(KxSNMPRequest &r)
    {
        r.ErrorHandler = [this](const KxSNMPError &e) { errors.append(e); };
    }
};

} // namespace

Q_DECLARE_METATYPE(Credentials)

class TestKxRequest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_bootDir;
    Snmpd m_agent;

    void useAgent(KxSNMPRequest &r, const Credentials &c = {})
    {
        r.Device.address = QStringLiteral("127.0.0.1");
        r.Device.port = m_agent.Port();
        useCredentials(r, c);
    }

    QMap<QString, QString> walk(const QString &root, const Credentials &c = {})
    {
        return parseNumeric(KxTest::Run("snmpwalk", snmpArgs(c) + QStringList{"-On", "-Oq", m_agent.Peer(), root}));
    }

    // Walks a table list synchronously; each row as the list's values.
    QList<QStringList> walkRows(KxSNMPRequest &r, bool *ok)
    {
        QList<QStringList> rows;
        bool first = true;
        for (int guard = 0; guard < 1000; ++guard) {
            const bool more = r.Get(first, *ok);
            first = false;
            if (!more)
                break;
            QStringList row;
            for (int i = 0; i < r.VarList.count(); ++i)
                row << r.VarList[i].Value;
            rows << row;
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bootDir.isValid());
        OpenGlobalSession(m_bootDir.path());
        const QString script = m_agent.Dir() + "/uneven.sh";
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kPassScript);
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString extra = QStringLiteral(
                                  "dontLogTCPWrappersConnects yes\n"
                                  "sysservices 72\n"
                                  "rocommunity v1view 127.0.0.1 .1.3.6.1.4.1.32473.99\n"
                                  "pass .1.3.6.1.4.1.32473.99 /bin/sh %1\n"
                                  "extend alpha /bin/true\n"
                                  "extend beta /bin/echo hello world\n"
                                  "extend gamma /bin/false x\n")
                                  .arg(script);
        QVERIFY2(m_agent.Start(kUsers, extra), qPrintable(m_agent.Error()));
    }

    void cleanupTestCase() { m_agent.Stop(); }

    void systemGroupMatchesSnmpget_data()
    {
        QTest::addColumn<Credentials>("credentials");
        QTest::newRow("v1") << Credentials{0};
        QTest::newRow("v2c") << Credentials{1};
        QTest::newRow("v3 MD5/DES") << Credentials{3, "md5des", 3, 2, "md5password", 2, "despassword"};
        QTest::newRow("v3 SHA/AES-128") << Credentials{3, "shaaes", 3, 3, "shapassword", 4, "aespassword"};
        QTest::newRow("v3 SHA-256/AES-256")
            << Credentials{3, "sha256aes256", 3, 5, "sha256password", 21, "aes256password"};
        QTest::newRow("v3 authNoPriv") << Credentials{3, "authonly", 2, 3, "authpassword"};
        QTest::newRow("v3 noAuthNoPriv") << Credentials{3, "nobody", 1};
    }

    void systemGroupMatchesSnmpget()
    {
        QFETCH(Credentials, credentials);
        KxSNMPRequest r;
        useAgent(r, credentials);
        Recorder recorder;
        recorder.attach(r);
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        bool ok = true;
        QCOMPARE(r.Get(true, ok), false);
        QVERIFY2(ok, recorder.errors.isEmpty() ? "" : qPrintable(recorder.errors.first().Text));
        const auto expected = walk("1.3.6.1.2.1.1", credentials);
        QVERIFY(!expected.isEmpty());
        for (int i = 0; i < r.VarList.count(); ++i) {
            if (r.VarList[i].Syntax == KxSyntax::TimeTicks)
                continue; // it moves between the two reads
            QCOMPARE(r.VarList[i].Value, expected.value(r.VarList[i].OID + ".0"));
            QCOMPARE(r.VarList[i].LastOid, r.VarList[i].OID + ".0");
        }
        QVERIFY(r.VarList[2].Value.contains(':'));

        // The same through the event pump.
        for (int i = 0; i < r.VarList.count(); ++i)
            r.VarList[i].Value.clear();
        KxSNMPError result;
        int calls = 0;
        r.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; ++calls; }, nullptr, true);
        QCOMPARE(r.PendingCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
        QCOMPARE(result.Code, 0);
        QCOMPARE(result.Text, QString("(KxSNMP++) Ok!"));
        QVERIFY(result.Finished);
        QCOMPARE(result.AgentPort, m_agent.Port());
        QCOMPARE(result.AgentAddress, QString("127.0.0.1"));
        QCOMPARE(r.VarList[0].Value, expected.value(QString(kSysDescr) + ".0"));
        QCOMPARE(r.PendingCount(), 0);
    }

    void idlePumpDoesNotWake()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        bool done = false;
        r.GetAsync([&](void *, const KxSNMPError &, KxSNMPVarList &) { done = true; }, nullptr, true);
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        _SnmpEventProcessor &pump = GlobalSession()->EventProcessor();
        const quint64 before = pump.WakeUps();
        QTest::qWait(1000);
        QCOMPARE(pump.WakeUps(), before);
    }

    void tableWalkMatchesSnmpwalk()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kExtend, KxItemType::Table, 1);
        bool ok = true;
        const QList<QStringList> rows = walkRows(r, &ok);
        QVERIFY(ok);
        const auto expected = walk(kExtendTable);
        QCOMPARE(rows.size(), 3);
        // Length-prefixed names sort shorter first.
        const QStringList names = {"beta", "alpha", "gamma"};
        for (int row = 0; row < rows.size(); ++row) {
            const QString &name = names[row];
            QCOMPARE(rows[row][0], name);
            QString instance = QString::number(name.size());
            for (QChar c : name)
                instance += '.' + QString::number(c.unicode());
            for (int col = 1; col < r.VarList.count(); ++col)
                QCOMPARE(rows[row][col], expected.value(r.VarList[col].OID + '.' + instance));
        }
        QCOMPARE(rows[0][2], QString("hello world"));
        for (int i = 1; i < r.VarList.count(); ++i)
            QCOMPARE(r.VarList[i].Value, QString("(NOTDONE)"));
    }

    void asyncWalkRowByRow()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kExtend, KxItemType::Table, 1);
        QStringList names;
        bool done = false;
        int code = -1;
        KxCompletion next = [&](void *, const KxSNMPError &e, KxSNMPVarList &list) {
            code = e.Code;
            if (e.Finished) {
                done = true;
                return;
            }
            names << list[0].Value;
            r.GetAsync(next, nullptr, false);
        };
        r.GetAsync(next, nullptr, true);
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(code, 0);
        QCOMPARE(names, QStringList({"beta", "alpha", "gamma"}));
    }

    void shorterColumnTurnsNotDone()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kUneven, KxItemType::Table, 1);
        bool ok = true;
        const QList<QStringList> rows = walkRows(r, &ok);
        QVERIFY(ok);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[0], QStringList({"1", "10", "row 1"}));
        QCOMPARE(rows[2], QStringList({"3", "30", "row 3"}));
        QCOMPARE(rows[3], QStringList({"4", "40", "(NOTDONE)"}));
        QCOMPARE(rows[4], QStringList({"5", "50", "(NOTDONE)"}));
        // A finished column keeps asking past the end of the current row.
        QCOMPARE(r.VarList[2].LastOid, QString("1.3.6.1.4.1.32473.99.1.2.5"));
    }

    void v1WalkEndsWithoutError()
    {
        KxSNMPRequest r;
        useAgent(r, Credentials{0});
        r.Security.readCommunity = "v1view"; // the view ends with this table
        Recorder recorder;
        recorder.attach(r);
        r.VarList = KxSNMPVarList(kUneven, KxItemType::Table, 1);
        r.VarList[2].Access = KxAccess::Excluded;
        bool ok = true;
        const QList<QStringList> rows = walkRows(r, &ok);
        QVERIFY(ok);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(r.ErrorSerial, 0);
        QVERIFY(recorder.errors.isEmpty());

        bool done = false;
        KxSNMPError last;
        int rowsAsync = 0;
        KxCompletion next = [&](void *, const KxSNMPError &e, KxSNMPVarList &) {
            last = e;
            if (e.Finished) {
                done = true;
                return;
            }
            ++rowsAsync;
            r.GetAsync(next, nullptr, false);
        };
        r.GetAsync(next, nullptr, true);
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(last.Code, 0);
        QCOMPARE(rowsAsync, 5);
        QCOMPARE(r.ErrorSerial, 0);
    }

    void failuresGiveTheirCode_data()
    {
        QTest::addColumn<Credentials>("credentials");
        QTest::addColumn<QString>("community");
        QTest::addColumn<bool>("unreachable");
        QTest::addColumn<int>("code");
        QTest::newRow("wrong community times out") << Credentials{1} << "wrong" << false << -405;
        QTest::newRow("nothing listens") << Credentials{1} << "rdcomm" << true << -405;
        QTest::newRow("wrong auth password")
            << Credentials{3, "shaaes", 3, 3, "wrongpassword", 4, "aespassword"} << "" << false << -308;
        QTest::newRow("unknown user") << Credentials{3, "stranger", 1} << "" << false << -211;
        QTest::newRow("3DES is not available")
            << Credentials{3, "shaaes", 3, 3, "shapassword", 3, "aespassword"} << "" << false << -313;
        QTest::newRow("unknown auth protocol")
            << Credentials{3, "shaaes", 3, 9, "shapassword", 4, "aespassword"} << "" << false << -312;
        QTest::newRow("security model not USM")
            << Credentials{3, "nobody", 1, 1, "", 1, "", 1} << "" << false << -201;
        QTest::newRow("short auth password")
            << Credentials{3, "shaaes", 2, 3, "short"} << "" << false << -307;
    }

    void failuresGiveTheirCode()
    {
        QFETCH(Credentials, credentials);
        QFETCH(QString, community);
        QFETCH(bool, unreachable);
        QFETCH(int, code);
        KxSNMPRequest r;
        useAgent(r, credentials);
        if (unreachable)
            r.Device.port = KxTest::FreeUdpPort();
        if (!community.isEmpty())
            r.Security.readCommunity = community;
        r.Timeout = 30;
        r.Retries = 1;
        Recorder recorder;
        recorder.attach(r);
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        r.VarList[0].Value = "stale";
        QElapsedTimer clock;
        clock.start();
        bool ok = true;
        QCOMPARE(r.Get(true, ok), false);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!ok);
        QCOMPARE(recorder.errors.size(), 1);
        QCOMPARE(recorder.errors[0].Code, code);
        QCOMPARE(recorder.errors[0].Text, CodeText(code));
        QCOMPARE(recorder.errors[0].ErrorSerial, 1);
        QCOMPARE(r.ErrorSerial, 1);
        // The variables asked for come back without values.
        QCOMPARE(r.VarList[0].Value, QString(""));
        QCOMPARE(r.VarList[1].Value, QString("(NULL)"));

        // The same failure through the pump reaches the completion and leaves values.
        r.VarList[1].Value = "kept";
        KxSNMPError result;
        int calls = 0;
        r.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; ++calls; }, nullptr, true);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
        QCOMPARE(result.Code, code);
        QVERIFY(result.Finished);
        QCOMPARE(r.VarList[1].Value, QString("kept"));
        QCOMPARE(r.PendingCount(), 0);
    }

    void agentStoppingMidWalk()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.Timeout = 30;
        r.VarList = KxSNMPVarList(kExtend, KxItemType::Table, 1);
        Recorder recorder;
        recorder.attach(r);
        bool ok = true;
        QVERIFY(r.Get(true, ok));
        QCOMPARE(r.VarList[0].Value, QString("beta"));
        m_agent.Pause();
        const bool more = r.Get(false, ok);
        m_agent.Resume();
        QVERIFY(!more);
        QVERIFY(!ok);
        QCOMPARE(recorder.errors.size(), 1);
        QCOMPARE(recorder.errors[0].Code, -405);
        for (int i = 1; i < r.VarList.count(); ++i)
            QCOMPARE(r.VarList[i].Value, QString("(NOTDONE)"));
    }

    void setWithIndexList()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kWritable, KxItemType::Scalars, 0);
        bool ok = true;
        r.Get(true, ok);
        QVERIFY(ok);
        const QString nameBefore = r.VarList[1].Value;
        r.VarList[0].Value = "contact before";
        r.VarList[1].Value = "must not be sent";
        const QStringList values = {"contact-A", "location-B"};
        r.Set(ok, false, "0,2", &values);
        QVERIFY(ok);
        const auto now = walk("1.3.6.1.2.1.1");
        QCOMPARE(now.value("1.3.6.1.2.1.1.4.0"), QString("contact-A"));
        QCOMPARE(now.value("1.3.6.1.2.1.1.5.0"), nameBefore);
        QCOMPARE(now.value("1.3.6.1.2.1.1.6.0"), QString("location-B"));
        // Values and access flags are as before the call.
        QCOMPARE(r.VarList[0].Value, QString("contact before"));
        QCOMPARE(r.VarList[1].Value, QString("must not be sent"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(r.VarList[i].Access, KxAccess::ReadWrite);

        // An excluded variable listed in the index list is sent; one left out stays out.
        r.VarList[0].Access = KxAccess::ReadWrite | KxAccess::Excluded;
        r.VarList[1].Access = KxAccess::ReadWrite | KxAccess::Excluded;
        r.VarList[0].Value = "contact-C";
        r.VarList[2].Value = "location-D";
        r.Set(ok, false, "0,2");
        QVERIFY(ok);
        QCOMPARE(r.VarList[0].Access, KxAccess::ReadWrite | KxAccess::Excluded);
        QCOMPARE(r.VarList[1].Access, KxAccess::ReadWrite | KxAccess::Excluded);
        const auto after = walk("1.3.6.1.2.1.1");
        QCOMPARE(after.value("1.3.6.1.2.1.1.4.0"), QString("contact-C"));
        QCOMPARE(after.value("1.3.6.1.2.1.1.5.0"), nameBefore);
        QCOMPARE(after.value("1.3.6.1.2.1.1.6.0"), QString("location-D"));
    }

    void setRefusedByTheAgent_data()
    {
        QTest::addColumn<quint8>("version");
        QTest::addColumn<int>("code");
        QTest::newRow("v2c not writable") << quint8(1) << -117;
        QTest::newRow("v1 no such name") << quint8(0) << -102;
    }

    void setRefusedByTheAgent()
    {
        QFETCH(quint8, version);
        QFETCH(int, code);
        KxSNMPRequest r;
        useAgent(r, Credentials{version});
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        r.VarList[0].Access = KxAccess::ReadWrite;
        r.VarList[0].Value = "new description";
        Recorder recorder;
        recorder.attach(r);
        bool ok = true;
        r.Set(ok, false, "0");
        QVERIFY(!ok);
        QCOMPARE(recorder.errors.size(), 1);
        QCOMPARE(recorder.errors[0].Code, code);

        KxSNMPError result;
        bool done = false;
        r.SetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; done = true; },
                   nullptr, false, "0");
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(result.Code, code);
        QCOMPARE(result.ErrorIndex, 1);
        QVERIFY(result.Finished);
    }

    void setAsyncThenReadBack()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kWritable, KxItemType::Scalars, 0);
        r.VarList[1].Access = KxAccess::Excluded;
        r.VarList[0].Value = "async contact";
        r.VarList[2].Value = "async location";
        KxSNMPError result;
        bool done = false;
        r.SetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; done = true; },
                   nullptr, true);
        // The list is back to its own values as soon as the PDU is built.
        QCOMPARE(r.VarList[1].Access, KxAccess::Excluded);
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(result.Code, 0);
        QCOMPARE(walk("1.3.6.1.2.1.1.6").value("1.3.6.1.2.1.1.6.0"), QString("async location"));
    }

    void layerFailuresAreRaised()
    {
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        bool ok = true;
        try {
            r.Get(false, ok);
            QFAIL("a continued read of scalars must be refused");
        } catch (const KxException &e) {
            QCOMPARE(e.HelpContext(), -510);
        }
        r.VarList.ItemType = 9;
        Recorder recorder;
        recorder.attach(r);
        QVERIFY(!r.Get(true, ok));
        QVERIFY(!ok);
        QCOMPARE(recorder.errors.value(0).Code, -515);
        try {
            r.Set(ok, false);
            QFAIL("a set of an unknown list type must be refused");
        } catch (const KxException &e) {
            QCOMPARE(e.HelpContext(), -515);
        }
        r.VarList.ItemType = KxItemType::Scalars;
        r.Device.address = "no-such-host.invalid";
        try {
            r.Get(true, ok);
            QFAIL("an address that does not resolve must be refused");
        } catch (const KxException &e) {
            QCOMPARE(e.HelpContext(), -509);
            QCOMPARE(e.Text(), QString("(KxSNMP++) Invalid IP Address or DNS name!"));
        }
    }

    void requestKeepsItsSnapshot()
    {
        const KxSNMPDevice saved = GlobalDevice;
        GlobalDevice.address = "127.0.0.2";
        KxSNMPRequest before;
        GlobalDevice.address = "127.0.0.3";
        QCOMPARE(before.Device.address, QString("127.0.0.2"));
        QCOMPARE(before.Timeout, 100);
        QCOMPARE(before.Security.readCommunity, QString("rdcomm"));
        GlobalDevice = saved;
    }

    void destroyingWaitsForOutstandingAnswers()
    {
        int calls = 0;
        QElapsedTimer clock;
        {
            auto r = std::make_unique<KxSNMPRequest>();
            useAgent(*r);
            r->Device.port = KxTest::FreeUdpPort();
            r->Timeout = 20;
            r->Retries = 0;
            r->VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
            r->GetAsync([&](void *, const KxSNMPError &, KxSNMPVarList &) { ++calls; }, nullptr, true);
            clock.start();
            r.reset();
        }
        const qint64 quick = clock.elapsed();
        QVERIFY2(quick < 3000, qPrintable(QString::number(quick)));
        QVERIFY(quick >= 150);
        QCOMPARE(calls, 0); // the owner is going away: nothing reaches it

        auto slow = std::make_unique<KxSNMPRequest>();
        useAgent(*slow);
        slow->Device.port = KxTest::FreeUdpPort();
        slow->Timeout = 1000;
        slow->VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        slow->GetAsync([&](void *, const KxSNMPError &, KxSNMPVarList &) { ++calls; }, nullptr, true);
        clock.restart();
        slow.reset();
        const qint64 capped = clock.elapsed();
        QVERIFY2(capped >= 5900 && capped < 8000, qPrintable(QString::number(capped)));
        QCOMPARE(calls, 0);
        // The late answer still arrives at the pump and finds the request gone.
        QTest::qWait(100);
    }

    // net-snmp may end an exchange inside the send itself (a v3 engine probe that
    // times out, a PDU too long to build): the caller still hears of it exactly once,
    // from the pump and not from inside its own call.
    void exchangeEndedInsideTheSendCompletesOnce_data()
    {
        QTest::addColumn<bool>("v3");
        QTest::newRow("v3 get to a port nobody listens on") << true;
        QTest::newRow("v2c set of a 70,000-character value") << false;
    }

    void exchangeEndedInsideTheSendCompletesOnce()
    {
        QFETCH(bool, v3);
        KxSNMPRequest r;
        useAgent(r, v3 ? kShaAes : Credentials{1});
        r.Timeout = 20;
        Recorder recorder;
        recorder.attach(r);
        int calls = 0;
        KxSNMPError result;
        const KxCompletion completion = [&](void *, const KxSNMPError &e, KxSNMPVarList &) {
            result = e;
            ++calls;
        };
        int expected = KxCode::Timeout;
        if (v3) {
            r.Device.port = KxTest::FreeUdpPort();
            r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
            r.GetAsync(completion, nullptr, true);
        } else {
            r.VarList = KxSNMPVarList(kWritable, KxItemType::Scalars, 0);
            r.VarList[0].Value = QString(70000, QLatin1Char('x'));
            bool ok = true;
            r.Set(ok, false, "0");
            QVERIFY(!ok);
            expected = recorder.errors.value(0).Code;
            QVERIFY(expected != 0 && expected != KxCode::Timeout);
            r.SetAsync(completion, nullptr, false, "0");
        }
        QCOMPARE(calls, 0);
        QCOMPARE(r.PendingCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
        QCOMPARE(result.Code, expected);
        QVERIFY(result.Finished);
        QCOMPARE(r.PendingCount(), 0);
        QTest::qWait(300);
        QCOMPARE(calls, 1);
    }

    // The engine discovery of an asynchronous SNMPv3 request goes through the pump:
    // the window's timers keep running until the time-out, and every request that
    // waited for the same discovery hears of it once.
    void v3DiscoveryKeepsTheEventLoopRunning()
    {
        const quint16 silent = KxTest::FreeUdpPort();
        KxSNMPRequest first;
        KxSNMPRequest second;
        QList<int> codes;
        int ticksAtEnd = -1;
        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(20);
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start();
        for (KxSNMPRequest *r : {&first, &second}) {
            useAgent(*r, kShaAes);
            r->Device.port = silent;
            r->Timeout = 50;
            r->Retries = 1;
            r->VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
            r->GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) {
                codes << e.Code;
                ticksAtEnd = ticks;
            }, nullptr, true);
        }
        QCOMPARE(codes.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(codes.size(), 2, 5000);
        QCOMPARE(codes, QList<int>({-405, -405}));
        // Two attempts of half a second each with a tick every 20 ms; a blocked
        // event loop would have seen one at most.
        QVERIFY2(ticksAtEnd >= 5, qPrintable(QString::number(ticksAtEnd)));
        QTest::qWait(200);
        QCOMPARE(codes.size(), 2);
    }

    void v3FirstRequestToAnEngineIsAsynchronous()
    {
        KxSNMPRequest r;
        useAgent(r, Credentials{3, "asyncfirst", 3, 3, "asyncpassword", 4, "asyncprivacy"});
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        KxSNMPError result;
        int calls = 0;
        r.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; ++calls; }, nullptr, true);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
        QCOMPARE(result.Code, 0);
        QCOMPARE(r.VarList[0].Value, walk(QString(kSysDescr) + ".0").value(QString(kSysDescr) + ".0"));
        // The engine is known now: the next one goes straight out.
        r.VarList[0].Value.clear();
        r.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; ++calls; }, nullptr, true);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 2, 5000);
        QCOMPARE(result.Code, 0);
        QVERIFY(!r.VarList[0].Value.isEmpty());
    }

    // A synchronous and an asynchronous request of the same user share the user's
    // keys: opening the one session leaves the other able to sign.
    void v3SyncAndAsyncShareTheirUser()
    {
        KxSNMPRequest r;
        useAgent(r, Credentials{3, "bothways", 3, 3, "bothpassword", 4, "bothprivacy"});
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        Recorder recorder;
        recorder.attach(r);
        bool ok = true;
        r.Get(true, ok);
        QVERIFY(ok);
        KxSNMPError result;
        int calls = 0;
        r.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; ++calls; }, nullptr, true);
        // While the asynchronous session still learns the engine.
        r.Get(true, ok);
        QVERIFY2(ok, recorder.errors.isEmpty() ? "" : qPrintable(recorder.errors.first().Text));
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
        QCOMPARE(result.Code, 0);
        r.Get(true, ok);
        QVERIFY(ok);
    }

    // A completion that shows a modal window runs a nested event loop: other answers,
    // their completions and timers go on meanwhile, in arrival order, and the record the
    // outer completion was given is still as it was when the loop ends.
    void completionsRunOnTopOfANestedLoop()
    {
        KxSNMPRequest outer;
        useAgent(outer);
        outer.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        std::vector<std::unique_ptr<KxSNMPRequest>> inner;
        QStringList events;
        int ticks = 0;
        int marker = 0;
        bool recordIntact = false;
        outer.GetAsync([&](void *data, const KxSNMPError &e, KxSNMPVarList &list) {
            events << "outer begins";
            const QString text = e.Text;
            const QString value = list[0].Value;
            for (int n = 0; n < 3; ++n) {
                inner.push_back(std::make_unique<KxSNMPRequest>());
                useAgent(*inner.back());
                inner.back()->VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
                inner.back()->GetAsync([&events, n](void *, const KxSNMPError &ie, KxSNMPVarList &) {
                    events << QString("inner %1: %2").arg(n).arg(ie.Code);
                }, nullptr, true);
            }
            QEventLoop loop;
            QTimer ticker;
            connect(&ticker, &QTimer::timeout, &loop, [&] { ++ticks; });
            ticker.start(20);
            QTimer::singleShot(1000, &loop, &QEventLoop::quit);
            loop.exec();
            recordIntact = data == &marker && e.Code == 0 && e.Text == text && e.Finished
                           && e.AgentPort == m_agent.Port() && list[0].Value == value;
            events << "outer ends";
        }, &marker, true);
        QTRY_VERIFY_WITH_TIMEOUT(events.contains("outer ends"), 10000);
        QCOMPARE(events, QStringList({"outer begins", "inner 0: 0", "inner 1: 0", "inner 2: 0", "outer ends"}));
        QVERIFY(ticks > 0);
        QVERIFY(recordIntact);
        QCOMPARE(outer.PendingCount(), 0);
    }

    // A completion that throws reaches the application's handler, and the pump goes on
    // with the answers behind it and with later requests.
    void throwingCompletionLeavesThePumpWorking()
    {
        app()->caught.clear();
        KxSNMPRequest thrower;
        KxSNMPRequest next;
        for (KxSNMPRequest *r : {&thrower, &next}) {
            useAgent(*r);
            r->VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        }
        int nextCalls = 0;
        thrower.GetAsync([](void *, const KxSNMPError &, KxSNMPVarList &) {
            throw std::runtime_error("completion failed");
        }, nullptr, true);
        next.GetAsync([&](void *, const KxSNMPError &, KxSNMPVarList &) { ++nextCalls; }, nullptr, true);
        QTRY_COMPARE_WITH_TIMEOUT(nextCalls, 1, 5000);
        QCOMPARE(app()->caught, QStringList({"completion failed"}));
        QCOMPARE(thrower.PendingCount(), 0);
        thrower.GetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { nextCalls += e.Code == 0 ? 10 : 100; },
                         nullptr, true);
        QTRY_COMPARE_WITH_TIMEOUT(nextCalls, 11, 5000);
    }

    // An SNMPv1 agent refuses a write to a table row with noSuchName, echoing the
    // row the list last read: that is a failure in both paths, never "Ok".
    void v1NoSuchNameFailsATableSet()
    {
        KxSNMPRequest r;
        useAgent(r, Credentials{0});
        r.VarList = KxSNMPVarList(kUneven, KxItemType::Table, 1);
        Recorder recorder;
        recorder.attach(r);
        bool ok = true;
        QVERIFY(r.Get(true, ok));
        QVERIFY(ok);
        QCOMPARE(r.VarList[0].Value, QString("1"));
        r.VarList[1].Access = KxAccess::ReadWrite;
        r.VarList[1].Value = "11";
        r.VarList[2].Access = KxAccess::ReadOnly;
        r.Set(ok, false);
        QVERIFY(!ok);
        QCOMPARE(recorder.errors.value(0).Code, -102);

        KxSNMPError result;
        bool done = false;
        r.SetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; done = true; }, nullptr, false);
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(result.Code, -102);
        QCOMPARE(result.Text, CodeText(-102));
        QVERIFY(result.Finished);
    }

    // The answer to a set carries every sent variable; read back pairs each readable
    // one with its own OID, so a write-only variable in between shifts nothing.
    void readBackPairsByOid_data()
    {
        QTest::addColumn<bool>("async");
        QTest::newRow("synchronous") << false;
        QTest::newRow("asynchronous") << true;
    }

    void readBackPairsByOid()
    {
        QFETCH(bool, async);
        KxSNMPRequest r;
        useAgent(r);
        r.VarList = KxSNMPVarList(kWritable, KxItemType::Scalars, 0);
        r.VarList[1].Access = KxAccess::Writable;
        for (int i = 0; i < 3; ++i)
            r.VarList[i].Value = "before";
        const QString tag = async ? "async" : "sync";
        const QStringList values = {"contact " + tag, "name " + tag, "location " + tag};
        if (async) {
            KxSNMPError result;
            bool done = false;
            r.SetAsync([&](void *, const KxSNMPError &e, KxSNMPVarList &) { result = e; done = true; }, nullptr,
                       true, "0,1,2", &values);
            QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
            QCOMPARE(result.Code, 0);
        } else {
            bool ok = true;
            r.Set(ok, true, "0,1,2", &values);
            QVERIFY(ok);
        }
        QCOMPARE(r.VarList[0].Value, values[0]);
        QCOMPARE(r.VarList[1].Value, QString("before")); // not readable: not read back
        QCOMPARE(r.VarList[2].Value, values[2]);
        QCOMPARE(walk("1.3.6.1.2.1.1.5").value("1.3.6.1.2.1.1.5.0"), values[1]);
    }

    // The destructor's wait of up to 6 s sleeps on events instead of spinning.
    void destroyingWaitsWithoutSpinning()
    {
        auto r = std::make_unique<KxSNMPRequest>();
        useAgent(*r);
        r->Device.port = KxTest::FreeUdpPort();
        r->Timeout = 250;
        r->Retries = 1;
        r->VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        r->GetAsync([](void *, const KxSNMPError &, KxSNMPVarList &) {}, nullptr, true);
        QElapsedTimer clock;
        clock.start();
        const qint64 cpuBefore = cpuMs();
        r.reset(); // the answer, a time-out, comes after 5 s
        const qint64 waited = clock.elapsed();
        const qint64 cpu = cpuMs() - cpuBefore;
        QVERIFY2(waited >= 4500, qPrintable(QString::number(waited)));
        QVERIFY2(cpu < waited / 5, qPrintable(QString("%1 ms of CPU in %2 ms").arg(cpu).arg(waited)));
    }
};

int main(int argc, char **argv)
{
    CatchingApplication application(argc, argv);
    TestKxRequest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kxrequest.moc"
