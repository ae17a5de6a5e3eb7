// 'Status \ Log \ Log Setting': what the device logs, the log server it sends log
// messages to, and whether and how it mails its log.
#pragma once

#include "KxScreen.h"

class QCheckBox;
class QComboBox;

class TLogSetForm : public KxScreen {
    Q_OBJECT

public:
    explicit TLogSetForm(QWidget *parent = nullptr);
    ~TLogSetForm() override;

    void Bt_ApplyClick();

    // A mail address as the device takes it; refusing shows the box, empties the edit
    // and gives it the focus.
    bool CheckMailAddress(QLineEdit *edit, bool sender);
    // Letters, digits, "_", "-" and "." with no two marks together and none at an end.
    static bool IsValidMailPart(const QString &text);

private:
    void BuildControls();
    void BuildRequests();
    void Read();
    void ApplyMailRule();
    bool RefuseAddress(QLineEdit *edit);
    void SetMailAccess(bool on);

    QLineEdit *m_logServer;
    QCheckBox *m_system;
    QCheckBox *m_wireless;
    QCheckBox *m_notice;
    QCheckBox *m_mailOn;
    QLineEdit *m_from;
    QLineEdit *m_to;
    QLineEdit *m_mailServer;
    QLineEdit *m_port;
    QLineEdit *m_userName;
    QLineEdit *m_password;
    QLineEdit *m_confirm;
    QComboBox *m_schedule;
    QLineEdit *m_scheduleText;
    KxSNMPRequest2Edits *m_settings = nullptr;
    KxSNMPRequest2Edits *m_account = nullptr;
    KxSNMPRequest2Edits *m_scheduleRequest = nullptr;
    KxSNMPRequest2Edits *m_mail = nullptr;
};
