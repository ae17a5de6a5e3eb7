// The diagnostics categories against the simulated device: what they say about each
// request, and that no community, password or key ever reaches them.
#include "KxDiagnostics.h"
#include "KxNetSnmp.h"
#include "KxRequest.h"
#include "KxSession.h"
#include "SimFixture.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kReadCommunity = QStringLiteral("rdSecretCommunity");
const QString kWriteCommunity = QStringLiteral("wrSecretCommunity");
const QString kAuthPassword = QStringLiteral("authSecret7731");
const QString kPrivPassword = QStringLiteral("privSecret8842");
const QString kWepKey = QStringLiteral("WepSecret4567"); // 13 characters: an ASCII key

const KxSNMPVarDesc kSystem[] = {
    {"1.3.6.1.2.1.1.1", "sysDescr", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.5", "sysName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
// The first WEP key row: its method (ASCII) and the key itself.
const KxSNMPVarDesc kWepRow[] = {
    {"1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1.2.1", "dot11WepKeyEntryMethod", KxSyntax::Integer, KxAccess::ReadWrite},
    {"1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1.3.1", "dot11WepKey", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

QStringList g_lines;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    g_lines << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
}

// Waits in the event loop for an asynchronous call's completion.
KxSNMPError waitFor(const std::function<void(KxCompletion)> &call)
{
    KxSNMPError result;
    result.Code = 1;
    QEventLoop loop;
    bool done = false;
    call([&](void *, const KxSNMPError &e, KxSNMPVarList &) {
        result = e;
        done = true;
        loop.quit();
    });
    QTimer::singleShot(8000, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    return result;
}

} // namespace

class TestKxDiagnostics : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<simtest::Simulator> m_sim;
    QtMessageHandler m_previous = nullptr;

    void point(KxSNMPRequest &r, bool v3)
    {
        r.Device.address = QStringLiteral("127.0.0.1");
        r.Device.port = m_sim->port();
        r.Timeout = 200;
        r.Security = KxSNMPSecurity();
        if (!v3) {
            r.Security.version = 1;
            r.Security.readCommunity = kReadCommunity;
            r.Security.writeCommunity = kWriteCommunity;
            return;
        }
        r.Security.version = 3;
        r.Security.securityModel = 3;
        r.Security.securityLevel = 3;
        r.Security.securityName = QStringLiteral("diaguser");
        r.Security.authProtocol = 3;
        r.Security.authPassword = kAuthPassword;
        r.Security.privProtocol = 4;
        r.Security.privPassword = kPrivPassword;
    }

    static void verifyNoSecret()
    {
        const QString all = g_lines.join('\n');
        for (const QString &secret : {kReadCommunity, kWriteCommunity, kAuthPassword, kPrivPassword, kWepKey})
            QVERIFY2(!all.contains(secret, Qt::CaseInsensitive), qPrintable(secret + " in:\n" + all));
    }

private slots:
    void initTestCase()
    {
        m_sim = std::make_unique<simtest::Simulator>(QStringList{
            "--community-read", kReadCommunity, "--community-write", kWriteCommunity,
            "--user", "diaguser:SHA:" + kAuthPassword + ":AES:" + kPrivPassword});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
        OpenGlobalSession(m_dir.path());
        QLoggingCategory::setFilterRules(QStringLiteral("rwn3460.*.debug=true"));
        m_previous = qInstallMessageHandler(capture);
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        QVERIFY2(m_sim->stop(), qPrintable(m_sim->error()));
    }

    void init() { g_lines.clear(); }

    // Each request is told twice: where it went with what, and how it ended.
    void v3SessionShowsRequestsButNoSecret()
    {
        KxSNMPRequest r;
        point(r, true);
        r.VarList = KxSNMPVarList(kSystem, KxItemType::Scalars, 0);
        const KxSNMPError read = waitFor([&](KxCompletion c) { r.GetAsync(c, nullptr, true); });
        QCOMPARE(read.Code, 0);
        r.VarList[1].Value = QStringLiteral("diag-ap");
        bool ok = true;
        r.Set(ok, false);
        QVERIFY(ok);

        const QString all = g_lines.join('\n');
        QVERIFY2(all.contains(QRegularExpression(
                     "rwn3460.snmp: request \\d+ get to 127.0.0.1:\\d+ v3 user \"diaguser\" authPriv .*sysDescr 1.3.6.1.2.1.1.1.0")),
                 qPrintable(all));
        QVERIFY2(all.contains(QRegularExpression("request \\d+ get ended after \\d+ ms: 0 \\(no error\\): sysDescr=\"")),
                 qPrintable(all));
        QVERIFY2(all.contains("sysName 1.3.6.1.2.1.1.5.0=\"diag-ap\""), qPrintable(all));
        QVERIFY2(all.contains(QRegularExpression("request \\d+ set ended after \\d+ ms: 0 ")), qPrintable(all));
        verifyNoSecret();
    }

    void writtenKeyIsMasked()
    {
        KxSNMPRequest r;
        point(r, false);
        r.VarList = KxSNMPVarList(kWepRow, KxItemType::Instance, 0);
        r.VarList[0].Value = QStringLiteral("1");
        r.VarList[1].Value = kWepKey;
        const KxSNMPError written = waitFor([&](KxCompletion c) { r.SetAsync(c, nullptr, false); });
        QCOMPARE(written.Code, 0);
        const QString all = g_lines.join('\n');
        QVERIFY2(all.contains("dot11WepKey 1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1.3.1=********"), qPrintable(all));
        QVERIFY2(all.contains("v2c community ********"), qPrintable(all));
        QVERIFY2(all.contains("dot11WepKeyEntryMethod 1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1.2.1=\"1\""), qPrintable(all));
        verifyNoSecret();
    }

    void secretNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("secret");
        QTest::newRow("WEP key") << "dot11WepKey" << true;
        QTest::newRow("WEP key index") << "dot11WepKeyIndex" << false;
        QTest::newRow("WEP key method") << "dot11WepKeyEntryMethod" << false;
        QTest::newRow("passphrase") << "dot11PassPhrase" << true;
        QTest::newRow("radius secret") << "dot11PrimaryRadiusSecret" << true;
        QTest::newRow("abbreviated password") << "dot11InternalRadiusInfoPasswd" << true;
        QTest::newRow("mail password") << "emailNtfPassword" << true;
        QTest::newRow("community") << "snmpWriteCommunity" << true;
        QTest::newRow("plain") << "sysName" << false;
    }

    void secretNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, secret);
        QCOMPARE(KxIsSecretName(name), secret);
    }
};

QTEST_MAIN(TestKxDiagnostics)
#include "tst_kxdiagnostics.moc"
