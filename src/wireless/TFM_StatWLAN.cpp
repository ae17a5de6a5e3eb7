#include "TFM_StatWLAN.h"

#include "KxDeviceObjects.h"

namespace {

#define DOT11 KX_DEVICE_ROOT ".5.2.2.1.1.1"

// Counter32 values, as the device sends them (see the Ethernet counters).
const KxSNMPVarDesc kCounters[] = {
    {DOT11 ".21.1", "dot11TransmittedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".22.1", "dot11TransmittedBytesCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".23.1", "dot11TransmittedDroppedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".24.1", "dot11TransmittedRetryCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".27.1", "dot11ReceivedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".28.1", "dot11ReceivedBytesCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".29.1", "dot11ReceivedDroppedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".30.1", "dot11ReceivedCRCCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".31.1", "dot11ReceivedDecryptionErrorCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".32.1", "dot11ReceivedMICErrorCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT11 ".33.1", "dot11ReceivedPHYErrorCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {nullptr},
};
const KxCounterScreen::Counter kLabels[] = {
    {"Transmitted Packet Count", "Ed_TranPCount"},
    {"Trasmitted Bytes Count", "Edt_TransBCount"},
    {"Dropped Packet Count", "Edt_DropPCount"},
    {"Transmition Retry Count", "Ed_TranReCount"},
    {"Received Packet Count ", "Edt_RecPacCount"},
    {"Received Bytes Count ", "Edt_RecByCount"},
    {"Dropped Packet Count", "Edt_DropPacCount"},
    {"Received CRC Count", "Edt_RecCRCCount"},
    {"Received Decryption Error Count", "Edt_RecDecErrCount"},
    {"Received MIC Error Count", "Edt_RecMICErrCount"},
    {"Received PHY Error Count", "Edt_RecPHYErrCount"},
};
const KxSNMPVarDesc kClear[] = {
    {DOT11 ".34.1", "dot11Clear", KxSyntax::Integer, KxAccess::ReadWrite, &KxCounterScreen::ClearOptions()},
    {nullptr},
};

// The device does not say a reset is under way; it says when one is done.
const KxCounterScreen::Layout kLayout = {
    kCounters, kLabels, 4, "Transmitted Count ", "Received Count", kClear, 10000,
    {"Wlan Info Get OK!", "Wlan Info Get Error!", "Refresh Wlan Info OK!", "Refresh Wlan Info Error!", nullptr,
     "Clear Wlan Info is OK!"},
};

} // namespace

TFM_StatWLAN::TFM_StatWLAN(QWidget *parent)
    : KxCounterScreen(QStringLiteral("FM_StatWLAN"), QStringLiteral("Status \\ Stats \\ WLAN "), kLayout, parent)
{
}
