// Traffic control: the mode of each of the 17 interfaces, the link bandwidth, the nine
// QoS classes, and the traffic manager with its per-client rules, which the device
// adds and deletes by name when the rule objects are written with their action.
#include "ServicesParts.h"

#include <string>
#include <utility>

namespace sim {

namespace {

const Oid kModes = under(kRoot, {3, 9, 1, 1, 1, 1, 3});
const Oid kDownBandwidth = under(kRoot, {3, 9, 1, 2, 1, 0});
const Oid kUpBandwidth = under(kRoot, {3, 9, 1, 2, 2, 0});
const Oid kQosState = under(kRoot, {3, 9, 2, 2, 1, 1, 0});
const Oid kQos = under(kRoot, {3, 9, 2, 2, 2, 1, 1});
const Oid kManagerStatus = under(kRoot, {3, 9, 3, 1, 1, 0});
const Oid kUnlisted = under(kRoot, {3, 9, 3, 1, 2, 0});
const Oid kRule = under(kRoot, {3, 9, 3, 2});
const Oid kRules = under(kRoot, {3, 9, 3, 3, 1, 1});

enum RuleObject : unsigned long { Name = 1, Ip, Mac, Down, Up, Action };
// The list's columns: its index, then the rule's values in the rule objects' order.
Oid listColumn(unsigned long object)
{
    return under(kRules, {object + 1});
}
constexpr unsigned long kPriority = 3, kLimit = 4, kPort = 5, kFirstUserClass = 5, kLastUserClass = 8;
constexpr long kMaxBandwidth = 150;
constexpr unsigned long kMaxPort = 65535;

Oid ruleObject(unsigned long object)
{
    return under(kRule, {object, 0});
}

Value &scalar(State &state, const Oid &oid)
{
    return state[oid];
}

unsigned long ruleRows(State &state)
{
    unsigned long n = 0;
    while (cell(state, listColumn(0), n + 1))
        ++n;
    return n;
}

// The named rows come first; 0 when there is no row named so.
unsigned long rowNamed(State &state, const std::string &name)
{
    for (unsigned long r = 1; r <= ruleRows(state); ++r)
        if (cell(state, listColumn(Name), r)->octets == name)
            return r;
    return 0;
}

// "START-END" with both ends 1 to 65535 and the end not below the start.
std::optional<std::pair<unsigned long, unsigned long>> portRange(const std::string &text)
{
    const auto dash = text.find('-');
    if (dash == std::string::npos)
        return std::nullopt;
    auto number = [](const std::string &t) -> std::optional<unsigned long> {
        if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const unsigned long n = std::stoul(t);
        return n >= 1 && n <= kMaxPort ? std::optional<unsigned long>(n) : std::nullopt;
    };
    const auto start = number(text.substr(0, dash));
    const auto end = number(text.substr(dash + 1));
    if (!start || !end || *end < *start)
        return std::nullopt;
    return std::make_pair(*start, *end);
}

std::optional<int> checkPorts(State &state)
{
    std::vector<std::pair<unsigned long, unsigned long>> ranges;
    for (unsigned long c = kFirstUserClass; c <= kLastUserClass; ++c) {
        const Value *v = cell(state, under(kQos, {kPort}), c);
        if (!v)
            continue;
        const auto range = portRange(v->octets);
        if (!range)
            return WrongValue;
        for (const auto &other : ranges)
            if (range->first <= other.second && other.first <= range->second)
                return InconsistentValue;
        ranges.push_back(*range);
    }
    return NoError;
}

void clearRow(State &state, unsigned long row)
{
    *cell(state, listColumn(Name), row) = Value::makeString("");
    *cell(state, listColumn(Ip), row) = ipValue(0);
    *cell(state, listColumn(Mac), row) = Value::makeString(std::string(6, '\0'));
    *cell(state, listColumn(Down), row) = Value::makeInteger(0);
    *cell(state, listColumn(Up), row) = Value::makeInteger(0);
}

int addRule(State &state)
{
    const std::string name = scalar(state, ruleObject(Name)).octets;
    const Value &ip = scalar(state, ruleObject(Ip));
    const std::string mac = scalar(state, ruleObject(Mac)).octets;
    const long down = scalar(state, ruleObject(Down)).integer;
    const long up = scalar(state, ruleObject(Up)).integer;
    if (name.empty() || rowNamed(state, name))
        return InconsistentValue;
    if (ipOf(ip) == 0 && mac.find_first_not_of('\0') == std::string::npos)
        return InconsistentValue;
    // A speed of 0 leaves that direction unlimited; a rule must limit one of them.
    if (down < 0 || up < 0 || (down == 0 && up == 0))
        return WrongValue;
    if (down > state[kDownBandwidth].integer || up > state[kUpBandwidth].integer)
        return WrongValue;
    const unsigned long row = rowNamed(state, "");
    if (row == 0)
        return ResourceUnavailable;
    *cell(state, listColumn(Name), row) = Value::makeString(name);
    *cell(state, listColumn(Ip), row) = ipValue(ipOf(ip));
    *cell(state, listColumn(Mac), row) = Value::makeString(mac);
    *cell(state, listColumn(Down), row) = Value::makeInteger(down);
    *cell(state, listColumn(Up), row) = Value::makeInteger(up);
    return NoError;
}

// The rules below a deleted one move up, so the named rows stay first.
int deleteRule(State &state)
{
    const std::string name = scalar(state, ruleObject(Name)).octets;
    const unsigned long row = name.empty() ? 0 : rowNamed(state, name);
    if (row == 0)
        return InconsistentValue;
    const unsigned long rows = ruleRows(state);
    for (unsigned long r = row; r < rows; ++r)
        for (unsigned long c = Name; c <= Up; ++c)
            *cell(state, listColumn(c), r) = *cell(state, listColumn(c), r + 1);
    clearRow(state, rows);
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    const long v = vb.value.integer;
    if (vb.oid == kDownBandwidth || vb.oid == kUpBandwidth)
        return v < 1 || v > kMaxBandwidth ? std::optional<int>(WrongValue) : std::nullopt;
    if (rowOf(vb, under(kQos, {kLimit})))
        return v < 1 || v > 100 ? std::optional<int>(WrongValue) : std::nullopt;
    if (const unsigned long c = rowOf(vb, under(kQos, {kPort})); c >= kFirstUserClass)
        return checkPorts(state);
    if (vb.oid == ruleObject(Action))
        return v == 1 ? addRule(state) : deleteRule(state);
    return std::nullopt;
}

} // namespace

Subsystem trafficPart()
{
    std::vector<Rule> rules = {
        {kModes, Kind::Setting, {0, 1, 2}},
        {kDownBandwidth}, // 1 to 150, checked by the behaviour
        {kUpBandwidth},
        {kQosState, Kind::Setting, {0, 1}},
        {under(kQos, {kPriority}), Kind::Setting, {1, 2, 3, 4}},
        {under(kQos, {kLimit})}, // 1 to 100
        {under(kQos, {kPort}), Kind::Setting, {}, 11},
        {kManagerStatus, Kind::Setting, {0, 1}},
        {kUnlisted, Kind::Setting, {0, 1}},
        {ruleObject(Name), Kind::Transfer, {}, 15},
        {ruleObject(Ip), Kind::Transfer},
        {ruleObject(Mac), Kind::Transfer, {}, 6},
        {ruleObject(Down), Kind::Transfer},
        {ruleObject(Up), Kind::Transfer},
        {ruleObject(Action), Kind::Command, {0, 1}},
    };
    return {rules, behaviour, {}};
}

} // namespace sim
