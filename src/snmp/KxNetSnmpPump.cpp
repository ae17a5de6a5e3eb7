// The event pump: net-snmp is driven from socket readiness and one single-shot timer
// set to its next retransmission deadline; what its callbacks recorded is delivered
// afterwards, outside its code.
#include "KxNetSnmp.h"

#include <QSocketNotifier>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/library/large_fd_set.h>

_SnmpEventProcessor::_SnmpEventProcessor()
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, this, &_SnmpEventProcessor::onTimer);
}

void _SnmpEventProcessor::Start()
{
    m_running = true;
    setNotifiersEnabled(true);
    Reschedule();
}

void _SnmpEventProcessor::Stop()
{
    m_running = false;
    m_timer.stop();
    setNotifiersEnabled(false);
}

void _SnmpEventProcessor::Post(std::function<void()> delivery)
{
    m_posted.push_back(std::move(delivery));
    // Inside net-snmp the caller reschedules once the library has returned.
    if (!m_inLibrary)
        Reschedule();
}

void _SnmpEventProcessor::Watch(void *sessp, int fd)
{
    auto *notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    QObject::connect(notifier, &QSocketNotifier::activated, this, [this, fd] { onReadable(fd); });
    notifier->setEnabled(m_running);
    m_watched[fd] = {sessp, notifier};
}

void _SnmpEventProcessor::setNotifiersEnabled(bool enabled)
{
    for (auto &[fd, watched] : m_watched)
        watched.notifier->setEnabled(enabled);
}

void _SnmpEventProcessor::onReadable(int fd)
{
    const auto found = m_watched.find(fd);
    if (found == m_watched.end())
        return;
    void *sessp = found->second.sessp;
    wake([sessp, fd] {
        // net-snmp's large sets: a descriptor number past FD_SETSIZE stays safe.
        netsnmp_large_fd_set readable;
        netsnmp_large_fd_set_init(&readable, fd + 1);
        NETSNMP_LARGE_FD_SET(fd, &readable);
        snmp_sess_read2(sessp, &readable);
        netsnmp_large_fd_set_cleanup(&readable);
    });
}

void _SnmpEventProcessor::onTimer()
{
    wake([this] {
        for (auto &[fd, watched] : m_watched)
            snmp_sess_timeout(watched.sessp);
    });
}

void _SnmpEventProcessor::wake(const std::function<void()> &libraryWork)
{
    // net-snmp's callbacks only record and never run an event loop, so no wake-up
    // comes while its code runs; were one to come, nothing may be delivered there.
    if (!m_running || m_inLibrary)
        return;
    ++m_wakeUps;
    {
        LibraryCall inLibrary(*this);
        libraryWork();
    }
    deliver();
}

void _SnmpEventProcessor::deliver()
{
    // Whatever way a delivery leaves (it may throw into the application's handler),
    // the timer is set again for what is left and for net-snmp's next deadline.
    struct Rearm {
        _SnmpEventProcessor *pump;
        ~Rearm() { pump->Reschedule(); }
    } rearm{this};
    while (m_running && !m_posted.empty()) {
        // Taken off the queue before it runs: a nested event loop inside it delivers
        // the ones behind it, each once, and this one's closure stays alive here.
        const std::function<void()> delivery = std::move(m_posted.front());
        m_posted.pop_front();
        delivery();
    }
}

void _SnmpEventProcessor::DueWithin(int ms)
{
    if (!m_running)
        return;
    if (!m_timer.isActive() || m_timer.remainingTime() > ms)
        m_timer.start(ms);
}

void _SnmpEventProcessor::Reschedule()
{
    if (!m_running)
        return;
    if (!m_posted.empty()) {
        m_timer.start(0);
        return;
    }
    bool any = false;
    qint64 nextMs = 0;
    for (auto &[fd, watched] : m_watched) {
        int fds = 0;
        netsnmp_large_fd_set readable;
        netsnmp_large_fd_set_init(&readable, fd + 1);
        timeval tv{0, 0};
        int block = 1;
        snmp_sess_select_info2(watched.sessp, &fds, &readable, &tv, &block);
        netsnmp_large_fd_set_cleanup(&readable);
        if (block)
            continue; // nothing outstanding on this session
        const qint64 ms = qint64(tv.tv_sec) * 1000 + (tv.tv_usec + 999) / 1000;
        nextMs = any ? std::min(nextMs, ms) : ms;
        any = true;
    }
    if (!any) {
        m_timer.stop();
        return;
    }
    // Re-arming a timer costs more than the request itself: keep one that is due no
    // later than needed (an early tick only finds nothing to retransmit).
    const int ms = int(std::min<qint64>(nextMs, INT32_MAX));
    if (!m_timer.isActive() || m_timer.remainingTime() > ms)
        m_timer.start(ms);
}
