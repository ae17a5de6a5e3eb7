#pragma once
// The port and radio counters and the AP array: objects of their own file, so that the
// counters' growth and the array's scan stay apart from the radio's settings.

#include "Subsystem.h"

namespace sim {

Subsystem statsSubsystem();

} // namespace sim
