#pragma once
// The network services, one part per function; DeviceServices.cpp joins them into the
// subsystem.

#include "Device.h"

#include <cstdint>

namespace sim {

Subsystem dhcpPart();
Subsystem vlanPart();
Subsystem trafficPart();
Subsystem schedulePart();
Subsystem radiusPart();
Subsystem qosPart();

// Helpers the parts share.
// The value of `column` at row `row` (a one-part instance); null when absent.
Value *cell(State &state, const Oid &column, unsigned long row);
// A written varbind's row, when it lies in `column` with a one-part instance; else 0.
unsigned long rowOf(const Varbind &vb, const Oid &column);
std::uint32_t ipOf(const Value &v);
Value ipValue(std::uint32_t address);

} // namespace sim
