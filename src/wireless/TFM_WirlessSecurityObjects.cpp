// The security objects of the primary SSID on 'Home \ Wireless'.
#include "TFM_WirlessObjects.h"

#include "KxDeviceObjects.h"

namespace WirlessObjects {

namespace {

#define SEC KX_DEVICE_ROOT ".2.1.3.3.2.1.1"
#define KEYS KX_DEVICE_ROOT ".2.1.3.3.2.2.1"

using namespace KxAccess;
using namespace KxSyntax;

const KxIntOption kAuthentication[] = {
    {1, "opensystem"}, {2, "sharedkey"}, {4, "wpa-psk"}, {5, "wpa-eap"}, {6, "wpa2-psk"},
    {7, "wpa2-eap"}, {8, "wpa-auto-psk"}, {9, "wpa-auto-eap"}, {10, "dot1x(10)"}, {0, nullptr}};
const KxIntOption kKeyIndex[] = {{1, "First"}, {2, "Second"}, {3, "Third"}, {4, "Fourth"}, {0, nullptr}};
const KxIntOption kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const KxIntOption kEntry[] = {{1, "ASCII"}, {2, "HEX"}, {0, nullptr}};
const KxIntOption kCipher[] = {{1, "auto"}, {2, "aes"}, {3, "tkip"}, {4, "wep"}, {0, nullptr}};
const KxIntOption kSource[] = {{1, "External"}, {2, "Internal"}, {0, nullptr}};

const KxOptionList &keyIndexes() { static const KxOptionList l(kKeyIndex); return l; }
const KxOptionList &onOff() { static const KxOptionList l(kOnOff); return l; }
const KxOptionList &entries() { static const KxOptionList l(kEntry); return l; }
const KxOptionList &sources() { static const KxOptionList l(kSource); return l; }

} // namespace

const KxOptionList &AuthenticationOptions()
{
    static const KxOptionList l(kAuthentication);
    return l;
}

const KxOptionList &CipherOptions()
{
    static const KxOptionList l(kCipher);
    return l;
}

const KxSNMPVarDesc *Auth()
{
    static const KxSNMPVarDesc t[] = {
        {SEC ".1.1", "dot11Authentication", Integer, ReadWrite, &AuthenticationOptions()},
        {SEC ".3.1", "dot11KeyIndex", Integer, ReadWrite, &keyIndexes()},
        {SEC ".2.1", "dot11Encryption", Integer, ReadWrite, &onOff()},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *WepKey(int row)
{
#define ROW(n, method)                                                                                             \
    {{KEYS ".2." #n, method, Integer, ReadWrite, &entries()}, {KEYS ".3." #n, "dot11WepKey", DisplayString, ReadWrite}, \
     {nullptr}}
    static const KxSNMPVarDesc t[4][3] = {ROW(1, "dot11WepKeyEntryMethod"), ROW(2, "dot11WepKeyEntryMethod"),
                                          ROW(3, "dot11KeyEntryMethod"), ROW(4, "dot11KeyEntryMethod")};
#undef ROW
    return t[row >= 1 && row <= 4 ? row - 1 : 0];
}

const KxSNMPVarDesc *Passphrase()
{
    static const KxSNMPVarDesc t[] = {
        {SEC ".4.1", "dot11PassPhrase", DisplayString, ReadWrite},
        {SEC ".5.1", "dot11CipherType", Integer, ReadWrite, &CipherOptions()},
        {SEC ".6.1", "dot11GroupKeyUpdateInterval", Integer, ReadWrite},
        {nullptr},
    };
    return t;
}

const KxSNMPVarDesc *Radius()
{
    static const KxSNMPVarDesc t[] = {
        {SEC ".8.1", "dot11PrimaryRadiusServer", IpAddress, ReadWrite},
        {SEC ".9.1", "dot11PrimaryRadiusPort", Integer, ReadWrite},
        {SEC ".10.1", "dot11PrimaryRadiusSecret", DisplayString, ReadWrite},
        {SEC ".11.1", "dot11SecondaryRadiusServer", IpAddress, ReadWrite},
        {SEC ".12.1", "dot11SecondaryRadiusPort", Integer, ReadWrite},
        {SEC ".13.1", "dot11SecondaryRadiusSecret", DisplayString, ReadWrite},
        {SEC ".14.1", "dot11PrimaryAccountingStatus", Integer, ReadWrite, &onOff()},
        {SEC ".15.1", "dot11PrimaryAccountingServer", IpAddress, ReadWrite},
        {SEC ".16.1", "dot11PrimaryAccountingServerPort", Integer, ReadWrite},
        {SEC ".17.1", "dot11PrimaryAccountingPassPhrase", DisplayString, ReadWrite},
        {SEC ".19.1", "dot11SecondaryAccountingServer", IpAddress, ReadWrite},
        {SEC ".20.1", "dot11SecondaryAccountingServerPort", Integer, ReadWrite},
        {SEC ".21.1", "dot11SecondaryAccountingPassPhrase", DisplayString, ReadWrite},
        {SEC ".22.1", "dot11NetworkAccessProtection", Integer, ReadWrite, &onOff()},
        {SEC ".23.1", "dot11RadiusSource", Integer, ReadWrite, &sources()},
        {SEC ".24.1", "dot11RadiusKeyUpdateInterval", Integer, ReadWrite},
        {nullptr},
    };
    return t;
}

} // namespace WirlessObjects
