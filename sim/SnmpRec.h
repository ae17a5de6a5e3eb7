#pragma once
// The .snmprec text format of the simulated device's state: one object per line,
// "OID|TAG|VALUE", TAG being the BER type number (2 INTEGER, 4 OCTET STRING, 6 OBJECT
// IDENTIFIER, 64 IpAddress, 65 Counter32, 66 Gauge32, 67 TimeTicks, 70 Counter64) and
// "4x" an octet string written as hex digits. The same file is readable by snmpsimd.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

using Oid = std::vector<unsigned long>;

std::optional<Oid> parseOid(const std::string &text);
std::string formatOid(const Oid &oid);
bool hasPrefix(const Oid &oid, const Oid &prefix);

struct Value {
    int tag = 4;                 // BER type number, as in the file
    long integer = 0;            // tag 2
    std::uint64_t number = 0;    // tags 65, 66, 67, 70
    std::string octets;          // tag 4 (raw bytes), tag 64 (four bytes)
    Oid objectId;                // tag 6

    bool operator==(const Value &) const = default;
    static Value makeInteger(long v) { Value r; r.tag = 2; r.integer = v; return r; }
    static Value makeString(std::string s) { Value r; r.tag = 4; r.octets = std::move(s); return r; }
};

// Ordered by OID; std::vector's lexicographic order is exactly SNMP's.
using State = std::map<Oid, Value>;

struct ParseError : std::runtime_error {
    int line;
    ParseError(int l, const std::string &what) : std::runtime_error(what), line(l) {}
};

// One record; throws ParseError (line 0) on a malformed one.
std::pair<Oid, Value> parseRecord(const std::string &line);
// A whole file's text; blank lines and lines starting with '#' are skipped;
// a repeated OID is an error. Throws ParseError with the 1-based line number.
State parseText(const std::string &text);
// Reads a file; throws std::runtime_error "FILE:LINE: reason" on any problem.
State loadFile(const std::string &path);

// "TAG|VALUE" the way snmprec writes it: octet strings with bytes that are not
// printable, or blanks at either end, become "4x" with hex digits.
std::string formatTagValue(const Value &v);
std::string formatRecord(const Oid &oid, const Value &v);
std::string formatText(const State &state);

} // namespace sim
