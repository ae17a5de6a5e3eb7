#include "TFM_VlanSettingParts.h"

#include "KxDeviceObjects.h"
#include "KxServiceKit.h"

#include <QSignalBlocker>

#include <algorithm>

namespace {

#define ROOT KX_DEVICE_ROOT
#define VLANS ROOT ".3.6.1.3.1"
#define PVIDS ROOT ".3.6.2.2.1"
#define MEMBER(column, port) {VLANS "." #column, "dot11GroupVlanList" port, Integer, ReadWrite, &members()}
#define PVID(column, port) {PVIDS "." #column ".1", "dot11PvidSetting" port, Integer, ReadWrite}

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kModes[] = {{0, "static"}, {1, "dynamic"}, {0, nullptr}};
const KxIntOption kRefresh[] = {{0, "nothing"}, {1, "refresh"}, {0, nullptr}};
const KxIntOption kMembers[] = {{0, "none"}, {1, "tag"}, {2, "untag"}, {0, nullptr}};
const KxIntOption kDelete[] = {{0, "nothing"}, {1, "delete"}, {0, nullptr}};
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &modes() { static const KxOptionList l(kModes); return l; }
const KxOptionList &members() { static const KxOptionList l(kMembers); return l; }
const KxOptionList &refreshes() { static const KxOptionList l(kRefresh); return l; }
const KxOptionList &deletes() { static const KxOptionList l(kDelete); return l; }

const KxSNMPVarDesc kStatus[] = {
    {ROOT ".3.6.1.1", "dot11VlanStatus", Integer, ReadWrite, &onOff()},
    {ROOT ".3.6.1.2", "dot11VlanMode", Integer, ReadOnly, &modes()},
    {nullptr},
};
const KxSNMPVarDesc kPvidAuto[] = {
    {ROOT ".3.6.2.1", "dot11PvidAutoAssignStatus", Integer, ReadWrite, &onOff()}, {nullptr}};
const KxSNMPVarDesc kPvids[] = {
    PVID(2, "Mgmt"), PVID(3, "Lan"), PVID(4, "Primary"), PVID(5, "Mssid1"), PVID(6, "Mssid2"), PVID(7, "Mssid3"),
    PVID(8, "Mssid4"), PVID(9, "Mssid5"), PVID(10, "Mssid6"), PVID(11, "Mssid7"), PVID(12, "Wds1"),
    PVID(13, "Wds2"), PVID(14, "Wds3"), PVID(15, "Wds4"), PVID(16, "Wds5"), PVID(17, "Wds6"), PVID(18, "Wds7"),
    PVID(19, "Wds8"), {nullptr}};
const KxSNMPVarDesc kSsids[] = {
    {" ", "ifIndex", Integer, Key},
    {ROOT ".3.3.3.1.1", "dot11MssidIndex", Integer, Key | Readable},
    {ROOT ".3.3.3.1.3", "dot11MssidSsid", DisplayString, ReadOnly},
    {nullptr},
};
constexpr int kSsidColumn = 2;
const KxSNMPVarDesc kPortRefresh[] = {
    {ROOT ".3.6.3.1", "dot11PortListRefresh", Integer, ReadWrite, &refreshes()}, {nullptr}};
const KxSNMPVarDesc kPortList[] = {
    {ROOT ".3.6.3.2.1.1", "dot11PortListIndex", Integer, Key | Readable},
    {ROOT ".3.6.3.2.1.2", "dot11PortListTagVid", DisplayString, ReadOnly},
    {ROOT ".3.6.3.2.1.3", "dot11PortListUntagVid", DisplayString, ReadOnly},
    {nullptr},
};
const KxSNMPVarDesc kVlans[] = {
    {VLANS ".1", "dot11GroupVlanListIndex", Integer, Key | Readable},
    {VLANS ".2", "dot11GroupVlanListVid", Integer, ReadWrite},
    {VLANS ".3", "dot11GroupVlanListName", DisplayString, ReadWrite},
    MEMBER(4, "Mgmt"), MEMBER(5, "Lan"), MEMBER(6, "Primary"), MEMBER(7, "Mssid1"), MEMBER(8, "Mssid2"),
    MEMBER(9, "Mssid3"), MEMBER(10, "Mssid4"), MEMBER(11, "Mssid5"), MEMBER(12, "Mssid6"), MEMBER(13, "Mssid7"),
    MEMBER(14, "Wds1"), MEMBER(15, "Wds2"), MEMBER(16, "Wds3"), MEMBER(17, "Wds4"), MEMBER(18, "Wds5"),
    MEMBER(19, "Wds6"), MEMBER(20, "Wds7"), MEMBER(21, "Wds8"),
    {VLANS ".22", "dot11VlanListSurveydelete", Integer, ReadWrite, &deletes()},
    {nullptr},
};

constexpr int kTimeout = 10000;
constexpr int kEnable = 1;
constexpr int kMaxVlans = 18;

} // namespace

TFM_VlanSetting::TFM_VlanSetting(QWidget *parent)
    : KxScreen(QStringLiteral("FM_VlanSetting"), QStringLiteral("Advanced \\ VLAN Settings"), parent), m_wait(this)
{
    BuildForm();
    Connect();
    Guard([this] { Open(); });
}

TFM_VlanSetting::~TFM_VlanSetting() = default;

void TFM_VlanSetting::Open()
{
    Controls &c = *m_c;
    const QString text = QStringLiteral("%s");
    c.edit->setEnabled(false);
    c.del->setEnabled(false);

    KxSNMPRequest2Edits *apMode = MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, 2000);
    apMode->BindControl(0, c.apMode);
    KxSNMPRequest2Edits *apply = MakeRequest(KxDevice::ApplyObjects(), KxItemType::Scalars, 0, false, kTimeout);
    apply->BindControl(0, c.applyTrigger);
    KxSNMPRequest2Edits *status = MakeRequest(kStatus, KxItemType::Scalars, 0, false, kTimeout);
    status->BindControl(0, c.status);
    status->BindControl(1, c.modeValue);
    KxSNMPRequest2Edits *pvidAuto = MakeRequest(kPvidAuto, KxItemType::Scalars, 0, false, kTimeout);
    pvidAuto->BindControl(0, c.pvidAuto);
    KxSNMPRequest2Edits *pvids = MakeRequest(kPvids, KxItemType::Instance, 0, false, kTimeout);
    for (int p = 0; p < vlan::kPorts; ++p)
        pvids->BindControl(p, text, c.pvids[size_t(p)]);
    m_apModeRequest = apMode;
    m_applyRequest = apply;
    m_statusRequest = status;
    m_pvidAutoRequest = pvidAuto;
    m_pvidRequest = pvids;

    m_apModeRequest->GetIntoControls();
    if (m_statusRequest->GetIntoControls())
        c.mode->setText(c.modeValue->currentText() == QLatin1String("static") ? QStringLiteral("Static")
                                                                              : QStringLiteral("Dynamic"));
    if (m_pvidAutoRequest->GetIntoControls())
        PvidRule();
    m_pvidRequest->GetIntoControls();

    m_ssidRequest = MakeRequest(kSsids, KxItemType::Table, 2, false, kTimeout);
    m_ssidRequest->BindListView(c.ssids, false);
    m_ssidRequest->GetIntoControls();
    BuildPortRows();

    KxSNMPRequest2Edits *refresh = MakeRequest(kPortRefresh, KxItemType::Scalars, 0, false, kTimeout);
    refresh->BindControl(0, c.portRefresh);
    m_portRefreshRequest = refresh;
    m_portListRequest = MakeRequest(kPortList, KxItemType::Table, 1, true, kTimeout);
    m_portListRequest->BindListView(c.portList, false);
    m_portListRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { PortListRead(e); };
    RefreshPortList();

    BuildVlanRequest();
    m_vlanRequest->GetIntoControls();
    StatusRule(true);
    ClearEntry();
    SetChoices(0, vlan::kPorts, Untag);
}

void TFM_VlanSetting::BuildVlanRequest()
{
    Controls &c = *m_c;
    KxSNMPRequest2Edits *request = MakeRequest(kVlans, KxItemType::Table, 1, true, kTimeout);
    request->BindListView(c.vlanList, false);
    request->BindControl(vlan::Index, c.index);
    request->BindControl(vlan::Vid, QStringLiteral("%u{n1x4094}"), c.vid);
    request->BindControl(vlan::Name, QStringLiteral("%s"), c.name);
    for (int p = 0; p < vlan::kPorts; ++p)
        request->BindControl(vlan::FirstPort + p, c.members[size_t(p)]);
    request->BindControl(vlan::Delete, c.deleteTrigger);
    request->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { VlanListRead(e); };
    request->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { VlanWritten(e); };
    auto vid = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return t.Cell(row, vlan::Vid); };
    auto name = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return t.Cell(row, vlan::Name); };
    m_table = std::make_unique<KxEntryTable>(
        request,
        [vid, name](const KxEntryTable &t, const QTreeWidgetItem *row) {
            return vid(t, row) != QLatin1String("0") && !name(t, row).isEmpty();
        },
        [vid, name](const KxEntryTable &t, const QTreeWidgetItem *row) {
            return vid(t, row) == QLatin1String("0") && name(t, row).isEmpty();
        });
    m_vlanRequest = request;
}

void TFM_VlanSetting::BuildPortRows()
{
    Controls &c = *m_c;
    // Always one row per port, whatever number of rows the SSID table has: every
    // later per-port step relies on it.
    c.ports->clear();
    for (int p = 0; p < vlan::kPorts; ++p) {
        const bool ssid = p >= 2 && p < 10;
        QString name = QLatin1String(vlan::kPortTable[p].name);
        if (ssid && p - 2 < c.ssids->topLevelItemCount()) {
            const std::vector<int> columns = m_ssidRequest->ColumnVariables();
            const auto at = std::find(columns.begin(), columns.end(), kSsidColumn) - columns.begin();
            name = c.ssids->topLevelItem(p - 2)->text(int(at));
        }
        c.ports->addTopLevelItem(new QTreeWidgetItem({name, QString(), QString(), QString()}));
    }
}

void TFM_VlanSetting::RefreshPortList()
{
    if (!m_portRefreshRequest || !m_portListRequest)
        return;
    refreshes().Select(m_c->portRefresh, QStringLiteral("refresh"));
    Write(m_portRefreshRequest);
    if (!m_portListRequest->Busy) // one walk at a time: a second would mix its rows in
        Guard([this] { m_portListRequest->GetIntoControls(); });
}

void TFM_VlanSetting::PortListRead(const KxSNMPError &error)
{
    Controls &c = *m_c;
    if (error.Code != 0) {
        ShowStatus(error.Text);
        return;
    }
    if (c.portList->topLevelItemCount() == vlan::kPorts) {
        const std::vector<int> columns = m_portListRequest->ColumnVariables();
        for (int p = 0; p < vlan::kPorts; ++p)
            for (int cell = 1; cell <= 2; ++cell) {
                const auto at = std::find(columns.begin(), columns.end(), cell) - columns.begin();
                c.ports->topLevelItem(p)->setText(cell, c.portList->topLevelItem(p)->text(int(at)));
            }
    }
    ShowPvidsInPortList();
    ShowStatus(QStringLiteral("Get OK!"));
}

void TFM_VlanSetting::ShowPvidsInPortList()
{
    for (int p = 0; p < vlan::kPorts && p < m_c->ports->topLevelItemCount(); ++p)
        m_c->ports->topLevelItem(p)->setText(3, m_c->pvids[size_t(p)]->text());
}

// ---- the rules -------------------------------------------------------------------

void TFM_VlanSetting::ClearEntry()
{
    m_c->vid->clear();
    m_c->name->clear();
}

void TFM_VlanSetting::SetChoices(int first, int count, Choice choice)
{
    for (int p = first; p < first + count; ++p)
        m_c->choices[size_t(p)][size_t(choice)]->setChecked(true);
}

void TFM_VlanSetting::PvidRule()
{
    const bool editable = m_c->modeValue->currentText() == QLatin1String("static") && m_c->pvidAuto->currentIndex() == 0;
    for (QLineEdit *edit : m_c->pvids)
        edit->setEnabled(editable);
}

void TFM_VlanSetting::ChooseAddRow()
{
    m_state = Adding;
    if (m_c->status->currentIndex() != kEnable || !m_table)
        return;
    if (m_table->Rows().Count() < kMaxVlans && m_table->MakeFreeCurrent()) {
        ClearEntry();
        return;
    }
    m_state = Full;
    m_table->MakeCurrent(QString());
}

void TFM_VlanSetting::StatusRule(bool warn)
{
    Controls &c = *m_c;
    const bool enabled = c.status->currentIndex() == kEnable;
    const QString mode = c.apMode->currentText();
    if (warn && enabled && (mode == QLatin1String("Wireless Client") || mode == QLatin1String("WDS")))
        Dialogs().MessageBox(this, QStringLiteral("If you enable VLAN, AP Mode will be set to 'Access Point'!"),
                             QStringLiteral("Warning"));
    ChooseAddRow();
    const bool dynamic = c.modeValue->currentText() == QLatin1String("dynamic");
    const bool editable = !dynamic && enabled;
    std::vector<QWidget *> controls = {c.add, c.pvidAuto, c.vid, c.name};
    controls.insert(controls.end(), c.allButtons.begin(), c.allButtons.end());
    for (const auto &port : c.choices)
        controls.insert(controls.end(), port.begin(), port.end());
    for (QWidget *w : controls)
        w->setEnabled(editable);
    if (editable) {
        PvidRule();
        ClearEntry();
    } else {
        for (QLineEdit *edit : c.pvids)
            edit->setEnabled(false);
    }
}

void TFM_VlanSetting::CB_VlanStatusChange()
{
    StatusRule(true);
}

void TFM_VlanSetting::CB_PvidAutoStatusChange()
{
    PvidRule();
}

// ---- the VLAN list ---------------------------------------------------------------

void TFM_VlanSetting::VlanListRead(const KxSNMPError &error)
{
    Controls &c = *m_c;
    if (error.Code != 0) {
        ShowStatus(error.Text);
        return;
    }
    m_table->Rebuild();
    {
        const QSignalBlocker quiet(c.vlans);
        c.vlans->clear();
        for (int i = 0; i < m_table->Rows().Count(); ++i) {
            const QTreeWidgetItem *row = m_table->Entry(i);
            QStringList untagged, tagged;
            for (int p = 0; p < vlan::kPorts; ++p) {
                const QString member = m_table->Cell(row, vlan::FirstPort + p);
                if (member == QLatin1String("untag"))
                    untagged << QLatin1String(vlan::kPortTable[p].name);
                else if (member == QLatin1String("tag"))
                    tagged << QLatin1String(vlan::kPortTable[p].name);
            }
            c.vlans->addTopLevelItem(new QTreeWidgetItem({m_table->Cell(row, vlan::Vid),
                                                          m_table->Cell(row, vlan::Name),
                                                          untagged.join(QLatin1Char(',')),
                                                          tagged.join(QLatin1Char(','))}));
        }
    }
    c.edit->setEnabled(false);
    c.del->setEnabled(false);
    ChooseAddRow();
    ShowStatus(QStringLiteral("Get OK!"));
}

void TFM_VlanSetting::LV_VlanListUserSelect()
{
    Controls &c = *m_c;
    QTreeWidgetItem *item = c.vlans->selectedItems().value(0);
    c.edit->setEnabled(item != nullptr);
    c.del->setEnabled(item != nullptr);
    if (!m_table)
        return;
    if (item) {
        m_table->MakeCurrent(m_table->Rows().KeyOf(c.vlans->indexOfTopLevelItem(item)));
        c.vid->setEnabled(false);
        m_state = Selected;
        return;
    }
    // Nothing picked: an Add must not reach the VLAN picked before.
    m_state = m_table->MakeFreeCurrent() ? Adding : Full;
    ClearEntry();
    c.vid->setEnabled(c.add->isEnabled());
}

void TFM_VlanSetting::Btn_VlanEditClick()
{
    Controls &c = *m_c;
    c.tabs->setCurrentIndex(AddEditTab);
    QTreeWidgetItem *row = m_state == Selected ? m_table->Entry(m_table->Rows().RowOf(m_table->Current())) : nullptr;
    if (row) {
        c.vid->setText(m_table->Cell(row, vlan::Vid));
        c.vid->setEnabled(false);
        c.name->setText(m_table->Cell(row, vlan::Name));
        for (int p = 0; p < vlan::kPorts; ++p) {
            const QString member = m_table->Cell(row, vlan::FirstPort + p);
            SetChoices(p, 1, member == QLatin1String("tag") ? Tag : member == QLatin1String("untag") ? Untag : NotMember);
        }
    } else {
        ClearEntry();
        SetChoices(0, vlan::kPorts, Untag);
    }
    m_addOrEdit = true;
}

void TFM_VlanSetting::TabChange(int tab)
{
    if (m_state == Adding) {
        ClearEntry();
        SetChoices(0, vlan::kPorts, Untag);
        m_state = Initial;
    }
    if (tab == PortListTab)
        RefreshPortList();
}
