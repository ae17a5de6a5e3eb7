#pragma once
// Starting the simulator and the real peers it is tested against (net-snmp's command-line
// tools, tftpd-hpa, snmpsimd), all on 127.0.0.1 and free ports, each stopped by its owner.

#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace simtest {

struct RunResult {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
    QString all() const { return out + err; }
};

// Runs a program to its end (or kills it after timeoutMs).
RunResult run(const QString &program, const QStringList &args, int timeoutMs = 15000);

// A UDP port on 127.0.0.1 that was free a moment ago.
quint16 freeUdpPort();

// "OID" -> "TAG|VALUE" with octet strings always as "4x|hex" and OIDs without a leading
// dot: the one form both a data file and a tool's output are brought into for comparing.
using Objects = QMap<QString, QString>;
Objects readDataFile(const QString &path);
// Output of snmpget/snmpwalk run with -On -Ox -Ot -Oe.
Objects parseToolOutput(const QString &text);
QString hexOf(const QByteArray &bytes);

// Arguments that select a protocol version and credentials for net-snmp's tools.
struct Credentials {
    QString name;
    QStringList args;
};

// One line of the simulator's SET journal: SEQ MS VERSION PRINCIPAL STATUS VARBIND...
struct JournalEntry {
    int seq = 0;     // 0: the line is not a journal line
    qint64 ms = -1;  // arrival, milliseconds since the simulator started
    QString version; // "1", "2c" or "3"
    QString principal;
    QString status;
    QStringList varbinds; // OID|TAG|VALUE
};
JournalEntry parseJournalLine(const QString &line);

// One line of the simulator's request log: a PDU that passed its access check (for
// SNMPv3: authenticated and decrypted by USM) and reached the device's objects.
struct RequestEntry {
    int seq = 0;
    qint64 ms = -1;
    QString version;   // "1", "2c" or "3"
    QString principal; // community or user
    QString level;     // "-" (v1, v2c), "noAuthNoPriv", "authNoPriv", "authPriv"
    QString command;   // "get", "getnext", "getbulk", "set"
};

class Simulator {
public:
    explicit Simulator(QStringList args = {});
    ~Simulator();
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    // Starts it and waits for "listening on"; false (with the reason in error()) otherwise.
    bool start();
    // SIGTERM (or SIGINT) and wait; true when it ended by itself with exit code 0.
    bool stop(bool interrupt = false);

    quint16 port() const { return port_; }
    QString target() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QString journalPath() const;
    QStringList journalLines() const;
    // The SET PDUs journaled after the first `from`: each as its status followed by
    // its "OID|TAG|VALUE" varbinds.
    QList<QStringList> setsSince(int from) const;
    QList<JournalEntry> journal() const;
    QString requestLogPath() const;
    QList<RequestEntry> requests() const;
    // Milliseconds since just before the simulator was started: an upper bound for
    // every arrival time it journals.
    qint64 sinceStart() const { return started_.elapsed(); }
    QString output(); // standard output so far
    QString error() const { return error_; }

    // net-snmp tools against this simulator: default credentials v2c, with the write
    // community for snmpset.
    RunResult get(const QStringList &oids, const QStringList &cred = {}, const QString &timing = "-t 1 -r 2");
    RunResult set(const QStringList &varbinds, const QStringList &cred = {});
    QString value(const QString &oid); // "TAG|VALUE" or the tool's complaint
    // Waits until the agent answers again (bounded); milliseconds waited, -1 if never.
    qint64 waitUntilAnswering(int limitMs);

private:
    QStringList args_;
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> proc_;
    QString out_;
    QString error_;
    quint16 port_ = 0;
    QElapsedTimer started_;
};

QString simulatorPath();
QString factoryDataPath();

// A device state made from the factory file with a few objects changed: each entry
// "OID" -> "TAG|VALUE" replaces or adds that object, an empty value removes it (a table
// with gaps). Written as `fileName` into `dir`; returns its path, empty on failure.
QString writeVariant(const QString &dir, const Objects &changes,
                     const QString &fileName = QStringLiteral("variant.snmprec"));
// The arguments that start the simulator on such a variant.
QStringList variantArgs(const QString &dir, const Objects &changes);

// in.tftpd (tftpd-hpa) serving a temporary folder on a free loopback port.
class TftpServer {
public:
    TftpServer();
    ~TftpServer();
    bool start();
    quint16 port() const { return port_; }
    QString dir() const { return dir_.path(); }
    QString error() const { return error_; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> proc_;
    quint16 port_ = 0;
    QString error_;
};

} // namespace simtest
