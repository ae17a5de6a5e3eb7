// The three tabs of 'Advanced \ Traffic Control' and the controls that only carry values.
#include "KxServiceKit.h"

#include "KxAccessible.h"
#include "TFM_TrafficCtrlParts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace traffic {
const char *const kInterfaceNames[TFM_TrafficCtrl::kInterfaces] = {
    "Ethernet", "Primary SSID", "Multi-SSID 1", "Multi-SSID 2", "Multi-SSID 3", "Multi-SSID 4",
    "Multi-SSID 5", "Multi-SSID 6", "Multi-SSID 7", "WDS 1", "WDS 2", "WDS 3", "WDS 4",
    "WDS 5", "WDS 6", "WDS 7", "WDS 8"};
const char *const kClassNames[TFM_TrafficCtrl::kClasses] = {
    "ACK/DHCP/ICMP/DNS Priority", "Web Traffic Priority", "Mail Traffic Priority", "Ftp Traffic Priority",
    "User Defined-1 Priority", "User Defined-2 Priority", "User Defined-3 Priority", "User Defined-4 Priority",
    "Other Traffic Priority"};
} // namespace traffic

namespace {

QLineEdit *edit(QWidget *page, const QString &name, int maxLength, const QString &accessible)
{
    auto *e = new QLineEdit(page);
    e->setObjectName(name);
    e->setProperty("typingLimit", maxLength);
    e->setAccessibleName(accessible);
    e->setMaximumWidth(90);
    return e;
}

QLineEdit *field(QWidget *page, QFormLayout *form, const QString &caption, const char *name, int maxLength)
{
    QLineEdit *e = edit(page, QLatin1String(name), maxLength, caption.trimmed());
    e->setMaximumWidth(QWIDGETSIZE_MAX);
    form->addRow(caption, e);
    return e;
}

QComboBox *combo(QWidget *page, const QString &name, const QString &accessible)
{
    auto *box = new QComboBox(page);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setMinimumWidth(110);
    return box;
}

QPushButton *button(QWidget *page, QHBoxLayout *row, const QString &caption, const char *name)
{
    auto *b = new QPushButton(caption, page);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

QHBoxLayout *buttonRow(QVBoxLayout *into)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    into->addLayout(row);
    return row;
}

QCheckBox *box(QWidget *page, const QString &name, const QString &caption)
{
    auto *b = new QCheckBox(caption, page);
    b->setObjectName(name);
    return b;
}

} // namespace

void TFM_TrafficCtrl::BuildForm()
{
    m_c = std::make_unique<Controls>();
    Controls &c = *m_c;
    c.tabs = new QTabWidget(this);
    c.tabs->setObjectName(QStringLiteral("PageControl1"));
    Body()->addWidget(c.tabs);
    c.tabs->addTab(BuildLinkTab(), QStringLiteral("UplinkDownlink Setting"));
    c.tabs->addTab(BuildQosTab(), QStringLiteral(" QoS"));
    c.tabs->addTab(BuildManagerTab(), QStringLiteral("Traffic Manager"));
    for (int i = 0; i < kInterfaces; ++i)
        c.mode[size_t(i)] = AddHidden<QComboBox>(qPrintable(QStringLiteral("ComboBox%1").arg(i + 1)));
    c.multiSsid = AddHidden<QComboBox>("Cbox_Multissid");
    c.ssidStates = AddHidden<QTreeWidget>("Lv_MultiIndex");
    c.wdsPeers = AddHidden<QTreeWidget>("Lv_wdsMAC");
    c.ruleTable = AddHidden<QTreeWidget>("LV_TrafficManRule");
    // Each tab has its own status line.
    setMinimumWidth(640); // room for every column of the rule list
    StatusBar()->hide();
    KxNameControls(this);
}

QWidget *TFM_TrafficCtrl::BuildLinkTab()
{
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    auto *sides = new QHBoxLayout;
    v->addLayout(sides);
    auto *downGroup = new QGroupBox(QStringLiteral("Downlink Interface"), page);
    auto *upGroup = new QGroupBox(QStringLiteral("Uplink Interface"), page);
    auto *downGrid = new QGridLayout(downGroup);
    auto *upGrid = new QGridLayout(upGroup);
    sides->addWidget(downGroup);
    sides->addWidget(upGroup);
    for (int i = 0; i < kInterfaces; ++i) {
        QString downName, upName;
        if (i == 0) {
            downName = QStringLiteral("ChBox_Ethernet");
            upName = QStringLiteral("ChBox_Ethernet2");
        } else if (i == 1) {
            downName = QStringLiteral("ChBox_Primary");
            upName = QStringLiteral("ChBox_Primaryssid2");
        } else if (i < 9) {
            downName = QStringLiteral("ChBox_Multissid%1").arg(i - 1);
            upName = QStringLiteral("ChBox_Multissid%1u").arg(i - 1);
        } else {
            downName = QStringLiteral("ChBox_WDS%1").arg(i - 8);
            upName = QStringLiteral("ChBox_WDS%1u").arg(i - 8);
        }
        const QString caption = QLatin1String(traffic::kInterfaceNames[i]);
        c.down[size_t(i)] = box(downGroup, downName, caption);
        c.up[size_t(i)] = box(upGroup, upName, caption);
        c.down[size_t(i)]->setAccessibleName(caption + QStringLiteral(" downlink"));
        c.up[size_t(i)]->setAccessibleName(caption + QStringLiteral(" uplink"));
        // Two columns: Ethernet and the SSIDs, then the WDS links.
        downGrid->addWidget(c.down[size_t(i)], i < 9 ? i : i - 9, i < 9 ? 0 : 1);
        upGrid->addWidget(c.up[size_t(i)], i < 9 ? i : i - 9, i < 9 ? 0 : 1);
    }
    auto *form = new QFormLayout;
    v->addLayout(form);
    c.downLink = field(page, form, QStringLiteral("Downlink Bandwidth (Mbits/sec)"), "Ed_DownLink", 3);
    c.upLink = field(page, form, QStringLiteral("Uplink Bandwidth (Mbits/sec)"), "Ed_UpLink", 3);
    c.linkApply = button(page, buttonRow(v), QStringLiteral("Save"), "Bt_LinkApply");
    v->addStretch();
    c.linkStatus = KxTabStatus(page, "StatusBar1");
    v->addWidget(c.linkStatus);
    return page;
}

QWidget *TFM_TrafficCtrl::BuildQosTab()
{
    static const char *const kBoxes[kClasses] = {"CBox_ACK", "CBox_Web", "CBox_Mail", "CBox_Ftp",
                                                 "CBox_UserDefine1", "CBox_UserDefine2", "CBox_UserDefine3",
                                                 "CBox_UserDefine4", "CBox_Other"};
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    c.qos = box(page, QStringLiteral("ChBox_Qos"), QStringLiteral("Enable QoS"));
    v->addWidget(c.qos);
    auto *form = new QFormLayout;
    v->addLayout(form);
    c.qosDown = field(page, form, QStringLiteral("Downlink Bandwidth (Mbits/sec)"), "Ed_DownLBWidth", 3);
    c.qosUp = field(page, form, QStringLiteral("Uplink Bandwidth (Mbits/sec)"), "Ed_UpLBWidth", 3);
    auto *classes = new QGroupBox(QStringLiteral("Priority Classes"), page);
    v->addWidget(classes);
    auto *grid = new QGridLayout(classes);
    grid->addWidget(new QLabel(QStringLiteral("Limit (%)"), classes), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Port"), classes), 0, 3);
    for (int k = 0; k < kClasses; ++k) {
        const QString caption = QLatin1String(traffic::kClassNames[k]);
        auto *label = new QLabel(caption, classes);
        c.priority[size_t(k)] = combo(classes, QLatin1String(kBoxes[k]), caption);
        c.limit[size_t(k)] = edit(classes, QStringLiteral("Ed_Limit%1").arg(k + 1), 3, caption + QStringLiteral(" limit"));
        grid->addWidget(label, k + 1, 0);
        grid->addWidget(c.priority[size_t(k)], k + 1, 1);
        grid->addWidget(c.limit[size_t(k)], k + 1, 2);
        if (k >= 8)
            continue;
        c.port[size_t(k)] = edit(classes, QStringLiteral("Ed_Port%1").arg(k + 1), 11, caption + QStringLiteral(" port"));
        if (k < 4) {
            c.port[size_t(k)]->setEnabled(false);
            grid->addWidget(c.port[size_t(k)], k + 1, 3);
            continue;
        }
        c.port[size_t(k)]->hide();
        const int u = k - 4;
        c.portStart[size_t(u)] = edit(classes, QStringLiteral("Ed_Port%1L").arg(k + 1), 5, caption + QStringLiteral(" start port"));
        c.portEnd[size_t(u)] = edit(classes, QStringLiteral("Ed_Port%1R").arg(k + 1), 5, caption + QStringLiteral(" end port"));
        auto *range = new QHBoxLayout;
        range->addWidget(c.portStart[size_t(u)]);
        range->addWidget(new QLabel(QStringLiteral("-"), classes));
        range->addWidget(c.portEnd[size_t(u)]);
        grid->addLayout(range, k + 1, 3);
    }
    c.qosApply = button(page, buttonRow(v), QStringLiteral("Save"), "Bt_QosApply");
    v->addStretch();
    c.qosStatus = KxTabStatus(page, "StatusBar2");
    v->addWidget(c.qosStatus);
    return page;
}

QWidget *TFM_TrafficCtrl::BuildManagerTab()
{
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    v->addLayout(form);
    c.managerDown = field(page, form, QStringLiteral("Downlink Bandwidth (Mbits/sec)"), "Ed_DownLBand", 3);
    c.managerUp = field(page, form, QStringLiteral("Uplink Bandwidth (Mbits/sec)"), "Ed_UpLBand", 3);
    c.manager = combo(page, QStringLiteral("Cbox_TrafficMan"), QStringLiteral("Traffic Manager"));
    form->addRow(QStringLiteral("Traffic Manager"), c.manager);
    c.unlisted = combo(page, QStringLiteral("Cbox_ClientTraffic"), QStringLiteral("Unlisted Clients Traffic"));
    form->addRow(QStringLiteral("Unlisted Clients Traffic"), c.unlisted);
    c.managerApply = button(page, buttonRow(v), QStringLiteral("Save"), "Bt_TrafficApply");

    c.addGroup = new QGroupBox(QStringLiteral("Add Traffic Manager Rule"), page);
    v->addWidget(c.addGroup);
    auto *ruleForm = new QFormLayout(c.addGroup);
    c.name = field(c.addGroup, ruleForm, QStringLiteral("Name"), "Ed_Name", 15);
    c.ip = field(c.addGroup, ruleForm, QStringLiteral("Client IP"), "Ed_ClientIP", 15);
    c.mac = field(c.addGroup, ruleForm, QStringLiteral("Client MAC"), "Ed_ClientMAC", 12);
    c.downSpeed = field(c.addGroup, ruleForm, QStringLiteral("Ethernet to Wireless Speed (kbits/sec)"), "Ed_KestrixSp", 6);
    c.upSpeed = field(c.addGroup, ruleForm, QStringLiteral("Wireless to Ethernet Speed (kbits/sec)"), "Ed_ULinkSp", 6);
    auto *ruleButtons = new QHBoxLayout;
    ruleButtons->addStretch();
    ruleForm->addRow(ruleButtons);
    c.add = button(c.addGroup, ruleButtons, QStringLiteral("Add"), "Bt_TrafficAdd");
    c.del = button(c.addGroup, ruleButtons, QStringLiteral("Delete"), "Bt_TrafficDel");
    c.clear = button(c.addGroup, ruleButtons, QStringLiteral("Clear"), "Bt_TrafficClear");

    c.rulesGroup = new QGroupBox(QStringLiteral("Traffic Manager Rules "), page);
    v->addWidget(c.rulesGroup);
    auto *listBox = new QVBoxLayout(c.rulesGroup);
    c.rules = KxReportList(c.rulesGroup, "LV_TrafficManRuleUser",
                           {QStringLiteral("Name"), QStringLiteral("Client Ip"), QStringLiteral("Client Mac"),
                            QStringLiteral("Downlink Speed"), QStringLiteral("Uplink Speed")},
                           QStringLiteral("Traffic Manager Rules"));
    listBox->addWidget(c.rules);
    c.managerStatus = KxTabStatus(page, "StatusBar3");
    v->addWidget(c.managerStatus);
    return page;
}

void TFM_TrafficCtrl::Connect()
{
    Controls &c = *m_c;
    for (int i = 0; i < kInterfaces; ++i) {
        connect(c.down[size_t(i)], &QCheckBox::clicked, this, [this, i] { BoxClick(i, false); });
        connect(c.up[size_t(i)], &QCheckBox::clicked, this, [this, i] { BoxClick(i, true); });
    }
    connect(c.linkApply, &QPushButton::clicked, this, &TFM_TrafficCtrl::Bt_LinkApplyClick);
    connect(c.qos, &QCheckBox::clicked, this, &TFM_TrafficCtrl::ChBox_QosClick);
    connect(c.qosApply, &QPushButton::clicked, this, &TFM_TrafficCtrl::Bt_QosApplyClick);
    connect(c.manager, &QComboBox::activated, this, &TFM_TrafficCtrl::ManagerRule);
    connect(c.unlisted, &QComboBox::activated, this, &TFM_TrafficCtrl::ManagerRule);
    connect(c.managerApply, &QPushButton::clicked, this, &TFM_TrafficCtrl::Bt_TrafficApplyClick);
    connect(c.add, &QPushButton::clicked, this, &TFM_TrafficCtrl::Bt_TrafficAddClick);
    connect(c.del, &QPushButton::clicked, this, &TFM_TrafficCtrl::Bt_TrafficDelClick);
    connect(c.clear, &QPushButton::clicked, this, &TFM_TrafficCtrl::Bt_TrafficClearClick);
    connect(c.rules, &QTreeWidget::itemSelectionChanged, this, &TFM_TrafficCtrl::LV_TrafficManRuleUserSelect);
}
