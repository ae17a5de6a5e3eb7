// The controls of the three tabs of 'Advanced \ DHCP Server', shared by its sources.
#pragma once

#include "New_req2Edit.h"
#include "TFM_DHCP.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <map>

namespace dhcp {

// The variables of the static pool table, in its descriptor order.
enum StaticVariable { Index, Status, HostName, Address, Mac, Mask, Gateway, Dns, Wins, Domain };

// The checks both tabs make, each telling the user what is wrong and focusing the field.
bool Refuse(QWidget *parent, QLineEdit *field, const QString &text, const QString &title);
bool MaskValid(QWidget *parent, QLineEdit *mask);
// Gateway, then WINS and DNS (an empty one of these two becomes "0.0.0.0").
bool ServersValid(QWidget *parent, QLineEdit *gateway, QLineEdit *wins, QLineEdit *dns);

} // namespace dhcp

struct TFM_DHCP::Dynamic {
    QComboBox *control; // CB_Fuction1
    QLineEdit *start, *range, *mask, *gateway, *wins, *dns, *domain, *lease;
    QPushButton *apply, *cancel;
    QStatusBar *status; // StatusBar1
    QList<QLineEdit *> Fields() const { return {start, range, mask, gateway, wins, dns, domain, lease}; }
};

struct TFM_DHCP::Static {
    QComboBox *control; // CB_Fuction2
    QTreeWidget *entries; // User_ListView
    QTreeWidget *table;   // LV_StaticPoolSet, the whole device table
    QLabel *index;
    QComboBox *state; // CB_StaticStatus
    QLineEdit *hostName, *address, *mac, *mask, *gateway, *wins, *dns, *domain;
    QPushButton *save, *del;
    QStatusBar *status; // StatusBar2
    QList<QLineEdit *> Fields() const { return {hostName, address, mac, mask, gateway, wins, dns, domain}; }
};

struct TFM_DHCP::Current {
    QTreeWidget *dynamicShown, *staticShown; // LV_DynPool, LV_StaticPool
    QTreeWidget *dynamicRead, *staticRead;   // LV_Dy, LV_Static
    QComboBox *dynamicTrigger, *staticTrigger;
    QPushButton *refreshDynamic, *refreshStatic;
    QStatusBar *dynamicStatus, *staticStatus; // StatusBar3, StatusBar4
    KxSNMPRequest2Edits *refreshDynamicRequest = nullptr;
    KxSNMPRequest2Edits *refreshStaticRequest = nullptr;
    std::unique_ptr<New_req2Edit> dynamicRequest;
    std::unique_ptr<New_req2Edit> staticRequest;
    // A list asked for again while its walk still runs is read once more afterwards.
    std::map<New_req2Edit *, bool> again;
};
