#include "KxStartup.h"

#include "KxConvert.h"
#include "KxDiagnostics.h"
#include "KxErrors.h"
#include "KxIni.h"
#include "KxRegistry.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <array>
#include <cstring>

const QString KxStartup::ApplicationTitle = QStringLiteral("RWN-3460");
const QString KxStartup::ProfileSection = QStringLiteral("Program Information");
const QString KxStartup::NoArgumentsText =
    QStringLiteral("This module is only used in the Tarsel or HP-Openview.");
const QString KxStartup::AnotherModuleText = QStringLiteral("Another RWN-3460 module is running!");

namespace {

// Zero-based numbers of the host manager become the session's codes, where 1 is
// "none". Wraps like the 32-bit field it lands in instead of overflowing.
qint32 plusOne(qint32 value)
{
    return qint32(quint32(value) + 1u);
}

QStringList loadCatalogs(const QString &folder, std::initializer_list<KxFamily> order)
{
    QStringList loaded;
    for (KxFamily family : order) {
        const QString path = folder + CatalogFileName(family);
        if (CatalogLoad(family, path))
            loaded.append(path);
    }
    return loaded;
}

// The switch of a token: its value is everything after the two switch characters.
bool findSwitch(const QString &token, QLatin1StringView name, QString *value)
{
    const qsizetype at = token.indexOf(name, 0, Qt::CaseSensitive);
    if (at < 0)
        return false;
    *value = token.mid(at + name.size());
    return true;
}

// Applies the first switch of the table found in the token, if any.
void applySwitches(const QString &token, bool version3, KxStartupResult &result)
{
    KxSNMPDevice &device = result.session.device;
    KxSNMPScope &scope = result.session.scope;
    KxSNMPSecurity &security = result.session.security;
    QString value;
    if (findSwitch(token, QLatin1StringView("/R"), &value)) {
        security.readCommunity = value;
        return;
    }
    if (findSwitch(token, QLatin1StringView("/W"), &value)) {
        security.writeCommunity = value;
        return;
    }
    if (findSwitch(token, QLatin1StringView("/v"), &value)) {
        security.version = quint8(KxStrToInt(value));
        return;
    }
    if (!version3)
        return;
    if (findSwitch(token, QLatin1StringView("/t"), &value))
        device.port = quint16(KxStrToInt(value));
    else if (findSwitch(token, QLatin1StringView("/c"), &value))
        scope.contextName = value;
    else if (findSwitch(token, QLatin1StringView("/d"), &value))
        scope.contextEngineID = value;
    else if (findSwitch(token, QLatin1StringView("/m"), &value))
        security.securityModel = KxStrToInt(value);
    else if (findSwitch(token, QLatin1StringView("/l"), &value))
        security.securityLevel = plusOne(KxStrToInt(value));
    else if (findSwitch(token, QLatin1StringView("/n"), &value))
        security.securityName = value;
    else if (findSwitch(token, QLatin1StringView("/A"), &value))
        security.authPassword = value;
    else if (findSwitch(token, QLatin1StringView("/P"), &value))
        security.privPassword = value;
    else if (findSwitch(token, QLatin1StringView("/a"), &value))
        security.authProtocol = plusOne(KxStrToInt(value));
    else if (findSwitch(token, QLatin1StringView("/p"), &value))
        security.privProtocol = plusOne(KxStrToInt(value));
}

} // namespace

KxStartup::KxStartup(KxRegistry &registry, const QString &lockFolder)
    : m_registry(registry), m_lockFolder(lockFolder)
{
}

KxStartup::~KxStartup() = default;

QStringList KxStartup::LoadProgramCatalogs(const QString &programFolder)
{
    const QString folder = programFolder + QStringLiteral("/errMSg/");
    return loadCatalogs(folder, {KxFamily::SNMPClass, KxFamily::SNMP, KxFamily::RequestLog,
                                 KxFamily::KxSNMPpp, KxFamily::SNMPv3, KxFamily::SNMPv3USM,
                                 KxFamily::KxCommon});
}

QStringList KxStartup::LoadProgramCatalogs()
{
    return LoadProgramCatalogs(QCoreApplication::applicationDirPath());
}

QStringList KxStartup::LoadFolderCatalogs(const QString &catalogFolder)
{
    // The folder comes from the registry with its own trailing separator, or is empty
    // and then names "errmsg/" in the current directory.
    const QString folder = catalogFolder + QStringLiteral("errmsg/");
    return loadCatalogs(folder, {KxFamily::KxCommon, KxFamily::SNMP, KxFamily::SNMPv3,
                                 KxFamily::SNMPv3USM, KxFamily::SNMPClass, KxFamily::KxSNMPpp,
                                 KxFamily::RequestLog});
}

void KxStartup::OpenSession()
{
    OpenGlobalSession(QString());
}

void KxStartup::ApplyProfile(const QString &path, KxStartupResult &result)
{
    const KxIni ini(path);
    const auto read = [&ini](const char *key) {
        return ini.ReadString(ProfileSection, QLatin1String(key), QString());
    };
    KxSNMPDevice &device = result.session.device;
    KxSNMPScope &scope = result.session.scope;
    KxSNMPSecurity &security = result.session.security;
    const QString zero = QStringLiteral("0");

    device.port = quint16(KxStrToInt(read("AgentPort")));
    const qint32 version = KxStrToInt(read("Version"));
    security.version = quint8(version);
    result.profileVersionText = QString::number(version);
    if (const QString v = read("ContextName"); !v.isEmpty())
        scope.contextName = v;
    scope.contextEngineID = read("ContextEngineID");
    security.securityModel = KxStrToInt(read("SecurityModel"));
    if (const QString v = read("SecurityLevel"); v != zero)
        security.securityLevel = plusOne(KxStrToInt(v));
    security.securityName = read("SecurityName");
    if (const QString v = read("AuthProtocol"); v != zero)
        security.authProtocol = plusOne(KxStrToInt(v));
    if (const QString v = read("PrivProtocol"); v != zero)
        security.privProtocol = plusOne(KxStrToInt(v));
    if (const QString v = read("AuthPassword"); !v.isEmpty())
        security.authPassword = v;
    if (const QString v = read("PrivPassword"); !v.isEmpty())
        security.privPassword = v;
}

void KxStartup::ReadCommandLine(const QStringList &arguments, const QString &profileFolder,
                                KxStartupResult &result)
{
    for (const QString &token : arguments) {
        QString address;
        if (findSwitch(token, QLatin1StringView("/I"), &address)) {
            result.deviceAddressText = address;
            result.session.device.address = address;
            continue;
        }
        // Re-read before every token, so that only a switch in the last token can
        // override what the profile sets.
        const QFileInfo profile(profileFolder + result.deviceAddressText + QStringLiteral(".cfg"));
        if (profile.exists() && !profile.isDir())
            ApplyProfile(profile.filePath(), result);
        const bool version3 = result.profileVersionText == QStringLiteral("3")
                              || result.session.security.version == 3;
        applySwitches(token, version3, result);
    }
    const KxSNMPSecurity &security = result.session.security;
    // Credentials stay out: only which ones are in use.
    qCDebug(lcKxStartup).noquote()
        << QStringLiteral("device %1 port %2, SNMP version %3%4")
               .arg(result.session.device.address)
               .arg(result.session.device.port)
               .arg(security.version == 3 ? QStringLiteral("3") : security.version == 1 ? QStringLiteral("2c") : QStringLiteral("1"))
               .arg(security.version == 3 ? QStringLiteral(", user \"%1\", level %2").arg(security.securityName).arg(security.securityLevel)
                                          : QStringLiteral(", communities ********"));
}

qsizetype KxStartup::SecretStart(QByteArrayView token)
{
    qsizetype first = -1;
    for (const char *name : {"/R", "/W", "/A", "/P"}) {
        const qsizetype at = token.indexOf(QByteArrayView(name, 2));
        if (at >= 0 && (first < 0 || at < first))
            first = at;
    }
    return first < 0 ? -1 : first + 2;
}

int KxStartup::HideSecretArguments(int argc, char *const *argv)
{
    int hidden = 0;
    for (int i = 1; i < argc; ++i) {
        char *token = argv[i];
        if (!token)
            continue;
        const qsizetype length = qsizetype(std::strlen(token));
        const qsizetype at = SecretStart(QByteArrayView(token, length));
        if (at < 0)
            continue;
        // Same length: the kernel's view of the block and its NUL separators stays intact.
        std::memset(token + at, '*', size_t(length - at));
        ++hidden;
    }
    return hidden;
}

KxStartupResult KxStartup::Run(const QStringList &arguments)
{
    KxStartupResult result;
    result.caption = ApplicationTitle;
    const auto fail = [&result](const QString &text) {
        result.end = true;
        result.message = KxStartupMessage{KxStartupMessage::Kind::Error, ApplicationTitle, text};
    };
    try {
        OpenSession();
        // The window asked for version 3 while it was constructed; the sources start
        // from version 1 (code 0).
        GlobalSecurity.version = 0;

        result.catalogFolder = CatalogFolder(m_registry);
        LoadFolderCatalogs(result.catalogFolder);
        result.profileFolder = ProfileFolder(m_registry);

        if (arguments.isEmpty()) {
            result.end = true;
            result.message = KxStartupMessage{KxStartupMessage::Kind::Plain, ApplicationTitle,
                                              NoArgumentsText};
            return result;
        }

        result.session = {GlobalDevice, GlobalScope, GlobalSecurity};
        ReadCommandLine(arguments, result.profileFolder, result);
        GlobalDevice = result.session.device;
        GlobalScope = result.session.scope;
        GlobalSecurity = result.session.security;
    } catch (const KxConvertError &e) {
        fail(e.Text());
        return result;
    } catch (const KxException &e) {
        fail(e.Text());
        return result;
    }

    result.caption = ApplicationTitle + QStringLiteral(" : ") + result.deviceAddressText;

    result.lock = std::make_unique<KxInstanceLock>(result.caption, m_lockFolder);
    if (!result.lock->TryLock()) {
        result.lock.reset();
        result.end = true;
        result.message = KxStartupMessage{KxStartupMessage::Kind::Warning, QStringLiteral("Warning"),
                                          AnotherModuleText};
    }
    return result;
}
