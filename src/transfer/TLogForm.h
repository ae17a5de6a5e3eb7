// 'Status \ Log': the device's log, delivered by the device to the window's own TFTP
// server and shown one row per line; the device can also be told to clear its log.
#pragma once

#include "KxTransferScreen.h"

#include <QSet>
#include <QTemporaryDir>

class QComboBox;
class QListWidget;
class QPushButton;
class QTreeWidget;

// One log line cut into its three columns.
struct KxLogRow {
    QString time;
    QString type;
    QString message;
};
KxLogRow KxCutLogLine(const QString &line);

class TLogForm : public KxTransferScreen {
    Q_OBJECT

public:
    explicit TLogForm(QWidget *parent = nullptr);
    ~TLogForm() override;

    void GetBtnClick();
    void Clear_BtnClick();

    // The name the device is told to deliver its log under.
    static const QString LogFileName;
    // Where the last delivered log is kept: beside the program, or the user's data folder.
    QString LogFilePath() const { return m_logPath; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void BuildRequests();
    void LayOut();
    void FetchComplete(const KxSNMPError &error);
    void GetLogComplete(const KxSNMPError &error);
    void ClearComplete(const KxSNMPError &error);
    void OnTransfer(const KxTFTPMsg &msg, bool &cancel);
    // The fetch's outcome, once the device has answered and no delivery is under way.
    void Decide();
    bool LoadDelivered();
    void ShowRows();

    QWidget *m_outer;
    QWidget *m_inner;
    QWidget *m_buttons;
    QTreeWidget *m_view;
    QPushButton *m_clear;
    QPushButton *m_get;
    QPushButton *m_close;
    QLineEdit *m_server;
    QLineEdit *m_fileName;
    QComboBox *m_getCombo;
    QComboBox *m_clearCombo;
    QListWidget *m_lines;
    KxSNMPRequest2Edits *m_fetch = nullptr;
    KxSNMPRequest2Edits *m_getLog = nullptr;
    KxSNMPRequest2Edits *m_clearLog = nullptr;
    QString m_logPath;
    // The server writes only here: nothing the device sends reaches the program's folder
    // except the log, and only once it has arrived whole.
    QTemporaryDir m_incoming;

    // One fetch: what has arrived since it began.
    struct Fetch {
        bool open = false;
        bool answered = false; // the get-log command was accepted
        bool received = false; // a delivery of the log file ended complete
        QSet<int> running;     // deliveries still under way
    };
    Fetch m_state;
    bool m_closing = false;
};
