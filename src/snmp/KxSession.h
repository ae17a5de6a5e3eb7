// The one process-wide SNMP session and the three value objects that say whom to talk
// to and how. Start-up fills the value objects; every request copies them when it is
// built and keeps that copy for its whole life.
#pragma once

#include <QByteArray>
#include <QString>

struct KxSNMPDevice {
    QString address = QStringLiteral("127.0.0.1");
    quint16 port = 161;
};

struct KxSNMPScope {
    QString contextEngineID;
    QString contextName;
};

// Numbers are the host manager's (SNMP++) numbers: version 0 v1, 1 v2c, 3 v3;
// security level 1 noAuthNoPriv, 2 authNoPriv, 3 authPriv; security model 3 USM;
// authentication 1 none, 2 MD5, 3 SHA, 4..7 SHA-224/256/384/512; privacy 1 none,
// 2 DES, 3 3DES, 4 AES-128, 20 AES-192, 21 AES-256.
struct KxSNMPSecurity {
    quint8 version = 0;
    QString readCommunity = QStringLiteral("rdcomm");
    QString writeCommunity = QStringLiteral("wrcommu");
    qint32 securityModel = 1;
    qint32 securityLevel = 1;
    QString securityName;
    QString authPassword;
    QString privPassword;
    qint32 authProtocol = 1;
    qint32 privProtocol = 1;
};

extern KxSNMPDevice GlobalDevice;
extern KxSNMPScope GlobalScope;
extern KxSNMPSecurity GlobalSecurity;
// Default request timeout in hundredths of a second: 0 until the session opens.
extern int GlobalDefaultTimeout;

class KxNetSnmp;
// The session, or null before OpenGlobalSession.
KxNetSnmp *GlobalSession();

// Creates the session and the local SNMPv3 engine, counts this start in the engine
// boots file of `folder` (empty: the current directory) and sets every default.
// Raises -506, -507 or -508.
void OpenGlobalSession(const QString &folder);
// Stops the event pump; the session itself lives until the process ends.
void CloseGlobalSession();

// The local engine's ID, a fixed text, and the boots file below a folder.
QByteArray LocalEngineId();
QString BootCounterPath(const QString &folder);
quint32 LocalEngineBoots();

// Engine boots counter file: one line per engine ID, "#" comments, other lines kept.
// GetBootCounter: 0 found, -1 no entry for the engine, -2 cannot open, -3 bad entry.
// SaveBootCounter: 0 saved, -3 cannot write, -4 cannot put in place.
int GetBootCounter(const QString &file, const QByteArray &engineId, quint32 &boots);
int SaveBootCounter(const QString &file, const QByteArray &engineId, quint32 boots);
