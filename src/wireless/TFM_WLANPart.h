// 'Advanced \ WLAN Partition': whether broadcast traffic from the Ethernet side reaches
// the radio, link integrity, and per SSID whether its stations may reach each other.
#pragma once

#include "KxScreen.h"

#include <array>

class KxRadioGroup;
class QCheckBox;
class QComboBox;
class QPushButton;

class TFM_WLANPart : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_WLANPart(QWidget *parent = nullptr);
    ~TFM_WLANPart() override;

    void Chkbox_MulssidStatusClick();
    void CB_WLANAccessChange();
    void Btn_ApplyClick();

    // The radio items, by device value: 0, 1, 2.
    static QStringList StationItems();

private:
    void BuildForm();
    void CreateRequests();
    void Load();
    void ArrangeByMode();
    void ApplyDone(const KxSNMPError &error);

    QComboBox *m_band, *m_access, *m_link;
    std::array<KxRadioGroup *, 8> m_groups{};
    std::array<QComboBox *, 8> m_stations{};
    QComboBox *m_apMode, *m_applySetting;
    QCheckBox *m_mssid;
    QPushButton *m_apply;
    KxSNMPRequest2Edits *m_bandRequest = nullptr, *m_modeRequest = nullptr, *m_mssidRequest = nullptr;
    KxSNMPRequest2Edits *m_partition = nullptr, *m_applyRequest = nullptr;
    // The values on screen came from the device: only then may Apply write them back.
    bool m_read = false;
    bool m_partitionWritten = false;
};
