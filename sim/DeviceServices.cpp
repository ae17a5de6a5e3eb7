// The network services: DHCP server, VLAN, traffic control, schedules, RADIUS, QoS.
#include "Device.h"

namespace sim {

Subsystem servicesSubsystem()
{
    return {{}, {}, {}};
}

} // namespace sim
