// 'Status \ WDS Information': the WDS peers of the access point, as the device gathers
// them when asked, with the channel the radio works on.
#pragma once

#include "KxGather.h"
#include "KxScreen.h"

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TFM_WDSInfo : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_WDSInfo(QWidget *parent = nullptr);
    ~TFM_WDSInfo() override;

    void Btn_RefreshClick();

private:
    void BuildRequests();
    void BuildWdsList();

    QLabel *m_channel;
    QLabel *m_band;
    QTreeWidget *m_peers;
    QTreeWidget *m_wds;
    QComboBox *m_encryption;
    QComboBox *m_trigger;
    QPushButton *m_refresh;
    KxSNMPRequest2Edits *m_table = nullptr;
    std::unique_ptr<KxGather> m_gather;
};
