#pragma once
// What every screen test stands on: the simulated device (optionally with a few objects
// changed), the session pointed at it, a main window stand-in with the device on the
// loopback network, the scripted dialogs, the journal since a mark, and modal windows
// that run a real nested event loop for a chosen time, so that a test sees what goes
// on while a waiting dialog is up.

#include "KxDialogs.h"
#include "KxHostWindow.h"
#include "KxNetInterface.h"
#include "KxScreen.h"
#include "SimFixture.h"

#include <QDialog>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

namespace screentest {

// The main window as the screens see it; every value can be set by the test.
class TestHost : public QWidget, public KxHostWindow {
public:
    TestHost();
    ~TestHost() override;

    QString address = QStringLiteral("127.0.0.1");
    QString mask = QStringLiteral("255.0.0.0");
    QString lan = QStringLiteral("127.0.0.1");
    int band = 0;
    bool lime = true;
    // Whether the device answers; true unless the test says otherwise.
    std::function<bool()> answers;

    QWidget *Window() override { return this; }
    QString DeviceAddress() const override { return address; }
    QString DeviceMask() const override { return mask; }
    QString LanAddress() const override { return lan; }
    int BandItem() const override { return band; }
    bool Lamp24GLime() const override { return lime; }
    bool DeviceAnswers() const override { return answers ? answers() : true; }
    KxAddressReport &AddressReport() override { return m_report; }

private:
    KxAddressReport m_report;
};

// With RWN3460_SCREENSHOTS naming a folder, the window as it is now is saved there as
// `name`.png (the pictures of docs/screens are taken this way). False only when a picture
// was asked for and could not be saved.
bool SavePicture(QWidget &window, const QString &name);

// Runs the event loop of a modal window for `ms` (timers, SNMP answers and other
// windows go on meanwhile), or until it closes itself.
int RunNestedLoop(QDialog *window, int ms);

class ScreenFixture {
public:
    // `simArgs` go to the simulator; `changes` make a variant of the factory state.
    explicit ScreenFixture(QStringList simArgs = {}, simtest::Objects changes = {});
    ~ScreenFixture();

    // Starts the simulator and points the session at it (SNMPv2c, default communities);
    // false with the reason in Error().
    bool Start();
    QString Error() const { return m_error; }

    simtest::Simulator &Sim() { return *m_sim; }
    KxScriptedDialogs &Dialogs() { return *m_dialogs; }
    TestHost &Host() { return *m_host; }

    // The number of SET PDUs journaled so far: a mark for SetsSince.
    int Mark() const;
    // The SET PDUs after a mark, each as its status followed by "OID|TAG|VALUE" varbinds.
    QList<QStringList> SetsSince(int mark) const;

    // Opens a screen as the menu does (modal, global reference while it is shown, then
    // destroyed) and hands it to `drive` while it is shown; a modal window the screen
    // itself opens meanwhile goes to `nested` (default: rejected at once).
    template <class Screen>
    void Open(Screen *&reference, const std::function<void(Screen &)> &drive,
              const std::function<int(QDialog *)> &nested = {})
    {
        auto previous = m_dialogs->ModalHandler;
        m_dialogs->ModalHandler = [&](QDialog *window) -> int {
            if (auto *screen = qobject_cast<Screen *>(window); screen && screen == reference) {
                drive(*screen);
                return screen->result();
            }
            return nested ? nested(window) : int(QDialog::Rejected);
        };
        OpenScreen(reference, m_host.get());
        m_dialogs->ModalHandler = previous;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<simtest::Simulator> m_sim;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;
    std::unique_ptr<TestHost> m_host;
    QString m_error;
};

} // namespace screentest
