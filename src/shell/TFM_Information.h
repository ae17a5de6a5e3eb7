// 'Home \ Information': the device's system group; contact, name and location can be changed.
#pragma once

#include "KxScreen.h"

class TFM_Information : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Information(QWidget *parent = nullptr);

    void Btn_ReClick(); // Refresh
    void Btn_SaClick(); // Save

private:
    QLineEdit *m_contact;
    QLineEdit *m_name;
    QLineEdit *m_location;
    KxSNMPRequest2Edits *m_request = nullptr;
};
