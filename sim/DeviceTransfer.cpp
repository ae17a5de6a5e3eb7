// The file transfers the device makes as a TFTP client of the PC: firmware,
// certificate, key and configuration files fetched, configuration backups sent.
#include "Device.h"
#include "TftpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

namespace sim {

namespace {

const Oid kTftpServer = under(kRoot, {4, 3, 2, 1, 0});
const Oid kTftpFile = under(kRoot, {4, 3, 2, 2, 0});
const Oid kTftpCommand = under(kRoot, {4, 3, 2, 4, 0});
const Oid kUpgradeCommand = under(kRoot, {4, 3, 2, 5, 0});

enum TftpCommand { TftpGet = 2, TftpPut = 3, TftpNothing = 4 };
enum Upgrade {
    FirmwareUpdate = 1, ConfigSetting = 2, ConfigSave = 3, Reboot = 4, Nothing = 6,
    CertificateUpdate = 7, KeyUpdate = 8,
};

std::string dotted(const Value &v)
{
    return formatTagValue(v).substr(3);
}

struct Download {
    std::string *data;
    long stallAfter;
};

// A client that stalls goes silent: it holds the block it has, acknowledging nothing,
// longer than the PC waits, then gives up (libcurl's pause does not stop a TFTP
// transfer, and an abort alone would tell the PC at once with an ERROR).
constexpr auto kStallSilence = std::chrono::seconds(4);

size_t collect(char *data, size_t size, size_t n, void *user)
{
    auto *d = static_cast<Download *>(user);
    if (d->stallAfter >= 0 && d->data->size() + size * n > static_cast<std::size_t>(d->stallAfter)) {
        std::this_thread::sleep_for(kStallSilence);
        return 0;
    }
    d->data->append(data, size * n);
    return size * n;
}

struct Upload {
    const std::string *data;
    std::size_t offset = 0;
    long stallAfter = -1;
};

size_t feed(char *buffer, size_t size, size_t n, void *user)
{
    auto *u = static_cast<Upload *>(user);
    if (u->stallAfter >= 0 && u->offset >= static_cast<std::size_t>(u->stallAfter)) {
        std::this_thread::sleep_for(kStallSilence);
        return CURL_READFUNC_ABORT;
    }
    std::size_t count = std::min(size * n, u->data->size() - u->offset);
    std::memcpy(buffer, u->data->data() + u->offset, count);
    u->offset += count;
    return count;
}

} // namespace

bool tftp(const std::string &host, int port, int blockSize, const std::string &name,
          bool upload, std::string &data, std::string &error, long stallAfter)
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
    Upload up{&data, 0, stallAfter};
    Download down{&data, stallAfter};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 5L);
    if (blockSize > 0)
        curl_easy_setopt(curl, CURLOPT_TFTP_BLKSIZE, static_cast<long>(blockSize));
    if (upload) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, feed);
        curl_easy_setopt(curl, CURLOPT_READDATA, &up);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(data.size()));
    } else {
        data.clear();
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &down);
    }
    CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK) {
        error = errbuf[0] ? errbuf : curl_easy_strerror(rc);
        return false;
    }
    return true;
}

namespace {

void keepFetched(const Device &device, const std::string &name, const std::string &data)
{
    if (device.options().keepFetchedDir.empty())
        return;
    // Only the last part of the name: a name never leads out of the folder.
    const std::size_t slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.empty() || base == "." || base == "..")
        return;
    std::ofstream(device.options().keepFetchedDir + "/" + base, std::ios::binary | std::ios::trunc) << data;
}

int upgrade(Device &device, long command)
{
    if (command == Nothing)
        return NoError;
    if (command == Reboot) {
        device.scheduleRestart();
        return NoError;
    }
    const long direction = device.current().at(kTftpCommand).integer;
    const bool fetch = command != ConfigSetting;
    if (direction != (fetch ? TftpGet : TftpPut))
        return InconsistentValue; // the transfer command must name the matching direction
    const std::string host = dotted(device.current().at(kTftpServer));
    const std::string name = device.current().at(kTftpFile).octets;
    if (host == "0.0.0.0" || name.empty())
        return InconsistentValue;

    auto report = [&device](const std::string &line) {
        if (device.options().report)
            device.options().report(line);
    };
    std::string data, error;
    if (device.options().tftpBlocked) {
        report(std::string("tftp ") + (fetch ? "get " : "put ") + name + " blocked");
        return NoError;
    }
    const long stall = device.options().tftpStallAfter;
    if (!fetch && device.options().loseUploads) {
        report("tftp put " + name + " lost");
        return NoError;
    }
    if (!fetch && device.options().uploadDelaySeconds > 0) {
        const int port = device.options().tftpPort;
        const int blockSize = device.options().tftpBlockSize;
        device.defer(std::chrono::seconds(device.options().uploadDelaySeconds), [&device, host, port, blockSize, name, report] {
            std::string file = device.configText(), failure;
            if (tftp(host, port, blockSize, name, true, file, failure, -1))
                report("tftp put " + name + " " + std::to_string(file.size()) + " bytes (late)");
            else
                report("tftp put " + name + " failed: " + failure);
        });
        return NoError;
    }
    if (!fetch) {
        data = device.configText();
        if (!tftp(host, device.options().tftpPort, device.options().tftpBlockSize, name, true, data, error, stall)) {
            report("tftp put " + name + " failed: " + error);
            return GenErr;
        }
        report("tftp put " + name + " " + std::to_string(data.size()) + " bytes");
        return NoError;
    }
    if (!tftp(host, device.options().tftpPort, device.options().tftpBlockSize, name, false, data, error, stall)) {
        report("tftp get " + name + " failed: " + error);
        return GenErr;
    }
    keepFetched(device, name, data);
    if (command == FirmwareUpdate)
        device.firmwareFetched();
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
            const Rule *rule = device.ruleFor(oid);
            if (!device.current().count(oid) || !rule || rule->kind != Kind::Setting
                || device.check({oid, value}, false) != NoError) {
                report("tftp get " + name + " config rejected: " + formatRecord(oid, value));
                return WrongValue;
            }
        }
        for (const auto &[oid, value] : incoming)
            device.current()[oid] = value;
        device.store();
        device.activate();
    }
    report("tftp get " + name + " " + what + " " + std::to_string(data.size()) + " bytes");
    return NoError;
}

std::optional<int> behaviour(Device &device, const Varbind &vb)
{
    if (vb.oid != kUpgradeCommand)
        return std::nullopt;
    return upgrade(device, vb.value.integer);
}

} // namespace

Subsystem transferSubsystem()
{
    return {
        {
            {kTftpServer, Kind::Transfer},
            {kTftpFile, Kind::Transfer, {}, 127},
            {kTftpCommand, Kind::Transfer, {TftpGet, TftpPut, TftpNothing}},
            {kUpgradeCommand, Kind::Command,
             {FirmwareUpdate, ConfigSetting, ConfigSave, Reboot, Nothing, CertificateUpdate, KeyUpdate}},
        },
        behaviour,
        {},
    };
}

} // namespace sim
