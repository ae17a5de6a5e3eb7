// Security of the primary SSID: authentication, encryption and the four WEP key rows,
// the WPA passphrase, cipher and group key interval, the RADIUS and accounting servers.
// Keys, the passphrase and the secrets read back as asterisks of their stored length
// (nothing when unset); what is written reaches the state, the journal and configuration
// backups unmasked.
#include "WirelessParts.h"

#include <algorithm>
#include <cctype>

namespace sim {

namespace {

const Oid kSecurity = under(kRoot, {2, 1, 3, 3, 2, 1, 1});
const Oid kKeyMethod = under(kRoot, {2, 1, 3, 3, 2, 2, 1, 2});
const Oid kKey = under(kRoot, {2, 1, 3, 3, 2, 2, 1, 3});
constexpr unsigned long kPassphrase = 4;
constexpr unsigned long kSecrets[] = {10, 13, 17, 21};
constexpr unsigned long kPorts[] = {9, 12, 16, 20};
constexpr unsigned long kIntervals[] = {6, 24};
constexpr long kEntryAscii = 1, kEntryHex = 2;

Oid column(unsigned long c)
{
    return under(kSecurity, {c, 1});
}

bool isColumn(const Oid &oid, const unsigned long *first, const unsigned long *last)
{
    return std::any_of(first, last, [&oid](unsigned long c) { return oid == column(c); });
}

bool masked(const Oid &oid)
{
    return oid == column(kPassphrase) || isColumn(oid, std::begin(kSecrets), std::end(kSecrets))
           || (hasPrefix(oid, kKey) && oid.size() == kKey.size() + 1);
}

// Whether a key fits its row's entry method: 5 or 13 characters as ASCII, 10 or 26 hex
// digits as HEX. An empty key clears the row.
std::optional<int> keyFits(const std::string &key, long method)
{
    const std::size_t n = key.size();
    if (n == 0)
        return std::nullopt;
    if (method == kEntryAscii)
        return n == 5 || n == 13 ? std::nullopt : std::optional<int>(WrongLength);
    if (method != kEntryHex)
        return std::nullopt;
    if (n != 10 && n != 26)
        return WrongLength;
    if (!std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return WrongValue;
    return std::nullopt;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    const State &state = device.current();
    const Oid &oid = vb.oid;
    const long v = vb.value.integer;
    if (oid == column(kPassphrase)) {
        const std::size_t n = vb.value.octets.size();
        return n >= 8 && n <= 63 ? std::nullopt : std::optional<int>(WrongLength);
    }
    if (isColumn(oid, std::begin(kIntervals), std::end(kIntervals)))
        return v >= 300 && v <= 9999999 ? std::nullopt : std::optional<int>(WrongValue);
    if (isColumn(oid, std::begin(kPorts), std::end(kPorts)))
        return v >= 1 && v <= 65535 ? std::nullopt : std::optional<int>(WrongValue);
    if (hasPrefix(oid, kKey) && oid.size() == kKey.size() + 1) {
        auto method = state.find(under(kKeyMethod, {oid.back()}));
        return keyFits(vb.value.octets, method == state.end() ? 0 : method->second.integer);
    }
    if (hasPrefix(oid, kKeyMethod) && oid.size() == kKeyMethod.size() + 1) {
        // A row whose stored key no longer fits its new method is refused as a whole.
        auto key = state.find(under(kKey, {oid.back()}));
        if (key != state.end() && keyFits(key->second.octets, v))
            return InconsistentValue;
    }
    return std::nullopt;
}

std::optional<Value> live(const Device &device, const Oid &oid)
{
    if (!masked(oid))
        return std::nullopt;
    return maskedSecret(device, oid);
}

} // namespace

Subsystem securityPart()
{
    std::vector<Rule> rules = {
        {column(1), Kind::Setting, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},  // dot11Authentication
        {column(2), Kind::Setting, {0, 1}},                           // dot11Encryption
        {column(3), Kind::Setting, {1, 2, 3, 4}},                     // dot11KeyIndex
        {column(kPassphrase), Kind::Setting, {}, 63},
        {column(5), Kind::Setting, {1, 2, 3, 4}},                     // dot11CipherType
        {column(6), Kind::Setting},                                   // dot11GroupKeyUpdateInterval
        {column(14), Kind::Setting, {0, 1}},                          // dot11PrimaryAccountingStatus
        {column(22), Kind::Setting, {0, 1}},                          // dot11NetworkAccessProtection
        {column(23), Kind::Setting, {1, 2}},                          // dot11RadiusSource
        {column(24), Kind::Setting},                                  // dot11RadiusKeyUpdateInterval
        {kKeyMethod, Kind::Setting, {kEntryAscii, kEntryHex}},
        {kKey, Kind::Setting, {}, 26},
    };
    for (unsigned long c : {8ul, 11ul, 15ul, 19ul}) // the servers' addresses
        rules.push_back({column(c), Kind::Setting});
    for (unsigned long c : kPorts)
        rules.push_back({column(c), Kind::Setting});
    for (unsigned long c : kSecrets)
        rules.push_back({column(c), Kind::Setting, {}, 64});
    Subsystem part{rules, behaviour, {}};
    part.live = live;
    return part;
}

} // namespace sim
