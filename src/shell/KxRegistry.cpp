#include "KxRegistry.h"

#include <QSettings>
#include <QStringList>

namespace {

// A registry key has no value of its own in an INI store, so a created key carries the
// empty default value, named as registry exports name it.
const QString kDefaultValue = QStringLiteral("@");

const char kRegistryEnv[] = "RWN3460_REGISTRY";

} // namespace

KxRegistry::KxRegistry()
{
    const QString file = qEnvironmentVariable(kRegistryEnv);
    if (!file.isEmpty()) {
        m_settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    } else {
        // User scope falls back to the system-wide file for every read and writes only
        // the per-user one.
        m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                 QStringLiteral("rwn3460"), QStringLiteral("registry"));
    }
}

KxRegistry::KxRegistry(const QString &file)
    : m_settings(std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

KxRegistry::~KxRegistry() = default;

bool KxRegistry::KeyExists(const QString &keyPath) const
{
    m_settings->beginGroup(keyPath);
    const bool exists = !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
    m_settings->endGroup();
    return exists;
}

QString KxRegistry::ReadString(const QString &keyPath, const QString &name) const
{
    const QVariant value = m_settings->value(keyPath + QLatin1Char('/') + name);
    // An unquoted value with commas comes back from QSettings as a list; the registry
    // held one string.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

bool KxRegistry::CreateKey(const QString &keyPath)
{
    if (KeyExists(keyPath))
        return true;
    m_settings->setValue(keyPath + QLatin1Char('/') + kDefaultValue, QString());
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString KxRegistry::WritableFile() const
{
    return m_settings->fileName();
}

QString ProfileFolder(const KxRegistry &registry)
{
    if (registry.KeyExists(KxRegistryKey::MibFile))
        return registry.ReadString(KxRegistryKey::MibFile, QStringLiteral("Path"));
    if (registry.KeyExists(KxRegistryKey::ExePath))
        return registry.ReadString(KxRegistryKey::ExePath, QStringLiteral("Path"))
               + QStringLiteral("../Conf/MBF/");
    return QString();
}

QString CatalogFolder(KxRegistry &registry)
{
    if (!registry.CreateKey(KxRegistryKey::HelpPath))
        return QString();
    const QString value = registry.ReadString(KxRegistryKey::HelpPath, KxRegistryKey::HelpValue);
    if (value.size() < 13)
        return QString();
    return value.chopped(12);
}
