// 'Tools \ System': restart the device, or put it back to its factory settings.
#pragma once

#include "KxRestartCheck.h"
#include "KxScreen.h"

class QComboBox;

class TFM_Sytem : public KxScreen {
    Q_OBJECT

public:
    explicit TFM_Sytem(QWidget *parent = nullptr);
    ~TFM_Sytem() override;

    void Button1Click(); // Restart
    void Button2Click(); // Restore

private:
    void Command(int send, int drop, QComboBox *box, const QString &choice, const QString &question,
                 const QString &caption, const QString &thirdLine);

    QComboBox *m_restart;
    QComboBox *m_restore;
    KxSNMPRequest2Edits *m_request = nullptr;
    KxRestartCheck m_restartCheck;
};
