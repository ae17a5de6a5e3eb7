// The three tabs of 'Advanced \ DHCP Server' and the controls that only carry values.
#include "KxServiceKit.h"

#include "KxAccessible.h"
#include "TFM_DHCPTabs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *field(QWidget *page, QFormLayout *form, const QString &caption, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(page);
    edit->setObjectName(QLatin1String(name));
    edit->setProperty("typingLimit", maxLength);
    form->addRow(caption, edit);
    return edit;
}

QComboBox *combo(QWidget *page, QFormLayout *form, const QString &caption, const char *name)
{
    auto *box = new QComboBox(page);
    box->setObjectName(QLatin1String(name));
    box->setMinimumWidth(120);
    form->addRow(caption, box);
    return box;
}

QFormLayout *group(QWidget *page, QVBoxLayout *into, const QString &title)
{
    auto *box = new QGroupBox(title, page);
    into->addWidget(box);
    return new QFormLayout(box);
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

} // namespace

void TFM_DHCP::BuildTabs()
{
    m_dyn = std::make_unique<Dynamic>();
    m_st = std::make_unique<Static>();
    m_cur = std::make_unique<Current>();
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    Body()->addWidget(m_tabs);
    m_tabs->addTab(BuildDynamicTab(), QStringLiteral(" Dynamic Pool Settings "));
    m_tabs->addTab(BuildStaticTab(), QStringLiteral("Static Pool Settings  "));
    m_tabs->addTab(BuildCurrentTab(), QStringLiteral(" Current IP Mapping List  "));
    m_apMode = AddHidden<QComboBox>("CB_APMode");
    m_apAddress = AddHidden<QLineEdit>("ED_IpAddr");
    m_dnStatus = AddHidden<QComboBox>("CB_DNStatus");
    // Each tab has its own status lines.
    StatusBar()->hide();
    KxNameControls(this);
}

QWidget *TFM_DHCP::BuildDynamicTab()
{
    auto *page = new QWidget(m_tabs);
    auto *v = new QVBoxLayout(page);
    Dynamic &d = *m_dyn;
    d.control = combo(page, group(page, v, QStringLiteral("DHCP Server Control")),
                      QStringLiteral("Function Enable/Disable"), "CB_Fuction1");
    QFormLayout *pool = group(page, v, QStringLiteral("Dynamic Pool Settings"));
    d.start = field(page, pool, QStringLiteral("IP Assigned From"), "Ed_IPAF", 15);
    d.range = field(page, pool, QStringLiteral("The Range of Pool (1-254)"), "Ed_PoolRan", 3);
    d.mask = field(page, pool, QStringLiteral("Subnet Mask"), "Ed_SubMask", 15);
    d.gateway = field(page, pool, QStringLiteral("Gateway"), "Ed_Gateway", 15);
    d.wins = field(page, pool, QStringLiteral("Wins"), "Ed_Wins", 15);
    d.dns = field(page, pool, QStringLiteral("DNS"), "Ed_DNS", 15);
    d.domain = field(page, pool, QStringLiteral("Domain Name"), "Ed_DomNa", 63);
    d.lease = field(page, pool, QStringLiteral("Lease Time (60 - 31536000 sec)"), "Ed_Lease", 8);
    QHBoxLayout *buttons = buttonRow(v);
    d.apply = button(page, buttons, QStringLiteral("Save"), "Bt_Apply");
    d.cancel = button(page, buttons, QStringLiteral("Cancel"), "Bt_Cancel");
    v->addStretch();
    d.status = KxTabStatus(page, "StatusBar1");
    v->addWidget(d.status);
    return page;
}

QWidget *TFM_DHCP::BuildStaticTab()
{
    auto *page = new QWidget(m_tabs);
    auto *v = new QVBoxLayout(page);
    Static &s = *m_st;
    s.control = combo(page, group(page, v, QStringLiteral("DHCP Server Control")),
                      QStringLiteral("Function Enable/Disable"), "CB_Fuction2");
    auto *box = new QGroupBox(QStringLiteral(" Static Pool Settings : "), page);
    v->addWidget(box);
    auto *columns = new QHBoxLayout(box);
    s.entries = KxReportList(page, "User_ListView", {QStringLiteral("MAC Address"), QStringLiteral("IP Address"),
                                                     QStringLiteral("Host Name")},
                             QStringLiteral("Static Pool Settings"));
    s.entries->setMinimumWidth(330);
    columns->addWidget(s.entries, 1);
    auto *form = new QFormLayout;
    columns->addLayout(form);
    s.hostName = field(page, form, QStringLiteral("Host Name"), "ED_StaticHostName", 0);
    s.address = field(page, form, QStringLiteral("Assigned IP"), "ED_StaticAssignIP", 15);
    s.mac = field(page, form, QStringLiteral("Assigned MAC Address"), "ED_StaticAssignMAC", 12);
    s.mask = field(page, form, QStringLiteral("Subnet Mask "), "ED_StaticSubMask", 15);
    s.gateway = field(page, form, QStringLiteral("Gateway "), "ED_StaticGateway", 15);
    s.wins = field(page, form, QStringLiteral("Wins "), "ED_StaticWins", 15);
    s.dns = field(page, form, QStringLiteral("DNS "), "ED_StaticDNS", 15);
    s.domain = field(page, form, QStringLiteral("Domain Name "), "ED_StaticDoname", 63);
    for (QLineEdit *edit : s.Fields())
        edit->setMinimumWidth(140); // room for a whole address beside the list
    QHBoxLayout *buttons = buttonRow(v);
    s.save = button(page, buttons, QStringLiteral("Save"), "Btn_Add");
    s.del = button(page, buttons, QStringLiteral("Del"), "Btn_Del");
    s.status = KxTabStatus(page, "StatusBar2");
    v->addWidget(s.status);
    s.table = AddHidden<QTreeWidget>("LV_StaticPoolSet");
    s.index = AddHidden<QLabel>("Lb_Index");
    s.state = AddHidden<QComboBox>("CB_StaticStatus");
    return page;
}

QWidget *TFM_DHCP::BuildCurrentTab()
{
    auto *page = new QWidget(m_tabs);
    auto *v = new QVBoxLayout(page);
    Current &c = *m_cur;
    auto section = [&](const QString &title, const char *name, const QStringList &columns, const char *refresh,
                       const char *status, QTreeWidget *&list, QPushButton *&button_, QStatusBar *&bar) {
        auto *box = new QGroupBox(title, page);
        v->addWidget(box);
        auto *inner = new QVBoxLayout(box);
        list = KxReportList(page, name, columns, title);
        inner->addWidget(list);
        button_ = button(page, buttonRow(inner), QStringLiteral("Refresh"), refresh);
        button_->setAccessibleName(QStringLiteral("Refresh ") + title);
        bar = KxTabStatus(page, status);
        inner->addWidget(bar);
    };
    section(QStringLiteral("Current DHCP Dynamic Pools"), "LV_DynPool",
            {QStringLiteral("Host Name"), QStringLiteral("Binding MAC Address"), QStringLiteral("Assigned IP Address"),
             QStringLiteral("Lease time ")},
            "Bt_RefreshDynamicPool", "StatusBar3", c.dynamicShown, c.refreshDynamic, c.dynamicStatus);
    section(QStringLiteral("Current DHCP Static Pools"), "LV_StaticPool",
            {QStringLiteral("Host Name"), QStringLiteral("Binding MAC Address "), QStringLiteral("Assigned IP Address ")},
            "Bt_RefreshStaticPool", "StatusBar4", c.staticShown, c.refreshStatic, c.staticStatus);
    c.dynamicRead = AddHidden<QTreeWidget>("LV_Dy");
    c.staticRead = AddHidden<QTreeWidget>("LV_Static");
    c.dynamicTrigger = AddHidden<QComboBox>("CoboxDynamic");
    c.staticTrigger = AddHidden<QComboBox>("CoboxStatic");
    return page;
}
