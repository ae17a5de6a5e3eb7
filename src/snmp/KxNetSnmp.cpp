#include "KxNetSnmp.h"

#include "KxStatusMap.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/library/large_fd_set.h>

namespace {

struct Protocol {
    int number;
    const oid *id;
    size_t length;
};

// The host manager's protocol numbers and the net-snmp transforms they stand for.
const Protocol kAuthProtocols[] = {
    {1, usmNoAuthProtocol, OID_LENGTH(usmNoAuthProtocol)},
    {2, usmHMACMD5AuthProtocol, OID_LENGTH(usmHMACMD5AuthProtocol)},
    {3, usmHMACSHA1AuthProtocol, OID_LENGTH(usmHMACSHA1AuthProtocol)},
    {4, usmHMAC128SHA224AuthProtocol, OID_LENGTH(usmHMAC128SHA224AuthProtocol)},
    {5, usmHMAC192SHA256AuthProtocol, OID_LENGTH(usmHMAC192SHA256AuthProtocol)},
    {6, usmHMAC256SHA384AuthProtocol, OID_LENGTH(usmHMAC256SHA384AuthProtocol)},
    {7, usmHMAC384SHA512AuthProtocol, OID_LENGTH(usmHMAC384SHA512AuthProtocol)},
};
// 3 (3DES) has no net-snmp transform here and is refused like any unknown number.
const Protocol kPrivProtocols[] = {
    {1, usmNoPrivProtocol, OID_LENGTH(usmNoPrivProtocol)},
    {2, usmDESPrivProtocol, OID_LENGTH(usmDESPrivProtocol)},
    {4, usmAESPrivProtocol, OID_LENGTH(usmAESPrivProtocol)},
    {20, usmAES192PrivProtocol, OID_LENGTH(usmAES192PrivProtocol)},
    {21, usmAES256PrivProtocol, OID_LENGTH(usmAES256PrivProtocol)},
};

template <size_t N>
const Protocol *find(const Protocol (&table)[N], int number)
{
    for (const Protocol &p : table) {
        if (p.number == number)
            return &p;
    }
    return nullptr;
}

QByteArray sessionKey(const KxTarget &t, bool async)
{
    QByteArray key = t.address.toUtf8() + '\x1f' + QByteArray::number(t.port) + '\x1f'
                     + QByteArray::number(t.version) + '\x1f' + (async ? "a" : "s");
    if (t.version == 3) {
        for (const QString &part : {t.securityName, t.authPassword, t.privPassword})
            key += '\x1f' + part.toUtf8();
        for (int n : {t.securityModel, t.securityLevel, t.authProtocol, t.privProtocol})
            key += '\x1f' + QByteArray::number(n);
    }
    return key;
}

u_char *copyOf(const QByteArray &bytes)
{
    auto *out = static_cast<u_char *>(malloc(size_t(bytes.size()) + 1));
    if (out) {
        memcpy(out, bytes.constData(), size_t(bytes.size()));
        out[bytes.size()] = 0;
    }
    return out;
}

// Fills the USM part of a session; returns a family status when the target asks for
// something this library cannot do.
int setUpUsm(netsnmp_session &s, const KxTarget &t, QByteArray &name)
{
    if (t.securityModel != 3)
        return KxStatus::MpUnsupportedSecurityModel;
    const Protocol *auth = find(kAuthProtocols, t.authProtocol);
    if (!auth)
        return KxStatus::UsmUnsupportedAuthProtocol;
    const Protocol *priv = find(kPrivProtocols, t.privProtocol);
    if (!priv)
        return KxStatus::UsmUnsupportedPrivProtocol;

    name = t.securityName.toUtf8();
    s.version = SNMP_VERSION_3;
    s.securityModel = SNMP_SEC_MODEL_USM;
    s.securityName = name.data();
    s.securityNameLen = size_t(name.size());
    s.securityLevel = t.securityLevel;
    s.securityAuthProto = const_cast<oid *>(auth->id);
    s.securityAuthProtoLen = auth->length;
    s.securityPrivProto = const_cast<oid *>(priv->id);
    s.securityPrivProtoLen = priv->length;
    if (t.securityLevel >= SNMP_SEC_LEVEL_AUTHNOPRIV) {
        QByteArray pass = t.authPassword.toUtf8();
        s.securityAuthKeyLen = USM_AUTH_KU_LEN;
        if (auth->number == 1
            || generate_Ku(auth->id, u_int(auth->length), reinterpret_cast<u_char *>(pass.data()),
                           size_t(pass.size()), s.securityAuthKey, &s.securityAuthKeyLen)
                   != SNMPERR_SUCCESS)
            return KxStatus::UsmAuthenticationError;
    }
    if (t.securityLevel >= SNMP_SEC_LEVEL_AUTHPRIV) {
        QByteArray pass = t.privPassword.toUtf8();
        s.securityPrivKeyLen = USM_PRIV_KU_LEN;
        if (priv->number == 1
            || generate_Ku(auth->id, u_int(auth->length), reinterpret_cast<u_char *>(pass.data()),
                           size_t(pass.size()), s.securityPrivKey, &s.securityPrivKeyLen)
                   != SNMPERR_SUCCESS)
            return KxStatus::UsmEncryptionError;
    }
    return 0;
}

// net-snmp keeps one USM entry per engine and user name and reuses it for every later
// session of that name, keys included. Credentials of a new session must win, or a
// corrected (or mistyped) password would silently go on using the old keys.
void forgetUser(const QByteArray &name)
{
    for (struct usmUser *user = usm_get_userList(); user;) {
        struct usmUser *next = user->next;
        if (user->name && name == user->name) {
            usm_remove_user(user);
            usm_free_user(user);
        }
        user = next;
    }
}

} // namespace

void KxPreferQtEventDispatcher()
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
}

KxNetSnmp *KxNetSnmp::Create()
{
    static KxNetSnmp *instance = nullptr;
    if (instance)
        return instance;
    // The module reads no net-snmp configuration, keeps no state of net-snmp's own
    // and knows objects by number only.
    qputenv("MIBS", "");
    qputenv("MIBDIRS", "");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_NO_TOKEN_WARNINGS, 1);
    init_snmp("rwn3460");
    instance = new KxNetSnmp;
    return instance;
}

void KxNetSnmp::InitLocalEngine(const QByteArray &engineId, quint32 boots)
{
    set_exact_engineID(reinterpret_cast<const u_char *>(engineId.constData()), size_t(engineId.size()));
    // net-snmp's own setter counts the start itself: hand it the previous value.
    QByteArray previous = QByteArray::number(boots - 1);
    engineBoots_conf("engineBoots", previous.data());
}

KxNetSnmp::OpenResult KxNetSnmp::SessionFor(const KxTarget &target, bool async)
{
    const QByteArray key = sessionKey(target, async);
    const auto found = m_sessions.find(key);
    if (found != m_sessions.end())
        return {found->second, 0, 0};

    // Names are resolved here, once per session, so that a name that does not resolve
    // is told apart from every other failure.
    QHostAddress address(target.address);
    if (address.isNull()) {
        const QList<QHostAddress> found = QHostInfo::fromName(target.address).addresses();
        if (found.isEmpty())
            return {nullptr, SNMPERR_BAD_ADDRESS, 0};
        address = found.first();
    }
    netsnmp_session s;
    snmp_sess_init(&s);
    const QByteArray port = QByteArray::number(target.port);
    QByteArray peer = address.protocol() == QAbstractSocket::IPv6Protocol
                          ? "udp6:[" + address.toString().toLatin1() + "]:" + port
                          : "udp:" + address.toString().toLatin1() + ':' + port;
    s.peername = peer.data();
    s.timeout = long(target.timeout) * 10000L;
    s.retries = target.retries;
    QByteArray name;
    QByteArray community = target.community.toUtf8();
    if (target.version == 3) {
        if (const int status = setUpUsm(s, target, name))
            return {nullptr, 0, status};
    } else {
        s.version = target.version == 1 ? SNMP_VERSION_2c : SNMP_VERSION_1;
        s.community = reinterpret_cast<u_char *>(community.data());
        s.community_len = size_t(community.size());
    }
    if (target.version == 3)
        forgetUser(name);
    void *sessp = snmp_sess_open(&s);
    if (!sessp) {
        int liberr = 0, syserr = 0;
        char *text = nullptr;
        snmp_error(&s, &liberr, &syserr, &text);
        SNMP_FREE(text);
        return {nullptr, liberr ? liberr : SNMPERR_GENERR, 0};
    }
    m_sessions.emplace(key, sessp);
    if (async) {
        if (netsnmp_transport *transport = snmp_sess_transport(sessp))
            m_processor.Watch(sessp, transport->sock);
    }
    return {sessp, 0, 0};
}

void KxNetSnmp::Prepare(void *sessp, const KxTarget &target, netsnmp_pdu *pdu)
{
    netsnmp_session *session = snmp_sess_session(sessp);
    session->timeout = long(target.timeout) * 10000L;
    session->retries = target.retries;
    if (target.version == 3) {
        pdu->version = SNMP_VERSION_3;
        pdu->securityLevel = target.securityLevel;
        const QByteArray context = target.contextName.toUtf8();
        if (!context.isEmpty()) {
            pdu->contextName = reinterpret_cast<char *>(copyOf(context));
            pdu->contextNameLen = size_t(context.size());
        }
        const QByteArray engine = target.contextEngineID.toUtf8();
        if (!engine.isEmpty()) {
            pdu->contextEngineID = copyOf(engine);
            pdu->contextEngineIDLen = size_t(engine.size());
        }
    } else {
        pdu->version = session->version;
        const QByteArray community = target.community.toUtf8();
        if (!community.isEmpty()) {
            pdu->community = copyOf(community);
            pdu->community_len = size_t(community.size());
        }
    }
}

int KxNetSnmp::LastError(void *sessp)
{
    int liberr = 0, syserr = 0;
    char *text = nullptr;
    snmp_sess_error(sessp, &liberr, &syserr, &text);
    SNMP_FREE(text);
    // Reports of SNMPv3 agents are recorded as the library's last error only.
    if (!liberr)
        liberr = snmp_errno;
    return liberr ? liberr : SNMPERR_GENERR;
}

// ---- event pump --------------------------------------------------------------

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

void _SnmpEventProcessor::Post(std::function<void()> completion)
{
    m_posted.push_back(std::move(completion));
    Reschedule();
}

void _SnmpEventProcessor::Watch(void *sessp, int fd)
{
    auto *notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    QObject::connect(notifier, &QSocketNotifier::activated, this, [this, fd] { onReadable(fd); });
    notifier->setEnabled(m_running && !m_processing);
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
    process([sessp, fd] {
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
    process([this] {
        for (auto &[fd, watched] : m_watched)
            snmp_sess_timeout(watched.sessp);
    });
}

void _SnmpEventProcessor::process(const std::function<void()> &work)
{
    if (!m_running || m_processing)
        return;
    ++m_wakeUps;
    m_processing = true;
    setNotifiersEnabled(false);
    work();
    while (!m_posted.empty()) {
        auto completion = std::move(m_posted.front());
        m_posted.pop_front();
        completion();
    }
    m_processing = false;
    setNotifiersEnabled(m_running);
    Reschedule();
}

void _SnmpEventProcessor::DueWithin(int ms)
{
    if (!m_running || m_processing)
        return; // the pump reschedules itself when its work is done
    if (!m_timer.isActive() || m_timer.remainingTime() > ms)
        m_timer.start(ms);
}

void _SnmpEventProcessor::Reschedule()
{
    if (!m_running || m_processing)
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
