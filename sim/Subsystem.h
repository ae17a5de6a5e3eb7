#pragma once
// What one subsystem of the device adds to the simulator: the objects it lets managers
// write, and what the device does when they are written. Each subsystem keeps its own
// small file (DeviceShell.cpp, DeviceWireless.cpp, ...); Device.cpp only gathers them.

#include "SnmpRec.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace sim {

class Device;
struct Varbind;

inline const Oid kSystem = {1, 3, 6, 1, 2, 1, 1};
inline const Oid kRoot = {1, 3, 6, 1, 4, 1, 32473, 2, 5, 9};

inline Oid under(const Oid &base, std::initializer_list<unsigned long> tail)
{
    Oid o = base;
    o.insert(o.end(), tail);
    return o;
}

// Settings go into a configuration file; commands act and read back idle; transfer
// parameters are neither.
enum class Kind { Setting, Command, Transfer };

// What may be written, and how. Objects no rule covers are read-only. A prefix covers
// every instance below it (a table column covers all its rows).
struct Rule {
    Oid prefix;
    Kind kind = Kind::Setting;
    std::vector<long> allowed = {};   // integers: the values the device knows
    std::size_t maxLength = 255;      // octet strings
};

struct Subsystem {
    std::vector<Rule> rules;
    // What a written varbind makes the device do, run after every varbind of the set
    // was stored; an error status undoes the whole set. Nothing for objects it does
    // not know.
    std::function<std::optional<int>(Device &, const Varbind &)> behaviour;
    // Brings derived objects in line with the settings (after a boot, an apply, a
    // restored configuration).
    std::function<void(Device &)> activate;
    // What a read shows for an object that changes by itself (a clock), in place of
    // its stored value; nothing for the objects it does not know.
    std::function<std::optional<Value>(const Device &, const Oid &)> live = {};
};

// A secret as the device reads it back: asterisks of the stored length (none when unset)
// while the state, the journal and configuration backups keep what was written. Nothing
// when the object is not held.
std::optional<Value> maskedSecret(const Device &device, const Oid &oid);

Subsystem shellSubsystem();
Subsystem wirelessSubsystem();
Subsystem servicesSubsystem();
Subsystem transferSubsystem();
Subsystem logSubsystem();

} // namespace sim
