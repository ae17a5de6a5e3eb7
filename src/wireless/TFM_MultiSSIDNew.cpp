// 'Advanced \ Multi-SSID': the load, the SSID picked and how its security shows, the
// user list and the switch's rules.
#include "TFM_MultiSSIDNew.h"

#include "KxDeviceObjects.h"
#include "TFM_MultiSSIDNewObjects.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace MultiSsidObjects;
using namespace WirlessSecurity;

namespace {

// The radio mode's warning is still to be shown; shared by every window of this class.
bool g_apModeWarningPending = false;

const QString kEnabled = QStringLiteral("Enabled");

int columnOf(const QTreeWidget *list, const QString &name)
{
    const QTreeWidgetItem *header = list->headerItem();
    for (int c = 0; header && c < header->columnCount(); ++c)
        if (header->text(c) == name)
            return c;
    return -1;
}

QString nameOf(KxSNMPRequest2Edits *request, int variable)
{
    return request->VarList()[variable].Name;
}

} // namespace

// The cell of a table row by its variable, whatever columns the marks hide.
QString MultiSsidCell(KxSNMPRequest2Edits *request, int row, int variable)
{
    QTreeWidget *list = request->ListView();
    const int c = columnOf(list, nameOf(request, variable));
    QTreeWidgetItem *item = row >= 0 ? list->topLevelItem(row) : nullptr;
    return item && c >= 0 ? item->text(c) : QString();
}

void MultiSsidSetCell(KxSNMPRequest2Edits *request, int row, int variable, const QString &text)
{
    QTreeWidget *list = request->ListView();
    const int c = columnOf(list, nameOf(request, variable));
    if (QTreeWidgetItem *item = row >= 0 ? list->topLevelItem(row) : nullptr; item && c >= 0)
        item->setText(c, text);
}

TFM_MultiSSIDNewForm::TFM_MultiSSIDNewForm(QWidget *parent)
    : KxScreen(QStringLiteral("TFM_MultiSSIDNewForm"), QStringLiteral("Advanced \\ Multi-SSID"), parent),
      m_wait(this)
{
    BuildForm();
    Load();
}

TFM_MultiSSIDNewForm::~TFM_MultiSSIDNewForm()
{
    StopRequests();
}

void TFM_MultiSSIDNewForm::CreateRequests()
{
    m_applyRequest = MakeRequest(KxDevice::ApplyObjects(), KxItemType::Scalars, 0, false, 10000, false);
    m_applyRequest->BindControl(0, m_applySetting);
    m_apModeRequest = MakeRequest(KxDevice::ApModeObjects(), KxItemType::Instance, 0, false, 10000);
    m_apModeRequest->BindControl(0, m_apMode);
    m_bandRequest = MakeRequest(KxDevice::BandObjects(), KxItemType::Instance, 0, false, 10000, false);
    m_bandRequest->BindControl(0, m_band);
    m_switchRequest = MakeRequest(Switch(), KxItemType::Instance, 0, false, 10000);
    m_switchRequest->BindControl(0, m_enable);
    m_switchRequest->BindControl(1, m_priorityOn);

    m_tableRequest = MakeRequest(SsidTable(), KxItemType::Table2, 2, true, 50000, false);
    KxSNMPRequest2Edits *t = m_tableRequest;
    t->OnGetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { TableRead(e); };
    t->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) { TableWritten(e); };
    t->BindListView(m_ssidList, true);
    const QString text = QStringLiteral("%s");
    t->BindControl(IfIndex, m_ifIndex);
    t->BindControl(MssidIndex, m_ssidIndex);
    t->BindControl(IdvState, m_idvState);
    t->BindControl(Ssid, text, m_ssid);
    t->BindControl(Suppress, m_broadcast);
    t->BindControl(Authentication, m_authentication);
    t->BindControl(Encryption, m_encryption);
    t->BindControl(WepKeyIndex, m_defaultKey);
    t->BindControl(WepKey, text, m_key);
    t->BindControl(CipherType, m_clipher);
    t->BindControl(PassPhrase, text, m_passphrase);
    t->BindControl(KeyType, m_keyType);
    t->BindControl(Wmm, m_wmm);
    t->BindControl(GroupKeyInterval, text, m_updateInterval);
    t->BindControl(Priority, m_priority);

    m_radiusRequest = MakeRequest(RadiusTable(), KxItemType::Table2, 2, false, 10000, false);
    m_radiusRequest->BindListView(m_radiusList, true);
    m_radiusRequest->BindControl(RadiusServer, text, m_radiusServer);
    m_radiusRequest->BindControl(RadiusPort, text, m_radiusPort);
    m_radiusRequest->BindControl(RadiusSecret, text, m_radiusSecret);
    m_radiusRequest->BindControl(RadiusSource, m_radiusSer);
    m_radiusRequest->BindControl(RadiusKeyInterval, text, m_keyUpdate);
    m_accountRequest = MakeRequest(AccountingTable(), KxItemType::Table2, 2, false, 10000, false);
    m_accountRequest->BindListView(m_accountList, true);
    m_accountRequest->BindControl(AccountStatus, m_accountMode);
    m_accountRequest->BindControl(AccountServer, text, m_accountServer);
    m_accountRequest->BindControl(AccountPort, text, m_accountPort);
    m_accountRequest->BindControl(AccountSecret, text, m_accountSecret);
}

void TFM_MultiSSIDNewForm::Load()
{
    m_index->setCurrentIndex(0);
    if (!Guard([this] { CreateRequests(); }))
        return;
    Guard([this] { m_apModeRequest->GetIntoControls(); });
    Guard([this] { m_bandRequest->GetIntoControls(); });
    bool read = false;
    Guard([&] { read = m_switchRequest->GetIntoControls(); });
    IfEnabMuSSIDClick();
    if (read)
        g_apModeWarningPending = true;
    Guard([this] { m_tableRequest->GetIntoControls(); });
    EnableSsidControls(false);
    ReadServers();
    m_index->setEnabled(m_enable->isChecked());
    EnableSsidControls(false);
}

void TFM_MultiSSIDNewForm::ReadServers()
{
    Guard([this] { m_radiusRequest->GetIntoControls(); });
    Guard([this] { m_accountRequest->GetIntoControls(); });
}

void TFM_MultiSSIDNewForm::TableRead(const KxSNMPError &error)
{
    if (error.Code != 0) {
        ShowStatus(error.Text);
        return;
    }
    if (m_apMode->currentIndex() < 0)
        Guard([this] { m_apModeRequest->GetIntoControls(); });
    ShowStatus(QStringLiteral("Get OK!"));
    m_index->setCurrentIndex(0);
    CB_IndexChange();
    BuildUserList();
}

int TFM_MultiSSIDNewForm::SelectedRow() const
{
    const QVariant row = m_index->currentData();
    return row.isValid() ? row.toInt() : -1;
}

void TFM_MultiSSIDNewForm::SelectRow(QTreeWidget *list, int row)
{
    list->clearSelection();
    if (QTreeWidgetItem *item = row >= 0 ? list->topLevelItem(row) : nullptr)
        item->setSelected(true);
}

void TFM_MultiSSIDNewForm::CB_IndexChange()
{
    const int n = std::max(SelectedRow(), 0);
    // The key's limit follows its type, which arrives with the row: until then a
    // limit of the previous row would cut the key short.
    for (QLineEdit *e : {m_key, m_confirmKey})
        e->setMaxLength(32767);
    SelectRow(m_ssidList, n);
    ShowSecurity();
    KeySizeFromLength();
    m_confirmKey->setText(m_key->text());
    m_confirmPass->setText(m_passphrase->text());
    SetKeyLengths();
    SetInputLengths();
    EnableSsidControls(n != 0);
    IfEnabMuSSIDClick();
    SelectRow(m_radiusList, n);
    CopyBackupRadius(n);
    SelectRow(m_accountList, n);
    CopyBackupAccounting(n);
    ArrangeSections(n == 0);
    if (n == 0) {
        for (QWidget *c : std::initializer_list<QWidget *>{m_encryption, m_ssid, m_security, m_radiusSer})
            c->setEnabled(false);
        Cbox_MultiRadserChange();
    }
    Cbox_MultiRadserChange();
}

void TFM_MultiSSIDNewForm::CopyBackupRadius(int n)
{
    if (m_radiusList->topLevelItemCount() < 16 || n < 0 || n > 7)
        return;
    m_backServer->setText(MultiSsidCell(m_radiusRequest, n + 8, RadiusServer));
    m_backPort->setText(MultiSsidCell(m_radiusRequest, n + 8, RadiusPort));
    m_backSecret->setText(MultiSsidCell(m_radiusRequest, n + 8, RadiusSecret));
}

void TFM_MultiSSIDNewForm::CopyBackupAccounting(int n)
{
    if (m_accountList->topLevelItemCount() < 16 || n < 0 || n > 7)
        return;
    m_backAccountServer->setText(MultiSsidCell(m_accountRequest, n + 8, AccountServer));
    m_backAccountPort->setText(MultiSsidCell(m_accountRequest, n + 8, AccountPort));
    m_backAccountSecret->setText(MultiSsidCell(m_accountRequest, n + 8, AccountSecret));
}

void TFM_MultiSSIDNewForm::EnableSsidControls(bool enable)
{
    const std::initializer_list<QWidget *> controls = {
        m_ssid, m_broadcast, m_security, m_wmm, m_radiusSer, m_encryption, m_keyType, m_keySize, m_defaultKey,
        m_key, m_confirmKey, m_wpaMode, m_cipherType, m_updateInterval, m_passphrase, m_confirmPass};
    for (QWidget *c : controls)
        c->setEnabled(enable);
    if (enable) {
        m_index->setEnabled(true);
        Cbox_MultiRadserChange();
        return;
    }
    for (QWidget *c : std::initializer_list<QWidget *>{
             m_radiusServer, m_radiusPort, m_radiusSecret, m_backServer, m_backPort, m_backSecret, m_accountMode,
             m_accountServer, m_accountPort, m_accountSecret, m_backAccountServer, m_backAccountPort,
             m_backAccountSecret})
        c->setEnabled(false);
}

void TFM_MultiSSIDNewForm::Cbox_MultiRadserChange()
{
    const bool on = m_radiusSer->currentIndex() == 0 && m_index->currentIndex() != 0;
    for (QWidget *c : std::initializer_list<QWidget *>{m_radiusServer, m_radiusPort, m_radiusSecret, m_backServer,
                                                        m_backPort, m_backSecret, m_accountMode})
        c->setEnabled(on);
    if (on) {
        CB_AccountModeChange();
        return;
    }
    for (QWidget *c : std::initializer_list<QWidget *>{m_accountServer, m_accountPort, m_accountSecret,
                                                        m_backAccountServer, m_backAccountPort, m_backAccountSecret})
        c->setEnabled(false);
}

void TFM_MultiSSIDNewForm::CB_AccountModeChange()
{
    const bool on = m_accountMode->currentIndex() > 0 && m_accountMode->isEnabled();
    for (QWidget *c : std::initializer_list<QWidget *>{m_accountServer, m_accountPort, m_accountSecret,
                                                        m_backAccountServer, m_backAccountPort, m_backAccountSecret})
        c->setEnabled(on);
}

void TFM_MultiSSIDNewForm::Chk_MultiPriClick()
{
    m_priority->setEnabled(m_priorityOn->isChecked());
}

void TFM_MultiSSIDNewForm::CB_MssidEncryptionChange()
{
    const bool on = m_encryption->currentIndex() > 0;
    for (QWidget *c : std::initializer_list<QWidget *>{m_keySize, m_keyType, m_defaultKey, m_key, m_confirmKey})
        c->setEnabled(on);
}

void TFM_MultiSSIDNewForm::CB_SSIDSecurityModeChange()
{
    Cbox_MultiRadserChange();
    ArrangeSections(m_index->currentIndex() == 0);
}

void TFM_MultiSSIDNewForm::CB_SecurityModeChange()
{
    ArrangeSections(m_index->currentIndex() == 0);
}

void TFM_MultiSSIDNewForm::IfEnabMuSSIDClick()
{
    if (m_enable->isChecked()) {
        m_priorityOn->setEnabled(true);
        Chk_MultiPriClick();
        m_index->setEnabled(true);
        m_add->setEnabled(true);
        if (!m_inUserListClick)
            BuildUserList();
        if (g_apModeWarningPending) {
            g_apModeWarningPending = false;
            if (ApModeIsWdsOrClient())
                Dialogs().MessageBox(this,
                                     QStringLiteral("If you enable Multi-SSID, AP Mode will be set to 'Access Point'!"),
                                     QStringLiteral("Warning"));
        }
        m_userBox->setEnabled(true);
    } else {
        m_priorityOn->setChecked(false);
        for (QWidget *c : std::initializer_list<QWidget *>{m_priorityOn, m_priority, m_ssid, m_broadcast, m_wmm,
                                                            m_security, m_index, m_add})
            c->setEnabled(false);
        g_apModeWarningPending = true;
        m_index->setCurrentIndex(0);
        m_security->setCurrentIndex(0);
        for (QWidget *c : std::initializer_list<QWidget *>{m_keySize, m_keyType, m_defaultKey, m_key, m_confirmKey})
            c->setEnabled(false);
        m_userBox->setEnabled(false);
    }
    ArrangeSections(m_index->currentIndex() == 0);
}

bool TFM_MultiSSIDNewForm::ApModeIsWdsOrClient() const
{
    return m_apMode->currentIndex() == 2 || m_apMode->currentIndex() == 3;
}

Group TFM_MultiSSIDNewForm::SecurityGroup() const
{
    return m_apMode->currentIndex() == 1 ? Group::WdsApMssid : Group::ApMssid;
}

void TFM_MultiSSIDNewForm::ShowSecurity()
{
    m_security->clear();
    m_wpaMode->clear();
    if (m_apMode->currentIndex() < 0)
        return;
    const Group group = SecurityGroup();
    const Lists lists = ListsOf(group);
    m_security->addItems(lists.security);
    const bool wds = m_apMode->currentIndex() == 2;
    m_wpaMode->addItems(wds ? QStringList{QStringLiteral("WPA2 Only")} : lists.wpa);
    m_wpaMode->setEnabled(!wds);
    const int value = AuthenticationOptions().value(std::max(m_authentication->currentIndex(), 0)).toInt();
    // A shared key shows as the open system, whose key section it uses.
    Pair pair = m_authentication->currentIndex() < 0 ? Pair{} : ShowPairOfValue(group, value == 2 ? 1 : value);
    if (pair.wpa >= 0) {
        // The WPA item by its text: the lists shown may hold fewer items than the group's.
        const int shown = m_wpaMode->findText(lists.wpa.value(pair.wpa));
        if (shown < 0 && VariantOf(group, pair.security) != Variant::Keys)
            pair = {};
        else
            pair.wpa = shown;
    }
    m_security->setCurrentIndex(pair.security);
    // The WDS list's one item is always chosen: the user cannot pick another.
    m_wpaMode->setCurrentIndex(wds ? 0 : pair.wpa);
}

bool TFM_MultiSSIDNewForm::StoreSecurity()
{
    const Group group = SecurityGroup();
    const int wpa = ListsOf(group).wpa.indexOf(m_wpaMode->currentText());
    const int value = StoreValue(group, m_security->currentIndex(), wpa);
    const int item = value < 0 ? -1 : AuthenticationOptions().IndexOfValue(QString::number(value));
    if (item < 0)
        return false;
    m_authentication->setCurrentIndex(item);
    return true;
}

void TFM_MultiSSIDNewForm::StoreCipher()
{
    const int item = m_clipher->findText(m_cipherType->currentText(), Qt::MatchFixedString);
    if (item >= 0)
        m_clipher->setCurrentIndex(item);
}

void TFM_MultiSSIDNewForm::FillCipherList()
{
    m_cipherType->clear();
    m_cipherType->addItems({QStringLiteral("Auto"), QStringLiteral("AES")});
    if (m_apMode->currentIndex() != 1)
        m_cipherType->addItem(QStringLiteral("TKIP"));
    m_cipherType->setEnabled(m_index->currentIndex() != 0);
    m_cipherType->setCurrentIndex(std::max(m_cipherType->findText(m_clipher->currentText(), Qt::MatchFixedString), 0));
    CB_AccountModeChange();
}

void TFM_MultiSSIDNewForm::SetSection(QWidget *section, bool visible)
{
    section->setVisible(visible);
}

void TFM_MultiSSIDNewForm::ArrangeSections(bool primary)
{
    m_settingsBox->setVisible(true);
    m_userBox->setVisible(true);
    if (m_index->currentIndex() != 0) {
        m_encryption->setEnabled(true);
    } else {
        for (QWidget *c : std::initializer_list<QWidget *>{m_encryption, m_ssid, m_security, m_radiusSer})
            c->setEnabled(false);
        Cbox_MultiRadserChange();
    }
    const int item = m_security->currentIndex();
    SetSection(m_keyBox, item <= 0);
    SetSection(m_passBox, item >= 1);
    if (item >= 1) {
        m_passBox->setTitle(item == 1 ? QStringLiteral("PassPhrase Settings")
                                      : QStringLiteral("RADIUS Server Settings"));
        SetSection(m_radiusGroup, item >= 2);
        SetSection(m_wpaRow, item <= 2);
        SetSection(m_cipherRow, item <= 2);
        SetSection(m_passRow, item == 1);
        SetSection(m_confirmPassRow, item == 1);
        SetSection(m_updateInterval, item <= 2);
        SetSection(m_keyUpdate, item == 3);
        m_intervalLabel->setText(item == 3 ? QStringLiteral("Key Update Interval")
                                           : QStringLiteral("Group Key Update Interval"));
        m_intervalLabel->setBuddy(item == 3 ? m_keyUpdate : m_updateInterval);
        m_intervalLabel->setAccessibleName(m_intervalLabel->text());
        if (item <= 2)
            FillCipherList();
    }
    if (!m_keyBox->isHidden() && !primary)
        CB_MssidEncryptionChange();
    adjustSize();
}

QString TFM_MultiSSIDNewForm::EncryptionText(const QString &authentication, bool encrypted)
{
    static const std::pair<const char *, const char *> names[] = {
        {"wpa-psk", "WPA-Personal"},         {"wpa-eap", "WPA-Enterprise"},
        {"wpa2-psk", "WPA2-Personal"},       {"wpa2-eap", "WPA2-Enterprise"},
        {"wpa-auto-psk", "WPA-Auto-Personal"}, {"wpa-auto-eap", "WPA-Auto-Enterprise"},
        {"dot1x", "802.1x"}};
    if (authentication == QLatin1String("opensystem"))
        return encrypted ? QStringLiteral("OpenSystem") : QStringLiteral("None");
    for (const auto &[value, text] : names)
        if (authentication == QLatin1String(value))
            return QLatin1String(text);
    return {};
}

void TFM_MultiSSIDNewForm::BuildUserList()
{
    // The row highlighted stays highlighted: it is the one Delete acts on.
    QTreeWidgetItem *current = m_userList->currentItem();
    const int highlighted = current && current->isSelected() ? current->data(0, Qt::UserRole).toInt() : -1;
    m_userList->clear();
    QString previous;
    for (int r = 0; r < m_ssidList->topLevelItemCount(); ++r) {
        if (MultiSsidCell(m_tableRequest, r, IdvState) != kEnabled)
            continue;
        const QString index = MultiSsidCell(m_tableRequest, r, MssidIndex);
        const QString caption = r == 0 ? QStringLiteral("Primary SSID")
                                       : QStringLiteral("Multi-SSID%1").arg(index.toInt() - 1);
        const QString encryption = MultiSsidCell(m_tableRequest, r, Encryption);
        QString text = previous;
        if (encryption == kEnabled || encryption == QLatin1String("Disabled"))
            text = EncryptionText(MultiSsidCell(m_tableRequest, r, Authentication), encryption == kEnabled);
        auto *item = new QTreeWidgetItem(
            QStringList{caption, MultiSsidCell(m_tableRequest, r, Ssid), m_band->currentText(), text});
        // The row goes with the item, whatever its caption reads.
        item->setData(0, Qt::UserRole, r);
        m_userList->addTopLevelItem(item);
        if (r == highlighted)
            m_userList->setCurrentItem(item);
        previous = text;
    }
    QTreeWidgetItem *kept = m_userList->currentItem();
    m_delete->setEnabled(kept && kept->isSelected() && kept->data(0, Qt::UserRole).toInt() > 0);
}

void TFM_MultiSSIDNewForm::LV_MultiSSID_UserClick()
{
    m_inUserListClick = true;
    QTreeWidgetItem *item = m_userList->currentItem();
    if (!item || !item->isSelected()) {
        m_delete->setEnabled(false);
    } else {
        const int row = item->data(0, Qt::UserRole).toInt();
        if (row == 0) {
            m_index->setCurrentIndex(0);
            m_delete->setEnabled(false);
            ArrangeSections(true);
            CB_IndexChange();
        } else {
            m_index->setCurrentIndex(m_index->findData(row));
            m_delete->setEnabled(true);
            CB_IndexChange();
            ArrangeSections(false);
            CB_AccountModeChange();
        }
    }
    m_inUserListClick = false;
    Cbox_MultiRadserChange();
}

void TFM_MultiSSIDNewForm::SetKeyLengths()
{
    const int type = m_keyType->currentIndex(), size = m_keySize->currentIndex();
    if (type < 0 || size < 0)
        return;
    const int length = type == 1 ? (size == 1 ? 26 : 10) : (size == 1 ? 13 : 5);
    m_key->setMaxLength(length);
    m_confirmKey->setMaxLength(length);
}

void TFM_MultiSSIDNewForm::KeySizeFromLength()
{
    const int wide = m_keyType->currentIndex() == 1 ? 26 : 13;
    m_keySize->setCurrentIndex(m_key->text().size() == wide ? 1 : 0);
}

void TFM_MultiSSIDNewForm::SetInputLengths()
{
    m_ssid->setMaxLength(32);
    m_updateInterval->setMaxLength(7);
    m_passphrase->setMaxLength(63);
    m_confirmPass->setMaxLength(63);
    for (QLineEdit *e : {m_radiusServer, m_backServer})
        e->setMaxLength(15);
    for (QLineEdit *e : {m_radiusPort, m_backPort})
        e->setMaxLength(5);
    for (QLineEdit *e : {m_radiusSecret, m_backSecret})
        e->setMaxLength(64);
    if (m_accountMode->currentIndex() != 1)
        return;
    for (QLineEdit *e : {m_accountServer, m_backAccountServer})
        e->setMaxLength(15);
    for (QLineEdit *e : {m_accountPort, m_backAccountPort})
        e->setMaxLength(5);
    for (QLineEdit *e : {m_accountSecret, m_backAccountSecret})
        e->setMaxLength(64);
}
