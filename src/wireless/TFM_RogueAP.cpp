#include "TFM_RogueAP.h"

#include "KxDeviceObjects.h"
#include "KxDialogs.h"
#include "KxGather.h"
#include "KxStations.h"
#include "TFM_Waiting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

#define ROGUE KX_DEVICE_ROOT ".3.4.4"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kRefresh[] = {{0, "nothing"}, {1, "refresh"}, {0, nullptr}};
const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kMode[] = {{1, "B"}, {2, "G"}, {3, "N"}, {4, "A"}, {0, nullptr}};
const KxIntOption kType[] = {{1, "new"}, {2, "valid"}, {3, "neighborhood"}, {4, "rogue"}, {0, nullptr}};
const KxIntOption kStatus[] = {{2, "up"}, {1, "down"}, {0, nullptr}};
const KxOptionList &refreshes() { static const KxOptionList l(kRefresh); return l; }
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &modes() { static const KxOptionList l(kMode); return l; }
const KxOptionList &types() { static const KxOptionList l(kType); return l; }
const KxOptionList &statuses() { static const KxOptionList l(kStatus); return l; }

const KxSNMPVarDesc kRefreshObjects[] = {
    {ROGUE ".1", "dot11RogueApSurveyRefresh", Integer, ReadWrite, &refreshes()},
    {nullptr},
};
enum Column { Index, Channel, Bssid, Mode, Ssid, LastSeen, Type, Status };
const KxSNMPVarDesc kSurvey[] = {
    {ROGUE ".4.1.1", "dot11RogueApSurveyIndex", Integer, Key | Readable},
    {ROGUE ".4.1.3", "dot11RogueApSurveyChannel", Integer, ReadOnly},
    {ROGUE ".4.1.5", "dot11RogueApSurveyBssid", MacAddress, ReadOnly},
    {ROGUE ".4.1.8", "dot11RogueApSurveyMode", Integer, ReadOnly, &modes()},
    {ROGUE ".4.1.9", "dot11RogueApSurveySsid", DisplayString, ReadOnly},
    {ROGUE ".4.1.10", "dot11RogueApSurveyLastseem", DisplayString, ReadOnly},
    {ROGUE ".4.1.11", "dot11RogueApSurveyType", Integer, ReadOnly, &types()},
    {ROGUE ".4.1.12", "dot11RogueApSurveyStatus", Integer, ReadOnly, &statuses()},
    {nullptr},
};
const KxSNMPVarDesc kClassObjects[4][2] = {
    {{ROGUE ".5", "dot11RogueApAddtoValid", Integer, ReadWrite}, {nullptr}},
    {{ROGUE ".6", "dot11RogueApAddtoNeighbor", Integer, ReadWrite}, {nullptr}},
    {{ROGUE ".7", "dot11RogueApAddtoRouge", Integer, ReadWrite}, {nullptr}},
    {{ROGUE ".8", "dot11RogueApAddtoNew", Integer, ReadWrite}, {nullptr}},
};
const KxSNMPVarDesc kAutoMark[] = {
    {ROGUE ".9", "dot11RogueApAllNewNodesAsValid", Integer, ReadWrite, &onOff()},
    {ROGUE ".10", "dot11RogueApUnknownAccessNodesAsRogue", Integer, ReadWrite, &onOff()},
    {nullptr},
};
enum AutoMarkVar { AllValid, AllRogue };

constexpr int kTimeout = 10000;
const char *const kClassEdits[] = {"Ed_Valid", "Ed_Neigh", "Ed_Rogue", "Ed_New"};
const char *const kClassButtons[] = {"Bt_SetValid", "Bt_SetNeighbor", "Bt_SetRogue", "Bt_SetNew"};
const char *const kClassCaptions[] = {"Set as Valid", "Set as Neighborhood", "Set as Rogue", "Set as New"};

QPushButton *button(QWidget *parent, QBoxLayout *row, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

} // namespace

TFM_RogueAP::TFM_RogueAP(QWidget *parent)
    : KxScreen(QStringLiteral("FM_RogueAP"), QStringLiteral("Advanced \\ Wireless Intrusion Protection"), parent),
      m_wait(this)
{
    BuildForm();
    Guard([this] { CreateRequests(); });
    for (KxSNMPRequest2Edits *r : m_classRequests)
        if (r)
            Guard([r] { r->GetIntoControls(); });
    if (m_autoMark)
        Guard([this] { m_autoMark->GetIntoControls(); });
    m_filter->setCurrentIndex(0);
    RB_MarkAllValidClick();
    RB_MarkAllRogueClick();
    const bool built = m_refreshRequest && m_listRequest && m_autoMark;
    m_detect->setEnabled(built);
    m_apply->setEnabled(built);
}

TFM_RogueAP::~TFM_RogueAP()
{
    StopRequests();
    m_wait.Close();
}

void TFM_RogueAP::BuildForm()
{
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    auto *page = new QWidget(tabs);
    auto *stack = new QVBoxLayout(page);
    tabs->addTab(page, QStringLiteral("Wireless Intrusion Protection"));
    Body()->addWidget(tabs);

    auto *box = new QGroupBox(QStringLiteral("AP List"), page);
    auto *inBox = new QVBoxLayout(box);
    stack->addWidget(box);
    auto *filterRow = new QHBoxLayout;
    m_filter = new QComboBox(box);
    m_filter->setObjectName(QStringLiteral("CB_OperatorType"));
    m_filter->addItems({"All", "Valid", "Neighborhood", "Rogue", "New"});
    m_filter->setAccessibleName(QStringLiteral("AP List filter"));
    filterRow->addWidget(m_filter);
    filterRow->addStretch();
    inBox->addLayout(filterRow);
    m_list = new QTreeWidget(box);
    m_list->setObjectName(QStringLiteral("AP_UserListView"));
    m_list->setAccessibleName(QStringLiteral("AP List"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({"Type", "Band ", "CH", "SSID", "BSSID", "Last Seen ", "Status "});
    m_list->setMinimumSize(640, 200);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    inBox->addWidget(m_list);
    m_selectAll = new QCheckBox(QStringLiteral("Select All"), box);
    m_selectAll->setObjectName(QStringLiteral("CheckBox_SelectAll"));
    m_selectAll->setEnabled(false);
    inBox->addWidget(m_selectAll);

    auto *buttons = new QHBoxLayout;
    m_detect = button(page, buttons, "Bt_Detect", QStringLiteral("Detect"));
    for (int c = 0; c < 4; ++c)
        m_setAs[size_t(c)] = button(page, buttons, kClassButtons[c], QString::fromLatin1(kClassCaptions[c]));
    stack->addLayout(buttons);
    m_rbValid = new QRadioButton(QStringLiteral("Mark All New Access Points as Valid Access Points "), page);
    m_rbValid->setObjectName(QStringLiteral("RB_MarkAllValid"));
    m_rbValid->setChecked(true);
    m_rbRogue = new QRadioButton(QStringLiteral("Mark All New Access Points as Rogue Access Points "), page);
    m_rbRogue->setObjectName(QStringLiteral("RB_MarkAllRogue"));
    stack->addWidget(m_rbValid);
    stack->addWidget(m_rbRogue);
    m_apply = AddButton(QStringLiteral("Apply"), "Bt_Apply");

    connect(m_detect, &QPushButton::clicked, this, &TFM_RogueAP::Bt_DetectClick);
    for (int c = 0; c < 4; ++c)
        connect(m_setAs[size_t(c)], &QPushButton::clicked, this, [this, c] { SetAsClick(Class(c)); });
    connect(m_apply, &QPushButton::clicked, this, &TFM_RogueAP::Bt_ApplyClick);
    connect(m_filter, &QComboBox::activated, this, &TFM_RogueAP::CB_OperatorTypeChange);
    connect(m_selectAll, &QCheckBox::clicked, this, &TFM_RogueAP::CheckBox_SelectAllClick);
    connect(m_rbValid, &QRadioButton::clicked, this, &TFM_RogueAP::RB_MarkAllValidClick);
    connect(m_rbRogue, &QRadioButton::clicked, this, &TFM_RogueAP::RB_MarkAllRogueClick);

    m_refresh = AddHidden<QComboBox>("CB_Refresh");
    m_deviceList = AddHidden<QTreeWidget>("AP_ListView");
    for (int c = 0; c < 4; ++c)
        m_classEdits[size_t(c)] = AddHidden<QLineEdit>(kClassEdits[c]);
    m_markValid = AddHidden<QCheckBox>("CheckBox_MarkAllValid");
    m_markRogue = AddHidden<QCheckBox>("CheckBox_MarkAllRogue");
}

void TFM_RogueAP::CreateRequests()
{
    m_refreshRequest = MakeRequest(kRefreshObjects, KxItemType::Scalars, 0, true, kTimeout, false);
    m_refreshRequest->BindControl(0, m_refresh);
    m_refreshRequest->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { RefreshDone(e); };
    m_listRequest = MakeRequest(kSurvey, KxItemType::Table2, 1, true, kTimeout, false);
    m_listRequest->BindListView(m_deviceList, true);
    m_listRequest->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ListDone(e); };
    for (int c = 0; c < 4; ++c) {
        KxSNMPRequest2Edits *r = MakeRequest(kClassObjects[c], KxItemType::Scalars, 0, false, kTimeout, false);
        r->BindControl(0, QStringLiteral("%s"), m_classEdits[size_t(c)]);
        m_classRequests[size_t(c)] = r;
    }
    m_autoMark = MakeRequest(kAutoMark, KxItemType::Scalars, 0, false, kTimeout, false);
    m_autoMark->BindControl(AllValid, m_markValid);
    m_autoMark->BindControl(AllRogue, m_markRogue);
}

void TFM_RogueAP::showEvent(QShowEvent *event)
{
    KxScreen::showEvent(event);
    m_detect->setFocus();
}

void TFM_RogueAP::reject()
{
    // Closing mid-scan would leave the scan's completion without a window.
    if (!m_busy)
        KxScreen::reject();
}

void TFM_RogueAP::SetBusy(const QString &waitLine)
{
    m_busy = true;
    for (QWidget *w : std::initializer_list<QWidget *>{m_detect, m_setAs[0], m_setAs[1], m_setAs[2], m_setAs[3],
                                                       m_apply, m_filter, m_deviceList, m_rbValid, m_rbRogue,
                                                       m_selectAll})
        w->setEnabled(false);
    m_wait.Show();
    if (QLabel *line = m_wait.Notice() ? m_wait.Notice()->Line("Label3") : nullptr)
        line->setText(waitLine);
}

void TFM_RogueAP::SetIdle()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_detect, m_setAs[0], m_setAs[1], m_setAs[2], m_setAs[3],
                                                       m_apply, m_filter, m_deviceList, m_selectAll})
        w->setEnabled(true);
    // The rules for new access points stay off while another class is shown.
    const bool rules = Filter() == QLatin1String("all") || Filter() == QLatin1String("new");
    m_rbValid->setEnabled(rules);
    m_rbRogue->setEnabled(rules);
    m_busy = false;
}

void TFM_RogueAP::Bt_DetectClick()
{
    SetBusy(QStringLiteral("The device is scanning."));
    m_classFailed = false;
    refreshes().Select(m_refresh, QStringLiteral("refresh"));
    try {
        m_refreshRequest->SetFromControls(true, true);
    } catch (const KxException &e) {
        RefreshDone(KxErrorOf(e));
    }
}

void TFM_RogueAP::Rescan()
{
    SetBusy(QStringLiteral("The settings are saving and taking effect."));
    refreshes().Select(m_refresh, QStringLiteral("refresh"));
    try {
        m_refreshRequest->SetFromControls(true, true);
    } catch (const KxException &e) {
        RefreshDone(KxErrorOf(e));
    }
}

void TFM_RogueAP::RefreshDone(const KxSNMPError &error)
{
    if (error.Code != 0) {
        SetIdle();
        m_wait.Close();
        ShowStatus(error.Text);
        return;
    }
    try {
        m_listRequest->GetIntoControls();
    } catch (const KxException &e) {
        ListDone(KxErrorOf(e));
        return;
    }
    ShowStatus(QStringLiteral("Refresh...!"));
}

void TFM_RogueAP::ListDone(const KxSNMPError &error)
{
    if (error.Code != 0) {
        ShowStatus(error.Text);
        SetIdle();
        m_wait.Close();
        return;
    }
    // The class the filter still shows, not every row.
    FillApList(Filter());
    SetIdle();
    m_selectAll->setChecked(false);
    m_selectAll->setEnabled(m_list->topLevelItemCount() > 0);
    m_wait.Close();
    ShowStatus(m_classFailed ? QStringLiteral("Set Error!") : QStringLiteral("Get OK!"));
    m_classFailed = false;
}

QString TFM_RogueAP::Filter() const
{
    return m_filter->currentText().toLower();
}

void TFM_RogueAP::FillApList(const QString &filter)
{
    using KxStations::Cell;
    m_list->clear();
    for (int i = 0; i < m_deviceList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_deviceList->topLevelItem(i);
        const QString type = Cell(m_listRequest, row, Type);
        if (filter != QLatin1String("all") && type != filter)
            continue;
        auto *item = new QTreeWidgetItem(QStringList{type, Cell(m_listRequest, row, Mode),
                                                     Cell(m_listRequest, row, Channel), Cell(m_listRequest, row, Ssid),
                                                     Cell(m_listRequest, row, Bssid),
                                                     Cell(m_listRequest, row, LastSeen),
                                                     Cell(m_listRequest, row, Status)});
        item->setCheckState(0, Qt::Unchecked);
        m_list->addTopLevelItem(item);
    }
}

void TFM_RogueAP::CB_OperatorTypeChange()
{
    FillApList(Filter());
    const bool rules = Filter() == QLatin1String("all") || Filter() == QLatin1String("new");
    m_rbValid->setEnabled(rules);
    m_rbRogue->setEnabled(rules);
}

void TFM_RogueAP::CheckBox_SelectAllClick()
{
    const Qt::CheckState state = m_selectAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(0, state);
}

void TFM_RogueAP::RB_MarkAllValidClick()
{
    if (!m_rbValid->isChecked() || !m_autoMark)
        return;
    m_markValid->setChecked(true);
    m_autoMark->VarList()[AllValid].Access = ReadWrite;
    m_autoMark->VarList()[AllRogue].Access = Excluded;
}

void TFM_RogueAP::RB_MarkAllRogueClick()
{
    if (!m_rbRogue->isChecked() || !m_autoMark)
        return;
    m_markRogue->setChecked(true);
    m_autoMark->VarList()[AllRogue].Access = ReadWrite;
    m_autoMark->VarList()[AllValid].Access = Excluded;
}

QString TFM_RogueAP::IndexOfBssid(const QString &bssid) const
{
    for (int i = 0; i < m_deviceList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_deviceList->topLevelItem(i);
        if (KxStations::Cell(m_listRequest, row, Bssid) == bssid)
            return KxStations::Cell(m_listRequest, row, Index);
    }
    return {};
}

bool TFM_RogueAP::AnyChecked() const
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
            return true;
    return false;
}

bool TFM_RogueAP::MoveChecked(Class target)
{
    bool ok = true;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_list->topLevelItem(i);
        if (row->checkState(0) != Qt::Checked)
            continue;
        const QString index = IndexOfBssid(row->text(4));
        if (index.isEmpty())
            continue; // gone from the device's list since it was shown
        m_classEdits[size_t(target)]->setText(index);
        bool written = false;
        Guard([&] { written = m_classRequests[size_t(target)]->SetFromControls(true, true); });
        ok = ok && written;
    }
    return ok;
}

void TFM_RogueAP::SetAsClick(Class target)
{
    if (!AnyChecked()) {
        Dialogs().MessageBox(this, QStringLiteral("No entry click!"), QStringLiteral("Waring"));
        return;
    }
    m_classFailed = !MoveChecked(target);
    Rescan();
}

void TFM_RogueAP::Bt_ApplyClick()
{
    if (!AnyChecked()) {
        Dialogs().MessageBox(this, QStringLiteral("No entry click!"), QStringLiteral("Waring"));
        return;
    }
    m_classFailed = !MoveChecked(New);
    // The rule of the button selected now, whatever an earlier Apply left marked.
    if (m_rbValid->isChecked())
        RB_MarkAllValidClick();
    else
        RB_MarkAllRogueClick();
    bool written = false;
    Guard([this, &written] { written = m_autoMark->SetFromControls(true, true); });
    m_autoMark->VarList()[AllValid].Access = ReadWrite;
    m_autoMark->VarList()[AllRogue].Access = ReadWrite;
    if (!written) {
        ShowStatus(QStringLiteral("Set Error!"));
        return;
    }
    Rescan();
    ShowStatus(QStringLiteral("Set OK!"));
}
