// 'Home \ LAN': how the device gets its own address, static or by DHCP. A change is
// written with the device's "apply" command, so it takes effect at once.
#pragma once

#include "KxScreen.h"

class QComboBox;
class QLabel;

class TFM_LanCfg : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_LanCfg(QWidget *parent = nullptr);

    void CB_IPFromChange();
    void BT_LanCfgOkClick(); // Apply

    // The item of 'Get IP From' right after the addresses were read (0 when that failed).
    int ModeAsRead() const { return m_modeAsRead; }

private:
    bool InputValid();
    // Selects "apply", runs the writes under the waiting notice and reports their outcome.
    void WriteWithNotice(const std::function<bool()> &writes);
    bool Write(KxSNMPRequest2Edits *request);

    QComboBox *m_ipFrom;
    QLineEdit *m_address;
    QLineEdit *m_mask;
    QLineEdit *m_gateway;
    QComboBox *m_apply;
    QList<QWidget *> m_addressRows;
    KxSNMPRequest2Edits *m_modeRequest = nullptr;
    KxSNMPRequest2Edits *m_addressRequest = nullptr;
    KxSNMPRequest2Edits *m_applyRequest = nullptr;
    int m_modeAsRead = 0;
};
