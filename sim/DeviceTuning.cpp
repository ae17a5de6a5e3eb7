// The radio's fine tuning and the separation of traffic: beacon and DTIM intervals,
// transmit power, data rate, ACK time-out, the connection limit, and per SSID whether
// its stations may reach each other. Ranges the device knows are refused as wrongValue;
// a value that does not fit the band the radio works in as inconsistentValue.
#include "WirelessParts.h"

#include <algorithm>
#include <string>

namespace sim {

namespace {

const Oid kRadio = under(kRoot, {2, 1, 3, 3, 1, 1, 1});
const Oid kBand = under(kRadio, {34, 1});
const Oid kDataRate = under(kRadio, {11, 1});
const Oid kWifiMode = under(kRadio, {16, 1});
const Oid kAckTimeout = under(kRadio, {31, 1});
const Oid kGrouping = under(kRoot, {3, 2, 1, 1});
const Oid kPartition = under(kRoot, {2, 1, 3, 3, 2, 3, 1, 1});

std::vector<long> range(long from, long to)
{
    std::vector<long> values;
    for (long v = from; v <= to; ++v)
        values.push_back(v);
    return values;
}

bool band5(const State &state)
{
    auto band = state.find(kBand);
    return band != state.end() && band->second.integer == 1;
}

// The rates a legacy mode may fix, in Mb/s as the device writes them.
bool knownRate(const std::string &rate, bool fiveGHz)
{
    static const char *ofdm[] = {"54", "48", "36", "24", "18", "12", "9", "6"};
    static const char *cck[] = {"11", "5.5", "2", "1"};
    if (rate == "Auto")
        return true;
    const auto is = [&rate](const char *r) { return rate == r; };
    return std::any_of(std::begin(ofdm), std::end(ofdm), is) || (!fiveGHz && std::any_of(std::begin(cck), std::end(cck), is));
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    const State &state = device.current();
    const bool fiveGHz = band5(state);
    const long v = vb.value.integer;
    if (vb.oid == kWifiMode) {
        const std::vector<long> modes = fiveGHz ? std::vector<long>{7, 8, 9} : std::vector<long>{2, 3, 6};
        if (std::find(modes.begin(), modes.end(), v) == modes.end())
            return InconsistentValue;
    } else if (vb.oid == kAckTimeout) {
        if (v < (fiveGHz ? 25 : 48) || v > 200)
            return WrongValue;
    } else if (vb.oid == kDataRate) {
        if (!knownRate(vb.value.octets, fiveGHz))
            return WrongValue;
    }
    return std::nullopt;
}

} // namespace

Subsystem tuningPart()
{
    std::vector<Rule> rules = {
        {under(kRadio, {17}), Kind::Setting, range(25, 500)},          // dot11BeaconInterval
        {under(kRadio, {18}), Kind::Setting, range(1, 15)},            // dot11Dtim
        {under(kRadio, {21}), Kind::Setting, {1, 2, 3, 4}},            // dot11TransmitPower
        {under(kRadio, {23}), Kind::Setting, {0, 1}},                  // dot11RadioWave
        {under(kRadio, {25}), Kind::Setting, {0, 1}},                  // dot11Wmm
        {under(kRadio, {31}), Kind::Setting, range(25, 200)},          // dot11AckTimeout
        {under(kRadio, {32}), Kind::Setting, {0, 1}},                  // dot11ShortGI
        {under(kRadio, {33}), Kind::Setting, {0, 1}},                  // dot11Igmpsnooping
        {under(kGrouping, {1}), Kind::Setting, {0, 1}},                // dot11LoadBalance
        {under(kGrouping, {2}), Kind::Setting, range(0, 64)},          // dot11UserLimit
        {under(kGrouping, {3}), Kind::Setting, {0, 1}},                // dot11LinkIntegrate
        {under(kGrouping, {5}), Kind::Setting, {0, 2, 4, 6, 8, 10}},   // dot11NetworkUtilization
        {under(kPartition, {2}), Kind::Setting, {0, 1}},               // dot11EthernetToWlanAccess
    };
    // The station connection of the primary SSID and of the seven additional ones.
    for (unsigned long column = 4; column <= 11; ++column)
        rules.push_back({under(kPartition, {column}), Kind::Setting, {0, 1, 2}});
    return {rules, behaviour, {}};
}

} // namespace sim
