// 'Tools \ Firmware': the device fetches a firmware image, an SSL certificate and key,
// or a language pack from the module's own TFTP server and applies it; firmware is
// followed by a restart.
#pragma once

#include "KxRestartCheck.h"
#include "KxTransferScreen.h"

class QComboBox;
class QLabel;
class QPushButton;

class TFM_Firmware : public KxTransferScreen {
    Q_OBJECT

public:
    enum Kind { Firmware = 1, Certificate = 2, Key = 3, LanguagePack = 4 };

    explicit TFM_Firmware(QWidget *parent = nullptr);
    ~TFM_Firmware() override;

    void Bt_OKClick() { Upload(Firmware); }
    void Bt_CUploadClick() { Upload(Certificate); }
    void Bt_KUploadClick() { Upload(Key); }
    void Bt_LpackClick() { Upload(LanguagePack); }

    int UploadKind() const { return m_kind; }
    bool RestartArmed() const { return m_restartArmed; }

private:
    struct Row;
    const Row &RowOf(int kind) const;
    QLineEdit *PathEdit(int kind) const;
    void BuildRows();
    void BuildRequests();
    void Browse(QLineEdit *edit);
    void Upload(int kind);
    bool Check(const Row &row, QLineEdit *edit);
    void TransferCommandComplete(const KxSNMPError &error);
    void UpgradeCommandComplete(const KxSNMPError &error);
    void TransferEnded() override;
    void Proceed();
    void Restart();
    void Restarted(KxRestartCheck::Result result, const QString &text);
    void EnableKeyRow(bool enabled);

    QLineEdit *m_upgFile;
    QLineEdit *m_languageFile;
    QLineEdit *m_certificate;
    QLineEdit *m_key;
    QPushButton *m_keyBrowse;
    QPushButton *m_keyUpload;
    QLineEdit *m_tfpSrv;
    QLineEdit *m_remoteFile;
    QComboBox *m_tfpCom;
    QComboBox *m_upgCom;
    QStatusBar *m_statusBar2;
    KxSNMPRequest2Edits *m_address = nullptr;
    KxSNMPRequest2Edits *m_transfer = nullptr;
    KxSNMPRequest2Edits *m_upgrade = nullptr;
    int m_kind = Firmware;
    bool m_restartArmed = true;
    // The device took the upgrade command; the transfer's end is still to come.
    bool m_commandTaken = false;
    QString m_commandText;
    KxRestartCheck m_restartCheck;
};
