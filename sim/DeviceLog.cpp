// The device's log: what it records, where it sends log messages and mails, and the two
// commands on it. get-log delivers the log as a file to the PC's TFTP server before the
// SET is answered; clear empties it.
#include "Device.h"
#include "TftpClient.h"

namespace sim {

namespace {

const Oid kLog = under(kRoot, {5, 4});
const Oid kLogServer = under(kLog, {4, 0});
const Oid kLogFile = under(kLog, {5, 0});
const Oid kGetLog = under(kLog, {6, 0});
const Oid kClearLog = under(kLog, {10, 0});
const Oid kMail = under(kLog, {11, 1, 1});
const Oid kMailPassword = under(kMail, {7, 1});
const Oid kMailPort = under(kMail, {10, 1});
const Oid kAccountName = under(kRoot, {4, 9, 5, 0});

std::string dotted(const Value &v)
{
    return formatTagValue(v).substr(3);
}

int deliver(Device &device)
{
    const std::string host = dotted(device.current().at(kLogServer));
    const std::string name = device.current().at(kLogFile).octets;
    if (host == "0.0.0.0" || name.empty())
        return InconsistentValue;
    auto report = [&device](const std::string &line) {
        if (device.options().report)
            device.options().report(line);
    };
    if (device.options().loseLogUploads) {
        report("tftp put " + name + " log lost");
        return NoError;
    }
    std::string data = device.logText(), error;
    if (!tftp(host, device.options().tftpPort, device.options().tftpBlockSize, name, true, data, error)) {
        report("tftp put " + name + " log failed: " + error);
        return GenErr;
    }
    report("tftp put " + name + " log " + std::to_string(data.size()) + " bytes");
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    if (vb.oid == kGetLog)
        return vb.value.integer == 1 ? deliver(device) : NoError;
    if (vb.oid == kClearLog) {
        if (vb.value.integer == 1)
            device.log().clear();
        return NoError;
    }
    if (vb.oid == kMailPort)
        return vb.value.integer >= 1 && vb.value.integer <= 65535 ? NoError : WrongValue;
    return std::nullopt;
}

// The mail account's password reads back masked, as the device's other secrets.
std::optional<Value> live(const Device &device, const Oid &oid)
{
    if (oid != kMailPassword)
        return std::nullopt;
    return maskedSecret(device, oid);
}

} // namespace

Subsystem logSubsystem()
{
    return {
        {
            {under(kLog, {1, 0}), Kind::Setting, {0, 1}}, // systemLogSystemLevel
            {under(kLog, {2, 0}), Kind::Setting, {0, 1}}, // systemLogWirelessLevel
            {under(kLog, {3, 0}), Kind::Setting, {0, 1}}, // systemLogNoticeLevel
            {kLogServer, Kind::Transfer},
            {kLogFile, Kind::Transfer, {}, 127},
            {kGetLog, Kind::Command, {0, 1}},
            {under(kLog, {9, 0}), Kind::Setting},          // systemLogServerIPAddress
            {kClearLog, Kind::Command, {0, 1}},
            {under(kMail, {2, 1}), Kind::Setting, {0, 1}}, // emailNtfStatus
            {under(kMail, {3, 1}), Kind::Setting, {}, 64}, // emailNtfFromIPAddress
            {under(kMail, {4, 1}), Kind::Setting, {}, 64}, // emailNtfToIPAddress
            {under(kMail, {5, 1}), Kind::Setting},         // emailNtfServerIPAddress
            {kMailPassword, Kind::Setting, {}, 12},
            {under(kMail, {9, 1}), Kind::Setting, {}, 64}, // emailNtfOnSchedule
            {kMailPort, Kind::Setting},
            {kAccountName, Kind::Setting, {}, 64},
        },
        behaviour,
        {},
        live,
    };
}

} // namespace sim
