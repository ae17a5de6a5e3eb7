#include "TFM_Firmware.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

namespace {

const QString kBinFilter = QStringLiteral("Firmware bin files (*.bin)");

} // namespace

// How the four Upload buttons differ.
struct TFM_Firmware::Row {
    int kind;
    const char *empty;
    const char *extensions[2];
    const char *badExtension;
    const char *notFound;
    const char *firstWait;
    const char *command;
    const char *secondWait; // none: no restart follows
    int secondCountdown;
};

const TFM_Firmware::Row &TFM_Firmware::RowOf(int kind) const
{
    static const Row rows[] = {
        {Firmware, "Please put in the firmware file & path.", {".tfp", ".bin"},
         "Please put in valid firmware file & path.", "Please put in valid firmware file & path.",
         "Loading firmware file...", "Firmwareupdate", "Updating firmware file...", 90},
        {Certificate, "Empty file is not accepted!", {".der", ".pem"}, "File format error! Please try again.",
         "Please put in valid pem file & path.", "Loading pem file...", "certificateFileUpdate", nullptr, 0},
        {Key, "Empty file is not accepted!", {".der", ".pem"}, "File format error! Please try again.",
         "Please put in valid pem file & path.", "Loading pem file...", "keyFileUpdate", nullptr, 0},
        {LanguagePack, "Empty file is not accepted!", {nullptr, nullptr}, nullptr,
         "Please put in valid pem file & path.", "Loading language file...", "Firmwareupdate",
         "Updating language file...", 15},
    };
    return rows[kind - 1];
}

QLineEdit *TFM_Firmware::PathEdit(int kind) const
{
    switch (kind) {
    case Certificate: return m_certificate;
    case Key: return m_key;
    case LanguagePack: return m_languageFile;
    default: return m_upgFile;
    }
}

TFM_Firmware::TFM_Firmware(QWidget *parent)
    : KxTransferScreen(QStringLiteral("FM_Firmware"), QStringLiteral("Tools \\ Firmware"), parent)
{
    BuildRows();
    m_tfpSrv = AddHidden<QLineEdit>("Ed_TfpSrv");
    m_remoteFile = AddHidden<QLineEdit>("Ed_RemoteFile");
    m_tfpCom = AddHidden<QComboBox>("CB_TfpCom");
    m_upgCom = AddHidden<QComboBox>("CB_UpgCom");
    m_statusBar2 = AddHidden<QStatusBar>("StatusBar2");
    // Carriers of the device's own form that hold nothing here; kept so every control
    // can be found by its name.
    for (const char *name : {"La_TftpSrv", "La_UpComm", "La_UpgrdComm"})
        AddHidden<QLabel>(name);
    for (const char *name : {"CB_SslUpdt", "CB_Reboot"})
        AddHidden<QComboBox>(name);
    AddHidden<QStatusBar>("StatusBar1");
    BuildRequests();
    StartServer(3000);
    EnableKeyRow(false);
}

TFM_Firmware::~TFM_Firmware()
{
    Shutdown({m_address, m_transfer, m_upgrade});
}

void TFM_Firmware::BuildRows()
{
    auto *grid = new QGridLayout;
    Body()->addLayout(grid);
    int line = 0;
    auto header = [&](const char *name, const QString &text) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        if (line > 0)
            label->setContentsMargins(0, 8, 0, 0); // a gap between the sections
        grid->addWidget(label, line++, 0, 1, 4);
        return label;
    };
    auto button = [&](const char *name, const QString &text, int column) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        grid->addWidget(b, line, column);
        return b;
    };
    // One row: caption, path edit, Browse and Upload; returns the edit.
    auto row = [&](const QString &caption, const char *editName, const char *browseName,
                   const char *uploadName, void (TFM_Firmware::*upload)(), QLabel **captionLabel = nullptr) {
        auto *label = new QLabel(caption, this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(editName));
        edit->setMinimumWidth(320);
        grid->addWidget(label, line, 0);
        grid->addWidget(edit, line, 1);
        QPushButton *browse = button(browseName, QStringLiteral("Browse"), 2);
        QPushButton *go = button(uploadName, QStringLiteral("Upload"), 3);
        connect(browse, &QPushButton::clicked, this, [this, edit] { Browse(edit); });
        connect(go, &QPushButton::clicked, this, upload);
        if (captionLabel)
            *captionLabel = label;
        ++line;
        return edit;
    };

    header("Label35", QStringLiteral("Update Firmware From Local Hard Drive"));
    m_upgFile = row(QStringLiteral("Upload Firmware From File:"), "Ed_UpgFile", "Bt_Browse", "Bt_OK",
                    &TFM_Firmware::Bt_OKClick);
    // The language-pack rows exist (their upload works) but no one shows them: the
    // certificate rows move up into their place.
    QLabel *languageHeader = header("Label2", QStringLiteral("Language Pack Upgrade"));
    QLabel *languageCaption = nullptr;
    m_languageFile = row(QStringLiteral("Upload Language From File:"), "Ed_UpLanguageFile", "Bt_Language",
                         "Bt_Lpack", &TFM_Firmware::Bt_LpackClick, &languageCaption);
    languageCaption->setObjectName(QStringLiteral("Label3"));
    for (QWidget *w : {static_cast<QWidget *>(languageHeader), static_cast<QWidget *>(languageCaption),
                       static_cast<QWidget *>(m_languageFile), findChild<QWidget *>("Bt_Language"),
                       findChild<QWidget *>("Bt_Lpack")})
        w->hide();
    header("Label1", QStringLiteral("Update SSL Certification From Local Hard Drive"));
    m_certificate = row(QStringLiteral("Upload Certificate From File :"), "EDT_Certificate", "Bt_CBrowse",
                        "Bt_CUpload", &TFM_Firmware::Bt_CUploadClick);
    m_key = row(QStringLiteral("Upload Key From File : "), "EDT_Key", "Bt_KBrowse", "Bt_KUpload",
                &TFM_Firmware::Bt_KUploadClick);
    m_keyBrowse = findChild<QPushButton *>("Bt_KBrowse");
    m_keyUpload = findChild<QPushButton *>("Bt_KUpload");
    Body()->addStretch();
}

void TFM_Firmware::BuildRequests()
{
    const bool built = Guard([this] {
        KxSNMPRequest2Edits *address = MakeRequest(AddressObjects(), KxItemType::Scalars, 0, false, 40000, false);
        address->BindControl(0, QStringLiteral("%s"), m_tfpSrv);
        address->BindControl(1, QStringLiteral("%s"), m_remoteFile);
        KxSNMPRequest2Edits *transfer = MakeRequest(TransferCommandObjects(), KxItemType::Scalars, 0, true, 15000);
        transfer->BindControl(0, m_tfpCom);
        transfer->OnSetComplete = [this](KxSNMPRequest2Controls *, const KxSNMPError &e) {
            TransferCommandComplete(e);
        };
        KxSNMPRequest2Edits *upgrade = MakeRequest(UpgradeCommandObjects(), KxItemType::Scalars, 0, true, 30000, false);
        upgrade->SetStatusBar(KxStatusTarget(m_statusBar2));
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

void TFM_Firmware::EnableKeyRow(bool enabled)
{
    m_key->setEnabled(enabled);
    m_keyBrowse->setEnabled(enabled);
    m_keyUpload->setEnabled(enabled);
}

void TFM_Firmware::Browse(QLineEdit *edit)
{
    const QString path = Dialogs().OpenFileName(this, QString(), QString(), kBinFilter);
    if (!path.isEmpty())
        edit->setText(path);
}

bool TFM_Firmware::Check(const Row &row, QLineEdit *edit)
{
    const QString path = edit->text();
    if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) {
        Warn(QLatin1String(row.empty));
        return false;
    }
    // Case-sensitive and anywhere in the path, as the device's own tools name files.
    if (row.extensions[0] && !path.contains(QLatin1String(row.extensions[0]))
        && !path.contains(QLatin1String(row.extensions[1]))) {
        Warn(QLatin1String(row.badExtension));
        if (row.kind == Certificate || row.kind == Key)
            edit->setFocus();
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        Warn(QLatin1String(row.notFound));
        return false;
    }
    return true;
}

void TFM_Firmware::Upload(int kind)
{
    m_kind = kind;
    QLineEdit *edit = PathEdit(kind);
    if (!Check(RowOf(kind), edit) || !m_transfer)
        return;
    const QString path = edit->text();
    const std::optional<QString> name = ServeFolderOf(path, m_tfpSrv);
    if (!name)
        return;
    edit->setText(*name);
    m_remoteFile->setText(*name);
    Guard([this] { m_address->SetFromControls(true, true); });
    KxSelectCommand(m_transfer, m_tfpCom, QStringLiteral("Get"));
    Guard([this] { m_transfer->SetFromControls(true, true); });
    edit->setText(path);
}

void TFM_Firmware::TransferCommandComplete(const KxSNMPError &error)
{
    if (error.Code != 0) {
        Warn(QStringLiteral("Cant Perform Operation,Please try again!"));
        ShowStatus(error.Text);
        return;
    }
    ShowStatus(error.Text + QLatin1Char('!'));
    const Row &row = RowOf(m_kind);
    Wait(QLatin1String(row.firstWait), 5);
    KxSelectCommand(m_upgrade, m_upgCom, QLatin1String(row.command));
    // Armed as the command goes out: its answer comes while the second wait is on
    // screen, and a certificate or key upload before it must not have new firmware
    // left inactive with no word to the user.
    if (row.secondWait)
        m_restartArmed = true;
    ExpectDevice(m_tfpSrv->text(), m_remoteFile->text());
    Guard([this] { m_upgrade->SetFromControls(true, true); });
    if (row.secondWait) {
        Wait(QLatin1String(row.secondWait), row.secondCountdown);
    } else {
        m_restartArmed = false;
        EnableKeyRow(m_kind == Certificate);
    }
}

void TFM_Firmware::UpgradeCommandComplete(const KxSNMPError &error)
{
    if (error.Code != 0) {
        ShowStatus(error.Text);
        return;
    }
    m_commandTaken = true;
    m_commandText = error.Text;
    Proceed();
}

void TFM_Firmware::TransferEnded()
{
    Proceed();
}

// A device that takes the command has not yet got the file: only once the server has
// seen it go out whole is the device restarted and the upload called a success, whether
// the device answers the command before its transfer or after it.
void TFM_Firmware::Proceed()
{
    if (!m_commandTaken || TransferOutcome() == Outcome::Pending)
        return;
    m_commandTaken = false;
    if (TransferOutcome() == Outcome::Failed) {
        m_restartArmed = false;
        if (!FailureTold()) {
            const QString text = QStringLiteral("The device could not fetch \"%1\": %2").arg(m_remoteFile->text(), FailureText());
            ShowStatus(text);
            Warn(text);
        }
        return;
    }
    if (m_restartArmed) {
        Restart();
        return;
    }
    if (m_kind == Certificate) {
        Warn(QStringLiteral("Update SSL success!"));
        m_certificate->clear();
    } else if (m_kind == Key) {
        Warn(QStringLiteral("Update KEY success!"));
        m_key->clear();
    }
}

void TFM_Firmware::Restart()
{
    ShowStatus(m_commandText + QLatin1Char('!'));
    KxSelectCommand(m_upgrade, m_upgCom, QStringLiteral("Reboot"));
    m_restartArmed = false;
    m_restartCheck.Arm();
    bool issued = false;
    Guard([&] { issued = m_upgrade->SetFromControls(true, true); });
    if (!issued) {
        Dialogs().ShowMessage(this, QStringLiteral("Set error!"));
        return;
    }
    Wait(QStringLiteral("Device is restarting..."), 60);
    setEnabled(true);
    m_restartCheck.Check(m_kind == Firmware,
                         [this](KxRestartCheck::Result result, const QString &text) { Restarted(result, text); });
}

// Success only for a device that came back from a restart; the status line keeps what
// it now reports.
void TFM_Firmware::Restarted(KxRestartCheck::Result result, const QString &text)
{
    ShowStatus(text);
    if (result != KxRestartCheck::Restarted)
        Warn(text);
    else if (m_kind == Firmware)
        Warn(QStringLiteral("Update firmware success!"));
    else if (m_kind == LanguagePack)
        Warn(QStringLiteral("Update language file success!"));
}
