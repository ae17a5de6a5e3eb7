// The DHCP server: its dynamic pool, the table of static (reserved) addresses and the
// lists of leases it holds, which the device gathers when asked to.
#include "ServicesParts.h"

#include <string>
#include <utility>

namespace sim {

namespace {

const Oid kServerControl = under(kRoot, {3, 1, 1, 0});
const Oid kPool = under(kRoot, {3, 1, 2, 2, 1});
const Oid kPoolStart = under(kPool, {3, 1});
const Oid kPoolEnd = under(kPool, {4, 1});
const Oid kLease = under(kPool, {11, 1});
const Oid kStaticControl = under(kRoot, {3, 1, 3, 1, 0});
const Oid kStatic = under(kRoot, {3, 1, 3, 2, 1});
const Oid kStaticDelete = under(kRoot, {3, 1, 3, 3, 0});
const Oid kRefreshDynamic = under(kRoot, {3, 1, 4, 1, 0});
const Oid kLeases = under(kRoot, {3, 1, 4, 2, 1});
const Oid kRefreshStatic = under(kRoot, {3, 1, 4, 3, 0});
const Oid kReserved = under(kRoot, {3, 1, 4, 4, 1});
const Oid kHostAddress = under(kRoot, {2, 1, 1, 1, 1, 2, 1});

enum StaticColumn { Enabled = 2, HostName = 3, Address = 4, Mac = 5, Mask = 6, Gateway = 7, Dns = 8, Wins = 9,
                    Domain = 10 };

const std::string kNoMac(6, '\0');

// The computers on the device's LAN that ask its DHCP server for an address.
struct Client {
    const char *hostName;
    std::string mac;
};
const Client kClients[] = {
    {"office-pc", std::string("\x00\xc0\xca\x11\x22\x01", 6)},
    {"", std::string("\x00\xc0\xca\x11\x22\x02", 6)}, // sends no host name
    {"printer", std::string("\x00\xc0\xca\x11\x22\x03", 6)},
};

Oid column(const Oid &table, unsigned long c)
{
    return under(table, {c});
}

long integerAt(const State &state, const Oid &oid)
{
    auto it = state.find(oid);
    return it == state.end() ? 0 : it->second.integer;
}

unsigned long rowCount(State &state, const Oid &table)
{
    unsigned long n = 0;
    while (cell(state, column(table, 1), n + 1))
        ++n;
    return n;
}

bool reserved(State &state, unsigned long row)
{
    const Value *status = cell(state, column(kStatic, Enabled), row);
    const Value *address = cell(state, column(kStatic, Address), row);
    return status && address && status->integer == 1 && ipOf(*address) != 0;
}

bool reservedMac(State &state, const std::string &mac)
{
    if (integerAt(state, kStaticControl) != 1)
        return false;
    for (unsigned long r = 1; r <= rowCount(state, kStatic); ++r)
        if (reserved(state, r) && cell(state, column(kStatic, Mac), r)->octets == mac)
            return true;
    return false;
}

void setCell(State &state, const Oid &table, unsigned long c, unsigned long row, Value v)
{
    if (Value *target = cell(state, column(table, c), row))
        *target = std::move(v);
}

void setTicks(State &state, const Oid &table, unsigned long c, unsigned long row, std::uint64_t ticks)
{
    if (Value *target = cell(state, column(table, c), row))
        target->number = ticks;
}

// Every client without a reservation holds the next address of the pool, with a
// fresh lease; the rest of the list is empty slots.
void gatherLeases(State &state)
{
    const unsigned long rows = rowCount(state, kLeases);
    unsigned long row = 1;
    if (integerAt(state, kServerControl) == 1) {
        std::uint32_t next = ipOf(state.at(kPoolStart));
        const std::uint32_t end = ipOf(state.at(kPoolEnd));
        const std::uint64_t ticks = static_cast<std::uint64_t>(integerAt(state, kLease)) * 100;
        for (const Client &client : kClients) {
            if (row > rows || next > end)
                break;
            if (reservedMac(state, client.mac))
                continue;
            setCell(state, kLeases, 2, row, Value::makeString(client.hostName));
            setCell(state, kLeases, 3, row, Value::makeString(client.mac));
            setCell(state, kLeases, 4, row, ipValue(next++));
            setTicks(state, kLeases, 5, row, ticks);
            ++row;
        }
    }
    for (; row <= rows; ++row) {
        setCell(state, kLeases, 2, row, Value::makeString(""));
        setCell(state, kLeases, 3, row, Value::makeString(kNoMac));
        setCell(state, kLeases, 4, row, ipValue(0));
        setTicks(state, kLeases, 5, row, 0);
    }
}

// Every enabled reservation is handed out while static addresses are on.
void gatherReserved(State &state)
{
    const unsigned long rows = rowCount(state, kReserved);
    unsigned long row = 1;
    if (integerAt(state, kStaticControl) == 1) {
        for (unsigned long r = 1; r <= rowCount(state, kStatic) && row <= rows; ++r) {
            if (!reserved(state, r))
                continue;
            const std::pair<unsigned long, unsigned long> copies[] = {{2, HostName}, {3, Mac}, {4, Address}};
            for (const auto &[to, from] : copies)
                setCell(state, kReserved, to, row, *cell(state, column(kStatic, from), r));
            ++row;
        }
    }
    for (; row <= rows; ++row) {
        setCell(state, kReserved, 2, row, Value::makeString(""));
        setCell(state, kReserved, 3, row, Value::makeString(kNoMac));
        setCell(state, kReserved, 4, row, ipValue(0));
    }
}

void freeStaticRow(State &state, unsigned long row)
{
    setCell(state, kStatic, Enabled, row, Value::makeInteger(0));
    setCell(state, kStatic, HostName, row, Value::makeString(""));
    setCell(state, kStatic, Mac, row, Value::makeString(kNoMac));
    setCell(state, kStatic, Domain, row, Value::makeString(""));
    for (unsigned long c : {Address, Mask, Gateway, Dns, Wins})
        setCell(state, kStatic, c, row, ipValue(0));
}

// The pool ends in its start's /24 network, not below the start.
bool poolConsistent(const State &state)
{
    const std::uint32_t start = ipOf(state.at(kPoolStart)), end = ipOf(state.at(kPoolEnd));
    return (start >> 8) == (end >> 8) && (end & 0xff) >= (start & 0xff);
}

// A reserved address is neither the AP's own nor one that another row holds.
bool addressFree(State &state, unsigned long row, std::uint32_t address)
{
    if (address == 0)
        return true;
    if (address == ipOf(state.at(kHostAddress)))
        return false;
    for (unsigned long r = 1; r <= rowCount(state, kStatic); ++r)
        if (r != row && ipOf(*cell(state, column(kStatic, Address), r)) == address)
            return false;
    return true;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    State &state = device.current();
    const long v = vb.value.integer;
    if (vb.oid == kPoolStart || vb.oid == kPoolEnd)
        return poolConsistent(state) ? std::nullopt : std::optional<int>(InconsistentValue);
    if (vb.oid == kLease)
        return v < 60 || v > 31536000 ? std::optional<int>(WrongValue) : std::nullopt;
    if (unsigned long row = rowOf(vb, column(kStatic, Address)))
        return addressFree(state, row, ipOf(vb.value)) ? std::nullopt : std::optional<int>(InconsistentValue);
    if (rowOf(vb, column(kStatic, Mac)))
        return vb.value.octets.size() == 6 ? std::nullopt : std::optional<int>(WrongLength);
    if (vb.oid == kStaticDelete) {
        if (v == 0)
            return NoError;
        if (v < 0 || !cell(state, column(kStatic, 1), static_cast<unsigned long>(v)))
            return WrongValue;
        freeStaticRow(state, static_cast<unsigned long>(v));
        return NoError;
    }
    if (vb.oid == kRefreshDynamic && v == 1) {
        gatherLeases(state);
        return NoError;
    }
    if (vb.oid == kRefreshStatic && v == 1) {
        gatherReserved(state);
        return NoError;
    }
    return std::nullopt;
}

} // namespace

Subsystem dhcpPart()
{
    std::vector<Rule> rules = {
        {kServerControl, Kind::Setting, {0, 1}},
        {column(kPool, 3)}, {column(kPool, 4)}, {column(kPool, 6)}, {column(kPool, 7)},
        {column(kPool, 8)}, {column(kPool, 9)},
        {column(kPool, 10), Kind::Setting, {}, 63}, // domain name
        {column(kPool, 11)},                        // lease, checked by the behaviour
        {kStaticControl, Kind::Setting, {0, 1}},
        {column(kStatic, Enabled), Kind::Setting, {0, 1}},
        {column(kStatic, HostName), Kind::Setting, {}, 32},
        {column(kStatic, Mac), Kind::Setting, {}, 6},
        {column(kStatic, Domain), Kind::Setting, {}, 63},
        {kStaticDelete, Kind::Command},
        {kRefreshDynamic, Kind::Command, {0, 1}},
        {kRefreshStatic, Kind::Command, {0, 1}},
    };
    for (unsigned long c : {Address, Mask, Gateway, Dns, Wins})
        rules.push_back({column(kStatic, c)});
    return {rules, behaviour, {}};
}

} // namespace sim
