// The security section of 'Home \ Wireless': the device's authentication value shown
// as a security mode and a WPA mode, the WEP key rows, the passphrase and the RADIUS and
// accounting servers.
#include "TFM_Wirless.h"

#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace WirlessObjects;
using namespace WirlessSecurity;

namespace {

const QString kEnterprise = QStringLiteral("WPA-Enterprise");

// The most characters a WEP key of this entry method and size has.
int keyLimit(int type, int size)
{
    return type == 1 ? (size == 1 ? 26 : 10) : (size == 1 ? 13 : 5);
}

// The size a stored key's length stands for; the device keeps no size of its own.
int sizeOfLength(int type, int length)
{
    return length == (type == 1 ? 26 : 13) ? 1 : 0;
}

} // namespace

void TFM_Wirless::CreateSecurityRequests()
{
    m_auth = MakeRequest(Auth(), KxItemType::Instance, 0, false, 5000);
    m_auth->BindControl(Authentication, m_authentication);
    m_auth->BindControl(KeyIndex, m_defaultKey);
    m_auth->BindControl(Encryption, m_encryption);
    for (int i = 0; i < 4; ++i) {
        KxSNMPRequest2Edits *&row = m_wepKey[size_t(i)];
        row = MakeRequest(WepKey(i + 1), KxItemType::Instance, 0, false, 1000, false);
        row->BindControl(0, m_keyType[size_t(i)]);
        row->BindControl(1, QStringLiteral("%s"), m_key[size_t(i)]);
    }
    m_passphraseRequest = MakeRequest(Passphrase(), KxItemType::Instance, 0, false, 1000);
    m_passphraseRequest->BindControl(PassPhrase, QStringLiteral("%s"), m_passphrase);
    m_passphraseRequest->BindControl(CipherType, m_clipher);
    m_passphraseRequest->BindControl(GroupKeyInterval, QStringLiteral("%s"), m_updateInterval);
    m_radiusRequest = MakeRequest(Radius(), KxItemType::Instance, 0, false, 1000);
    const QString text = QStringLiteral("%s"), port = QStringLiteral("%u{n1x65535}");
    const std::pair<int, std::pair<QString, QLineEdit *>> edits[] = {
        {RadiusServer, {text, m_radiusServer}},        {RadiusPort, {port, m_radiusPort}},
        {RadiusSecret, {text, m_radiusSecret}},        {BackRadiusServer, {text, m_backServer}},
        {BackRadiusPort, {port, m_backPort}},          {BackRadiusSecret, {text, m_backSecret}},
        {AccountServer, {text, m_accountServer}},      {AccountPort, {text, m_accountPort}},
        {AccountSecret, {text, m_accountSecret}},      {BackAccountServer, {text, m_backAccountServer}},
        {BackAccountPort, {text, m_backAccountPort}},  {BackAccountSecret, {text, m_backAccountSecret}},
        {RadiusKeyInterval, {text, m_update2}},
    };
    for (const auto &[variable, binding] : edits)
        m_radiusRequest->BindControl(variable, binding.first, binding.second);
    m_radiusRequest->BindControl(AccountStatus, m_accountMode);
    m_radiusRequest->BindControl(NetProtect, m_netProtect);
    m_radiusRequest->BindControl(RadiusSource, m_radiusSer);
}

// The security reads of a load; the RADIUS servers only on the first one, so that a
// refresh keeps what the user typed there.
void TFM_Wirless::LoadSecurity(bool radiusToo)
{
    if (!m_auth)
        return;
    Guard([this] { m_auth->GetIntoControls(); });
    ShowSecurity();
    m_loadedSecurityText = m_securityMode->currentText();
    for (KxSNMPRequest2Edits *row : m_wepKey)
        Guard([row] { row->GetIntoControls(); });
    m_confirmKey->setText(m_key[size_t(DefaultKeyRow() - 1)]->text());
    for (int i = 0; i < 4; ++i) {
        const int type = m_keyType[size_t(i)]->currentIndex();
        m_keySize[size_t(i)]->setCurrentIndex(sizeOfLength(type, int(m_key[size_t(i)]->text().size())));
    }
    Guard([this] { m_passphraseRequest->GetIntoControls(); });
    m_loadedGroupKeyInterval = m_updateInterval->text();
    m_confirmPass->setText(m_passphrase->text());
    if (radiusToo)
        Guard([this] { m_radiusRequest->GetIntoControls(); });
}

Group TFM_Wirless::SecurityGroup() const
{
    return GroupOf(Mode(), m_multEnable->currentIndex() == 1);
}

void TFM_Wirless::ShowSecurity()
{
    const Group group = SecurityGroup();
    const Lists lists = ListsOf(group);
    m_securityMode->clear();
    m_securityMode->addItems(lists.security);
    m_wpaMode->clear();
    m_wpaMode->addItems(lists.wpa);
    m_wpaMode->setEnabled(lists.wpaEnabled);
    const Pair pair = ShowPair(group, m_authentication->currentText());
    m_securityMode->setCurrentIndex(pair.security);
    m_wpaMode->setCurrentIndex(pair.wpa);
}

bool TFM_Wirless::StoreSecurity()
{
    const int item = StoreItem(SecurityGroup(), m_securityMode->currentIndex(), m_wpaMode->currentIndex());
    if (item < 0)
        return false;
    m_authentication->setCurrentIndex(item);
    return true;
}

int TFM_Wirless::RememberedGroup() const
{
    return Mode() == QLatin1String("WDS with AP") ? 0 : Mode() == QLatin1String("WDS") ? 1 : 2;
}

// No key index read from the device stands for the first key.
int TFM_Wirless::DefaultKeyRow() const
{
    const int item = m_defaultKey->currentIndex();
    return item >= 0 && item < 4 ? item + 1 : 1;
}

void TFM_Wirless::VlanWarning(bool show)
{
    if (!show || m_vlanWarningShown || m_vlanStatus->currentIndex() != 1 || m_netProtect->currentIndex() != 1)
        return;
    Dialogs().MessageBox(this,
                         QStringLiteral("VLAN will be disabled when Authentication is not configured in "
                                        "'WPA-Enterprise'."),
                         QStringLiteral("Warning"));
    m_vlanWarningShown = true;
}

void TFM_Wirless::CB_SecurityModeChange()
{
    m_rememberedSecurity[size_t(RememberedGroup())] = m_securityMode->currentIndex();
    const bool share = m_securityMode->currentText().contains(QLatin1String("Share"));
    if (share)
        m_encryption->setCurrentIndex(1);
    m_encryption->setEnabled(!share);
    VlanWarning(Mode() == QLatin1String("Access Point") && m_loadedSecurityText == kEnterprise
                && m_securityMode->currentText() != kEnterprise);
    if (m_wpaMode->currentIndex() < 0)
        m_wpaMode->setCurrentIndex(0);
    ArrangeSections();
    if (!m_keyBox->isHidden()) {
        CB_DefaultKeyChange();
        CB_dot11EncryptionChange();
    }
}

// The security rows of the section layout.
void TFM_Wirless::ArrangeSecurity()
{
    const Variant variant = VariantOf(SecurityGroup(), m_securityMode->currentIndex());
    if (variant != Variant::None)
        ShowVariant(variant);
}

void TFM_Wirless::ShowVariant(Variant variant)
{
    const bool keys = variant == Variant::Keys || variant == Variant::KeysFixed;
    m_keyBox->setVisible(keys);
    m_passBox->setVisible(!keys);
    if (variant == Variant::KeysFixed) {
        m_encryption->setCurrentIndex(1);
        m_encryption->setEnabled(false);
    }
    if (keys)
        return;
    const bool personal = variant == Variant::Personal, dot1x = variant == Variant::Dot1x;
    m_passBox->setTitle(personal ? QStringLiteral("Passphrase Settings") : QStringLiteral("RADIUS Server Settings"));
    m_passForm->setRowVisible(m_wpaMode, !dot1x);
    m_passForm->setRowVisible(m_cipherType, !dot1x);
    m_intervalLabel->setText(dot1x ? QStringLiteral("Key Update Interval") : QStringLiteral("Group Key Update Interval  "));
    m_updateInterval->setVisible(!dot1x);
    m_update2->setVisible(dot1x);
    m_passForm->setRowVisible(m_passphrase, personal);
    m_passForm->setRowVisible(m_confirmPass, personal);
    m_passForm->setRowVisible(m_radiusPart, !personal);
    m_radiusForm->setRowVisible(m_netProtect, !dot1x);
    if (auto *label = qobject_cast<QLabel *>(m_radiusForm->labelForField(m_radiusSer)))
        label->setText(dot1x ? QStringLiteral("RADIUS Server  ") : QStringLiteral("RADIUS Server Mode"));
    if (!dot1x)
        FillCipherList();
    if (personal && ClientMode())
        m_updateInterval->setEnabled(false);
    if (!personal)
        CB_AccountModeChange();
}

void TFM_Wirless::FillCipherList()
{
    m_cipherType->clear();
    m_cipherType->setEnabled(true);
    if (Mode() == QLatin1String("WDS")) {
        m_cipherType->addItem(QStringLiteral("AES"));
        m_cipherType->setEnabled(false);
        m_wpaMode->setCurrentIndex(0);
        m_wpaMode->setEnabled(false);
    } else if (Mode() == QLatin1String("WDS with AP")) {
        m_cipherType->addItems({QStringLiteral("Auto"), QStringLiteral("AES")});
    } else {
        m_cipherType->addItems({QStringLiteral("Auto"), QStringLiteral("AES"), QStringLiteral("TKIP")});
    }
    const int device = m_cipherType->findText(m_clipher->currentText(), Qt::MatchFixedString);
    m_cipherType->setCurrentIndex(device >= 0 ? device : 0);
}

void TFM_Wirless::KeyLengths()
{
    for (int i = 0; i < 4; ++i)
        KxSetTypingLimit(m_key[size_t(i)], keyLimit(m_keyType[size_t(i)]->currentIndex(), m_keySize[size_t(i)]->currentIndex()));
    const int row = DefaultKeyRow() - 1;
    KxSetTypingLimit(m_confirmKey, keyLimit(m_keyType[size_t(row)]->currentIndex(), m_keySize[size_t(row)]->currentIndex()));
}

void TFM_Wirless::ShowKeyRow()
{
    const int row = DefaultKeyRow() - 1;
    for (int i = 0; i < 4; ++i)
        for (QWidget *w : {static_cast<QWidget *>(m_keyType[size_t(i)]), static_cast<QWidget *>(m_keySize[size_t(i)]),
                           static_cast<QWidget *>(m_key[size_t(i)])})
            w->setVisible(i == row);
}

void TFM_Wirless::CB_DefaultKeyChange()
{
    KeyLengths();
    ShowKeyRow();
}

void TFM_Wirless::CB_KeyType1Change()
{
    KeyLengths();
}

void TFM_Wirless::CB_WepEncryp1Change()
{
    KeyLengths();
}

void TFM_Wirless::CB_dot11EncryptionChange()
{
    const bool on = m_encryption->currentIndex() != 0;
    std::vector<QWidget *> fields = {m_defaultKey, m_confirmKey};
    for (int i = 0; i < 4; ++i)
        fields.insert(fields.end(), {m_keyType[size_t(i)], m_keySize[size_t(i)], m_key[size_t(i)]});
    for (QWidget *w : fields)
        w->setEnabled(on);
    if (on)
        ShowKeyRow();
    const int security = m_securityMode->currentIndex();
    const bool encryption = m_encryption->currentIndex() == 1;
    if (ClientMode())
        ForceWidth(1);
    else if ((security == 0 && encryption) || (encryption && Mode() == QLatin1String("WDS")))
        ForceWidth(0);
    else
        m_width->setEnabled(security != 1);
}

void TFM_Wirless::Cbox_RadiusSerChange()
{
    const bool internal = m_radiusSer->currentIndex() == 1;
    for (QWidget *w : {m_radiusServer, m_radiusPort, m_radiusSecret, m_backServer, m_backPort, m_backSecret,
                       m_accountServer, m_accountPort, m_accountSecret, m_backAccountServer, m_backAccountPort,
                       m_backAccountSecret})
        w->setEnabled(!internal);
    m_accountMode->setEnabled(!internal);
    if (!internal)
        CB_AccountModeChange();
}

void TFM_Wirless::CB_AccountModeChange()
{
    const bool off = m_accountMode->currentIndex() == 0;
    if (!off && m_radiusSer->currentIndex() == 1)
        return;
    for (QWidget *w : {m_accountServer, m_accountPort, m_accountSecret, m_backAccountServer, m_backAccountPort,
                       m_backAccountSecret})
        w->setEnabled(!off);
}

void TFM_Wirless::SetSaveMarks(bool include)
{
    const unsigned access = include ? KxAccess::ReadWrite : KxAccess::Excluded;
    for (KxSNMPRequest2Edits *r : {m_radio, m_auth, m_wepKey[0], m_wepKey[1], m_wepKey[2], m_wepKey[3],
                                   m_passphraseRequest, m_peerAdd}) {
        KxSNMPVarList &vars = r->VarList();
        for (int i = 0; i < vars.count(); ++i)
            vars[i].Access = access;
    }
    KxSNMPVarList &radius = m_radiusRequest->VarList();
    for (int i = RadiusServer; i <= NetProtect; ++i)
        radius[i].Access = access;
}

void TFM_Wirless::showEvent(QShowEvent *event)
{
    KxScreen::showEvent(event);
    if (m_keyBox && !m_keyBox->isHidden()) {
        CB_DefaultKeyChange();
        CB_dot11EncryptionChange();
    }
}
