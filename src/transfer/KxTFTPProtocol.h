// TFTP (RFC 1350) packets, option negotiation (RFC 2347-2349, 7440) and the served-folder
// name rules, free of any socket so that they can be tested and fuzzed on their own.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace KxTFTP {

enum Opcode : quint16 { RRQ = 1, WRQ = 2, DATA = 3, ACK = 4, ERROR = 5, OACK = 6 };

// Protocol error codes carried in ERROR packets.
enum ErrorCode : quint16 {
    NotDefined = 0,
    FileNotFound = 1,
    AccessViolation = 2,
    DiskFull = 3,
    IllegalOperation = 4,
    UnknownTransferId = 5,
    FileExists = 6,
    NoSuchUser = 7,
    OptionRefused = 8, // RFC 2347: the client will not take the options offered
};

constexpr int BlockSize = 512;
constexpr int BufferSize = 2048; // largest request taken in; the rest is cut off
constexpr int MinBlockSize = 8;     // RFC 2348
constexpr int MaxBlockSize = 65464; // RFC 2348: the largest that fits a UDP datagram
constexpr int MaxWindow = 64;       // more blocks in flight only overrun socket buffers

struct Option {
    QByteArray name; // lower case: option names are case-insensitive
    QByteArray value;
};

struct Request {
    quint16 opcode = 0; // RRQ or WRQ
    QByteArray fileName;
    QByteArray mode;
    QList<Option> options; // in the order sent
};

// A read or write request: opcode, file name and mode, each string NUL-terminated, then
// option name and value pairs (RFC 2347); a name without its value is dropped. Returns
// nothing for a datagram that is not a well-formed RRQ or WRQ.
std::optional<Request> ParseRequest(const char *data, qsizetype size);

// What a session runs with once the client's options are settled. `accepted` lists the
// options the OACK names, with the values the server takes; empty means no OACK at all,
// and the transfer is plain RFC 1350, exactly as for a client that asked for nothing.
struct Negotiated {
    int blockSize = BlockSize;
    int window = 1;
    int timeoutS = 0;  // the client's retransmission time-out, 0 when it named none
    qint64 tsize = -1; // write: the size the client announced, -1 when it did not
    QList<Option> accepted;
};

// Settles `request`'s options: blksize (8..65464, capped at `maxBlockSize`), windowsize
// (1..64, capped), timeout (1..255 s) and tsize (a read is told `fileSize` when it is
// above 0; a write's announced size is taken as given). Unknown options, repeated ones and values out of
// range are left out, so the client falls back to the default.
Negotiated Negotiate(const Request &request, int maxBlockSize, qint64 fileSize);

// An OACK naming `options` (RFC 2347).
QByteArray OackPacket(const QList<Option> &options);

struct Header {
    quint16 opcode = 0;
    quint16 block = 0; // block number of DATA and ACK, error code of ERROR
};
// The first four bytes of a transfer packet; nothing when shorter.
std::optional<Header> ParseHeader(const char *data, qsizetype size);

// The block number of the n-th block on the wire. Block numbers roll over to 0 after
// 65535, as common servers and clients do, so transfers have no size cap.
inline quint16 WireBlock(qint64 n) { return quint16(n & 0xFFFF); }

QByteArray DataPacket(quint16 block, const char *payload, qsizetype size);
QByteArray AckPacket(quint16 block);
// Sent with an empty message: the code says everything the device acts on.
QByteArray ErrorPacket(quint16 code);

// The local path a requested name stands for, or nothing when the name must be refused.
// Only plain names of entries directly in the served folder are served: no separators
// of either kind, no "." or "..", nothing empty, no control characters (NUL included),
// only valid UTF-8, and nothing that resolves (through symbolic links) outside the
// served folder. An empty folder is the current folder. Refused names never reach the
// file system.
std::optional<QString> ResolveName(const QString &folder, const QByteArray &name);

// When to send a block (or, in a write, the last ACK) again. Separate from the session's
// time-out, which only says when to give up: a lost datagram costs about one round trip.
// The interval follows the measured round trip as TCP's does (RFC 6298: smoothed round
// trip plus four times its variation), never below `floorMs` nor above `capMs`, doubling
// on each resend until a fresh measurement arrives. A client's RFC 2349 time-out fixes it.
class ResendClock {
public:
    static constexpr int DefaultFloorMs = 50;
    static constexpr int InitialMs = 1000; // before the first measurement (RFC 6298)

    explicit ResendClock(int capMs, int floorMs = DefaultFloorMs);
    // Milliseconds from a send to its resend.
    int IntervalMs() const;
    // A round trip measured on a packet sent once (Karn's rule: never on a resent one).
    void Sample(qint64 roundTripUs);
    void Backoff();
    void EndBackoff() { m_backoff = 0; }
    bool Measured() const { return m_srtt >= 0; }
    void Fix(int ms);

private:
    int m_cap;
    int m_floor;
    int m_fixed = 0;
    int m_backoff = 0;
    qint64 m_srtt = -1; // microseconds; -1 before the first sample
    qint64 m_rttvar = 0;
};

} // namespace KxTFTP
