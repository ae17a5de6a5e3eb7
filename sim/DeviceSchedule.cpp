// The wireless schedule: a global status and a list of named rules, each switching one
// SSID on a set of days, all day or within a time frame. The device adds a rule when
// the rule objects are written with the action "add" and deletes the rule of that name
// and SSID with "del"; it lists the rules with its own day and time texts.
#include "ServicesParts.h"

#include <string>

namespace sim {

namespace {

const Oid kStatus = under(kRoot, {3, 10, 1, 1, 1, 0});
const Oid kRule = under(kRoot, {3, 10, 1, 2});
const Oid kList = under(kRoot, {3, 10, 2, 1, 1});
const Oid kSsids = under(kRoot, {3, 3, 3, 1, 3, 1});

enum RuleObject : unsigned long { Name = 1, Days, AllDay, Start, End, Action = 7, Ssid, Node };
enum ListColumn : unsigned long { LName = 2, LDays, LFrame, LWireless, LSsidIndex, LSsid, LNode };
const char *const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

Value &object(State &state, unsigned long o)
{
    return state[under(kRule, {o, 0})];
}

Value *listCell(State &state, unsigned long column, unsigned long row)
{
    return cell(state, under(kList, {column}), row);
}

unsigned long rows(State &state)
{
    unsigned long n = 0;
    while (listCell(state, 1, n + 1))
        ++n;
    return n;
}

// "H:M" with the hour 0 to 23 and the minute 0 to 59, written back without leading zeros.
std::optional<std::string> timeText(const std::string &text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    auto number = [](const std::string &t, long most) -> std::optional<long> {
        if (t.empty() || t.size() > 2 || t.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const long n = std::stol(t);
        return n <= most ? std::optional<long>(n) : std::nullopt;
    };
    const auto hour = number(text.substr(0, colon), 23);
    const auto minute = number(text.substr(colon + 1), 59);
    if (!hour || !minute)
        return std::nullopt;
    return std::to_string(*hour) + ":" + std::to_string(*minute);
}

std::string daysText(long mask)
{
    if (mask == 0)
        return "All Week";
    std::string text;
    for (int d = 0; d < 7; ++d)
        if (mask & (1L << d))
            text += (text.empty() ? "" : ",") + std::string(kDayNames[d]);
    return text;
}

unsigned long rowOfRule(State &state, const std::string &name, const long *ssid)
{
    for (unsigned long r = 1; r <= rows(state); ++r)
        if (listCell(state, LName, r)->octets == name && (!ssid || listCell(state, LSsidIndex, r)->integer == *ssid))
            return r;
    return 0;
}

int addRule(State &state)
{
    const std::string name = object(state, Name).octets;
    const long days = object(state, Days).integer;
    const long ssid = object(state, Ssid).integer;
    if (name.empty() || rowOfRule(state, name, nullptr))
        return InconsistentValue;
    if (days < 0 || days > 127)
        return WrongValue;
    std::string frame = "All Day(s)";
    if (object(state, AllDay).integer != 1) {
        const auto start = timeText(object(state, Start).octets);
        const auto end = timeText(object(state, End).octets);
        if (!start || !end)
            return WrongValue;
        frame = *start + "-" + *end;
    }
    const unsigned long row = rowOfRule(state, "", nullptr);
    if (row == 0)
        return ResourceUnavailable;
    const Value *ssidName = cell(state, kSsids, static_cast<unsigned long>(ssid) + 1);
    *listCell(state, LName, row) = Value::makeString(name);
    *listCell(state, LDays, row) = Value::makeString(daysText(days));
    *listCell(state, LFrame, row) = Value::makeString(frame);
    *listCell(state, LWireless, row) = Value::makeInteger(1);
    *listCell(state, LSsidIndex, row) = Value::makeInteger(ssid);
    *listCell(state, LSsid, row) = Value::makeString(ssidName ? ssidName->octets : "");
    *listCell(state, LNode, row) = Value::makeInteger(object(state, Node).integer);
    return NoError;
}

// The rules below a deleted one move up, so the named rows stay first.
int deleteRule(State &state)
{
    const std::string name = object(state, Name).octets;
    const long ssid = object(state, Ssid).integer;
    const unsigned long row = name.empty() ? 0 : rowOfRule(state, name, &ssid);
    if (row == 0)
        return InconsistentValue;
    const unsigned long n = rows(state);
    for (unsigned long r = row; r < n; ++r)
        for (unsigned long c = LName; c <= LNode; ++c)
            *listCell(state, c, r) = *listCell(state, c, r + 1);
    for (unsigned long c : {LName, LDays, LFrame, LSsid})
        *listCell(state, c, n) = Value::makeString("");
    for (unsigned long c : {LWireless, LSsidIndex, LNode})
        *listCell(state, c, n) = Value::makeInteger(0);
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    if (vb.oid != under(kRule, {Action, 0}))
        return std::nullopt;
    return vb.value.integer == 1 ? addRule(device.current()) : deleteRule(device.current());
}

} // namespace

Subsystem schedulePart()
{
    std::vector<Rule> rules = {
        {kStatus, Kind::Setting, {0, 1}},
        {under(kRule, {Name, 0}), Kind::Transfer, {}, 32},
        {under(kRule, {Days, 0}), Kind::Transfer}, // 0 to 127, checked on add
        {under(kRule, {AllDay, 0}), Kind::Transfer, {0, 1}},
        {under(kRule, {Start, 0}), Kind::Transfer, {}, 5},
        {under(kRule, {End, 0}), Kind::Transfer, {}, 5},
        {under(kRule, {Action, 0}), Kind::Command, {0, 1}},
        {under(kRule, {Ssid, 0}), Kind::Transfer, {0, 1, 2, 3, 4, 5, 6, 7}},
        {under(kRule, {Node, 0}), Kind::Transfer},
    };
    return {rules, behaviour, {}};
}

} // namespace sim
