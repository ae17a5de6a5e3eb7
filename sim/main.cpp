// rwn3460-sim: a simulated RWN-3460 access point, a real SNMP agent (net-snmp's agent
// library) for tests, benchmarks and the demo.
//
// How the simulated device acts (where the management module leaves it open):
// - State comes from an .snmprec file (default: the factory file). Reads and sets work on
//   the current state. deviceSettingApply = 1 stores the current settings (they survive a
//   restart) and brings them into effect (the interface address objects follow the
//   configured static address). A set of the configured address, mask or gateway that
//   leaves a gateway (other than 0.0.0.0) off the address's subnet fails with
//   inconsistentValue (v1: badValue). deviceSettingDiscard = 1 drops what was not stored and
//   restarts, as a real access point reloading its stored configuration does.
//   deviceRestart = 1 and tftpUpgradeSettingCommand = 4 restart: the SET is answered,
//   then the agent is silent for --reboot-seconds (requests are read and dropped, the
//   port stays taken), then answers again with sysUpTime counting from 0 and with
//   unapplied changes lost. deviceFactoryDefault = 1 makes the factory state the stored
//   and current state, then restarts. Command objects read back as their idle value.
//   --no-restart answers every restart command and stays up (the uptime counts on).
//   --upgraded-descr TEXT: after a fetched firmware image, the next restart reports
//   TEXT as sysDescr from then on (the image's contents are not looked at).
// - TFTP: tftpcommand 2 "Get" or 3 "Put" is only remembered. The upgrade command then
//   moves the file with libcurl from/to tftpServerIPAddress:--tftp-port, name
//   tftpRemoteFileName, before the SET is answered: 1 firmware, 7 certificate, 8 key and
//   3 configuration are fetched (needs "Get"); 2 uploads the configuration (needs "Put").
//   A configuration file is .snmprec text holding the settings (writable objects that are
//   neither commands nor transfer parameters); a fetched one replaces those settings,
//   is stored and brought into effect, without a restart. Each transfer prints one line
//   on standard output ("tftp get NAME KIND SIZE bytes", "tftp put NAME SIZE bytes", or
//   "... failed: REASON"). --keep-fetched DIR keeps a copy of each fetched file in DIR
//   under the last part of its name; --lose-uploads answers upgrade command 2 as done
//   without sending anything ("tftp put NAME lost"), a backup that never reaches the
//   PC; --upload-delay N answers it at once and sends the file N seconds later, a device
//   that takes its time. --tftp-blocked answers every transfer as done and sends nothing
//   ("tftp get NAME blocked"), as behind a firewall on the PC; --tftp-stall-after N has
//   the client go silent after N bytes (its transfer then fails). A failed transfer
//   fails the SET with genErr; a rejected
//   configuration file with wrongValue; an upgrade command without the matching
//   direction, server address or file name with inconsistentValue (v1: badValue).
// - DHCP server: a lease outside 60..31536000 s is refused (wrongValue), a pool whose end
//   lies below its start or outside the start's /24 network, and a static address equal
//   to the AP's own or held by another static row, with inconsistentValue. Writing a row
//   number into dhcpServerStaticDelete frees that row (address 0.0.0.0). The refresh
//   triggers gather the lease lists: three LAN clients (one sends no host name) take the
//   next pool addresses while the server is on, unless their MAC is reserved; every
//   enabled reservation is listed while static addresses are on.
// - VLAN: a VID (or port VID) outside 1..4094 is refused (wrongValue), a VID another row
//   holds with inconsistentValue. Deleting a VLAN row moves the rows below it up, the
//   last row becomes free (VID 0, no name). The port-list refresh gathers each port's
//   tagged and untagged VIDs. Bringing settings into effect with VLAN on turns WDS and
//   Wireless Client mode into Access Point.
// - Internal RADIUS server: the account objects written with the action 1 ("Add") put the
//   account into the first free row of the 16-row account list; a name already listed
//   (letter case ignored) is refused with inconsistentValue, a missing name or a password
//   under 8 octets with wrongValue, over 64 octets with wrongLength, a full list with
//   resourceUnavailable. The action 0 ("Delete") removes the listed account of that name
//   (letter case ignored; no such account: inconsistentValue) and moves the rows below up.
// - QoS: 64 rule rows, the named rules first. A rule is written into its row; a write that
//   would leave a named row behind a free one, a closed address or port range whose end
//   lies below its start, is refused with inconsistentValue; a protocol outside 0..257, a
//   port outside 0..65535 or a negative size with wrongValue. Writing n into
//   dot11QosRulesDelete removes rule n (1..number of rules, else wrongValue) and moves the
//   rules below up; the last row becomes free. The HTTP classifier is VLAN's PVID
//   auto-assign object (3.6.2.1.0).
// - Management access: the manager address-range table keeps its rows apart: a row is
//   free (0.0.0.0 to 0.0.0.0) or a range start <= end sharing no address with another row
//   in use, else inconsistentValue; managerDelete = 1 frees its row. The VLAN tag is 0 to
//   4095, the user name at most 64 and the password at most 12 octets. The time of day
//   (sntpTimeofDay) runs from the moment it was last set, or from the start; it is set by
//   writing "mm/dd/yyyy hh:mm:ss" to it (anything else, or a day that does not exist, is
//   wrongValue) and is kept out of configuration files.
// - Stations: the client table and the WDS table hold fixed slots that read as empty
//   (MAC 000000000000) after a boot or an apply. Writing 1 to dot11ClientInformationRefresh
//   or dot11WdsRefresh fills the table's slots with what the radio finds, the rows of the
//   --gathered file (default: rwn3460-gathered.snmprec beside the factory file); a slot
//   that file does not fill is empty. --trigger-fail refuses those writes with genErr;
//   --trigger-delay MS answers them only after MS milliseconds, the agent answering
//   nothing meanwhile. The MAC access list's slots are filled and emptied by the device:
//   dot11MacAccessControlMacAddressAdd puts a MAC into the first empty slot,
//   ...Delete empties the slot holding it; both read back 000000000000. Refused: a MAC
//   that is not 6 octets (wrongLength), the all-zero MAC (wrongValue), adding a listed
//   MAC or deleting one not listed (inconsistentValue), adding to a full list
//   (resourceUnavailable).
// - Security of the primary SSID: WEP keys, the WPA passphrase and the four RADIUS and
//   accounting secrets read back as asterisks of their stored length (nothing when
//   unset); the journal and configuration backups hold what was written. Refused: a
//   passphrase outside 8..63 characters and a secret over 64 (wrongLength), a WEP key that
//   does not fit its row's entry method (ASCII 5 or 13 characters, HEX 10 or 26: wrongLength;
//   HEX with another character: wrongValue; an empty key clears the row), an entry method
//   the row's stored key does not fit (inconsistentValue), a group or RADIUS key interval
//   outside 300..9999999 and a RADIUS or accounting port outside 1..65535 (wrongValue).
// - Log: the device keeps a log of its own, seeded with the lines of --log-file (kept as
//   they are, empty and odd lines included) and gaining "TIME | [TYPE] text" lines when
//   a SET changes settings and when the device restarts. systemLogGetLog = 1 sends the
//   log, one line after another each ended by a line feed, with libcurl to
//   systemLogTFTPServerIPAddress:--tftp-port as systemLogFileName before the SET is
//   answered ("tftp put NAME log SIZE bytes"); address 0.0.0.0 or an empty name is
//   inconsistentValue, a failed transfer genErr; --lose-log-uploads answers it as done
//   without sending anything ("tftp put NAME log lost"). systemLogClearLocalLog = 1
//   empties the log. An e-mail port outside 1..65535 is wrongValue; the e-mail password
//   reads back as asterisks of its stored length.
// - Radio tuning: beacon interval 25..500, DTIM 1..15, transmit power 1..4, user limit
//   0..64 and network utilization 0, 2, 4, 6, 8 or 10, else wrongValue; the ACK time-out
//   48..200 on 2.4 GHz and 25..200 on 5 GHz, a data rate other than "Auto" or a rate of
//   the band (5 GHz: 54 48 36 24 18 12 9 6; 2.4 GHz also 11 5.5 2 1) with wrongValue; a
//   wireless mode of the other band (2.4 GHz: 2, 3, 6; 5 GHz: 7, 8, 9) with
//   inconsistentValue. WLAN partition: Ethernet to WLAN access 0..1, each SSID's station
//   connection 0..2 (wrongValue).
// - Intrusion protection: dot11RogueApSurveyRefresh = 1 fills the survey table with the
//   access points the radio hears (every class, both states, both bands); an entry keeps
//   its class by BSSID from scan to scan, one entry is heard only by the first scan (the
//   entries after it then move up one index). Writing an index to one of the four "add
//   to" objects moves that entry into the class and reads back 0; an index the table does
//   not hold is inconsistentValue. Either rule for new access points, set to 1, moves
//   every new entry into its class, also those later scans find.
// - Sets are atomic: every varbind is checked first (unknown object: noCreation, which
//   SNMPv1 managers see as noSuchName; read-only: notWritable, v1 readOnly; wrong type:
//   wrongType, v1 badValue; too long: wrongLength; value not known to the device:
//   wrongValue) and a failing behaviour undoes the whole PDU.
// - Access: v1/v2c with the read community (get, get-next, get-bulk) or the write
//   community (also set); a set with the read community is refused (noAccess); any other
//   community gets no answer. SNMPv3: the --user users, read-write, at their own level or
//   above. The engine ID is fixed and derived from the data file's MAC address
//   (80 00 7E D9 03 + the six octets; enterprise 32473, format "MAC"); the engine boots
//   counter is 1 and is not kept anywhere: the simulator reads no net-snmp configuration
//   file and writes no persistent state.
//
// Journal (--journal FILE): one line per SET PDU, in arrival order, appended and flushed
// when the PDU is finished, fields separated by tabs:
//   SEQ  MS  VERSION  COMMUNITY-OR-USER  STATUS  OID|TAG|VALUE  [OID|TAG|VALUE ...]
// SEQ counts from 1, MS is the PDU's arrival in milliseconds since the simulator
// started (a monotonic clock), VERSION is 1, 2c or 3, STATUS the error-status name as the agent
// decided it (for v1 the agent then maps wrongType and similar onto badValue), each
// varbind as in .snmprec (tag 4x: octet string in hex; strings that are not printable
// text or have blanks at their ends are always written in hex). A PDU the access check
// turns away before any object is looked at (unknown community or user, a set with the
// read community) is not journaled.
//
// Requests (--requests FILE): one line per PDU that reached the device's objects, that
// is, that passed the access check (for SNMPv3 after USM authenticated and decrypted
// it), in arrival order, fields separated by tabs:
//   SEQ  MS  VERSION  COMMUNITY-OR-USER  LEVEL  COMMAND
// LEVEL is "-" for v1/v2c and noAuthNoPriv, authNoPriv or authPriv for v3; COMMAND is
// get, getnext, getbulk or set.
//
// Nothing the simulator prints names a pass phrase: a bad --user is reported by its
// user name.

#include "Device.h"
#include "SnmpRec.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/agent/agent_callbacks.h>
#include <net-snmp/library/snmpusm.h>
#include <curl/curl.h>

#include <arpa/inet.h>
#include <getopt.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef RWN3460_SIM_FACTORY_FILE
#define RWN3460_SIM_FACTORY_FILE "rwn3460.snmprec"
#endif
#ifndef RWN3460_SIM_GATHERED_FILE
#define RWN3460_SIM_GATHERED_FILE "rwn3460-gathered.snmprec"
#endif

namespace {

const char *const kAppName = "rwn3460-sim";

struct User {
    std::string name, auth, authPass, priv, privPass;
};

struct Config {
    std::string listen = "127.0.0.1:161";
    std::string data = RWN3460_SIM_FACTORY_FILE;
    std::string journal;
    std::string requests;
    std::string readCommunity = "rdcomm";
    std::string writeCommunity = "wrcommu";
    std::vector<User> users;
    int rebootSeconds = 5;
    int tftpPort = 69;
    int tftpBlockSize = 0;
    std::string keepFetched;
    bool loseUploads = false;
    int uploadDelaySeconds = 0;
    bool tftpBlocked = false;
    int tftpStallAfter = -1;
    bool noRestart = false;
    std::string upgradedDescription;
    std::string logFile;
    bool loseLogUploads = false;
    std::string gathered = RWN3460_SIM_GATHERED_FILE;
    bool triggerFail = false;
    int triggerDelayMs = 0;
};

void usage(std::FILE *out)
{
    std::fprintf(out,
        "Usage: rwn3460-sim [options]\n"
        "A simulated RWN-3460 access point: an SNMP v1/v2c/v3 agent over an .snmprec state.\n\n"
        "  --listen ADDR:PORT        UDP address to answer on (default 127.0.0.1:161);\n"
        "                            port 0 takes any free port. Once listening, prints\n"
        "                            \"listening on ADDR:PORT\" on standard output.\n"
        "  --data FILE               device state, OID|TAG|VALUE per line\n"
        "                            (default %s)\n"
        "  --journal FILE            append one line per SET PDU (below)\n"
        "  --requests FILE           append one line per PDU answered:\n"
        "                            SEQ MS VERSION COMMUNITY-OR-USER LEVEL COMMAND\n"
        "  --community-read NAME     read community (default rdcomm)\n"
        "  --community-write NAME    write community (default wrcommu)\n"
        "  --user NAME:AUTH:AUTHPASS[:PRIV:PRIVPASS]\n"
        "                            SNMPv3 user, repeatable; AUTH MD5, SHA, SHA-224,\n"
        "                            SHA-256, SHA-384, SHA-512; PRIV DES, AES (AES-128),\n"
        "                            AES-192, AES-256; pass phrases of 8 characters or more\n"
        "  --reboot-seconds N        silence of a restart (default 5)\n"
        "  --no-restart              answer restart commands and stay up\n"
        "  --upgraded-descr TEXT     sysDescr once a fetched firmware image has taken\n"
        "                            effect with the next restart\n"
        "  --tftp-port N             port of the PC's TFTP server (default 69)\n"
        "  --tftp-blksize N          block size its TFTP client asks for, 8-65464\n"
        "                            (default: libcurl's; it offers no window size)\n"
        "  --keep-fetched DIR        keep a copy of every fetched file in DIR\n"
        "  --lose-uploads            acknowledge a configuration upload, never send it\n"
        "  --upload-delay N          acknowledge a configuration upload, send it N s later\n"
        "  --tftp-blocked            as behind a firewall: transfers are acknowledged and\n"
        "                            none of the TFTP client's datagrams reach the PC\n"
        "  --tftp-stall-after N      the TFTP client goes silent after N bytes\n"
        "  --log-file FILE           the lines the device's log starts with\n"
        "  --lose-log-uploads        acknowledge a log delivery, never send it\n"
        "  --gathered FILE           client and WDS rows the radio finds when told to\n"
        "                            gather (default %s)\n"
        "  --trigger-fail            refuse the gathering triggers (genErr)\n"
        "  --trigger-delay MS        answer the gathering triggers after MS milliseconds\n"
        "  --help                    this text\n\n"
        "Journal line, fields separated by tabs:\n"
        "  SEQ MS VERSION COMMUNITY-OR-USER STATUS OID|TAG|VALUE [OID|TAG|VALUE ...]\n"
        "SEQ counts from 1 in arrival order; MS the arrival in milliseconds since the\n"
        "simulator started; VERSION 1, 2c or 3; STATUS the error status\n"
        "(noError, notWritable, wrongType ...); varbinds as in .snmprec (4x = hex octets).\n\n"
        "SIGTERM or SIGINT end it cleanly.\n",
        RWN3460_SIM_FACTORY_FILE, RWN3460_SIM_GATHERED_FILE);
}

[[noreturn]] void fail(const std::string &message)
{
    std::cerr << kAppName << ": " << message << std::endl;
    std::exit(2);
}

bool parseInt(const char *text, int min, int max, int &out)
{
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || !*text || *end || v < min || v > max)
        return false;
    out = static_cast<int>(v);
    return true;
}

std::vector<std::string> split(const std::string &s, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t p = s.find(sep, start);
        parts.push_back(s.substr(start, p == std::string::npos ? p : p - start));
        if (p == std::string::npos)
            return parts;
        start = p + 1;
    }
}

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

// Names net-snmp's createUser takes, checked here so that a typo is an error at start
// and not a silently missing user.
User parseUser(const std::string &text)
{
    auto parts = split(text, ':');
    // The pass phrases stay out of the message: standard error often ends up in a log.
    auto bad = [&](const std::string &why) { fail("bad --user '" + parts[0] + ":...': " + why); };
    if (parts.size() != 3 && parts.size() != 5)
        bad("expected NAME:AUTH:AUTHPASS or NAME:AUTH:AUTHPASS:PRIV:PRIVPASS");
    User u{parts[0], upper(parts[1]), parts[2], "", ""};
    if (u.name.empty() || u.name.size() > 32)
        bad("user name must have 1 to 32 characters");
    static const std::vector<std::string> auths = {"MD5", "SHA", "SHA-224", "SHA-256", "SHA-384", "SHA-512"};
    if (std::find(auths.begin(), auths.end(), u.auth) == auths.end())
        bad("unknown authentication protocol '" + parts[1] + "'");
    if (u.authPass.size() < 8)
        bad("authentication pass phrase shorter than 8 characters");
    if (parts.size() == 5) {
        u.priv = upper(parts[3]);
        u.privPass = parts[4];
        if (u.priv == "AES-128")
            u.priv = "AES";
        static const std::vector<std::string> privs = {"DES", "AES", "AES-192", "AES-256"};
        if (std::find(privs.begin(), privs.end(), u.priv) == privs.end())
            bad("unknown privacy protocol '" + parts[3] + "'");
        if (u.privPass.size() < 8)
            bad("privacy pass phrase shorter than 8 characters");
    }
    return u;
}

Config parseArgs(int argc, char **argv)
{
    enum {
        Listen = 1, Data, Journal, Requests, CommRead, CommWrite, UserOpt, Reboot, Tftp, Keep, Lose,
        UploadDelay, Gathered, TriggerFail, TriggerDelay, TftpBlock, LogFile, LoseLog, Blocked, Stall,
        NoRestart, Upgraded, Help,
    };
    static const option longOptions[] = {
        {"listen", required_argument, nullptr, Listen},
        {"data", required_argument, nullptr, Data},
        {"journal", required_argument, nullptr, Journal},
        {"requests", required_argument, nullptr, Requests},
        {"community-read", required_argument, nullptr, CommRead},
        {"community-write", required_argument, nullptr, CommWrite},
        {"user", required_argument, nullptr, UserOpt},
        {"reboot-seconds", required_argument, nullptr, Reboot},
        {"no-restart", no_argument, nullptr, NoRestart},
        {"upgraded-descr", required_argument, nullptr, Upgraded},
        {"tftp-port", required_argument, nullptr, Tftp},
        {"tftp-blksize", required_argument, nullptr, TftpBlock},
        {"keep-fetched", required_argument, nullptr, Keep},
        {"lose-uploads", no_argument, nullptr, Lose},
        {"upload-delay", required_argument, nullptr, UploadDelay},
        {"log-file", required_argument, nullptr, LogFile},
        {"tftp-blocked", no_argument, nullptr, Blocked},
        {"tftp-stall-after", required_argument, nullptr, Stall},
        {"lose-log-uploads", no_argument, nullptr, LoseLog},
        {"gathered", required_argument, nullptr, Gathered},
        {"trigger-fail", no_argument, nullptr, TriggerFail},
        {"trigger-delay", required_argument, nullptr, TriggerDelay},
        {"help", no_argument, nullptr, Help},
        {nullptr, 0, nullptr, 0},
    };
    Config c;
    int opt;
    opterr = 0;
    while ((opt = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
        switch (opt) {
        case Listen: c.listen = optarg; break;
        case Data: c.data = optarg; break;
        case Journal: c.journal = optarg; break;
        case Requests: c.requests = optarg; break;
        case CommRead: c.readCommunity = optarg; break;
        case CommWrite: c.writeCommunity = optarg; break;
        case UserOpt: c.users.push_back(parseUser(optarg)); break;
        case Reboot:
            if (!parseInt(optarg, 0, 3600, c.rebootSeconds))
                fail(std::string("bad --reboot-seconds '") + optarg + "'");
            break;
        case Tftp:
            if (!parseInt(optarg, 1, 65535, c.tftpPort))
                fail(std::string("bad --tftp-port '") + optarg + "'");
            break;
        case TftpBlock:
            if (!parseInt(optarg, 8, 65464, c.tftpBlockSize))
                fail(std::string("bad --tftp-blksize '") + optarg + "'");
            break;
        case Keep: c.keepFetched = optarg; break;
        case Lose: c.loseUploads = true; break;
        case UploadDelay:
            if (!parseInt(optarg, 0, 3600, c.uploadDelaySeconds))
                fail(std::string("bad --upload-delay '") + optarg + "'");
            break;
        case Gathered: c.gathered = optarg; break;
        case Blocked: c.tftpBlocked = true; break;
        case NoRestart: c.noRestart = true; break;
        case Upgraded: c.upgradedDescription = optarg; break;
        case Stall:
            if (!parseInt(optarg, 0, 1 << 30, c.tftpStallAfter))
                fail(std::string("bad --tftp-stall-after '") + optarg + "'");
            break;
        case LogFile: c.logFile = optarg; break;
        case LoseLog: c.loseLogUploads = true; break;
        case TriggerFail: c.triggerFail = true; break;
        case TriggerDelay:
            if (!parseInt(optarg, 0, 60000, c.triggerDelayMs))
                fail(std::string("bad --trigger-delay '") + optarg + "'");
            break;
        case Help: usage(stdout); std::exit(0);
        default:
            // Only the option's name: "--user=NAME:AUTH:PASS" misspelt would show a pass phrase.
            std::cerr << kAppName << ": unknown or incomplete option '"
                      << std::string(argv[optind - 1]).substr(0, std::string(argv[optind - 1]).find('='))
                      << "'\n";
            usage(stderr);
            std::exit(2);
        }
    }
    if (optind < argc)
        fail(std::string("unexpected argument '") + argv[optind] + "'");
    if (c.readCommunity.empty() || c.writeCommunity.empty())
        fail("communities must not be empty");
    return c;
}

// ---- the agent ------------------------------------------------------------------

struct Agent {
    Config config;
    std::unique_ptr<sim::Device> device;
    std::ofstream journal;
    unsigned long journalSeq = 0;
    std::ofstream requests;
    unsigned long requestSeq = 0;
    // The PDU of the last requests line.
    const void *lastLogged = nullptr;
    long lastLoggedId = 0;
    long lastLoggedMsgId = 0;
    std::string pendingLine; // journal line of the SET PDU being processed
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

Agent *g_agent = nullptr;
volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

sim::Oid toOid(const oid *name, size_t len)
{
    return sim::Oid(name, name + len);
}

std::optional<sim::Value> fromVarbind(const netsnmp_variable_list *vb)
{
    sim::Value v;
    v.tag = vb->type;
    switch (vb->type) {
    case ASN_INTEGER: v.integer = *vb->val.integer; break;
    case ASN_OCTET_STR:
    case ASN_IPADDRESS:
        v.octets.assign(reinterpret_cast<const char *>(vb->val.string), vb->val_len);
        break;
    case ASN_OBJECT_ID: v.objectId = toOid(vb->val.objid, vb->val_len / sizeof(oid)); break;
    case ASN_COUNTER: case ASN_GAUGE: case ASN_TIMETICKS:
        v.number = static_cast<std::uint64_t>(*vb->val.integer) & 0xffffffffu;
        break;
    case ASN_COUNTER64:
        v.number = (static_cast<std::uint64_t>(vb->val.counter64->high) << 32) | vb->val.counter64->low;
        break;
    default: return std::nullopt;
    }
    return v;
}

void setVarbindValue(netsnmp_variable_list *vb, const sim::Value &v)
{
    switch (v.tag) {
    case ASN_INTEGER: {
        long i = v.integer;
        snmp_set_var_typed_value(vb, ASN_INTEGER, &i, sizeof i);
        break;
    }
    case ASN_OCTET_STR: case ASN_IPADDRESS:
        snmp_set_var_typed_value(vb, static_cast<u_char>(v.tag), v.octets.data(), v.octets.size());
        break;
    case ASN_OBJECT_ID: {
        std::vector<oid> o(v.objectId.begin(), v.objectId.end());
        snmp_set_var_typed_value(vb, ASN_OBJECT_ID, o.data(), o.size() * sizeof(oid));
        break;
    }
    case ASN_COUNTER64: {
        counter64 c;
        c.high = v.number >> 32;
        c.low = v.number & 0xffffffffu;
        snmp_set_var_typed_value(vb, ASN_COUNTER64, &c, sizeof c);
        break;
    }
    default: {
        u_long n = static_cast<u_long>(v.number);
        snmp_set_var_typed_value(vb, static_cast<u_char>(v.tag), &n, sizeof n);
    }
    }
}

std::string journalVarbind(const netsnmp_variable_list *vb)
{
    std::string oidText = sim::formatOid(toOid(vb->name, vb->name_length));
    if (auto v = fromVarbind(vb))
        return oidText + "|" + sim::formatTagValue(*v);
    return oidText + "|" + std::to_string(vb->type) + "|";
}

std::string principal(const netsnmp_pdu *pdu)
{
    if (pdu->version == SNMP_VERSION_3)
        return std::string(pdu->securityName ? pdu->securityName : "", pdu->securityNameLen);
    return std::string(reinterpret_cast<const char *>(pdu->community), pdu->community_len);
}

const char *versionName(long version)
{
    return version == SNMP_VERSION_1 ? "1" : version == SNMP_VERSION_2c ? "2c" : "3";
}

void finishJournal(int status)
{
    Agent &a = *g_agent;
    if (a.pendingLine.empty())
        return;
    std::string line = a.pendingLine;
    a.pendingLine.clear();
    if (!a.journal.is_open())
        return;
    std::size_t tab = line.find("\t@STATUS@");
    line.replace(tab, 9, std::string("\t") + sim::statusName(status));
    a.journal << ++a.journalSeq << '\t' << line << '\n';
    a.journal.flush();
}

const char *levelName(const netsnmp_pdu *pdu)
{
    if (pdu->version != SNMP_VERSION_3)
        return "-";
    return pdu->securityLevel == SNMP_SEC_LEVEL_AUTHPRIV     ? "authPriv"
           : pdu->securityLevel == SNMP_SEC_LEVEL_AUTHNOPRIV ? "authNoPriv"
                                                             : "noAuthNoPriv";
}

const char *commandName(int command)
{
    switch (command) {
    case SNMP_MSG_GET: return "get";
    case SNMP_MSG_GETNEXT: return "getnext";
    case SNMP_MSG_GETBULK: return "getbulk";
    case SNMP_MSG_SET: return "set";
    default: return "other";
    }
}

// The handler runs several times for one PDU (each SET phase, each GETBULK
// repetition); the line is written once, at the first.
void logRequest(const netsnmp_agent_session *asp)
{
    Agent &a = *g_agent;
    const netsnmp_pdu *pdu = asp->pdu;
    if (!a.requests.is_open()
        || (a.lastLogged == asp && a.lastLoggedId == pdu->reqid && a.lastLoggedMsgId == pdu->msgid))
        return;
    a.lastLogged = asp;
    a.lastLoggedId = pdu->reqid;
    a.lastLoggedMsgId = pdu->msgid;
    const auto arrived = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - a.started);
    a.requests << ++a.requestSeq << '\t' << arrived.count() << '\t' << versionName(pdu->version) << '\t'
               << principal(pdu) << '\t' << levelName(pdu) << '\t' << commandName(pdu->command) << '\n';
    a.requests.flush();
}

int handler(netsnmp_mib_handler *, netsnmp_handler_registration *, netsnmp_agent_request_info *reqinfo,
            netsnmp_request_info *requests)
{
    Agent &a = *g_agent;
    sim::Device &dev = *a.device;
    netsnmp_pdu *pdu = reqinfo->asp->pdu;
    const bool v1 = pdu->version == SNMP_VERSION_1;
    logRequest(reqinfo->asp);

    switch (reqinfo->mode) {
    case MODE_GET:
        for (auto *r = requests; r; r = r->next) {
            if (r->processed)
                continue;
            if (auto v = dev.get(toOid(r->requestvb->name, r->requestvb->name_length)))
                setVarbindValue(r->requestvb, *v);
            else
                netsnmp_set_request_error(reqinfo, r, SNMP_NOSUCHOBJECT);
        }
        break;
    case MODE_GETNEXT:
        for (auto *r = requests; r; r = r->next) {
            if (r->processed)
                continue;
            if (auto n = dev.next(toOid(r->requestvb->name, r->requestvb->name_length))) {
                std::vector<oid> name(n->first.begin(), n->first.end());
                snmp_set_var_objid(r->requestvb, name.data(), name.size());
                setVarbindValue(r->requestvb, n->second);
            }
            // No answer leaves the varbind to the agent: end of the MIB view.
        }
        break;
    case MODE_SET_RESERVE1: {
        const auto arrived = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - a.started);
        a.pendingLine = std::to_string(arrived.count()) + "\t" + versionName(pdu->version) + "\t"
                        + principal(pdu) + "\t@STATUS@";
        for (auto *vb = pdu->variables; vb; vb = vb->next_variable)
            a.pendingLine += "\t" + journalVarbind(vb);
        for (auto *r = requests; r; r = r->next) {
            auto value = fromVarbind(r->requestvb);
            int status = value ? dev.check({toOid(r->requestvb->name, r->requestvb->name_length), *value}, v1)
                               : static_cast<int>(SNMP_ERR_WRONGTYPE);
            if (status != SNMP_ERR_NOERROR) {
                netsnmp_set_request_error(reqinfo, r, status);
                break;
            }
        }
        break;
    }
    case MODE_SET_RESERVE2:
        break;
    case MODE_SET_ACTION: {
        std::vector<sim::Varbind> vbs;
        std::vector<netsnmp_request_info *> order;
        for (auto *r = requests; r; r = r->next) {
            vbs.push_back({toOid(r->requestvb->name, r->requestvb->name_length), *fromVarbind(r->requestvb)});
            order.push_back(r);
        }
        sim::SetResult result = dev.set(vbs);
        if (result.status != sim::NoError)
            netsnmp_set_request_error(reqinfo, order[static_cast<std::size_t>(result.index - 1)], result.status);
        break;
    }
    case MODE_SET_COMMIT:
        dev.commit();
        finishJournal(SNMP_ERR_NOERROR);
        break;
    case MODE_SET_UNDO:
    case MODE_SET_FREE:
        finishJournal(reqinfo->asp->status);
        break;
    default:
        break;
    }
    return SNMP_ERR_NOERROR;
}

// Access control in place of net-snmp's VACM module: communities for v1/v2c, the
// configured users for v3. The agent library's own check has already run and refuses
// everything without VACM tables, so every outcome is written here, success included.
int accessCheck(int, int minorId, void *serverArg, void *)
{
    auto *view = static_cast<view_parameters *>(serverArg);
    const Agent &a = *g_agent;
    const netsnmp_pdu *pdu = view->pdu;
    const bool isSet = pdu->command == SNMP_MSG_SET;
    int result = VACM_NOSECNAME;
    if (pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c) {
        const std::string community = principal(pdu);
        if (community == a.config.writeCommunity)
            result = VACM_SUCCESS;
        else if (community == a.config.readCommunity)
            result = isSet && minorId != SNMPD_CALLBACK_ACM_CHECK_INITIAL ? VACM_NOTINVIEW : VACM_SUCCESS;
    } else if (pdu->version == SNMP_VERSION_3 && pdu->securityModel == SNMP_SEC_MODEL_USM) {
        const std::string name = principal(pdu);
        for (const User &u : a.config.users)
            if (u.name == name)
                result = pdu->securityLevel >= SNMP_SEC_LEVEL_AUTHNOPRIV ? VACM_SUCCESS : VACM_NOTINVIEW;
    }
    view->errorcode = result;
    return SNMP_ERR_NOERROR;
}

std::string engineIdFrom(const sim::State &state)
{
    const sim::Oid macColumn = {1, 3, 6, 1, 4, 1, 32473, 2, 5, 9, 5, 1, 2, 1, 1, 5};
    const std::string id("\x80\x00\x7e\xd9\x03", 5);
    auto it = state.lower_bound(macColumn);
    if (it != state.end() && sim::hasPrefix(it->first, macColumn) && it->second.octets.size() == 6)
        return id + it->second.octets;
    return id + std::string("\x02\x00\x00\x00\x00\x01", 6);
}

struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "rwn3460-sim.XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            fail(std::string("cannot create a temporary folder: ") + std::strerror(errno));
        path = tmpl;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

} // namespace

int main(int argc, char **argv)
{
    Agent agent;
    g_agent = &agent;
    agent.config = parseArgs(argc, argv);
    const Config &cfg = agent.config;

    sim::State factory, gathered;
    try {
        factory = sim::loadFile(cfg.data);
    } catch (const std::exception &e) {
        fail(std::string("bad data file ") + e.what());
    }
    try {
        gathered = sim::loadFile(cfg.gathered);
    } catch (const std::exception &e) {
        fail(std::string("bad gathered file ") + e.what());
    }
    const std::size_t colon = cfg.listen.rfind(':');
    int port = 0;
    in_addr addr{};
    if (colon == std::string::npos || !parseInt(cfg.listen.c_str() + colon + 1, 0, 65535, port)
        || inet_pton(AF_INET, cfg.listen.substr(0, colon).c_str(), &addr) != 1)
        fail("bad --listen '" + cfg.listen + "': expected IPV4ADDRESS:PORT");
    if (!cfg.journal.empty()) {
        agent.journal.open(cfg.journal, std::ios::app);
        if (!agent.journal)
            fail("cannot open journal " + cfg.journal + ": " + std::strerror(errno));
    }
    if (!cfg.requests.empty()) {
        agent.requests.open(cfg.requests, std::ios::app);
        if (!agent.requests)
            fail("cannot open the request log " + cfg.requests + ": " + std::strerror(errno));
    }

    // The port is taken here, so that a busy one is reported plainly and port 0 is
    // resolved before net-snmp sees it.
    int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = addr;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    if (probe < 0 || bind(probe, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0)
        fail("cannot listen on " + cfg.listen + ": " + std::strerror(errno));
    socklen_t saLen = sizeof sa;
    getsockname(probe, reinterpret_cast<sockaddr *>(&sa), &saLen);
    port = ntohs(sa.sin_port);
    const std::string endpoint = cfg.listen.substr(0, colon) + ":" + std::to_string(port);

    curl_global_init(CURL_GLOBAL_DEFAULT);
    sim::Device::Options opts;
    opts.rebootSeconds = cfg.rebootSeconds;
    opts.tftpPort = cfg.tftpPort;
    opts.tftpBlockSize = cfg.tftpBlockSize;
    opts.keepFetchedDir = cfg.keepFetched;
    opts.loseUploads = cfg.loseUploads;
    opts.uploadDelaySeconds = cfg.uploadDelaySeconds;
    opts.tftpBlocked = cfg.tftpBlocked;
    opts.noRestart = cfg.noRestart;
    opts.upgradedDescription = cfg.upgradedDescription;
    opts.tftpStallAfter = cfg.tftpStallAfter;
    opts.loseLogUploads = cfg.loseLogUploads;
    if (!cfg.logFile.empty()) {
        std::ifstream seed(cfg.logFile, std::ios::binary);
        if (!seed)
            fail("cannot read --log-file '" + cfg.logFile + "'");
        for (std::string line; std::getline(seed, line);)
            opts.logSeed.push_back(line);
    }
    opts.gathered = std::move(gathered);
    opts.triggerFail = cfg.triggerFail;
    opts.triggerDelayMs = cfg.triggerDelayMs;
    opts.report = [](const std::string &line) { std::cout << line << std::endl; };
    agent.device = std::make_unique<sim::Device>(factory, opts);

    // No net-snmp configuration or persistent file is read or written, and no MIB
    // file is loaded: everything lives in a private folder removed at exit.
    TempDir scratch;
    setenv("SNMPCONFPATH", scratch.path.c_str(), 1);
    setenv("SNMP_PERSISTENT_DIR", scratch.path.c_str(), 1);
    setenv("MIBS", "", 1);
    setenv("MIBDIRS", scratch.path.c_str(), 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR, scratch.path.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, scratch.path.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_ROOT_ACCESS, 1);
    netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_PORTS, ("udp:" + endpoint).c_str());
    // Request logging is for daemons; a test's output stays readable without it.
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_DONT_LOG_TCPWRAPPERS_CONNECTS, 1);
    // Errors only: without VACM tables the library warns that nobody may use the agent,
    // which is not so here (accessCheck). RWN3460_SIM_DEBUG=TOKEN,... turns on
    // net-snmp's debug output for those tokens.
    const char *debugTokens = std::getenv("RWN3460_SIM_DEBUG");
    if (netsnmp_log_handler *log = netsnmp_register_loghandler(NETSNMP_LOGHANDLER_STDERR,
                                                               debugTokens ? LOG_DEBUG : LOG_ERR))
        netsnmp_enable_this_loghandler(log);
    if (debugTokens) {
        debug_register_tokens(debugTokens);
        snmp_set_do_debugging(1);
    }

    init_agent(kAppName);
    init_snmp(kAppName);
    const std::string engineId = engineIdFrom(factory);
    auto *eid = reinterpret_cast<const u_char *>(engineId.data());
    set_exact_engineID(eid, engineId.size());
    // USM keeps the local engine's boots and time per engine ID; the new ID needs its entry.
    set_enginetime(eid, static_cast<u_int>(engineId.size()), snmpv3_local_snmpEngineBoots(),
                   snmpv3_local_snmpEngineTime(), TRUE);
    for (const User &u : cfg.users) {
        std::string line = u.name + " " + u.auth + " " + u.authPass;
        if (!u.priv.empty())
            line += " " + u.priv + " " + u.privPass;
        usm_parse_create_usmUser("createUser", line.data());
    }
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_ACM_CHECK, accessCheck, nullptr);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_ACM_CHECK_INITIAL, accessCheck, nullptr);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_ACM_CHECK_SUBTREE, accessCheck, nullptr);

    static const oid root[] = {1, 3, 6, 1};
    netsnmp_handler_registration *reg = netsnmp_create_handler_registration(
        "rwn3460", handler, root, OID_LENGTH(root), HANDLER_CAN_RWRITE);
    if (netsnmp_register_handler(reg) != MIB_REGISTERED_OK)
        fail("cannot register the device's objects");

    close(probe); // net-snmp binds the same address right after
    if (init_master_agent() != 0)
        fail("cannot listen on " + endpoint + ": " + std::strerror(errno));

    struct sigaction act{};
    act.sa_handler = onSignal;
    sigemptyset(&act.sa_mask);
    sigaction(SIGTERM, &act, nullptr);
    sigaction(SIGINT, &act, nullptr);
    sigset_t blocked, unblocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &unblocked);
    sigdelset(&unblocked, SIGTERM);
    sigdelset(&unblocked, SIGINT);

    std::cout << "listening on " << endpoint << std::endl;

    while (!g_stop) {
        int numfds = 0, block = 1;
        fd_set fds;
        FD_ZERO(&fds);
        timeval tv{};
        snmp_select_info(&numfds, &fds, &tv, &block);
        std::optional<timespec> wait;
        if (!block)
            wait = timespec{tv.tv_sec, tv.tv_usec * 1000};
        if (auto until = agent.device->nextWake()) {
            auto left = std::max(std::chrono::steady_clock::duration::zero(), *until - std::chrono::steady_clock::now());
            auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count() + 1000000;
            timespec t{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
            if (!wait || t.tv_sec < wait->tv_sec || (t.tv_sec == wait->tv_sec && t.tv_nsec < wait->tv_nsec))
                wait = t;
        }
        int n = pselect(numfds, &fds, nullptr, nullptr, wait ? &*wait : nullptr, &unblocked);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(std::string("select: ") + std::strerror(errno));
        }
        if (agent.device->silent()) {
            // Restarting: what arrives is read and dropped, as by a device that is down.
            char buf[65536];
            for (int fd = 0; fd < numfds; ++fd)
                if (FD_ISSET(fd, &fds))
                    while (recv(fd, buf, sizeof buf, MSG_DONTWAIT) >= 0) {
                    }
            agent.device->tick();
            continue;
        }
        if (n > 0)
            snmp_read(&fds);
        else
            snmp_timeout();
        agent.device->tick();
        run_alarms();
        netsnmp_check_outstanding_agent_requests();
    }

    snmp_shutdown(kAppName);
    shutdown_master_agent();
    shutdown_agent();
    agent.device.reset();
    curl_global_cleanup();
    return 0;
}
