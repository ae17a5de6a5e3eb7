// Client and WDS tables filled only when their trigger is written, from what the radio
// "finds" (the gathered file); the MAC access list, whose slots the device fills and
// empties itself.
#include "DeviceStations.h"

#include "Device.h"

#include <chrono>
#include <thread>

namespace sim {

namespace {

const Oid kClientTrigger = under(kRoot, {2, 1, 3, 3, 4, 1, 1, 1, 1});
const Oid kClientTable = under(kRoot, {2, 1, 3, 3, 4, 2, 1});
const Oid kWdsTrigger = under(kRoot, {2, 1, 3, 3, 5, 1, 1, 1, 1});
const Oid kWdsTable = under(kRoot, {2, 1, 3, 3, 5, 2, 1});
const Oid kAclMode = under(kRoot, {2, 1, 3, 3, 2, 3, 2, 1, 1, 1});
const Oid kAclAdd = under(kRoot, {2, 1, 3, 3, 2, 3, 2, 1, 2, 1});
const Oid kAclDelete = under(kRoot, {2, 1, 3, 3, 2, 3, 2, 1, 3, 1});
const Oid kAclMacs = under(kRoot, {2, 1, 3, 3, 2, 3, 3, 1, 2});

const std::string kNoMac(6, '\0');

// A slot reads as the data file has it, which is empty (MAC 000000000000).
void clearTable(Device &device, const Oid &table)
{
    State &state = device.current();
    const State &empty = device.factory();
    for (auto it = state.lower_bound(table); it != state.end() && hasPrefix(it->first, table); ++it) {
        auto slot = empty.find(it->first);
        if (slot != empty.end())
            it->second = slot->second;
    }
}

// The table's fixed slots take what the radio found; a slot it found nothing for is empty.
void gather(Device &device, const Oid &table)
{
    clearTable(device, table);
    State &state = device.current();
    const State &found = device.options().gathered;
    for (auto it = found.lower_bound(table); it != found.end() && hasPrefix(it->first, table); ++it) {
        auto cell = state.find(it->first);
        if (cell != state.end() && cell->second.tag == it->second.tag)
            cell->second = it->second;
    }
}

std::optional<int> trigger(Device &device, const Oid &table, long value)
{
    if (value != 1)
        return NoError;
    // A device busy gathering answers nothing meanwhile.
    if (device.options().triggerDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(device.options().triggerDelayMs));
    if (device.options().triggerFail)
        return GenErr;
    gather(device, table);
    return NoError;
}

// The access list's slot holding `mac`, or its end.
State::iterator findMac(State &state, const std::string &mac)
{
    for (auto it = state.lower_bound(kAclMacs); it != state.end() && hasPrefix(it->first, kAclMacs); ++it)
        if (it->second.octets == mac)
            return it;
    return state.end();
}

int aclAdd(Device &device, const std::string &mac)
{
    if (mac.size() != 6)
        return WrongLength;
    if (mac == kNoMac)
        return WrongValue;
    State &state = device.current();
    if (findMac(state, mac) != state.end())
        return InconsistentValue;
    auto slot = findMac(state, kNoMac);
    if (slot == state.end())
        return ResourceUnavailable;
    slot->second.octets = mac;
    return NoError;
}

int aclDelete(Device &device, const std::string &mac)
{
    if (mac.size() != 6)
        return WrongLength;
    if (mac == kNoMac)
        return WrongValue;
    State &state = device.current();
    auto slot = findMac(state, mac);
    if (slot == state.end())
        return InconsistentValue;
    slot->second.octets = kNoMac;
    return NoError;
}

} // namespace

std::vector<Rule> stationRules()
{
    return {
        {kClientTrigger, Kind::Command, {0, 1}},
        {kWdsTrigger, Kind::Command, {0, 1}},
        {kAclMode, Kind::Setting, {1, 2, 3}},
        {kAclAdd, Kind::Command, {}, 6},
        {kAclDelete, Kind::Command, {}, 6},
    };
}

std::optional<int> stationBehaviour(Device &device, const Varbind &vb)
{
    if (vb.oid == kClientTrigger)
        return trigger(device, kClientTable, vb.value.integer);
    if (vb.oid == kWdsTrigger)
        return trigger(device, kWdsTable, vb.value.integer);
    if (vb.oid == kAclAdd)
        return aclAdd(device, vb.value.octets);
    if (vb.oid == kAclDelete)
        return aclDelete(device, vb.value.octets);
    return std::nullopt;
}

void clearGathered(Device &device)
{
    clearTable(device, kClientTable);
    clearTable(device, kWdsTable);
}

} // namespace sim
