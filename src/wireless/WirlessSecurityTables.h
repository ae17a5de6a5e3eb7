// How the device's one authentication value is offered as a security mode and a WPA
// mode, per radio mode and Multi-SSID state, and which section and save branch each
// offered item stands for. No widgets: the screen fills its lists from these tables.
#pragma once

#include <QString>
#include <QStringList>

namespace WirlessSecurity {

// The groups whose lists differ. "WDS" offers the same choices with Multi-SSID on as
// off: the save switches Multi-SSID off in that mode, and the list then shown is the
// one whose items the save writes.
enum class Group { ApMssid, Ap, WdsApMssid, WdsAp, Wds, Client };
Group GroupOf(const QString &mode, bool multiSsid);

struct Lists {
    QStringList security;
    QStringList wpa;
    bool wpaEnabled = true;
};
Lists ListsOf(Group group);

// Items of the security and WPA lists; -1 leaves a list without a selection.
struct Pair {
    int security = -1;
    int wpa = -1;
    bool operator==(const Pair &) const = default;
};
// The pair shown for the device's value text ("opensystem", "wpa2-psk", ...). A value
// the group cannot show selects nothing, so that no save writes a mode the user did
// not pick.
Pair ShowPair(Group group, const QString &deviceValue);
// The item of the authentication list (option order: opensystem, sharedkey, wpa-psk,
// wpa-eap, wpa2-psk, wpa2-eap, wpa-auto-psk, wpa-auto-eap, dot1x(10)) that a chosen
// pair stands for; a WPA list without a selection counts as its item 0. -1 for a pair
// the group does not list.
int StoreItem(Group group, int security, int wpa);
// The same in the device's values (1 opensystem, 2 sharedkey, 3 opensystem-sharedkey,
// 4 wpa-psk, 5 wpa-eap, 6 wpa2-psk, 7 wpa2-eap, 8 wpa-auto-psk, 9 wpa-auto-eap,
// 10 dot1x), for screens whose option texts differ; -1 for a pair not listed.
int StoreValue(Group group, int security, int wpa);
Pair ShowPairOfValue(Group group, int deviceValue);

// What an offered security item shows and saves.
enum class Variant { None, Keys, KeysFixed, Personal, Enterprise, Dot1x };
Variant VariantOf(Group group, int security);

// The save branches: the variant, with "keys" split by the encryption switch.
enum class Choice { None, Open, Wep, Personal, Enterprise, Dot1x };
Choice ChoiceOf(Group group, int security, bool encryption);

} // namespace WirlessSecurity
