// net-snmp's library errors (SNMPERR_*) mapped by meaning onto the statuses of the
// error families, so that every failure reaches a screen as one code and one text.
#pragma once

#include "KxErrors.h"

namespace KxStatus {
// Statuses of the families that the layer produces itself.
constexpr int ClassError = -1;
constexpr int ClassTimeout = -5;
constexpr int ClassInvalidPdu = -11;
constexpr int ClassInvalidOid = -17;
constexpr int MpUnsupportedSecurityModel = -1402;
constexpr int UsmUnsupportedAuthProtocol = 1412;
constexpr int UsmUnsupportedPrivProtocol = 1413;
constexpr int UsmAuthenticationError = 1407;
constexpr int UsmEncryptionError = 1405;
constexpr int Unmapped = 1000; // lies in no family: gives -528
} // namespace KxStatus

struct KxNetSnmpStatus {
    int snmpErr;
    int status;
};

// The whole table, in SNMPERR order (tests walk it).
const KxNetSnmpStatus *NetSnmpStatusTable(int *count);
// The family status of a net-snmp library error; Unmapped when there is no match.
int NetSnmpErrorToStatus(int snmpErr);
inline KxStatusText NetSnmpErrorText(int snmpErr) { return StatusToText(NetSnmpErrorToStatus(snmpErr)); }
