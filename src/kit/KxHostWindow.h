// What the screens read from the main window, and nothing more: the screens depend on
// this interface, the main window provides it.
#pragma once

#include <QString>

class KxAddressReport;
class QLineEdit;
class QWidget;

class KxHostWindow {
public:
    virtual ~KxHostWindow() = default;

    // The parent of the waiting dialog and of the screens.
    virtual QWidget *Window() = 0;
    // The device's address and mask (the host manager's view) and its LAN address.
    virtual QString DeviceAddress() const = 0;
    virtual QString DeviceMask() const = 0;
    virtual QString LanAddress() const = 0;
    // The radio band's item: 0 is 2.4 GHz, 1 is 5 GHz, -1 while it is not known.
    virtual int BandItem() const = 0;
    // The 2.4 GHz lamp is lime (it blinks, so it is dark half of the time).
    virtual bool Lamp24GLime() const = 0;
    // The last status poll was answered.
    virtual bool DeviceAnswers() const = 0;
    // The system's address report, collected over the whole run.
    virtual KxAddressReport &AddressReport() = 0;
};

// The main window in force; null before it exists and after it is gone.
KxHostWindow *HostWindow();
void SetHostWindow(KxHostWindow *host);

// The PC address on the device's network into `edit` (callers empty it first); false
// when none is found or no main window is there.
bool FindLocalAddress(QLineEdit *edit);
