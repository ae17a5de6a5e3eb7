// The port and radio counters, and the AP array.
//
// Counters are Counter32 values. Every read of a counter returns its count and then lets
// the traffic of one interval pass: the next read is larger by that counter's step (modulo
// 2^32, as a Counter32 wraps). So the first read after a start or a clear shows exactly
// what the data file (or the clear) left, and every later read shows more. Writing 1 to a
// group's clear object sets its counters to 0; the clear takes no other value.
//
// AP array: the name and the password take at most 32 characters, the role 1 to 3. The
// password reads back masked, as the device hands out its secrets. Writing 1 to the scan
// object fills the list of arrays heard on the network (--trigger-fail refuses it with
// genErr, as it does the station triggers). The member list is what the data file holds;
// a slot with role 0 is empty.
#include "DeviceStats.h"

#include "Device.h"

#include <map>
#include <memory>
#include <string>

namespace sim {

namespace {

struct CounterGroup {
    Oid columns;  // column n of the group is columns.n, its one instance .1
    Oid clear;
    std::map<unsigned long, std::uint64_t> steps; // column -> growth per read
};

const CounterGroup kGroups[] = {
    {under(kRoot, {5, 2, 1, 1, 1, 1}), under(kRoot, {5, 2, 1, 1, 1, 1, 16, 1}),
     {{1, 118}, {2, 96512}, {3, 1}, {4, 153}, {5, 131584}, {6, 2}, {7, 9}, {8, 14}, {9, 61},
      {10, 87}, {11, 33}, {12, 19}, {13, 11}, {14, 60}, {15, 0}}},
    {under(kRoot, {5, 2, 2, 1, 1, 1}), under(kRoot, {5, 2, 2, 1, 1, 1, 34, 1}),
     {{21, 84}, {22, 70656}, {23, 1}, {24, 6}, {27, 91}, {28, 74752}, {29, 1}, {30, 3}, {31, 0},
      {32, 0}, {33, 2}}},
};

// The group and step of a counter's instance; nothing for other objects.
std::optional<std::pair<const CounterGroup *, std::uint64_t>> counterOf(const Oid &oid)
{
    for (const CounterGroup &g : kGroups) {
        if (oid.size() != g.columns.size() + 2 || !hasPrefix(oid, g.columns) || oid.back() != 1)
            continue;
        auto step = g.steps.find(oid[g.columns.size()]);
        if (step != g.steps.end())
            return std::make_pair(&g, step->second);
    }
    return std::nullopt;
}

// How often each counter was read since it was last set.
struct Traffic {
    std::map<Oid, std::uint64_t> reads;
};

const Oid kArray = under(kRoot, {3, 11, 1, 1});
const Oid kArrayStatus = under(kArray, {1, 0});
const Oid kArrayRole = under(kArray, {2, 0});
const Oid kArrayName = under(kArray, {3, 0});
const Oid kArrayPassword = under(kArray, {4, 0});
const Oid kArrayScan = under(kRoot, {3, 11, 1, 2, 1, 1, 0});
const Oid kArrayList = under(kRoot, {3, 11, 1, 2, 1, 3, 1, 1});

// What a scan hears: name, master address, master MAC, then masters, backup masters,
// slaves.
struct HeardArray {
    const char *name;
    unsigned char address;
    unsigned char macLast;
    long masters;
    long backups;
    long slaves;
};
const HeardArray kHeardArrays[] = {
    {"lobby-array", 50, 0x50, 1, 0, 1},
    {"warehouse", 72, 0x72, 1, 1, 3},
    {"north-wing", 91, 0x91, 1, 0, 0},
};

void scan(State &state)
{
    for (auto it = state.lower_bound(kArrayList); it != state.end() && hasPrefix(it->first, kArrayList);)
        it = state.erase(it);
    unsigned long row = 1;
    for (const HeardArray &h : kHeardArrays) {
        Value address;
        address.tag = 64;
        address.octets = std::string{'\xc0', '\xa8', '\x00', static_cast<char>(h.address)};
        state[under(kArrayList, {1, row})] = Value::makeInteger(static_cast<long>(row));
        state[under(kArrayList, {2, row})] = Value::makeString(h.name);
        state[under(kArrayList, {3, row})] = address;
        state[under(kArrayList, {4, row})] =
            Value::makeString(std::string("\x00\xc0\xca\x4a\x3b", 5) + static_cast<char>(h.macLast));
        state[under(kArrayList, {5, row})] = Value::makeInteger(h.masters);
        state[under(kArrayList, {6, row})] = Value::makeInteger(h.backups);
        state[under(kArrayList, {7, row})] = Value::makeInteger(h.slaves);
        state[under(kArrayList, {8, row})] = Value::makeInteger(h.masters + h.backups + h.slaves);
        ++row;
    }
}

} // namespace

Subsystem statsSubsystem()
{
    auto traffic = std::make_shared<Traffic>();
    std::vector<Rule> rules;
    for (const CounterGroup &g : kGroups)
        rules.push_back({g.clear, Kind::Command, {1}});
    rules.push_back({kArrayStatus, Kind::Setting, {0, 1}});
    rules.push_back({kArrayRole, Kind::Setting, {1, 2, 3}});
    rules.push_back({kArrayName, Kind::Setting, {}, 32});
    rules.push_back({kArrayPassword, Kind::Setting, {}, 32});
    rules.push_back({kArrayScan, Kind::Command, {0, 1}});

    auto behaviour = [traffic](Device &device, const Varbind &vb) -> std::optional<int> {
        for (const CounterGroup &g : kGroups) {
            if (vb.oid != g.clear)
                continue;
            State &state = device.current();
            for (const auto &[column, step] : g.steps) {
                const Oid counter = under(g.columns, {column, 1});
                auto it = state.find(counter);
                if (it != state.end())
                    it->second.number = 0;
                traffic->reads.erase(counter);
            }
            return NoError;
        }
        if (vb.oid == kArrayScan) {
            if (vb.value.integer != 1)
                return NoError;
            if (device.options().triggerFail)
                return GenErr;
            scan(device.current());
            return NoError;
        }
        return std::nullopt;
    };
    auto live = [traffic](const Device &device, const Oid &oid) -> std::optional<Value> {
        if (oid == kArrayPassword) {
            Value masked = device.state().at(oid);
            if (!masked.octets.empty())
                masked.octets = std::string(8, '*');
            return masked;
        }
        const auto counter = counterOf(oid);
        if (!counter)
            return std::nullopt;
        Value v = device.state().at(oid);
        std::uint64_t &reads = traffic->reads[oid];
        v.number = (v.number + reads * counter->second) & 0xffffffffu;
        ++reads;
        return v;
    };
    return {rules, behaviour, {}, live};
}

} // namespace sim
