// From the host manager's command line, the registry and the device profile to the
// session values, the window caption and the per-device lock, before the main window
// builds any request.
//
// The main window calls LoadProgramCatalogs() while it is constructed and Run() when it
// is created: it shows the message when there is one, closes when `end` is set (its
// timers never started), and otherwise takes `caption` as its title, keeps `lock` for
// its whole life and builds its requests from the session values.
#pragma once

#include "KxInstanceLock.h"
#include "KxSession.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class KxRegistry;

struct KxStartupMessage {
    enum class Kind {
        Plain,   // a plain message
        Warning, // a message box with an OK button
        Error,   // the application's error box
    };
    Kind kind = Kind::Plain;
    QString title;
    QString text;
};

struct KxSessionValues {
    KxSNMPDevice device;
    KxSNMPScope scope;
    KxSNMPSecurity security;
};

struct KxStartupResult {
    // The module must end: no request is built, the timers never run.
    bool end = false;
    // Shown before ending (or never, on a normal start).
    std::optional<KxStartupMessage> message;
    QString caption;
    QString deviceAddressText;
    // The profile's Version as a number in decimal text; "" until a profile is read.
    QString profileVersionText;
    QString profileFolder;
    QString catalogFolder;
    // What was written to GlobalDevice, GlobalScope and GlobalSecurity.
    KxSessionValues session;
    // Held while the module runs; null when it must end.
    std::unique_ptr<KxInstanceLock> lock;
};

class KxStartup {
public:
    static const QString ApplicationTitle;
    static const QString ProfileSection;
    static const QString NoArgumentsText;
    static const QString AnotherModuleText;

    // `lockFolder` empty: the user's runtime folder.
    explicit KxStartup(KxRegistry &registry, const QString &lockFolder = QString());
    virtual ~KxStartup();

    // While the main window is constructed: the catalogs in "errMSg/" of the program's
    // folder. Returns the files that replaced a catalog, in loading order.
    static QStringList LoadProgramCatalogs(const QString &programFolder);
    static QStringList LoadProgramCatalogs();
    // The catalogs in "errmsg/" below the registry's catalog folder.
    static QStringList LoadFolderCatalogs(const QString &catalogFolder);

    // Everything after the window's size is fixed: opens the session, reads the
    // registry, the command line (without the program name) and the profile, writes
    // the session values, sets the caption and takes the lock. A conversion error or
    // a session that cannot open ends the module with the error's text.
    KxStartupResult Run(const QStringList &arguments);

    // The token loop on its own: starting from `result.session`, applies each token
    // and, before every token after the address, the device profile. Raises
    // KxConvertError on a number that is not a decimal integer.
    static void ReadCommandLine(const QStringList &arguments, const QString &profileFolder,
                                KxStartupResult &result);
    // Applies the device profile's keys in their fixed order. Raises KxConvertError.
    static void ApplyProfile(const QString &path, KxStartupResult &result);

    // Where the secret of a command-line token starts: behind the first "/R", "/W", "/A"
    // or "/P" in it, to the token's end; -1 when the token holds none. Wider than the
    // switch start-up applies (a password the version test ignores is still one).
    static qsizetype SecretStart(QByteArrayView token);
    // Overwrites the secrets of the arguments after the program name with asterisks of
    // the same length, in the memory the kernel shows as /proc/<pid>/cmdline (what main
    // received). Returns how many arguments held one.
    static int HideSecretArguments(int argc, char *const *argv);

protected:
    // Opens the global session, which also puts the session values to their defaults.
    virtual void OpenSession();

private:
    KxRegistry &m_registry;
    QString m_lockFolder;
};
