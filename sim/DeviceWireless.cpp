// The wireless objects: radio, security of the primary SSID, AP array, stations.
#include "Device.h"
#include "DeviceStations.h"
#include "WirelessParts.h"

#include <string>

namespace sim {

namespace {

const Oid kChannel = under(kRoot, {2, 1, 3, 3, 1, 1, 1, 3, 1});
const Oid kFrequency = under(kRoot, {2, 1, 3, 3, 1, 1, 1, 10, 1});
const Oid kBand = under(kRoot, {2, 1, 3, 3, 1, 1, 1, 34, 1});

// The centre frequency the radio reports, in GHz, follows its band and channel.
void followChannel(State &state)
{
    auto channel = state.find(kChannel), band = state.find(kBand), frequency = state.find(kFrequency);
    if (channel == state.end() || band == state.end() || frequency == state.end())
        return;
    const long ch = channel->second.integer;
    const long mhz = band->second.integer == 1 ? 5000 + 5 * ch : ch == 14 ? 2484 : 2407 + 5 * ch;
    const std::string fraction = std::to_string(1000 + mhz % 1000).substr(1);
    frequency->second.octets = std::to_string(mhz / 1000) + "." + fraction;
}

} // namespace

Subsystem wirelessSubsystem()
{
    Subsystem wireless = {
        {
            {under(kRoot, {2, 1, 3, 3, 1, 1, 1, 1}), Kind::Setting, {}, 32},   // dot11Ssid
            {under(kRoot, {2, 1, 3, 3, 1, 1, 1, 3}), Kind::Setting,            // dot11Channel
             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 36, 40, 44, 48, 52, 56, 60, 64,
              100, 104, 108, 112, 116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165}},
            {under(kRoot, {2, 1, 3, 3, 1, 1, 1, 11})},                         // dot11DataRate
            {under(kRoot, {2, 1, 3, 3, 1, 1, 1, 34}), Kind::Setting, {0, 1}},  // dot11Band
            {under(kRoot, {3, 11, 1, 1, 2}), Kind::Setting, {1, 2, 3}},       // AP array role
            {under(kRoot, {3, 11, 1, 1, 3}), Kind::Setting, {}, 32},          // AP array name
        },
        stationBehaviour,
        [](Device &device) {
            followChannel(device.current());
            clearGathered(device);
        },
    };
    for (Rule &r : stationRules())
        wireless.rules.push_back(std::move(r));
    // The radio's own objects: its behaviour runs after the stations' for the objects
    // they do not know, and both bring their derived objects in line.
    const Subsystem radio = radioPart();
    const Subsystem security = securityPart();
    const Subsystem tuning = tuningPart();
    const Subsystem rogue = roguePart();
    const Subsystem mssid = mssidPart();
    wireless.rules.insert(wireless.rules.end(), radio.rules.begin(), radio.rules.end());
    wireless.rules.insert(wireless.rules.end(), security.rules.begin(), security.rules.end());
    wireless.rules.insert(wireless.rules.end(), tuning.rules.begin(), tuning.rules.end());
    wireless.rules.insert(wireless.rules.end(), rogue.rules.begin(), rogue.rules.end());
    wireless.rules.insert(wireless.rules.end(), mssid.rules.begin(), mssid.rules.end());
    const auto stations = wireless.behaviour;
    wireless.behaviour = [stations, radioBehaviour = radio.behaviour, securityBehaviour = security.behaviour,
                          tuningBehaviour = tuning.behaviour, rogueBehaviour = rogue.behaviour,
                          mssidBehaviour = mssid.behaviour](Device &device, const Varbind &vb) {
        if (std::optional<int> status = stations(device, vb))
            return status;
        if (std::optional<int> status = radioBehaviour(device, vb))
            return status;
        if (std::optional<int> status = tuningBehaviour(device, vb))
            return status;
        if (std::optional<int> status = rogueBehaviour(device, vb))
            return status;
        if (std::optional<int> status = securityBehaviour(device, vb))
            return status;
        return mssidBehaviour(device, vb);
    };
    wireless.live = [securityLive = security.live, mssidLive = mssid.live](const Device &device, const Oid &oid) {
        if (std::optional<Value> shown = securityLive(device, oid))
            return shown;
        return mssidLive(device, oid);
    };
    const auto own = wireless.activate;
    wireless.activate = [own, radioActivate = radio.activate](Device &device) {
        own(device);
        if (radioActivate)
            radioActivate(device);
    };
    return wireless;
}

} // namespace sim
