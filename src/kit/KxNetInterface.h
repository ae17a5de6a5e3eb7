// Which of the PC's addresses lies on the device's network: the address the device
// must be given to reach the module's TFTP server.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QLineEdit;

struct KxNetInterface {
    QString address; // IPv4, dotted
    QString netmask;
    bool up = false;
    bool broadcast = false;
    bool loopback = false;
    bool pointToPoint = false;
    bool multicast = false;
};

// Every IPv4 interface of the PC, however many there are; empty on failure.
QList<KxNetInterface> EnumerateNetInterfaces();

// The octet-wise AND of two dotted texts; a part that is no number counts as 0.
QString NetworkOf(const QString &address, const QString &mask);

// The addresses and default gateways the system reports, collected over the run:
// each list keeps the order of first sight and never loses an entry.
class KxAddressReport {
public:
    // Runs `ip -o -4 addr show` and `ip -4 route show default` (2 s each at most) and
    // adds what they report. Nothing is written to disk.
    void CollectIpconfigAddresses();
    // Adds the addresses and gateways found in the two reports' text.
    void AddReport(const QString &addresses, const QString &routes);

    const QStringList &Addresses() const { return m_addresses; }
    const QStringList &Gateways() const { return m_gateways; }
    const QStringList &Lines() const { return m_lines; } // the last report, line by line

private:
    QStringList m_addresses;
    QStringList m_gateways;
    QStringList m_lines;
};

// What the search compares against: the device's address and mask and its LAN address,
// as the main window holds them.
struct KxDeviceNetwork {
    QString address;
    QString mask;
    QString lanAddress;
};

using KxInterfaceSource = std::function<QList<KxNetInterface>()>;

// Puts into `edit` the PC address on the device's network: an interface whose network
// equals the device's, else a reported address in the LAN address's /24 network.
// True when the edit holds an address afterwards; callers empty it first.
bool FindLocalAddress(QLineEdit *edit, const KxDeviceNetwork &device, KxAddressReport &report,
                      const KxInterfaceSource &interfaces = EnumerateNetInterfaces);
