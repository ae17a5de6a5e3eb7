// 'Advanced \ Qos Setting': rule-based QoS. The device keeps up to 64 rules in a table,
// the named ones first; a new rule is written into the first free row, a changed one into
// its own row, a rule is deleted by writing its index, and each rule's enabled state is
// written on its own at 'Apply'.
#pragma once

#include "KxEntryTable.h"
#include "KxSaveWait.h"
#include "KxScreen.h"

#include <QStringList>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class TFM_QosSetting : public KxScreen {
    Q_OBJECT

public:
    static constexpr int kMaxRules = 64;
    // Which of 'Add', 'Clear', 'Delete' and 'Apply' are on.
    enum ButtonMode { Listing = 0, Selected = 1, AllOn = 2, Full = 3 };

    explicit TFM_QosSetting(QWidget *parent = nullptr);
    ~TFM_QosSetting() override;

    void Btn_AddClick();
    void Btn_ClearClick();
    void Btn_DelClick();
    void Btn_ApplyClick();
    void LV_QosRulesUserSelect();
    void CB_EnableQosChange();
    void CB_ProtocolChange();

private:
    struct Controls;

    // Layout (TFM_QosSettingForm.cpp).
    void BuildForm();
    void Connect();

    // Requests and the rule list (TFM_QosSetting.cpp).
    void BuildRequests();
    void RulesRead(const KxSNMPError &error);
    void RulesWritten(const KxSNMPError &error);
    void ApplyMode(int mode);
    void SetMode(int mode);
    bool QosEnabled() const;
    bool WriteStates();
    bool Write(KxSNMPRequest2Edits *request);

    // The rule a write sends (TFM_QosSettingRule.cpp).
    bool Add(bool withState);
    bool RuleValues(QStringList &values);
    bool HostOneValid(QStringList &values);
    bool PortsValid(QLineEdit *start, QLineEdit *end, QLineEdit *count, QStringList &values, int first);
    bool HostTwoValid(QStringList &values);
    bool ProtocolValid(QStringList &values);
    bool Refuse(QLineEdit *field, const QString &text, const QString &title, bool empty = false);

    std::unique_ptr<Controls> m_c;
    KxSNMPRequest2Edits *m_status = nullptr;
    KxSNMPRequest2Edits *m_classifiers = nullptr;
    KxSNMPRequest2Edits *m_delete = nullptr;
    KxSNMPRequest2Edits *m_rules = nullptr;
    std::unique_ptr<KxEntryTable> m_table;
    // Made anew at each 'Apply' for the rules listed then, with its hidden controls.
    std::unique_ptr<KxSNMPRequest2Edits> m_states;
    std::vector<std::unique_ptr<QWidget>> m_stateControls;
    KxSaveWait m_wait;
    int m_listed = 0;
    int m_mode = AllOn;
};
