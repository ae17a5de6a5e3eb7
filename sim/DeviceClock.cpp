// The device's clock and how it keeps time. The time of day runs from the moment it was
// last set (or from the simulator's start); writing "mm/dd/yyyy hh:mm:ss" to the same
// object sets it, and a text that is not such a date and time, or names a day that does
// not exist, is refused.
#include "Device.h"
#include "DeviceShellParts.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <numeric>

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::sys_seconds;

const Oid kSntp = under(kRoot, {4, 8});
const Oid kTimeOfDay = under(kSntp, {7, 0});

// A date and time in the device's form; nothing when the text is not one.
std::optional<Seconds> parseTime(const std::string &text)
{
    if (text.size() != 19)
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char separator = i == 2 || i == 5 ? '/' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : 0;
        if (separator ? c != separator : (c < '0' || c > '9'))
            return std::nullopt;
    }
    auto number = [&text](std::size_t at, std::size_t length) { return std::stoi(text.substr(at, length)); };
    using namespace std::chrono;
    const year_month_day date{year(number(6, 4)), month(unsigned(number(0, 2))), day(unsigned(number(3, 2)))};
    const int h = number(11, 2), m = number(14, 2), s = number(17, 2);
    if (!date.ok() || h > 23 || m > 59 || s > 59)
        return std::nullopt;
    return sys_days(date) + hours(h) + minutes(m) + seconds(s);
}

std::string formatTime(Seconds t)
{
    using namespace std::chrono;
    const auto day = floor<days>(t);
    const year_month_day date(day);
    const hh_mm_ss<seconds> time(t - day);
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d %02d:%02d:%02d", unsigned(date.month()),
                  unsigned(date.day()), int(date.year()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    return text;
}

// When each text the clock was set to was written. A set that is undone puts an older
// text back, which then runs on from its own moment.
struct Anchors {
    Clock::time_point start = Clock::now();
    std::map<std::string, Clock::time_point> set;

    Clock::time_point of(const std::string &text) const
    {
        auto it = set.find(text);
        return it == set.end() ? start : it->second;
    }
};

std::vector<long> values(long from, long to)
{
    std::vector<long> v(static_cast<std::size_t>(to - from + 1));
    std::iota(v.begin(), v.end(), from);
    return v;
}

} // namespace

Subsystem clockPart()
{
    auto anchors = std::make_shared<Anchors>();
    auto behaviour = [anchors](Device &, const Varbind &vb) -> std::optional<int> {
        if (vb.oid != kTimeOfDay)
            return std::nullopt;
        if (!parseTime(vb.value.octets))
            return WrongValue;
        anchors->set[vb.value.octets] = Clock::now();
        return NoError;
    };
    auto live = [anchors](const Device &device, const Oid &oid) -> std::optional<Value> {
        if (oid != kTimeOfDay)
            return std::nullopt;
        const Value &stored = device.state().at(oid);
        const std::optional<Seconds> base = parseTime(stored.octets);
        if (!base)
            return std::nullopt;
        const auto ran = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - anchors->of(stored.octets));
        return Value::makeString(formatTime(*base + ran));
    };
    const std::vector<long> month = values(1, 12), week = values(1, 5), weekday = values(0, 6), hour = values(0, 23);
    return {
        {
            {under(kSntp, {1, 0})},                                  // NTP server address
            {under(kSntp, {2, 0}), Kind::Setting, values(1, 75)},    // time zone
            {under(kSntp, {3, 0}), Kind::Setting, {0, 1}},           // daylight saving
            {under(kSntp, {5, 0}), Kind::Setting, {0, 1}},           // NTP in use
            // Kept out of configuration files with the transfer parameters: restoring
            // an old file must not set the clock back.
            {kTimeOfDay, Kind::Transfer, {}, 19},
            {under(kSntp, {8, 0}), Kind::Setting, month},
            {under(kSntp, {9, 0}), Kind::Setting, week},
            {under(kSntp, {10, 0}), Kind::Setting, weekday},
            {under(kSntp, {11, 0}), Kind::Setting, hour},
            {under(kSntp, {12, 0}), Kind::Setting, month},
            {under(kSntp, {13, 0}), Kind::Setting, week},
            {under(kSntp, {14, 0}), Kind::Setting, weekday},
            {under(kSntp, {15, 0}), Kind::Setting, hour},
        },
        behaviour,
        {},
        live,
    };
}

} // namespace sim
