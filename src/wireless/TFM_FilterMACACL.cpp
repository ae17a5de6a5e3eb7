#include "TFM_FilterMACACL.h"

#include "KxDeviceObjects.h"
#include "KxDialogs.h"
#include "KxStations.h"
#include "New_req2Edit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace KxStations;

namespace {

#define ACL KX_DEVICE_ROOT ".2.1.3.3.2.3"

const KxIntOption kModes[] = {{1, "Accept"}, {2, "Reject"}, {3, "Disable"}, {0, nullptr}};
const KxOptionList &modes() { static const KxOptionList l(kModes); return l; }

const KxSNMPVarDesc kMode[] = {
    {ACL ".2.1.1.1", "dot11MacAccessControl", KxSyntax::Integer, KxAccess::ReadWrite, &modes()},
    {nullptr},
};
const KxSNMPVarDesc kAdd[] = {
    {ACL ".2.1.2.1", "dot11MacAccessControlMacAddressAdd", KxSyntax::MacAddress, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kDelete[] = {
    {ACL ".2.1.3.1", "dot11MacAccessControlMacAddressDelete", KxSyntax::MacAddress, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kList[] = {
    {ACL ".3.1.1", "dot11MacAccessControlListIndex", KxSyntax::Integer, KxAccess::Key | KxAccess::Readable},
    {ACL ".3.1.2", "dot11MacAccessControlListMacAddress", KxSyntax::MacAddress, KxAccess::ReadOnly},
    {nullptr},
};
constexpr int kListMac = 1;

constexpr int kTimeout = 10000;
constexpr int kDisable = 2;        // item of CB_AccessControl
constexpr int kWirelessClient = 3; // item of Cbox_ACLAPmode
enum { FullList, ShownList };

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(text);
    b->setAutoDefault(false);
    return b;
}

QTreeWidget *listView(QWidget *parent, const char *name, const QString &caption, const QStringList &columns)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(caption);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(columns);
    return list;
}

} // namespace

bool SameMac(const QString &typed, const QString &listed)
{
    return typed.size() == listed.size() && typed.compare(listed, Qt::CaseInsensitive) == 0;
}

TFM_FilterMACACL::TFM_FilterMACACL(QWidget *parent)
    : KxScreen(QStringLiteral("FM_FilterMACACL"), QStringLiteral("Advanced \\ Wireless MAC ACL"), parent)
{
    StatusBar()->setObjectName(QStringLiteral("StatusBar1"));
    BuildControls();
    BuildRequests();
}

TFM_FilterMACACL::~TFM_FilterMACACL()
{
    StopRequests();
    if (m_userListRequest)
        m_userListRequest->Request.Enabled = false;
    m_userListRequest.reset();
}

void TFM_FilterMACACL::BuildControls()
{
    QFormLayout *top = AddGroup();
    m_band = new QComboBox(this);
    m_band->setObjectName(QStringLiteral("CB_Band"));
    m_band->setAccessibleName(QStringLiteral("Band"));
    top->addRow(QStringLiteral("Band"), m_band);
    m_accessControl = new QComboBox(this);
    m_accessControl->setObjectName(QStringLiteral("CB_AccessControl"));
    m_accessControl->setAccessibleName(QStringLiteral("Access Control"));
    m_accessControl->setMinimumWidth(120);
    top->addRow(QStringLiteral("Access Control"), m_accessControl);
    m_macAdd = new QLineEdit(this);
    m_macAdd->setObjectName(QStringLiteral("Ed_MacAdd"));
    m_macAdd->setAccessibleName(QStringLiteral("MAC Address"));
    m_addTyped = button(this, "Btn_Add", QStringLiteral("Add"));
    auto *addLine = new QHBoxLayout;
    addLine->addWidget(m_macAdd);
    addLine->addWidget(m_addTyped);
    top->addRow(QStringLiteral("MAC Address"), addLine);

    auto *lists = new QHBoxLayout;
    auto *listGroup = new QGroupBox(QStringLiteral("MAC Address"), this);
    auto *listColumn = new QVBoxLayout(listGroup);
    m_userList = listView(this, "LV_UerMACAddress", QStringLiteral("MAC Address"),
                          {QStringLiteral("ID"), QStringLiteral("MAC Address")});
    m_userList->setColumnWidth(0, 40);
    m_userList->setMinimumWidth(190);
    m_delete = button(this, "Bt_Del", QStringLiteral("Delete"));
    listColumn->addWidget(m_userList);
    listColumn->addWidget(m_delete, 0, Qt::AlignRight);
    lists->addWidget(listGroup, 1);

    auto *clientGroup = new QGroupBox(QStringLiteral("Current Client Information "), this);
    auto *clientColumn = new QVBoxLayout(clientGroup);
    m_clientUsers = listView(this, "LV_ClientUser", QStringLiteral("Current Client Information"),
                             {QStringLiteral("MAC Address"), QStringLiteral("SSID"), QStringLiteral("Band"),
                              QStringLiteral("Authentication"), QStringLiteral("Signal")});
    const int widths[] = {110, 75, 45, 100, 50};
    for (int c = 0; c < 5; ++c)
        m_clientUsers->setColumnWidth(c, widths[c]);
    m_clientUsers->setMinimumWidth(400);
    m_addClient = button(this, "Bt_Add", QStringLiteral("Add"));
    m_addClient->setEnabled(false);
    clientColumn->addWidget(m_clientUsers);
    clientColumn->addWidget(m_addClient, 0, Qt::AlignRight);
    lists->addWidget(clientGroup, 2);
    Body()->addLayout(lists);

    m_save = AddButton(QStringLiteral("Save"), "Bt_Apply");
    m_save->setAccessibleName(m_save->text());

    m_apMode = AddHidden<QComboBox>("Cbox_ACLAPmode");
    m_getInfo = AddHidden<QComboBox>("CB_GetInfo");
    m_clientTable = AddHidden<QTreeWidget>("LV_ClientTable");
    m_macAdd2 = AddHidden<QLineEdit>("Ed_MacAdd2");
    m_macAddr = AddHidden<QLineEdit>("Ed_MACAddr");
    m_index = AddHidden<QLabel>("LA_Index");
    m_getMac = AddHidden<QTreeWidget>("LV_GetMAC");

    connect(m_accessControl, &QComboBox::currentIndexChanged, this, &TFM_FilterMACACL::CB_AccessControlChange);
    connect(m_clientUsers, &QTreeWidget::itemSelectionChanged, this, &TFM_FilterMACACL::LV_ClientUserClick);
    connect(m_addTyped, &QPushButton::clicked, this, &TFM_FilterMACACL::Btn_AddClick);
    connect(m_macAdd, &QLineEdit::returnPressed, this, [this] {
        if (m_addTyped->isEnabled())
            Btn_AddClick();
    });
    connect(m_addClient, &QPushButton::clicked, this, &TFM_FilterMACACL::Bt_AddClick);
    connect(m_delete, &QPushButton::clicked, this, &TFM_FilterMACACL::Bt_DelClick);
    connect(m_save, &QPushButton::clicked, this, &TFM_FilterMACACL::Bt_ApplyClick);
}

void TFM_FilterMACACL::BuildRequests()
{
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *apMode = MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, kTimeout, false);
        apMode->BindControl(0, m_apMode);
        m_modeRequest = MakeRequest(kMode, KxItemType::Instance, 0, false, kTimeout);
        m_modeRequest->BindControl(0, m_accessControl);
        KxSNMPRequest2Edits *band = MakeRequest(KxDevice::BandObjects(), KxItemType::Instance, 0, false, kTimeout, false);
        band->BindControl(0, m_band);
        for (KxSNMPRequest2Edits *r : {apMode, m_modeRequest, band})
            Guard([r] { r->GetIntoControls(); });
        m_band->setEnabled(false);

        m_clientTableRequest = MakeRequest(ClientTable(), KxItemType::Table2, 1, true, kTimeout, false);
        m_clientTableRequest->BindListView(m_clientTable, true);
        KxSNMPRequest2Edits *trigger = MakeRequest(ClientTriggerObjects(), KxItemType::Instance, 1, true, 1000, false);
        trigger->BindControl(0, m_getInfo);
        m_clients = std::make_unique<KxGather>(trigger, m_getInfo, m_clientTableRequest);

        m_addRequest = MakeRequest(kAdd, KxItemType::Instance, 0, true, kTimeout, false);
        m_addRequest->BindControl(0, QStringLiteral("%h"), m_macAdd);
        m_addClientRequest = MakeRequest(kAdd, KxItemType::Instance, 0, true, kTimeout, false);
        m_addClientRequest->BindControl(0, QStringLiteral("%h"), m_macAdd2);
        m_deleteRequest = MakeRequest(kDelete, KxItemType::Instance, 0, true, kTimeout, false);
        m_deleteRequest->BindControl(0, QStringLiteral("%h"), m_macAddr);
        m_listRequest = MakeRequest(kList, KxItemType::Table2, 1, true, 2000, false);
        m_listRequest->BindControl(0, m_index);
        m_listRequest->BindControl(1, QStringLiteral("%h"), m_macAddr);
        m_listRequest->BindListView(m_getMac, true);

        m_userListRequest = std::make_unique<New_req2Edit>(this);
        m_userListRequest->VarList() = KxSNMPVarList(kList, KxItemType::Table2, 1);
        m_userListRequest->Request.Timeout = kTimeout;
        m_userListRequest->BindListView(m_userList, true);
    });
    KxSetTypingLimit(m_macAdd, 12);
    KxSetTypingLimit(m_macAdd2, 12);
    if (!built) {
        m_clients.reset();
        m_userListRequest.reset();
        m_listRequest = nullptr;
        m_idle = true;
        return;
    }

    m_clients->TriggerFailed = [this](const KxSNMPError &error) {
        ShowStatus(QStringLiteral("Detect timed out!") + error.Text);
    };
    m_clients->Walking = [this] { ShowStatus(QStringLiteral("Get Client info...!")); };
    m_clients->TableRead = [this](const KxSNMPError &error) {
        ShowStatus(error.Text);
        if (error.Code == 0)
            BuildAclClientList();
    };
    m_addRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { Changed(e, true); };
    m_deleteRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { Changed(e, true); };
    m_addClientRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
        Changed(e, false);
    };
    m_listRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ListRead(FullList, e); };
    m_userListRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
        ListRead(ShownList, e);
    };

    m_clientUsers->clear();
    m_clients->Start();
    Hold();
    ShowStatus(QStringLiteral("Refresh..."));
    ReadLists();
    m_macAdd->clear();
    m_accessControl->setEnabled(m_apMode->currentIndex() != kWirelessClient);
    CB_AccessControlChange();
    LV_ClientUserClick();
}

void TFM_FilterMACACL::done(int result)
{
    if (!m_idle)
        return;
    KxScreen::done(result);
}

void TFM_FilterMACACL::Hold()
{
    m_idle = false;
    m_save->setEnabled(false);
    m_delete->setEnabled(false);
}

void TFM_FilterMACACL::Settle()
{
    if (m_changes > 0 || m_reading[FullList] || m_reading[ShownList])
        return;
    m_idle = true;
    m_save->setEnabled(true);
    m_delete->setEnabled(true);
}

void TFM_FilterMACACL::ReadLists()
{
    ReadList(FullList);
    ReadList(ShownList);
}

void TFM_FilterMACACL::ReadList(int list)
{
    if (m_reading[list]) {
        m_readAgain[list] = true;
        return;
    }
    KxSNMPRequest2Edits *request = list == FullList ? m_listRequest : m_userListRequest.get();
    if (list == ShownList) {
        m_userListRequest->RowNumber = 1;
        m_userListRequest->SkipValue = NoMac;
    }
    m_reading[list] = true;
    try {
        request->GetIntoControls();
    } catch (const KxException &e) {
        m_reading[list] = false;
        m_readAgain[list] = false;
        ShowStatus(e.Text());
        Settle();
    }
}

void TFM_FilterMACACL::ListRead(int list, const KxSNMPError &error)
{
    m_reading[list] = false;
    if (m_readAgain[list]) {
        m_readAgain[list] = false;
        ReadList(list);
        return;
    }
    ShowStatus(error.Code != 0 ? error.Text : QStringLiteral("Get OK!"));
    Settle();
}

void TFM_FilterMACACL::Changed(const KxSNMPError &error, bool blocking)
{
    if (blocking)
        --m_changes;
    if (error.Code != 0) {
        ShowStatus(error.Text);
        Settle();
        return;
    }
    ShowStatus(QStringLiteral("Refresh..."));
    ReadLists();
    m_macAdd->clear();
    m_macAdd2->clear();
}

void TFM_FilterMACACL::Write(KxSNMPRequest2Edits *request)
{
    const bool blocking = request != m_addClientRequest;
    if (blocking) {
        ++m_changes;
        Hold();
    }
    try {
        request->SetFromControls(true, true);
    } catch (const KxException &e) {
        // Nothing was sent, so no completion will come to let go of the window.
        if (blocking)
            --m_changes;
        ShowStatus(e.Text());
        Settle();
    }
}

void TFM_FilterMACACL::CB_AccessControlChange()
{
    const bool disabled = m_accessControl->currentIndex() == kDisable;
    m_macAdd->setEnabled(!disabled);
    m_addTyped->setEnabled(!disabled);
    if (disabled)
        m_addClient->setEnabled(false);
}

void TFM_FilterMACACL::LV_ClientUserClick()
{
    QTreeWidgetItem *row = m_clientUsers->selectedItems().value(0);
    if (!row || m_accessControl->currentIndex() == kDisable) {
        m_addClient->setEnabled(false);
        return;
    }
    m_macAdd2->setText(row->text(0).trimmed());
    m_addClient->setEnabled(true);
}

void TFM_FilterMACACL::BuildAclClientList()
{
    m_clientUsers->clear();
    for (int i = 0; i < m_clientTable->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_clientTable->topLevelItem(i);
        const QString mac = Cell(m_clientTableRequest, row, Mac);
        if (mac == NoMac)
            continue;
        m_clientUsers->addTopLevelItem(new QTreeWidgetItem(QStringList{
            mac, Cell(m_clientTableRequest, row, Ssid), Cell(m_clientTableRequest, row, Band),
            ClientAuthenticationText(Cell(m_clientTableRequest, row, Authentication)),
            Cell(m_clientTableRequest, row, Rssi)}));
    }
}

void TFM_FilterMACACL::Btn_AddClick()
{
    if (!m_listRequest)
        return;
    const QString typed = m_macAdd->text();
    if (typed.size() != 12) {
        Dialogs().MessageBox(this, QStringLiteral("The length is 12 in MAC Address."), QStringLiteral("Error"));
        m_macAdd->setFocus();
        return;
    }
    if (typed == NoMac) {
        Dialogs().MessageBox(this, QStringLiteral("Please input a valid MAC Address."), QStringLiteral("Warning"));
        m_macAdd->setFocus();
        return;
    }
    for (int i = 0; i < m_getMac->topLevelItemCount(); ++i) {
        if (SameMac(typed, Cell(m_listRequest, m_getMac->topLevelItem(i), kListMac))) {
            Dialogs().MessageBox(this, QStringLiteral("Reject: The MAC already exists "), QStringLiteral("Warning"));
            return;
        }
    }
    Write(m_addRequest);
}

void TFM_FilterMACACL::Bt_AddClick()
{
    if (!m_listRequest || m_clientUsers->selectedItems().isEmpty())
        return;
    const QString mac = m_macAdd2->text();
    for (int i = 0; i < m_userList->topLevelItemCount(); ++i) {
        if (SameMac(mac, Cell(m_userListRequest.get(), m_userList->topLevelItem(i), kListMac))) {
            Dialogs().MessageBox(this, QStringLiteral("The MAC already exists "), QStringLiteral("Warning"));
            return;
        }
    }
    Write(m_addClientRequest);
    m_addClient->setEnabled(false);
}

void TFM_FilterMACACL::Bt_DelClick()
{
    QTreeWidgetItem *picked = m_userList->selectedItems().value(0);
    if (!m_listRequest || !picked)
        return;
    const QString mac = Cell(m_userListRequest.get(), picked, kListMac);
    for (int i = 0; i < m_getMac->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_getMac->topLevelItem(i);
        if (Cell(m_listRequest, row, kListMac) != mac)
            continue;
        m_getMac->clearSelection();
        row->setSelected(true);
        m_macAddr->setText(mac);
        Write(m_deleteRequest);
        return;
    }
    // The address is not in the device's list as last read: there is nothing to delete.
}

void TFM_FilterMACACL::Bt_ApplyClick()
{
    if (!m_modeRequest)
        return;
    bool ok = false;
    Guard([&] { ok = m_modeRequest->SetFromControls(true, true); });
    ShowStatus(ok ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}
