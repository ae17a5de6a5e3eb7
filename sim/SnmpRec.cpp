#include "SnmpRec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <charconv>
#include <climits>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

bool parseUnsigned(const std::string &s, std::uint64_t max, std::uint64_t &out)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size() && out <= max;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isPlain(const std::string &s)
{
    if (!s.empty() && (s.front() == ' ' || s.back() == ' '))
        return false; // snmpsimd strips a record's ends
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7e)
            return false;
    return true;
}

} // namespace

std::optional<Oid> parseOid(const std::string &text)
{
    std::string t = text;
    if (!t.empty() && t.front() == '.')
        t.erase(0, 1);
    if (t.empty())
        return std::nullopt;
    Oid oid;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = t.find('.', start);
        std::string part = t.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        std::uint64_t n = 0;
        if (!parseUnsigned(part, 0xffffffffu, n))
            return std::nullopt;
        oid.push_back(static_cast<unsigned long>(n));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (oid.size() < 2 || oid.size() > 128)
        return std::nullopt;
    return oid;
}

std::string formatOid(const Oid &oid)
{
    std::string s;
    for (std::size_t i = 0; i < oid.size(); ++i) {
        if (i)
            s += '.';
        s += std::to_string(oid[i]);
    }
    return s;
}

bool hasPrefix(const Oid &oid, const Oid &prefix)
{
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

std::pair<Oid, Value> parseRecord(const std::string &line)
{
    std::size_t bar1 = line.find('|');
    std::size_t bar2 = bar1 == std::string::npos ? bar1 : line.find('|', bar1 + 1);
    if (bar2 == std::string::npos)
        throw ParseError(0, "expected OID|TAG|VALUE");
    auto oid = parseOid(line.substr(0, bar1));
    if (!oid)
        throw ParseError(0, "bad OID '" + line.substr(0, bar1) + "'");
    std::string tag = line.substr(bar1 + 1, bar2 - bar1 - 1);
    std::string text = line.substr(bar2 + 1);
    Value v;
    bool hex = tag.size() > 1 && tag.back() == 'x';
    if (hex)
        tag.pop_back();
    std::uint64_t tagNo = 0;
    if (!parseUnsigned(tag, 255, tagNo))
        throw ParseError(0, "bad tag '" + line.substr(bar1 + 1, bar2 - bar1 - 1) + "'");
    v.tag = static_cast<int>(tagNo);
    if (hex && v.tag != 4 && v.tag != 64)
        throw ParseError(0, "hex form is for octet strings and addresses only");

    std::string raw = text;
    if (hex) {
        if (text.size() % 2)
            throw ParseError(0, "odd number of hex digits");
        raw.clear();
        for (std::size_t i = 0; i < text.size(); i += 2) {
            int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
            if (hi < 0 || lo < 0)
                throw ParseError(0, "bad hex digits '" + text + "'");
            raw += static_cast<char>(hi * 16 + lo);
        }
    }

    std::uint64_t n = 0;
    switch (v.tag) {
    case 2: {
        long value = 0;
        auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || p != text.data() + text.size()
            || value < INT32_MIN || value > INT32_MAX)
            throw ParseError(0, "bad INTEGER '" + text + "'");
        v.integer = value;
        break;
    }
    case 4:
        v.octets = raw;
        break;
    case 6: {
        auto o = parseOid(text);
        if (!o)
            throw ParseError(0, "bad OBJECT IDENTIFIER '" + text + "'");
        v.objectId = *o;
        break;
    }
    case 64:
        if (hex) {
            if (raw.size() != 4)
                throw ParseError(0, "an IpAddress has four octets");
            v.octets = raw;
        } else {
            std::string octets;
            std::stringstream ss(text);
            std::string part;
            while (std::getline(ss, part, '.')) {
                if (!parseUnsigned(part, 255, n))
                    break;
                octets += static_cast<char>(n);
            }
            if (octets.size() != 4 || std::count(text.begin(), text.end(), '.') != 3)
                throw ParseError(0, "bad IpAddress '" + text + "'");
            v.octets = octets;
        }
        break;
    case 65: case 66: case 67:
        if (!parseUnsigned(text, 0xffffffffu, n))
            throw ParseError(0, "bad unsigned 32-bit value '" + text + "'");
        v.number = n;
        break;
    case 70:
        if (!parseUnsigned(text, UINT64_MAX, n))
            throw ParseError(0, "bad Counter64 '" + text + "'");
        v.number = n;
        break;
    default:
        throw ParseError(0, "unsupported tag " + std::to_string(v.tag));
    }
    return {*oid, v};
}

State parseText(const std::string &text)
{
    State state;
    std::stringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        try {
            auto [oid, value] = parseRecord(line);
            if (!state.emplace(oid, value).second)
                throw ParseError(0, "OID " + formatOid(oid) + " given twice");
        } catch (const ParseError &e) {
            throw ParseError(lineNo, e.what());
        }
    }
    return state;
}

State loadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": cannot open: " + std::strerror(errno));
    std::stringstream buf;
    buf << in.rdbuf();
    try {
        State s = parseText(buf.str());
        if (s.empty())
            throw ParseError(1, "no objects");
        return s;
    } catch (const ParseError &e) {
        throw std::runtime_error(path + ":" + std::to_string(e.line) + ": " + e.what());
    }
}

std::string formatTagValue(const Value &v)
{
    switch (v.tag) {
    case 2:
        return "2|" + std::to_string(v.integer);
    case 4:
        if (isPlain(v.octets))
            return "4|" + v.octets;
        else {
            static const char digits[] = "0123456789abcdef";
            std::string h;
            for (unsigned char c : v.octets) {
                h += digits[c >> 4];
                h += digits[c & 15];
            }
            return "4x|" + h;
        }
    case 6:
        return "6|" + formatOid(v.objectId);
    case 64: {
        std::string s;
        for (std::size_t i = 0; i < v.octets.size(); ++i) {
            if (i)
                s += '.';
            s += std::to_string(static_cast<unsigned char>(v.octets[i]));
        }
        return "64|" + s;
    }
    default:
        return std::to_string(v.tag) + "|" + std::to_string(v.number);
    }
}

std::string formatRecord(const Oid &oid, const Value &v)
{
    return formatOid(oid) + "|" + formatTagValue(v);
}

std::string formatText(const State &state)
{
    std::string s;
    for (const auto &[oid, v] : state)
        s += formatRecord(oid, v) + "\n";
    return s;
}

} // namespace sim
