#include "KxDeviceObjects.h"

namespace KxDevice {

namespace {
const KxIntOption kApply[] = {{0, "nothing"}, {1, "apply"}, {0, nullptr}};
const KxIntOption kApMode[] = {
    {1, "Access Point"}, {2, "WDS with AP"}, {3, "WDS"}, {4, "Wireless Client"}, {0, nullptr}};
const KxIntOption kBand[] = {{0, "2.4GHz"}, {1, "5GHz"}, {0, nullptr}};
} // namespace

const KxOptionList &ApplyOptions()
{
    static const KxOptionList list(kApply);
    return list;
}

const KxOptionList &ApModeOptions()
{
    static const KxOptionList list(kApMode);
    return list;
}

const KxOptionList &BandOptions()
{
    static const KxOptionList list(kBand);
    return list;
}

const KxSNMPVarDesc *ApplyObjects()
{
    static const KxSNMPVarDesc table[] = {
        {ApplyOid, "deviceSettingApply", KxSyntax::Integer, KxAccess::ReadWrite, &ApplyOptions()},
        {nullptr},
    };
    return table;
}

const KxSNMPVarDesc *ApModeObjects()
{
    static const KxSNMPVarDesc table[] = {
        {ApModeOid, "dot11ApMode", KxSyntax::Integer, KxAccess::ReadWrite, &ApModeOptions()},
        {nullptr},
    };
    return table;
}

const KxSNMPVarDesc *BandObjects()
{
    static const KxSNMPVarDesc table[] = {
        {BandOid, "dot11Band", KxSyntax::Integer, KxAccess::ReadWrite, &BandOptions()},
        {nullptr},
    };
    return table;
}

} // namespace KxDevice
