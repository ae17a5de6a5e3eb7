#pragma once
// Parts of the module shell's objects that keep files of their own; shellSubsystem()
// gathers them.

#include "Subsystem.h"

namespace sim {

// Who may manage the device: login, console, manager limits, ping.
Subsystem adminPart();
// The clock: time zone, daylight saving, NTP, and a time of day that runs.
Subsystem clockPart();

} // namespace sim
