// 'Advanced \ Performance': the radio's advanced settings - radio on/off, wireless mode
// and data rate, beacon and DTIM intervals, transmit power, WMM, short guard interval,
// IGMP snooping, the connection limit and the ACK time-out. What may be changed and
// what a save sends follow the band and the access point mode read from the device.
#pragma once

#include "KxSaveWait.h"
#include "KxScreen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TFM_Performace : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Performace(QWidget *parent = nullptr);
    ~TFM_Performace() override;

    void Bt_Refresh_aClick();
    void Bt_Apply_aClick();
    void CB_WMode1Change();
    void CB_WMode2Change();
    void CB_GroupingChange();

    void ShowPerfWait() { m_wait.Show(); }
    void ClosePerfWait() { m_wait.Close(); }

    // Variables of PerformanceRequest.
    enum Var {
        Beacon, Dtim, Power, Wmm, ShortGi, Igmp, RadioWave, DataRate, LoadBalance, UserLimit, Link, Ack,
        RateList24, Utilization, RateList5
    };

private:
    void BuildForm();
    void CreateRequests();
    void ReadWifiMode();
    void ModeChange(QComboBox *list);
    void FillRateList(bool best300);
    void ArrangePerformance();
    void CountryRule();
    bool Checks();
    bool RangeCheck(QLineEdit *field, int from, int to, const QString &text, bool emptyFails, bool focus = false);
    void MarkForSave();
    bool Band5() const;
    int ApMode() const;
    QComboBox *BandList() const;

    QTabWidget *m_page;
    QComboBox *m_radio, *m_wMode1, *m_wMode2, *m_rate, *m_power, *m_wmm, *m_shortGi, *m_igmp, *m_grouping, *m_network;
    QLineEdit *m_beacon, *m_dtim, *m_userLimit, *m_ack;
    QLabel *m_ackLabel;
    QPushButton *m_applyButton, *m_refreshButton;
    // Hidden value carriers.
    QLineEdit *m_dataRate, *m_list24, *m_list5, *m_country;
    QComboBox *m_link, *m_authentication, *m_encryption, *m_cipher, *m_apMode, *m_width, *m_band;

    KxSNMPRequest2Edits *m_countryRequest = nullptr, *m_authRequest = nullptr, *m_cipherRequest = nullptr;
    KxSNMPRequest2Edits *m_performance = nullptr, *m_apModeRequest = nullptr, *m_widthRequest = nullptr;
    KxSNMPRequest2Edits *m_bandRequest = nullptr, *m_wifiMode = nullptr;
    KxSaveWait m_wait;
    // Everything a save writes back was read: unread, each combo would send 0.
    bool m_read = false;
};
