// Device objects that many screens write or read for their rules, described once.
// A screen's own objects stay with the screen.
#pragma once

#include "KxOptionList.h"
#include "KxVarList.h"

#define KX_DEVICE_ROOT "1.3.6.1.4.1.32473.2.5.9"

namespace KxDevice {

// OIDs of the columns (their instance .1 is the radio's row) and of the scalars.
inline constexpr const char *ApplyOid = KX_DEVICE_ROOT ".4.2.3";
inline constexpr const char *ApModeOid = KX_DEVICE_ROOT ".2.1.3.3.1.1.1.28.1";
inline constexpr const char *BandOid = KX_DEVICE_ROOT ".2.1.3.3.1.1.1.34.1";

// 0 "nothing", 1 "apply".
const KxOptionList &ApplyOptions();
// 1 "Access Point", 2 "WDS with AP", 3 "WDS", 4 "Wireless Client".
const KxOptionList &ApModeOptions();
// 0 "2.4GHz", 1 "5GHz".
const KxOptionList &BandOptions();

// One-variable scalar tables: `deviceSettingApply`, `dot11ApMode`, `dot11Band`.
const KxSNMPVarDesc *ApplyObjects();
const KxSNMPVarDesc *ApModeObjects();
const KxSNMPVarDesc *BandObjects();

// Values of the radio mode.
enum ApMode { AccessPoint = 1, WdsWithAp = 2, Wds = 3, WirelessClient = 4 };

} // namespace KxDevice
