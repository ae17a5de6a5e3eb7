// The module shell's objects: the system group, the LAN settings and the device-wide
// commands (apply, discard, restart, factory default); management access and the clock
// in files of their own.
#include "Device.h"
#include "DeviceShellParts.h"

namespace sim {

namespace {

const Oid kGetIpFrom = under(kRoot, {2, 1, 1, 1, 1, 1});
const Oid kHostAddress = under(kRoot, {2, 1, 1, 1, 1, 2});
const Oid kHostMask = under(kRoot, {2, 1, 1, 1, 1, 3});
const Oid kHostGateway = under(kRoot, {2, 1, 1, 1, 1, 4});
const Oid kIfAddress = under(kRoot, {5, 1, 2, 1, 1, 2});
const Oid kIfMask = under(kRoot, {5, 1, 2, 1, 1, 3});
const Oid kIfGateway = under(kRoot, {5, 1, 2, 1, 1, 4});

const Oid kRestart = under(kRoot, {4, 2, 1, 0});
const Oid kFactoryDefault = under(kRoot, {4, 2, 2, 0});
const Oid kApply = under(kRoot, {4, 2, 3, 0});
const Oid kDiscard = under(kRoot, {4, 2, 4, 0});

// A device refuses a default gateway it could not reach: one off the subnet of the
// configured address (0.0.0.0 means none).
bool gatewayReachable(const State &state, const Oid &written)
{
    const Oid *column = nullptr;
    for (const Oid *c : {&kHostAddress, &kHostMask, &kHostGateway})
        if (hasPrefix(written, *c))
            column = c;
    if (!column)
        return true;
    const Oid instance(written.begin() + static_cast<long>(column->size()), written.end());
    auto field = [&](const Oid &col) -> std::string {
        Oid o = col;
        o.insert(o.end(), instance.begin(), instance.end());
        auto it = state.find(o);
        return it != state.end() && it->second.octets.size() == 4 ? it->second.octets : std::string(4, '\0');
    };
    const std::string address = field(kHostAddress), mask = field(kHostMask), gateway = field(kHostGateway);
    if (gateway == std::string(4, '\0'))
        return true;
    for (int i = 0; i < 4; ++i)
        if ((address[i] & mask[i]) != (gateway[i] & mask[i]))
            return false;
    return true;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    const Oid &oid = vb.oid;
    const long v = vb.value.integer;
    if (!gatewayReachable(device.current(), oid))
        return InconsistentValue;
    if (oid == kApply && v == 1) {
        device.store();
        device.activate();
    } else if (oid == kDiscard && v == 1) {
        device.current() = device.saved();
        device.scheduleRestart();
    } else if (oid == kRestart && v == 1) {
        device.scheduleRestart();
    } else if (oid == kFactoryDefault && v == 1) {
        device.saved() = device.settingsOf(device.factory());
        device.current() = device.saved();
        device.scheduleRestart();
    } else {
        return std::nullopt;
    }
    return NoError;
}

// The interface shows the address the device works with: the configured one while
// it is set to a static address. (With DHCP it keeps the address it had.)
void followLanSettings(Device &device)
{
    State &current = device.current();
    auto copy = [&current](const Oid &fromColumn, const Oid &toColumn) {
        for (auto &[oid, value] : current) {
            if (!hasPrefix(oid, fromColumn))
                continue;
            Oid target = toColumn;
            target.insert(target.end(), oid.begin() + static_cast<long>(fromColumn.size()), oid.end());
            auto t = current.find(target);
            if (t != current.end() && t->second.tag == value.tag)
                t->second = value;
        }
    };
    auto mode = current.find(under(kGetIpFrom, {1}));
    if (mode != current.end() && mode->second.integer == 1) {
        copy(kHostAddress, kIfAddress);
        copy(kHostMask, kIfMask);
        copy(kHostGateway, kIfGateway);
    }
}

// The parts' rules after the shell's own; a written varbind goes to the first part
// that knows it, and every part brings its derived objects in line.
Subsystem combine(std::vector<Subsystem> parts)
{
    Subsystem all;
    for (const Subsystem &p : parts)
        all.rules.insert(all.rules.end(), p.rules.begin(), p.rules.end());
    all.behaviour = [parts](Device &device, const Varbind &vb) -> std::optional<int> {
        for (const Subsystem &p : parts)
            if (p.behaviour)
                if (std::optional<int> status = p.behaviour(device, vb))
                    return status;
        return std::nullopt;
    };
    all.activate = [parts](Device &device) {
        for (const Subsystem &p : parts)
            if (p.activate)
                p.activate(device);
    };
    all.live = [parts](const Device &device, const Oid &oid) -> std::optional<Value> {
        for (const Subsystem &p : parts)
            if (p.live)
                if (std::optional<Value> v = p.live(device, oid))
                    return v;
        return std::nullopt;
    };
    return all;
}

Subsystem ownPart()
{
    return {
        {
            {under(kSystem, {4})}, // sysContact
            {under(kSystem, {5})}, // sysName
            {under(kSystem, {6})}, // sysLocation
            {kGetIpFrom, Kind::Setting, {1, 2}},
            {kHostAddress},
            {kHostMask},
            {kHostGateway},
            {kRestart, Kind::Command, {0, 1}},
            {kFactoryDefault, Kind::Command, {0, 1}},
            {kApply, Kind::Command, {0, 1}},
            {kDiscard, Kind::Command, {0, 1}},
        },
        behaviour,
        followLanSettings,
    };
}

} // namespace

Subsystem shellSubsystem()
{
    return combine({ownPart(), adminPart(), clockPart()});
}

} // namespace sim
