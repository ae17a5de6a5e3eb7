// 'Tools \ System': restart the device, or put it back to its factory settings.
#pragma once

#include <QDialog>

#include <memory>

class KxSNMPRequest2Edits;
class QComboBox;
class QStatusBar;

class TFM_Sytem : public QDialog {
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
    QStatusBar *m_status;
    std::unique_ptr<KxSNMPRequest2Edits> m_request;
};
