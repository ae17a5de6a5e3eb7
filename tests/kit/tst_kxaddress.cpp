#include "KxAddress.h"
#include "KxConvert.h"

#include <QTest>

class TestKxAddress : public QObject {
    Q_OBJECT

private slots:
    void ipAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("typical") << "192.168.0.50" << true;
        QTest::newRow("lowest") << "1.0.0.1" << true;
        QTest::newRow("highest") << "223.255.255.254" << true;
        QTest::newRow("leading zeros are numbers") << "010.001.000.001" << true;
        QTest::newRow("first 0") << "0.1.1.1" << false;
        QTest::newRow("first 224 multicast") << "224.0.0.1" << false;
        QTest::newRow("second 256") << "10.256.0.1" << false;
        QTest::newRow("third 256") << "10.0.256.1" << false;
        QTest::newRow("last 0 network") << "10.0.0.0" << false;
        QTest::newRow("last 255 broadcast") << "10.0.0.255" << false;
        QTest::newRow("two dots") << "10.0.1" << false;
        QTest::newRow("four dots") << "10.0.0.1.5" << false;
        QTest::newRow("empty part") << "10..0.1" << false;
        QTest::newRow("trailing dot") << "10.0.0." << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letters") << "10.0.a.1" << false;
        QTest::newRow("hex part") << "10.0.0x1.1" << false;
        QTest::newRow("sign") << "10.0.-0.1" << false;
        QTest::newRow("blank") << " 10.0.0.1" << false;
        QTest::newRow("huge part") << "10.0.99999999999999999999.1" << false;
        QTest::newRow("host name") << "ap.example.net" << false;
    }

    void ipAddress()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(IsValidIpAddress(text), valid);
    }

    void subnetMask_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("/24") << "255.255.255.0" << true;
        QTest::newRow("/2 shortest") << "192.0.0.0" << true;
        QTest::newRow("/31 longest") << "255.255.255.254" << true;
        QTest::newRow("/16") << "255.255.0.0" << true;
        QTest::newRow("/25") << "255.255.255.128" << true;
        QTest::newRow("/1") << "128.0.0.0" << false;
        QTest::newRow("/32") << "255.255.255.255" << false;
        QTest::newRow("hole") << "255.0.255.0" << false;
        QTest::newRow("zero") << "0.0.0.0" << false;
        QTest::newRow("not contiguous in a part") << "255.255.253.0" << false;
        QTest::newRow("part equal 1") << "255.255.255.1" << false;
        QTest::newRow("part 256") << "255.256.0.0" << false;
        QTest::newRow("three parts") << "255.255.0" << false;
        QTest::newRow("empty part") << "255..255.0" << false;
        QTest::newRow("letters") << "255.255.x.0" << false;
    }

    void subnetMask()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(IsValidSubnetMask(text), valid);
    }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("plain") << "1161" << true << 1161;
        QTest::newRow("negative") << "-3" << true << -3;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("max") << "2147483647" << true << INT32_MAX;
        QTest::newRow("min") << "-2147483648" << true << INT32_MIN;
        QTest::newRow("over max") << "2147483648" << false << 0;
        QTest::newRow("long digit run") << "99999999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("trailing text") << "12ab" << false << 0;
        QTest::newRow("blank inside") << "1 2" << false << 0;
        QTest::newRow("hex") << "0x10" << false << 0;
    }

    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        try {
            const qint32 got = KxStrToInt(text);
            QVERIFY2(ok, qPrintable(QStringLiteral("accepted as %1").arg(got)));
            QCOMPARE(got, value);
        } catch (const KxConvertError &e) {
            QVERIFY2(!ok, qPrintable(e.Text()));
            QCOMPARE(e.Text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestKxAddress)
#include "tst_kxaddress.moc"
