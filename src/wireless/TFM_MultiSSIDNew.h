// 'Advanced \ Multi-SSID': the device's multi-SSID switch and the seven additional SSIDs
// of the current band, each with its name, visibility, WMM, priority and security, and
// for the enterprise modes its RADIUS and accounting servers (primaries in rows n of
// their tables, backups in rows n + 8).
#pragma once

#include "KxSaveWait.h"
#include "KxScreen.h"

#include "WirlessSecurityTables.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFM_MultiSSIDNewForm : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_MultiSSIDNewForm(QWidget *parent = nullptr);
    ~TFM_MultiSSIDNewForm() override;

    // Handlers, named after their controls.
    void IfEnabMuSSIDClick();
    void Chk_MultiPriClick();
    void CB_IndexChange();
    void LV_MultiSSID_UserClick();
    void CB_SSIDSecurityModeChange();
    void CB_SecurityModeChange();
    void CB_MssidEncryptionChange();
    void Cbox_MultiRadserChange();
    void CB_AccountModeChange();
    void AddButtonClick();
    void DelButtonClick();
    void ApplyBtnClick();

    void ShowSecurity();
    bool StoreSecurity();
    void StoreCipher();
    void ArrangeSections(bool primary);
    void SetSaveMarks(bool include);
    void ShowSaveWait() { m_wait.Show(); }
    void CloseSaveWait() { m_wait.Close(); }
    bool SaveWaitShown() const { return m_wait.IsShown(); }
    void BuildUserList();
    static QString EncryptionText(const QString &authentication, bool encrypted);
    void EnableSsidControls(bool enable);
    void SetKeyLengths();
    void KeySizeFromLength();
    void SetInputLengths();
    void CopyBackupRadius(int n);
    void CopyBackupAccounting(int n);

    // The table row the SSID picked in `CB_Index` stands for.
    int SelectedRow() const;

private:
    // The controls (TFM_MultiSSIDNewForm.cpp).
    void BuildForm();
    void BuildSettings();
    void BuildKeySection();
    void BuildPassSection();
    void BuildRadiusGroup();
    void BuildUserSection();
    void CreateRequests();
    void Load();
    void TableRead(const KxSNMPError &error);
    void TableWritten(const KxSNMPError &error);
    void ReadServers();
    bool ApModeIsWdsOrClient() const;
    WirlessSecurity::Group SecurityGroup() const;
    void FillCipherList();
    void SetSection(QWidget *section, bool visible);

    // The Add (TFM_MultiSSIDNewSave.cpp).
    bool Warn(const QString &text, const QString &title, QLineEdit *focus, bool clear = false);
    bool RowsExist(int n) const;
    bool SsidChecks();
    bool CheckDuplicateSsid();
    bool CheckWepKey();
    bool CheckHexKey();
    bool WepChecks();
    bool PassphraseChecks();
    bool IntervalCheck(QLineEdit *field);
    bool ServerChecks(QLineEdit *server, QLineEdit *port, QLineEdit *secret);
    bool RadiusChecks();
    bool AccountingChecks();
    bool WriteRadius(int n);
    bool WriteAccounting(int n);
    void SharedKeyNotice();
    void MarkSsid(std::initializer_list<int> variables);
    bool WriteSsid();
    bool WriteApModeIfNeeded();
    void SelectRow(QTreeWidget *list, int row);
    int Security() const;

    QCheckBox *m_enable, *m_priorityOn;
    QComboBox *m_index, *m_band, *m_broadcast, *m_security, *m_wmm, *m_priority;
    QLineEdit *m_ssid;
    QGroupBox *m_settingsBox, *m_keyBox, *m_passBox, *m_userBox;
    QWidget *m_radiusGroup = nullptr, *m_wpaRow = nullptr, *m_cipherRow = nullptr, *m_passRow = nullptr;
    QWidget *m_confirmPassRow = nullptr;
    QLabel *m_intervalLabel = nullptr;
    QComboBox *m_encryption, *m_keySize, *m_keyType, *m_defaultKey;
    QLineEdit *m_key, *m_confirmKey;
    QComboBox *m_wpaMode, *m_cipherType, *m_radiusSer, *m_accountMode;
    QLineEdit *m_updateInterval, *m_keyUpdate, *m_passphrase, *m_confirmPass;
    QLineEdit *m_radiusServer, *m_radiusPort, *m_radiusSecret, *m_backServer, *m_backPort, *m_backSecret;
    QLineEdit *m_accountServer, *m_accountPort, *m_accountSecret;
    QLineEdit *m_backAccountServer, *m_backAccountPort, *m_backAccountSecret;
    QTreeWidget *m_userList;
    QPushButton *m_add, *m_delete, *m_applyButton, *m_cancel;

    // Hidden value carriers.
    QComboBox *m_idvState, *m_authentication, *m_clipher, *m_apMode, *m_applySetting;
    QLabel *m_ifIndex, *m_ssidIndex;
    QTreeWidget *m_ssidList, *m_radiusList, *m_accountList;

    KxSNMPRequest2Edits *m_applyRequest = nullptr, *m_apModeRequest = nullptr, *m_bandRequest = nullptr;
    KxSNMPRequest2Edits *m_switchRequest = nullptr, *m_tableRequest = nullptr;
    KxSNMPRequest2Edits *m_radiusRequest = nullptr, *m_accountRequest = nullptr;

    KxSaveWait m_wait;
    bool m_inUserListClick = false;
};
