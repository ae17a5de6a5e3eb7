#include "KxStations.h"

#include "KxDeviceObjects.h"
#include "KxRequest2Edits.h"

#include <QTreeWidgetItem>

#include <algorithm>

namespace KxStations {

namespace {

const KxIntOption kTrigger[] = {{0, "nothing"}, {1, "get"}, {0, nullptr}};
const KxIntOption kBand[] = {{0, "A"}, {1, "B"}, {2, "G"}, {3, "N"}, {0, nullptr}};
const KxIntOption kAuthentication[] = {
    {1, "opensystem"}, {2, "sharedkey"}, {4, "wpa-psk"}, {5, "wpa-eap"}, {6, "wpa2-psk"},
    {7, "wpa2-eap"}, {8, "wpa-auto-psk"}, {9, "wpa-auto-eap"}, {10, "dot1x"}, {0, nullptr}};

const KxOptionList &bands() { static const KxOptionList l(kBand); return l; }
const KxOptionList &authentications() { static const KxOptionList l(kAuthentication); return l; }

} // namespace

const KxOptionList &TriggerOptions()
{
    static const KxOptionList list(kTrigger);
    return list;
}

const KxSNMPVarDesc *ClientTriggerObjects()
{
    static const KxSNMPVarDesc table[] = {
        {KX_DEVICE_ROOT ".2.1.3.3.4.1.1.1.1", "dot11ClientInformationRefresh", KxSyntax::Integer,
         KxAccess::ReadWrite, &TriggerOptions()},
        {nullptr},
    };
    return table;
}

const KxSNMPVarDesc *ClientTable()
{
#define CLIENT KX_DEVICE_ROOT ".2.1.3.3.4.2.1"
    static const KxSNMPVarDesc table[] = {
        {CLIENT ".1", "dot11ClinetIndex", KxSyntax::Integer, KxAccess::Key},
        {CLIENT ".2", "dot11ClientMacAddress", KxSyntax::MacAddress, KxAccess::ReadOnly},
        {CLIENT ".3", "dot11ClientBand", KxSyntax::Integer, KxAccess::ReadOnly, &bands()},
        {CLIENT ".4", "dot11ClientAuthentication", KxSyntax::Integer, KxAccess::ReadOnly, &authentications()},
        {CLIENT ".5", "dot11ClientRssi", KxSyntax::Integer, KxAccess::ReadOnly},
        {CLIENT ".6", "dot11ClientPsm", KxSyntax::Integer, KxAccess::ReadOnly},
        {CLIENT ".7", "dot11SSIDIndex", KxSyntax::DisplayString, KxAccess::ReadOnly},
        {CLIENT ".8", "dot11ClientUptime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
        {CLIENT ".9", "dot11ActiveTime", KxSyntax::TimeTicks, KxAccess::ReadOnly},
        {nullptr},
    };
#undef CLIENT
    return table;
}

QString ClientAuthenticationText(const QString &authentication)
{
    static const struct {
        const char *device;
        const char *shown;
    } kNames[] = {
        {"opensystem", "OPEN"}, {"sharedkey", "WEP"}, {"wpa-psk", "WPA-PSK"},
        {"wpa-eap", "WPA-EAP"}, {"wpa2-psk", "WPA2-PSK"}, {"wpa2-eap", "WPA2-EAP"},
    };
    for (const auto &n : kNames)
        if (authentication == QLatin1String(n.device))
            return QLatin1String(n.shown);
    return authentication;
}

QString Cell(const KxSNMPRequest2Edits *request, const QTreeWidgetItem *row, int variable)
{
    const std::vector<int> columns = request->ColumnVariables();
    const auto at = std::find(columns.begin(), columns.end(), variable);
    return at == columns.end() ? QString() : row->text(int(at - columns.begin()));
}

} // namespace KxStations
