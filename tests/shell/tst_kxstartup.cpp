#include "KxErrors.h"
#include "KxRegistry.h"
#include "KxStartup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Stands in for the net-snmp session: the same defaults, no socket and no boots file
// in the test's working directory.
class TestStartup : public KxStartup {
public:
    using KxStartup::KxStartup;
    int opened = 0;
    bool failOpen = false;

protected:
    void OpenSession() override
    {
        ++opened;
        if (failOpen)
            ThrowKx(KxCode::CannotCreateSession);
        GlobalDevice = KxSNMPDevice();
        GlobalScope = KxSNMPScope();
        GlobalSecurity = KxSNMPSecurity();
    }
};

using Fields = QMap<QString, QString>;

Fields describe(const KxStartupResult &r)
{
    const KxSessionValues &s = r.session;
    return {
        {"address", s.device.address},
        {"port", QString::number(s.device.port)},
        {"version", QString::number(s.security.version)},
        {"read", s.security.readCommunity},
        {"write", s.security.writeCommunity},
        {"contextName", s.scope.contextName},
        {"engineId", s.scope.contextEngineID},
        {"model", QString::number(s.security.securityModel)},
        {"level", QString::number(s.security.securityLevel)},
        {"user", s.security.securityName},
        {"authPass", s.security.authPassword},
        {"privPass", s.security.privPassword},
        {"auth", QString::number(s.security.authProtocol)},
        {"priv", QString::number(s.security.privProtocol)},
        {"addressText", r.deviceAddressText},
        {"versionText", r.profileVersionText},
        {"caption", r.caption},
    };
}

} // namespace

class TestKxStartup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(file));
        out.write(content);
        return file;
    }

    // The registry names the profile folder through MibFile and the catalog folder
    // through HelpPath's value with a 12-character file name behind it.
    QString writeRegistry()
    {
        QSettings reg(path("registry.ini"), QSettings::IniFormat);
        reg.setValue(KxRegistryKey::MibFile + "/Path", path("mbf") + "/");
        reg.setValue(KxRegistryKey::HelpPath + "/" + KxRegistryKey::HelpValue,
                     path("help") + "/RWN-3460.hlp");
        reg.sync();
        return reg.fileName();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QDir().mkpath(path("locks"));
    }

    void cleanup()
    {
        CatalogResetAll();
        GlobalDevice = KxSNMPDevice();
        GlobalScope = KxSNMPScope();
        GlobalSecurity = KxSNMPSecurity();
    }

    void sessionValues_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("profileName");
        QTest::addColumn<QByteArray>("profileText");
        QTest::addColumn<QStringList>("changes");

        const QStringList addr10 = {"address=10.0.0.5", "addressText=10.0.0.5",
                                    "caption=RWN-3460 : 10.0.0.5"};
        const QString cfg = "10.0.0.5.cfg";
        const QByteArray none;

        QTest::newRow("address and communities, no profile")
            << QStringList{"/I10.0.0.5", "/Rpublic", "/Wprivate"} << cfg << none
            << addr10 + QStringList{"read=public", "write=private"};
        QTest::newRow("port ignored under version 1")
            << QStringList{"/I10.0.0.5", "/v1", "/t1161"} << cfg << none
            << addr10 + QStringList{"version=1"};
        QTest::newRow("version 3 switches, plus one")
            << QStringList{"/I10.0.0.5", "/v3", "/t1161", "/nuser", "/l2", "/a1", "/p1"} << cfg << none
            << addr10 + QStringList{"version=3", "port=1161", "user=user", "level=3", "auth=2", "priv=2"};
        QTest::newRow("all version 3 texts and numbers")
            << QStringList{"/I10.0.0.5", "/v3", "/cctx", "/dengine", "/m3", "/Aa,b\\c", "/Pp w", "/l0"}
            << cfg << none
            << addr10 + QStringList{"version=3", "contextName=ctx", "engineId=engine", "model=3",
                                    "authPass=a,b\\c", "privPass=p w", "level=1"};
        QTest::newRow("profile version 1 gates the port off")
            << QStringList{"/I10.0.0.5", "/v3", "/t1161"} << cfg
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=1\nSecurityModel=1\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"version=1", "versionText=1"};
        QTest::newRow("profile applied again before the last token")
            << QStringList{"/I10.0.0.5", "/v3", "/t1161", "/Rx"} << cfg
            << QByteArray("[Program Information]\nAgentPort=2000\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"port=2000", "version=3", "versionText=3", "model=3", "read=x"};
        QTest::newRow("switch in the last token wins over the profile")
            << QStringList{"/I10.0.0.5", "/Rx", "/t1161"} << cfg
            << QByteArray("[Program Information]\nAgentPort=2000\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"port=1161", "version=3", "versionText=3", "model=3", "read=x"};
        QTest::newRow("SecurityLevel 0 keeps the earlier level")
            << QStringList{"/I10.0.0.5", "/v3", "/l1", "/Rx"} << cfg
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"version=3", "versionText=3", "model=3", "level=2", "read=x"};
        QTest::newRow("SecurityLevel 2 becomes 3, protocols plus one")
            << QStringList{"/I10.0.0.5", "/Rx"} << cfg
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=2\nAuthProtocol=1\nPrivProtocol=3\n")
            << addr10 + QStringList{"version=3", "versionText=3", "model=3", "level=3", "auth=2",
                                    "priv=4", "read=x"};
        QTest::newRow("SecurityLevel 00 is not the text 0")
            << QStringList{"/I10.0.0.5", "/v3", "/l1", "/Rx"} << cfg
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=00\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"version=3", "versionText=3", "model=3", "level=1", "read=x"};
        QTest::newRow("empty ContextName keeps, empty ContextEngineID clears")
            << QStringList{"/I10.0.0.5", "/cctx", "/dengine", "/Rx"} << cfg
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n"
                          "ContextName=\nContextEngineID=\n")
            << addr10 + QStringList{"version=3", "versionText=3", "model=3", "contextName=ctx", "read=x"};
        QTest::newRow("profile texts, passwords unchanged, empty ones keep the switch")
            << QStringList{"/I10.0.0.5", "/v3", "/Pswitch", "/Rx"} << cfg
            << QByteArray("[program information]\nagentport = 1161\nVERSION=3\nSecurityModel=3\n"
                          "SecurityLevel=2\nAuthProtocol=1\nPrivProtocol=1\n"
                          "ContextName=ctx\nContextEngineID=8000\nSecurityName=admin\n"
                          "AuthPassword=a,b\\c=d\nPrivPassword=\n")
            << addr10 + QStringList{"port=1161", "version=3", "versionText=3", "model=3", "level=3",
                                    "auth=2", "priv=2", "contextName=ctx", "engineId=8000",
                                    "user=admin", "authPass=a,b\\c=d", "privPass=switch", "read=x"};
        QTest::newRow("profile Version back to decimal text, low 8 bits")
            << QStringList{"/I10.0.0.5", "/t1161"} << cfg
            << QByteArray("[Program Information]\nAgentPort=65697\nVersion=259\nSecurityModel=1\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"port=1161", "version=3", "versionText=259"};
        QTest::newRow("profile version text outlives a change of address")
            << QStringList{"/I10.0.0.5", "/Rx", "/v1", "/I10.0.0.6", "/t1161"} << cfg
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=1\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << QStringList{"address=10.0.0.6", "addressText=10.0.0.6", "caption=RWN-3460 : 10.0.0.6",
                           "version=1", "versionText=3", "port=1161", "read=x"};
        QTest::newRow("token before the address reads the profile .cfg")
            << QStringList{"/t1161", "/I10.0.0.5"} << ".cfg"
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=1\n"
                          "SecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n")
            << addr10 + QStringList{"version=3", "versionText=3", "port=1161"};
        QTest::newRow("lower-case /i is no address")
            << QStringList{"/i10.0.0.5", "/Rx"} << cfg << none
            << QStringList{"read=x", "caption=RWN-3460 : "};
        QTest::newRow("characters in front of a switch are dropped")
            << QStringList{"/I10.0.0.5", "abc/Rpublic", "--x/I10.0.0.7"} << cfg << none
            << QStringList{"read=public", "address=10.0.0.7", "addressText=10.0.0.7",
                           "caption=RWN-3460 : 10.0.0.7"};
        QTest::newRow("first switch of the table wins in a token")
            << QStringList{"/I10.0.0.5", "/Wpriv/Rpub", "/vy/Wq"} << cfg << none
            << addr10 + QStringList{"read=pub", "write=q"};
        QTest::newRow("version 3 switches ignored before /v3")
            << QStringList{"/I10.0.0.5", "/nuser", "/Asecret", "/v3", "/Ppriv"} << cfg << none
            << addr10 + QStringList{"version=3", "privPass=priv"};
        QTest::newRow("low 16 bits of the port, low 8 of the version")
            << QStringList{"/I10.0.0.5", "/v259", "/t70000"} << cfg << none
            << addr10 + QStringList{"version=3", "port=4464"};
        QTest::newRow("plus one wraps instead of overflowing")
            << QStringList{"/I10.0.0.5", "/v3", "/l2147483647", "/a-1"} << cfg << none
            << addr10 + QStringList{"version=3", "level=-2147483648", "auth=0"};
        QTest::newRow("empty switch values")
            << QStringList{"/I", "/R", "/W"} << cfg << none
            << QStringList{"address=", "read=", "write=", "caption=RWN-3460 : "};
        QTest::newRow("a profile folder that is a directory is no profile")
            << QStringList{"/I10.0.0.5", "/Rx"} << "10.0.0.5.cfg/" << QByteArray("dir")
            << addr10 + QStringList{"read=x"};
    }

    void sessionValues()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, profileName);
        QFETCH(QByteArray, profileText);
        QFETCH(QStringList, changes);

        if (profileName.endsWith('/'))
            QVERIFY(QDir().mkpath(path("mbf/" + profileName)));
        else if (!profileText.isEmpty())
            writeFile("mbf/" + profileName, profileText);
        KxRegistry registry(writeRegistry());
        TestStartup startup(registry, path("locks"));
        GlobalSecurity.version = 3; // as the window leaves it before start-up

        KxStartupResult result = startup.Run(arguments);
        QVERIFY2(!result.end, result.message ? qPrintable(result.message->text) : "");
        QVERIFY(!result.message);
        QVERIFY(result.lock && result.lock->IsLocked());

        KxStartupResult defaults;
        defaults.caption = "RWN-3460 : ";
        Fields expected = describe(defaults);
        for (const QString &change : changes) {
            const qsizetype eq = change.indexOf('=');
            QVERIFY2(expected.contains(change.left(eq)), qPrintable(change));
            expected[change.left(eq)] = change.mid(eq + 1);
        }
        const Fields actual = describe(result);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(actual.value(it.key()) == it.value(),
                     qPrintable(QStringLiteral("%1: got '%2', expected '%3'")
                                    .arg(it.key(), actual.value(it.key()), it.value())));

        // What the requests will copy is what the result reports.
        QCOMPARE(GlobalDevice.address, result.session.device.address);
        QCOMPARE(GlobalDevice.port, result.session.device.port);
        QCOMPARE(GlobalSecurity.version, result.session.security.version);
        QCOMPARE(GlobalSecurity.securityLevel, result.session.security.securityLevel);
        QCOMPARE(GlobalSecurity.readCommunity, result.session.security.readCommunity);
        QCOMPARE(GlobalScope.contextEngineID, result.session.scope.contextEngineID);
        QCOMPARE(GlobalSecurity.authPassword, result.session.security.authPassword);
    }

    void conversionErrorEndsStartup_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("profileText");
        QTest::addColumn<QString>("text");
        QTest::newRow("version switch") << QStringList{"/I10.0.0.5", "/Rx", "/vx"} << QByteArray()
                                        << "'x' is not a valid integer value";
        QTest::newRow("empty level switch") << QStringList{"/I10.0.0.5", "/v3", "/l"} << QByteArray()
                                            << "'' is not a valid integer value";
        QTest::newRow("port out of 32 bits")
            << QStringList{"/I10.0.0.5", "/v3", "/t99999999999"} << QByteArray()
            << "'99999999999' is not a valid integer value";
        QTest::newRow("missing numeric profile key")
            << QStringList{"/I10.0.0.5", "/Rx"}
            << QByteArray("[Program Information]\nVersion=3\n") << "'' is not a valid integer value";
        QTest::newRow("empty SecurityLevel is not 0")
            << QStringList{"/I10.0.0.5", "/Rx"}
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                          "SecurityLevel=\nAuthProtocol=0\nPrivProtocol=0\n")
            << "'' is not a valid integer value";
        QTest::newRow("profile version with text")
            << QStringList{"/I10.0.0.5", "/Rx"}
            << QByteArray("[Program Information]\nAgentPort=161\nVersion=v3\n")
            << "'v3' is not a valid integer value";
    }

    // The module reports the error and ends: nothing reaches the session values and no
    // lock is taken, so the window has nothing to poll with.
    void conversionErrorEndsStartup()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, profileText);
        QFETCH(QString, text);
        if (!profileText.isEmpty())
            writeFile("mbf/10.0.0.5.cfg", profileText);
        KxRegistry registry(writeRegistry());
        TestStartup startup(registry, path("locks"));

        const KxStartupResult result = startup.Run(arguments);
        QVERIFY(result.end);
        QVERIFY(result.message);
        QCOMPARE(int(result.message->kind), int(KxStartupMessage::Kind::Error));
        QCOMPARE(result.message->text, text);
        QCOMPARE(result.caption, QStringLiteral("RWN-3460"));
        QVERIFY(!result.lock);
        QVERIFY(QDir(path("locks")).isEmpty());
        QCOMPARE(GlobalDevice.address, QStringLiteral("127.0.0.1"));
        QCOMPARE(GlobalSecurity.readCommunity, QStringLiteral("rdcomm"));
    }

    // The real session opens first: its defaults are what the sources then change, and
    // its boots file lies in the current directory. Once per process: the session is
    // never destroyed.
    void realSession()
    {
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        KxRegistry registry(writeRegistry());
        KxStartup startup(registry, path("locks"));
        GlobalSecurity.version = 3;
        GlobalSecurity.readCommunity = "stale";
        const KxStartupResult result = startup.Run({"/I127.0.0.1", "/Rpub"});
        QDir::setCurrent(cwd);
        QVERIFY2(!result.end, result.message ? qPrintable(result.message->text) : "");
        QVERIFY(GlobalSession());
        QCOMPARE(GlobalDefaultTimeout, 100);
        QVERIFY(QFile::exists(path("KxSNMP_PP_BootCounter")));
        QCOMPARE(GlobalSecurity.version, quint8(0));
        QCOMPARE(GlobalSecurity.readCommunity, QStringLiteral("pub"));
        QCOMPARE(GlobalSecurity.writeCommunity, QStringLiteral("wrcommu"));
        CloseGlobalSession();
    }

    void sessionThatCannotOpenEndsStartup()
    {
        KxRegistry registry(writeRegistry());
        TestStartup startup(registry, path("locks"));
        startup.failOpen = true;
        const KxStartupResult result = startup.Run({"/I10.0.0.5"});
        QVERIFY(result.end);
        QVERIFY(result.message);
        QCOMPARE(result.message->text, QStringLiteral("(KxSNMP++) Cannot create the global KxSNMP++ session!"));
        QVERIFY(!result.lock);
    }

    // The session and the registry are read before the arguments are looked at.
    void noArguments()
    {
        KxRegistry registry(path("registry.ini"));
        TestStartup startup(registry, path("locks"));
        const KxStartupResult result = startup.Run({});
        QVERIFY(result.end);
        QVERIFY(result.message);
        QCOMPARE(int(result.message->kind), int(KxStartupMessage::Kind::Plain));
        QCOMPARE(result.message->text, QStringLiteral("This module is only used in the Tarsel or HP-Openview."));
        QCOMPARE(startup.opened, 1);
        QVERIFY(registry.KeyExists(KxRegistryKey::HelpPath));
        QVERIFY(!result.lock);
        QVERIFY(QDir(path("locks")).isEmpty());
    }

    void secondModuleForTheSameDevice()
    {
        KxRegistry registry(writeRegistry());
        TestStartup startup(registry, path("locks"));
        KxStartupResult first = startup.Run({"/I10.0.0.5", "/Rx"});
        QVERIFY(!first.end);

        const KxStartupResult second = startup.Run({"/I10.0.0.5"});
        QVERIFY(second.end);
        QVERIFY(second.message);
        QCOMPARE(int(second.message->kind), int(KxStartupMessage::Kind::Warning));
        QCOMPARE(second.message->title, QStringLiteral("Warning"));
        QCOMPARE(second.message->text, QStringLiteral("Another RWN-3460 module is running!"));
        QVERIFY(!second.lock);

        const KxStartupResult other = startup.Run({"/I10.0.0.6"});
        QVERIFY(!other.end);
        QVERIFY(!other.message);

        first.lock.reset(); // the first module has ended
        const KxStartupResult third = startup.Run({"/I10.0.0.5"});
        QVERIFY(!third.end);
    }

    // The runtime folder comes from the environment; tests give it their own.
    void lockInRuntimeFolder()
    {
        const QString runtime = path("runtime");
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        KxRegistry registry(writeRegistry());
        TestStartup startup(registry);
        const KxStartupResult result = startup.Run({"/I10.0.0.5"});
        qputenv("XDG_RUNTIME_DIR", saved);
        QVERIFY(!result.end);
        QCOMPARE(QFileInfo(result.lock->FileName()).absolutePath(), QFileInfo(runtime).absoluteFilePath());
        QVERIFY(QFileInfo::exists(result.lock->FileName()));
    }

    void catalogsReplacedInOrder()
    {
        const QString program = path("program");
        writeFile("program/errMSg/snmp.err", "program snmp 0\nprogram snmp 1\n");
        writeFile("program/errMSg/kxsnmp.err", "program kx 0\n");
        writeFile("program/errMSg/common.err", "program common 0\n");
        writeFile("program/errmsg/snmpv3.err", "wrong folder\n");
        writeFile("help/errmsg/snmp.err", "folder snmp 0\n");
        writeFile("help/errmsg/common.err", " \n\t\n");
        writeFile("help/errmsg/snmp.msg", "folder get [ERROR]\nfolder set [ERROR]\n");

        const QStringList fromProgram = KxStartup::LoadProgramCatalogs(program);
        QCOMPARE(fromProgram, (QStringList{program + "/errMSg/snmp.err", program + "/errMSg/kxsnmp.err",
                                           program + "/errMSg/common.err"}));
        QCOMPARE(FamilyText(KxFamily::SNMP, 0), QStringLiteral("program snmp 0"));
        const QString builtinV3 = FamilyText(KxFamily::SNMPv3, 0);

        KxRegistry registry(writeRegistry());
        TestStartup startup(registry, path("locks"));
        const KxStartupResult result = startup.Run({"/I10.0.0.5"});
        QCOMPARE(result.catalogFolder, path("help") + "/");

        QCOMPARE(FamilyText(KxFamily::SNMP, 0), QStringLiteral("folder snmp 0"));
        QCOMPARE(FamilyText(KxFamily::RequestLog, 0), QStringLiteral("folder get [ERROR]"));
        QCOMPARE(FamilyText(KxFamily::KxSNMPpp, 0), QStringLiteral("program kx 0"));
        QCOMPARE(FamilyText(KxFamily::KxCommon, 0), QStringLiteral("program common 0"));
        QCOMPARE(FamilyText(KxFamily::SNMPv3, 0), builtinV3);

        writeFile("help/errmsg/common.err", "c\n");
        writeFile("help/errmsg/snmpv3.err", "v3\n");
        writeFile("help/errmsg/snmpusm.err", "usm\n");
        writeFile("help/errmsg/snmpclass.err", "class\n");
        writeFile("help/errmsg/kxsnmp.err", "kx\n");
        const QString folder = path("help") + "/errmsg/";
        QCOMPARE(KxStartup::LoadFolderCatalogs(path("help") + "/"),
                 (QStringList{folder + "common.err", folder + "snmp.err", folder + "snmpv3.err",
                              folder + "snmpusm.err", folder + "snmpclass.err", folder + "kxsnmp.err",
                              folder + "snmp.msg"}));
    }

    void programCatalogOrder()
    {
        const QStringList names = {"snmpclass.err", "snmp.err", "snmp.msg", "kxsnmp.err",
                                   "snmpv3.err", "snmpusm.err", "common.err"};
        QStringList expected;
        for (const QString &name : names)
            expected << writeFile("p/errMSg/" + name, name.toLatin1() + "\n");
        QCOMPARE(KxStartup::LoadProgramCatalogs(path("p")), expected);
    }
};

QTEST_GUILESS_MAIN(TestKxStartup)
#include "tst_kxstartup.moc"
