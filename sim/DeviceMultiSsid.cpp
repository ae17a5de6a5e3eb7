// The multi-SSID objects: the feature switch and the priority switch, the band's SSID
// table (row n has index n + 1; row 0 is the primary SSID) and the RADIUS and
// accounting tables of sixteen rows (the eight primary servers, then the eight backups).
// WEP keys, passphrases and secrets read back as asterisks of their stored length, as
// the primary SSID's do. The switch is refused while the radio works as a WDS bridge or
// a client, and a row can only be enabled with a name; the primary SSID's row stays on.
#include "WirelessParts.h"

#include <algorithm>

namespace sim {

namespace {

const Oid kMssid = under(kRoot, {3, 3});
const Oid kSwitch = under(kMssid, {1, 1, 1, 1});
const Oid kPrioritySwitch = under(kMssid, {1, 1, 2, 1});
const Oid kSsid = under(kMssid, {3, 1});
const Oid kRadius = under(kMssid, {4, 1});
const Oid kAccounting = under(kMssid, {5, 1});
const Oid kApMode = under(kRoot, {2, 1, 3, 3, 1, 1, 1, 28, 1});
const Oid kPrimaryRow = {1, 1};
constexpr long kWds = 3, kClient = 4;

Oid column(const Oid &table, unsigned long c)
{
    return under(table, {c});
}

// The column of a table cell (2-part instance), 0 for anything else.
unsigned long columnOf(const Oid &oid, const Oid &table)
{
    return hasPrefix(oid, table) && oid.size() == table.size() + 3 ? oid[table.size()] : 0;
}

Oid rowOf(const Oid &oid)
{
    return Oid(oid.end() - 2, oid.end());
}

bool masked(const Oid &oid)
{
    const unsigned long ssid = columnOf(oid, kSsid);
    return ssid == 8 || ssid == 11 || columnOf(oid, kRadius) == 4 || columnOf(oid, kAccounting) == 5;
}

std::optional<int> inRange(long v, long low, long high)
{
    return v >= low && v <= high ? std::nullopt : std::optional<int>(WrongValue);
}

std::optional<int> ssidCell(const State &state, unsigned long c, const Oid &row, const Value &value)
{
    switch (c) {
    case 2: {
        if (value.integer == 0)
            return row == kPrimaryRow ? std::optional<int>(InconsistentValue) : std::nullopt;
        Oid name = column(kSsid, 3);
        name.insert(name.end(), row.begin(), row.end());
        auto it = state.find(name);
        return it == state.end() || it->second.octets.empty() ? std::optional<int>(InconsistentValue)
                                                              : std::nullopt;
    }
    case 11: {
        const std::size_t n = value.octets.size();
        return n == 0 || (n >= 8 && n <= 63) ? std::nullopt : std::optional<int>(WrongLength);
    }
    case 15: return inRange(value.integer, 300, 9999999);
    default: return std::nullopt;
    }
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    const Oid &oid = vb.oid;
    const long v = vb.value.integer;
    if (oid == kSwitch && v == 1) {
        auto mode = device.current().find(kApMode);
        const long m = mode == device.current().end() ? 0 : mode->second.integer;
        return m == kWds || m == kClient ? std::optional<int>(InconsistentValue) : std::nullopt;
    }
    if (unsigned long c = columnOf(oid, kSsid))
        return ssidCell(device.current(), c, rowOf(oid), vb.value);
    const unsigned long radius = columnOf(oid, kRadius), accounting = columnOf(oid, kAccounting);
    if (radius == 3 || accounting == 4)
        return inRange(v, 1, 65535);
    if (radius == 6)
        return inRange(v, 300, 9999999);
    return std::nullopt;
}

std::optional<Value> mssidLive(const Device &device, const Oid &oid)
{
    if (!masked(oid))
        return std::nullopt;
    return maskedSecret(device, oid);
}

} // namespace

Subsystem mssidPart()
{
    std::vector<Rule> rules = {
        {kSwitch, Kind::Setting, {0, 1}},
        {kPrioritySwitch, Kind::Setting, {0, 1}},
        {column(kSsid, 2), Kind::Setting, {0, 1}},          // dot11MssIndividualState
        {column(kSsid, 3), Kind::Setting, {}, 32},          // dot11MssidSsid
        {column(kSsid, 4), Kind::Setting, {0, 1}},          // dot11MssidSuppress
        {column(kSsid, 5), Kind::Setting, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {column(kSsid, 6), Kind::Setting, {0, 1}},          // dot11MssidEncryption
        {column(kSsid, 7), Kind::Setting, {1, 2, 3, 4}},    // dot11MssidWepKeyIndex
        {column(kSsid, 8), Kind::Setting, {}, 26},          // dot11MssidWepKey
        {column(kSsid, 10), Kind::Setting, {1, 2, 3, 4}},   // dot11MssidCipherType
        {column(kSsid, 11), Kind::Setting, {}, 63},         // dot11MssidPassPhrase
        {column(kSsid, 12), Kind::Setting, {1, 2}},         // dot11MssidKeyType
        {column(kSsid, 14), Kind::Setting, {0, 1}},         // dot11MssidWmm
        {column(kSsid, 15), Kind::Setting},                 // group key update interval
        {column(kSsid, 16), Kind::Setting, {0, 1, 2, 3, 4, 5, 6, 7}},
        {column(kRadius, 2), Kind::Setting},                // server
        {column(kRadius, 3), Kind::Setting},                // port
        {column(kRadius, 4), Kind::Setting, {}, 64},        // secret
        {column(kRadius, 5), Kind::Setting, {1, 2}},        // source
        {column(kRadius, 6), Kind::Setting},                // key update interval
        {column(kAccounting, 2), Kind::Setting, {0, 1}},    // status
        {column(kAccounting, 3), Kind::Setting},            // server
        {column(kAccounting, 4), Kind::Setting},            // port
        {column(kAccounting, 5), Kind::Setting, {}, 64},    // secret
    };
    Subsystem part{rules, behaviour, {}};
    part.live = mssidLive;
    return part;
}

} // namespace sim
