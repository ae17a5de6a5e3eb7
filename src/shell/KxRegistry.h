// The host manager's registry values, kept in INI files read through QSettings.
//
// Groups are the key paths ("SOFTWARE/Kestrix/Modules/HelpPath") and keys are the value
// names. With $RWN3460_REGISTRY set, that one file is the whole store. Otherwise the
// host manager's values come from the system-wide file (/etc/xdg/rwn3460/registry.ini)
// and the one key the module creates goes to the per-user file
// ($XDG_CONFIG_HOME/rwn3460/registry.ini), which is read first.
#pragma once

#include <QString>

#include <memory>

class QSettings;

class KxRegistry {
public:
    // The store the environment selects.
    KxRegistry();
    // One file as the whole store.
    explicit KxRegistry(const QString &file);
    virtual ~KxRegistry();

    KxRegistry(const KxRegistry &) = delete;
    KxRegistry &operator=(const KxRegistry &) = delete;

    // A key exists when it holds a value or a sub-key.
    virtual bool KeyExists(const QString &keyPath) const;
    // "" when the value is missing, as a registry string read returns.
    virtual QString ReadString(const QString &keyPath, const QString &name) const;
    // Creates the key when missing; false when the store cannot be written.
    virtual bool CreateKey(const QString &keyPath);

    // Where CreateKey writes (the per-user file, or $RWN3460_REGISTRY).
    QString WritableFile() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

namespace KxRegistryKey {
inline const QString ExePath = QStringLiteral("SOFTWARE/Kestrix/Tarsel5.1/ExePath");
inline const QString MibFile = QStringLiteral("SOFTWARE/Kestrix/Tarsel5.1/MibFile");
inline const QString HelpPath = QStringLiteral("SOFTWARE/Kestrix/Modules/HelpPath");
// The device's own MIB root names its value in HelpPath.
inline const QString HelpValue = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
} // namespace KxRegistryKey

// Folder of the device profiles: MibFile's "Path" when that key exists, else ExePath's
// "Path" followed by "../Conf/MBF/", else "". Creates nothing.
QString ProfileFolder(const KxRegistry &registry);

// Folder of the replaceable catalogs: the HelpPath value without its last 12
// characters ("" when shorter than 13). Creates the HelpPath key when missing; any
// failure of the store gives "".
QString CatalogFolder(KxRegistry &registry);
