// 'Home \ Wireless': band, application, mode, SSID and channel of the radio; in the WDS
// modes the remote access points, in client mode the site survey's networks and the
// MAC address the client presents. The security section and the whole Save build on
// the checks and marks offered here.
#pragma once

#include "KxSaveWait.h"
#include "KxScreen.h"

#include "WirlessSecurityTables.h"

#include <array>
#include <vector>

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

class TFM_Wirless : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Wirless(QWidget *parent = nullptr);
    ~TFM_Wirless() override;

    // Handlers, named after their controls.
    void Bt_RefreshClick();
    void CB_BandChange();
    void CB_ApplicaitonChange();
    void CB_APModeChange();
    void CB_AuScClick();
    void CB_ChanalChange();
    void SiteScanClick();
    void LV_ClientSiteServeyClick();
    void LV_WdsSiteServeyClick();
    void Cbox_StatusChange();
    void Cbox_MacSourceChange();
    void Bt_CloneScanClick();
    void LV_MacCloneClick();
    // The security section.
    void CB_SecurityModeChange();
    void CB_dot11EncryptionChange();
    void CB_DefaultKeyChange();
    void CB_KeyType1Change();
    void CB_WepEncryp1Change();
    void Cbox_RadiusSerChange();
    void CB_AccountModeChange();
    void Bt_ApplyClick();

    // Operations the Save builds on.
    void BuildChannelList();
    void FillApplicationList();
    void ArrangeSections();
    void ShowSaveWait() { m_wait.Show(); }
    void CloseSaveWait() { m_wait.Close(); }
    bool SaveWaitShown() const { return m_wait.IsShown(); }
    // The item of `CB_App` for the application picked, for a save with country "JP".
    int ApplicationValueItem() const;
    // The WDS branch: every check of the remote MAC fields (false, with its message,
    // when one fails or the device's list was never read), then the device's list
    // emptied and refilled from the fields in field order.
    bool RemoteMacChecks();
    bool WriteRemoteMacs();
    // The client branch: the clone address checks, and the two pairs of clone writes.
    bool CloneChecks();
    bool WriteCloneFirstPair();
    bool WriteCloneSecondPair();

    // Device value -> choices, choices -> device value.
    void ShowSecurity();
    bool StoreSecurity();
    // With `include` every variable a save may write is marked read-write, else excluded.
    void SetSaveMarks(bool include);

    QString LoadedApMode() const { return m_loadedApMode; }
    QString LoadedSecurityText() const { return m_loadedSecurityText; }
    bool Surveying() const { return m_surveying; }

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The security section (TFM_WirlessSecurity.cpp, its controls TFM_WirlessSecurityForm.cpp).
    void BuildSecuritySections(QWidget *page);
    void BuildKeySection(QWidget *page);
    void BuildPassphraseSection(QWidget *page);
    void BuildRadiusPart(QFormLayout *form);
    void CreateSecurityRequests();
    void LoadSecurity(bool radiusToo);
    void ArrangeSecurity();
    void ShowVariant(WirlessSecurity::Variant variant);
    void FillCipherList();
    void KeyLengths();
    void ShowKeyRow();
    void VlanWarning(bool show);
    int RememberedGroup() const;
    int DefaultKeyRow() const; // 1 to 4
    WirlessSecurity::Group SecurityGroup() const;
    // The save (TFM_WirlessSave.cpp).
    bool SsidChecks();
    bool SecurityChecks(WirlessSecurity::Choice choice);
    bool WepChecks();
    bool IntervalCheck(QLineEdit *field);
    bool PassphraseChecks();
    bool RadiusChecks();
    void MarkMode();
    void MarkSecurity(WirlessSecurity::Choice choice);
    void MarkRadius(WirlessSecurity::Choice choice);
    void MarkRemoteMacs();
    bool SaveWrites(WirlessSecurity::Choice choice);
    bool SaveWarn(const QString &text, const QString &title, QLineEdit *focus, bool clear = false);
    std::vector<KxSNMPRequest2Edits *> MarkedRequests() const;

    void BuildForm();
    QWidget *BuildRadioSection(QFormLayout *form);
    void BuildPeerSections();
    void CreateRequests();
    void Load();
    void LoadRadio();
    void LoadPeers();
    void LoadClone();
    void ApplyCountryLayout();
    void RebuildModeList();
    QString Mode() const;
    bool WdsMode() const;
    bool ClientMode() const;
    bool WirelessModeAtItem1() const;
    void ForceWidth(int item);

    // Part of the WDS and survey sections.
    void RemoteMacDisplayRule();
    void PeersRead(const KxSNMPError &error);
    void TakeOverBssid(const QString &bssid);
    void TakeOverSurveyRow(QTreeWidget *list);
    void SurveyButtons(bool enabled);
    void SurveyTriggered(const KxSNMPError &error);
    void SurveyRead();
    bool ModeChangePending() const;
    bool WriteSync(KxSNMPRequest2Edits *request);
    bool WriteCloneSource();
    void MarkCloneFirstPair();
    void MarkCloneSecondPair();

    QTabWidget *m_page;
    QComboBox *m_band, *m_application, *m_mode, *m_ssidBroadcast, *m_autoScan, *m_channel, *m_width;
    QComboBox *m_securityMode;
    QLineEdit *m_ssid;
    QLabel *m_applicationLabel = nullptr;
    QFormLayout *m_radioForm = nullptr;
    QPushButton *m_save, *m_refresh, *m_close;
    QGroupBox *m_wdsBox, *m_surveyBox, *m_cloneBox;
    std::array<QLineEdit *, 8> m_peers{};
    QTreeWidget *m_peerList, *m_clientSurvey, *m_wdsSurvey, *m_cloneList;
    QPushButton *m_scan, *m_cloneScan;
    QComboBox *m_cloneStatus, *m_cloneSource;
    QLineEdit *m_cloneMac;

    // Hidden value carriers.
    QLineEdit *m_deviceChannel, *m_listA, *m_listG, *m_listW, *m_indoorWds, *m_indoor, *m_outdoor, *m_country;
    QLineEdit *m_modeChange;
    QComboBox *m_app, *m_wMode1, *m_wMode2, *m_multEnable, *m_vlanStatus, *m_applySetting;
    QComboBox *m_removeMac, *m_siteScan, *m_wdsSiteScan, *m_cloneScanTrigger;
    QTreeWidget *m_mssidList;

    KxSNMPRequest2Edits *m_radio = nullptr, *m_gLists = nullptr, *m_wifiMode = nullptr, *m_mssidState = nullptr;
    KxSNMPRequest2Edits *m_apply = nullptr, *m_vlanState = nullptr, *m_mssidTable = nullptr;
    KxSNMPRequest2Edits *m_modeStatus = nullptr, *m_countryRequest = nullptr, *m_applicationRequest = nullptr;
    KxSNMPRequest2Edits *m_indoorWdsRequest = nullptr, *m_indoorRequest = nullptr, *m_outdoorRequest = nullptr;
    KxSNMPRequest2Edits *m_peerAdd = nullptr, *m_peerRead = nullptr, *m_peerDeleteAll = nullptr;
    KxSNMPRequest2Edits *m_surveyRefresh = nullptr, *m_surveyList = nullptr;
    KxSNMPRequest2Edits *m_wdsRefresh = nullptr, *m_wdsList = nullptr;
    KxSNMPRequest2Edits *m_cloneStatusRequest = nullptr, *m_cloneScanRequest = nullptr;
    KxSNMPRequest2Edits *m_cloneSourceRequest = nullptr, *m_cloneListRequest = nullptr;

    // Security controls.
    QGroupBox *m_keyBox = nullptr, *m_passBox = nullptr;
    QWidget *m_radiusPart = nullptr;
    QFormLayout *m_passForm = nullptr, *m_radiusForm = nullptr;
    QComboBox *m_encryption, *m_defaultKey, *m_wpaMode, *m_cipherType, *m_netProtect, *m_radiusSer, *m_accountMode;
    std::array<QComboBox *, 4> m_keyType{}, m_keySize{};
    std::array<QLineEdit *, 4> m_key{};
    QLineEdit *m_confirmKey, *m_updateInterval, *m_update2, *m_passphrase, *m_confirmPass;
    QLabel *m_intervalLabel = nullptr;
    QWidget *m_intervalRow = nullptr;
    QLineEdit *m_radiusServer, *m_radiusPort, *m_radiusSecret, *m_backServer, *m_backPort, *m_backSecret;
    QLineEdit *m_accountServer, *m_accountPort, *m_accountSecret;
    QLineEdit *m_backAccountServer, *m_backAccountPort, *m_backAccountSecret;
    QComboBox *m_authentication, *m_clipher;
    KxSNMPRequest2Edits *m_auth = nullptr, *m_passphraseRequest = nullptr, *m_radiusRequest = nullptr;
    std::array<KxSNMPRequest2Edits *, 4> m_wepKey{};
    QString m_loadedSecurityText;
    QString m_loadedGroupKeyInterval;
    std::array<int, 3> m_rememberedSecurity{0, 0, 0}; // "WDS with AP", "WDS", any other mode
    bool m_vlanWarningShown = false;

    KxSaveWait m_wait;
    QString m_loadedApMode;
    int m_loadedSsidVisibility = 0;
    int m_lastChannelIndex = 0;
    bool m_reloading = false;
    bool m_wifiModeBand = false; // the band m_wifiMode reads for (true: 5 GHz)
    // The device's WDS list has been read since the screen opened: only then do the
    // fields stand for it, and may a save replace it with them.
    bool m_peersRead = false;
    bool m_surveying = false;
    // The mode a running survey was started in: its table is the one to read.
    bool m_surveyWds = false;
};
