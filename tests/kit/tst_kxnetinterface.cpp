#include "KxNetInterface.h"
#include "KxTestSupport.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

KxNetInterface iface(const QString &address, const QString &mask)
{
    KxNetInterface n;
    n.address = address;
    n.netmask = mask;
    n.up = true;
    return n;
}

KxInterfaceSource fixed(const QList<KxNetInterface> &list)
{
    return [list] { return list; };
}

} // namespace

class TestKxNetInterface : public QObject {
    Q_OBJECT

private slots:
    void networkOf_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("network");
        QTest::newRow("class C") << "192.168.0.77" << "255.255.255.0" << "192.168.0.0";
        QTest::newRow("/25 upper half") << "192.168.0.200" << "255.255.255.128" << "192.168.0.128";
        QTest::newRow("empty fields") << "" << "" << "0.0.0.0";
        QTest::newRow("junk counts as 0") << "10.x.3.4" << "255.255.255.255" << "10.0.3.4";
        QTest::newRow("low 8 bits only") << "300.1.1.1" << "255.255.255.255" << "44.1.1.1";
        QTest::newRow("short text") << "10.1" << "255.255.255.0" << "10.1.0.0";
    }

    void networkOf()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(QString, network);
        QCOMPARE(NetworkOf(address, mask), network);
    }

    void interfaceOnTheDeviceNetwork_data()
    {
        QTest::addColumn<QList<KxNetInterface>>("interfaces");
        QTest::addColumn<QString>("deviceMask");
        QTest::addColumn<QString>("found");
        QTest::newRow("second of two")
            << QList<KxNetInterface>{iface("10.0.0.7", "255.0.0.0"), iface("192.168.0.20", "255.255.255.0")}
            << "255.255.255.0" << "192.168.0.20";
        QTest::newRow("other half of a /25")
            << QList<KxNetInterface>{iface("192.168.0.200", "255.255.255.128")} << "255.255.255.128" << "";
        QList<KxNetInterface> many;
        for (int i = 1; i <= 11; ++i)
            many << iface(QStringLiteral("10.%1.0.1").arg(i), "255.255.0.0");
        many << iface("192.168.0.9", "255.255.255.0");
        QTest::newRow("twelfth of twelve") << many << "255.255.255.0" << "192.168.0.9";
    }

    void interfaceOnTheDeviceNetwork()
    {
        QFETCH(QList<KxNetInterface>, interfaces);
        QFETCH(QString, deviceMask);
        QFETCH(QString, found);
        QLineEdit edit;
        KxAddressReport report;
        // The fallback compares with the LAN address's /24; keep it off every real network.
        const KxDeviceNetwork device{"192.168.0.50", deviceMask, "198.51.100.50"};
        QCOMPARE(FindLocalAddress(&edit, device, report, fixed(interfaces)), !found.isEmpty());
        QCOMPARE(edit.text(), found);
    }

    void reportFallbackUsesTheLanNetwork()
    {
        KxAddressReport report;
        report.AddReport("2: eth1    inet 192.168.0.20/24 brd 192.168.0.255 scope global eth1\n",
                         "default via 192.168.0.1 dev eth1\n");
        QCOMPARE(report.Gateways(), QStringList{"192.168.0.1"});
        QLineEdit edit;
        const KxDeviceNetwork device{"10.9.9.9", "255.255.255.128", "192.168.0.50"};
        QVERIFY(FindLocalAddress(&edit, device, report, fixed({})));
        QCOMPARE(edit.text(), QString("192.168.0.20"));
        // What was reported once stays, first come first.
        QCOMPARE(report.Addresses().first(), QString("192.168.0.20"));
    }

    void textLeftInTheEditCounts()
    {
        QLineEdit edit;
        edit.setText("1.2.3.4");
        KxAddressReport report;
        const KxDeviceNetwork device{"192.168.0.50", "255.255.255.0", "192.168.0.50"};
        QVERIFY(FindLocalAddress(&edit, device, report, fixed({iface("10.0.0.7", "255.0.0.0")})));
        QCOMPARE(edit.text(), QString("1.2.3.4"));
        QVERIFY(report.Addresses().isEmpty()); // the report was not needed
    }

    // The machine's real interfaces: a device on the loopback network is reached at 127.0.0.1.
    void loopbackDeviceFindsTheLoopbackAddress()
    {
        QLineEdit edit;
        KxAddressReport report;
        const KxDeviceNetwork device{"127.0.0.9", "255.0.0.0", "198.51.100.50"};
        QVERIFY(FindLocalAddress(&edit, device, report));
        QCOMPARE(edit.text(), QString("127.0.0.1"));
    }

    // The machine's own view, through iproute2, must agree with the interface list.
    void realInterfacesAndReportAgree()
    {
        const QList<KxNetInterface> interfaces = EnumerateNetInterfaces();
        QVERIFY(!interfaces.isEmpty());
        QSet<QString> listed;
        bool loopback = false;
        for (const KxNetInterface &n : interfaces) {
            listed.insert(n.address);
            loopback = loopback || (n.loopback && n.address == "127.0.0.1" && n.netmask == "255.0.0.0");
        }
        QVERIFY(loopback);
        KxAddressReport report;
        report.CollectIpconfigAddresses();
        QCOMPARE(QSet<QString>(report.Addresses().begin(), report.Addresses().end()), listed);
        const QString routes = KxTest::Run("ip", {"-4", "route", "show", "default"});
        const QRegularExpression via("default via (\\S+)");
        QStringList gateways;
        for (const QString &line : routes.split('\n', Qt::SkipEmptyParts)) {
            const auto m = via.match(line);
            if (m.hasMatch() && !gateways.contains(m.captured(1)))
                gateways << m.captured(1);
        }
        QCOMPARE(report.Gateways(), gateways);
    }
};

QTEST_MAIN(TestKxNetInterface)
#include "tst_kxnetinterface.moc"
