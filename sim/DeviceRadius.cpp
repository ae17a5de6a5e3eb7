// The internal RADIUS server's accounts: the account objects written with the action
// "Add" put an account into the first free row of the account list, with "Delete" they
// remove the listed account of that name. Names are told apart without regard to case,
// as the RADIUS server matches a user name at login.
#include "ServicesParts.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace sim {

namespace {

const Oid kAccount = under(kRoot, {3, 12, 1});
const Oid kList = under(kRoot, {3, 12, 2, 1, 1});

enum AccountObject : unsigned long { Name = 1, Password = 2, Action = 3, NodeStatus = 4 };
enum ListColumn : unsigned long { Index = 1, ListName = 2, ListStatus = 3, ListPassword = 4 };
constexpr std::size_t kMaxName = 64, kMinPassword = 8, kMaxPassword = 64;

Oid accountObject(unsigned long object)
{
    return under(kAccount, {object, 0});
}

Oid listColumn(unsigned long c)
{
    return under(kList, {c});
}

unsigned long listRows(State &state)
{
    unsigned long n = 0;
    while (cell(state, listColumn(Index), n + 1))
        ++n;
    return n;
}

bool sameName(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The named rows come first; 0 when no row holds the name.
unsigned long rowNamed(State &state, const std::string &name)
{
    for (unsigned long r = 1; r <= listRows(state); ++r) {
        const std::string &listed = cell(state, listColumn(ListName), r)->octets;
        if (name.empty() ? listed.empty() : sameName(listed, name))
            return r;
    }
    return 0;
}

int addAccount(State &state)
{
    const std::string name = state[accountObject(Name)].octets;
    const std::string password = state[accountObject(Password)].octets;
    const long status = state[accountObject(NodeStatus)].integer;
    if (name.empty() || password.size() < kMinPassword)
        return WrongValue;
    if (rowNamed(state, name))
        return InconsistentValue;
    const unsigned long row = rowNamed(state, "");
    if (row == 0)
        return ResourceUnavailable;
    *cell(state, listColumn(ListName), row) = Value::makeString(name);
    *cell(state, listColumn(ListStatus), row) = Value::makeInteger(status);
    *cell(state, listColumn(ListPassword), row) = Value::makeString(password);
    return NoError;
}

// The accounts below a deleted one move up, so the named rows stay first.
int deleteAccount(State &state)
{
    const std::string name = state[accountObject(Name)].octets;
    const unsigned long row = name.empty() ? 0 : rowNamed(state, name);
    if (row == 0)
        return InconsistentValue;
    const unsigned long rows = listRows(state);
    for (unsigned long r = row; r < rows; ++r)
        for (unsigned long c = ListName; c <= ListPassword; ++c)
            *cell(state, listColumn(c), r) = *cell(state, listColumn(c), r + 1);
    *cell(state, listColumn(ListName), rows) = Value::makeString("");
    *cell(state, listColumn(ListStatus), rows) = Value::makeInteger(0);
    *cell(state, listColumn(ListPassword), rows) = Value::makeString("");
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    if (vb.oid != accountObject(Action))
        return std::nullopt;
    return vb.value.integer == 1 ? addAccount(device.current()) : deleteAccount(device.current());
}

} // namespace

Subsystem radiusPart()
{
    std::vector<Rule> rules = {
        {accountObject(Name), Kind::Transfer, {}, kMaxName},
        {accountObject(Password), Kind::Transfer, {}, kMaxPassword},
        {accountObject(NodeStatus), Kind::Transfer, {0, 1}},
        {accountObject(Action), Kind::Command, {0, 1}},
    };
    return {rules, behaviour, {}};
}

} // namespace sim
