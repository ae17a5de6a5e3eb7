// The status record a TFTP session hands to its owner, and the fixed status texts.
#pragma once

#include <QString>

// Status codes. 0..3 report progress; -1101 - n mirrors TFTP error code n (0..7);
// the rest are the server's own failures.
namespace KxTFTPCode {
constexpr int Success = 3;
constexpr int Transferring = 2;
constexpr int Connected = 1;
constexpr int Disconnected = 0;
constexpr int Undefined = -1101;
constexpr int FileNotFound = -1102;
constexpr int AccessViolation = -1103;
constexpr int DiskFull = -1104;
constexpr int BadOperation = -1105;
constexpr int UnknownPort = -1106;
constexpr int FileExists = -1107;
constexpr int NoSuchUser = -1108;
constexpr int SocketFailed = -1109;
constexpr int SendFailed = -1110;
constexpr int NotReady = -1111;
constexpr int BadPacket = -1112;
constexpr int Timeout = -1113;
constexpr int Canceled = -1114;
} // namespace KxTFTPCode

// The texts are fixed on purpose: no replaceable catalog holds them.
// An unknown code gets the text of -1101.
QString KxTFTPText(int code);

struct KxTFTPMsg {
    qint32 Code = KxTFTPCode::NotReady;
    QString Text = KxTFTPText(KxTFTPCode::NotReady);
    qint32 Operation = 1; // 1 the device reads a PC file, 2 it writes one
    QString Mode = QStringLiteral("octet");
    QString RemoteAddress = QStringLiteral("0.0.0.0");
    QString LocalAddress = QStringLiteral("127.0.0.1");
    qint32 ServerPort = 69;
    QString FileName;
    // 64 bits: with block numbers rolling over, a transfer is no longer capped at 32 MiB.
    qint64 TotalBytes = 0;
    qint32 BlockBytes = -1;
    qint32 RemotePort = 0;
    qint32 SessionNo = -1;
    qint32 Timeout = 1000; // retransmission time-out in units of 10 ms
    qint32 RetryCount = 0;
};
