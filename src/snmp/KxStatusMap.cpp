#include "KxStatusMap.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

namespace {

// SNMP++ class statuses: -2 resource, -10 class invalid, -16 not supported on target,
// -18 invalid address, -20 transport unsupported, -22 transport failed.
// Message processing: -1403 time window, -1405 invalid message, -1406 engine ID,
// -1408 parse, -1411 community, -1412 unknown user, -1413 build, -1415 PDU handler,
// -1417 context. USM: 1401 error, 1403 level, 1404 name, 1405 encryption,
// 1406 decryption, 1408 authentication failure, 1409 parse, 1410 engine, 1411 window.
const KxNetSnmpStatus kTable[] = {
    {SNMPERR_SUCCESS, 0},
    {SNMPERR_GENERR, KxStatus::ClassError},
    {SNMPERR_BAD_LOCPORT, -22},
    {SNMPERR_BAD_ADDRESS, -18},
    {SNMPERR_BAD_SESSION, -10},
    {SNMPERR_TOO_LONG, KxStatus::ClassInvalidPdu},
    {SNMPERR_NO_SOCKET, -22},
    {SNMPERR_V2_IN_V1, -16},
    {SNMPERR_V1_IN_V2, -16},
    {SNMPERR_BAD_REPEATERS, KxStatus::ClassInvalidPdu},
    {SNMPERR_BAD_REPETITIONS, KxStatus::ClassInvalidPdu},
    {SNMPERR_BAD_ASN1_BUILD, -1413},
    {SNMPERR_BAD_SENDTO, -22},
    {SNMPERR_BAD_PARSE, -1408},
    {SNMPERR_BAD_VERSION, -16},
    {SNMPERR_BAD_CONTEXT, -1417},
    {SNMPERR_BAD_COMMUNITY, -1411},
    {SNMPERR_NOAUTH_DESPRIV, 1403},
    {SNMPERR_ABORT, KxStatus::ClassError},
    {SNMPERR_UNKNOWN_PDU, -1415},
    {SNMPERR_TIMEOUT, KxStatus::ClassTimeout},
    {SNMPERR_BAD_RECVFROM, -22},
    {SNMPERR_BAD_ENG_ID, -1406},
    {SNMPERR_BAD_SEC_NAME, 1404},
    {SNMPERR_BAD_SEC_LEVEL, 1403},
    {SNMPERR_ASN_PARSE_ERR, -1408},
    {SNMPERR_UNKNOWN_SEC_MODEL, KxStatus::MpUnsupportedSecurityModel},
    {SNMPERR_INVALID_MSG, -1405},
    {SNMPERR_UNKNOWN_ENG_ID, 1410},
    {SNMPERR_UNKNOWN_USER_NAME, -1412},
    {SNMPERR_UNSUPPORTED_SEC_LEVEL, 1403},
    {SNMPERR_AUTHENTICATION_FAILURE, 1408},
    {SNMPERR_NOT_IN_TIME_WINDOW, -1403},
    {SNMPERR_DECRYPTION_ERR, 1406},
    {SNMPERR_SC_GENERAL_FAILURE, 1401},
    {SNMPERR_SC_NOT_CONFIGURED, 1401},
    {SNMPERR_KT_NOT_AVAILABLE, 1401},
    {SNMPERR_USM_GENERICERROR, 1401},
    {SNMPERR_USM_UNKNOWNSECURITYNAME, 1404},
    {SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL, 1403},
    {SNMPERR_USM_ENCRYPTIONERROR, KxStatus::UsmEncryptionError},
    {SNMPERR_USM_AUTHENTICATIONFAILURE, 1408},
    {SNMPERR_USM_PARSEERROR, 1409},
    {SNMPERR_USM_UNKNOWNENGINEID, 1410},
    {SNMPERR_USM_NOTINTIMEWINDOW, 1411},
    {SNMPERR_USM_DECRYPTIONERROR, 1406},
    {SNMPERR_MAX_SUBID, KxStatus::ClassInvalidOid},
    {SNMPERR_BAD_SUBID, KxStatus::ClassInvalidOid},
    {SNMPERR_LONG_OID, KxStatus::ClassInvalidOid},
    {SNMPERR_BAD_NAME, KxStatus::ClassInvalidOid},
    {SNMPERR_UNKNOWN_OBJID, KxStatus::ClassInvalidOid},
    {SNMPERR_NULL_PDU, KxStatus::ClassInvalidPdu},
    {SNMPERR_NO_VARS, KxStatus::ClassInvalidPdu},
    {SNMPERR_MALLOC, -2},
    {SNMPERR_PROTOCOL, -1405},
    {SNMPERR_TRANSPORT_NO_CONFIG, -20},
    {SNMPERR_TRANSPORT_CONFIG_ERROR, -20},
};

} // namespace

const KxNetSnmpStatus *NetSnmpStatusTable(int *count)
{
    *count = int(sizeof kTable / sizeof kTable[0]);
    return kTable;
}

int NetSnmpErrorToStatus(int snmpErr)
{
    for (const KxNetSnmpStatus &row : kTable) {
        if (row.snmpErr == snmpErr)
            return row.status;
    }
    return KxStatus::Unmapped;
}
