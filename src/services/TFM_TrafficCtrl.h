// 'Advanced \ Traffic Control': which interfaces face the downlink and which the uplink
// with the bandwidth each way, nine QoS classes, and the traffic manager's per-client
// speed rules, which the device only adds and deletes by name.
#pragma once

#include "KxEntryTable.h"
#include "KxScreen.h"

#include <memory>
#include <optional>

class TFM_TrafficCtrl : public KxScreen {
    Q_OBJECT

public:
    enum Tab { LinkTab, QosTab, ManagerTab };
    static constexpr int kInterfaces = 17;
    static constexpr int kClasses = 9;

    explicit TFM_TrafficCtrl(QWidget *parent = nullptr);
    ~TFM_TrafficCtrl() override;

    void Bt_LinkApplyClick();
    void ChBox_QosClick();
    void Bt_QosApplyClick();
    void ManagerRule();
    void Bt_TrafficApplyClick();
    void Bt_TrafficAddClick();
    void Bt_TrafficDelClick();
    void Bt_TrafficClearClick();
    void LV_TrafficManRuleUserSelect();

private:
    struct Controls;
    // A rule as the device holds it, with its texts as the fields show them.
    struct RuleValues {
        QString name, ip, mac, down, up;
    };

    // Layout (TFM_TrafficCtrlForm.cpp).
    void BuildForm();
    QWidget *BuildLinkTab();
    QWidget *BuildQosTab();
    QWidget *BuildManagerTab();
    void Connect();

    // Links and QoS (TFM_TrafficCtrl.cpp).
    void Open();
    void BuildRequests();
    void ReadInterfaces();
    void BoxClick(int interface, bool uplink);
    void ModeChange(int interface);
    void RefreshBoxes(int interface);
    void DeriveModes();
    bool LinkRatesValid();
    bool LimitsValid();
    bool PortsValid();
    void PortsRead(const KxSNMPError &error);
    bool Write(KxSNMPRequest2Edits *request);

    // The traffic manager and its rules (TFM_TrafficCtrlRules.cpp).
    bool RuleValid(const RuleValues &rule, bool replacing);
    bool SpeedValid(QLineEdit *speed, QLineEdit *bandwidth);
    bool WriteRule(const RuleValues &rule, bool add, bool synchronous);
    void RuleWritten(const KxSNMPError &error);
    void RuleListRead(const KxSNMPError &error);
    RuleValues Fields() const;
    void ShowFields(const RuleValues &rule);

    std::unique_ptr<Controls> m_c;
    KxSNMPRequest2Edits *m_ssidStates = nullptr;
    KxSNMPRequest2Edits *m_wdsPeers = nullptr;
    KxSNMPRequest2Edits *m_multiSsid = nullptr;
    KxSNMPRequest2Edits *m_modes = nullptr;
    KxSNMPRequest2Edits *m_linkBandwidth = nullptr;
    KxSNMPRequest2Edits *m_qosState = nullptr;
    KxSNMPRequest2Edits *m_qosBandwidth = nullptr;
    KxSNMPRequest2Edits *m_priorities = nullptr;
    KxSNMPRequest2Edits *m_limits = nullptr;
    KxSNMPRequest2Edits *m_ports = nullptr;
    KxSNMPRequest2Edits *m_managerBandwidth = nullptr;
    KxSNMPRequest2Edits *m_manager = nullptr;
    KxSNMPRequest2Edits *m_rule = nullptr;
    KxSNMPRequest2Edits *m_ruleList = nullptr;
    std::unique_ptr<KxEntryTable> m_rules;
    bool m_available[kInterfaces] = {};
    // The rule the user picked, as the device listed it; a change deletes this one.
    std::optional<RuleValues> m_selected;
    // A change deleted a rule: the list must be read whatever its add brings.
    bool m_listStale = false;
};
