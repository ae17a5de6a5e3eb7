// The device objects of 'Advanced \ Multi-SSID' and their option lists.
#pragma once

#include "KxOptionList.h"
#include "KxVarList.h"

namespace MultiSsidObjects {

// `dot11MssidState`, then `dot11MssidPriorityState`.
const KxSNMPVarDesc *Switch();
// The multi-SSID table: a pseudo key from the instance, then the index column.
const KxSNMPVarDesc *SsidTable();
enum SsidVar {
    IfIndex, MssidIndex, IdvState, Ssid, Suppress, Authentication, Encryption, WepKeyIndex, WepKey, VlanTag,
    CipherType, PassPhrase, KeyType, Wmm, GroupKeyInterval, Priority, SsidVarCount
};
const KxSNMPVarDesc *RadiusTable();
enum RadiusVar { RadiusKey, RadiusIndex, RadiusServer, RadiusPort, RadiusSecret, RadiusSource, RadiusKeyInterval };
const KxSNMPVarDesc *AccountingTable();
enum AccountVar { AccountKey, AccountIndex, AccountStatus, AccountServer, AccountPort, AccountSecret };

// 1 "opensystem" ... 10 "dot1x".
const KxOptionList &AuthenticationOptions();

} // namespace MultiSsidObjects
