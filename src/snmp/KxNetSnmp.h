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
// retransmission deadline. net-snmp's callbacks only record what ended an exchange;
// the pump then delivers the recorded outcomes on the window thread, outside
// net-snmp's code, one at a time in arrival order. A delivery may run a nested event
// loop (a modal window): answers, deliveries and timers go on inside it.
class _SnmpEventProcessor : public QObject {
    Q_OBJECT

public:
    _SnmpEventProcessor();
    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }
    // Queues a delivery. Never runs it at once, also not when called from a delivery.
    void Post(std::function<void()> delivery);
    void Watch(void *sessp, int fd);
    void Reschedule();
    // A request just went out whose first retransmission is due in `ms`: the timer
    // needs to fire no later than that (cheaper than asking every session again).
    void DueWithin(int ms);
    // How often the pump woke up since start: tests and benchmarks read it.
    quint64 WakeUps() const { return m_wakeUps; }

    // Marks a stretch of net-snmp code: what its callbacks post waits for the pump.
    class LibraryCall {
    public:
        explicit LibraryCall(_SnmpEventProcessor &pump) : m_pump(pump), m_outer(pump.m_inLibrary)
        {
            pump.m_inLibrary = true;
        }
        ~LibraryCall() { m_pump.m_inLibrary = m_outer; }
        LibraryCall(const LibraryCall &) = delete;
        LibraryCall &operator=(const LibraryCall &) = delete;

    private:
        _SnmpEventProcessor &m_pump;
        bool m_outer;
    };

private:
    void onReadable(int fd);
    void onTimer();
    void wake(const std::function<void()> &libraryWork);
    void deliver();
    void setNotifiersEnabled(bool enabled);

    struct Watched {
        void *sessp;
        QSocketNotifier *notifier;
    };
    std::map<int, Watched> m_watched;
    std::deque<std::function<void()>> m_posted;
    QTimer m_timer;
    bool m_running = false;
    bool m_inLibrary = false;
    quint64 m_wakeUps = 0;
};

// What ended one asynchronous exchange, as net-snmp told its callback.
struct KxAnswer {
    int op = 0;            // NETSNMP_CALLBACK_OP_*: received, timed out, send failed, disconnect
    int snmpErr = 0;       // the session's library error at the end
    int securityError = 0; // a security failure met on the way (a time-out may follow it)
    int reportType = 0;    // library error a received report stands for
    bool refused = false;  // never left: nothing will answer
    bool late = false;     // refused after the send call had returned (it waited for discovery)
    // The answer's command, statuses and varbinds (a received message only).
    std::shared_ptr<const netsnmp_pdu> response;
};
using KxAnswerHandler = std::function<void(const KxAnswer &answer)>;

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

    // The session for a target, opened on first use. An SNMPv3 synchronous session
    // leaves the engine discovery to net-snmp, which blocks in the first request; an
    // asynchronous one leaves it to SendAsync. Null with a net-snmp error or a family
    // status.
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

    // Sends a PDU on an asynchronous session and takes it over. `done` runs exactly
    // once, from the pump, whatever net-snmp does inside the send. An SNMPv3 session
    // that does not know its agent's engine yet discovers it first, through the pump,
    // with the timing of this PDU. Returns the library error of a send refused at once
    // (its `done` follows all the same), 0 otherwise.
    int SendAsync(void *sessp, netsnmp_pdu *pdu, KxAnswerHandler done);

private:
    struct Exchange;
    struct Waiting;
    struct Discovery;

    KxNetSnmp() = default;
    int send(void *sessp, netsnmp_pdu *pdu, Exchange *exchange);
    void discover(void *sessp);
    void discovered(void *sessp, const KxAnswer &probe);
    static int onAnswer(int op, netsnmp_session *session, int reqid, netsnmp_pdu *pdu, void *magic);
    static void end(Exchange *exchange);

    std::map<QByteArray, void *> m_sessions;
    std::map<void *, std::shared_ptr<Discovery>> m_discovery;
    _SnmpEventProcessor m_processor;
};
