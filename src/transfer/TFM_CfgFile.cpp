#include "TFM_CfgFile.h"

#include "TFM_Waiting.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

const QString kFilter = QStringLiteral(".kcf document (*.kcf);;All Files (*)");
const QString kSaved = QStringLiteral("The configuration file saved successfully!");
const QString kNotSaved = QStringLiteral("Fail to save the configuration file!");
// A TFTP write request: the device delivers a file to the PC.
constexpr int kDeviceWrites = 2;

} // namespace

TFM_CfgFile::TFM_CfgFile(QWidget *parent)
    : KxTransferScreen(QStringLiteral("FM_CfgFile"), QStringLiteral("Tools \\ Configuration File"), parent)
{
    BuildGroups();
    m_tfpSrv = AddHidden<QLineEdit>("Ed_TfpSrv");
    m_tfpCom = AddHidden<QComboBox>("CB_TfpCom");
    m_upgCom = AddHidden<QComboBox>("CB_UpgCom");
    // Labels of the device's own form that carry nothing; kept so every control can be
    // found by its name.
    for (const char *name : {"La_TftpSrv", "La_UpComm", "La_UpgrdComm"})
        AddHidden<QLabel>(name);
    m_arrival.setSingleShot(true);
    m_decide.setSingleShot(true);
    m_decide.setInterval(0);
    connect(&m_arrival, &QTimer::timeout, this, &TFM_CfgFile::DecideBackup);
    connect(&m_decide, &QTimer::timeout, this, &TFM_CfgFile::DecideBackup);
    BuildRequests();
    StartServer(300, [this](QObject *, const KxTFTPMsg &msg, bool &) { OnTransfer(msg); });
    if (Server())
        ArrivalWait = std::max(ArrivalWait, 10 * Server()->Template().Timeout * Server()->Retries);
}

TFM_CfgFile::~TFM_CfgFile()
{
    m_closing = true;
    Shutdown({m_address, m_transfer, m_upgrade});
    if (m_notice)
        CloseNotice();
}

void TFM_CfgFile::BuildGroups()
{
    auto group = [this](const char *name, const QString &title, const QString &caption, const char *editName,
                        const char *browseName, const char *okName) {
        auto *box = new QGroupBox(title, this);
        box->setObjectName(QLatin1String(name));
        auto *grid = new QGridLayout(box);
        auto *edit = new QLineEdit(box);
        edit->setObjectName(QLatin1String(editName));
        edit->setMinimumWidth(260);
        auto *browse = new QPushButton(QStringLiteral("Browse"), box);
        browse->setObjectName(QLatin1String(browseName));
        auto *ok = new QPushButton(QStringLiteral("OK"), box);
        ok->setObjectName(QLatin1String(okName));
        grid->addWidget(new QLabel(caption, box), 0, 0);
        grid->addWidget(edit, 0, 1);
        grid->addWidget(browse, 0, 2);
        grid->addWidget(ok, 0, 3);
        Body()->addWidget(box);
        return edit;
    };
    m_upgFile = group("GB_UpdateFile", QStringLiteral("Update Configuration File "), QStringLiteral("Update File"),
                      "Ed_UpgFile", "Bt_Browse", "Bt_OK");
    auto *between = new QLabel(QStringLiteral("Download Configuration File "), this);
    between->setObjectName(QStringLiteral("Label1"));
    Body()->addWidget(between);
    m_saveFile = group("GB_SaveFile", QStringLiteral("Load Settings to Local Hard Drive"), QStringLiteral("Save File"),
                       "Ed_SaveFile", "Bt_SavBrw", "Bt_Upload");
    // Filled only by the save dialog.
    m_saveFile->setReadOnly(true);
    m_saveFile->setStyleSheet(QStringLiteral("background: palette(button)"));
    Body()->addStretch();
    connect(findChild<QPushButton *>("Bt_Browse"), &QPushButton::clicked, this, &TFM_CfgFile::Bt_BrowseClick);
    connect(findChild<QPushButton *>("Bt_OK"), &QPushButton::clicked, this, &TFM_CfgFile::Bt_OKClick);
    connect(findChild<QPushButton *>("Bt_SavBrw"), &QPushButton::clicked, this, &TFM_CfgFile::Bt_SavBrwClick);
    connect(findChild<QPushButton *>("Bt_Upload"), &QPushButton::clicked, this, &TFM_CfgFile::Bt_UploadClick);
}

void TFM_CfgFile::BuildRequests()
{
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *address = MakeRequest(AddressObjects(), KxItemType::Scalars, 0, false, 10000, false);
        address->BindControl(0, QStringLiteral("%s"), m_tfpSrv);
        address->BindControl(1, QStringLiteral("%s"), m_upgFile);
        KxSNMPRequest2Edits *transfer = MakeRequest(TransferCommandObjects(), KxItemType::Scalars, 0, true, 10000);
        transfer->BindControl(0, m_tfpCom);
        transfer->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
            TransferCommandComplete(e);
        };
        KxSNMPRequest2Edits *upgrade = MakeRequest(UpgradeCommandObjects(), KxItemType::Scalars, 0, true, 30000, false);
        upgrade->BindControl(0, m_upgCom);
        upgrade->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
            UpgradeCommandComplete(e);
        };
        m_address = address;
        m_transfer = transfer;
        m_upgrade = upgrade;
    });
    if (!built)
        m_address = m_transfer = m_upgrade = nullptr;
}

void TFM_CfgFile::Bt_BrowseClick()
{
    const QString path = Dialogs().OpenFileName(this, QString(), QString(), kFilter);
    if (path.isEmpty())
        return;
    m_saveFile->clear();
    m_upgFile->setText(path);
}

void TFM_CfgFile::Bt_SavBrwClick()
{
    const QString path = Dialogs().SaveFileName(this, QString(), QString(), kFilter);
    if (!path.isEmpty())
        m_saveFile->setText(path);
}

void TFM_CfgFile::ShowNotice()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_notice = TFM_Waiting::ShowNotice(this, QStringLiteral("Please wait..."),
                                       QStringLiteral("The settings are saving and taking effect."), QString());
}

void TFM_CfgFile::CloseNotice()
{
    if (!m_notice)
        return;
    TFM_Waiting::CloseNotice(this, m_notice);
    m_notice = nullptr;
    QApplication::restoreOverrideCursor();
}

void TFM_CfgFile::Bt_OKClick()
{
    const QString path = m_upgFile->text();
    if (path.isEmpty()) {
        Warn(QStringLiteral("Empty file is not accepted."));
        return;
    }
    if (!QFileInfo(path).isFile() || !path.toUpper().contains(QLatin1String(".KCF"))) {
        Warn(QStringLiteral("File format error! Please try again!"));
        return;
    }
    if (!m_transfer)
        return;
    const std::optional<QString> name = ServeFolderOf(path, m_tfpSrv);
    if (!name)
        return;
    m_upgFile->setText(*name);
    m_backupMode = false;
    ShowNotice();
    Guard([this] { m_address->SetFromControls(true, true); });
    KxSelectCommand(m_transfer, m_tfpCom, QStringLiteral("Get"));
    Guard([this] { m_transfer->SetFromControls(true, true); });
    // At once: the device takes both commands in the order they were sent.
    KxSelectCommand(m_upgrade, m_upgCom, QStringLiteral("Configsave"));
    Guard([this] { m_upgrade->SetFromControls(true, true); });
    m_upgFile->setText(path);
}

void TFM_CfgFile::Bt_UploadClick()
{
    const QString path = m_saveFile->text();
    if (path.isEmpty()) {
        Warn(QStringLiteral("Empty file is not accepted."));
        return;
    }
    if (!m_transfer)
        return;
    std::optional<QString> name = ServeFolderOf(path, m_tfpSrv);
    if (!name)
        return;
    if (!name->toUpper().contains(QLatin1String(".KCF")))
        *name += QStringLiteral(".kcf");
    m_upgFile->setText(*name);
    ShowNotice();
    Guard([this] { m_address->SetFromControls(true, true); });
    KxSelectCommand(m_transfer, m_tfpCom, QStringLiteral("Put"));
    m_backupMode = true;
    m_arrival.stop();
    m_backup = Backup();
    m_backup.open = true;
    m_backup.name = *name;
    Guard([this] { m_transfer->SetFromControls(true, true); });
    m_upgFile->clear();
}

void TFM_CfgFile::Failed()
{
    m_backup.open = false;
    m_arrival.stop();
    CloseNotice();
    Dialogs().MessageBox(this, kNotSaved, QStringLiteral("ERROR"));
}

void TFM_CfgFile::TransferCommandComplete(const KxSNMPError &error)
{
    // A backup keeps its notice up until the file is in or given up.
    if (!m_backupMode) {
        CloseNotice();
        return;
    }
    if (error.Code != 0) {
        Failed();
        return;
    }
    KxSelectCommand(m_upgrade, m_upgCom, QStringLiteral("configSetting"));
    bool issued = false;
    Guard([&] { issued = m_upgrade->SetFromControls(true, true); });
    if (!issued && m_backup.open)
        Failed();
}

void TFM_CfgFile::UpgradeCommandComplete(const KxSNMPError &error)
{
    if (!m_backupMode) {
        if (error.Code != 0)
            Failed();
        return;
    }
    if (!m_backup.open)
        return; // already reported
    if (error.Code != 0) {
        Failed();
        return;
    }
    m_backup.commandDone = true;
    if (!m_backup.received)
        m_arrival.start(ArrivalWait);
    DecideBackup();
}

void TFM_CfgFile::OnTransfer(const KxTFTPMsg &msg)
{
    if (!m_backup.open || msg.Operation != kDeviceWrites || msg.FileName != m_backup.name)
        return;
    if (msg.Code == KxTFTPCode::Connected || msg.Code == KxTFTPCode::Transferring) {
        m_backup.running.insert(msg.SessionNo);
        return;
    }
    m_backup.running.remove(msg.SessionNo);
    if (msg.Code == KxTFTPCode::Success)
        m_backup.received = true;
    else if (msg.Code < 0)
        m_backup.failed = true;
    m_decide.start();
}

void TFM_CfgFile::DecideBackup()
{
    if (!m_backup.open || m_closing)
        return;
    const bool idle = m_backup.running.isEmpty();
    if (m_backup.received && m_backup.commandDone) {
        m_backup.open = false;
        m_arrival.stop();
        CloseNotice();
        Dialogs().MessageBox(this, kSaved, QStringLiteral("OK"));
    } else if (!m_backup.received && idle
               && (m_backup.failed || (m_backup.commandDone && !m_arrival.isActive()))) {
        Failed();
    }
}
