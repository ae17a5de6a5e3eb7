#include "TFM_MultiSSIDNewObjects.h"

#include "KxDeviceObjects.h"

namespace MultiSsidObjects {

namespace {

#define MSSID KX_DEVICE_ROOT ".3.3"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disabled"}, {1, "Enabled"}, {0, nullptr}};
const KxIntOption kAuthentication[] = {
    {1, "opensystem"}, {2, "sharedkey"}, {3, "opensystem-sharedkey"}, {4, "wpa-psk"}, {5, "wpa-eap"},
    {6, "wpa2-psk"}, {7, "wpa2-eap"}, {8, "wpa-auto-psk"}, {9, "wpa-auto-eap"}, {10, "dot1x"}, {0, nullptr}};
const KxIntOption kKeyIndex[] = {{1, "first"}, {2, "second"}, {3, "third"}, {4, "fourth"}, {0, nullptr}};
const KxIntOption kCipher[] = {{1, "auto"}, {2, "aes"}, {3, "tkip"}, {4, "wep"}, {0, nullptr}};
const KxIntOption kKeyType[] = {{1, "ascii"}, {2, "hex"}, {0, nullptr}};
const KxIntOption kPriority[] = {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"},
                                 {5, "5"}, {6, "6"}, {7, "7"}, {0, nullptr}};
const KxIntOption kSource[] = {{1, "External"}, {2, "Internal"}, {0, nullptr}};

const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &keyIndexes() { static const KxOptionList l(kKeyIndex); return l; }
const KxOptionList &ciphers() { static const KxOptionList l(kCipher); return l; }
const KxOptionList &keyTypes() { static const KxOptionList l(kKeyType); return l; }
const KxOptionList &priorities() { static const KxOptionList l(kPriority); return l; }
const KxOptionList &sources() { static const KxOptionList l(kSource); return l; }

} // namespace

const KxOptionList &AuthenticationOptions()
{
    static const KxOptionList l(kAuthentication);
    return l;
}

const KxSNMPVarDesc *Switch()
{
    static const KxSNMPVarDesc t[] = {
        {MSSID ".1.1.1.1", "dot11MssidState", Integer, ReadWrite, &onOff()},
        {MSSID ".1.1.2.1", "dot11MssidPriorityState", Integer, ReadWrite, &onOff()},
        {nullptr},
    };
    return t;
}

// There is no column 13: the WMM switch is column 14.
const KxSNMPVarDesc *SsidTable()
{
#define COL MSSID ".3.1"
    static const KxSNMPVarDesc t[] = {
        {" ", "ifIndex", Integer, Key},
        {COL ".1", "dot11MssidIndex", Integer, Key | Readable},
        {COL ".2", "dot11MssIndividualState", Integer, ReadWrite, &onOff()},
        {COL ".3", "dot11MssidSsid", DisplayString, ReadWrite},
        {COL ".4", "dot11MssidSuppress", Integer, ReadWrite, &onOff()},
        {COL ".5", "dot11MssidAuthentication", Integer, ReadWrite, &AuthenticationOptions()},
        {COL ".6", "dot11MssidEncryption", Integer, ReadWrite, &onOff()},
        {COL ".7", "dot11MssidWepKeyIndex", Integer, ReadWrite, &keyIndexes()},
        {COL ".8", "dot11MssidWepKey", DisplayString, ReadWrite},
        {COL ".9", "dot11MssidVlanTagID", Integer, ReadOnly},
        {COL ".10", "dot11MssidCipherType", Integer, ReadWrite, &ciphers()},
        {COL ".11", "dot11MssidPassPhrase", DisplayString, ReadWrite},
        {COL ".12", "dot11MssidKeyType", Integer, ReadWrite, &keyTypes()},
        {COL ".14", "dot11MssidWmm", Integer, ReadWrite, &onOff()},
        {COL ".15", "dot11MssidGroupKeyUpdateInterval", Integer, ReadWrite},
        {COL ".16", "dot11MssidPriority", Integer, ReadWrite, &priorities()},
        {nullptr},
    };
#undef COL
    return t;
}

const KxSNMPVarDesc *RadiusTable()
{
#define COL MSSID ".4.1"
    static const KxSNMPVarDesc t[] = {
        {" ", "dot11MssidIndex", Integer, Key},
        {COL ".1", "dot11MssidRADIUSIndex", Integer, Key | Readable},
        {COL ".2", "dot11MssidRADIUSServer", IpAddress, ReadWrite},
        {COL ".3", "dot11MssidRADIUSPort", Integer, ReadWrite},
        {COL ".4", "dot11MssidRADIUSSecret", DisplayString, ReadWrite},
        {COL ".5", "dot11MssidRadiusSource", Integer, ReadWrite, &sources()},
        {COL ".6", "dot11MssidRadiusKeyUpdateInterval", Integer, ReadWrite},
        {nullptr},
    };
#undef COL
    return t;
}

const KxSNMPVarDesc *AccountingTable()
{
#define COL MSSID ".5.1"
    static const KxSNMPVarDesc t[] = {
        {" ", "dot11MssidIndex", Integer, Key},
        {COL ".1", "dot11MssidAccountingIndex", Integer, Key | Readable},
        {COL ".2", "dot11MssidAccountingStatus", Integer, ReadWrite, &onOff()},
        {COL ".3", "dot11MssidAccountingServer", IpAddress, ReadWrite},
        {COL ".4", "dot11MssidAccountingServerPort", Integer, ReadWrite},
        {COL ".5", "dot11MssidAccountingPassPhrase", DisplayString, ReadWrite},
        {nullptr},
    };
#undef COL
    return t;
}

} // namespace MultiSsidObjects
