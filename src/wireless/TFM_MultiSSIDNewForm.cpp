// The controls of 'Advanced \ Multi-SSID': the settings of the SSID picked, its key or
// passphrase section with the RADIUS group, the list of enabled SSIDs and the buttons.
#include "TFM_MultiSSIDNew.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *combo(QWidget *parent, const char *name, const QStringList &items = {})
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

QLineEdit *edit(QWidget *parent, const char *name, bool masked = false)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    if (masked)
        field->setEchoMode(QLineEdit::Password);
    return field;
}

QGroupBox *group(QWidget *parent, const QString &title, const char *name)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

// A form row as one widget, so that a section can hide it with its label.
QWidget *row(QFormLayout *form, const QString &caption, QWidget *field, QLabel **label = nullptr)
{
    auto *holder = new QWidget(form->parentWidget());
    auto *line = new QFormLayout(holder);
    line->setContentsMargins(0, 0, 0, 0);
    auto *text = new QLabel(caption, holder);
    text->setBuddy(field);
    field->setParent(holder);
    line->addRow(text, field);
    form->addRow(holder);
    if (label)
        *label = text;
    return holder;
}

} // namespace

void TFM_MultiSSIDNewForm::BuildForm()
{
    BuildSettings();
    BuildKeySection();
    BuildPassSection();
    BuildUserSection();
    m_applyButton = AddButton(QStringLiteral("Apply"), "ApplyBtn");
    m_cancel = AddButton(QStringLiteral("Cancel"), "CancelBtn");

    m_idvState = AddHidden<QComboBox>("CB_IdvState");
    m_authentication = AddHidden<QComboBox>("CB_dot11Authentication");
    m_clipher = AddHidden<QComboBox>("CB_Clipher");
    m_apMode = AddHidden<QComboBox>("CB_ApMode");
    m_applySetting = AddHidden<QComboBox>("CB_DeviceApplySetting");
    m_ifIndex = AddHidden<QLabel>("Lb_Ifindex");
    m_ssidIndex = AddHidden<QLabel>("Lb_Ssidindex");
    m_ssidList = AddHidden<QTreeWidget>("MulSSIDListView");
    m_radiusList = AddHidden<QTreeWidget>("LV_RadiusServer");
    m_accountList = AddHidden<QTreeWidget>("LV_MssidAccount");

    connect(m_enable, &QCheckBox::clicked, this, &TFM_MultiSSIDNewForm::IfEnabMuSSIDClick);
    connect(m_priorityOn, &QCheckBox::clicked, this, &TFM_MultiSSIDNewForm::Chk_MultiPriClick);
    connect(m_index, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_IndexChange);
    connect(m_security, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_SSIDSecurityModeChange);
    connect(m_band, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_SecurityModeChange);
    connect(m_priority, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_SecurityModeChange);
    connect(m_encryption, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_MssidEncryptionChange);
    for (QComboBox *box : {m_keyType, m_keySize, m_defaultKey})
        connect(box, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::SetKeyLengths);
    connect(m_radiusSer, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::Cbox_MultiRadserChange);
    connect(m_accountMode, &QComboBox::activated, this, &TFM_MultiSSIDNewForm::CB_AccountModeChange);
    connect(m_userList, &QTreeWidget::itemClicked, this, &TFM_MultiSSIDNewForm::LV_MultiSSID_UserClick);
    connect(m_add, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::AddButtonClick);
    connect(m_delete, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::DelButtonClick);
    connect(m_applyButton, &QPushButton::clicked, this, &TFM_MultiSSIDNewForm::ApplyBtnClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFM_MultiSSIDNewForm::BuildSettings()
{
    m_settingsBox = group(this, QStringLiteral("Multi-SSID Settings"), "GB_MultiSsid");
    auto *form = new QFormLayout(m_settingsBox);
    m_enable = new QCheckBox(QStringLiteral("Enable Multi-SSID "), m_settingsBox);
    m_enable->setObjectName(QStringLiteral("IfEnabMuSSID"));
    form->addRow(m_enable);
    QStringList indexes = {QStringLiteral("Primary SSID")};
    for (int i = 1; i <= 7; ++i)
        indexes << QStringLiteral("SSID %1").arg(i);
    m_index = combo(m_settingsBox, "CB_Index", indexes);
    for (int i = 0; i < m_index->count(); ++i)
        m_index->setItemData(i, i);
    form->addRow(QStringLiteral("Index:"), m_index);
    m_band = combo(m_settingsBox, "CB_Band");
    m_band->setEnabled(false);
    form->addRow(QStringLiteral("Band:"), m_band);
    m_ssid = edit(m_settingsBox, "Ed_SSID");
    form->addRow(QStringLiteral("SSID:"), m_ssid);
    m_broadcast = combo(m_settingsBox, "CB_SsidBroadcast");
    form->addRow(QStringLiteral("SSID VIsible:"), m_broadcast);
    m_security = combo(m_settingsBox, "CB_SSIDSecurityMode");
    form->addRow(QStringLiteral("Security:"), m_security);
    m_wmm = combo(m_settingsBox, "CB_WMM");
    form->addRow(QStringLiteral("WMM(Wi-Fi Multimedia):"), m_wmm);
    m_priorityOn = new QCheckBox(QStringLiteral("Enable Priority"), m_settingsBox);
    m_priorityOn->setObjectName(QStringLiteral("Chk_MultiPri"));
    form->addRow(m_priorityOn);
    m_priority = combo(m_settingsBox, "Cbox_Priority");
    form->addRow(QStringLiteral("Priority"), m_priority);
    Body()->addWidget(m_settingsBox);
}

void TFM_MultiSSIDNewForm::BuildKeySection()
{
    m_keyBox = group(this, QStringLiteral("Key Settings"), "GB_Key");
    auto *form = new QFormLayout(m_keyBox);
    m_encryption = combo(m_keyBox, "CB_MssidEncryption");
    form->addRow(QStringLiteral("Encryption:"), m_encryption);
    m_keySize = combo(m_keyBox, "CB_WepEncryp", {QStringLiteral("64Bit"), QStringLiteral("128Bit")});
    form->addRow(QStringLiteral("Key Size :  "), m_keySize);
    m_keyType = combo(m_keyBox, "CB_KeyType");
    form->addRow(QStringLiteral("Key Type : "), m_keyType);
    m_defaultKey = combo(m_keyBox, "CB_DefaultKey");
    form->addRow(QStringLiteral("Key Index(1~4) : "), m_defaultKey);
    m_key = edit(m_keyBox, "Ed_Key", true);
    form->addRow(QStringLiteral("Network Key :"), m_key);
    m_confirmKey = edit(m_keyBox, "Ed_ConfirmKey", true);
    form->addRow(QStringLiteral("Confirm Key"), m_confirmKey);
    Body()->addWidget(m_keyBox);
}

void TFM_MultiSSIDNewForm::BuildPassSection()
{
    m_passBox = group(this, QStringLiteral("Passphrase Settings"), "GB_Passphrase");
    auto *form = new QFormLayout(m_passBox);
    m_wpaMode = combo(m_passBox, "CB_WPAMode");
    m_wpaRow = row(form, QStringLiteral("WPA Mode "), m_wpaMode);
    m_cipherType = combo(m_passBox, "CB_CipherType");
    m_cipherRow = row(form, QStringLiteral("Cipher Type "), m_cipherType);
    // The two interval fields share one row: the group key's, or 802.1x's key update.
    auto *intervals = new QWidget(m_passBox);
    auto *line = new QHBoxLayout(intervals);
    line->setContentsMargins(0, 0, 0, 0);
    m_intervalLabel = new QLabel(QStringLiteral("Group Key Update Interval  "), intervals);
    m_updateInterval = edit(intervals, "Ed_UpdateInterval");
    m_keyUpdate = edit(intervals, "Ed_KeyUpdate");
    m_intervalLabel->setBuddy(m_updateInterval);
    line->addWidget(m_intervalLabel);
    line->addWidget(m_updateInterval);
    line->addWidget(m_keyUpdate);
    line->addWidget(new QLabel(QStringLiteral("Seconds "), intervals));
    form->addRow(intervals);
    m_passphrase = edit(m_passBox, "Ed_Passphrase", true);
    m_passRow = row(form, QStringLiteral("Passphrase :  "), m_passphrase);
    m_confirmPass = edit(m_passBox, "Ed_ConfirmPass", true);
    m_confirmPassRow = row(form, QStringLiteral("Confirm PassPhrase"), m_confirmPass);
    BuildRadiusGroup();
    form->addRow(m_radiusGroup);
    Body()->addWidget(m_passBox);
}

void TFM_MultiSSIDNewForm::BuildRadiusGroup()
{
    m_radiusGroup = new QWidget(m_passBox);
    m_radiusGroup->setObjectName(QStringLiteral("RadiusGroup"));
    auto *box = new QVBoxLayout(m_radiusGroup);
    box->setContentsMargins(0, 0, 0, 0);
    auto *mode = new QFormLayout;
    m_radiusSer = combo(m_radiusGroup, "Cbox_MultiRadser");
    mode->addRow(QStringLiteral("RADIUS Server Mode"), m_radiusSer);
    box->addLayout(mode);
    using Fields = std::initializer_list<std::pair<QString, QLineEdit **>>;
    auto server = [this, box](const QString &title, const char *name, Fields fields, QComboBox *status = nullptr) {
        QGroupBox *g = group(m_radiusGroup, title, name);
        auto *form = new QFormLayout(g);
        if (status)
            form->addRow(QStringLiteral("Accounting Mode"), status);
        for (const auto &[caption, field] : fields)
            form->addRow(caption, *field);
        box->addWidget(g);
    };
    m_radiusServer = edit(m_radiusGroup, "Edt_RadiusServer");
    m_radiusPort = edit(m_radiusGroup, "Edt_RadiusPort");
    m_radiusSecret = edit(m_radiusGroup, "Edt_RadiusSecret", true);
    m_backServer = edit(m_radiusGroup, "Edt_BackRadiusServer");
    m_backPort = edit(m_radiusGroup, "Edt_BackRadiusPort");
    m_backSecret = edit(m_radiusGroup, "Edt_BackRadiusSecret", true);
    m_accountMode = combo(m_radiusGroup, "CB_AccountMode");
    m_accountServer = edit(m_radiusGroup, "Edt_AccountServer");
    m_accountPort = edit(m_radiusGroup, "Edt_AccountPort");
    m_accountSecret = edit(m_radiusGroup, "Edt_AccountSecret", true);
    m_backAccountServer = edit(m_radiusGroup, "Edt_BackAccountServer");
    m_backAccountPort = edit(m_radiusGroup, "Edt_BackAccountPort");
    m_backAccountSecret = edit(m_radiusGroup, "Edt_BackAccountSecret", true);
    const QString s = QStringLiteral("RADIUS Server"), p = QStringLiteral("RADIUS Port"),
                  k = QStringLiteral("RADIUS Secret");
    server(QStringLiteral("Primary RADIUS Server Setting"), "GB_PrimaryRadius",
           {{s, &m_radiusServer}, {p, &m_radiusPort}, {k, &m_radiusSecret}});
    server(QStringLiteral("Backup RADIUS Server Setting"), "GB_BackupRadius",
           {{s, &m_backServer}, {p, &m_backPort}, {k, &m_backSecret}});
    const QString as = QStringLiteral("Accounting Server"), ap = QStringLiteral("Accounting Port"),
                  ak = QStringLiteral("Accounting Secret");
    server(QStringLiteral("Primary Accounting Server Setting"), "GB_PrimaryAccounting",
           {{as, &m_accountServer}, {ap, &m_accountPort}, {ak, &m_accountSecret}}, m_accountMode);
    server(QStringLiteral("Secondary Accounting Server Setting"), "GB_BackupAccounting",
           {{as, &m_backAccountServer}, {ap, &m_backAccountPort}, {ak, &m_backAccountSecret}});
}

void TFM_MultiSSIDNewForm::BuildUserSection()
{
    m_userBox = group(this, QStringLiteral("Mulit-SSID"), "GB_UserList");
    auto *box = new QVBoxLayout(m_userBox);
    m_userList = new QTreeWidget(m_userBox);
    m_userList->setObjectName(QStringLiteral("LV_MultiSSID_User"));
    m_userList->setAccessibleName(QStringLiteral("Mulit-SSID"));
    m_userList->setHeaderLabels({QStringLiteral("Index"), QStringLiteral("SSID"), QStringLiteral("Band"),
                                 QStringLiteral("Encryption")});
    m_userList->setRootIsDecorated(false);
    m_userList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_userList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    box->addWidget(m_userList);
    auto *buttons = new QHBoxLayout;
    m_add = new QPushButton(QStringLiteral("Add"), m_userBox);
    m_add->setObjectName(QStringLiteral("AddButton"));
    m_delete = new QPushButton(QStringLiteral("Delete"), m_userBox);
    m_delete->setObjectName(QStringLiteral("DelButton"));
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    box->addLayout(buttons);
    Body()->addWidget(m_userBox);
}
