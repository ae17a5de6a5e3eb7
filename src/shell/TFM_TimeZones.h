// The device's time zones, by value 1 to 75, and the 36 of them that may keep daylight
// saving time.
#pragma once

#include "KxOptionList.h"

const KxOptionList &TimeZones();
bool AllowsDaylightSaving(int zone);
