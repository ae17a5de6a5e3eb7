#include "WirlessSecurityTables.h"

#include <iterator>
#include <map>

namespace WirlessSecurity {

namespace {

const QString kOpen = QStringLiteral("Open System");
const QString kShare = QStringLiteral("Share Key");
const QString kPersonal = QStringLiteral("WPA-Personal");
const QString kEnterprise = QStringLiteral("WPA-Enterprise");
const QString kDot1x = QStringLiteral("802.1x");
const QStringList kWpaAll = {QStringLiteral("AUTO(WPA or WPA2)"), QStringLiteral("WPA2 Only"),
                             QStringLiteral("WPA Only")};

// Items of the authentication list.
enum Auth { OpenSystem, SharedKey, WpaPsk, WpaEap, Wpa2Psk, Wpa2Eap, AutoPsk, AutoEap, Dot1x };
const char *const kAuthTexts[] = {"opensystem", "sharedkey",    "wpa-psk",      "wpa-eap",  "wpa2-psk",
                                  "wpa2-eap",   "wpa-auto-psk", "wpa-auto-eap", "dot1x(10)"};

// One offered item: how it shows and what it saves. For WPA items, the authentication
// item per WPA item (AUTO, WPA2, WPA); -1 where that WPA item is not offered.
struct Item {
    const QString *text;
    Variant variant;
    int auth[3];
};

using Table = std::vector<Item>;

const Table &itemsOf(Group group)
{
    static const Item open{&kOpen, Variant::Keys, {OpenSystem, OpenSystem, OpenSystem}};
    static const Item share{&kShare, Variant::KeysFixed, {SharedKey, SharedKey, SharedKey}};
    static const Item personal{&kPersonal, Variant::Personal, {AutoPsk, Wpa2Psk, WpaPsk}};
    static const Item enterprise{&kEnterprise, Variant::Enterprise, {AutoEap, Wpa2Eap, WpaEap}};
    static const Item dot1x{&kDot1x, Variant::Dot1x, {Dot1x, Dot1x, Dot1x}};
    static const Item personalWdsAp{&kPersonal, Variant::Personal, {AutoPsk, Wpa2Psk, -1}};
    static const Item personalWds{&kPersonal, Variant::Personal, {Wpa2Psk, -1, -1}};
    static const std::map<Group, Table> tables = {
        {Group::ApMssid, {open, personal, enterprise, dot1x}},
        {Group::Ap, {open, share, personal, enterprise, dot1x}},
        {Group::WdsApMssid, {open, personalWdsAp}},
        {Group::WdsAp, {open, share, personalWdsAp}},
        {Group::Wds, {open, share, personalWds}},
        {Group::Client, {open, personal}},
    };
    return tables.at(group);
}

const Item *itemAt(Group group, int security)
{
    const Table &t = itemsOf(group);
    return security >= 0 && security < int(t.size()) ? &t[size_t(security)] : nullptr;
}

} // namespace

Group GroupOf(const QString &mode, bool multiSsid)
{
    if (mode == QLatin1String("WDS with AP"))
        return multiSsid ? Group::WdsApMssid : Group::WdsAp;
    if (mode == QLatin1String("WDS"))
        return Group::Wds;
    if (mode == QLatin1String("Wireless Client"))
        return Group::Client;
    return multiSsid ? Group::ApMssid : Group::Ap;
}

Lists ListsOf(Group group)
{
    Lists lists;
    for (const Item &item : itemsOf(group))
        lists.security << *item.text;
    if (group == Group::Wds) {
        lists.wpa = {kWpaAll[1]};
        lists.wpaEnabled = false;
    } else if (group == Group::WdsAp || group == Group::WdsApMssid) {
        lists.wpa = kWpaAll.mid(0, 2);
    } else {
        lists.wpa = kWpaAll;
    }
    return lists;
}

Pair ShowPair(Group group, const QString &deviceValue)
{
    const Table &t = itemsOf(group);
    for (int s = 0; s < int(t.size()); ++s) {
        const Item &item = t[size_t(s)];
        for (int w = 0; w < 3; ++w) {
            if (item.auth[w] < 0 || deviceValue != QLatin1String(kAuthTexts[item.auth[w]]))
                continue;
            // Modes without a WPA choice show the WPA list as the device left it: its
            // first item, or none for 802.1x.
            if (item.variant == Variant::Dot1x)
                return {s, -1};
            if (item.variant == Variant::Keys || item.variant == Variant::KeysFixed)
                return {s, 0};
            return {s, w};
        }
    }
    return {};
}

int StoreItem(Group group, int security, int wpa)
{
    const Item *item = itemAt(group, security);
    if (!item)
        return -1;
    const int w = wpa < 0 ? 0 : wpa;
    return w < 3 ? item->auth[w] : -1;
}

namespace {
const int kAuthValues[] = {1, 2, 4, 5, 6, 7, 8, 9, 10};
} // namespace

int StoreValue(Group group, int security, int wpa)
{
    const int item = StoreItem(group, security, wpa);
    return item < 0 ? -1 : kAuthValues[item];
}

Pair ShowPairOfValue(Group group, int deviceValue)
{
    for (int i = 0; i < int(std::size(kAuthValues)); ++i)
        if (kAuthValues[i] == deviceValue)
            return ShowPair(group, QLatin1String(kAuthTexts[i]));
    return {};
}

Variant VariantOf(Group group, int security)
{
    const Item *item = itemAt(group, security);
    return item ? item->variant : Variant::None;
}

Choice ChoiceOf(Group group, int security, bool encryption)
{
    switch (VariantOf(group, security)) {
    case Variant::Keys: return encryption ? Choice::Wep : Choice::Open;
    case Variant::KeysFixed: return Choice::Wep;
    case Variant::Personal: return Choice::Personal;
    case Variant::Enterprise: return Choice::Enterprise;
    case Variant::Dot1x: return Choice::Dot1x;
    case Variant::None: break;
    }
    return Choice::None;
}

} // namespace WirlessSecurity
