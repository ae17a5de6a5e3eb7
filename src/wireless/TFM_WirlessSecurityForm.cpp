// The controls of the security section of 'Home \ Wireless': the key rows, the
// passphrase section and its RADIUS part.
#include "TFM_Wirless.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <tuple>

namespace {

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
    interval->addWidget(m_updateInterval);
    interval->addWidget(m_update2);
    interval->addWidget(new QLabel(QStringLiteral("Seconds"), m_intervalRow));
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
