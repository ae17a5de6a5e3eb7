#include "TFM_Static.h"

#include "KxDeviceObjects.h"

namespace {

#define DOT3 KX_DEVICE_ROOT ".5.2.1.1.1.1"

// The device sends Counter32 values: read as integers, counts above 2^31 would show
// negative.
const KxSNMPVarDesc kCounters[] = {
    {DOT3 ".1.1", "dot3TransmittedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".2.1", "dot3TransmittedBytesCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".3.1", "dot3TransmittedDroppedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".4.1", "dot3ReceivedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".5.1", "dot3ReceivedBytesCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".6.1", "dot3ReceivedDroppedPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".7.1", "dot3ReceivedMulticastPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".8.1", "dot3ReceivedBroadcastPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".9.1", "dot3Len64PacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".10.1", "dot3Len65To127PacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".11.1", "dot3Len128To255PacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".12.1", "dot3Len256To511PacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".13.1", "dot3Len512To1023PacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".14.1", "dot3Len1024To1518PacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {DOT3 ".15.1", "dot3Len1519ToMaxPacketCount", KxSyntax::Counter32, KxAccess::ReadOnly},
    {nullptr},
};
const KxCounterScreen::Counter kLabels[] = {
    {"Transmitted Packet Count", "Ed_TranPCount"},
    {"Trasmitted Bytes Count", "Edt_TransBCount"},
    {"Dropped Packet Count ", "Edt_DropPCount"},
    {"Received Packet Count ", "Edt_RecPacCount"},
    {"Received Bytes Count ", "Edt_RecByCount"},
    {"Dropped Packet Count", "Edt_DropPacCount"},
    {"Received Multicast Packet Count", "Edt_RecMulPC"},
    {"Received Broadcast Packet Count", "Edt_RecBroPC"},
    {"Len 64 Packet Count", "Edt_Len64PC"},
    {"Len 65~127 Packet Count", "Edt_Len65PC"},
    {"Len 128~255 Packet Count", "Edt_Len128PC"},
    {"Len 256~511 Packet Count", "Edt_Len256PC"},
    {"Len 512~1023 Packet Count ", "Edt_Len512PC"},
    {"Len 1024~1518 Packet Count ", "Edt_Len1024PC"},
    {"Len 1519~MAX Packet Count", "Edt_Len1519PC"},
};
const KxSNMPVarDesc kClear[] = {
    {DOT3 ".16.1", "dot3Clear", KxSyntax::Integer, KxAccess::ReadWrite, &KxCounterScreen::ClearOptions()},
    {nullptr},
};

const KxCounterScreen::Layout kLayout = {
    kCounters, kLabels, 3, "Transmitted Count", "Recieved Count", kClear, 1000,
    {"Ethernet Info Get OK!", "Ethernet Info Get Error!", "Refresh Ethernet Info OK!",
     "Refresh Ethernet Info Error!", "Ethernet Info is Clearing!", "Clear Ethernet Info is OK!"},
};

} // namespace

TFM_Static::TFM_Static(QWidget *parent)
    : KxCounterScreen(QStringLiteral("FM_Static"), QStringLiteral("Status \\ Stats \\ Ethernet"), kLayout, parent)
{
}
