// Helpers shared by the tests: free loopback ports, running real command-line peers,
// and a real snmpd on loopback with a generated configuration.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace KxTest {

// Writes a whole file (creating or replacing it) and returns its path; a test that
// cannot write its fixture stops at once.
QString WriteFile(const QString &path, const QByteArray &content);

// The help-context code of the KxException a call raises, 0 when it raises none.
int RaisedCode(const std::function<void()> &call);

// A UDP port on 127.0.0.1 that was free a moment ago.
quint16 FreeUdpPort();

// Runs a program to its end (at most `timeoutMs`) with MIBS empty; returns its
// standard output, or a null string when it failed to start, crashed or timed out.
QString Run(const QString &program, const QStringList &arguments, int timeoutMs = 20000,
            int *exitCode = nullptr);

// A v3 user for snmpd: "createUser NAME AUTH PASS PRIV PASS" plus its access level.
struct SnmpdUser {
    QString name;
    QString auth;     // "MD5", "SHA", "SHA-256" or empty
    QString authPass;
    QString priv;     // "DES", "AES", "AES-256" or empty
    QString privPass;
    QString level;    // "noauth", "auth" or "priv"
};

// Debian's snmpd on a free loopback port, reading only the configuration written here,
// persisting into its own temporary folder, and stopped with the fixture.
class Snmpd {
public:
    static constexpr const char *ReadCommunity = "rdcomm";
    static constexpr const char *WriteCommunity = "wrcommu";
    static constexpr const char *TableRoot = "1.3.6.1.4.1.32473.99";

    // extraConfig is appended to the generated configuration.
    bool Start(const QList<SnmpdUser> &users = {}, const QString &extraConfig = {});
    void Stop();
    void Pause();   // SIGSTOP: the agent stops answering mid-conversation
    void Resume();
    ~Snmpd();

    quint16 Port() const { return m_port; }
    QString Peer() const { return QStringLiteral("udp:127.0.0.1:%1").arg(m_port); }
    QString Dir() const { return m_dir.path(); }
    QString Error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace KxTest
