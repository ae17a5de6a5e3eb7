// 'Status \ Client Info': the wireless clients associated with the access point, as the
// device gathers them when asked.
#pragma once

#include "KxGather.h"
#include "KxScreen.h"

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TClientInformation : public KxScreen {
    Q_OBJECT

public:
    explicit TClientInformation(QWidget *parent = nullptr);
    ~TClientInformation() override;

    void Bt_RfrshClick();
    // A detection is under way: the window cannot be closed meanwhile.
    bool Detecting() const { return m_detecting; }

    void done(int result) override;

private:
    void BuildRequests();
    void StartDetection();
    void BuildClientList();
    void ShowCount();

    QLabel *m_count;
    QLabel *m_band;
    QTreeWidget *m_users;
    QTreeWidget *m_clients;
    QComboBox *m_trigger;
    QComboBox *m_bandBox;
    QPushButton *m_refresh;
    KxSNMPRequest2Edits *m_table = nullptr;
    std::unique_ptr<KxGather> m_gather;
    bool m_detecting = true;
};
