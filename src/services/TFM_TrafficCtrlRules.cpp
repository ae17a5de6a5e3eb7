// The traffic manager: its settings, and the per-client rules the device adds and deletes
// by name through the rule objects. A change is a delete of the rule as the device
// listed it, then an add, and the add is only sent once every check has passed and the
// delete was accepted.
#include "TFM_TrafficCtrlParts.h"

#include "KxAddress.h"
#include "KxRuleEdit.h"

#include <QSignalBlocker>

#include <algorithm>

namespace {

enum RuleVariable { Name, Ip, Mac, Down, Up, Action };
constexpr int kManagerEnable = 1;

QString Or(const QString &text, const QString &empty)
{
    return text.isEmpty() ? empty : text;
}

bool Numeric(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool IsMac(const QString &text)
{
    return text.size() == 12 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
           });
}

bool Refuse(QWidget *parent, QLineEdit *field, const QString &text, const QString &title, bool empty)
{
    Dialogs().MessageBox(parent, text, title);
    if (empty)
        field->clear();
    field->setFocus();
    return false;
}

} // namespace

void TFM_TrafficCtrl::ManagerRule()
{
    Controls &c = *m_c;
    bool shown = c.manager->currentIndex() == kManagerEnable;
    if (shown && c.managerDown->text().isEmpty() && c.managerUp->text().isEmpty()) {
        Dialogs().MessageBox(this,
                             QStringLiteral("Traffic Manager can't enable if uplink and downlink bandwidth are empty "
                                            "in uplink/downlink/setting!"),
                             QStringLiteral("Warning"));
        shown = false;
    }
    c.addGroup->setVisible(shown);
    c.rulesGroup->setVisible(shown);
}

void TFM_TrafficCtrl::Bt_TrafficApplyClick()
{
    Controls &c = *m_c;
    bool ok = true;
    if (!c.managerDown->text().isEmpty() && !c.managerUp->text().isEmpty())
        ok = Write(m_managerBandwidth);
    ok = Write(m_manager) && ok;
    c.managerStatus->showMessage(ok ? QStringLiteral("Save OK!") : QStringLiteral("Save Fail!"));
}

TFM_TrafficCtrl::RuleValues TFM_TrafficCtrl::Fields() const
{
    const Controls &c = *m_c;
    return {c.name->text().trimmed(), c.ip->text().trimmed(), c.mac->text().trimmed().toUpper(),
            c.downSpeed->text().trimmed(), c.upSpeed->text().trimmed()};
}

void TFM_TrafficCtrl::ShowFields(const RuleValues &rule)
{
    Controls &c = *m_c;
    c.name->setText(rule.name);
    c.ip->setText(rule.ip);
    c.mac->setText(rule.mac);
    c.downSpeed->setText(rule.down);
    c.upSpeed->setText(rule.up);
}

bool TFM_TrafficCtrl::SpeedValid(QLineEdit *speed, QLineEdit *bandwidth)
{
    const QString text = speed->text().trimmed();
    if (text.isEmpty())
        return true;
    if (!Numeric(text))
        return Refuse(this, speed, QStringLiteral("Invaild value for the rate !"), QStringLiteral("Warning"), true);
    const int value = text.toInt();
    if (value == 0 || value > bandwidth->text().toInt())
        return Refuse(this, speed,
                      QStringLiteral("The bandwidth for the traffic manager rules should not less than 1 kbit/sec, "
                                     "or greater than traffic manager bandwidth!"),
                      QStringLiteral("Warning"), false);
    return true;
}

bool TFM_TrafficCtrl::RuleValid(const RuleValues &rule, bool replacing)
{
    Controls &c = *m_c;
    if (!rule.ip.isEmpty() && !IsValidIpAddress(rule.ip))
        return Refuse(this, c.ip, QStringLiteral("Invalid ip address!."), QStringLiteral("Warning"), true);
    // Any MAC given is checked, with or without an IP beside it.
    if (!rule.mac.isEmpty() && !IsMac(rule.mac))
        return Refuse(this, c.mac, QStringLiteral("Invalid MAC address!"), QStringLiteral("Error"), true);
    if (rule.ip.isEmpty() && rule.mac.isEmpty())
        return Refuse(this, c.ip, QStringLiteral("Please input IP address or MAC address!"), QStringLiteral("Warning"),
                      false);
    if (!SpeedValid(c.downSpeed, c.managerDown) || !SpeedValid(c.upSpeed, c.managerUp))
        return false;
    if (rule.down.isEmpty() && rule.up.isEmpty())
        return Refuse(this, c.downSpeed, QStringLiteral("Please input Ethernet to wireless Speed or wireless to Ethernet!"),
                      QStringLiteral("Warning"), false);
    // The device lists only named rules and tells them apart by name.
    if (rule.name.isEmpty())
        return Refuse(this, c.name, QStringLiteral("The Name field can not be blank."), QStringLiteral("Warning"), false);
    for (int e = 0; e < m_rules->Rows().Count(); ++e) {
        const QString listed = m_rules->Cell(m_rules->Entry(e), Name + 1);
        if (listed == rule.name && !(replacing && m_selected && listed == m_selected->name))
            return Refuse(this, c.name, QStringLiteral("The name has exist, please input username again!"),
                          QStringLiteral("Waring"), false);
    }
    return true;
}

bool TFM_TrafficCtrl::WriteRule(const RuleValues &rule, bool add, bool synchronous)
{
    // Every value is sent, an empty one as the device's "none": a field left out would
    // keep whatever the previous rule put there.
    const QStringList values = {rule.name,
                                Or(rule.ip, QStringLiteral("0.0.0.0")),
                                Or(rule.mac, QStringLiteral("000000000000")),
                                Or(rule.down, QStringLiteral("0")),
                                Or(rule.up, QStringLiteral("0")),
                                add ? QStringLiteral("1") : QStringLiteral("0")};
    m_rule->Asynchronous = !synchronous;
    bool ok = false;
    Guard([&] { ok = m_rule->SetFromControls(false, false, QStringLiteral("0,1,2,3,4,5"), &values); });
    m_rule->Asynchronous = true;
    return ok;
}

void TFM_TrafficCtrl::Bt_TrafficAddClick()
{
    Controls &c = *m_c;
    const RuleValues rule = Fields();
    if (!m_selected) {
        if (!RuleValid(rule, false))
            return;
        const bool issued = WriteRule(rule, true, false);
        c.managerStatus->showMessage(issued ? QStringLiteral("Add OK!") : QStringLiteral("Add Fail!"));
        Bt_TrafficClearClick();
        return;
    }
    const RuleValues old = *m_selected;
    const bool added = KxDeleteThenAdd({
        [&] { return RuleValid(rule, true); },
        [&] {
            if (!WriteRule(old, false, true))
                return false;
            m_listStale = true;
            m_selected.reset();
            return true;
        },
        [&] { return WriteRule(rule, true, false); },
    });
    if (m_listStale || added) {
        c.managerStatus->showMessage(added ? QStringLiteral("Add OK!") : QStringLiteral("Add Fail!"));
        Bt_TrafficClearClick();
    }
    if (m_listStale && !added) {
        m_listStale = false;
        Guard([this] { m_ruleList->GetIntoControls(); });
    }
}

void TFM_TrafficCtrl::Bt_TrafficDelClick()
{
    Controls &c = *m_c;
    if (m_selected && Dialogs().Confirm(this, QStringLiteral("Are you sure that you want to delete this entry?"),
                                        QStringLiteral("Warning"))) {
        // The rule as the device listed it, whatever the fields were changed to.
        WriteRule(*m_selected, false, false);
        c.managerStatus->showMessage(QStringLiteral("Delete OK!"));
    }
    Bt_TrafficClearClick();
}

void TFM_TrafficCtrl::Bt_TrafficClearClick()
{
    ShowFields({});
}

void TFM_TrafficCtrl::LV_TrafficManRuleUserSelect()
{
    Controls &c = *m_c;
    const QList<QTreeWidgetItem *> picked = c.rules->selectedItems();
    if (picked.isEmpty()) {
        m_selected.reset();
        return;
    }
    const QTreeWidgetItem *row = m_rules->Entry(c.rules->indexOfTopLevelItem(picked.first()));
    if (!row)
        return;
    auto cell = [&](int variable, const QString &none) {
        const QString text = m_rules->Cell(row, variable + 1);
        return text == none ? QString() : text;
    };
    // The device's "none" values show as empty fields, as they were typed.
    m_selected = RuleValues{cell(Name, QString()), cell(Ip, QStringLiteral("0.0.0.0")),
                            cell(Mac, QStringLiteral("000000000000")), cell(Down, QStringLiteral("0")),
                            cell(Up, QStringLiteral("0"))};
    ShowFields(*m_selected);
}

void TFM_TrafficCtrl::RuleWritten(const KxSNMPError &error)
{
    const bool stale = m_listStale;
    m_listStale = false;
    if (error.Code == 0 || stale)
        Guard([this] { m_ruleList->GetIntoControls(); });
}

void TFM_TrafficCtrl::RuleListRead(const KxSNMPError &error)
{
    Controls &c = *m_c;
    if (error.Code != 0)
        return;
    m_rules->Rebuild();
    const QSignalBlocker quiet(c.rules);
    c.rules->clear();
    m_selected.reset();
    for (int e = 0; e < m_rules->Rows().Count(); ++e) {
        const QTreeWidgetItem *row = m_rules->Entry(e);
        QStringList cells;
        for (int v = Name; v <= Up; ++v)
            cells << m_rules->Cell(row, v + 1);
        c.rules->addTopLevelItem(new QTreeWidgetItem(cells));
    }
}
