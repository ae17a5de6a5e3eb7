// "Please wait": counts down while the device restarts and closes when it answers
// again, or stands as a plain notice while a long write runs.
#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class KxSNMPRequest2Edits;

class TFM_Waiting : public QDialog {
    Q_OBJECT

public:
    explicit TFM_Waiting(QWidget *parent = nullptr);
    ~TFM_Waiting() override;

    int Countdown = 25;
    bool SendRestartCommand = true;
    int MissCount = 0;
    bool RestartPending = true;
    int TicksToRestart = 2;
    QTimer Timer1;
    // Whether the device answers now; by default the main window's last status poll.
    std::function<bool()> DeviceAnswers;

    // The first two lines (Label2, Label3); an empty text keeps the default.
    void SetLines(const QString &second, const QString &third);
    QLabel *Line(const char *name) const;
    // A line under the others (La_Progress, made on first use) telling what a transfer
    // behind the wait is doing.
    void SetProgress(const QString &text);

    // Shows a notice over `caller` (disabled meanwhile) with the three lines given.
    static TFM_Waiting *ShowNotice(QWidget *caller, const QString &first, const QString &second,
                                   const QString &third);
    static void CloseNotice(QWidget *caller, TFM_Waiting *notice);

public slots:
    void Tick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    bool MayClose();
    void SendRestart();

    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_time;
    QLabel *m_seconds;
    QLabel *m_progress = nullptr;
    QLineEdit *m_reboot;
    std::unique_ptr<KxSNMPRequest2Edits> m_restartRequest;
};
