#include "KxNetSnmp.h"

#include "KxStatusMap.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QHostInfo>

#include <net-snmp/net-snmp-includes.h>

#include <cstring>

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
        // The sessions live as long as the module: their keys hold a digest of the
        // credentials, not a readable copy of the passwords.
        QCryptographicHash credentials(QCryptographicHash::Sha256);
        for (const QString &part : {t.securityName, t.authPassword, t.privPassword}) {
            const QByteArray bytes = part.toUtf8();
            credentials.addData(QByteArray::number(bytes.size()) + ':' + bytes);
        }
        key += '\x1f' + credentials.result().toHex();
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

struct PduFree {
    void operator()(netsnmp_pdu *pdu) const { snmp_free_pdu(pdu); }
};
using OwnedPdu = std::unique_ptr<netsnmp_pdu, PduFree>;

// Only what the layer reads of an answer: net-snmp's security state stays with its
// own PDU, which it frees when the callback returns.
std::shared_ptr<const netsnmp_pdu> copyOfAnswer(const netsnmp_pdu *pdu)
{
    netsnmp_pdu *copy = snmp_pdu_create(pdu->command);
    if (!copy)
        return nullptr;
    copy->errstat = pdu->errstat;
    copy->errindex = pdu->errindex;
    copy->reqid = pdu->reqid;
    copy->variables = snmp_clone_varbind(pdu->variables);
    return std::shared_ptr<const netsnmp_pdu>(copy, [](const netsnmp_pdu *p) {
        snmp_free_pdu(const_cast<netsnmp_pdu *>(p));
    });
}

// net-snmp's discovery asks as an empty user without security, who must be in the
// user table for the probe to be built.
void ensureProbeUser()
{
    if (usm_get_user(nullptr, 0, ""))
        return;
    struct usmUser *user = usm_create_user();
    if (!user)
        return;
    user->name = strdup("");
    user->secName = strdup("");
    usm_add_user(user);
}

netsnmp_pdu *probePdu()
{
    netsnmp_pdu *probe = snmp_pdu_create(SNMP_MSG_GET);
    if (!probe)
        return nullptr;
    probe->version = SNMP_VERSION_3;
    probe->securityModel = SNMP_SEC_MODEL_USM;
    probe->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    probe->securityName = strdup("");
    probe->securityNameLen = 0;
    return probe;
}

} // namespace

// One exchange as net-snmp knows it, by its callback data. It lives until its outcome
// has been delivered; net-snmp no longer refers to it after the callback that ended it.
struct KxNetSnmp::Exchange {
    _SnmpEventProcessor *pump;
    KxAnswerHandler done;
    KxAnswer answer;
    bool ended = false;
    bool deferred = false; // sent after the caller's call had returned
};

// A PDU held back until its session knows the agent's engine, with its own timing.
struct KxNetSnmp::Waiting {
    OwnedPdu pdu;
    Exchange *exchange;
    long timeout;
    int retries;
};

struct KxNetSnmp::Discovery {
    bool probing = false;
    std::vector<Waiting> waiting;
};

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
    // The synchronous and the asynchronous session of one target share its user entry:
    // removing it for the second would leave the first without keys.
    if (target.version == 3 && !m_sessions.count(sessionKey(target, !async)))
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
        // net-snmp would discover the engine synchronously inside the first send (and
        // clears this flag when the session opens): SendAsync does it through the pump.
        if (target.version == 3)
            snmp_sess_session(sessp)->flags |= SNMP_FLAGS_DONT_PROBE;
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


// ---- asynchronous exchanges ----------------------------------------------------

int KxNetSnmp::SendAsync(void *sessp, netsnmp_pdu *pdu, KxAnswerHandler done)
{
    auto *exchange = new Exchange{&m_processor, std::move(done), {}, false, false};
    netsnmp_session *session = snmp_sess_session(sessp);
    if (session->version == SNMP_VERSION_3 && session->securityEngineIDLen == 0) {
        std::shared_ptr<Discovery> &discovery = m_discovery[sessp];
        if (!discovery)
            discovery = std::make_shared<Discovery>();
        discovery->waiting.push_back({OwnedPdu(pdu), exchange, session->timeout, session->retries});
        if (!discovery->probing)
            discover(sessp);
        return 0;
    }
    return send(sessp, pdu, exchange);
}

int KxNetSnmp::send(void *sessp, netsnmp_pdu *pdu, Exchange *exchange)
{
    int reqid = 0;
    {
        _SnmpEventProcessor::LibraryCall inLibrary(m_processor);
        reqid = snmp_sess_async_send(sessp, pdu, &KxNetSnmp::onAnswer, exchange);
    }
    if (reqid)
        return 0;
    // Refused: net-snmp may have ended the exchange inside the call already (its
    // delivery is queued, not run); the PDU is still ours either way.
    const int err = LastError(sessp);
    snmp_free_pdu(pdu);
    exchange->answer.refused = true;
    exchange->answer.late = exchange->deferred;
    if (!exchange->ended) {
        exchange->answer.op = NETSNMP_CALLBACK_OP_SEND_FAILED;
        exchange->answer.snmpErr = err;
        end(exchange);
    }
    m_processor.Reschedule();
    return err;
}

void KxNetSnmp::discover(void *sessp)
{
    Discovery &discovery = *m_discovery[sessp];
    discovery.probing = true;
    auto *probe = new Exchange{&m_processor, [this, sessp](const KxAnswer &answer) { discovered(sessp, answer); },
                               {}, false, false};
    ensureProbeUser();
    netsnmp_pdu *pdu = probePdu();
    if (!pdu) {
        probe->answer.op = NETSNMP_CALLBACK_OP_SEND_FAILED;
        probe->answer.snmpErr = SNMPERR_MALLOC;
        probe->answer.refused = true;
        end(probe);
        return;
    }
    // The probe takes the timing of the request that asked first, so a silent agent
    // costs that request its own time-out and retries, as a direct send would.
    netsnmp_session *session = snmp_sess_session(sessp);
    session->timeout = discovery.waiting.front().timeout;
    session->retries = discovery.waiting.front().retries;
    send(sessp, pdu, probe);
}

void KxNetSnmp::discovered(void *sessp, const KxAnswer &probe)
{
    const std::shared_ptr<Discovery> discovery = m_discovery[sessp];
    std::vector<Waiting> waiting = std::move(discovery->waiting);
    discovery->waiting.clear();
    discovery->probing = false;
    netsnmp_session *session = snmp_sess_session(sessp);
    const bool known = session->securityEngineIDLen > 0;
    // What net-snmp's own discovery does next: the user's keys localised for the
    // engine just learnt. A failure shows in the sends that follow.
    if (known)
        usm_create_user_from_session(session);
    for (Waiting &w : waiting) {
        if (known) {
            session->timeout = w.timeout;
            session->retries = w.retries;
            w.exchange->deferred = true;
            send(sessp, w.pdu.release(), w.exchange);
            continue;
        }
        // Nobody told us the engine: each request ends as the probe did.
        w.exchange->answer = probe;
        w.exchange->answer.response.reset();
        end(w.exchange);
    }
}

int KxNetSnmp::onAnswer(int op, netsnmp_session *session, int, netsnmp_pdu *pdu, void *magic)
{
    auto *exchange = static_cast<Exchange *>(magic);
    if (op == NETSNMP_CALLBACK_OP_RESEND || op == NETSNMP_CALLBACK_OP_CONNECT)
        return 1;
    if (op == NETSNMP_CALLBACK_OP_SEC_ERROR) {
        // Not the end: net-snmp still delivers the report or the time-out. Keep what
        // went wrong in case only the time-out follows.
        exchange->answer.securityError = session ? session->s_snmp_errno : SNMPERR_GENERR;
        return 1;
    }
    exchange->answer.op = op;
    exchange->answer.snmpErr = session ? session->s_snmp_errno : SNMPERR_GENERR;
    if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu) {
        exchange->answer.response = copyOfAnswer(pdu);
        if (pdu->command == SNMP_MSG_REPORT)
            exchange->answer.reportType = snmpv3_get_report_type(pdu);
    }
    end(exchange);
    return 1;
}

void KxNetSnmp::end(Exchange *exchange)
{
    exchange->ended = true;
    std::shared_ptr<Exchange> owned(exchange);
    exchange->pump->Post([owned] { owned->done(owned->answer); });
}
