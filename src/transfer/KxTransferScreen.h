// What the screens that move files share: their own TFTP server, the PC address the
// device must reach it on, and the folder it serves for the file at hand.
#pragma once

#include "KxScreen.h"
#include "KxTFTPServer.h"

#include <QPointer>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class TFM_Waiting;

class KxTransferScreen : public KxScreen {
    Q_OBJECT

public:
    ~KxTransferScreen() override;

    KxTFTPServer *Server() const { return m_server.get(); }
    // The UDP port the device is told to use: RWN3460_TFTP_PORT, else 69.
    static quint16 TftpPort();
    // Ends the module when a screen cannot serve files; tests put their own in place.
    static std::function<void()> EndModule;
    // How long a device that accepted a transfer command has to reach the server
    // before the user is told why it probably did not.
    static int ConnectWaitMs;

protected:
    KxTransferScreen(const QString &objectName, const QString &caption, QWidget *parent);

    // The device's TFTP objects, the same for every kind of transfer: the server's
    // address and the file name, the direction ("Get"/"Put"), and the upgrade command.
    static const KxSNMPVarDesc *AddressObjects();
    static const KxSNMPVarDesc *TransferCommandObjects();
    static const KxSNMPVarDesc *UpgradeCommandObjects();

    // Creates and starts the server (timeout in units of 10 ms, 3 sends per block).
    // When the port cannot be opened the module ends after a plain message.
    bool StartServer(int timeout, KxTFTPHandler handler = {});
    // The PC address on the device's network into `serverEdit`, then the path's folder
    // served. The bare file name, or nothing: silently when no address was found, after
    // a warning when the path has no folder.
    std::optional<QString> ServeFolderOf(const QString &path, QLineEdit *serverEdit);
    void Warn(const QString &text);
    // A countdown of the waiting dialog, shown modally without its own restart command.
    void Wait(const QString &text, int countdown);
    // Called first by a closing screen: no answer, status or dialog reaches it any more
    // while the server lets its transfers end.
    void Shutdown(std::initializer_list<KxSNMPRequest2Edits *> requests);
    // The device is about to be told to reach the server at `pcAddress` for `fileName`:
    // unless it connects within ConnectWaitMs, the status line and a message say why it
    // probably did not.
    void ExpectDevice(const QString &pcAddress, const QString &fileName);
    // A transfer stopped part-way; `text` says after how many bytes. By default the
    // status line and a message tell it.
    virtual void Stalled(const QString &text);

    // How the transfer expected since ExpectDevice ended, as the server saw it.
    enum class Outcome { None, Pending, Received, Failed };
    Outcome TransferOutcome() const { return m_outcome; }
    // For a failed one: the server's text, and whether the user was already told why
    // (a stall or a device that never came).
    QString FailureText() const { return m_failureText; }
    bool FailureTold() const { return m_failureTold; }
    // Runs from the event loop once the expected transfer has ended, or has been
    // given up because the device never came.
    virtual void TransferEnded() {}
    // A notice standing for the transfer: its progress line follows the server too.
    void FollowIn(TFM_Waiting *notice);

private:
    void Observe(const KxTFTPMsg &msg);
    void NoConnection();
    void Conclude(Outcome outcome, const QString &failure = {});

    std::unique_ptr<KxTFTPServer> m_server;
    QTimer m_connectWait;
    QString m_expectedAddress;
    QString m_expectedFile;
    QString m_progress;                // the transfer's state as the server sees it
    QPointer<TFM_Waiting> m_waiting;   // the waiting dialog or notice up now, if any
    Outcome m_outcome = Outcome::None;
    QString m_failureText;
    bool m_failureTold = false;
};

// Selects `text` in the combo bound to variable 0 of `request`.
void KxSelectCommand(KxSNMPRequest2Edits *request, QComboBox *box, const QString &text);
