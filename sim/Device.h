#pragma once
// The simulated access point's state and what it does with the values it is given.

#include "SnmpRec.h"
#include "Subsystem.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace sim {

// net-snmp's error-status numbers, kept here so this file needs no net-snmp headers.
enum Status {
    NoError = 0, TooBig = 1, NoSuchName = 2, BadValue = 3, ReadOnly = 4, GenErr = 5,
    NoAccess = 6, WrongType = 7, WrongLength = 8, WrongEncoding = 9, WrongValue = 10,
    NoCreation = 11, InconsistentValue = 12, ResourceUnavailable = 13, CommitFailed = 14,
    UndoFailed = 15, AuthorizationError = 16, NotWritable = 17, InconsistentName = 18,
};
const char *statusName(int status);

struct Varbind {
    Oid oid;
    Value value;
};

struct SetResult {
    int status = NoError;
    int index = 0; // 1-based varbind that failed, 0 when none
};

class Device {
public:
    struct Options {
        int rebootSeconds = 5;
        int tftpPort = 69;
        // Block size the TFTP client asks for (RFC 2348); 0 leaves libcurl's default.
        // libcurl has no window option (RFC 7440), so transfers stay lock-step.
        int tftpBlockSize = 0;
        // Where a copy of every fetched file goes (empty: nowhere), so that a test can
        // compare what the device received with what the PC served.
        std::string keepFetchedDir;
        // The configuration upload is acknowledged but never sent: a device whose
        // backup does not reach the PC.
        bool loseUploads = false;
        // A configuration upload is acknowledged at once and sent this much later: a
        // device that takes its time to assemble the file.
        int uploadDelaySeconds = 0;
        // A firewall on the PC: the TFTP client's datagrams go nowhere. Every transfer
        // command is acknowledged, and nothing reaches the PC.
        bool tftpBlocked = false;
        // The TFTP client goes silent after this many bytes of a transfer (-1: never).
        long tftpStallAfter = -1;
        // What the radio finds when told to gather its station tables (cells of the
        // client and WDS tables), and how those triggers answer: refused with genErr,
        // and after a delay during which the agent answers nothing else.
        State gathered;
        bool triggerFail = false;
        int triggerDelayMs = 0;
        std::function<void(const std::string &)> report; // one line per transfer
        // The log the device starts with, line by line, kept as given (empty lines and
        // lines of any shape included).
        std::vector<std::string> logSeed;
        // A log delivery is acknowledged but never sent.
        bool loseLogUploads = false;
        // A restart command is answered and nothing follows: the device stays up.
        bool noRestart = false;
        // What sysDescr says after a fetched firmware image took effect with the next
        // restart (empty: what it said before).
        std::string upgradedDescription;
    };

    Device(State factory, Options options);

    // Reads see the live uptime in sysUpTime; everything else is the current state.
    const State &state() const { return current_; }
    std::optional<Value> get(const Oid &oid) const;
    // First object after oid, if any.
    std::optional<std::pair<Oid, Value>> next(const Oid &oid) const;

    // The checks an agent makes before it changes anything (no side effects).
    int check(const Varbind &vb, bool v1) const;
    // Writes every varbind, then runs the behaviours in varbind order. On failure the
    // state is exactly as before and nothing is left pending.
    SetResult set(const std::vector<Varbind> &vbs);
    // Carries out what a successful set left to do after its response (a restart).
    void commit();

    bool silent() const { return silentUntil_.has_value(); }
    // Time the silence of a restart ends, if one is under way.
    std::optional<std::chrono::steady_clock::time_point> silentUntil() const { return silentUntil_; }
    // Ends the silence once its time has come (the device has booted again) and runs
    // the deferred work that is due.
    void tick();
    // When tick() has something to do next, if ever.
    std::optional<std::chrono::steady_clock::time_point> nextWake() const;

    std::string configText() const; // what a configuration backup holds

    // The device's own log: every line as it is delivered, oldest first.
    std::vector<std::string> &log() { return log_; }
    std::string logText() const;
    // Adds "TIME | [TYPE] text" for something the device did.
    void logEvent(const std::string &type, const std::string &text);

    // For the subsystems' behaviours.
    State &current() { return current_; }
    State &saved() { return saved_; }
    const State &factory() const { return factory_; }
    const Options &options() const { return options_; }
    const Rule *ruleFor(const Oid &oid) const;
    // The settings of a state, its commands idle: what the device stores.
    State settingsOf(const State &s) const;
    // Stores the current settings as the ones that survive a restart.
    void store();
    // The device restarts once the set that asked for it has been answered.
    void scheduleRestart() { restartPending_ = !options_.noRestart; }
    // A firmware image arrived: the next boot runs it.
    void firmwareFetched() { newFirmware_ = !options_.upgradedDescription.empty(); }
    void activate();
    // Work the device does on its own later, after the set that asked for it was answered.
    void defer(std::chrono::milliseconds delay, std::function<void()> job);

private:
    using Clock = std::chrono::steady_clock;
    int runBehaviour(const Varbind &vb);
    void boot();

    std::vector<Subsystem> subsystems_;
    State factory_;
    State saved_;   // survives a restart
    State current_; // what reads show; sets change it
    Options options_;
    Clock::time_point bootTime_;
    std::optional<Clock::time_point> silentUntil_;
    bool restartPending_ = false;
    bool newFirmware_ = false;
    std::vector<std::pair<Clock::time_point, std::function<void()>>> deferred_;
    std::vector<std::string> log_;
};

} // namespace sim
