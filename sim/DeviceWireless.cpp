// The wireless objects: radio, security of the primary SSID, AP array.
#include "WirelessParts.h"

namespace sim {

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
            {under(kRoot, {2, 1, 3, 3, 2, 1, 1, 1}), Kind::Setting, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
            {under(kRoot, {2, 1, 3, 3, 2, 1, 1, 2}), Kind::Setting, {0, 1}},  // dot11Encryption
            {under(kRoot, {2, 1, 3, 3, 2, 1, 1, 5}), Kind::Setting, {1, 2, 3, 4}},
            {under(kRoot, {2, 1, 3, 3, 2, 2, 1, 2}), Kind::Setting, {1, 2}},  // WEP key entry method
            {under(kRoot, {2, 1, 3, 3, 2, 2, 1, 3}), Kind::Setting, {}, 26},  // WEP key
            {under(kRoot, {3, 11, 1, 1, 2}), Kind::Setting, {1, 2, 3}},       // AP array role
            {under(kRoot, {3, 11, 1, 1, 3}), Kind::Setting, {}, 32},          // AP array name
        },
        {},
        {},
    };
    const Subsystem radio = radioPart();
    wireless.rules.insert(wireless.rules.end(), radio.rules.begin(), radio.rules.end());
    wireless.behaviour = radio.behaviour;
    wireless.activate = radio.activate;
    return wireless;
}

} // namespace sim
