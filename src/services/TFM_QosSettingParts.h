// The controls of 'Advanced \ Qos Setting', shared by its sources.
#pragma once

#include "TFM_QosSetting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

struct TFM_QosSetting::Controls {
    QComboBox *enableQos;             // CB_EnableQos
    QCheckBox *http, *automatic;      // CheckBox_Http, CheckBox_Automatic
    QLineEdit *name;                  // Ed_QosName
    QComboBox *priority, *protocol;   // CB_Priority, CB_Protocol
    QLineEdit *protocolNumber;        // Ed_ProtocolName
    QLineEdit *ipFrom1, *ipTo1, *portFrom1, *portTo1;
    QLineEdit *ipFrom2, *ipTo2, *portFrom2, *portTo2;
    QPushButton *add, *clear, *del, *apply;
    QTreeWidget *rules;               // LV_QosRulesUser
    // Only carry values.
    QTreeWidget *ruleTable;           // LV_QosRules
    QLabel *index;                    // LB_Index
    QComboBox *state;                 // CB_QosRulesState
    QLineEdit *ipRange1, *portRange1; // Ed_HostOneIpRange, Ed_HostOnePortRange
    QLineEdit *ipRange2, *portRange2; // Ed_HostTowIpRange, Ed_HostTowPortRange
    QLineEdit *deleteIndex;           // Ed_QosRuleDel
};

namespace qos {
// The rules table's variables, in column order.
enum RuleVariable { VIndex, VState, VName, VPriority, VProtocol, VType, VIp1From, VIp1To, VIp1Range,
                    VPort1From, VPort1To, VPort1Range, VIp2From, VIp2To, VIp2Range, VPort2From, VPort2To,
                    VPort2Range, VCount };
// 0 = "Disable", 1 = "Enable".
const KxOptionList &OnOff();
} // namespace qos
