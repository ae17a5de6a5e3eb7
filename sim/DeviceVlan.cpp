// 802.1Q VLANs: the VLAN table with the membership of the 18 logical ports, each port's
// VLAN ID, and the per-port list the device gathers when asked to.
#include "ServicesParts.h"

#include <string>

namespace sim {

namespace {

const Oid kVlanStatus = under(kRoot, {3, 6, 1, 1, 0});
const Oid kVlans = under(kRoot, {3, 6, 1, 3, 1});
const Oid kPvidAuto = under(kRoot, {3, 6, 2, 1, 0});
const Oid kPvids = under(kRoot, {3, 6, 2, 2, 1});
const Oid kPortListRefresh = under(kRoot, {3, 6, 3, 1, 0});
const Oid kPortList = under(kRoot, {3, 6, 3, 2, 1});
const Oid kApMode = under(kRoot, {2, 1, 3, 3, 1, 1, 1, 28, 1});

constexpr unsigned long kVid = 2, kName = 3, kFirstPort = 4, kPorts = 18, kDelete = 22;
enum Membership { None = 0, Tag = 1, Untag = 2 };
enum ApMode { AccessPoint = 1, Wds = 3, WirelessClient = 4 };

Oid column(const Oid &table, unsigned long c)
{
    return under(table, {c});
}

unsigned long vlanRows(State &state)
{
    unsigned long n = 0;
    while (cell(state, column(kVlans, 1), n + 1))
        ++n;
    return n;
}

bool vidInUse(State &state, unsigned long row, long vid)
{
    for (unsigned long r = 1; r <= vlanRows(state); ++r)
        if (r != row && cell(state, column(kVlans, kVid), r)->integer == vid)
            return true;
    return false;
}

// The entries below a deleted one move up; the last row becomes free.
void deleteVlan(State &state, unsigned long row)
{
    const unsigned long rows = vlanRows(state);
    for (unsigned long r = row; r < rows; ++r)
        for (unsigned long c = kVid; c < kDelete; ++c)
            *cell(state, column(kVlans, c), r) = *cell(state, column(kVlans, c), r + 1);
    *cell(state, column(kVlans, kVid), rows) = Value::makeInteger(0);
    *cell(state, column(kVlans, kName), rows) = Value::makeString("");
    for (unsigned long c = kFirstPort; c < kFirstPort + kPorts; ++c)
        *cell(state, column(kVlans, c), rows) = Value::makeInteger(None);
}

// Per port, the VIDs of the VLANs it is a tagged and an untagged member of.
void gatherPortList(State &state)
{
    for (unsigned long port = 1; port <= kPorts; ++port) {
        std::string tagged, untagged;
        for (unsigned long r = 1; r <= vlanRows(state); ++r) {
            const long vid = cell(state, column(kVlans, kVid), r)->integer;
            const long member = cell(state, column(kVlans, kFirstPort + port - 1), r)->integer;
            std::string &list = member == Tag ? tagged : untagged;
            if (vid != 0 && member != None)
                list += (list.empty() ? "" : ",") + std::to_string(vid);
        }
        if (Value *v = cell(state, column(kPortList, 2), port))
            *v = Value::makeString(tagged);
        if (Value *v = cell(state, column(kPortList, 3), port))
            *v = Value::makeString(untagged);
    }
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    const long v = vb.value.integer;
    if (unsigned long row = rowOf(vb, column(kVlans, kVid))) {
        if (v < 1 || v > 4094)
            return WrongValue;
        return vidInUse(state, row, v) ? std::optional<int>(InconsistentValue) : std::nullopt;
    }
    if (unsigned long row = rowOf(vb, column(kVlans, kDelete))) {
        if (v == 1)
            deleteVlan(state, row);
        return NoError;
    }
    if (hasPrefix(vb.oid, kPvids))
        return v < 1 || v > 4094 ? std::optional<int>(WrongValue) : std::nullopt;
    if (vb.oid == kPortListRefresh && v == 1) {
        gatherPortList(state);
        return NoError;
    }
    return std::nullopt;
}

// VLANs run only on an access point: bringing them into effect ends WDS and client mode.
void activate(Device &device)
{
    State &state = device.current();
    auto status = state.find(kVlanStatus);
    auto mode = state.find(kApMode);
    if (status == state.end() || mode == state.end() || status->second.integer != 1)
        return;
    if (mode->second.integer == Wds || mode->second.integer == WirelessClient)
        mode->second.integer = AccessPoint;
}

} // namespace

Subsystem vlanPart()
{
    std::vector<Rule> rules = {
        {kVlanStatus, Kind::Setting, {0, 1}},
        {column(kVlans, kVid)}, // 1 to 4094, checked by the behaviour
        {column(kVlans, kName), Kind::Setting, {}, 32},
        {column(kVlans, kDelete), Kind::Command, {0, 1}},
        {kPvidAuto, Kind::Setting, {0, 1}},
        {kPvids}, // 1 to 4094, checked by the behaviour
        {kPortListRefresh, Kind::Command, {0, 1}},
    };
    for (unsigned long c = kFirstPort; c < kFirstPort + kPorts; ++c)
        rules.push_back({column(kVlans, c), Kind::Setting, {None, Tag, Untag}});
    return {rules, behaviour, activate};
}

} // namespace sim
