#include "KxTransferScreen.h"

#include "KxErrors.h"
#include "TFM_Waiting.h"
#include "KxHostWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>

namespace {

#define TFTP_ROOT "1.3.6.1.4.1.32473.2.5.9.4.3.2"

const KxIntOption kTransferCommands[] = {{2, "Get"}, {3, "Put"}, {4, "Nothing"}, {0, nullptr}};
const KxIntOption kUpgradeCommands[] = {
    {1, "Firmwareupdate"}, {2, "configSetting"}, {3, "Configsave"}, {4, "Reboot"},
    {6, "Nothing"}, {7, "certificateFileUpdate"}, {8, "keyFileUpdate"}, {0, nullptr}};
const KxOptionList &transferCommands() { static const KxOptionList list(kTransferCommands); return list; }
const KxOptionList &upgradeCommands() { static const KxOptionList list(kUpgradeCommands); return list; }

const KxSNMPVarDesc kAddress[] = {
    {TFTP_ROOT ".1", "tftpServerIPAddress", KxSyntax::IpAddress, KxAccess::ReadWrite},
    {TFTP_ROOT ".2", "tftpRemoteFileName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};
const KxSNMPVarDesc kTransferCommand[] = {
    {TFTP_ROOT ".4", "tftpcommand", KxSyntax::Integer, KxAccess::ReadWrite, &transferCommands()},
    {nullptr},
};
const KxSNMPVarDesc kUpgradeCommand[] = {
    {TFTP_ROOT ".5", "tftpUpgradeSettingCommand", KxSyntax::Integer, KxAccess::ReadWrite, &upgradeCommands()},
    {nullptr},
};

} // namespace

const KxSNMPVarDesc *KxTransferScreen::AddressObjects() { return kAddress; }
const KxSNMPVarDesc *KxTransferScreen::TransferCommandObjects() { return kTransferCommand; }
const KxSNMPVarDesc *KxTransferScreen::UpgradeCommandObjects() { return kUpgradeCommand; }

std::function<void()> KxTransferScreen::EndModule = [] { QCoreApplication::exit(1); };
int KxTransferScreen::ConnectWaitMs = 20000;

KxTransferScreen::KxTransferScreen(const QString &objectName, const QString &caption, QWidget *parent)
    : KxScreen(objectName, caption, parent)
{
    m_connectWait.setSingleShot(true);
    connect(&m_connectWait, &QTimer::timeout, this, &KxTransferScreen::NoConnection);
}

KxTransferScreen::~KxTransferScreen() = default;

quint16 KxTransferScreen::TftpPort()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("RWN3460_TFTP_PORT", &ok);
    return ok && port > 0 && port <= 65535 ? quint16(port) : quint16(69);
}

bool KxTransferScreen::StartServer(int timeout, KxTFTPHandler handler)
{
    try {
        auto server = std::make_unique<KxTFTPServer>(this);
        server->SetTimeout(timeout, 3);
        server->SetOnMessage(
            [this, handler = std::move(handler)](QObject *owner, const KxTFTPMsg &msg, bool &cancel) {
                Observe(msg);
                if (handler)
                    handler(owner, msg, cancel);
            },
            this);
        server->Start(QString(), TftpPort());
        m_server = std::move(server);
        return true;
    } catch (const KxException &e) {
        Dialogs().ShowMessage(this, QStringLiteral("TFTP Service Init Error:") + e.Text());
        if (EndModule)
            EndModule();
    }
    return false;
}

std::optional<QString> KxTransferScreen::ServeFolderOf(const QString &path, QLineEdit *serverEdit)
{
    serverEdit->clear();
    if (!m_server || !FindLocalAddress(serverEdit))
        return std::nullopt;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        Warn(QStringLiteral("The file path is error."));
        return std::nullopt;
    }
    // A file in the root folder: its folder is "/", not the empty current folder.
    const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    try {
        m_server->Start(folder, TftpPort());
    } catch (const KxException &e) {
        ShowStatus(e.Text());
        return std::nullopt;
    }
    serverEdit->setText(serverEdit->text().trimmed());
    return path.mid(slash + 1);
}

void KxTransferScreen::Warn(const QString &text)
{
    Dialogs().MessageBox(this, text, QStringLiteral("Warning"));
}

void KxTransferScreen::Wait(const QString &text, int countdown)
{
    TFM_Waiting waiting(this);
    waiting.SetLines(text, QString());
    waiting.Countdown = countdown;
    waiting.SendRestartCommand = false;
    if (!m_progress.isEmpty())
        waiting.SetProgress(m_progress);
    m_waiting = &waiting;
    Dialogs().RunModal(&waiting);
}

void KxTransferScreen::ExpectDevice(const QString &pcAddress, const QString &fileName)
{
    m_expectedAddress = pcAddress;
    m_expectedFile = fileName;
    m_failureText.clear();
    m_failureTold = false;
    m_outcome = Outcome::Pending;
    m_connectWait.start(ConnectWaitMs);
    if (m_server)
        m_progress = QStringLiteral("waiting for the device to connect to %1 port %2").arg(pcAddress).arg(m_server->Port());
    if (m_waiting)
        m_waiting->SetProgress(m_progress);
}

void KxTransferScreen::FollowIn(TFM_Waiting *notice)
{
    m_waiting = notice;
    if (notice && !m_progress.isEmpty())
        notice->SetProgress(m_progress);
}

// The first end after the device was told to come decides; the owner hears of it from
// the event loop, never from inside the server's report.
void KxTransferScreen::Conclude(Outcome outcome, const QString &failure)
{
    if (m_outcome != Outcome::Pending)
        return;
    m_outcome = outcome;
    m_failureText = failure;
    m_connectWait.stop();
    QTimer::singleShot(0, this, [this] { TransferEnded(); });
}

void KxTransferScreen::Observe(const KxTFTPMsg &msg)
{
    if (msg.Code == KxTFTPCode::Connected) {
        m_progress = QStringLiteral("the device is connected");
    } else if (msg.Code == KxTFTPCode::Transferring) {
        // A file the device reads has a known size; one it writes only its count so far.
        const qint64 size = msg.Operation == 1 && m_server
                                ? QFileInfo(m_server->Directory() + msg.FileName).size() : 0;
        m_progress = size > 0 ? QStringLiteral("%1 of %2 bytes (%3%)")
                                    .arg(msg.TotalBytes).arg(size).arg(msg.TotalBytes * 100 / size)
                              : QStringLiteral("%1 bytes").arg(msg.TotalBytes);
    } else if (msg.Code == KxTFTPCode::Success) {
        m_progress = QStringLiteral("received");
    } else if (msg.Code < 0) {
        m_progress = msg.Text;
    }
    if (m_waiting && !m_progress.isEmpty())
        m_waiting->SetProgress(m_progress);
    if (msg.Code == KxTFTPCode::Connected)
        m_connectWait.stop();
    const bool expected = m_outcome == Outcome::Pending && msg.FileName == m_expectedFile;
    if (expected && msg.Code == KxTFTPCode::Success)
        Conclude(Outcome::Received);
    else if (expected && msg.Code < 0)
        Conclude(Outcome::Failed, msg.Text);
    // A device that stops answering mid-transfer: how far it got tells a full flash or
    // a dropped link from a file that never started.
    if (msg.Code == KxTFTPCode::Timeout) {
        const QString text = QStringLiteral("The transfer of \"%1\" stalled after %2 bytes: the device %3 no more.")
                                 .arg(msg.FileName)
                                 .arg(msg.TotalBytes)
                                 .arg(msg.Operation == 1 ? QStringLiteral("acknowledged") : QStringLiteral("sent"));
        if (expected)
            m_failureTold = true;
        Stalled(text);
    }
}

void KxTransferScreen::Stalled(const QString &text)
{
    ShowStatus(text);
    Dialogs().ShowMessage(this, text);
}

void KxTransferScreen::NoConnection()
{
    if (!m_server)
        return;
    const QString port = QString::number(m_server->Port());
    const QString text =
        QStringLiteral("The device did not connect to the TFTP server at %1 port %2 within %3 seconds. "
                       "Likely causes: a firewall on this PC blocks UDP to port %2; the PC address %1 "
                       "is on another network than the device's; UDP port %2 is not available on this PC.")
            .arg(m_expectedAddress, port)
            .arg((ConnectWaitMs + 999) / 1000);
    ShowStatus(text);
    m_failureTold = true;
    Dialogs().ShowMessage(this, text);
    Conclude(Outcome::Failed, text);
}

void KxTransferScreen::Shutdown(std::initializer_list<KxSNMPRequest2Edits *> requests)
{
    m_connectWait.stop();
    for (KxSNMPRequest2Edits *request : requests) {
        if (request)
            request->Request.Enabled = false;
    }
    if (m_server) {
        m_server->SetOnMessage({}, nullptr);
        m_server->Stop();
        m_server.reset();
    }
}

void KxSelectCommand(KxSNMPRequest2Edits *request, QComboBox *box, const QString &text)
{
    request->VarList()[0].OptionList->Select(box, text);
}
