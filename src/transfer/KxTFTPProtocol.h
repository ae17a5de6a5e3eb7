// TFTP (RFC 1350) packets and the served-folder name rules, free of any socket so that
// they can be tested and fuzzed on their own.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace KxTFTP {

enum Opcode : quint16 { RRQ = 1, WRQ = 2, DATA = 3, ACK = 4, ERROR = 5 };

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
};

constexpr int BlockSize = 512;
constexpr int BufferSize = 2048; // largest datagram taken in; the rest is cut off

struct Request {
    quint16 opcode = 0; // RRQ or WRQ
    QByteArray fileName;
    QByteArray mode;
};

// A read or write request: opcode, file name and mode, each string NUL-terminated.
// Anything after the mode (option extensions) is ignored. Returns nothing for a datagram
// that is not a well-formed RRQ or WRQ.
std::optional<Request> ParseRequest(const char *data, qsizetype size);

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
// of either kind, no "." or "..", nothing empty, and nothing that resolves (through
// symbolic links) outside the served folder. An empty folder is the current folder.
std::optional<QString> ResolveName(const QString &folder, const QByteArray &name);

} // namespace KxTFTP
