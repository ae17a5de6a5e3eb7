// The device objects of 'Home \ Wireless' and their option lists.
#pragma once

#include "KxVarList.h"

namespace WirlessObjects {

// Radio: SSID, visibility, channel, A-band list, auto scan, mode, band, width.
const KxSNMPVarDesc *Radio();
enum RadioVar { Ssid, SsidBroadcast, Channel, ABandList, AutoScan, ApMode, Band, Width };
const KxSNMPVarDesc *GBandLists();
const KxSNMPVarDesc *WifiMode24();
const KxSNMPVarDesc *WifiMode5();
const KxSNMPVarDesc *MssidState();
const KxSNMPVarDesc *VlanState();
const KxSNMPVarDesc *MssidTable();
const KxSNMPVarDesc *ApModeStatus();
const KxSNMPVarDesc *Country();
const KxSNMPVarDesc *Application();
const KxSNMPVarDesc *IndoorWdsChannels();
const KxSNMPVarDesc *IndoorChannels();
const KxSNMPVarDesc *OutdoorChannels();

// WDS peers: eight add objects of one OID, the list, delete-all.
const KxSNMPVarDesc *PeerAdd();
const KxSNMPVarDesc *PeerList();
const KxSNMPVarDesc *PeerDeleteAll();
const KxSNMPVarDesc *SurveyRefresh();
const KxSNMPVarDesc *SurveyList();
const KxSNMPVarDesc *WdsSurveyRefresh();
const KxSNMPVarDesc *WdsSurveyList();
const KxSNMPVarDesc *CloneStatus();
const KxSNMPVarDesc *CloneRefresh();
// Source, then the address.
const KxSNMPVarDesc *CloneSource();
const KxSNMPVarDesc *CloneList();

// Security of the primary SSID: authentication, key index, encryption.
const KxSNMPVarDesc *Auth();
enum AuthVar { Authentication, KeyIndex, Encryption };
// Key row n (1 to 4): entry method, key.
const KxSNMPVarDesc *WepKey(int row);
// Passphrase, cipher, group key interval.
const KxSNMPVarDesc *Passphrase();
enum PassphraseVar { PassPhrase, CipherType, GroupKeyInterval };
// Primary and backup RADIUS and accounting servers, access protection, source, key interval.
const KxSNMPVarDesc *Radius();
enum RadiusVar {
    RadiusServer, RadiusPort, RadiusSecret, BackRadiusServer, BackRadiusPort, BackRadiusSecret,
    AccountStatus, AccountServer, AccountPort, AccountSecret, BackAccountServer, BackAccountPort,
    BackAccountSecret, NetProtect, RadiusSource, RadiusKeyInterval
};
const KxOptionList &AuthenticationOptions();
const KxOptionList &CipherOptions();

} // namespace WirlessObjects
