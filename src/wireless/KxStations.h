// What the client window and the MAC access list both read: the device's client table,
// the trigger that makes the device gather it, and how a client's security is named.
#pragma once

#include "KxOptionList.h"
#include "KxVarList.h"

class KxSNMPRequest2Edits;
class QTreeWidgetItem;

namespace KxStations {

// Variables of the client table, in list order.
enum ClientColumn { Index, Mac, Band, Authentication, Rssi, Psm, Ssid, Uptime, ActiveTime };

// The empty slot of a station table.
inline const QString NoMac = QStringLiteral("000000000000");

// `dot11ClientInformationRefresh`: 0 "nothing", 1 "get".
const KxSNMPVarDesc *ClientTriggerObjects();
// 0 "nothing", 1 "get": the options of every gathering trigger.
const KxOptionList &TriggerOptions();
// The client table: an index from the row instance, then its eight columns.
const KxSNMPVarDesc *ClientTable();

// "opensystem" -> "OPEN", "sharedkey" -> "WEP", the WPA names in capitals; any other
// text (the auto and 802.1x modes) as it is.
QString ClientAuthenticationText(const QString &authentication);

// The cell of `row` that shows `variable` of the list view bound to `request`.
QString Cell(const KxSNMPRequest2Edits *request, const QTreeWidgetItem *row, int variable);

} // namespace KxStations
