#include "Device.h"
#include "DeviceStats.h"

#include <algorithm>
#include <ctime>

namespace sim {

std::optional<Value> maskedSecret(const Device &device, const Oid &oid)
{
    auto it = device.state().find(oid);
    if (it == device.state().end())
        return std::nullopt;
    Value shown = it->second;
    shown.octets.assign(shown.octets.size(), '*');
    return shown;
}

namespace {
const Oid kSysUpTime = {1, 3, 6, 1, 2, 1, 1, 3, 0};
const Oid kSysDescr = {1, 3, 6, 1, 2, 1, 1, 1, 0};
} // namespace

const char *statusName(int status)
{
    static const char *names[] = {
        "noError", "tooBig", "noSuchName", "badValue", "readOnly", "genErr", "noAccess",
        "wrongType", "wrongLength", "wrongEncoding", "wrongValue", "noCreation",
        "inconsistentValue", "resourceUnavailable", "commitFailed", "undoFailed",
        "authorizationError", "notWritable", "inconsistentName",
    };
    return status >= 0 && status <= 18 ? names[status] : "unknown";
}

Device::Device(State factory, Options options)
    : subsystems_{shellSubsystem(), wirelessSubsystem(), servicesSubsystem(), transferSubsystem(),
                  statsSubsystem(), logSubsystem()},
      factory_(std::move(factory)), options_(std::move(options)), log_(options_.logSeed)
{
    saved_ = settingsOf(factory_);
    current_ = saved_;
    activate();
    bootTime_ = Clock::now();
}

const Rule *Device::ruleFor(const Oid &oid) const
{
    for (const Subsystem &s : subsystems_)
        for (const Rule &r : s.rules)
            if (hasPrefix(oid, r.prefix))
                return &r;
    return nullptr;
}

std::optional<Value> Device::get(const Oid &oid) const
{
    auto it = current_.find(oid);
    if (it == current_.end())
        return std::nullopt;
    if (oid == kSysUpTime) {
        Value v = it->second;
        auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - bootTime_).count() / 10;
        v.number = static_cast<std::uint64_t>(ticks) & 0xffffffffu;
        return v;
    }
    for (const Subsystem &s : subsystems_)
        if (s.live)
            if (std::optional<Value> v = s.live(*this, oid))
                return v;
    return it->second;
}

std::optional<std::pair<Oid, Value>> Device::next(const Oid &oid) const
{
    auto it = current_.upper_bound(oid);
    if (it == current_.end())
        return std::nullopt;
    return std::make_pair(it->first, *get(it->first));
}

int Device::check(const Varbind &vb, bool v1) const
{
    auto it = current_.find(vb.oid);
    if (it == current_.end())
        return NoCreation; // the agent reports noSuchName to SNMPv1 managers
    const Rule *rule = ruleFor(vb.oid);
    if (!rule)
        return v1 ? ReadOnly : NotWritable;
    if (vb.value.tag != it->second.tag)
        return WrongType;
    if (vb.value.tag == 64 && vb.value.octets.size() != 4)
        return WrongLength;
    if (vb.value.tag == 4 && vb.value.octets.size() > rule->maxLength)
        return WrongLength;
    if (vb.value.tag == 2 && !rule->allowed.empty()
        && std::find(rule->allowed.begin(), rule->allowed.end(), vb.value.integer) == rule->allowed.end())
        return WrongValue;
    return NoError;
}

SetResult Device::set(const std::vector<Varbind> &vbs)
{
    const State savedBefore = saved_, currentBefore = current_;
    const bool restartBefore = restartPending_;
    for (const Varbind &vb : vbs)
        current_[vb.oid] = vb.value;
    for (std::size_t i = 0; i < vbs.size(); ++i) {
        int status = runBehaviour(vbs[i]);
        if (status != NoError) {
            saved_ = savedBefore;
            current_ = currentBefore;
            restartPending_ = restartBefore;
            return {status, static_cast<int>(i + 1)};
        }
    }
    const std::size_t settings = std::count_if(vbs.begin(), vbs.end(), [this](const Varbind &vb) {
        const Rule *rule = ruleFor(vb.oid);
        return rule && rule->kind == Kind::Setting;
    });
    if (settings > 0)
        logEvent("Notice", "Settings changed: " + std::to_string(settings) + " object(s)");
    // Commands are one-shot: they read back as idle once carried out.
    for (auto &[oid, value] : current_) {
        const Rule *rule = ruleFor(oid);
        if (rule && rule->kind == Kind::Command)
            value = factory_.at(oid);
    }
    return {};
}

int Device::runBehaviour(const Varbind &vb)
{
    for (const Subsystem &s : subsystems_)
        if (s.behaviour)
            if (std::optional<int> status = s.behaviour(*this, vb))
                return *status;
    return NoError;
}

void Device::commit()
{
    if (restartPending_) {
        restartPending_ = false;
        silentUntil_ = Clock::now() + std::chrono::seconds(options_.rebootSeconds);
    }
}

void Device::tick()
{
    if (silentUntil_ && Clock::now() >= *silentUntil_) {
        silentUntil_.reset();
        boot();
    }
    if (silentUntil_)
        return;
    std::vector<std::function<void()>> due;
    for (auto it = deferred_.begin(); it != deferred_.end();) {
        if (it->first <= Clock::now()) {
            due.push_back(std::move(it->second));
            it = deferred_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto &job : due)
        job();
}

std::optional<Device::Clock::time_point> Device::nextWake() const
{
    if (silentUntil_)
        return silentUntil_;
    std::optional<Clock::time_point> next;
    for (const auto &job : deferred_)
        if (!next || job.first < *next)
            next = job.first;
    return next;
}

void Device::defer(std::chrono::milliseconds delay, std::function<void()> job)
{
    deferred_.emplace_back(Clock::now() + delay, std::move(job));
}

void Device::boot()
{
    if (newFirmware_) {
        // The new image reports itself, also after later restarts.
        saved_[kSysDescr] = Value::makeString(options_.upgradedDescription);
        factory_[kSysDescr] = saved_[kSysDescr];
        newFirmware_ = false;
    }
    current_ = saved_; // changes that were not applied are lost with a restart
    activate();
    bootTime_ = Clock::now();
    logEvent("System", "Device restarted");
}

std::string Device::logText() const
{
    std::string text;
    for (const std::string &line : log_)
        text += line + "\n";
    return text;
}

void Device::logEvent(const std::string &type, const std::string &text)
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &utc);
    log_.push_back(std::string(stamp) + " | [" + type + "] " + text);
}

State Device::settingsOf(const State &s) const
{
    State r = s;
    for (auto &[oid, value] : r) {
        const Rule *rule = ruleFor(oid);
        if (rule && rule->kind == Kind::Command)
            value = factory_.at(oid);
    }
    return r;
}

void Device::store()
{
    saved_ = settingsOf(current_);
}

void Device::activate()
{
    for (const Subsystem &s : subsystems_)
        if (s.activate)
            s.activate(*this);
}

std::string Device::configText() const
{
    State settings;
    for (const auto &[oid, value] : current_) {
        const Rule *rule = ruleFor(oid);
        if (rule && rule->kind == Kind::Setting)
            settings.emplace(oid, value);
    }
    return formatText(settings);
}

} // namespace sim
