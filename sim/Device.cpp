#include "Device.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace sim {

namespace {

const Oid kSystem = {1, 3, 6, 1, 2, 1, 1};
const Oid kRoot = {1, 3, 6, 1, 4, 1, 32473, 2, 5, 9};
const Oid kSysUpTime = {1, 3, 6, 1, 2, 1, 1, 3, 0};

Oid under(const Oid &base, std::initializer_list<unsigned long> tail)
{
    Oid o = base;
    o.insert(o.end(), tail);
    return o;
}

// Settings go into a configuration file; commands act and read back idle; transfer
// parameters are neither.
enum class Kind { Setting, Command, Transfer };

// What may be written, and how. Objects not listed here are read-only. A prefix
// covers every instance below it (a table column covers all its rows).
struct Rule {
    Oid prefix;
    Kind kind = Kind::Setting;
    std::vector<long> allowed = {};   // integers: the values the device knows
    std::size_t maxLength = 255;      // octet strings
};

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
const Oid kTftpServer = under(kRoot, {4, 3, 2, 1, 0});
const Oid kTftpFile = under(kRoot, {4, 3, 2, 2, 0});
const Oid kTftpCommand = under(kRoot, {4, 3, 2, 4, 0});
const Oid kUpgradeCommand = under(kRoot, {4, 3, 2, 5, 0});

enum TftpCommand { TftpGet = 2, TftpPut = 3, TftpNothing = 4 };
enum Upgrade {
    FirmwareUpdate = 1, ConfigSetting = 2, ConfigSave = 3, Reboot = 4, Nothing = 6,
    CertificateUpdate = 7, KeyUpdate = 8,
};

const std::vector<Rule> &rules()
{
    static const std::vector<Rule> table = {
        {under(kSystem, {4})}, // sysContact
        {under(kSystem, {5})}, // sysName
        {under(kSystem, {6})}, // sysLocation
        {kGetIpFrom, Kind::Setting, {1, 2}},
        {kHostAddress},
        {kHostMask},
        {kHostGateway},
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
        {kRestart, Kind::Command, {0, 1}},
        {kFactoryDefault, Kind::Command, {0, 1}},
        {kApply, Kind::Command, {0, 1}},
        {kDiscard, Kind::Command, {0, 1}},
        {kTftpServer, Kind::Transfer},
        {kTftpFile, Kind::Transfer, {}, 127},
        {kTftpCommand, Kind::Transfer, {TftpGet, TftpPut, TftpNothing}},
        {kUpgradeCommand, Kind::Command,
         {FirmwareUpdate, ConfigSetting, ConfigSave, Reboot, Nothing, CertificateUpdate, KeyUpdate}},
    };
    return table;
}

const Rule *ruleFor(const Oid &oid)
{
    for (const Rule &r : rules())
        if (hasPrefix(oid, r.prefix))
            return &r;
    return nullptr;
}

std::string dotted(const Value &v)
{
    return formatTagValue(v).substr(3);
}

size_t collect(char *data, size_t size, size_t n, void *user)
{
    static_cast<std::string *>(user)->append(data, size * n);
    return size * n;
}

struct Upload {
    const std::string *data;
    std::size_t offset = 0;
};

size_t feed(char *buffer, size_t size, size_t n, void *user)
{
    auto *u = static_cast<Upload *>(user);
    std::size_t count = std::min(size * n, u->data->size() - u->offset);
    std::memcpy(buffer, u->data->data() + u->offset, count);
    u->offset += count;
    return count;
}

// One TFTP transfer with libcurl; the device is the client, the PC the server.
bool tftp(const std::string &host, int port, const std::string &name, bool upload,
          std::string &data, std::string &error)
{
    CURL *curl = curl_easy_init();
    if (!curl) {
        error = "cannot start a transfer";
        return false;
    }
    char *escaped = curl_easy_escape(curl, name.c_str(), static_cast<int>(name.size()));
    std::string url = "tftp://" + host + ":" + std::to_string(port) + "/" + (escaped ? escaped : "");
    curl_free(escaped);
    char errbuf[CURL_ERROR_SIZE] = {};
    Upload up{&data};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 5L);
    if (upload) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, feed);
        curl_easy_setopt(curl, CURLOPT_READDATA, &up);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(data.size()));
    } else {
        data.clear();
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &data);
    }
    CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK) {
        error = errbuf[0] ? errbuf : curl_easy_strerror(rc);
        return false;
    }
    return true;
}

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
    : factory_(std::move(factory)), options_(std::move(options))
{
    saved_ = settingsOf(factory_);
    current_ = saved_;
    activate();
    bootTime_ = Clock::now();
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
    // Commands are one-shot: they read back as idle once carried out.
    for (auto &[oid, value] : current_) {
        const Rule *rule = ruleFor(oid);
        if (rule && rule->kind == Kind::Command)
            value = factory_.at(oid);
    }
    return {};
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
}

void Device::boot()
{
    current_ = saved_; // changes that were not applied are lost with a restart
    activate();
    bootTime_ = Clock::now();
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

// The interface shows the address the device works with: the configured one while
// it is set to a static address. (With DHCP it keeps the address it had.)
void Device::activate()
{
    auto copy = [this](const Oid &fromColumn, const Oid &toColumn) {
        for (auto &[oid, value] : current_) {
            if (!hasPrefix(oid, fromColumn))
                continue;
            Oid target = toColumn;
            target.insert(target.end(), oid.begin() + static_cast<long>(fromColumn.size()), oid.end());
            auto t = current_.find(target);
            if (t != current_.end() && t->second.tag == value.tag)
                t->second = value;
        }
    };
    auto mode = current_.find(under(kGetIpFrom, {1}));
    if (mode != current_.end() && mode->second.integer == 1) {
        copy(kHostAddress, kIfAddress);
        copy(kHostMask, kIfMask);
        copy(kHostGateway, kIfGateway);
    }
}

// A device refuses a default gateway it could not reach: one off the subnet of the
// configured address (0.0.0.0 means none).
bool Device::gatewayReachable(const Oid &written) const
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
        auto it = current_.find(o);
        return it != current_.end() && it->second.octets.size() == 4 ? it->second.octets : std::string(4, '\0');
    };
    const std::string address = field(kHostAddress), mask = field(kHostMask), gateway = field(kHostGateway);
    if (gateway == std::string(4, '\0'))
        return true;
    for (int i = 0; i < 4; ++i)
        if ((address[i] & mask[i]) != (gateway[i] & mask[i]))
            return false;
    return true;
}

int Device::runBehaviour(const Varbind &vb)
{
    const Oid &oid = vb.oid;
    long v = vb.value.integer;
    if (!gatewayReachable(oid))
        return InconsistentValue;
    if (oid == kApply && v == 1) {
        saved_ = settingsOf(current_);
        activate();
    } else if (oid == kDiscard && v == 1) {
        current_ = saved_;
        restartPending_ = true;
    } else if (oid == kRestart && v == 1) {
        restartPending_ = true;
    } else if (oid == kFactoryDefault && v == 1) {
        saved_ = settingsOf(factory_);
        current_ = saved_;
        restartPending_ = true;
    } else if (oid == kUpgradeCommand) {
        return upgrade(v);
    }
    return NoError;
}

int Device::upgrade(long command)
{
    if (command == Nothing)
        return NoError;
    if (command == Reboot) {
        restartPending_ = true;
        return NoError;
    }
    const long direction = current_.at(kTftpCommand).integer;
    const bool fetch = command != ConfigSetting;
    if (direction != (fetch ? TftpGet : TftpPut))
        return InconsistentValue; // the transfer command must name the matching direction
    const std::string host = dotted(current_.at(kTftpServer));
    const std::string name = current_.at(kTftpFile).octets;
    if (host == "0.0.0.0" || name.empty())
        return InconsistentValue;

    auto report = [this](const std::string &line) {
        if (options_.report)
            options_.report(line);
    };
    std::string data, error;
    if (!fetch && options_.loseUploads) {
        report("tftp put " + name + " lost");
        return NoError;
    }
    if (!fetch) {
        data = configText();
        if (!tftp(host, options_.tftpPort, name, true, data, error)) {
            report("tftp put " + name + " failed: " + error);
            return GenErr;
        }
        report("tftp put " + name + " " + std::to_string(data.size()) + " bytes");
        return NoError;
    }
    if (!tftp(host, options_.tftpPort, name, false, data, error)) {
        report("tftp get " + name + " failed: " + error);
        return GenErr;
    }
    keepFetched(name, data);
    const char *what = command == FirmwareUpdate ? "firmware"
                     : command == CertificateUpdate ? "certificate"
                     : command == KeyUpdate ? "key" : "config";
    if (command == ConfigSave) {
        // A configuration file is taken whole or not at all; it may only carry
        // settings, never values the device reports about itself.
        State incoming;
        try {
            incoming = parseText(data);
        } catch (const ParseError &e) {
            report("tftp get " + name + " config rejected: line " + std::to_string(e.line) + ": " + e.what());
            return WrongValue;
        }
        for (const auto &[oid, value] : incoming) {
            const Rule *rule = ruleFor(oid);
            if (!current_.count(oid) || !rule || rule->kind != Kind::Setting
                || check({oid, value}, false) != NoError) {
                report("tftp get " + name + " config rejected: " + formatRecord(oid, value));
                return WrongValue;
            }
        }
        for (const auto &[oid, value] : incoming)
            current_[oid] = value;
        saved_ = settingsOf(current_);
        activate();
    }
    report("tftp get " + name + " " + what + " " + std::to_string(data.size()) + " bytes");
    return NoError;
}

void Device::keepFetched(const std::string &name, const std::string &data) const
{
    if (options_.keepFetchedDir.empty())
        return;
    // Only the last part of the name: a name never leads out of the folder.
    const std::size_t slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.empty() || base == "." || base == "..")
        return;
    std::ofstream(options_.keepFetchedDir + "/" + base, std::ios::binary | std::ios::trunc) << data;
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
