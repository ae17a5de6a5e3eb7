// Checks of dotted IPv4 texts typed on the screens, before anything is written to the
// device.
#pragma once

#include <QString>

// A host address: four decimal parts, 1..223 . 0..255 . 0..255 . 1..254.
bool IsValidIpAddress(const QString &text);

// A subnet mask: four decimal parts (first 1..255, others 0..255, none equal to 1)
// whose 32-bit value is contiguous ones then zeros, prefix length 2 to 31.
bool IsValidSubnetMask(const QString &text);
