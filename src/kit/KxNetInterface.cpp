#include "KxNetInterface.h"

#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

QString dotted(const sockaddr *address)
{
    if (!address || address->sa_family != AF_INET)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    const auto *in = reinterpret_cast<const sockaddr_in *>(address);
    return inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) ? QString::fromLatin1(text) : QString();
}

QString runReport(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void addOnce(QStringList &list, const QString &text)
{
    if (!text.isEmpty() && !list.contains(text))
        list.append(text);
}

} // namespace

QList<KxNetInterface> EnumerateNetInterfaces()
{
    QList<KxNetInterface> out;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return out;
    for (const ifaddrs *i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET)
            continue;
        KxNetInterface n;
        n.address = dotted(i->ifa_addr);
        n.netmask = dotted(i->ifa_netmask);
        n.up = i->ifa_flags & IFF_UP;
        n.broadcast = i->ifa_flags & IFF_BROADCAST;
        n.loopback = i->ifa_flags & IFF_LOOPBACK;
        n.pointToPoint = i->ifa_flags & IFF_POINTOPOINT;
        n.multicast = i->ifa_flags & IFF_MULTICAST;
        out.append(n);
    }
    freeifaddrs(list);
    return out;
}

QString NetworkOf(const QString &address, const QString &mask)
{
    const QStringList a = address.split(QLatin1Char('.'));
    const QStringList m = mask.split(QLatin1Char('.'));
    QStringList parts;
    for (int i = 0; i < 4; ++i) {
        const uint x = a.value(i).trimmed().toUInt() & 0xFF;
        const uint y = m.value(i).trimmed().toUInt() & 0xFF;
        parts << QString::number(x & y);
    }
    return parts.join(QLatin1Char('.'));
}

void KxAddressReport::CollectIpconfigAddresses()
{
    const QString addresses = runReport(QStringLiteral("ip"), {"-o", "-4", "addr", "show"});
    const QString routes = runReport(QStringLiteral("ip"), {"-4", "route", "show", "default"});
    if (addresses.isEmpty() && routes.isEmpty())
        return; // the lists keep what earlier runs collected
    AddReport(addresses, routes);
}

void KxAddressReport::AddReport(const QString &addresses, const QString &routes)
{
    static const QRegularExpression inet(QStringLiteral("\\binet\\s+(\\d+\\.\\d+\\.\\d+\\.\\d+)"));
    static const QRegularExpression via(QStringLiteral("^default\\s+via\\s+(\\d+\\.\\d+\\.\\d+\\.\\d+)"));
    m_lines = addresses.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
              + routes.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : m_lines) {
        const QRegularExpressionMatch gateway = via.match(line.trimmed());
        if (gateway.hasMatch()) {
            addOnce(m_gateways, gateway.captured(1));
            continue;
        }
        const QRegularExpressionMatch address = inet.match(line);
        if (address.hasMatch())
            addOnce(m_addresses, address.captured(1));
    }
}

bool FindLocalAddress(QLineEdit *edit, const KxDeviceNetwork &device, KxAddressReport &report,
                      const KxInterfaceSource &interfaces)
{
    const QString deviceNetwork = NetworkOf(device.address, device.mask);
    for (const KxNetInterface &n : interfaces()) {
        if (NetworkOf(n.address, n.netmask) == deviceNetwork) {
            edit->setText(n.address);
            break;
        }
    }
    if (!edit->text().isEmpty())
        return true;

    report.CollectIpconfigAddresses();
    const QString lan = NetworkOf(device.lanAddress, QStringLiteral("255.255.255.0"));
    for (const QString &address : report.Addresses()) {
        if (NetworkOf(address, QStringLiteral("255.255.255.0")) == lan) {
            edit->setText(address.trimmed());
            return true;
        }
    }
    return false;
}
