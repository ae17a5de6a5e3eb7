// 'Tools \ Configuration File': the device writes its configuration into a file on the
// PC (backup) or reads one from the PC and takes its settings (restore), both through
// the module's own TFTP server.
#pragma once

#include "KxTransferScreen.h"

#include <QSet>
#include <QTimer>

class TFM_Waiting;

class TFM_CfgFile : public KxTransferScreen {
    Q_OBJECT

public:
    explicit TFM_CfgFile(QWidget *parent = nullptr);
    ~TFM_CfgFile() override;

    void Bt_BrowseClick();
    void Bt_SavBrwClick();
    void Bt_OKClick();     // restore
    void Bt_UploadClick(); // backup

    bool BackupMode() const { return m_backupMode; }
    // Milliseconds a backup waits for the device's file after it accepted the command.
    // A device may assemble its configuration for a while: never less than 30 s, and
    // never less than the server's whole retry time.
    int ArrivalWait = 30000;

protected:
    // Its own message says the backup was not saved: the status line says why.
    void Stalled(const QString &text) override { ShowStatus(text); }

private:
    void BuildGroups();
    void BuildRequests();
    void ShowNotice();
    void CloseNotice();
    void TransferCommandComplete(const KxSNMPError &error);
    void UpgradeCommandComplete(const KxSNMPError &error);
    void Failed();
    // The backup's file, as the server reports on it.
    void OnTransfer(const KxTFTPMsg &msg);
    void DecideBackup();

    QLineEdit *m_upgFile;
    QLineEdit *m_saveFile;
    QLineEdit *m_tfpSrv;
    QComboBox *m_tfpCom;
    QComboBox *m_upgCom;
    KxSNMPRequest2Edits *m_address = nullptr;
    KxSNMPRequest2Edits *m_transfer = nullptr;
    KxSNMPRequest2Edits *m_upgrade = nullptr;
    TFM_Waiting *m_notice = nullptr;
    bool m_backupMode = false;

    // A backup is reported saved only once its file is in the served folder.
    struct Backup {
        bool open = false;        // waiting for its outcome
        QString name;             // the file name the device was given
        bool commandDone = false; // the device accepted the upload command
        bool received = false;
        bool failed = false;
        QSet<int> running; // sessions writing the file
    };
    Backup m_backup;
    bool m_closing = false;
    // A device that accepted the command but never delivers is given up after
    // ArrivalWait.
    QTimer m_arrival;
    // Outcomes are shown from the event loop, never from inside a transfer's report.
    QTimer m_decide;
};
