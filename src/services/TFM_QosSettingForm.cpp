// The layout of 'Advanced \ Qos Setting' and the controls that only carry values.
#include "KxAccessible.h"
#include "KxServiceKit.h"
#include "TFM_QosSettingParts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QLineEdit *edit(QWidget *parent, const char *name, const QString &accessible)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setAccessibleName(accessible);
    return e;
}

// "from --- to" in one row of the form.
void range(QWidget *parent, QFormLayout *form, const QString &caption, QLineEdit *&from, QLineEdit *&to,
           const char *fromName, const char *toName)
{
    from = edit(parent, fromName, caption.trimmed() + QStringLiteral(" start"));
    to = edit(parent, toName, caption.trimmed() + QStringLiteral(" end"));
    auto *row = new QHBoxLayout;
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("---"), parent));
    row->addWidget(to);
    form->addRow(caption, row);
}

QPushButton *button(QWidget *parent, QHBoxLayout *row, const QString &caption, const char *name)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

} // namespace

void TFM_QosSetting::BuildForm()
{
    m_c = std::make_unique<Controls>();
    Controls &c = *m_c;
    QFormLayout *qos = AddGroup(QStringLiteral("Qos"));
    c.enableQos = new QComboBox(this);
    c.enableQos->setObjectName(QStringLiteral("CB_EnableQos"));
    qos->addRow(QStringLiteral("Enable Qos(Quality of Service)"), c.enableQos);

    QFormLayout *classifiers = AddGroup(QStringLiteral("Priority Classifiers"));
    c.http = new QCheckBox(QStringLiteral("HTTP"), this);
    c.http->setObjectName(QStringLiteral("CheckBox_Http"));
    classifiers->addRow(c.http);
    c.automatic = new QCheckBox(QStringLiteral("Automatic "), this);
    c.automatic->setObjectName(QStringLiteral("CheckBox_Automatic"));
    auto *automaticRow = new QHBoxLayout;
    automaticRow->addWidget(c.automatic);
    automaticRow->addWidget(new QLabel(QStringLiteral("(default if not matched by anything else) "), this));
    automaticRow->addStretch();
    classifiers->addRow(automaticRow);

    auto *ruleGroup = new QGroupBox(QStringLiteral("Add QoS Rule"), this);
    Body()->addWidget(ruleGroup);
    auto *form = new QFormLayout(ruleGroup);
    c.name = edit(ruleGroup, "Ed_QosName", QString());
    form->addRow(QStringLiteral("Name"), c.name);
    c.priority = new QComboBox(ruleGroup);
    c.priority->setObjectName(QStringLiteral("CB_Priority"));
    form->addRow(QStringLiteral("Priority "), c.priority);
    c.protocol = new QComboBox(ruleGroup);
    c.protocol->setObjectName(QStringLiteral("CB_Protocol"));
    c.protocol->setAccessibleName(QStringLiteral("Protocol"));
    c.protocolNumber = edit(ruleGroup, "Ed_ProtocolName", QStringLiteral("Protocol number"));
    auto *protocolRow = new QHBoxLayout;
    protocolRow->addWidget(c.protocol);
    protocolRow->addWidget(c.protocolNumber);
    form->addRow(QStringLiteral("Protocol"), protocolRow);
    range(ruleGroup, form, QStringLiteral("Host 1 IP Range "), c.ipFrom1, c.ipTo1, "Ed_IpFrom1", "Ed_IpTo1");
    range(ruleGroup, form, QStringLiteral("Host 1 Port Range"), c.portFrom1, c.portTo1, "Ed_PortFrom1", "Ed_PortTo1");
    range(ruleGroup, form, QStringLiteral("Host 2 IP Range"), c.ipFrom2, c.ipTo2, "Ed_IpFrom2", "Ed_IpTo2");
    range(ruleGroup, form, QStringLiteral("Host 2 Port Range"), c.portFrom2, c.portTo2, "Ed_PortFrom2", "Ed_PortTo2");
    auto *ruleButtons = new QHBoxLayout;
    ruleButtons->addStretch();
    form->addRow(ruleButtons);
    c.add = button(ruleGroup, ruleButtons, QStringLiteral("Add"), "Btn_Add");
    c.clear = button(ruleGroup, ruleButtons, QStringLiteral("Clear"), "Btn_Clear");
    c.del = button(ruleGroup, ruleButtons, QStringLiteral("Delete"), "Btn_Del");

    auto *listGroup = new QGroupBox(QStringLiteral("Qos Rules"), this);
    Body()->addWidget(listGroup);
    auto *listBox = new QVBoxLayout(listGroup);
    c.rules = KxReportList(listGroup, "LV_QosRulesUser",
                           {QStringLiteral("Name "), QStringLiteral("Priority"), QStringLiteral("Host 1 IP Range"),
                            QStringLiteral("Host 2 IP Range "), QStringLiteral("Protocol / Ports ")},
                           QStringLiteral("Qos Rules"));
    listBox->addWidget(c.rules);
    c.apply = AddButton(QStringLiteral("Apply"), "Btn_Apply");

    c.ruleTable = AddHidden<QTreeWidget>("LV_QosRules");
    c.index = AddHidden<QLabel>("LB_Index");
    c.state = AddHidden<QComboBox>("CB_QosRulesState");
    c.ipRange1 = AddHidden<QLineEdit>("Ed_HostOneIpRange");
    c.portRange1 = AddHidden<QLineEdit>("Ed_HostOnePortRange");
    c.ipRange2 = AddHidden<QLineEdit>("Ed_HostTowIpRange");
    c.portRange2 = AddHidden<QLineEdit>("Ed_HostTowPortRange");
    c.deleteIndex = AddHidden<QLineEdit>("Ed_QosRuleDel");
    setMinimumWidth(760); // room for every column of the rule list
    KxNameControls(this);
}

void TFM_QosSetting::Connect()
{
    Controls &c = *m_c;
    connect(c.add, &QPushButton::clicked, this, &TFM_QosSetting::Btn_AddClick);
    connect(c.clear, &QPushButton::clicked, this, &TFM_QosSetting::Btn_ClearClick);
    connect(c.del, &QPushButton::clicked, this, &TFM_QosSetting::Btn_DelClick);
    connect(c.apply, &QPushButton::clicked, this, &TFM_QosSetting::Btn_ApplyClick);
    connect(c.rules, &QTreeWidget::itemSelectionChanged, this, &TFM_QosSetting::LV_QosRulesUserSelect);
    connect(c.enableQos, &QComboBox::activated, this, &TFM_QosSetting::CB_EnableQosChange);
    connect(c.protocol, &QComboBox::activated, this, &TFM_QosSetting::CB_ProtocolChange);
}
