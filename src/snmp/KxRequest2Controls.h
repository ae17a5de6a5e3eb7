// The screen-facing request: reads a variable list into a window's controls and writes
// the controls back, synchronously or asynchronously, and reports every outcome as the
// request log line in its status target.
#pragma once

#include "KxRequest.h"
#include "KxStatusTarget.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class KxSNMPRequest2Controls {
public:
    using Completion = std::function<void(KxSNMPRequest2Controls *sender, const KxSNMPError &error)>;

    explicit KxSNMPRequest2Controls(QWidget *owner);
    // Stops talking to the device first: no completion reaches a half-destroyed owner.
    virtual ~KxSNMPRequest2Controls();
    KxSNMPRequest2Controls(const KxSNMPRequest2Controls &) = delete;
    KxSNMPRequest2Controls &operator=(const KxSNMPRequest2Controls &) = delete;

    KxSNMPRequest Request;
    Completion OnGetComplete;
    Completion OnSetComplete;
    bool Asynchronous = true;
    bool Busy = false;
    QWidget *Owner() const { return m_owner; }
    int RowCount = 0;
    KxStatusTarget StatusTarget;
    int LogIndex = 0; // 0 get, 1 set
    bool RefreshAfterSet = true;
    // A further condition a row must meet to be shown; none shows every row.
    std::function<bool()> RowFilter;
    QString RowFilterText;

    KxSNMPVarList &VarList() { return Request.VarList; }
    void SetStatusBar(const KxStatusTarget &target) { StatusTarget = target; }

    // Reads the list into the controls (a table row by row). The synchronous form
    // returns false when an error was reported; the asynchronous one returns at once.
    bool GetIntoControls();
    // Reads the controls into the list (when asked) and sends one set; with an index
    // list only those variables, with a value source their values from it. With
    // `refresh`, a table is read again after a successful set, and only then.
    bool SetFromControls(bool refresh = true, bool readControls = true,
                         const QString &indexList = {}, const QStringList *valueSource = nullptr);

    // Slots 4 and 5, offered to owners: the log line into the status target, or the
    // text in a message box when there is none.
    virtual void ReportGetMessage(const QString &text);
    virtual void ReportSetMessage(const QString &text);

protected:
    // The transfer's steps, in their slot order.
    virtual void BeforeGet() {}
    virtual void BeforeSet() {}
    virtual void ShowRow() = 0;
    virtual void ReadControls() {}
    virtual void AfterGet() {}
    virtual void AfterSet() {}

private:
    void Report(int format, const QString &text);
    void WriteLog(const QString &text);
    void GiveSuccess();
    bool RowPasses() const;
    void GetCompleted(const KxSNMPError &error);
    void SetCompleted(const KxSNMPError &error);
    void FinishGet(const KxSNMPError &error);
    void CompletionFailed(const QString &text);
    KxCompletion GetCompletion();
    KxCompletion SetCompletion();

    QPointer<QWidget> m_owner;
};
