// Intrusion protection: a scan of the neighbouring access points, which the device keeps
// classified (new, valid, neighborhood, rogue) by BSSID from one scan to the next, the
// one-shot objects that move the entry of an index into a class, and the two rules for
// newly found access points.
#include "WirelessParts.h"

#include <map>
#include <string>

namespace sim {

namespace {

const Oid kRogue = under(kRoot, {3, 4, 4});
const Oid kRefresh = under(kRogue, {1, 0});
const Oid kSurvey = under(kRogue, {4, 1});
const Oid kAllNewValid = under(kRogue, {9, 0});
const Oid kUnknownRogue = under(kRogue, {10, 0});
enum Type { New = 1, Valid = 2, Neighborhood = 3, Rogue = 4 };
enum Column { Index = 1, Channel = 3, Bssid = 5, Mode = 8, Ssid = 9, LastSeen = 10, TypeColumn = 11, Status = 12 };

// What the radio hears, with the class the device held for it before the first scan.
struct Heard {
    long channel;
    unsigned char last;
    long mode; // 1 B, 2 G, 3 N, 4 A
    const char *ssid;
    const char *lastSeen;
    long type;
    long status; // 2 up, 1 down
    bool firstScanOnly;
};
const Heard kHeard[] = {
    // Heard once, gone by the next scan: the entries after it move up one index.
    {44, 0x06, 4, "printer-ap", "2026/12/11 09:10:33", New, 2, true},
    {1, 0x01, 2, "office-net", "2026/12/11 09:14:02", New, 2, false},
    {6, 0x02, 1, "guest", "2026/12/11 09:13:40", Valid, 2, false},
    {11, 0x03, 3, "lab", "2026/12/11 08:55:17", Neighborhood, 1, false},
    {36, 0x04, 4, "warehouse-5g", "2026/12/11 09:14:05", Rogue, 2, false},
    {149, 0x05, 3, "free-wifi", "2026/12/11 09:02:51", New, 1, false},
};

std::string bssid(unsigned char last)
{
    return std::string("\x00\x1b\x2c\x60\x70", 5) + std::string(1, static_cast<char>(last));
}

Oid cell(Column column, unsigned long row)
{
    return under(kSurvey, {static_cast<unsigned long>(column), row});
}

unsigned long rows(const State &state)
{
    unsigned long n = 0;
    while (state.count(cell(Index, n + 1)))
        ++n;
    return n;
}

bool enabled(const State &state, const Oid &rule)
{
    auto it = state.find(rule);
    return it != state.end() && it->second.integer == 1;
}

// The enabled rule for new access points moves every new entry into its class.
void applyRules(State &state)
{
    const long to = enabled(state, kAllNewValid) ? Valid : enabled(state, kUnknownRogue) ? Rogue : 0;
    if (!to)
        return;
    for (unsigned long r = 1; r <= rows(state); ++r)
        if (state.at(cell(TypeColumn, r)).integer == New)
            state[cell(TypeColumn, r)] = Value::makeInteger(to);
}

void scan(State &state)
{
    const unsigned long before = rows(state);
    std::map<std::string, long> known; // BSSID -> class the device holds
    for (unsigned long r = 1; r <= before; ++r)
        known[state.at(cell(Bssid, r)).octets] = state.at(cell(TypeColumn, r)).integer;
    for (auto it = state.lower_bound(kSurvey); it != state.end() && hasPrefix(it->first, kSurvey);)
        it = state.erase(it);
    unsigned long row = 0;
    for (const Heard &h : kHeard) {
        if (h.firstScanOnly && before > 0)
            continue;
        ++row;
        const std::string mac = bssid(h.last);
        auto k = known.find(mac);
        state[cell(Index, row)] = Value::makeInteger(static_cast<long>(row));
        state[cell(Channel, row)] = Value::makeInteger(h.channel);
        state[cell(Bssid, row)] = Value::makeString(mac);
        state[cell(Mode, row)] = Value::makeInteger(h.mode);
        state[cell(Ssid, row)] = Value::makeString(h.ssid);
        state[cell(LastSeen, row)] = Value::makeString(h.lastSeen);
        state[cell(TypeColumn, row)] = Value::makeInteger(k != known.end() ? k->second : h.type);
        state[cell(Status, row)] = Value::makeInteger(h.status);
    }
    applyRules(state);
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    if (vb.oid == kRefresh) {
        if (vb.value.integer == 1)
            scan(state);
        return std::nullopt;
    }
    for (unsigned long object = 5; object <= 8; ++object) {
        if (vb.oid != under(kRogue, {object, 0}))
            continue;
        const long index = vb.value.integer;
        if (index < 1 || static_cast<unsigned long>(index) > rows(state))
            return InconsistentValue;
        static const long classes[] = {Valid, Neighborhood, Rogue, New};
        state[cell(TypeColumn, static_cast<unsigned long>(index))] = Value::makeInteger(classes[object - 5]);
        return std::nullopt;
    }
    if ((vb.oid == kAllNewValid || vb.oid == kUnknownRogue) && vb.value.integer == 1)
        applyRules(state);
    return std::nullopt;
}

} // namespace

Subsystem roguePart()
{
    std::vector<Rule> rules = {
        {kRefresh, Kind::Command, {0, 1}},
        {under(kRogue, {5}), Kind::Command},   // dot11RogueApAddtoValid
        {under(kRogue, {6}), Kind::Command},   // dot11RogueApAddtoNeighbor
        {under(kRogue, {7}), Kind::Command},   // dot11RogueApAddtoRouge
        {under(kRogue, {8}), Kind::Command},   // dot11RogueApAddtoNew
        {kAllNewValid, Kind::Setting, {0, 1}},
        {kUnknownRogue, Kind::Setting, {0, 1}},
    };
    return {rules, behaviour, {}};
}

} // namespace sim
