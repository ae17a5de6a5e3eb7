// The current leases tab of 'Advanced \ DHCP Server': the lists of leases the device
// gathers when asked to, dynamic and static.
#include "TFM_DHCPTabs.h"

#include "KxDeviceObjects.h"

namespace {

#define ROOT KX_DEVICE_ROOT
#define LEASES ROOT ".3.1.4.2.1"
#define RESERVED ROOT ".3.1.4.4.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kRefresh[] = {{0, "nothing"}, {1, "refresh"}, {0, nullptr}};
const KxOptionList &refreshes() { static const KxOptionList l(kRefresh); return l; }

const KxSNMPVarDesc kRefreshDynamic[] = {
    {ROOT ".3.1.4.1", "refreshCurrentDynamicList", Integer, ReadWrite, &refreshes()}, {nullptr}};
const KxSNMPVarDesc kRefreshStatic[] = {
    {ROOT ".3.1.4.3", "refreshCurrentStaticList", Integer, ReadWrite, &refreshes()}, {nullptr}};
const KxSNMPVarDesc kLeases[] = {
    {LEASES ".1", "currentDynamicIndex", Integer, Key | Readable},
    {LEASES ".2", "currentDynamicHostName", DisplayString, ReadOnly},
    {LEASES ".3", "Current Dynamic MAC", MacAddress, ReadOnly},
    {LEASES ".4", "Current Dynamic Assigned IP", IpAddress, ReadOnly},
    {LEASES ".5", "Current Dynamic Lease", TimeTicks, ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kReserved[] = {
    {RESERVED ".1", "currentStaticIndex", Integer, Key | Readable},
    {RESERVED ".2", "currentStaticHostName", DisplayString, ReadOnly},
    {RESERVED ".3", "Current Static MAC", MacAddress, ReadOnly},
    {RESERVED ".4", "Current Static Assigned IP", IpAddress, ReadOnly},
    {nullptr},
};
// The lease lists' MAC column: an empty slot holds no MAC, while a client may well
// hold a lease without a host name.
constexpr int kLeaseMac = 2;
const QString kNoMac = QStringLiteral("000000000000");

constexpr int kTimeout = 10000;

} // namespace

void TFM_DHCP::BuildCurrentRequests()
{
    Current &c = *m_cur;
    c.refreshDynamicRequest = MakeRequest(kRefreshDynamic, KxItemType::Scalars, 0, true, kTimeout, false);
    c.refreshDynamicRequest->BindControl(0, c.dynamicTrigger);
    c.refreshStaticRequest = MakeRequest(kRefreshStatic, KxItemType::Scalars, 0, true, kTimeout, false);
    c.refreshStaticRequest->BindControl(0, c.staticTrigger);
    auto list = [this](const KxSNMPVarDesc *table, QTreeWidget *hidden, QStatusBar *bar) {
        auto request = std::make_unique<New_req2Edit>(this);
        request->VarList() = KxSNMPVarList(table, KxItemType::Table, 1);
        request->Request.Timeout = kTimeout;
        request->SetStatusBar(KxStatusTarget(bar));
        request->BindListView(hidden, false);
        request->SkipValue = kNoMac;
        request->SkipColumn = kLeaseMac;
        New_req2Edit *raw = request.get();
        request->OnGetComplete = [this, raw](KxSNMPRequest2Controls *, const KxSNMPError &e) { CurrentRead(raw, e); };
        return request;
    };
    c.dynamicRequest = list(kLeases, c.dynamicRead, c.dynamicStatus);
    c.staticRequest = list(kReserved, c.staticRead, c.staticStatus);
    c.refreshDynamicRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
        RefreshDone(m_cur->dynamicRequest.get(), e);
    };
    c.refreshStaticRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
        RefreshDone(m_cur->staticRequest.get(), e);
    };
    ReadCurrent(c.dynamicRequest.get());
    ReadCurrent(c.staticRequest.get());
}

void TFM_DHCP::ReadCurrent(New_req2Edit *request)
{
    // Two walks of one request at a time would mix their rows.
    if (request->Busy) {
        m_cur->again[request] = true;
        return;
    }
    request->RowNumber = 1;
    try {
        request->GetIntoControls();
    } catch (const KxException &e) {
        request->StatusTarget.Write(e.Text());
    }
}

void TFM_DHCP::CurrentRead(New_req2Edit *request, const KxSNMPError &error)
{
    Current &c = *m_cur;
    if (c.again[request]) {
        c.again[request] = false;
        ReadCurrent(request);
        return;
    }
    const bool dynamic = request == c.dynamicRequest.get();
    QStatusBar *bar = dynamic ? c.dynamicStatus : c.staticStatus;
    if (error.Code != 0) {
        bar->showMessage(QStringLiteral("Setting Error!"));
        return;
    }
    QTreeWidget *read = dynamic ? c.dynamicRead : c.staticRead;
    QTreeWidget *shown = dynamic ? c.dynamicShown : c.staticShown;
    const int columns = dynamic ? 4 : 3; // host name, MAC, address (and lease), after the number
    shown->clear();
    for (int i = 0; i < read->topLevelItemCount(); ++i) {
        QStringList texts;
        for (int column = 1; column <= columns; ++column)
            texts << read->topLevelItem(i)->text(column);
        shown->addTopLevelItem(new QTreeWidgetItem(texts));
    }
    bar->showMessage(QStringLiteral("Get OK"));
}

void TFM_DHCP::RefreshDone(New_req2Edit *request, const KxSNMPError &error)
{
    QStatusBar *bar = request == m_cur->dynamicRequest.get() ? m_cur->dynamicStatus : m_cur->staticStatus;
    if (error.Code != 0) {
        bar->showMessage(QStringLiteral("Setting Error!"));
        return;
    }
    bar->showMessage(QStringLiteral("Setting Sucess!"));
    ReadCurrent(request);
    bar->showMessage(QStringLiteral("Get OK"));
}

void TFM_DHCP::Bt_RefreshDynamicPoolClick()
{
    Current &c = *m_cur;
    if (!c.refreshDynamicRequest || !c.dynamicRequest)
        return;
    refreshes().Select(c.dynamicTrigger, QStringLiteral("refresh"));
    if (Write(c.refreshDynamicRequest, c.dynamicStatus))
        ReadCurrent(c.dynamicRequest.get());
}

void TFM_DHCP::Bt_RefreshStaticPoolClick()
{
    Current &c = *m_cur;
    if (!c.refreshStaticRequest)
        return;
    refreshes().Select(c.staticTrigger, QStringLiteral("refresh"));
    Write(c.refreshStaticRequest, c.staticStatus);
}
