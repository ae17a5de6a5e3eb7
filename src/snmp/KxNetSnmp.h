// The boundary to net-snmp: library initialisation, one net-snmp session per distinct
// target, and the event pump that runs asynchronous completions on the window thread.
// net-snmp's C types and manual memory management stay behind this boundary and
// KxRequest.cpp; no screen sees them.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/types.h>

class QSocketNotifier;

// Everything one call needs to reach the agent, in the host manager's numbers.
struct KxTarget {
    QString address;
    quint16 port = 161;
    quint8 version = 0;
    QString community;
    qint32 securityModel = 1;
    qint32 securityLevel = 1;
    QString securityName;
    QString authPassword;
    QString privPassword;
    qint32 authProtocol = 1;
    qint32 privProtocol = 1;
    QString contextEngineID;
    QString contextName;
    int timeout = 100; // hundredths of a second
    int retries = 1;
};

// Drives asynchronous requests from socket readiness and net-snmp's next
// retransmission deadline. Completions run one at a time and never re-enter: while a
// completion runs (even inside a nested event loop) the pump does not process again.
class _SnmpEventProcessor : public QObject {
    Q_OBJECT

public:
    _SnmpEventProcessor();
    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }
    bool IsProcessing() const { return m_processing; }
    // Completions the layer must deliver itself (a send net-snmp refused) run from the
    // pump like any other completion.
    void Post(std::function<void()> completion);
    void Watch(void *sessp, int fd);
    void Reschedule();
    // A request just went out whose first retransmission is due in `ms`: the timer
    // needs to fire no later than that (cheaper than asking every session again).
    void DueWithin(int ms);
    // How often the pump woke up since start: tests and benchmarks read it.
    quint64 WakeUps() const { return m_wakeUps; }

private:
    void onReadable(int fd);
    void onTimer();
    void process(const std::function<void()> &work);
    void setNotifiersEnabled(bool enabled);

    struct Watched {
        void *sessp;
        QSocketNotifier *notifier;
    };
    std::map<int, Watched> m_watched;
    std::deque<std::function<void()>> m_posted;
    QTimer m_timer;
    bool m_running = false;
    bool m_processing = false;
    quint64 m_wakeUps = 0;
};

// Call before the application object exists: the module runs on Qt's own event
// dispatcher, whose wake-ups cost less than GLib's for every SNMP answer (the module
// integrates no GLib code). A QT_NO_GLIB set by the user is kept.
void KxPreferQtEventDispatcher();

class KxNetSnmp {
public:
    // Initialises net-snmp once per process: no configuration files, no persistent
    // state, no MIB modules. Returns null when the library cannot be set up.
    static KxNetSnmp *Create();
    void InitLocalEngine(const QByteArray &engineId, quint32 boots);
    _SnmpEventProcessor &EventProcessor() { return m_processor; }

    // The session for a target, opened on first use (for SNMPv3 that includes the
    // engine discovery). Null with a net-snmp error or a family status in *status.
    struct OpenResult {
        void *sessp = nullptr;
        int snmpErr = 0;     // SNMPERR_* of a failed open
        int familyStatus = 0; // non-zero when the target itself is refused (USM numbers)
    };
    OpenResult SessionFor(const KxTarget &target, bool async);
    // Puts the per-call parts of the target into the PDU and the session.
    static void Prepare(void *sessp, const KxTarget &target, netsnmp_pdu *pdu);
    // The latest net-snmp error of a session.
    static int LastError(void *sessp);

private:
    KxNetSnmp() = default;
    std::map<QByteArray, void *> m_sessions;
    _SnmpEventProcessor m_processor;
};
