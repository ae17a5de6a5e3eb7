// 'Advanced \ Wireless Schedule': the schedule's on/off status and the device's list of
// rules, each switching one SSID on chosen days, all day or within a time frame. The
// device only adds and deletes rules; a change is a delete of the old rule, then an add.
#pragma once

#include "KxEntryTable.h"
#include "KxScreen.h"

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;

class TFM_Scheduling : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Scheduling(QWidget *parent = nullptr);
    ~TFM_Scheduling() override;

    void User_ListViewSelect();
    void Btn_AddClick();
    void Btn_DelClick();
    void Btn_ApplyClick();
    void Btn_ClearClick();
    void CBox_ScheduleStatusChange();
    void CheckBox_AllDayClick();
    void RB_WeekClick();
    void RB_DayClick();
    void Cbox_SchIndexChange();

    // The rule last picked in the list, as the device listed it; empty when none is.
    QString RememberedName() const { return m_name; }
    QString RememberedSsidIndex() const { return m_ssidIndex; }
    int ListedCount() const { return m_listed; }

private:
    // A rule as the rule objects carry it, in their order.
    struct Rule {
        QString name, days, allDay, start, end, ssidIndex, nodeStatus;
    };

    void BuildForm();
    void Connect();
    void Open();
    bool TimeValid(QLineEdit *field, int most, const QString &message, int &value);
    bool RuleValid(Rule &rule);
    bool WriteRule(const Rule &rule, bool add, bool synchronous);
    void ListRead(const KxSNMPError &error);
    void ShowDays(const QString &days);
    void ShowTimeFrame(const QString &frame);
    void SetRuleControlsEnabled(bool enabled);

    KxSNMPRequest2Edits *m_apMode = nullptr;
    KxSNMPRequest2Edits *m_ssids = nullptr;
    KxSNMPRequest2Edits *m_status = nullptr;
    KxSNMPRequest2Edits *m_rule = nullptr;
    KxSNMPRequest2Edits *m_list = nullptr;
    std::unique_ptr<KxEntryTable> m_rules;

    QComboBox *m_apModeBox = nullptr, *m_statusBox = nullptr, *m_index = nullptr;
    QTreeWidget *m_ssidList = nullptr, *m_table = nullptr, *m_shown = nullptr;
    QLineEdit *m_ssid = nullptr, *m_nameEdit = nullptr;
    QLineEdit *m_startHour = nullptr, *m_startMinute = nullptr, *m_endHour = nullptr, *m_endMinute = nullptr;
    QRadioButton *m_week = nullptr, *m_day = nullptr;
    std::array<QCheckBox *, 7> m_days = {};
    QCheckBox *m_allDay = nullptr;
    QPushButton *m_add = nullptr, *m_clear = nullptr, *m_del = nullptr, *m_apply = nullptr;

    QString m_name;
    QString m_ssidIndex;
    int m_listed = 0;
};
