#pragma once
// The wireless objects, one part per function; DeviceWireless.cpp joins them into the
// subsystem.

#include "Device.h"

namespace sim {

// The radio: mode and its pending status, channel lists, WDS peers, site surveys and
// the MAC clone.
Subsystem radioPart();
// Security of the primary SSID: WEP keys, passphrase, RADIUS; secrets read back masked.
Subsystem securityPart();
// Fine tuning of the radio (beacon, DTIM, power, rates, ACK, connection limit) and the
// WLAN partition.
Subsystem tuningPart();
// Intrusion protection: the rogue access point scan and its classes.
Subsystem roguePart();
// Multi-SSID: the switches, the SSID table and its RADIUS and accounting servers.
Subsystem mssidPart();

} // namespace sim
