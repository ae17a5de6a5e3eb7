#pragma once
// The stations the radio serves and admits: the client and WDS tables the device gathers
// when told to, and the MAC access list it edits through one-shot add and delete objects.

#include "Subsystem.h"

namespace sim {

std::vector<Rule> stationRules();
// Gathering triggers and the access list's add and delete; nothing for other objects.
std::optional<int> stationBehaviour(Device &device, const Varbind &vb);
// After a boot (or an apply) nothing has been gathered yet: the tables read as the data
// file has them, empty slots.
void clearGathered(Device &device);

} // namespace sim
