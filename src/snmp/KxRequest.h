// A request sends one variable list to the device and stores the answers back into
// it: get (a table is walked one row per call) and set, synchronous or asynchronous.
#pragma once

#include "KxErrors.h"
#include "KxSession.h"
#include "KxValues.h"
#include "KxVarList.h"

#include <QStringList>

#include <functional>
#include <memory>

struct KxTarget;
struct KxAnswer;

// Called with the caller's data, the outcome of the call and the request's list.
using KxCompletion = std::function<void(void *data, const KxSNMPError &error, KxSNMPVarList &list)>;
using KxErrorHandler = std::function<void(const KxSNMPError &error)>;

class KxSNMPRequest {
public:
    KxSNMPRequest();
    // Waits up to 6000 ms, with the event loop running, for outstanding answers
    // (other than those whose completions are running, when it is called from one).
    // Completions that arrive meanwhile no longer reach the caller: its owner is on
    // its way out.
    virtual ~KxSNMPRequest();
    KxSNMPRequest(const KxSNMPRequest &) = delete;
    KxSNMPRequest &operator=(const KxSNMPRequest &) = delete;

    KxErrorHandler ErrorHandler;
    bool UseGetNext = false;
    int Timeout;  // hundredths of a second
    int Retries = 1;
    KxSNMPDevice Device;
    KxSNMPScope Scope;
    KxSNMPSecurity Security;
    KxSNMPVarList VarList;
    QString RowCondition;
    bool Enabled = true;
    int PendingCount() const;
    // Lets go of every outstanding asynchronous call: net-snmp keeps the exchanges until
    // they end by themselves, but their outcomes reach nobody, PendingCount is 0 and the
    // destructor has nothing to wait for. For an owner that is going away with the
    // module (the main window's close), not for one that needs its answers.
    void Forget();
    qint64 ErrorSerial = 0;

    // Synchronous read. `first` starts a read (a new walk for tables). `ok` is only ever
    // set to false. True when a table row was read and another may follow.
    bool Get(bool first, bool &ok);
    void GetAsync(KxCompletion completion, void *data, bool first);
    // Sends every settable variable, or with an index list ("0,2") only those, taking
    // values from `valueSource` by position in the index list when given. Values and
    // access flags are as before afterwards.
    bool Set(bool &ok, bool readBack, const QString &indexList = {},
             const QStringList *valueSource = nullptr);
    void SetAsync(KxCompletion completion, void *data, bool readBack,
                  const QString &indexList = {}, const QStringList *valueSource = nullptr);

protected:
    // Operations a derived request may replace, in their slot order.
    virtual QString SubstituteVariables(const QString &expression);
    virtual QString DecodeKey(int i, const QString &instance);
    virtual QString EncodeKey(int i);
    virtual void StoreVarbind(int i, const netsnmp_variable_list &vb);
    virtual KxSetValue FillVarbind(int i);
    virtual void ApplyExpression(int i, bool afterGet);
    virtual bool EvaluateCondition(const QString &condition);
    virtual bool ColumnEnded(const QString &columnOid, const QString &lastOid,
                             const QString &returnedOid);

private:
    struct Core;
    struct Record;
    struct Running;
    struct Sent;
    struct Trace;
    struct Stored;

    KxTarget MakeTarget(bool forSet) const;
    netsnmp_pdu *BuildGet(bool first, int *failCode, Sent &sent);
    netsnmp_pdu *BuildSet(Sent &sent);
    netsnmp_pdu *BuildSetFor(const QString &indexList, const QStringList *valueSource, Sent &sent);
    Sent ReadableOf(const Sent &sent) const;
    QString CurrentRowInstance();
    void Report(int code);
    // Stores a read answer, or after a failure the sent OIDs without values. The
    // answer to a set is paired with the sent variables by OID, a read by position.
    Stored StoreResponse(const netsnmp_pdu *response, const Sent &sent, int code, bool report,
                         bool byOid = false);
    // Decodes the keys of the row just read and applies the get expressions.
    bool FinishRow(const Stored &stored);
    int SendSync(const KxTarget &target, netsnmp_pdu *pdu, netsnmp_pdu **response);
    void Dispatch(const KxTarget &target, netsnmp_pdu *pdu, Sent &&sent, KxCompletion completion,
                  void *data, bool readResponse, bool isGet);
    // A send that never left: reported, and its completion delivered from the pump.
    void Refuse(int code, KxCompletion completion, void *data, bool readResponse, bool isGet);
    // Runs from the pump with what ended an asynchronous call.
    static void Answered(const std::shared_ptr<Record> &record, const KxAnswer &answer);
    void Complete(const Record &record, int code, const netsnmp_pdu *pdu);
    void ApplyIndexList(const QString &indexList, const QStringList *valueSource);
    // The values of the sent variables as the diagnostics show them.
    QStringList LoggedValues(const Sent &sent) const;

    std::shared_ptr<Core> m_core;
};
