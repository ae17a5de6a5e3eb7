#include "TFM_APArray.h"

#include "KxDeviceObjects.h"
#include "KxMasked.h"
#include "KxRadioGroup.h"
#include "KxStations.h"
#include "New_req2Edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

#define ARRAY KX_DEVICE_ROOT ".3.11"

const KxIntOption kStatus[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kMode[] = {{1, "master"}, {2, "masterbackup"}, {3, "slave"}, {0, nullptr}};
const KxIntOption kScan[] = {{0, "nothing"}, {1, "refresh"}, {0, nullptr}};
const KxIntOption kRole[] = {{1, "Master"}, {2, "Masterbackup"}, {3, "Slave"}, {0, nullptr}};

const KxOptionList &statuses() { static const KxOptionList l(kStatus); return l; }
const KxOptionList &modes() { static const KxOptionList l(kMode); return l; }
const KxOptionList &scans() { static const KxOptionList l(kScan); return l; }
const KxOptionList &roles() { static const KxOptionList l(kRole); return l; }

enum Setting { Status, Mode, Name, Password };
const KxSNMPVarDesc kSettings[] = {
    {ARRAY ".1.1.1", "dot11APArrayStatus", KxSyntax::Integer, KxAccess::ReadWrite, &statuses()},
    {ARRAY ".1.1.2", "dot11APArrayModeSelect", KxSyntax::Integer, KxAccess::ReadWrite, &modes()},
    {ARRAY ".1.1.3", "dot11ApArrayName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {ARRAY ".1.1.4", "dot11ApArrayPassword", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kScanObjects[] = {
    {ARRAY ".1.2.1.1.0", "dot11ApArrayScan", KxSyntax::Integer, KxAccess::ReadWrite, &scans()},
    {nullptr},
};
// The display names are the captions of the hidden list's columns.
#define HEARD ARRAY ".1.2.1.3.1.1"
enum Heard { HeardIndex, ArrayName, MasterIp, Mac, Masters, Backups, Slaves, Total };
const KxSNMPVarDesc kHeard[] = {
    {HEARD ".1", " ", KxSyntax::Integer, KxAccess::Key},
    {HEARD ".2", "Array Name", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {HEARD ".3", "Master IP", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {HEARD ".4", "MAC", KxSyntax::MacAddress, KxAccess::ReadOnly},
    {HEARD ".5", "Master", KxSyntax::Integer, KxAccess::ReadOnly},
    {HEARD ".6", "Backup Master", KxSyntax::Integer, KxAccess::ReadOnly},
    {HEARD ".7", "Slaver", KxSyntax::Integer, KxAccess::ReadOnly},
    {HEARD ".8", "Total", KxSyntax::Integer, KxAccess::ReadOnly},
    {nullptr},
};
#define MEMBER ARRAY ".2.1.1"
const KxSNMPVarDesc kMembers[] = {
    {MEMBER ".1", "dot11APArrayMeberListIndex", KxSyntax::Integer, KxAccess::Key},
    {MEMBER ".3", "dot11APArrayMeberListRole", KxSyntax::Integer, KxAccess::ReadOnly, &roles()},
    {MEMBER ".4", "dot11APArrayMeberListIP", KxSyntax::IpAddress, KxAccess::ReadOnly},
    {MEMBER ".5", "dot11APArrayMeberListMac", KxSyntax::MacAddress, KxAccess::ReadOnly},
    {MEMBER ".6", "dot11APArrayMeberListLoacation", KxSyntax::DisplayString, KxAccess::ReadOnly},
    {nullptr},
};

constexpr int kTimeout = 10000;
constexpr int kMaxText = 32;
constexpr int kRefreshItem = 1;

QTreeWidget *listView(QWidget *parent, const char *name, const QString &caption, const QStringList &columns)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(caption);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(columns);
    return list;
}

QGroupBox *listGroup(QWidget *parent, const QString &title, QTreeWidget *list)
{
    auto *group = new QGroupBox(title, parent);
    (new QVBoxLayout(group))->addWidget(list);
    return group;
}

} // namespace

TFM_APArray::TFM_APArray(QWidget *parent)
    : KxScreen(QStringLiteral("FM_APArray"), QStringLiteral("Advanced \\  AP Array"), parent)
{
    BuildControls();
    BuildRequests();
}

TFM_APArray::~TFM_APArray()
{
    StopRequests();
    if (m_membersRequest)
        m_membersRequest->Request.Enabled = false;
    m_membersRequest.reset();
}

void TFM_APArray::BuildControls()
{
    auto *array = new QGroupBox(QStringLiteral("AP Array"), this);
    auto *column = new QVBoxLayout(array);
    Body()->addWidget(array);
    m_enable = new QCheckBox(QStringLiteral("Enable AP Array "), this);
    m_enable->setObjectName(QStringLiteral("Chk_APArray"));
    m_enable->setAccessibleName(QStringLiteral("Enable AP Array"));
    column->addWidget(m_enable);

    auto *form = new QFormLayout;
    column->addLayout(form);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Ed_APArrayName"));
    m_name->setAccessibleName(QStringLiteral("AP Array name"));
    form->addRow(QStringLiteral("AP Array name "), m_name);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Ed_APArrayPW"));
    m_password->setAccessibleName(QStringLiteral("AP Array password"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("AP Array password "), m_password);
    m_role = new KxRadioGroup(this);
    m_role->setObjectName(QStringLiteral("RadioGroup1"));
    m_role->setAccessibleName(QStringLiteral("Role"));
    m_role->setItems({QStringLiteral("Master"), QStringLiteral("Backup Master"), QStringLiteral("Slave")});
    m_role->setColumns(3);
    column->addWidget(m_role);
    auto *scanForm = new QFormLayout;
    column->addLayout(scanForm);

    m_connected = new QLabel(this);
    m_connected->setObjectName(QStringLiteral("Lb_ConnectStatus"));
    m_connected->setAccessibleName(QStringLiteral("Connection Status"));
    m_scan = new QPushButton(QStringLiteral("Scan"), this);
    m_scan->setObjectName(QStringLiteral("Bt_Scan"));
    m_scan->setAccessibleName(QStringLiteral("Scan AP Array List"));
    m_scan->setAutoDefault(false);
    scanForm->addRow(QStringLiteral("Connection Status"), m_connected);
    scanForm->addRow(QStringLiteral("Scan AP Array List "), m_scan);

    m_arrays = listView(this, "LV_ApArrayListUser", QStringLiteral("AP Array List"),
                        {QStringLiteral("Array name "), QStringLiteral("Master IP "), QStringLiteral("MAC "),
                         QStringLiteral("Master"), QStringLiteral("Backup Master"), QStringLiteral("Slave "),
                         QStringLiteral("Total   ")});
    m_members = listView(this, "LV_CurrentMem", QStringLiteral("Current Array Members"),
                         {QStringLiteral("Index "), QStringLiteral("Role"), QStringLiteral("IP address "),
                          QStringLiteral("MAC address "), QStringLiteral("Location ")});
    const int arrayWidths[] = {110, 105, 110, 55, 95, 50, 50};
    for (int c = 0; c < 7; ++c)
        m_arrays->setColumnWidth(c, arrayWidths[c]);
    const int memberWidths[] = {55, 95, 110, 120, 120};
    for (int c = 0; c < 5; ++c)
        m_members->setColumnWidth(c, memberWidths[c]);
    for (QTreeWidget *list : {m_arrays, m_members})
        list->setMinimumSize(590, 110);
    column->addWidget(listGroup(this, QStringLiteral("AP Array List "), m_arrays));
    column->addWidget(listGroup(this, QStringLiteral("Current Array Members "), m_members));

    m_save = AddButton(QStringLiteral("Save"), "Bt_ArraySave");
    m_save->setAccessibleName(m_save->text());

    m_apMode = AddHidden<QComboBox>("Cbox_apmode");
    m_mode = AddHidden<QComboBox>("Cbox_ArrayMode");
    m_scanBox = AddHidden<QComboBox>("Cbox_Scan");
    m_heard = AddHidden<QTreeWidget>("LV_ApArrayList");

    connect(m_enable, &QCheckBox::toggled, this, &TFM_APArray::Chk_APArrayClick);
    connect(m_scan, &QPushButton::clicked, this, &TFM_APArray::Bt_ScanClick);
    connect(m_save, &QPushButton::clicked, this, &TFM_APArray::Bt_ArraySaveClick);
}

void TFM_APArray::BuildRequests()
{
    ArrayEnableRule();
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *apMode =
            MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, kTimeout, false);
        apMode->BindControl(0, m_apMode);
        bool read = false;
        Guard([&] { read = apMode->GetIntoControls(); });
        if (read && m_apMode->currentIndex() != 0) {
            m_enable->setEnabled(false);
            m_enable->setChecked(false);
            ArrayEnableRule();
        }

        m_settings = MakeRequest(kSettings, KxItemType::Scalars, 0, false, kTimeout);
        m_settings->BindControl(Status, m_enable);
        m_settings->BindControl(Mode, m_mode);
        m_settings->BindControl(Name, QStringLiteral("%s"), m_name);
        m_settings->BindControl(Password, QStringLiteral("%s"), m_password);
        Guard([this] { m_settings->GetIntoControls(); });
        if (m_mode->currentIndex() >= 0)
            m_role->setItemIndex(m_mode->currentIndex());

        m_scanRequest = MakeRequest(kScanObjects, KxItemType::Instance, 0, true, kTimeout);
        m_scanRequest->BindControl(0, m_scanBox);
        m_list = MakeRequest(kHeard, KxItemType::Table2, 1, true, kTimeout);
        m_list->BindListView(m_heard, true);

        m_membersRequest = std::make_unique<New_req2Edit>(this);
        m_membersRequest->VarList() = KxSNMPVarList(kMembers, KxItemType::Table2, 1);
        m_membersRequest->Request.Timeout = kTimeout;
        m_membersRequest->SetStatusBar(KxStatusTarget(StatusBar()));
        m_membersRequest->BindListView(m_members, true);
    });
    KxSetTypingLimit(m_name, kMaxText);
    KxSetTypingLimit(m_password, kMaxText);
    if (!built) {
        m_membersRequest.reset();
        m_scanRequest = nullptr;
        m_settings = nullptr;
        m_scan->setEnabled(false);
        m_save->setEnabled(false);
        return;
    }
    m_scanRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ScanWritten(e); };
    m_list->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ListRead(e); };
    m_membersRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &) { MembersRead(); };
    m_membersRequest->RowNumber = 1;
    Guard([this] { m_membersRequest->GetIntoControls(); });
}

void TFM_APArray::ArrayEnableRule()
{
    const bool on = m_enable->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_name, m_password, m_role, m_scan})
        w->setEnabled(on);
}

void TFM_APArray::Chk_APArrayClick()
{
    ArrayEnableRule();
}

void TFM_APArray::MembersRead()
{
    m_connected->setText(m_members->topLevelItemCount() > 0 ? QStringLiteral("Connect")
                                                            : QStringLiteral("Discsonnect"));
}

void TFM_APArray::Bt_ScanClick()
{
    // A list walked while another walk of it runs would mix the two readings' rows.
    if (!m_scanRequest || m_scanning)
        return;
    m_scanning = true;
    m_scanBox->setCurrentIndex(kRefreshItem);
    if (!Guard([this] { m_scanRequest->SetFromControls(true, true); }))
        m_scanning = false;
}

// A refused scan is in the status line as the layer reported it; the list stays.
void TFM_APArray::ScanWritten(const KxSNMPError &error)
{
    if (error.Code != 0) {
        m_scanning = false;
        return;
    }
    if (!Guard([this] { m_list->GetIntoControls(); }))
        m_scanning = false;
}

void TFM_APArray::ListRead(const KxSNMPError &error)
{
    m_scanning = false;
    if (error.Code != 0)
        return;
    using KxStations::Cell;
    m_arrays->clear();
    for (int i = 0; i < m_heard->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_heard->topLevelItem(i);
        auto *item = new QTreeWidgetItem(QStringList{
            Cell(m_list, row, ArrayName), Cell(m_list, row, MasterIp), Cell(m_list, row, Mac),
            Cell(m_list, row, Masters), Cell(m_list, row, Backups), Cell(m_list, row, Slaves),
            Cell(m_list, row, Total)});
        item->setCheckState(0, Qt::Unchecked);
        m_arrays->addTopLevelItem(item);
    }
    ShowStatus(QStringLiteral("Scan OK!"));
}

void TFM_APArray::Bt_ArraySaveClick()
{
    if (!m_settings)
        return;
    if (m_role->itemIndex() >= 0)
        m_mode->setCurrentIndex(m_role->itemIndex());
    // The device hands its password out masked: a field still holding the mask (or
    // nothing) keeps the device's password.
    KxSNMPVariable &password = m_settings->VarList()[Password];
    const unsigned access = password.Access;
    if (IsMasked(m_password->text()))
        password.Access |= KxAccess::Excluded;
    bool saved = false;
    Guard([this, &saved] { saved = m_settings->SetFromControls(true, true); });
    password.Access = access & ~KxAccess::Excluded;
    // The array list is read-only: a write of it would carry no variable, so none is sent.
    ShowStatus(saved ? QStringLiteral("Save OK!") : QStringLiteral("Save file!"));
}
