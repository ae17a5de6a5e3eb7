#include "KxTFTPMsg.h"

#include <array>

namespace {
struct CodeText {
    int code;
    const char *text;
};

constexpr std::array<CodeText, 18> kTexts{{
    {KxTFTPCode::Success, "(KxTFTP) Success to transfer file."},
    {KxTFTPCode::Transferring, "(KxTFTP) File is transferring..."},
    {KxTFTPCode::Connected, "(KxTFTP) A TFTP session is connected..."},
    {KxTFTPCode::Disconnected, "(KxTFTP) A TFTP session is disconnected..."},
    {KxTFTPCode::Undefined, "(KxTFTP) Undefined error:"},
    {KxTFTPCode::FileNotFound, "(KxTFTP) File not found!"},
    {KxTFTPCode::AccessViolation, "(KxTFTP) Access violation!"},
    {KxTFTPCode::DiskFull, "(KxTFTP) Disk full!"},
    {KxTFTPCode::BadOperation, "(KxTFTP) Bad operation!"},
    {KxTFTPCode::UnknownPort, "(KxTFTP) Unknown port!"},
    {KxTFTPCode::FileExists, "(KxTFTP) File already exist!"},
    {KxTFTPCode::NoSuchUser, "(KxTFTP) No such user!"},
    {KxTFTPCode::SocketFailed,
     "(KxTFTP) Fail to open socket!Please check if the network is ready."},
    {KxTFTPCode::SendFailed, "(KxTFTP) Fail to send or receive socket packet!"},
    {KxTFTPCode::NotReady, "(KxTFTP) Socket is not ready!"},
    {KxTFTPCode::BadPacket, "(KxTFTP) Bad packet!"},
    {KxTFTPCode::Timeout, "(KxTFTP) Timeout!"},
    {KxTFTPCode::Canceled, "(KxTFTP) Transfer has been canceled."},
}};
} // namespace

QString KxTFTPText(int code)
{
    for (const CodeText &entry : kTexts) {
        if (entry.code == code)
            return QString::fromLatin1(entry.text);
    }
    return KxTFTPText(KxTFTPCode::Undefined);
}
