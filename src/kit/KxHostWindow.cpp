#include "KxHostWindow.h"

#include "KxNetInterface.h"

namespace {
KxHostWindow *g_host = nullptr;
}

KxHostWindow *HostWindow()
{
    return g_host;
}

void SetHostWindow(KxHostWindow *host)
{
    g_host = host;
}

bool FindLocalAddress(QLineEdit *edit)
{
    if (!g_host)
        return false;
    const KxDeviceNetwork device{g_host->DeviceAddress(), g_host->DeviceMask(), g_host->LanAddress()};
    return FindLocalAddress(edit, device, g_host->AddressReport());
}
