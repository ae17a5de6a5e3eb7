#include "TFM_WirlessObjects.h"

#include "KxDeviceObjects.h"

namespace WirlessObjects {

namespace {

#define ROOT KX_DEVICE_ROOT
#define RADIO ROOT ".2.1.3.3.1.1.1"
#define PEERS ROOT ".2.1.3.3.1.2"
#define SURVEY ROOT ".2.1.3.3.1.3"
#define WDS_SURVEY ROOT ".2.1.3.3.1.4"
#define CLONE ROOT ".2.1.3.3.6"
#define MSSID ROOT ".3.3.3.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kWidth[] = {{1, "20MHz"}, {2, "Auto 20/40 MHz"}, {0, nullptr}};
const KxIntOption kWifi24[] = {
    {6, "Mixed 802.11n,802.11g and 802.11b"}, {3, "Mixed 802.11g and 802.11b"}, {2, "802.11n Only"}, {0, nullptr}};
const KxIntOption kWifi5[] = {
    {9, "Mixed 802.11n and 802.11a"}, {7, "802.11a Only"}, {8, "802.11n Only"}, {0, nullptr}};
const KxIntOption kApplication[] = {{0, "disable"}, {1, "indoor"}, {2, "outdoor"}, {0, nullptr}};
const KxIntOption kDeleteAll[] = {{0, "nothing"}, {1, "deleteall"}, {0, nullptr}};
const KxIntOption kRefresh[] = {{0, "nothing"}, {1, "refresh"}, {0, nullptr}};
const KxIntOption kSource[] = {{1, "Auto"}, {2, "Manual"}, {0, nullptr}};

const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &widths() { static const KxOptionList l(kWidth); return l; }
const KxOptionList &wifi24() { static const KxOptionList l(kWifi24); return l; }
const KxOptionList &wifi5() { static const KxOptionList l(kWifi5); return l; }
const KxOptionList &applications() { static const KxOptionList l(kApplication); return l; }
const KxOptionList &deleteAll() { static const KxOptionList l(kDeleteAll); return l; }
const KxOptionList &refreshes() { static const KxOptionList l(kRefresh); return l; }
const KxOptionList &sources() { static const KxOptionList l(kSource); return l; }

} // namespace

#define ONE(name, oid, syntax, access, options)                                                                   \
    const KxSNMPVarDesc *name()                                                                                     \
    {                                                                                                               \
        static const KxSNMPVarDesc t[] = {{oid, #name, syntax, access, options}, {nullptr}};                       \
        return t;                                                                                                   \
    }

const KxSNMPVarDesc *Radio()
{
    static const KxSNMPVarDesc t[] = {
        {RADIO ".1.1", "dot11Ssid", DisplayString, ReadWrite},
        {RADIO ".2.1", "dot11SsidBroadcast", Integer, ReadWrite, &onOff()},
        {RADIO ".3.1", "dot11Channel", Integer, ReadWrite},
        {RADIO ".4.1", "dot11ABandChannelList", DisplayString, ReadOnly},
        {RADIO ".24.1", "dot11AutoChannelScan", Integer, ReadWrite, &onOff()},
        {KxDevice::ApModeOid, "dot11ApMode", Integer, ReadWrite, &KxDevice::ApModeOptions()},
        {KxDevice::BandOid, "dot11Band", Integer, ReadWrite, &KxDevice::BandOptions()},
        {RADIO ".29.1", "dot11ChannelWidth", Integer, ReadWrite, &widths()},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *GBandLists()
{
    static const KxSNMPVarDesc t[] = {
        {RADIO ".5.1", "dot11GBandChannelList", DisplayString, ReadOnly},
        {RADIO ".6.1", "dot11GBandWdsChannelList", DisplayString, ReadOnly},
        {nullptr},
    };
    return t;
}

ONE(WifiMode24, RADIO ".16.1", Integer, ReadWrite, &wifi24())
ONE(WifiMode5, RADIO ".16.1", Integer, ReadWrite, &wifi5())
ONE(MssidState, ROOT ".3.3.1.1.1.1", Integer, ReadWrite, &onOff())
ONE(VlanState, ROOT ".3.6.1.1", Integer, ReadWrite, &onOff())
ONE(ApModeStatus, RADIO ".38.1", DisplayString, ReadOnly, nullptr)
ONE(Country, RADIO ".39.1", DisplayString, ReadOnly, nullptr)
ONE(Application, RADIO ".40.1", Integer, ReadWrite, &applications())
ONE(IndoorWdsChannels, RADIO ".36.1", DisplayString, ReadOnly, nullptr)
ONE(IndoorChannels, RADIO ".37.1", DisplayString, ReadOnly, nullptr)
ONE(OutdoorChannels, RADIO ".41.1", DisplayString, ReadOnly, nullptr)
ONE(PeerDeleteAll, PEERS ".2.1.3.1", Integer, ReadWrite, &deleteAll())
ONE(SurveyRefresh, SURVEY ".1.1.1.1", Integer, ReadWrite, &refreshes())
ONE(WdsSurveyRefresh, WDS_SURVEY ".1.1.1.1", Integer, ReadWrite, &refreshes())
ONE(CloneStatus, CLONE ".1.1.1.1", Integer, ReadWrite, &onOff())
ONE(CloneRefresh, CLONE ".1.1.4.1", Integer, ReadWrite, &refreshes())

// The multi-SSID table, read at load as the device holds it; the primary SSID's row
// is row 0.
const KxSNMPVarDesc *MssidTable()
{
    static const KxSNMPVarDesc t[] = {
        {" ", "dot11MssidIfIndex", Integer, Key},
        {MSSID ".1", "dot11MssidIndex", Integer, Key | Readable},
        {MSSID ".3", "dot11MssidSsid", DisplayString, ReadOnly},
        {nullptr},
    };
    return t;
}

// Eight writes of one object: each adds one address. Excluded until a save marks the
// fields that hold one.
const KxSNMPVarDesc *PeerAdd()
{
#define ADD {PEERS ".2.1.1.1", "dot11RemoteApMacAddressAdd", MacAddress, Excluded}
    static const KxSNMPVarDesc t[] = {ADD, ADD, ADD, ADD, ADD, ADD, ADD, ADD, {nullptr}};
#undef ADD
    return t;
}

const KxSNMPVarDesc *PeerList()
{
    static const KxSNMPVarDesc t[] = {
        {" ", "dot11RemoteApIfIndex", Integer, Key},
        {PEERS ".1.1.1", "dot11RemoteApMacAddressIndex", Integer, Key | Readable},
        {PEERS ".1.1.2", "dot11RemoteApMacAddressList", MacAddress, ReadOnly},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *SurveyList()
{
    static const KxSNMPVarDesc t[] = {
        {SURVEY ".2.1.1", "dot11SiteSurveyIndex", Integer, Key | Readable},
        {SURVEY ".2.1.3", " CH", Integer, ReadOnly},
        {SURVEY ".2.1.4", " Signal", Integer, ReadOnly},
        {SURVEY ".2.1.5", " BSSID", MacAddress, ReadOnly},
        {SURVEY ".2.1.6", " Security ", DisplayString, ReadOnly},
        {SURVEY ".2.1.7", " SSID", DisplayString, ReadOnly},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *WdsSurveyList()
{
    static const KxSNMPVarDesc t[] = {
        {WDS_SURVEY ".2.1.1", "dot11WdsSiteSurveyIndex", Integer, Key | Readable},
        {WDS_SURVEY ".2.1.2", "CH", Integer, ReadOnly},
        {WDS_SURVEY ".2.1.3", "Signal", Integer, ReadOnly},
        {WDS_SURVEY ".2.1.4", "BSSID", MacAddress, ReadOnly},
        {WDS_SURVEY ".2.1.5", "Security", DisplayString, ReadOnly},
        {WDS_SURVEY ".2.1.6", "SSID", DisplayString, ReadOnly},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *CloneSource()
{
    static const KxSNMPVarDesc t[] = {
        {CLONE ".1.1.2.1", "dot11MacCloneSource", Integer, ReadWrite, &sources()},
        {CLONE ".1.1.3.1", "dot11MacCloneMacAddress", MacAddress, ReadWrite},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *CloneList()
{
    static const KxSNMPVarDesc t[] = {
        {CLONE ".2.1.1", " ", Integer, Key | Readable},
        {CLONE ".2.1.2", "MAC Address", MacAddress, ReadOnly},
        {nullptr},
    };
    return t;
}

} // namespace WirlessObjects
