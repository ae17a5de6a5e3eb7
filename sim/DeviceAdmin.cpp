// Management access: the administrator's login, the remote console, the limits on who
// may manage the device (a VLAN tag and up to four address ranges) and ping answers.
#include "Device.h"
#include "DeviceShellParts.h"

#include <cstdint>

namespace sim {

namespace {

const Oid kUserName = under(kRoot, {4, 1, 1, 1, 2});
const Oid kPassword = under(kRoot, {4, 1, 1, 1, 3});
const Oid kTelnet = under(kRoot, {4, 4, 1, 0});
const Oid kSsh = under(kRoot, {4, 4, 2, 0});
const Oid kTimeout = under(kRoot, {4, 4, 3, 0});
const Oid kManagerStatus = under(kRoot, {4, 10, 1, 1, 0});
const Oid kVlanTag = under(kRoot, {4, 10, 1, 2, 0});
const Oid kRangeStart = under(kRoot, {4, 10, 1, 3, 1, 2});
const Oid kRangeEnd = under(kRoot, {4, 10, 1, 3, 1, 3});
const Oid kRangeDelete = under(kRoot, {4, 10, 1, 3, 1, 4});
const Oid kPing = under(kRoot, {4, 12, 1, 0});

constexpr long kMaxVlanTag = 4095;

Oid instanceOf(const Oid &oid, const Oid &column)
{
    return Oid(oid.begin() + static_cast<long>(column.size()), oid.end());
}

Oid cell(const Oid &column, const Oid &instance)
{
    Oid o = column;
    o.insert(o.end(), instance.begin(), instance.end());
    return o;
}

// An address as a number, first octet most significant; nothing when not an address.
std::optional<std::uint32_t> addressAt(const State &state, const Oid &oid)
{
    auto it = state.find(oid);
    if (it == state.end() || it->second.tag != 64 || it->second.octets.size() != 4)
        return std::nullopt;
    std::uint32_t a = 0;
    for (unsigned char c : it->second.octets)
        a = (a << 8) | c;
    return a;
}

struct Range {
    std::uint32_t start = 0, end = 0;
    bool free() const { return start == 0 && end == 0; }
};

std::optional<Range> rangeAt(const State &state, const Oid &instance)
{
    auto start = addressAt(state, cell(kRangeStart, instance));
    auto end = addressAt(state, cell(kRangeEnd, instance));
    if (!start || !end)
        return std::nullopt;
    return Range{*start, *end};
}

// A row is free (both ends 0.0.0.0) or a range start..end that shares no address with
// any other row in use.
int checkRange(const State &state, const Oid &instance)
{
    const std::optional<Range> row = rangeAt(state, instance);
    if (!row || row->free())
        return NoError;
    if (row->start == 0 || row->end == 0 || row->start > row->end)
        return InconsistentValue;
    for (auto it = state.lower_bound(kRangeStart); it != state.end() && hasPrefix(it->first, kRangeStart); ++it) {
        const Oid other = instanceOf(it->first, kRangeStart);
        if (other == instance)
            continue;
        const std::optional<Range> r = rangeAt(state, other);
        if (r && !r->free() && row->start <= r->end && r->start <= row->end)
            return InconsistentValue;
    }
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    if (hasPrefix(vb.oid, kRangeDelete)) {
        if (vb.value.integer == 1) {
            const Oid instance = instanceOf(vb.oid, kRangeDelete);
            for (const Oid *column : {&kRangeStart, &kRangeEnd}) {
                auto it = state.find(cell(*column, instance));
                if (it != state.end())
                    it->second.octets = std::string(4, '\0');
            }
        }
        return NoError;
    }
    if (hasPrefix(vb.oid, kRangeStart))
        return checkRange(state, instanceOf(vb.oid, kRangeStart));
    if (hasPrefix(vb.oid, kRangeEnd))
        return checkRange(state, instanceOf(vb.oid, kRangeEnd));
    if (vb.oid == kVlanTag)
        return vb.value.integer >= 0 && vb.value.integer <= kMaxVlanTag ? NoError : WrongValue;
    return std::nullopt;
}

} // namespace

Subsystem adminPart()
{
    return {
        {
            {kUserName, Kind::Setting, {}, 64},
            {kPassword, Kind::Setting, {}, 12},
            {kTelnet, Kind::Setting, {0, 1}},
            {kSsh, Kind::Setting, {0, 1}},
            {kTimeout, Kind::Setting, {0, 1, 2, 3, 4, 5}},
            {kManagerStatus, Kind::Setting, {0, 1, 2, 3}},
            {kVlanTag},
            {kRangeStart},
            {kRangeEnd},
            {kRangeDelete, Kind::Command, {0, 1}},
            {kPing, Kind::Setting, {0, 1}},
        },
        behaviour,
        {},
    };
}

} // namespace sim
