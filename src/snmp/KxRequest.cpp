#include "KxRequest.h"

#include "KxDiagnostics.h"
#include "KxNetSnmp.h"
#include "KxNumList.h"
#include "KxStatusMap.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

#include <net-snmp/net-snmp-includes.h>

// Shared between a request and its outstanding answers, so an answer that arrives
// after the request is gone finds out instead of touching freed memory.
struct KxSNMPRequest::Core {
    KxSNMPRequest *owner = nullptr;
    int pending = 0;
    int running = 0;             // completions of this request now on the stack
    QEventLoop *waiter = nullptr; // the destructor's wait, while it lasts

    // Answers still to come; completions already running cannot end before the
    // destructor that waits inside one of them returns.
    int Outstanding() const { return pending - running; }
    void Settle()
    {
        if (waiter && Outstanding() <= 0)
            waiter->quit();
    }
};

// A completion in progress: counted as running while it runs and as done afterwards,
// whichever way it leaves (it may throw into the application's handler).
struct KxSNMPRequest::Running {
    explicit Running(Core &c) : core(c) { ++core.running; }
    ~Running()
    {
        --core.running;
        --core.pending;
        core.Settle();
    }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;
    Core &core;
};

// The variables a PDU asked for, with the OID each was asked under.
struct KxSNMPRequest::Sent {
    std::vector<int> vars;
    std::vector<QString> oids;
    QStringList logged; // what the diagnostics say was sent, secrets masked
    const char *kind = "get";
};

// One request as the diagnostics follow it from its send to its outcome.
struct KxSNMPRequest::Trace {
    quint64 serial = 0;
    QString kind;
    QElapsedTimer clock;

    static bool On() { return lcKxSnmp().isDebugEnabled(); }
    void Sent(const QString &what, const KxTarget &target, const QStringList &variables)
    {
        static quint64 counter = 0;
        if (!On())
            return;
        serial = ++counter;
        kind = what;
        clock.start();
        qCDebug(lcKxSnmp).noquote() << QStringLiteral("request %1 %2 to %3: %4")
                                           .arg(serial).arg(kind, KxDescribeTarget(target),
                                                            variables.join(QStringLiteral(", ")));
    }
    void Ended(int code, const QStringList &values) const
    {
        if (!On() || !serial)
            return;
        qCDebug(lcKxSnmp).noquote() << QStringLiteral("request %1 %2 ended after %3 ms: %4 (%5)%6")
                                           .arg(serial).arg(kind).arg(clock.elapsed()).arg(code)
                                           .arg(code ? CodeText(code) : QStringLiteral("no error"),
                                                values.isEmpty() ? QString()
                                                                 : QStringLiteral(": ") + values.join(QStringLiteral(", ")));
    }
};

struct KxSNMPRequest::Record {
    std::shared_ptr<Core> core;
    bool readResponse = false;
    bool isGet = false;
    KxCompletion completion;
    void *data = nullptr;
    Sent sent;
    Trace trace;
};

namespace {

constexpr int kDestroyWaitMs = 6000;

struct PduDeleter {
    void operator()(netsnmp_pdu *pdu) const { snmp_free_pdu(pdu); }
};
using PduPtr = std::unique_ptr<netsnmp_pdu, PduDeleter>;

netsnmp_variable_list nullVarbind()
{
    netsnmp_variable_list vb{};
    vb.type = ASN_NULL;
    return vb;
}

// The answer's varbind for each sent variable, null where it has none: by position
// for a read (get-next moves the OIDs on), by OID for the answer to a set, which
// carries every sent variable, readable or not.
std::vector<const netsnmp_variable_list *> pairVarbinds(const netsnmp_pdu *response,
                                                        const std::vector<QString> &sentOids, bool byOid)
{
    std::vector<const netsnmp_variable_list *> paired(sentOids.size(), nullptr);
    const netsnmp_variable_list *first = response ? response->variables : nullptr;
    if (!byOid) {
        const netsnmp_variable_list *vb = first;
        for (size_t k = 0; k < paired.size() && vb; ++k, vb = vb->next_variable)
            paired[k] = vb;
        return paired;
    }
    for (size_t k = 0; k < paired.size(); ++k) {
        for (const netsnmp_variable_list *vb = first; vb; vb = vb->next_variable) {
            if (OidText(vb->name, vb->name_length) == sentOids[k]) {
                paired[k] = vb;
                break;
            }
        }
    }
    return paired;
}

// The layer's code for what ended an asynchronous call.
int codeOf(const KxAnswer &answer)
{
    const netsnmp_pdu *response = answer.response.get();
    if (answer.op == NETSNMP_CALLBACK_OP_TIMED_OUT)
        return answer.securityError ? NetSnmpErrorText(answer.securityError).code : KxCode::Timeout;
    if (answer.op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && response) {
        if (response->command == SNMP_MSG_REPORT)
            return NetSnmpErrorText(answer.reportType).code;
        return StatusToText(int(response->errstat)).code;
    }
    return NetSnmpErrorText(answer.snmpErr ? answer.snmpErr : SNMPERR_GENERR).code;
}

} // namespace

// What storing a read answer found.
struct KxSNMPRequest::Stored {
    bool over = false;     // every readable column finished, or the v1 end echo
    bool echo = false;     // noSuchName with the request's own OIDs: the walk's end
    bool mismatch = false; // noSuchName for something else
    QString row;
};

KxSNMPRequest::KxSNMPRequest()
    : Timeout(GlobalDefaultTimeout),
      Device(GlobalDevice),
      Scope(GlobalScope),
      Security(GlobalSecurity),
      m_core(std::make_shared<Core>())
{
    m_core->owner = this;
}

KxSNMPRequest::~KxSNMPRequest()
{
    Enabled = false;
    KxNetSnmp *net = GlobalSession();
    if (net && net->EventProcessor().IsRunning() && QCoreApplication::instance()
        && m_core->Outstanding() > 0) {
        // Sleeps in the event loop until the last answer is in or the time is up.
        QEventLoop wait;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer); // a coarse one may end 5% early
        QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
        deadline.start(kDestroyWaitMs);
        m_core->waiter = &wait;
        wait.exec();
        m_core->waiter = nullptr;
    }
    m_core->owner = nullptr;
}

int KxSNMPRequest::PendingCount() const
{
    return m_core->pending;
}

void KxSNMPRequest::Forget()
{
    // The outstanding records keep the old core alive and find no owner in it; this
    // request counts afresh. A completion of this request that is running now ends on
    // the old core, so it is never counted twice.
    m_core->owner = nullptr;
    m_core = std::make_shared<Core>();
    m_core->owner = this;
}

// ---- overridable operations --------------------------------------------------

QString KxSNMPRequest::SubstituteVariables(const QString &expression)
{
    return expression;
}

QString KxSNMPRequest::DecodeKey(int i, const QString &instance)
{
    return VarList.DecodeKey(i, instance);
}

QString KxSNMPRequest::EncodeKey(int i)
{
    return VarList.EncodeKey(i);
}

void KxSNMPRequest::StoreVarbind(int i, const netsnmp_variable_list &vb)
{
    KxSNMPVariable &v = VarList[i];
    const QString text = VarbindToText(vb, v.Syntax);
    v.Value = v.OptionList ? v.OptionList->ValueToText(text) : text;
}

KxSetValue KxSNMPRequest::FillVarbind(int i)
{
    const KxSNMPVariable &v = VarList[i];
    return TextToSetValue(v.Syntax, v.OptionList ? v.OptionList->TextToValue(v.Value) : v.Value);
}

void KxSNMPRequest::ApplyExpression(int i, bool afterGet)
{
    // No list of this module carries expressions; with one, its value would be the
    // expression with the variable references filled in.
    const QString &expression = afterGet ? VarList[i].GetExpression : VarList[i].SetExpression;
    if (!expression.isEmpty())
        VarList[i].Value = SubstituteVariables(expression);
}

bool KxSNMPRequest::EvaluateCondition(const QString &condition)
{
    // Row conditions are not used by this module: every row is shown.
    Q_UNUSED(condition);
    return true;
}

bool KxSNMPRequest::ColumnEnded(const QString &columnOid, const QString &lastOid,
                                const QString &returnedOid)
{
    if (!VarList.IsTable())
        return false;
    // A column OID is a prefix only up to a dot: column 1 must not run into column 10.
    const bool inColumn = returnedOid.size() > columnOid.size() && returnedOid.startsWith(columnOid)
                          && returnedOid.at(columnOid.size()) == QLatin1Char('.');
    return !inColumn || returnedOid == lastOid;
}

// ---- building ----------------------------------------------------------------

KxTarget KxSNMPRequest::MakeTarget(bool forSet) const
{
    if (Device.address.trimmed().isEmpty())
        ThrowKx(KxCode::InvalidAddress);
    KxTarget t;
    t.address = Device.address.trimmed();
    t.port = Device.port;
    t.version = Security.version;
    t.community = forSet ? Security.writeCommunity : Security.readCommunity;
    t.securityModel = Security.securityModel;
    t.securityLevel = Security.securityLevel;
    t.securityName = Security.securityName;
    t.authPassword = Security.authPassword;
    t.privPassword = Security.privPassword;
    t.authProtocol = Security.authProtocol;
    t.privProtocol = Security.privProtocol;
    t.contextEngineID = Scope.contextEngineID;
    t.contextName = Scope.contextName;
    t.timeout = Timeout;
    t.retries = Retries;
    return t;
}

netsnmp_pdu *KxSNMPRequest::BuildGet(bool first, int *failCode, Sent &sent)
{
    int command = SNMP_MSG_GETNEXT;
    switch (VarList.ItemType) {
    case KxItemType::Scalars:
    case KxItemType::Instance:
        if (!first)
            ThrowKx(KxCode::GetNextOnSingle);
        command = VarList.ItemType == KxItemType::Instance && UseGetNext ? SNMP_MSG_GETNEXT : SNMP_MSG_GET;
        break;
    case KxItemType::Table:
    case KxItemType::Table2:
        break;
    default:
        *failCode = KxCode::BadItemType;
        return nullptr;
    }
    PduPtr pdu(snmp_pdu_create(command));
    for (int i = 0; i < VarList.count(); ++i) {
        if (!VarList.Readable(i))
            continue;
        KxSNMPVariable &v = VarList[i];
        QString oidText;
        if (first) {
            v.LastOid.clear();
            oidText = VarList.BaseOid(i);
            if (VarList.ItemType == KxItemType::Scalars)
                oidText += QLatin1String(".0");
        } else {
            oidText = v.LastOid;
        }
        const std::vector<oid> name = OidFromText(oidText);
        if (name.empty()) {
            *failCode = StatusToText(KxStatus::ClassInvalidOid).code;
            return nullptr;
        }
        snmp_add_null_var(pdu.get(), name.data(), name.size());
        sent.vars.push_back(i);
        sent.oids.push_back(oidText);
        if (Trace::On())
            sent.logged << v.Name + QLatin1Char(' ') + oidText;
    }
    if (Trace::On())
        sent.kind = command == SNMP_MSG_GET ? "get" : "get-next";
    return pdu.release();
}

netsnmp_pdu *KxSNMPRequest::BuildSet(Sent &sent)
{
    if (VarList.ItemType > KxItemType::Table2)
        ThrowKx(KxCode::BadItemType);
    const QString row = VarList.IsTable() ? CurrentRowInstance() : QString();
    PduPtr pdu(snmp_pdu_create(SNMP_MSG_SET));
    for (int i = 0; i < VarList.count(); ++i) {
        if (!VarList.Settable(i) || (VarList.IsTable() && i < VarList.KeyCount))
            continue;
        QString oidText = VarList.BaseOid(i);
        if (VarList.ItemType == KxItemType::Scalars)
            oidText += QLatin1String(".0");
        else if (VarList.IsTable())
            oidText += QLatin1Char('.') + row;
        const std::vector<oid> name = OidFromText(oidText);
        if (name.empty())
            ThrowKx(KxCode::BadSyntax);
        const KxSetValue value = FillVarbind(i);
        snmp_pdu_add_variable(pdu.get(), name.data(), name.size(), value.type,
                              value.data.isEmpty() ? nullptr : value.data.constData(),
                              size_t(value.data.size()));
        sent.vars.push_back(i);
        sent.oids.push_back(oidText);
        if (Trace::On())
            sent.logged << VarList[i].Name + QLatin1Char(' ') + oidText + QLatin1Char('=')
                               + KxLoggedValue(VarList[i].Name, VarList[i].Value);
    }
    sent.kind = "set";
    return pdu.release();
}

void KxSNMPRequest::Report(int code)
{
    ++ErrorSerial;
    if (!ErrorHandler)
        return;
    KxSNMPError error;
    error.Code = code;
    error.Text = CodeText(code);
    error.ErrorSerial = ErrorSerial;
    ErrorHandler(error);
}

QString KxSNMPRequest::CurrentRowInstance()
{
    QString row;
    for (int k = 0; k < VarList.KeyCount && k < VarList.count(); ++k) {
        const QString part = EncodeKey(k);
        if (!part.isEmpty())
            row += (row.isEmpty() ? QString() : QStringLiteral(".")) + part;
    }
    return row;
}

// ---- answers -----------------------------------------------------------------

KxSNMPRequest::Stored KxSNMPRequest::StoreResponse(const netsnmp_pdu *response, const Sent &sent,
                                                   int code, bool report, bool byOid)
{
    Stored stored;
    const bool table = VarList.IsTable();
    const netsnmp_variable_list none = nullVarbind();
    const std::vector<const netsnmp_variable_list *> paired = pairVarbinds(response, sent.oids, byOid);
    for (size_t k = 0; k < sent.vars.size(); ++k) {
        const int i = sent.vars[k];
        KxSNMPVariable &v = VarList[i];
        const netsnmp_variable_list *vb = paired[k];
        const QString returned = vb ? OidText(vb->name, vb->name_length) : sent.oids[k];
        if (code == KxCode::NoSuchName && table) {
            // SNMPv1 agents end a walk by answering noSuchName with our own OIDs.
            if (returned == v.LastOid) {
                stored.over = stored.echo = true;
                return stored;
            }
            if (!stored.mismatch && report)
                Report(code);
            stored.mismatch = true;
        }
        const QString base = VarList.BaseOid(i);
        if (ColumnEnded(base, v.LastOid, returned)) {
            v.Value = KxValueText::NotDone;
            const QString row = CurrentRowInstance();
            v.LastOid = row.isEmpty() ? base : base + QLatin1Char('.') + row;
        } else {
            StoreVarbind(i, vb ? *vb : none);
            v.LastOid = returned;
            // Only a column still inside its table says which row this is.
            if (stored.row.isEmpty() && returned.size() > base.size() + 1)
                stored.row = returned.mid(base.size() + 1);
        }
    }
    bool allEnded = true;
    for (int i : sent.vars)
        allEnded = allEnded && VarList[i].Value == KxValueText::NotDone;
    stored.over = allEnded;
    return stored;
}

bool KxSNMPRequest::FinishRow(const Stored &stored)
{
    if (stored.over)
        return false;
    if (VarList.IsTable())
        VarList.DecodeKeys(stored.row, [this](int i, const QString &rest) { return DecodeKey(i, rest); });
    for (int i = 0; i < VarList.count(); ++i)
        ApplyExpression(i, true);
    return VarList.IsTable();
}

// ---- synchronous -------------------------------------------------------------

int KxSNMPRequest::SendSync(const KxTarget &target, netsnmp_pdu *pdu, netsnmp_pdu **response)
{
    PduPtr owned(pdu);
    *response = nullptr;
    const KxNetSnmp::OpenResult open = KxNetSnmp::Create()->SessionFor(target, false);
    if (open.familyStatus)
        return StatusToText(open.familyStatus).code;
    if (!open.sessp) {
        if (open.snmpErr == SNMPERR_BAD_ADDRESS)
            ThrowKx(KxCode::InvalidAddress);
        return NetSnmpErrorText(open.snmpErr).code;
    }
    KxNetSnmp::Prepare(open.sessp, target, pdu);
    const int status = snmp_sess_synch_response(open.sessp, owned.release(), response);
    if (status == STAT_TIMEOUT)
        return KxCode::Timeout;
    if (status != STAT_SUCCESS || !*response)
        return NetSnmpErrorText(KxNetSnmp::LastError(open.sessp)).code;
    return StatusToText(int((*response)->errstat)).code;
}

bool KxSNMPRequest::Get(bool first, bool &ok)
{
    if (!Enabled) {
        ok = false;
        return false;
    }
    const KxTarget target = MakeTarget(false);
    Sent sent;
    int failCode = 0;
    netsnmp_pdu *pdu = BuildGet(first, &failCode, sent);
    if (!pdu) {
        Report(failCode);
        ok = false;
        return false;
    }
    netsnmp_pdu *raw = nullptr;
    Trace trace;
    trace.Sent(QLatin1String(sent.kind), target, sent.logged);
    const int code = SendSync(target, pdu, &raw);
    PduPtr response(raw);
    const bool table = VarList.IsTable();
    if (code != 0 && !(table && code == KxCode::NoSuchName)) {
        Report(code);
        ok = false;
    }
    const Stored stored = StoreResponse(response.get(), sent, code, true);
    trace.Ended(code, code == 0 ? LoggedValues(sent) : QStringList());
    if (stored.mismatch)
        ok = false;
    return FinishRow(stored);
}

void KxSNMPRequest::ApplyIndexList(const QString &indexList, const QStringList *valueSource)
{
    if (!indexList.isEmpty()) {
        KxNumList<int> listed(',');
        listed.parse(indexList);
        for (int i = 0; i < VarList.count(); ++i) {
            KxSNMPVariable &v = VarList[i];
            const int p = listed.positionOf(i);
            if (p < 0) {
                v.Access |= KxAccess::Excluded;
                continue;
            }
            v.Access &= ~KxAccess::Excluded;
            if (valueSource && p < valueSource->size())
                v.Value = valueSource->at(p);
        }
    }
    for (int i = 0; i < VarList.count(); ++i)
        ApplyExpression(i, false);
}

netsnmp_pdu *KxSNMPRequest::BuildSetFor(const QString &indexList, const QStringList *valueSource,
                                        Sent &sent)
{
    // The PDU carries the values: the list is back as it was as soon as it is built.
    const KxSNMPVarList kept = VarList;
    try {
        ApplyIndexList(indexList, valueSource);
        netsnmp_pdu *pdu = BuildSet(sent);
        VarList = kept;
        return pdu;
    } catch (...) {
        VarList = kept;
        throw;
    }
}

KxSNMPRequest::Sent KxSNMPRequest::ReadableOf(const Sent &sent) const
{
    Sent read;
    for (size_t k = 0; k < sent.vars.size(); ++k) {
        if (VarList.Readable(sent.vars[k])) {
            read.vars.push_back(sent.vars[k]);
            read.oids.push_back(sent.oids[k]);
        }
    }
    return read;
}

bool KxSNMPRequest::Set(bool &ok, bool readBack, const QString &indexList,
                        const QStringList *valueSource)
{
    if (!Enabled) {
        ok = false;
        return false;
    }
    const KxTarget target = MakeTarget(true);
    Sent sent;
    netsnmp_pdu *pdu = BuildSetFor(indexList, valueSource, sent);
    netsnmp_pdu *raw = nullptr;
    Trace trace;
    trace.Sent(QLatin1String(sent.kind), target, sent.logged);
    const int code = SendSync(target, pdu, &raw);
    PduPtr response(raw);
    trace.Ended(code, {});
    if (code != 0) {
        Report(code);
        ok = false;
    }
    if (!readBack)
        return false;
    // The answer to a set carries the values as the device now holds them.
    return FinishRow(StoreResponse(response.get(), ReadableOf(sent), code, false, true));
}

// ---- asynchronous ------------------------------------------------------------

void KxSNMPRequest::GetAsync(KxCompletion completion, void *data, bool first)
{
    if (!Enabled)
        return;
    const KxTarget target = MakeTarget(false);
    Sent sent;
    int failCode = 0;
    netsnmp_pdu *pdu = BuildGet(first, &failCode, sent);
    if (!pdu) {
        Refuse(failCode, std::move(completion), data, true, true);
        return;
    }
    Dispatch(target, pdu, std::move(sent), std::move(completion), data, true, true);
}

void KxSNMPRequest::SetAsync(KxCompletion completion, void *data, bool readBack,
                             const QString &indexList, const QStringList *valueSource)
{
    if (!Enabled)
        return;
    const KxTarget target = MakeTarget(true);
    Sent sent;
    netsnmp_pdu *pdu = BuildSetFor(indexList, valueSource, sent);
    Dispatch(target, pdu, readBack ? ReadableOf(sent) : std::move(sent), std::move(completion), data,
             readBack, false);
}

void KxSNMPRequest::Dispatch(const KxTarget &target, netsnmp_pdu *pdu, Sent &&sent,
                             KxCompletion completion, void *data, bool readResponse, bool isGet)
{
    PduPtr owned(pdu);
    KxNetSnmp *net = KxNetSnmp::Create();
    const KxNetSnmp::OpenResult open = net->SessionFor(target, true);
    int code = 0;
    if (open.familyStatus) {
        code = StatusToText(open.familyStatus).code;
    } else if (!open.sessp) {
        if (open.snmpErr == SNMPERR_BAD_ADDRESS)
            ThrowKx(KxCode::InvalidAddress);
        code = NetSnmpErrorText(open.snmpErr).code;
    }
    if (code) {
        if (Trace::On())
            qCDebug(lcKxSnmp).noquote() << QStringLiteral("%1 to %2 refused before sending: %3 (%4)")
                                               .arg(QLatin1String(sent.kind), KxDescribeTarget(target))
                                               .arg(code).arg(CodeText(code));
        Refuse(code, std::move(completion), data, readResponse, isGet);
        return;
    }
    KxNetSnmp::Prepare(open.sessp, target, pdu);
    Trace trace;
    trace.Sent(QLatin1String(sent.kind), target, sent.logged);
    auto record = std::make_shared<Record>(Record{m_core, readResponse, isGet, std::move(completion), data,
                                                  std::move(sent), std::move(trace)});
    ++m_core->pending;
    const int refused = net->SendAsync(open.sessp, owned.release(),
                                       [record](const KxAnswer &answer) { Answered(record, answer); });
    if (refused)
        Report(NetSnmpErrorText(refused).code);
    else
        net->EventProcessor().DueWithin(target.timeout * 10);
}

void KxSNMPRequest::Refuse(int code, KxCompletion completion, void *data, bool readResponse, bool isGet)
{
    Report(code);
    // Nothing will ever answer a refused send: its completion is delivered from the
    // pump like any other, so the caller is never left waiting.
    ++m_core->pending;
    auto record = std::make_shared<Record>(Record{m_core, readResponse, isGet, std::move(completion), data, {}, {}});
    KxNetSnmp::Create()->EventProcessor().Post([record, code] {
        const Running running(*record->core);
        if (KxSNMPRequest *owner = record->core->owner)
            owner->Complete(*record, code, nullptr);
    });
}

void KxSNMPRequest::Answered(const std::shared_ptr<Record> &record, const KxAnswer &answer)
{
    const Running running(*record->core);
    KxSNMPRequest *owner = record->core->owner;
    // A closed session ends its exchanges without an outcome for the caller.
    if (!owner || answer.op == NETSNMP_CALLBACK_OP_DISCONNECT)
        return;
    const int code = codeOf(answer);
    // A send that waited for the engine discovery is reported as it is refused.
    if (answer.refused && answer.late && owner->Enabled)
        owner->Report(code);
    const netsnmp_pdu *response = answer.response.get();
    owner->Complete(*record, code, response && response->command != SNMP_MSG_REPORT ? response : nullptr);
}

void KxSNMPRequest::Complete(const Record &record, int code, const netsnmp_pdu *pdu)
{
    // A request on its way out no longer talks to its owner.
    if (!Enabled)
        return;
    KxSNMPError error;
    error.ErrorIndex = pdu ? int(pdu->errindex) : 0;
    const QHostAddress address(Device.address);
    error.AgentAddress = address.isNull() ? Device.address : address.toString();
    error.AgentPort = Device.port;
    error.ErrorSerial = ErrorSerial;
    // SNMPv1 agents end a walk with noSuchName; the same answer to a set is a refusal.
    const bool walkEnd = record.isGet && VarList.IsTable() && code == KxCode::NoSuchName;
    error.Finished = true;
    if (pdu && ((code == 0 && record.readResponse) || walkEnd)) {
        try {
            const Stored stored = StoreResponse(pdu, record.sent, code, false, !record.isGet);
            if (stored.echo)
                code = 0;
            const bool more = !stored.echo && !stored.mismatch && FinishRow(stored);
            error.Finished = !more;
        } catch (const KxException &e) {
            // A row the keys cannot be read from ends the walk with its error.
            code = e.HelpContext();
        }
    }
    error.Code = code;
    error.Text = CodeText(code);
    record.trace.Ended(code, code == 0 && record.readResponse ? LoggedValues(record.sent) : QStringList());
    if (record.completion)
        record.completion(record.data, error, VarList);
}

QStringList KxSNMPRequest::LoggedValues(const Sent &sent) const
{
    QStringList values;
    for (int i : sent.vars) {
        if (i < VarList.count())
            values << VarList[i].Name + QLatin1Char('=') + KxLoggedValue(VarList[i].Name, VarList[i].Value);
    }
    return values;
}
