// The static tab of 'Advanced \ DHCP Server': the device's table of reserved addresses,
// whose free rows (address 0.0.0.0) may lie anywhere between the entries.
#include "TFM_DHCPTabs.h"

#include "KxAddress.h"
#include "KxServiceKit.h"

#include <QSignalBlocker>

namespace {
constexpr int kDisable = 0;
constexpr int kEnable = 1;
} // namespace

void TFM_DHCP::SetStaticEntryEnabled(bool enabled)
{
    for (QLineEdit *edit : m_st->Fields())
        edit->setEnabled(enabled);
}

void TFM_DHCP::SetStaticListsEnabled(bool enabled)
{
    for (QTreeWidget *list : {m_st->entries, m_st->table}) {
        list->setEnabled(enabled);
        QPalette colours = list->palette();
        colours.setColor(QPalette::Base, palette().color(enabled ? QPalette::Base : QPalette::Button));
        list->setPalette(colours);
    }
}

void TFM_DHCP::MakeFreeRowCurrent()
{
    Static &s = *m_st;
    if (!m_table->MakeFreeCurrent())
        s.hostName->clear();
    s.address->clear();
    s.mac->clear();
    // A new entry starts from the pool's settings.
    s.mask->setText(m_dyn->mask->text());
    s.dns->setText(m_dyn->dns->text());
    s.gateway->setText(m_dyn->gateway->text());
    s.wins->setText(m_dyn->wins->text());
    s.domain->setText(m_dyn->domain->text());
}

void TFM_DHCP::StaticRead(const KxSNMPError &error)
{
    m_pending = false; // a failed read ends it as well
    if (error.Code != 0) {
        m_dyn->status->showMessage(error.Text);
        return;
    }
    Static &s = *m_st;
    m_table->Rebuild();
    m_editing = false;
    m_dyn->cancel->setEnabled(true);
    s.control->setCurrentIndex(m_dyn->control->currentIndex());
    m_dyn->apply->setEnabled(true);
    s.save->setEnabled(true);
    ApplyRules();
    {
        const QSignalBlocker quiet(s.entries);
        s.entries->clear();
        for (int i = 0; i < m_table->Rows().Count(); ++i) {
            const QTreeWidgetItem *row = m_table->Entry(i);
            s.entries->addTopLevelItem(new QTreeWidgetItem(
                {m_table->Cell(row, dhcp::Mac), m_table->Cell(row, dhcp::Address), m_table->Cell(row, dhcp::HostName)}));
        }
    }
    MakeFreeRowCurrent();
    s.del->setEnabled(false);
    s.status->showMessage(QStringLiteral("Get OK!"));
}

void TFM_DHCP::User_ListViewSelect()
{
    Static &s = *m_st;
    QTreeWidgetItem *item = s.entries->selectedItems().value(0);
    if (!m_table)
        return;
    s.save->setEnabled(true);
    s.del->setEnabled(item != nullptr);
    m_editing = item != nullptr;
    if (!item) {
        // Nothing picked: a Save adds, so it must not reach the entry picked before.
        MakeFreeRowCurrent();
        return;
    }
    m_table->MakeCurrent(m_table->Rows().KeyOf(s.entries->indexOfTopLevelItem(item)));
}

bool TFM_DHCP::StaticInputValid()
{
    Static &s = *m_st;
    using dhcp::Refuse;
    const QString address = s.address->text();
    const QString invalid = QStringLiteral("Please input valid IP address");
    if (address.isEmpty())
        return Refuse(this, s.address, invalid, QStringLiteral("Warning"));
    if (!IsValidIpAddress(address))
        return Refuse(this, s.address, invalid, QStringLiteral("Waring"));
    if (KxIpv4(address) == KxIpv4(m_apAddress->text()))
        return Refuse(this, s.address, invalid + QLatin1Char('.'), QStringLiteral("Waring"));
    const QString mac = s.mac->text();
    if (mac.size() != 12 || mac == QLatin1String("000000000000"))
        return Refuse(this, s.mac, QStringLiteral("Please input valid MAC address."), QStringLiteral("Waring"));
    if (!dhcp::MaskValid(this, s.mask))
        return false;
    if (s.hostName->text().isEmpty())
        return Refuse(this, s.hostName, QStringLiteral("Invalid Computer Name!"), QStringLiteral("Warning"));
    // The entry hands these out to its computer as the pool does: the same checks.
    return dhcp::ServersValid(this, s.gateway, s.wins, s.dns);
}

void TFM_DHCP::Btn_AddClick()
{
    Static &s = *m_st;
    if (!m_table || !m_staticControlRequest)
        return;
    m_editing = false;
    if (s.control->currentIndex() == kDisable) {
        const bool ok = Write(m_staticControlRequest, s.status);
        s.status->showMessage(ok ? QStringLiteral("Setting Success!") : QStringLiteral("Setting Error!"));
        CB_Fuction1Change();
        return;
    }
    if (s.control->currentIndex() != kEnable)
        return;
    if (m_table->Current().isEmpty()) {
        Dialogs().MessageBox(this, QStringLiteral("The static pool table is full!"), QStringLiteral("Warning"));
        return;
    }
    if (!StaticInputValid())
        return;
    s.del->setEnabled(false);
    s.save->setEnabled(false);
    SetStaticEntryEnabled(false);
    s.state->setCurrentIndex(kEnable);
    try {
        m_staticRequest->SetFromControls(true, true);
    } catch (const KxException &e) {
        s.status->showMessage(e.Text());
        s.save->setEnabled(true);
        ApplyRules();
    }
}

void TFM_DHCP::StaticWritten(const KxSNMPError &error)
{
    Static &s = *m_st;
    m_dyn->status->showMessage(error.Text);
    s.status->showMessage(m_dyn->status->currentMessage());
    if (error.Code != 0) {
        // The refused entry stays on screen, to be corrected and saved again.
        s.save->setEnabled(true);
        ApplyRules();
        return;
    }
    s.status->showMessage(QStringLiteral("Setting Success!"));
    m_pending = true; // the layer reads the table again next
}

void TFM_DHCP::Btn_DelClick()
{
    Static &s = *m_st;
    if (!m_staticRequest || m_staticRequest->Busy || !m_editing)
        return;
    bool number = false;
    const int index = s.index->text().toInt(&number);
    if (!s.entries->selectedItems().isEmpty() && number && index > 0
        && Dialogs().Confirm(this, QStringLiteral("Are you sure that you want to delete this entry?"),
                             QStringLiteral("Warning"))
        && Write(m_deleteRequest, s.status)) {
        try {
            m_staticRequest->GetIntoControls();
        } catch (const KxException &e) {
            s.status->showMessage(e.Text());
        }
        s.status->showMessage(QStringLiteral("Delete OK!"));
    }
    SetStaticListsEnabled(true);
}
