// The security section of 'Home \ Wireless': the device's authentication value shown
// as a security mode and a WPA mode, the WEP key rows, the passphrase and the RADIUS and
// accounting servers.
#include "TFM_Wirless.h"

#include "KxMasked.h"
#include "TFM_WirlessObjects.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace WirlessObjects;
using namespace WirlessSecurity;

namespace {

const QString kEnterprise = QStringLiteral("WPA-Enterprise");

QComboBox *combo(QWidget *parent, const char *name, const QString &caption, const QStringList &items = {})
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(caption.trimmed());
    box->addItems(items);
    return box;
}

QLineEdit *edit(QWidget *parent, const QString &name, const QString &caption, bool masked = false)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setAccessibleName(caption.trimmed());
    if (masked)
        field->setEchoMode(QLineEdit::Password);
    return field;
}

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

void TFM_Wirless::BuildSecuritySections(QWidget *page)
{
    BuildKeySection(page);
    BuildPassphraseSection(page);
    m_authentication = AddHidden<QComboBox>("CB_dot11Authentication");
    m_clipher = AddHidden<QComboBox>("CB_Clipher");
    connect(m_securityMode, &QComboBox::activated, this, &TFM_Wirless::CB_SecurityModeChange);
}

void TFM_Wirless::BuildKeySection(QWidget *page)
{
    m_keyBox = new QGroupBox(QStringLiteral("Key settings"), page);
    m_keyBox->setObjectName(QStringLiteral("GB_Key"));
    auto *form = new QFormLayout(m_keyBox);
    m_encryption = combo(m_keyBox, "CB_dot11Encryption", QStringLiteral("Encryption"));
    form->addRow(QStringLiteral("Encryption   "), m_encryption);
    m_defaultKey = combo(m_keyBox, "CB_DefaultKey", QStringLiteral("Key Index"));
    form->addRow(QStringLiteral("Key Index"), m_defaultKey);
    // Four rows share three places: only the default key's row shows.
    auto *types = new QHBoxLayout, *sizes = new QHBoxLayout, *keys = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        m_keyType[size_t(i)] = combo(m_keyBox, "CB_KeyType" + n, QStringLiteral("Key Type"));
        m_keySize[size_t(i)] = combo(m_keyBox, "CB_WepEncryp" + n, QStringLiteral("Key Size"),
                                     {QStringLiteral("64Bit"), QStringLiteral("128Bit")});
        m_key[size_t(i)] = edit(m_keyBox, "Ed_Key" + n, QStringLiteral("Network Key"), true);
        types->addWidget(m_keyType[size_t(i)]);
        sizes->addWidget(m_keySize[size_t(i)]);
        keys->addWidget(m_key[size_t(i)]);
        connect(m_keyType[size_t(i)], &QComboBox::activated, this, &TFM_Wirless::CB_KeyType1Change);
        connect(m_keySize[size_t(i)], &QComboBox::activated, this, &TFM_Wirless::CB_WepEncryp1Change);
    }
    form->addRow(QStringLiteral("Key Type"), types);
    form->addRow(QStringLiteral("Key Size "), sizes);
    form->addRow(QStringLiteral("Network Key"), keys);
    m_confirmKey = edit(m_keyBox, QStringLiteral("Ed_ConfirmKey"), QStringLiteral("Confirm Key"), true);
    form->addRow(QStringLiteral("Confirm Key"), m_confirmKey);
    connect(m_encryption, &QComboBox::activated, this, &TFM_Wirless::CB_dot11EncryptionChange);
    connect(m_defaultKey, &QComboBox::activated, this, &TFM_Wirless::CB_DefaultKeyChange);
}

void TFM_Wirless::BuildPassphraseSection(QWidget *page)
{
    m_passBox = new QGroupBox(QStringLiteral("Passphrase Settings"), page);
    m_passBox->setObjectName(QStringLiteral("GB_Passphrase"));
    m_passForm = new QFormLayout(m_passBox);
    m_wpaMode = combo(m_passBox, "CB_WPAMode", QStringLiteral("WPA Mode"));
    m_passForm->addRow(QStringLiteral("WPA Mode "), m_wpaMode);
    m_cipherType = combo(m_passBox, "CB_CipherType", QStringLiteral("Cipher Type"));
    m_passForm->addRow(QStringLiteral("Cipher Type "), m_cipherType);
    m_intervalRow = new QWidget(m_passBox);
    auto *interval = new QHBoxLayout(m_intervalRow);
    interval->setContentsMargins(0, 0, 0, 0);
    m_updateInterval = edit(m_intervalRow, QStringLiteral("Ed_UpdateInterval"), QStringLiteral("Group Key Update Interval"));
    m_update2 = edit(m_intervalRow, QStringLiteral("Ed_Update2"), QStringLiteral("Key Update Interval"));
    m_secondsLabel = new QLabel(QStringLiteral("Seconds"), m_intervalRow);
    interval->addWidget(m_updateInterval);
    interval->addWidget(m_update2);
    interval->addWidget(m_secondsLabel);
    m_intervalLabel = new QLabel(QStringLiteral("Group Key Update Interval  "), m_passBox);
    m_passForm->addRow(m_intervalLabel, m_intervalRow);
    m_passphrase = edit(m_passBox, QStringLiteral("Ed_Passphrase"), QStringLiteral("Passphrase"), true);
    m_passForm->addRow(QStringLiteral("Passphrase"), m_passphrase);
    m_confirmPass = edit(m_passBox, QStringLiteral("Ed_ConfirmPass"), QStringLiteral("Confirm PassPhrase"), true);
    m_passForm->addRow(QStringLiteral("Confirm PassPhrase"), m_confirmPass);
    BuildRadiusPart(m_passForm);
}

void TFM_Wirless::BuildRadiusPart(QFormLayout *form)
{
    m_radiusPart = new QWidget(m_passBox);
    auto *part = new QVBoxLayout(m_radiusPart);
    part->setContentsMargins(0, 0, 0, 0);
    m_radiusForm = new QFormLayout;
    part->addLayout(m_radiusForm);
    m_netProtect = combo(m_radiusPart, "CB_NetProtect", QStringLiteral("Network Access Protection"));
    m_radiusSer = combo(m_radiusPart, "Cbox_RadiusSer", QStringLiteral("RADIUS Server Mode"));
    m_radiusForm->addRow(QStringLiteral("Network Access Protection"), m_netProtect);
    m_radiusForm->addRow(QStringLiteral("RADIUS Server Mode"), m_radiusSer);
    auto *grid = new QGridLayout;
    part->addLayout(grid);
    auto server = [&](const QString &title, int row, int column, const QString &what, const QString &prefix,
                      QComboBox *mode) {
        auto *box = new QGroupBox(title, m_radiusPart);
        auto *f = new QFormLayout(box);
        if (mode)
            f->addRow(QStringLiteral("Accounting Mode"), mode);
        QLineEdit *fields[3];
        const char *parts[3] = {"Server", "Port", "Secret"};
        for (int i = 0; i < 3; ++i) {
            const QString caption = what + QLatin1Char(' ') + QLatin1String(parts[i]);
            fields[i] = edit(box, prefix + QLatin1String(parts[i]), caption, i == 2);
            f->addRow(caption, fields[i]);
        }
        grid->addWidget(box, row, column);
        return std::array<QLineEdit *, 3>{fields[0], fields[1], fields[2]};
    };
    const QString radius = QStringLiteral("RADIUS"), accounting = QStringLiteral("Accounting");
    auto primary = server(QStringLiteral("Primary RADIUS Server Setting"), 0, 0, radius, "Edt_Radius", nullptr);
    auto backup = server(QStringLiteral("Backup RADIUS Server Setting(Optional)"), 0, 1, radius, "Edt_BackRadius", nullptr);
    m_accountMode = combo(m_radiusPart, "CB_AccountMode", QStringLiteral("Accounting Mode"));
    auto account = server(QStringLiteral("Primary Accounting Server Setting"), 1, 0, accounting, "Edt_Account",
                          m_accountMode);
    auto backAccount = server(QStringLiteral("Backup Accounting Server Setting(Optional)"), 1, 1, accounting,
                              "Edt_BackAccount", nullptr);
    std::tie(m_radiusServer, m_radiusPort, m_radiusSecret) = std::tuple(primary[0], primary[1], primary[2]);
    std::tie(m_backServer, m_backPort, m_backSecret) = std::tuple(backup[0], backup[1], backup[2]);
    std::tie(m_accountServer, m_accountPort, m_accountSecret) = std::tuple(account[0], account[1], account[2]);
    std::tie(m_backAccountServer, m_backAccountPort, m_backAccountSecret) =
        std::tuple(backAccount[0], backAccount[1], backAccount[2]);
    form->addRow(m_radiusPart);
    connect(m_radiusSer, &QComboBox::activated, this, &TFM_Wirless::Cbox_RadiusSerChange);
    connect(m_accountMode, &QComboBox::activated, this, &TFM_Wirless::CB_AccountModeChange);
    connect(m_netProtect, &QComboBox::activated, this, &TFM_Wirless::CB_AccountModeChange);
}

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
