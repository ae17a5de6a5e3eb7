// 'Status \ Device Info': a read-only summary of the device, read once when it opens.
#pragma once

#include "KxScreen.h"

class QComboBox;
class QGroupBox;
class QLabel;

// The MAC address `n` above `mac` (12 hex digits as shown). Carrying past the first
// digit gives "000000000000" and sets `overflow`; an empty text stays empty.
QString MacPlus(const QString &mac, int n, bool *overflow = nullptr);

// The 'Security Level' text. `keyMethod` is the item selected for the WEP key entry
// (0 ascii, 1 hex, -1 none) and `key` the WEP key as read.
QString SecurityText(const QString &authentication, bool encryption, const QString &cipher,
                     int keyMethod, const QString &key);

class TFM_DevInfo : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_DevInfo(QWidget *parent = nullptr);

private:
    QString SecondaryMac(int n);

    QLineEdit *m_mac;
    QLineEdit *m_gateway;
    QLineEdit *m_security;
    QLineEdit *m_role;
    QLabel *m_primary;
    QLabel *m_secondary1;
    QLabel *m_secondary7;
    QGroupBox *m_wireless = nullptr;
    QComboBox *m_authentication;
    QComboBox *m_encryption;
    QComboBox *m_cipher;
    QComboBox *m_keyMethod;
    QLineEdit *m_key;
    QComboBox *m_band;
    QComboBox *m_roleBox;
};
