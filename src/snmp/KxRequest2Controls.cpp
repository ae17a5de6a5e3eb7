#include "KxRequest2Controls.h"

#include "KxDialogs.h"
#include "KxErrors.h"

namespace {
// A table that never ends must not hang the window.
constexpr int kMaxRows = 100000;
} // namespace

KxSNMPRequest2Controls::KxSNMPRequest2Controls(QWidget *owner) : m_owner(owner)
{
    // Every error the request reports, and every success record, becomes the log line.
    Request.ErrorHandler = [this](const KxSNMPError &error) { WriteLog(error.Text); };
}

KxSNMPRequest2Controls::~KxSNMPRequest2Controls()
{
    Request.Enabled = false;
}

void KxSNMPRequest2Controls::WriteLog(const QString &text)
{
    if (StatusTarget.isSet())
        StatusTarget.Write(RequestLogLine(LogIndex, Request.VarList.ListName, text));
}

void KxSNMPRequest2Controls::Report(int format, const QString &text)
{
    if (StatusTarget.isSet())
        StatusTarget.Write(RequestLogLine(format, Request.VarList.ListName, text));
    else
        Dialogs().MessageBox(m_owner, text, ProgramTitle(), QMessageBox::Ok);
}

void KxSNMPRequest2Controls::ReportGetMessage(const QString &text)
{
    Report(0, text);
}

void KxSNMPRequest2Controls::ReportSetMessage(const QString &text)
{
    Report(1, text);
}

void KxSNMPRequest2Controls::GiveSuccess()
{
    if (!Request.ErrorHandler)
        return;
    KxSNMPError success;
    success.Code = 0;
    success.Text = FamilyText(KxFamily::KxSNMPpp, 0);
    success.ErrorSerial = -1;
    Request.ErrorHandler(success);
}

bool KxSNMPRequest2Controls::RowPasses() const
{
    // The request's own row condition is always empty in this module's lists.
    return !RowFilter || RowFilter();
}

KxCompletion KxSNMPRequest2Controls::GetCompletion()
{
    return [this](void *, const KxSNMPError &error, KxSNMPVarList &) { GetCompleted(error); };
}

KxCompletion KxSNMPRequest2Controls::SetCompletion()
{
    return [this](void *, const KxSNMPError &error, KxSNMPVarList &) { SetCompleted(error); };
}

bool KxSNMPRequest2Controls::GetIntoControls()
{
    LogIndex = 0;
    try {
        BeforeGet();
        RowCount = 0;
        if (Asynchronous) {
            Busy = true;
            if (Request.Enabled)
                Request.GetAsync(GetCompletion(), this, true);
            else
                Busy = false;
            return true;
        }
        Busy = true;
        bool ok = true;
        if (Request.VarList.IsTable()) {
            bool first = true;
            for (int row = 0; row < kMaxRows && Request.Get(first, ok); ++row) {
                first = false;
                if (RowPasses()) {
                    ShowRow();
                    ++RowCount;
                }
            }
        } else {
            Request.Get(true, ok);
            if (RowPasses()) {
                ShowRow();
                ++RowCount;
            }
        }
        AfterGet();
        Busy = false;
        if (ok)
            GiveSuccess();
        return ok;
    } catch (const KxException &) {
        Busy = false;
        throw;
    }
}

void KxSNMPRequest2Controls::CompletionFailed(const QString &text)
{
    Busy = false;
    LogIndex = 0;
    ReportGetMessage(text);
}

void KxSNMPRequest2Controls::FinishGet(const KxSNMPError &error)
{
    AfterGet();
    Busy = false;
    GiveSuccess();
    if (OnGetComplete)
        OnGetComplete(this, error);
}

// Runs inside the event pump: nothing may be thrown back into the SNMP library.
void KxSNMPRequest2Controls::GetCompleted(const KxSNMPError &error)
{
    try {
        if (error.Code != 0) {
            Busy = false;
            LogIndex = 0;
            // The screens rely on the status line for failures of their reads too.
            if (Request.ErrorHandler)
                Request.ErrorHandler(error);
            if (OnGetComplete)
                OnGetComplete(this, error);
            return;
        }
        const bool table = Request.VarList.IsTable();
        if (!table || !error.Finished) {
            if (RowPasses()) {
                ShowRow();
                ++RowCount;
            }
        }
        if (table && !error.Finished && Request.Enabled && RowCount < kMaxRows) {
            Request.GetAsync(GetCompletion(), this, false);
            return;
        }
        FinishGet(error);
    } catch (const KxException &e) {
        CompletionFailed(e.Text());
    } catch (const std::exception &e) {
        CompletionFailed(QString::fromLocal8Bit(e.what()));
    }
}

bool KxSNMPRequest2Controls::SetFromControls(bool refresh, bool readControls,
                                             const QString &indexList, const QStringList *valueSource)
{
    LogIndex = 1;
    RefreshAfterSet = refresh;
    try {
        BeforeSet();
        if (readControls)
            ReadControls();
        if (Asynchronous) {
            Busy = true;
            if (Request.Enabled)
                Request.SetAsync(SetCompletion(), this, false, indexList, valueSource);
            else
                Busy = false;
            return true;
        }
        Busy = true;
        bool ok = true;
        Request.Set(ok, false, indexList, valueSource);
        AfterSet();
        Busy = false;
        if (!ok)
            return false; // a read now would put its "Ok!" over the set's error
        GiveSuccess();
        if (Request.VarList.IsTable() && RefreshAfterSet)
            GetIntoControls();
        return true;
    } catch (const KxException &) {
        Busy = false;
        throw;
    }
}

void KxSNMPRequest2Controls::SetCompleted(const KxSNMPError &error)
{
    try {
        if (error.Code != 0) {
            Busy = false;
            LogIndex = 1;
            if (Request.ErrorHandler)
                Request.ErrorHandler(error);
            if (OnSetComplete)
                OnSetComplete(this, error);
            return;
        }
        AfterSet();
        Busy = false;
        LogIndex = 1;
        GiveSuccess();
        if (OnSetComplete)
            OnSetComplete(this, error);
        if (Request.VarList.IsTable() && RefreshAfterSet)
            GetIntoControls();
    } catch (const KxException &e) {
        Busy = false;
        LogIndex = 1;
        ReportSetMessage(e.Text());
    } catch (const std::exception &e) {
        Busy = false;
        LogIndex = 1;
        ReportSetMessage(QString::fromLocal8Bit(e.what()));
    }
}
