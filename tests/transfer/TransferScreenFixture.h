#pragma once
// What the file transfer screens' tests share: the simulated device on loopback, told to
// reach the screens' TFTP server on a free port, and a main window whose address fields
// put the device on the loopback network.

#include "KxSession.h"
#include "SimFixture.h"
#include "KxScreenFixture.h"

#include <QLineEdit>
#include <QStringList>

namespace transfertest {

const QString kTftp = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.4.3.2");

inline void pointAt(const simtest::Simulator &sim)
{
    GlobalDevice.address = "127.0.0.1";
    GlobalDevice.port = sim.port();
    GlobalSecurity = KxSNMPSecurity();
    GlobalSecurity.version = 1;
}

// The SET PDUs journaled after the first `from`: status, then the varbinds.
inline QList<QStringList> setsSince(const simtest::Simulator &sim, int from)
{
    QList<QStringList> sets;
    const QStringList lines = sim.journalLines();
    for (int i = from; i < lines.size(); ++i)
        sets << lines[i].split('\t').mid(4);
    return sets;
}

// The main window stand-in puts the device at 127.0.0.1/8: the PC address on its
// network is the loopback one.
using Host = screentest::TestHost;

inline QStringList addressSet(const QString &name)
{
    return {"noError", kTftp + ".1.0|64|127.0.0.1", kTftp + ".2.0|4|" + name};
}
inline QStringList transferSet(int command) { return {"noError", kTftp + ".4.0|2|" + QString::number(command)}; }
inline QStringList upgradeSet(int command) { return {"noError", kTftp + ".5.0|2|" + QString::number(command)}; }

} // namespace transfertest
