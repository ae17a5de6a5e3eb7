// The 18 logical ports and the controls of 'Advanced \ VLAN Settings', shared by its
// sources.
#pragma once

#include "TFM_VlanSetting.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <array>

namespace vlan {

constexpr int kPorts = 18;

// A port in the order used everywhere: its name, the middle part of its radio buttons'
// names and the name of its PVID field.
struct Port {
    const char *name;
    const char *radio;
    const char *pvid;
};
extern const Port kPortTable[kPorts];

// The three groups of the Add/Edit tab: first port and count.
struct Group {
    const char *title;
    int first;
    int count;
    const char *all[3]; // 'All' buttons: Untag, Tag, Not Member
};
extern const Group kGroups[3];

// The VLAN list's variables: index, VID, name, then one membership per port, then delete.
enum VlanVariable { Index = 0, Vid = 1, Name = 2, FirstPort = 3, Delete = FirstPort + kPorts };

} // namespace vlan

struct TFM_VlanSetting::Controls {
    QComboBox *status;      // CB_VlanStatus
    QPushButton *save;      // Btn_Save
    QLabel *mode;           // LB_VlanMode
    QTabWidget *tabs;
    QTreeWidget *vlans;     // LV_VlanListUser
    QPushButton *edit, *del;
    QTreeWidget *ports;     // LV_PortListUser
    QLineEdit *vid, *name;
    QPushButton *add, *apply;
    std::array<std::array<QRadioButton *, 3>, vlan::kPorts> choices{}; // Untag, Tag, Not Member
    std::vector<QPushButton *> allButtons;
    QComboBox *pvidAuto;    // CB_PvidAutoStatus
    QPushButton *pvidApply;
    std::array<QLineEdit *, vlan::kPorts> pvids{};
    // Controls that only carry values.
    QComboBox *apMode, *applyTrigger, *modeValue, *portRefresh, *deleteTrigger;
    QLabel *index;
    std::array<QComboBox *, vlan::kPorts> members{};
    QTreeWidget *ssids, *portList, *vlanList;
};
