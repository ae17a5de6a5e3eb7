// The status row and the four tabs of 'Advanced \ VLAN Settings', and the controls that
// only carry values.
#include "KxServiceKit.h"

#include "KxAccessible.h"
#include "TFM_VlanSettingParts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vlan {

const Port kPortTable[kPorts] = {
    {"Mgmt", "PortMgmt", "Ed_PvidMgmt"},       {"LAN", "PortLan", "Ed_PvidLan"},
    {"Primary", "MssidPrimary", "Ed_PvidMssidPrimary"},
    {"S-1", "MssidS1", "Ed_PvidMssidS1"},     {"S-2", "MssidS2", "Ed_PvidMssidS2"},
    {"S-3", "MssidS3", "Ed_PvidMssidS3"},     {"S-4", "MssidS4", "Ed_PvidMssidS4"},
    {"S-5", "MssidS5", "Ed_PvidMssidS5"},     {"S-6", "MssidS6", "Ed_PvidMssidS6"},
    {"S-7", "MssidS7", "Ed_PvidMssidS7"},
    {"W-1", "WdsW1", "Ed_PvidWdsW1"},         {"W-2", "WdsW2", "Ed_PvidWdsW2"},
    {"W-3", "WdsW3", "Ed_PvidWdsW3"},         {"W-4", "WdsW4", "Ed_PvidWdsW4"},
    {"W-5", "WdsW5", "Ed_PvidWdsW5"},         {"W-6", "WdsW6", "Ed_PvidWdsW6"},
    {"W-7", "WdsW7", "Ed_PvidWdsW7"},         {"W-8", "WdsW8", "Ed_PvidWdsW8"},
};

const Group kGroups[3] = {
    {"Port", 0, 2, {"Btn_VlanPortUntagAll", "Btn_VlanPortTagAll", "Btn_VlanPortNotAll"}},
    {"MSSID Port", 2, 8, {"Btn_VlanMssidUntagAll", "Btn_VlanMssidTagAll", "Btn_VlanMssidNotAll"}},
    {"WDS Port", 10, 8, {"Btn_VlanWdsUntagAll", "Btn_VlanWdsTagAll", "Btn_VlanWdsNotAll"}},
};

} // namespace vlan

namespace {

QPushButton *button(QWidget *parent, const QString &caption, const char *name)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

const char *const kChoiceNames[3] = {"Untag", "Tag", "Not"};
const char *const kChoiceCaptions[3] = {"Untag", "Tag", "Not Member"};

} // namespace

void TFM_VlanSetting::BuildForm()
{
    m_c = std::make_unique<Controls>();
    Controls &c = *m_c;
    auto *top = new QHBoxLayout;
    Body()->addLayout(top);
    auto *statusCaption = new QLabel(QStringLiteral(" VLAN Status  :"), this);
    c.status = new QComboBox(this);
    c.status->setObjectName(QStringLiteral("CB_VlanStatus"));
    c.status->setMinimumWidth(110);
    statusCaption->setBuddy(c.status);
    c.save = button(this, QStringLiteral("Save"), "Btn_Save");
    c.save->setAccessibleName(QStringLiteral("Save VLAN Status"));
    auto *modeCaption = new QLabel(QStringLiteral(" VLAN Mode  : "), this);
    c.mode = new QLabel(this);
    c.mode->setObjectName(QStringLiteral("LB_VlanMode"));
    c.mode->setAccessibleName(QStringLiteral("VLAN Mode"));
    for (QWidget *w : std::initializer_list<QWidget *>{statusCaption, c.status, c.save, modeCaption, c.mode})
        top->addWidget(w);
    top->addStretch();

    c.tabs = new QTabWidget(this);
    c.tabs->setObjectName(QStringLiteral("PageControl1"));
    Body()->addWidget(c.tabs);
    c.tabs->addTab(BuildListTab(), QStringLiteral("VLAN List"));
    c.tabs->addTab(BuildPortTab(), QStringLiteral("Port List"));
    c.tabs->addTab(BuildEditTab(), QStringLiteral("Add/Edit VLAN"));
    c.tabs->addTab(BuildPvidTab(), QStringLiteral("PVID Setting"));

    c.apMode = AddHidden<QComboBox>("CB_APMode");
    c.applyTrigger = AddHidden<QComboBox>("CB_DeviceApplySetting");
    c.modeValue = AddHidden<QComboBox>("CB_VlanMode");
    c.portRefresh = AddHidden<QComboBox>("CB_PortListRefresh");
    c.deleteTrigger = AddHidden<QComboBox>("CB_VlanItemDel");
    c.index = AddHidden<QLabel>("LB_Index");
    for (int p = 0; p < vlan::kPorts; ++p)
        c.members[size_t(p)] = AddHidden<QComboBox>(qPrintable(QStringLiteral("CB_Member%1").arg(vlan::kPortTable[p].radio)));
    c.ssids = AddHidden<QTreeWidget>("LV_MultiSSID");
    c.portList = AddHidden<QTreeWidget>("LV_PortList");
    c.vlanList = AddHidden<QTreeWidget>("LV_VlanList");
    KxNameControls(this);
}

QWidget *TFM_VlanSetting::BuildListTab()
{
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    c.vlans = KxReportList(page, "LV_VlanListUser",
                           {QStringLiteral("VID"), QStringLiteral("VLAN Name "), QStringLiteral("Untag VLAN Ports "),
                            QStringLiteral("Tag VLAN Ports ")},
                           QStringLiteral("VLAN List"));
    v->addWidget(c.vlans);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    c.edit = button(page, QStringLiteral("Edit"), "Btn_VlanEdit");
    c.del = button(page, QStringLiteral("Delete"), "Btn_VlanDelete");
    buttons->addWidget(c.edit);
    buttons->addWidget(c.del);
    v->addLayout(buttons);
    return page;
}

QWidget *TFM_VlanSetting::BuildPortTab()
{
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    c.ports = KxReportList(page, "LV_PortListUser",
                           {QStringLiteral("Port Name "), QStringLiteral("Tag VID"), QStringLiteral("Untag VID "),
                            QStringLiteral("PVID ")},
                           QStringLiteral("Port List"));
    v->addWidget(c.ports);
    return page;
}

QWidget *TFM_VlanSetting::BuildEditTab()
{
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    v->addLayout(form);
    c.vid = new QLineEdit(page);
    c.vid->setObjectName(QStringLiteral("Ed_VlanID"));
    form->addRow(QStringLiteral(" VLAN ID (VID)"), c.vid);
    c.name = new QLineEdit(page);
    c.name->setObjectName(QStringLiteral("Ed_VlanName"));
    form->addRow(QStringLiteral("VLAN Name"), c.name);
    c.vid->setMaximumWidth(80);
    c.name->setMaximumWidth(240);

    auto *groups = new QHBoxLayout;
    v->addLayout(groups);
    for (const vlan::Group &g : vlan::kGroups) {
        auto *box = new QGroupBox(QLatin1String(g.title), page);
        groups->addWidget(box, 0, Qt::AlignTop);
        auto *grid = new QGridLayout(box);
        for (int k = 0; k < 3; ++k)
            grid->addWidget(new QLabel(QLatin1String(kChoiceCaptions[k]), box), 0, k + 1);
        for (int p = g.first; p < g.first + g.count; ++p) {
            const vlan::Port &port = vlan::kPortTable[p];
            const int line = p - g.first + 1;
            grid->addWidget(new QLabel(QLatin1String(port.name), box), line, 0);
            auto *exclusive = new QButtonGroup(box);
            for (int k = 0; k < 3; ++k) {
                auto *radio = new QRadioButton(box);
                radio->setObjectName(QStringLiteral("RB_%1%2").arg(port.radio, kChoiceNames[k]));
                radio->setAccessibleName(QStringLiteral("%1 %2").arg(port.name, kChoiceCaptions[k]));
                exclusive->addButton(radio, k);
                grid->addWidget(radio, line, k + 1, Qt::AlignCenter);
                c.choices[size_t(p)][size_t(k)] = radio;
            }
        }
        grid->addWidget(new QLabel(QStringLiteral("Select All"), box), g.count + 1, 0);
        for (int k = 0; k < 3; ++k) {
            QPushButton *all = button(box, QStringLiteral("All"), g.all[k]);
            all->setAccessibleName(QStringLiteral("All %1 %2").arg(g.title, kChoiceCaptions[k]));
            grid->addWidget(all, g.count + 1, k + 1);
            c.allButtons.push_back(all);
        }
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    c.add = button(page, QStringLiteral("Add"), "AddButton");
    c.apply = button(page, QStringLiteral("Apply"), "Btn_VlanApply");
    buttons->addWidget(c.add);
    buttons->addWidget(c.apply);
    v->addLayout(buttons);
    v->addStretch();
    return page;
}

QWidget *TFM_VlanSetting::BuildPvidTab()
{
    Controls &c = *m_c;
    auto *page = new QWidget(c.tabs);
    auto *v = new QVBoxLayout(page);
    auto *top = new QFormLayout;
    v->addLayout(top);
    c.pvidAuto = new QComboBox(page);
    c.pvidAuto->setObjectName(QStringLiteral("CB_PvidAutoStatus"));
    top->addRow(QStringLiteral(" PVID Auto Assign Status  "), c.pvidAuto);
    auto *grid = new QGridLayout;
    v->addLayout(grid);
    for (int p = 0; p < vlan::kPorts; ++p) {
        auto *edit = new QLineEdit(page);
        edit->setObjectName(QLatin1String(vlan::kPortTable[p].pvid));
        edit->setMaximumWidth(70);
        edit->setAccessibleName(QStringLiteral("PVID %1").arg(vlan::kPortTable[p].name));
        // Three columns, one per group, as on the Add/Edit tab.
        const int column = p < 2 ? 0 : p < 10 ? 2 : 4;
        const int line = p < 2 ? p : p < 10 ? p - 2 : p - 10;
        grid->addWidget(new QLabel(QStringLiteral("%1 PVID").arg(vlan::kPortTable[p].name), page), line, column);
        grid->addWidget(edit, line, column + 1);
        c.pvids[size_t(p)] = edit;
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    c.pvidApply = button(page, QStringLiteral("Apply"), "Btn_PvidApply");
    c.pvidApply->setAccessibleName(QStringLiteral("Apply PVID Setting"));
    buttons->addWidget(c.pvidApply);
    v->addLayout(buttons);
    v->addStretch();
    return page;
}

void TFM_VlanSetting::Connect()
{
    Controls &c = *m_c;
    connect(c.status, &QComboBox::activated, this, &TFM_VlanSetting::CB_VlanStatusChange);
    connect(c.pvidAuto, &QComboBox::activated, this, &TFM_VlanSetting::CB_PvidAutoStatusChange);
    connect(c.save, &QPushButton::clicked, this, &TFM_VlanSetting::Btn_SaveClick);
    connect(c.edit, &QPushButton::clicked, this, &TFM_VlanSetting::Btn_VlanEditClick);
    connect(c.del, &QPushButton::clicked, this, &TFM_VlanSetting::Btn_VlanDeleteClick);
    connect(c.add, &QPushButton::clicked, this, &TFM_VlanSetting::AddButtonClick);
    connect(c.apply, &QPushButton::clicked, this, &TFM_VlanSetting::Btn_VlanApplyClick);
    connect(c.pvidApply, &QPushButton::clicked, this, &TFM_VlanSetting::Btn_PvidApplyClick);
    connect(c.vlans, &QTreeWidget::itemSelectionChanged, this, &TFM_VlanSetting::LV_VlanListUserSelect);
    connect(c.tabs, &QTabWidget::currentChanged, this, &TFM_VlanSetting::TabChange);
    for (int g = 0; g < 3; ++g)
        for (int k = 0; k < 3; ++k)
            connect(c.allButtons[size_t(g * 3 + k)], &QPushButton::clicked, this, [this, g, k] {
                SetChoices(vlan::kGroups[g].first, vlan::kGroups[g].count, Choice(k));
            });
}
