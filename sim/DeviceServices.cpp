// The network services: DHCP server, VLAN, traffic control, schedules, RADIUS, QoS.
#include "ServicesParts.h"

namespace sim {

Value *cell(State &state, const Oid &column, unsigned long row)
{
    auto it = state.find(under(column, {row}));
    return it == state.end() ? nullptr : &it->second;
}

unsigned long rowOf(const Varbind &vb, const Oid &column)
{
    if (vb.oid.size() != column.size() + 1 || !hasPrefix(vb.oid, column))
        return 0;
    return vb.oid.back();
}

std::uint32_t ipOf(const Value &v)
{
    std::uint32_t a = 0;
    for (std::size_t i = 0; i < 4; ++i)
        a = a << 8 | (i < v.octets.size() ? static_cast<unsigned char>(v.octets[i]) : 0u);
    return a;
}

Value ipValue(std::uint32_t address)
{
    Value v;
    v.tag = 64;
    for (int shift = 24; shift >= 0; shift -= 8)
        v.octets += static_cast<char>((address >> shift) & 0xff);
    return v;
}

Subsystem servicesSubsystem()
{
    const std::vector<Subsystem> parts = {dhcpPart(), vlanPart(), trafficPart(), schedulePart(), radiusPart(), qosPart()};
    Subsystem joined;
    for (const Subsystem &p : parts)
        joined.rules.insert(joined.rules.end(), p.rules.begin(), p.rules.end());
    joined.behaviour = [parts](Device &device, const Varbind &vb) -> std::optional<int> {
        for (const Subsystem &p : parts)
            if (p.behaviour)
                if (std::optional<int> status = p.behaviour(device, vb))
                    return status;
        return std::nullopt;
    };
    joined.activate = [parts](Device &device) {
        for (const Subsystem &p : parts)
            if (p.activate)
                p.activate(device);
    };
    return joined;
}

} // namespace sim
