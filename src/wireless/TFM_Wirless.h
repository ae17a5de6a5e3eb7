// 'Home \ Wireless': band, application, mode, SSID and channel of the radio; in the WDS
// modes the remote access points, in client mode the site survey's networks and the
// MAC address the client presents. The security section and the whole Save build on
// the checks and marks offered here.
#pragma once

#include "KxSaveWait.h"
#include "KxScreen.h"

#include <array>

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

    QString LoadedApMode() const { return m_loadedApMode; }
    bool Surveying() const { return m_surveying; }

    void reject() override;

private:
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
