#include "TFM_Scheduling.h"

#include "KxConvert.h"
#include "KxDeviceObjects.h"
#include "KxRuleEdit.h"
#include "KxServiceKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <functional>

namespace {

#define ROOT KX_DEVICE_ROOT
#define LIST ROOT ".3.10.2.1.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kAllDay[] = {{0, "disable"}, {1, "enable"}, {0, nullptr}};
const KxIntOption kSsidIndexes[] = {{0, "Primary SSID"}, {1, "SSID1"}, {2, "SSID2"}, {3, "SSID3"}, {4, "SSID4"},
                                    {5, "SSID5"}, {6, "SSID6"}, {7, "SSID7"}, {0, nullptr}};
const KxIntOption kActions[] = {{0, "del"}, {1, "add"}, {0, nullptr}};
const KxIntOption kWireless[] = {{0, "off"}, {1, "on"}, {0, nullptr}};
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &allDays() { static const KxOptionList l(kAllDay); return l; }
const KxOptionList &ssidIndexes() { static const KxOptionList l(kSsidIndexes); return l; }
const KxOptionList &actions() { static const KxOptionList l(kActions); return l; }
const KxOptionList &wireless() { static const KxOptionList l(kWireless); return l; }

const KxSNMPVarDesc kSsids[] = {
    {" ", "ifIndex", Integer, Key},
    {ROOT ".3.3.3.1.1", "dot11MssidIndex", Integer, Key | Readable},
    {ROOT ".3.3.3.1.3", "dot11MssidSsid", DisplayString, ReadOnly},
    {nullptr},
};
constexpr int kSsidColumn = 2;
// One value, read and written as the scalar it is.
const KxSNMPVarDesc kStatus[] = {{ROOT ".3.10.1.1.1", "dot11ScheduleStatus", Integer, ReadWrite, &onOff()}, {nullptr}};
const KxSNMPVarDesc kRule[] = {
    {ROOT ".3.10.1.2.1", "dot11ScheduleRuleName", DisplayString, ReadWrite},
    {ROOT ".3.10.1.2.2", "dot11ScheduleDaysSelect", Integer, ReadWrite},
    {ROOT ".3.10.1.2.3", "dot11ScheduleAllDaySelect", Integer, ReadWrite, &allDays()},
    {ROOT ".3.10.1.2.4", "dot11ScheduleRuleStartTime", DisplayString, ReadWrite},
    {ROOT ".3.10.1.2.5", "dot11ScheduleRuleEndTime", DisplayString, ReadWrite},
    {ROOT ".3.10.1.2.8", "dot11ScheduleSSIDIndex", Integer, ReadWrite, &ssidIndexes()},
    {ROOT ".3.10.1.2.9", "dot11ScheduleNodeStatus", Integer, ReadWrite},
    {ROOT ".3.10.1.2.7", "dot11ScheduleAction", Integer, ReadWrite, &actions()},
    {nullptr},
};
enum RuleVariable { RName, RDays, RAllDay, RStart, REnd, RSsidIndex, RNode, RAction };
const KxSNMPVarDesc kList[] = {
    {LIST ".1", "dot11ScheduleListIndex", Integer, Key | Readable},
    {LIST ".2", "dot11ScheduleListName", DisplayString, ReadOnly},
    {LIST ".3", "dot11ScheduleListDays", DisplayString, ReadOnly},
    {LIST ".4", "dot11ScheduleListTimeFrame", DisplayString, ReadOnly},
    {LIST ".5", "dot11ScheduleListWirelessStatus", Integer, ReadOnly, &wireless()},
    {LIST ".6", "dot11ScheduleListSSIDIndex", Integer, ReadOnly, &ssidIndexes()},
    {LIST ".7", "dot11ScheduleListSSID", DisplayString, ReadOnly},
    {LIST ".8", "dot11ScheduleListNodeStatus", Integer, ReadOnly},
    {nullptr},
};
enum ListVariable { LIndex, LName, LDays, LFrame, LWireless, LSsidIndex, LSsid, LNode };

constexpr int kTimeout = 50000;
constexpr int kEnable = 1;
const char *const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// The text before and after the first `separator`; all of it and nothing without one.
QPair<QString, QString> SplitAt(const QString &text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? qMakePair(text, QString()) : qMakePair(text.left(at), text.mid(at + 1));
}

} // namespace

TFM_Scheduling::TFM_Scheduling(QWidget *parent)
    : KxScreen(QStringLiteral("FM_Scheduling"), QStringLiteral("Advanced \\ Wireless Schedule"), parent)
{
    BuildForm();
    Connect();
    ssidIndexes().Fill(m_index);
    m_index->setCurrentIndex(0);
    m_day->setChecked(true);
    Guard([this] { Open(); });
    KxApplyTypingLimits(this);
}

TFM_Scheduling::~TFM_Scheduling() = default;

void TFM_Scheduling::Open()
{
    m_apMode = MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, 2000);
    m_apMode->BindControl(0, m_apModeBox);
    m_apMode->GetIntoControls();
    m_ssids = MakeRequest(kSsids, KxItemType::Table, 2, false, 10000);
    m_ssids->BindListView(m_ssidList, false);
    m_ssids->GetIntoControls();
    m_index->setCurrentIndex(0);
    m_status = MakeRequest(kStatus, KxItemType::Scalars, 0, false, kTimeout);
    m_status->BindControl(0, m_statusBox);
    m_status->GetIntoControls();
    // Never read: every write gives its values itself.
    m_rule = MakeRequest(kRule, KxItemType::Scalars, 0, true, kTimeout);
    m_rule->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
        if (e.Code == 0)
            Guard([this] { m_list->GetIntoControls(); });
    };
    m_list = MakeRequest(kList, KxItemType::Table, 1, true, kTimeout);
    m_list->BindListView(m_table, false);
    m_list->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { ListRead(e); };
    auto named = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return !t.Cell(row, LName).isEmpty(); };
    auto unnamed = [](const KxEntryTable &t, const QTreeWidgetItem *row) { return t.Cell(row, LName).isEmpty(); };
    m_rules = std::make_unique<KxEntryTable>(m_list, named, unnamed, LIndex);
    m_list->GetIntoControls();

    for (QLineEdit *field : {m_nameEdit, m_startHour, m_startMinute, m_endHour, m_endMinute})
        field->clear();
    m_ssid->setEnabled(false);
    CBox_ScheduleStatusChange();
    Cbox_SchIndexChange();
    if (m_apModeBox->currentText() == QLatin1String("Wireless Client")) {
        m_statusBox->setEnabled(false);
        CBox_ScheduleStatusChange();
    }
}

void TFM_Scheduling::SetRuleControlsEnabled(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_index, m_nameEdit, m_week, m_day, m_allDay, m_startHour,
                                                       m_startMinute, m_endHour, m_endMinute, m_add, m_clear,
                                                       m_del, m_shown})
        w->setEnabled(on);
    for (QCheckBox *day : m_days)
        day->setEnabled(on && !m_week->isChecked());
    m_ssid->setEnabled(false);
}

void TFM_Scheduling::CBox_ScheduleStatusChange()
{
    const bool on = m_statusBox->currentIndex() == kEnable;
    SetRuleControlsEnabled(on);
    if (on) {
        m_apply->setEnabled(true);
        m_del->setEnabled(false);
        CheckBox_AllDayClick();
    }
}

void TFM_Scheduling::CheckBox_AllDayClick()
{
    const bool allDay = m_allDay->isChecked();
    for (QLineEdit *field : {m_startHour, m_startMinute, m_endHour, m_endMinute}) {
        if (allDay)
            field->clear();
        field->setEnabled(!allDay && m_allDay->isEnabled());
    }
}

void TFM_Scheduling::RB_WeekClick()
{
    m_week->setChecked(true);
    for (QCheckBox *day : m_days) {
        day->setChecked(true);
        day->setEnabled(false);
    }
}

void TFM_Scheduling::RB_DayClick()
{
    m_day->setChecked(true);
    for (QCheckBox *day : m_days) {
        day->setChecked(false);
        day->setEnabled(m_day->isEnabled());
    }
}

void TFM_Scheduling::Cbox_SchIndexChange()
{
    const int row = m_index->currentIndex();
    const std::vector<int> columns = m_ssids->ColumnVariables();
    const auto at = std::find(columns.begin(), columns.end(), kSsidColumn) - columns.begin();
    const bool listed = row >= 0 && row < m_ssidList->topLevelItemCount();
    m_ssid->setText(listed ? m_ssidList->topLevelItem(row)->text(int(at)) : QString());
    m_ssid->setEnabled(false);
}

void TFM_Scheduling::ListRead(const KxSNMPError &error)
{
    if (error.Code != 0)
        return;
    m_rules->Rebuild();
    const QSignalBlocker quiet(m_shown);
    m_shown->clear();
    for (int e = 0; e < m_rules->Rows().Count(); ++e) {
        const QTreeWidgetItem *row = m_rules->Entry(e);
        auto *item = new QTreeWidgetItem({m_rules->Cell(row, LName), m_rules->Cell(row, LSsidIndex),
                                          m_rules->Cell(row, LSsid), m_rules->Cell(row, LDays),
                                          m_rules->Cell(row, LFrame), m_rules->Cell(row, LWireless)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        m_shown->addTopLevelItem(item);
    }
    m_listed = m_shown->topLevelItemCount();
    // The list holds no pick any more, so no rule is remembered for a Delete.
    m_name.clear();
}

void TFM_Scheduling::ShowDays(const QString &days)
{
    if (days == QLatin1String("All Week")) {
        RB_WeekClick();
        return;
    }
    // A rule's days replace whatever boxes the previous one had checked.
    RB_DayClick();
    for (int d = 0; d < 7; ++d)
        m_days[size_t(d)]->setChecked(days.contains(QLatin1String(kDayNames[d])));
}

void TFM_Scheduling::ShowTimeFrame(const QString &frame)
{
    const bool allDay = frame == QLatin1String("All Day(s)");
    m_allDay->setChecked(allDay);
    if (allDay)
        return;
    const auto [start, end] = SplitAt(frame, QLatin1Char('-'));
    const auto [startHour, startMinute] = SplitAt(start, QLatin1Char(':'));
    const auto [endHour, endMinute] = SplitAt(end, QLatin1Char(':'));
    m_startHour->setText(startHour);
    m_startMinute->setText(startMinute);
    m_endHour->setText(endHour);
    m_endMinute->setText(endMinute);
}

void TFM_Scheduling::User_ListViewSelect()
{
    const QList<QTreeWidgetItem *> picked = m_shown->selectedItems();
    if (picked.isEmpty())
        return;
    const QTreeWidgetItem *row = m_rules->Entry(m_shown->indexOfTopLevelItem(picked.first()));
    if (!row)
        return;
    m_nameEdit->setText(m_rules->Cell(row, LName));
    ssidIndexes().Select(m_index, m_rules->Cell(row, LSsidIndex));
    m_ssid->setText(m_rules->Cell(row, LSsid));
    m_name = m_rules->Cell(row, LName);
    m_ssidIndex = m_rules->Cell(row, LSsidIndex);
    ShowDays(m_rules->Cell(row, LDays));
    ShowTimeFrame(m_rules->Cell(row, LFrame));
    m_ssid->setEnabled(false);
    CheckBox_AllDayClick();
    for (QPushButton *b : {m_add, m_clear, m_del, m_apply})
        b->setEnabled(true);
}

bool TFM_Scheduling::TimeValid(QLineEdit *field, int most, const QString &message, int &value)
{
    try {
        value = KxStrToInt(field->text().trimmed());
    } catch (const KxConvertError &e) {
        Dialogs().ShowError(this, e.Text());
        return false;
    }
    if (value >= 0 && value <= most)
        return true;
    Dialogs().MessageBox(this, message, QStringLiteral("Warning"));
    field->setFocus();
    field->clear();
    return false;
}

bool TFM_Scheduling::RuleValid(Rule &rule)
{
    if (m_nameEdit->text().isEmpty()) {
        Dialogs().MessageBox(this, QStringLiteral("The Name field can not be blank."), QStringLiteral("Warning"));
        m_nameEdit->setFocus();
        return false;
    }
    int mask = 0;
    for (int d = 0; d < 7; ++d)
        if (m_days[size_t(d)]->isChecked())
            mask |= 1 << d;
    if (m_day->isChecked() && mask == 0) {
        Dialogs().MessageBox(this, QStringLiteral("Please Select Day(s)"), QStringLiteral("Warning"));
        return false;
    }
    rule.name = m_nameEdit->text();
    rule.days = m_week->isChecked() ? QStringLiteral("0") : QString::number(mask);
    rule.allDay = m_allDay->isChecked() ? QStringLiteral("enable") : QStringLiteral("disable");
    rule.ssidIndex = m_index->currentText();
    rule.nodeStatus = QStringLiteral("1");
    if (m_allDay->isChecked())
        return true;
    const QString hour = QStringLiteral("Invalid Hour!"), minute = QStringLiteral("Invalid Minute!");
    int startHour = 0, endHour = 0, startMinute = 0, endMinute = 0;
    if (!TimeValid(m_startHour, 23, hour, startHour) || !TimeValid(m_endHour, 23, hour, endHour)
        || !TimeValid(m_startMinute, 59, minute, startMinute) || !TimeValid(m_endMinute, 59, minute, endMinute))
        return false;
    rule.start = QStringLiteral("%1:%2").arg(startHour).arg(startMinute);
    rule.end = QStringLiteral("%1:%2").arg(endHour).arg(endMinute);
    return true;
}

bool TFM_Scheduling::WriteRule(const Rule &rule, bool add, bool synchronous)
{
    const QString action = add ? QStringLiteral("add") : QStringLiteral("del");
    QString indexes;
    QStringList values;
    if (!add) {
        // The device finds the rule by its name and SSID.
        indexes = QStringLiteral("0,5,7");
        values = {rule.name, rule.ssidIndex, action};
    } else if (rule.allDay == QLatin1String("enable")) {
        indexes = QStringLiteral("0,1,2,5,6,7");
        values = {rule.name, rule.days, rule.allDay, rule.ssidIndex, rule.nodeStatus, action};
    } else {
        // A timed rule says so: the all-day choice of an earlier rule must not stay.
        indexes = QStringLiteral("0,1,2,3,4,5,6,7");
        values = {rule.name, rule.days, rule.allDay, rule.start, rule.end, rule.ssidIndex, rule.nodeStatus, action};
    }
    m_rule->Asynchronous = !synchronous;
    bool ok = false;
    Guard([&] { ok = m_rule->SetFromControls(false, false, indexes, &values); });
    m_rule->Asynchronous = true;
    return ok;
}

void TFM_Scheduling::Btn_AddClick()
{
    Rule rule, old;
    old.name = m_name;
    old.ssidIndex = m_ssidIndex;
    const bool changing = !m_shown->selectedItems().isEmpty() && !m_name.isEmpty();
    bool checked = false;
    const bool issued = KxDeleteThenAdd({
        [&] { return checked = RuleValid(rule); },
        changing ? std::function<bool()>([&] { return WriteRule(old, false, true); }) : nullptr,
        [&] { return WriteRule(rule, true, false); },
    });
    if (!checked)
        return;
    m_ssidIndex = rule.ssidIndex;
    ShowStatus(issued ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}

void TFM_Scheduling::Btn_DelClick()
{
    if (m_name.isEmpty())
        return;
    if (Dialogs().Confirm(this, QStringLiteral("Are you sure that you want to delete this entry?"),
                          QStringLiteral("Warning"))) {
        Rule old;
        old.name = m_name;
        old.ssidIndex = m_ssidIndex;
        WriteRule(old, false, false);
        ShowStatus(QStringLiteral("Delete OK!"));
    }
    Btn_ClearClick();
}

void TFM_Scheduling::Btn_ApplyClick()
{
    bool ok = false;
    Guard([&] { ok = m_status->SetFromControls(); });
    ShowStatus(ok ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}

void TFM_Scheduling::Btn_ClearClick()
{
    RB_DayClick();
    m_allDay->setChecked(false);
    CheckBox_AllDayClick();
    for (QLineEdit *field : {m_nameEdit, m_startHour, m_startMinute, m_endHour, m_endMinute})
        field->clear();
    // Nothing is picked any more: a Delete or an Add must not reach the rule shown before.
    m_name.clear();
    m_shown->clearSelection();
}
