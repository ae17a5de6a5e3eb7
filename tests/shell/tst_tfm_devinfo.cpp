// 'Status \ Device Info': the MAC arithmetic, the security text, and the screen filled
// from simulated devices in states the tests choose.
#include "KxDialogs.h"
#include "KxSession.h"
#include "SimFixture.h"
#include "TFM_DevInfo.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kRoot = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kSecurity = kRoot + ".2.1.3.3.2.1.1";
const QString kWep = kRoot + ".2.1.3.3.2.2.1";

QString text(const QWidget &screen, const char *name)
{
    if (auto *edit = screen.findChild<QLineEdit *>(QLatin1String(name)))
        return edit->text();
    if (auto *label = screen.findChild<QLabel *>(QLatin1String(name)))
        return label->text();
    return QStringLiteral("<no %1>").arg(QLatin1String(name));
}

void useSimulator(const simtest::Simulator &sim)
{
    GlobalDevice.address = "127.0.0.1";
    GlobalDevice.port = sim.port();
    GlobalSecurity = KxSNMPSecurity();
    GlobalSecurity.version = 1;
}

} // namespace

class TestTFMDevInfo : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    simtest::Simulator m_sim;
    std::unique_ptr<KxScriptedDialogsScope> m_dialogs;

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start());
        OpenGlobalSession(m_dir.path());
    }

    void init()
    {
        m_dialogs = std::make_unique<KxScriptedDialogsScope>();
        useSimulator(m_sim);
    }

    void cleanup() { m_dialogs.reset(); }

    void macPlus_data()
    {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("no carry") << "00C0CA4A3B50" << 7 << "00C0CA4A3B57" << false;
        QTest::newRow("5E plus 1") << "00C0CA4A3B5E" << 1 << "00C0CA4A3B5F" << false;
        QTest::newRow("5E plus 7 carries once") << "00C0CA4A3B5E" << 7 << "00C0CA4A3B65" << false;
        QTest::newRow("carry through several") << "00C0CA4AFFFA" << 7 << "00C0CA4B0001" << false;
        QTest::newRow("lower case comes out upper") << "00c0ca4a3b5e" << 1 << "00C0CA4A3B5F" << false;
        QTest::newRow("all F plus 1") << "FFFFFFFFFFFF" << 1 << "000000000000" << true;
        QTest::newRow("all F but last plus 7") << "FFFFFFFFFFFA" << 7 << "000000000000" << true;
        QTest::newRow("non-hex counts as 0") << "00C0CA4A3BZF" << 1 << "00C0CA4A3B10" << false;
        QTest::newRow("empty") << "" << 7 << "" << false;
    }

    void macPlus()
    {
        QFETCH(QString, mac);
        QFETCH(int, n);
        QFETCH(QString, result);
        QFETCH(bool, overflow);
        bool over = !overflow;
        QCOMPARE(MacPlus(mac, n, &over), result);
        QCOMPARE(over, overflow);
    }

    void securityText_data()
    {
        QTest::addColumn<QString>("authentication");
        QTest::addColumn<bool>("encryption");
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<int>("keyMethod");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("open, no encryption") << "opensystem" << false << "wep" << 0 << "abcde" << "None";
        QTest::newRow("open, ascii 5") << "opensystem" << true << "wep" << 0 << "abcde" << "Open / 64bits";
        QTest::newRow("open, ascii 13") << "opensystem" << true << "wep" << 0 << "abcdefghijklm" << "Open / 128bits";
        QTest::newRow("open, ascii 10 fits no size") << "opensystem" << true << "wep" << 0 << "abcdefghij" << "Open / ";
        QTest::newRow("shared, hex 10") << "sharedkey" << false << "wep" << 1 << "0123456789" << "Shared Key / 64bits";
        QTest::newRow("shared, hex 26") << "sharedkey" << true << "wep" << 1 << QString(26, '1') << "Shared Key / 128bits";
        QTest::newRow("shared, hex 13") << "sharedkey" << true << "wep" << 1 << QString(13, '1') << "Shared Key / ";
        QTest::newRow("shared, method unknown") << "sharedkey" << true << "wep" << -1 << "abcde" << "Shared Key / ";
        QTest::newRow("wpa-psk tkip") << "wpa-psk" << true << "tkip" << 0 << "" << "WPA-Personal / TKIP";
        QTest::newRow("wpa-eap") << "wpa-eap" << true << "aes" << 0 << "" << "WPA-Enterprise / AES";
        QTest::newRow("wpa2-psk aes") << "wpa2-psk" << true << "aes" << 0 << "" << "WPA2-Personal / AES";
        QTest::newRow("wpa2-eap auto") << "wpa2-eap" << false << "auto" << 0 << "" << "WPA2-Enterprise / AUTO";
        QTest::newRow("wpa-auto-psk") << "wpa-auto-psk" << true << "auto" << 0 << "" << "WPA2-Auto-Personal / AUTO";
        QTest::newRow("wpa-auto-eap") << "wpa-auto-eap" << true << "tkip" << 0 << "" << "WPA2-Auto-Enterprise / TKIP";
        QTest::newRow("dot1x") << "dot1x" << true << "wep" << 0 << "" << "802.1x / WEP";
        QTest::newRow("open-shared") << "opensystem-sharedkey" << true << "wep" << 0 << "abcde" << "";
        QTest::newRow("nothing read") << "" << false << "" << -1 << "" << "";
    }

    void securityText()
    {
        QFETCH(QString, authentication);
        QFETCH(bool, encryption);
        QFETCH(QString, cipher);
        QFETCH(int, keyMethod);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QCOMPARE(SecurityText(authentication, encryption, cipher, keyMethod, key), text);
    }

    // Every field from a state set on the device; the WEP key is the last row's.
    void fillsEveryField()
    {
        QCOMPARE(m_sim.set({kSecurity + ".1.1", "i", "6", kSecurity + ".5.1", "i", "2",
                            kRoot + ".2.1.3.3.1.1.1.34.1", "i", "1", kRoot + ".3.11.1.1.3.0", "s", "lobby",
                            kRoot + ".3.11.1.1.2.0", "i", "3", "1.3.6.1.2.1.1.6.0", "s", "hall",
                            kRoot + ".2.1.3.3.1.1.1.1.1", "s", "guest net"}).exitCode, 0);
        TFM_DevInfo screen;
        QCOMPARE(screen.windowTitle(), QString("Status \\ Device Info"));
        QCOMPARE(text(screen, "Ed_Mac"), QString("00C0CA4A3B50"));
        QCOMPARE(text(screen, "LAB_Primary"), QString("00C0CA4A3B50"));
        QCOMPARE(text(screen, "Lab_Seccondary1"), QString("00C0CA4A3B51"));
        QCOMPARE(text(screen, "Lab_Seccondary7"), QString("00C0CA4A3B57"));
        QCOMPARE(text(screen, "Ed_IPaddr"), QString("192.168.0.50"));
        QCOMPARE(text(screen, "Ed_SubMask"), QString("255.255.255.0"));
        QCOMPARE(text(screen, "Ed_Gate"), QString("N/A"));
        QCOMPARE(text(screen, "Ed_SSID"), QString("guest net"));
        QCOMPARE(text(screen, "Ed_Channel"), QString("6"));
        QCOMPARE(text(screen, "Ed_DRate"), QString("Auto"));
        QCOMPARE(text(screen, "Ed_Sec"), QString("WPA2-Personal / AES"));
        QCOMPARE(screen.findChild<QGroupBox *>("GroupBox3")->title(), QString("Wireless(5GHz)"));
        QCOMPARE(text(screen, "Ed_Cpu"), QString("3"));
        QCOMPARE(text(screen, "Ed_Memory"), QString("41"));
        QCOMPARE(text(screen, "Ed_Array"), QString("lobby"));
        QCOMPARE(text(screen, "Ed_Role"), QString("Slave"));
        QCOMPARE(text(screen, "Ed_Location"), QString("hall"));
        QTRY_COMPARE(text(screen, "Ed_Firmware"), QString("1.10.13")); // the one asynchronous read
        QVERIFY(m_dialogs->Boxes().isEmpty());
        QVERIFY(screen.findChild<QLineEdit *>("Ed_Sec")->isReadOnly());
        QVERIFY(screen.findChild<QComboBox *>("Cbox_Role")->isHidden());
        QCOMPARE(m_sim.set({kRoot + ".2.1.3.3.1.1.1.34.1", "i", "0"}).exitCode, 0);
        TFM_DevInfo again;
        QCOMPARE(again.findChild<QGroupBox *>("GroupBox3")->title(), QString("Wireless(2.4GHz)"));
    }

    void securityFromTheDevice_data()
    {
        QTest::addColumn<QStringList>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("open, ascii key of 13 in the last row")
            << QStringList{kSecurity + ".1.1", "i", "1", kSecurity + ".2.1", "i", "1", kWep + ".2.4", "i", "1",
                           kWep + ".3.4", "s", "abcdefghijklm"}
            << "Open / 128bits";
        QTest::newRow("shared, hex key of 10 in the last row")
            << QStringList{kSecurity + ".1.1", "i", "2", kWep + ".2.4", "i", "2", kWep + ".3.4", "s", "0123456789"}
            << "Shared Key / 64bits";
        QTest::newRow("a key only in the first row does not count")
            << QStringList{kSecurity + ".1.1", "i", "2", kWep + ".2.1", "i", "2", kWep + ".3.1", "s", "0123456789",
                           kWep + ".3.4", "s", ""}
            << "Shared Key / ";
        QTest::newRow("dot1x with tkip") << QStringList{kSecurity + ".1.1", "i", "10", kSecurity + ".5.1", "i", "3"}
                                         << "802.1x / TKIP";
        QTest::newRow("open, encryption off") << QStringList{kSecurity + ".1.1", "i", "1", kSecurity + ".2.1", "i", "0"}
                                              << "None";
    }

    void securityFromTheDevice()
    {
        QFETCH(QStringList, state);
        QFETCH(QString, text);
        QCOMPARE(m_sim.set(state).exitCode, 0);
        TFM_DevInfo screen;
        QCOMPARE(::text(screen, "Ed_Sec"), text);
    }

    // A device whose MAC cannot grow, with a gateway and without a band.
    void invalidMacAndMissingBand()
    {
        QFile factory(simtest::factoryDataPath());
        QVERIFY(factory.open(QIODevice::ReadOnly));
        QString data = QString::fromUtf8(factory.readAll());
        data.replace(".5.1.2.1.1.5.1|4x|00c0ca4a3b50", ".5.1.2.1.1.5.1|4x|ffffffffffff");
        // The device shows its configured gateway while it has a static address.
        data.replace(".2.1.1.1.1.4.1|64|0.0.0.0", ".2.1.1.1.1.4.1|64|192.168.0.1");
        data.remove(QRegularExpression(".*\\.2\\.1\\.3\\.3\\.1\\.1\\.1\\.34\\.1\\|.*\n"));
        QTemporaryDir dir;
        QFile file(dir.filePath("device.snmprec"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data.toUtf8());
        file.close();
        simtest::Simulator other({"--data", file.fileName()});
        QVERIFY2(other.start(), qPrintable(other.error()));
        useSimulator(other);

        TFM_DevInfo screen;
        QCOMPARE(text(screen, "LAB_Primary"), QString("FFFFFFFFFFFF"));
        QCOMPARE(text(screen, "Lab_Seccondary1"), QString("000000000000"));
        QCOMPARE(text(screen, "Lab_Seccondary7"), QString("000000000000"));
        QCOMPARE(m_dialogs->Boxes(), (QList<QPair<QString, QString>>{{"Warning", "Invalid MAC!"}, {"Warning", "Invalid MAC!"}}));
        QCOMPARE(text(screen, "Ed_Gate"), QString("192.168.0.1"));
        QCOMPARE(screen.findChild<QComboBox *>("CB_Band")->currentIndex(), -1);
        QCOMPARE(screen.findChild<QGroupBox *>("GroupBox3")->title(), QString("Wireless(5GHz)"));
        QCOMPARE(text(screen, "Ed_Role"), QString("Master")); // the steps after the band still ran
    }
};

QTEST_MAIN(TestTFMDevInfo)
#include "tst_tfm_devinfo.moc"
