// The controls of 'Advanced \ Traffic Control', shared by its sources.
#pragma once

#include "TFM_TrafficCtrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <array>

struct TFM_TrafficCtrl::Controls {
    QTabWidget *tabs;
    // Per interface: the downlink box, the uplink box and the mode list (hidden).
    std::array<QCheckBox *, kInterfaces> down, up;
    std::array<QComboBox *, kInterfaces> mode;
    QTreeWidget *ssidStates, *wdsPeers; // Lv_MultiIndex, Lv_wdsMAC
    QComboBox *multiSsid;               // Cbox_Multissid
    QLineEdit *downLink, *upLink;
    QPushButton *linkApply;
    QStatusBar *linkStatus;

    QCheckBox *qos;
    QLineEdit *qosDown, *qosUp;
    std::array<QComboBox *, kClasses> priority;
    std::array<QLineEdit *, kClasses> limit;
    std::array<QLineEdit *, 8> port;      // Ed_Port1 .. Ed_Port8
    std::array<QLineEdit *, 4> portStart; // Ed_Port5L .. Ed_Port8L
    std::array<QLineEdit *, 4> portEnd;   // Ed_Port5R .. Ed_Port8R
    QPushButton *qosApply;
    QStatusBar *qosStatus;

    QLineEdit *managerDown, *managerUp;
    QComboBox *manager, *unlisted; // Cbox_TrafficMan, Cbox_ClientTraffic
    QGroupBox *addGroup, *rulesGroup;
    QLineEdit *name, *ip, *mac, *downSpeed, *upSpeed;
    QPushButton *add, *del, *clear, *managerApply;
    QTreeWidget *ruleTable, *rules; // LV_TrafficManRule (hidden), LV_TrafficManRuleUser
    QStatusBar *managerStatus;
};

namespace traffic {
// The interfaces' captions, in instance order.
extern const char *const kInterfaceNames[TFM_TrafficCtrl::kInterfaces];
extern const char *const kClassNames[TFM_TrafficCtrl::kClasses];
} // namespace traffic
