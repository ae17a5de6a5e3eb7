// The radio: its mode (a change shows as pending until the settings are applied), the
// list of WDS peers kept through one-shot add and delete-all objects, the two site
// surveys and the MAC clone's address list, which the device gathers when asked to.
#include "WirelessParts.h"

#include <string>
#include <utility>

namespace sim {

namespace {

const Oid kRadio = under(kRoot, {2, 1, 3, 3, 1, 1, 1});
const Oid kApMode = under(kRadio, {28, 1});
const Oid kApModeStatus = under(kRadio, {38, 1});
const Oid kBand = under(kRadio, {34, 1});

const Oid kPeers = under(kRoot, {2, 1, 3, 3, 1, 2, 1, 1});
const Oid kPeerAdd = under(kRoot, {2, 1, 3, 3, 1, 2, 2, 1, 1, 1});
const Oid kPeerDeleteAll = under(kRoot, {2, 1, 3, 3, 1, 2, 2, 1, 3, 1});
constexpr unsigned long kPeerInterface = 1;
constexpr unsigned long kMaxPeers = 8;

const Oid kSurveyRefresh = under(kRoot, {2, 1, 3, 3, 1, 3, 1, 1, 1, 1});
const Oid kSurvey = under(kRoot, {2, 1, 3, 3, 1, 3, 2, 1});
const Oid kWdsSurveyRefresh = under(kRoot, {2, 1, 3, 3, 1, 4, 1, 1, 1, 1});
const Oid kWdsSurvey = under(kRoot, {2, 1, 3, 3, 1, 4, 2, 1});

const Oid kClone = under(kRoot, {2, 1, 3, 3, 6, 1, 1});
const Oid kCloneMac = under(kClone, {3, 1});
const Oid kCloneRefresh = under(kClone, {4, 1});
const Oid kCloneList = under(kRoot, {2, 1, 3, 3, 6, 2, 1});

const std::string kNoMac(6, '\0');

std::string mac(unsigned char last, unsigned char group)
{
    return std::string("\x00\xc0\xca", 3) + std::string{static_cast<char>(group), 0x10, static_cast<char>(last)};
}

// What the radio hears: channel on 2.4 GHz, on 5 GHz, signal, security, SSID.
struct Heard {
    long channel24;
    long channel5;
    long signal;
    const char *security;
    const char *ssid;
};
const Heard kClientNetworks[] = {
    {1, 36, 78, "WPA2-PSK", "office-net"},
    {6, 44, 54, "None", "guest"},
    {11, 149, 31, "WEP", "lab"},
};
const Heard kWdsPeers[] = {
    {6, 40, 81, "None", "rwn3460-hall"},
    {6, 40, 47, "WPA2-PSK", "rwn3460-yard"},
};
// The computers behind the client whose address it can present.
const unsigned char kLanHosts[] = {0x21, 0x22, 0x23};

void eraseBelow(State &state, const Oid &prefix)
{
    for (auto it = state.lower_bound(prefix); it != state.end() && hasPrefix(it->first, prefix);)
        it = state.erase(it);
}

unsigned long peerCount(const State &state)
{
    unsigned long n = 0;
    while (state.count(under(kPeers, {2, kPeerInterface, n + 1})))
        ++n;
    return n;
}

std::optional<int> addPeer(State &state, const Value &address)
{
    if (address.octets.size() != 6)
        return WrongLength;
    if (address.octets == kNoMac)
        return WrongValue;
    const unsigned long n = peerCount(state);
    for (unsigned long r = 1; r <= n; ++r)
        if (state.at(under(kPeers, {2, kPeerInterface, r})).octets == address.octets)
            return InconsistentValue;
    if (n >= kMaxPeers)
        return ResourceUnavailable;
    state[under(kPeers, {1, kPeerInterface, n + 1})] = Value::makeInteger(static_cast<long>(n + 1));
    Value entry = address;
    entry.tag = 4;
    state[under(kPeers, {2, kPeerInterface, n + 1})] = entry;
    return std::nullopt;
}

// The columns of a survey table: index, then channel, signal, BSSID, security, SSID
// from `first` on (the two tables number their columns differently).
void gatherSurvey(State &state, const Oid &table, unsigned long first, const Heard *heard, std::size_t count,
                  unsigned char group)
{
    eraseBelow(state, table);
    const bool band5 = state.count(kBand) && state.at(kBand).integer == 1;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned long row = i + 1;
        const Heard &h = heard[i];
        state[under(table, {1, row})] = Value::makeInteger(static_cast<long>(row));
        state[under(table, {first, row})] = Value::makeInteger(band5 ? h.channel5 : h.channel24);
        state[under(table, {first + 1, row})] = Value::makeInteger(h.signal);
        state[under(table, {first + 2, row})] = Value::makeString(mac(static_cast<unsigned char>(row), group));
        state[under(table, {first + 3, row})] = Value::makeString(h.security);
        state[under(table, {first + 4, row})] = Value::makeString(h.ssid);
    }
}

void gatherClones(State &state)
{
    eraseBelow(state, kCloneList);
    unsigned long row = 1;
    for (unsigned char host : kLanHosts) {
        state[under(kCloneList, {1, row})] = Value::makeInteger(static_cast<long>(row));
        state[under(kCloneList, {2, row})] = Value::makeString(mac(host, 0x40));
        ++row;
    }
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    const long v = vb.value.integer;
    if (vb.oid == kApMode) {
        state[kApModeStatus] = Value::makeString("changed");
    } else if (vb.oid == kPeerAdd) {
        return addPeer(state, vb.value);
    } else if (vb.oid == kPeerDeleteAll && v == 1) {
        eraseBelow(state, kPeers);
    } else if (vb.oid == kSurveyRefresh && v == 1) {
        gatherSurvey(state, kSurvey, 3, kClientNetworks, std::size(kClientNetworks), 0x30);
    } else if (vb.oid == kWdsSurveyRefresh && v == 1) {
        gatherSurvey(state, kWdsSurvey, 2, kWdsPeers, std::size(kWdsPeers), 0x50);
    } else if (vb.oid == kCloneRefresh && v == 1) {
        gatherClones(state);
    } else if (vb.oid == kCloneMac && vb.value.octets.size() != 6) {
        return WrongLength;
    }
    return std::nullopt;
}

// Settings brought into effect (an apply, a boot): no mode change is pending.
void activate(Device &device)
{
    device.current()[kApModeStatus] = Value::makeString("unchanged");
}

} // namespace

Subsystem radioPart()
{
    std::vector<Rule> rules = {
        {under(kRadio, {2}), Kind::Setting, {0, 1}},                 // dot11SsidBroadcast
        {under(kRadio, {16}), Kind::Setting, {2, 3, 6, 7, 8, 9}},    // dot11WifiMode
        {under(kRadio, {24}), Kind::Setting, {0, 1}},                // dot11AutoChannelScan
        {kApMode, Kind::Setting, {1, 2, 3, 4}},
        {under(kRadio, {29}), Kind::Setting, {1, 2}},                // dot11ChannelWidth
        {under(kRadio, {40}), Kind::Setting, {0, 1, 2}},             // dot11Application
        {under(kRoot, {3, 3, 1, 1, 1, 1}), Kind::Setting, {0, 1}},   // dot11MssidState
        {kPeerAdd, Kind::Command, {}, 6},
        {kPeerDeleteAll, Kind::Command, {0, 1}},
        {kSurveyRefresh, Kind::Command, {0, 1}},
        {kWdsSurveyRefresh, Kind::Command, {0, 1}},
        {under(kClone, {1}), Kind::Setting, {0, 1}},                 // dot11MacCloneStatus
        {under(kClone, {2}), Kind::Setting, {1, 2}},                 // dot11MacCloneSource
        {kCloneMac, Kind::Setting, {}, 6},
        {kCloneRefresh, Kind::Command, {0, 1}},
    };
    return {rules, behaviour, activate};
}

} // namespace sim
