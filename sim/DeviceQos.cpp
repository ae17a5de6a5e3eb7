// Rule-based QoS: the on/off switch, the automatic classifier and 64 rule rows, the named
// rules first and then the free ones. A rule is written into its row directly; writing a
// rule's index into the delete object removes it and moves the rules below it up, so the
// rules keep the indexes 1..n. The HTTP classifier is the object VLAN calls its PVID
// auto-assign status (3.6.2.1.0); the VLAN part owns it.
#include "ServicesParts.h"

namespace sim {

namespace {

const Oid kStatus = under(kRoot, {3, 6, 1, 0});
const Oid kAutomatic = under(kRoot, {3, 6, 2, 2, 0});
const Oid kDelete = under(kRoot, {3, 6, 2, 4, 0});
const Oid kRules = under(kRoot, {3, 6, 2, 5, 1});

enum Column : unsigned long {
    Index = 1, State_, Name, Priority, Protocol, ProtocolType,
    OneIpStart, OneIpEnd, OneIpRange, OnePortStart, OnePortEnd, OnePortRange,
    TwoIpStart, TwoIpEnd, TwoIpRange, TwoPortStart, TwoPortEnd, TwoPortRange,
    Columns = TwoPortRange
};
constexpr long kMaxProtocol = 257; // 0..255 IP protocols, 256 any, 257 TCP and UDP
constexpr long kMaxPort = 65535;
constexpr long kBackground = 3, kAnyProtocol = 256;

Oid column(unsigned long c)
{
    return under(kRules, {c});
}

unsigned long rows(State &state)
{
    unsigned long n = 0;
    while (cell(state, column(Index), n + 1))
        ++n;
    return n;
}

bool named(State &state, unsigned long row)
{
    return !cell(state, column(Name), row)->octets.empty();
}

unsigned long namedRows(State &state)
{
    unsigned long n = 0;
    while (n < rows(state) && named(state, n + 1))
        ++n;
    return n;
}

// The named rules must stay ahead of every free row.
bool packed(State &state)
{
    const unsigned long n = namedRows(state);
    for (unsigned long r = n + 1; r <= rows(state); ++r)
        if (named(state, r))
            return false;
    return true;
}

// A range with one side 0 (0.0.0.0 or port 0) is open; a closed one must not run backwards.
bool reversed(State &state, unsigned long row, unsigned long start, bool address)
{
    const Value &a = *cell(state, column(start), row);
    const Value &b = *cell(state, column(start + 1), row);
    const std::uint64_t from = address ? ipOf(a) : std::uint64_t(a.integer);
    const std::uint64_t to = address ? ipOf(b) : std::uint64_t(b.integer);
    return from != 0 && to != 0 && to < from;
}

int checkRow(State &state, unsigned long row, unsigned long c, long v)
{
    bool inRange = true;
    switch (c) {
    case Protocol:
        inRange = v >= 0 && v <= kMaxProtocol;
        break;
    case OnePortStart: case OnePortEnd: case TwoPortStart: case TwoPortEnd:
        inRange = v >= 0 && v <= kMaxPort;
        break;
    case OneIpRange: case OnePortRange: case TwoIpRange: case TwoPortRange:
        inRange = v >= 0;
        break;
    default:
        break;
    }
    if (!inRange)
        return WrongValue;
    if (reversed(state, row, OneIpStart, true) || reversed(state, row, TwoIpStart, true)
        || reversed(state, row, OnePortStart, false) || reversed(state, row, TwoPortStart, false))
        return InconsistentValue;
    return packed(state) ? NoError : InconsistentValue;
}

int deleteRule(State &state, long index)
{
    const unsigned long n = namedRows(state);
    if (index < 1 || static_cast<unsigned long>(index) > n)
        return WrongValue;
    for (unsigned long r = static_cast<unsigned long>(index); r < n; ++r)
        for (unsigned long c = State_; c <= Columns; ++c)
            *cell(state, column(c), r) = *cell(state, column(c), r + 1);
    // The freed row reads as the data file's free rows do.
    for (unsigned long c = State_; c <= Columns; ++c) {
        Value &v = *cell(state, column(c), n);
        const bool address = v.tag == 64;
        v = address ? ipValue(0) : Value::makeInteger(0);
    }
    *cell(state, column(Name), n) = Value::makeString("");
    *cell(state, column(Priority), n) = Value::makeInteger(kBackground);
    *cell(state, column(Protocol), n) = Value::makeInteger(kAnyProtocol);
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    if (vb.oid == kDelete)
        return deleteRule(state, vb.value.integer);
    for (unsigned long c = State_; c <= Columns; ++c)
        if (const unsigned long row = rowOf(vb, column(c)))
            return checkRow(state, row, c, vb.value.integer);
    return std::nullopt;
}

} // namespace

Subsystem qosPart()
{
    std::vector<Rule> rules = {
        {kStatus, Kind::Setting, {0, 1}},
        {kAutomatic, Kind::Setting, {0, 1}},
        {kDelete, Kind::Command},
        {column(State_), Kind::Setting, {0, 1}},
        {column(Name), Kind::Setting, {}, 32},
        {column(Priority), Kind::Setting, {0, 1, 2, 3}},
        {column(ProtocolType), Kind::Setting, {0, 1, 2, 3, 4, 5}},
    };
    for (unsigned long c : {Protocol, OneIpStart, OneIpEnd, OneIpRange, OnePortStart, OnePortEnd, OnePortRange,
                            TwoIpStart, TwoIpEnd, TwoIpRange, TwoPortStart, TwoPortEnd, TwoPortRange})
        rules.push_back({column(c)}); // checked by the behaviour
    return {rules, behaviour, {}};
}

} // namespace sim
