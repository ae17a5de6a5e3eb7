// The module's one long-lived window: the device's front panel with its status lamps,
// the fields other windows read (the device's addresses and radio band), the menu
// that opens every screen, and the device-wide commands.
#pragma once

#include "KxHostWindow.h"
#include "KxNetInterface.h"
#include "KxOptionList.h"
#include "KxRestartCheck.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <memory>

class KxInstanceLock;
class KxLamp;
class KxSNMPRequest;
class KxSNMPRequest2Edits;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QStatusBar;
class TFM_Waiting;
struct KxSNMPError;

class TMainForm : public QMainWindow, public KxHostWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Start-up from the host manager's command line (without the program name):
    // session values, caption and the per-device lock, then the requests. False when
    // the module must end; the reason has been shown.
    bool FormCreate(const QStringList &arguments);
    // Builds the five requests from the session values in force and starts polling.
    void StartRequests();

    // Checks every screen that takes addresses uses.
    static bool IsValidIpAddress(const QString &text);
    static bool IsValidSubnetMask(const QString &text);
    // The PC address on the device's network into `edit` (callers empty it first).
    bool FindLocalAddress(QLineEdit *edit);
    // Hundredths of a second each status poll waits per try (tests shorten it).
    int PollTimeout = 3000;
    // True after a successful status poll, false after a failed one.
    bool LampsLit() const { return m_lampsLit; }
    QString StatusText() const { return m_statusText; }
    KxSNMPRequest2Edits *DeviceCommandRequest() const { return m_commandRequest.get(); }

    // What the screens read (KxHostWindow).
    QWidget *Window() override { return this; }
    QString DeviceAddress() const override;
    QString DeviceMask() const override;
    QString LanAddress() const override;
    int BandItem() const override;
    bool Lamp24GLime() const override;
    bool DeviceAnswers() const override { return m_lampsLit; }
    KxAddressReport &AddressReport() override { return m_report; }

    // The device-wide commands of the "Configuration" menu.
    void SaveAndActivate();
    void DiscardChanges();

public slots:
    void StatusPoll();
    void BlinkStep();
    void RefreshDeviceAddress();

protected:
    bool event(QEvent *event) override;

private:
    void BuildPanel();
    void BuildHiddenFields();
    void BuildMenu();
    void BuildRequests();
    void ReadStartupValues();
    void ReadInBackground(KxSNMPRequest2Edits &request, bool &wanted);
    void PollCompleted(const KxSNMPError &error);
    void Darken();
    void ShowStatus();
    // Runs the waiting dialog of a restart, then tells whether the device came back.
    void WaitForRestart(TFM_Waiting &waiting);
    QAction *AddEntry(QMenu *menu, const QString &text, const std::function<void()> &open = {});

    KxLamp *m_power = nullptr;
    KxLamp *m_lan5 = nullptr;
    KxLamp *m_lan24 = nullptr;
    KxLamp *m_apStatus = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_restartLine = nullptr; // how the last restart went; the poll keeps the rest
    QLineEdit *m_ipAddress = nullptr;
    QLineEdit *m_subMask = nullptr;
    QLineEdit *m_sysIpAddress = nullptr;
    QComboBox *m_band = nullptr;
    QComboBox *m_saveAct = nullptr;
    QComboBox *m_discard = nullptr;
    QComboBox *m_restart = nullptr;

    QTimer m_ledStatus;
    QTimer m_ledBlink;
    QTimer m_timer1;
    bool m_lampsLit = false;
    int m_refreshCount = 0;
    QString m_statusText;
    KxAddressReport m_report;
    // Start-up values still to come: true until a read of them succeeded (or, for the
    // device commands, until a command was written over them).
    bool m_wantLan = true;
    bool m_wantBand = true;
    bool m_wantCommands = true;

    std::unique_ptr<KxInstanceLock> m_lock;
    std::unique_ptr<KxSNMPRequest> m_pollRequest;
    std::unique_ptr<KxSNMPRequest2Edits> m_addressRequest;
    std::unique_ptr<KxSNMPRequest2Edits> m_lanRequest;
    std::unique_ptr<KxSNMPRequest2Edits> m_bandRequest;
    std::unique_ptr<KxSNMPRequest2Edits> m_commandRequest;
    KxRestartCheck m_restartCheck;
};

// The one main window of the process, for the windows that read its fields.
TMainForm *MainForm();
