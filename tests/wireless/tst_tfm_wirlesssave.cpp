// The Save of 'Home \ Wireless' against the simulated device: which requests each mode,
// Multi-SSID state and security choice writes and in which order, what the device then
// holds, the checks that stop a save before anything is written, masked secrets, and the
// way a failed write ends.
#include "WirlessFixture.h"

#include <QLineEdit>

using namespace wirlesstest;

namespace {

const QStringList kKey = {"CB_dot11Encryption#1", "Ed_Key1=0123456789", "Ed_ConfirmKey=0123456789"};
const QStringList kPass = {"Ed_Passphrase=correct horse", "Ed_ConfirmPass=correct horse"};
const QStringList kRadius = {"Edt_RadiusServer=10.0.0.5", "Edt_RadiusSecret=radsecret"};

simtest::Objects device(int mode, bool mssid, simtest::Objects more = {})
{
    simtest::Objects o = {{kMode, "2|" + QString::number(mode)}, {kMssid, mssid ? "2|1" : "2|0"}};
    if (mode == 2 || mode == 3)
        o.insert(peers({"0011223344AA"}));
    if (mode == 4)
        o[kClone + ".1.1"] = "2|1"; // the clone enabled: both clone requests are written
    return with(o, more);
}

QStringList operator+(const QStringList &a, const char *b)
{
    return a + QStringList{QString::fromLatin1(b)};
}

QStringList operator+(const QStringList &a, const QString &b)
{
    return a + QStringList{b};
}

// The varbinds of every SET after a mark, in one list.
QStringList varbindsSince(Wireless &t, int mark)
{
    QStringList out;
    for (const QStringList &pdu : t.fixture.SetsSince(mark))
        out += pdu.mid(1);
    return out;
}

} // namespace

class TestTFMWirlessSave : public QObject {
    Q_OBJECT

private slots:
    void saveWritesPerModeAndChoice_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QString>("authentication");
        const auto row = [](const char *name, int mode, bool mssid, const QStringList &steps, const QString &requests,
                            int auth, simtest::Objects more = {}) {
            QTest::newRow(name) << device(mode, mssid, more) << steps << requests.split(' ') << "2|" + QString::number(auth);
        };
        // Access Point: without Multi-SSID item 1 is "Share Key", with it "WPA-Personal".
        row("AP open", 1, false, {}, "R A Y", 1);
        row("AP open, JP: application first", 1, false, {}, "App R A Y", 1, {{kCountry, "4|JP"}});
        row("AP WEP", 1, false, kKey, "R K A", 1);
        row("AP WEP, Multi-SSID", 1, true, kKey, "R K A Y", 1);
        row("AP share key", 1, false, QStringList{"CB_SecurityMode#1"} + kKey.mid(1), "R K A", 2);
        row("AP share key after WPA was picked", 1, false,
            QStringList{"CB_SecurityMode#2", "CB_WPAMode#2", "CB_SecurityMode#1"} + kKey.mid(1), "R K A", 2);
        row("AP personal WPA2", 1, false, QStringList{"CB_SecurityMode#2", "CB_WPAMode#1"} + kPass, "R P A", 6);
        row("AP personal auto", 1, false, QStringList{"CB_SecurityMode#2", "CB_WPAMode#0"} + kPass, "R P A", 8);
        row("AP personal WPA, Multi-SSID", 1, true, QStringList{"CB_SecurityMode#1", "CB_WPAMode#2"} + kPass,
            "R P A Y", 4);
        row("AP enterprise auto", 1, false, QStringList{"CB_SecurityMode#3", "CB_WPAMode#0"} + kRadius, "R D P A", 9);
        row("AP enterprise WPA", 1, false, QStringList{"CB_SecurityMode#3", "CB_WPAMode#2"} + kRadius, "R D P A", 5);
        row("AP enterprise WPA2, Multi-SSID", 1, true, QStringList{"CB_SecurityMode#2", "CB_WPAMode#1"} + kRadius,
            "R D P A Y", 7);
        row("AP 802.1x", 1, false, QStringList{"CB_SecurityMode#4"} + kRadius, "R D P A", 10);
        row("AP 802.1x, Multi-SSID", 1, true, QStringList{"CB_SecurityMode#3"} + kRadius, "R D P A", 10);
        // WDS with AP: the peers after the security, the apply trigger after the peers.
        row("WDS with AP open", 2, false, {}, "R A X M", 1);
        row("WDS with AP open, Multi-SSID", 2, true, {}, "R A X M Y", 1);
        row("WDS with AP share key", 2, false, QStringList{"CB_SecurityMode#1"} + kKey.mid(1), "R K A X M", 2);
        row("WDS with AP personal WPA2", 2, false, QStringList{"CB_SecurityMode#2", "CB_WPAMode#1"} + kPass,
            "R P A X M", 6);
        row("WDS with AP personal auto, Multi-SSID", 2, true, QStringList{"CB_SecurityMode#1", "CB_WPAMode#0"} + kPass,
            "R P A X M Y", 8);
        // WDS: Multi-SSID goes off first; the choices are those of a device without it.
        row("WDS open", 3, false, {}, "R A X M Y", 1);
        row("WDS open, Multi-SSID", 3, true, {}, "MS R A X M Y", 1);
        row("WDS share key, Multi-SSID", 3, true, QStringList{"CB_SecurityMode#1"} + kKey.mid(1), "MS R K A X M Y", 2);
        row("WDS personal", 3, false, QStringList{"CB_SecurityMode#2"} + kPass, "R P A X M", 6);
        row("WDS personal, Multi-SSID", 3, true, QStringList{"CB_SecurityMode#2"} + kPass, "MS R P A X M Y", 6);
        // Wireless Client: the clone writes around the radio's.
        row("client open", 4, false, {}, "CS CR R A Y", 1);
        row("client WEP", 4, false, kKey, "CS CR R K CS CR A", 1);
        row("client WEP, Multi-SSID", 4, true, kKey, "MS CS CR R K CR CS A Y", 1);
        row("client personal WPA2", 4, false, QStringList{"CB_SecurityMode#1", "CB_WPAMode#1"} + kPass,
            "CS CR CR CS R P A", 6);
        row("client personal WPA, Multi-SSID", 4, true, QStringList{"CB_SecurityMode#1", "CB_WPAMode#2"} + kPass,
            "MS CS CR CR CS R P A Y", 4);
    }

    void saveWritesPerModeAndChoice()
    {
        QFETCH(simtest::Objects, state);
        Wireless t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(QStringList, steps);
        t.act(steps);
        t.fixture.Dialogs().shown.clear();
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.dialogs(), QStringList());
        QTEST(requestsOf(t.fixture.SetsSince(mark)), "requests");
        QCOMPARE(t.status(), QString("Setting Success!"));
        QVERIFY(t.screen->isEnabled());
        QVERIFY(!t.screen->SaveWaitShown());
        QTEST(t.fixture.Sim().value(kSec + ".1.1"), "authentication");
    }

    // What the rows above leave to their varbinds: the mode's radio variables, the WEP
    // row and the client's interval.
    void saveMarksPerMode_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("varbinds"); // OID|TAG|VALUE without the root
        const QString r = ".2.1.3.3.1.1.1", s = ".2.1.3.3.2.1.1", k = ".2.1.3.3.2.2.1";
        QTest::newRow("AP radio: all but the A-band list")
            << device(1, false) << QStringList() << "R"
            << QStringList{r + ".1.1|4|rwn3460", r + ".2.1|2|1", r + ".3.1|2|6", r + ".24.1|2|0", r + ".28.1|2|1",
                           r + ".34.1|2|0", r + ".29.1|2|2"};
        QTest::newRow("WDS radio: no auto scan") << device(3, false) << QStringList() << "R"
                                                 << QStringList{r + ".1.1|4|rwn3460", r + ".2.1|2|1", r + ".3.1|2|6",
                                                                r + ".28.1|2|3", r + ".34.1|2|0", r + ".29.1|2|2"};
        QTest::newRow("client radio: SSID, mode, band, width")
            << device(4, false) << QStringList() << "R"
            << QStringList{r + ".1.1|4|rwn3460", r + ".28.1|2|4", r + ".34.1|2|0", r + ".29.1|2|2"};
        QTest::newRow("WEP row 3, ASCII 128 bit") << device(1, false)
                                                  << QStringList{"CB_dot11Encryption#1", "CB_DefaultKey#2",
                                                                 "CB_KeyType3#0", "CB_WepEncryp3#1",
                                                                 "Ed_Key3=abcdefghijklm", "Ed_ConfirmKey=abcdefghijklm"}
                                                  << "K" << QStringList{k + ".2.3|2|1", k + ".3.3|4|abcdefghijklm"};
        QTest::newRow("WEP authentication, index, encryption")
            << device(1, false) << kKey << "A" << QStringList{s + ".1.1|2|1", s + ".3.1|2|1", s + ".2.1|2|1"};
        QTest::newRow("client personal: no interval")
            << device(4, false) << QStringList{"CB_SecurityMode#1", "CB_WPAMode#1"} + kPass << "P"
            << QStringList{s + ".4.1|4|correct horse", s + ".5.1|2|1"};
        QTest::newRow("WDS personal: no cipher") << device(3, false) << QStringList{"CB_SecurityMode#2"} + kPass << "P"
                                                 << QStringList{s + ".4.1|4|correct horse", s + ".6.1|2|3600"};
        QTest::newRow("enterprise: the unused backup left out")
            << device(1, false) << QStringList{"CB_SecurityMode#3"} + kRadius << "D"
            << QStringList{s + ".8.1|64|10.0.0.5", s + ".9.1|2|1812", s + ".10.1|4|radsecret", s + ".14.1|2|0",
                           s + ".22.1|2|0", s + ".23.1|2|1", s + ".24.1|2|3600"};
        QTest::newRow("enterprise, internal RADIUS") << device(1, false) << QStringList{"CB_SecurityMode#3", "Cbox_RadiusSer#1"}
                                                     << "D" << QStringList{s + ".22.1|2|0", s + ".23.1|2|2", s + ".24.1|2|3600"};
        QTest::newRow("enterprise, internal RADIUS, Multi-SSID")
            << device(1, true) << QStringList{"CB_SecurityMode#2", "Cbox_RadiusSer#1"} << "D"
            << QStringList{s + ".23.1|2|2", s + ".24.1|2|3600"};
        QTest::newRow("802.1x with accounting")
            << device(1, false)
            << QStringList{"CB_SecurityMode#4", "CB_AccountMode#1", "Edt_AccountServer=10.0.0.6",
                           "Edt_AccountSecret=acct", "Edt_BackAccountServer=10.0.0.7", "Edt_BackAccountSecret=back"}
                   + kRadius
            << "D"
            << QStringList{s + ".8.1|64|10.0.0.5", s + ".9.1|2|1812", s + ".10.1|4|radsecret", s + ".14.1|2|1",
                           s + ".15.1|64|10.0.0.6", s + ".16.1|2|1813", s + ".17.1|4|acct", s + ".19.1|64|10.0.0.7",
                           s + ".20.1|2|1813", s + ".21.1|4|back", s + ".22.1|2|0", s + ".23.1|2|1", s + ".24.1|2|3600"};
        QTest::newRow("personal, passphrase not retyped")
            << device(1, false, {{kSec + ".1.1", "2|6"}, {kSec + ".4.1", "4|stored passphrase"}}) << QStringList()
            << "P" << QStringList{s + ".5.1|2|1", s + ".6.1|2|3600"};
        QTest::newRow("AP personal: cipher as picked")
            << device(1, false) << QStringList{"CB_SecurityMode#2", "CB_CipherType#2"} + kPass << "P"
            << QStringList{s + ".4.1|4|correct horse", s + ".5.1|2|3", s + ".6.1|2|3600"};
    }

    void saveMarksPerMode()
    {
        QFETCH(simtest::Objects, state);
        Wireless t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(QStringList, steps);
        t.act(steps);
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.status(), QString("Setting Success!"));
        QFETCH(QString, request);
        QStringList found;
        for (const QStringList &pdu : t.fixture.SetsSince(mark))
            if (requestOf(pdu) == request)
                for (const QString &vb : pdu.mid(1))
                    found << QString(vb).remove(0, R.size());
        QTEST(found, "varbinds");
    }

    // Nothing typed into the four secret fields: none of them goes to the device, and no
    // asterisk is ever written.
    void enterpriseSavedWithoutRetypingKeepsTheSecrets()
    {
        Wireless t({{kSec + ".1.1", "2|7"}, {kSec + ".8.1", "64|10.0.0.5"}, {kSec + ".10.1", "4|radsecret"},
                    {kSec + ".11.1", "64|10.0.0.6"}, {kSec + ".13.1", "4|backsecret"}, {kSec + ".14.1", "2|1"},
                    {kSec + ".15.1", "64|10.0.0.7"}, {kSec + ".17.1", "4|acctsecret"}, {kSec + ".19.1", "64|10.0.0.8"},
                    {kSec + ".21.1", "4|acctbackup"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.w<QComboBox>("CB_SecurityMode")->currentText(), QString("WPA-Enterprise"));
        QCOMPARE(t.w<QComboBox>("CB_WPAMode")->currentText(), QString("WPA2 Only"));
        QCOMPARE(t.w<QLineEdit>("Edt_RadiusSecret")->text(), QString(9, '*'));
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.status(), QString("Setting Success!"));
        QCOMPARE(requestsOf(t.fixture.SetsSince(mark)), (QStringList{"R", "D", "P", "A"}));
        const QString s = kSec + ".";
        QStringList radius;
        for (const QStringList &pdu : t.fixture.SetsSince(mark))
            if (requestOf(pdu) == "D")
                radius = pdu.mid(1);
        QCOMPARE(radius, (QStringList{s + "8.1|64|10.0.0.5", s + "9.1|2|1812", s + "11.1|64|10.0.0.6",
                                      s + "12.1|2|1812", s + "14.1|2|1", s + "15.1|64|10.0.0.7", s + "16.1|2|1813",
                                      s + "19.1|64|10.0.0.8", s + "20.1|2|1813", s + "22.1|2|0", s + "23.1|2|1",
                                      s + "24.1|2|3600"}));
        for (const QString &vb : varbindsSince(t, mark))
            QVERIFY2(!vb.contains('*') && !vb.contains("2a2a"), qPrintable(vb));
        QCOMPARE(t.fixture.Sim().value(kSec + ".1.1"), QString("2|7"));
    }

    // A stored HEX key of 128 bits reads as 26 asterisks: the size follows its length,
    // the checks pass, and everything but the key is written.
    void maskedHexKeyWritesAllButTheKey()
    {
        Wireless t({{kSec + ".1.1", "2|2"}, {kSec + ".2.1", "2|1"}, {kWep + ".3.1", "4|" + QString(26, 'a')}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.w<QComboBox>("CB_SecurityMode")->currentText(), QString("Share Key"));
        QCOMPARE(t.w<QLineEdit>("Ed_Key1")->text(), QString(26, '*'));
        QCOMPARE(t.w<QLineEdit>("Ed_ConfirmKey")->text(), QString(26, '*'));
        QCOMPARE(t.w<QComboBox>("CB_WepEncryp1")->currentText(), QString("128Bit"));
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.status(), QString("Setting Success!"));
        QCOMPARE(t.fixture.SetsSince(mark).value(1), (QStringList{"noError", kWep + ".2.1|2|2"}));
        QCOMPARE(requestsOf(t.fixture.SetsSince(mark)), (QStringList{"R", "K", "A"}));
        for (const QString &vb : varbindsSince(t, mark))
            QVERIFY2(!vb.startsWith(kWep + ".3."), qPrintable(vb));
    }

    // Each check stops the save with its message before anything is written, also where
    // the application value or the Multi-SSID switch would go out first.
    void checksStopBeforeAnyWrite_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("emptied");
        const auto row = [](const char *name, simtest::Objects state, const QStringList &steps, const QString &message,
                            const QString &focused = {}, const QString &emptied = {}) {
            QTest::newRow(name) << state << steps << message << focused << emptied;
        };
        const simtest::Objects ap = device(1, false);
        const QStringList personal = {"CB_SecurityMode#2"};
        const QStringList enterprise = QStringList{"CB_SecurityMode#3"} + kRadius;
        row("SSID too long", ap, {"Ed_SSID=" + QString(33, 'x')}, "Warning: The Max Length of SSID is 32.!", "Ed_SSID",
            "Ed_SSID");
        row("SSID empty", ap, {"Ed_SSID="}, "Warning: Please Input SSID.", "Ed_SSID");
        row("SSID starts with a blank", ap, {"Ed_SSID= lobby"}, "Error: The first character can't be blank.",
            "Ed_SSID", "Ed_SSID");
        row("SSID not ASCII", ap, {QString::fromUtf8("Ed_SSID=caf\u00e9")}, "Error: Don't support chinese character !",
            "Ed_SSID", "Ed_SSID");
        row("HEX key of 64 bit too short", ap, {"CB_dot11Encryption#1", "Ed_Key1=0123"},
            "Warning: The Length of the 1st key must be 10!");
        row("HEX key of 128 bit, 2nd key", ap, {"CB_dot11Encryption#1", "CB_DefaultKey#1", "CB_WepEncryp2#1",
                                               "Ed_Key2=0123456789"},
            "Warning: The Length of the 2nd key must be 26!");
        row("ASCII key of 128 bit, 3rd key", ap, {"CB_dot11Encryption#1", "CB_DefaultKey#2", "CB_KeyType3#0",
                                                 "CB_WepEncryp3#1", "Ed_Key3=abcde"},
            "Warning: The Length of the 3rd key must be 13!");
        row("ASCII key of 64 bit, 4th key", ap, {"CB_dot11Encryption#1", "CB_DefaultKey#3", "CB_KeyType4#0",
                                                "Ed_Key4=abcdefghijklm"},
            "Warning: The Length of the 4th key must be 5!");
        row("HEX key with another character", ap, {"CB_dot11Encryption#1", "Ed_Key1=012345678g"},
            ApplicationTitle() + ": Please input  Hexadecimal digits!", {}, "Ed_Key1");
        row("confirm key differs", ap, {"CB_dot11Encryption#1", "Ed_Key1=0123456789", "Ed_ConfirmKey=0123456788"},
            "Warning: Please input the confirm new password correctly!", "Ed_Key1");
        row("group key interval empty", ap, personal + kPass + "Ed_UpdateInterval=",
            "Error: Please input a number between 300 and 9999999.", "Ed_UpdateInterval");
        row("group key interval below 300", ap, personal + kPass + "Ed_UpdateInterval=299",
            "Error: Please input a number between 300 and 9999999.", "Ed_UpdateInterval", "Ed_UpdateInterval");
        row("group key interval not a number", ap, personal + kPass + "Ed_UpdateInterval=1e5",
            "Error: Please input a number between 300 and 9999999.", "Ed_UpdateInterval", "Ed_UpdateInterval");
        row("passphrase shorter than 8", ap, personal + "Ed_Passphrase=short",
            "Error: The Passphrase length is between 8 and 63.", "Ed_Passphrase");
        row("passphrase unset on the device", ap, personal, "Error: The Passphrase length is between 8 and 63.",
            "Ed_Passphrase");
        row("passphrase longer than 63", ap, personal + ("Ed_Passphrase=" + QString(64, 'p')),
            "Error: The max length of Passphrase is 63.", "Ed_Passphrase");
        row("confirm passphrase differs", ap, personal + "Ed_Passphrase=correct horse",
            "Warning: Please input the confirm new password correctly!", "Ed_Passphrase");
        row("enterprise interval above 9999999", ap, enterprise + "Ed_UpdateInterval=10000000",
            "Error: Please input a number between 300 and 9999999.", "Ed_UpdateInterval", "Ed_UpdateInterval");
        row("RADIUS address", ap, enterprise + "Edt_RadiusServer=10.0.0", "Error: The Radius server's IP is illegal.",
            "Edt_RadiusServer");
        row("RADIUS port empty", ap, enterprise + "Edt_RadiusPort=", "Error: Please input a number between 1 and 65535.",
            "Edt_RadiusPort");
        row("RADIUS secret empty", ap, enterprise + "Edt_RadiusSecret=",
            "Error: The shared secret of radius server cannot be empty.", "Edt_RadiusSecret");
        row("RADIUS secret longer than 64", ap, enterprise + ("Edt_RadiusSecret=" + QString(65, 's')),
            "Error: The max length of secret of radius server is 64.", "Edt_RadiusSecret");
        row("backup RADIUS with an address and no secret", ap, enterprise + "Edt_BackRadiusServer=10.0.0.9",
            "Error: The shared secret of radius server cannot be empty.", "Edt_BackRadiusSecret");
        row("accounting port out of range", ap,
            enterprise + "CB_AccountMode#1" + "Edt_AccountServer=10.0.0.6" + "Edt_AccountPort=65536",
            "Error: Please input a number between 1 and 65535.", "Edt_AccountPort");
        row("802.1x key interval", ap, QStringList{"CB_SecurityMode#4", "Ed_Update2=abc"} + kRadius,
            "Error: Please input a number between 300 and 9999999.", "Ed_Update2", "Ed_Update2");
        // Checks that once came after writes.
        row("JP: application not written before a failing check", device(1, false, {{kCountry, "4|JP"}}),
            personal + "Ed_Passphrase=short", "Error: The Passphrase length is between 8 and 63.", "Ed_Passphrase");
        row("WDS with Multi-SSID: still on after a failing peer check", device(3, true), {"Ed_ReMAddra0="},
            "Warning: Please input MAC address in first blank space!", "Ed_ReMAddra0");
        row("client with Multi-SSID: still on after a failing clone check", device(4, true),
            {"Cbox_MacSource#1", "Ed_CloneMac=0011"}, "Error: The length is 12 in MAC Address.", "Ed_CloneMac");
        row("client with Multi-SSID: still on after a failing passphrase check", device(4, true),
            {"CB_SecurityMode#1", "Ed_Passphrase=short"}, "Error: The Passphrase length is between 8 and 63.",
            "Ed_Passphrase");
    }

    void checksStopBeforeAnyWrite()
    {
        QFETCH(simtest::Objects, state);
        Wireless t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(QStringList, steps);
        t.act(steps);
        t.fixture.Dialogs().shown.clear();
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QFETCH(QString, message);
        QCOMPARE(t.dialogs(), QStringList{message});
        QCOMPARE(t.fixture.SetsSince(mark), QList<QStringList>());
        QVERIFY(t.screen->isEnabled());
        QVERIFY(!t.screen->SaveWaitShown());
        QFETCH(QString, focused);
        if (!focused.isEmpty())
            QCOMPARE(t.screen->focusWidget(), t.w(qPrintable(focused)));
        QFETCH(QString, emptied);
        if (!emptied.isEmpty())
            QCOMPARE(t.w<QLineEdit>(qPrintable(emptied))->text(), QString());
    }

    // Every write counts, the one in the middle as much as the apply trigger and the
    // clone writes; a failed delete-all stops before the add. The save ends with the
    // window usable and the failure text.
    void failedWriteEndsInSettingError_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("passphrase refused in the middle")
            << device(1, false, {{kSec + ".4.1", ""}}) << QStringList{"CB_SecurityMode#2"} + kPass
            << QStringList{"R", "P noCreation", "A"};
        QTest::newRow("apply trigger refused") << device(1, false, {{kApply, ""}}) << QStringList()
                                               << QStringList{"R", "A", "Y noCreation"};
        QTest::newRow("clone status refused: no apply after it")
            << device(4, false, {{kClone + ".1.1", ""}}) << QStringList() << QStringList{"CS noCreation", "CR", "R", "A"};
        QTest::newRow("delete-all refused: no add, no apply")
            << device(3, false, {{kPeerDeleteAll, ""}}) << QStringList() << QStringList{"R", "A", "X noCreation"};
        QTest::newRow("radio refused") << device(1, false, {{kRadio + ".29.1", ""}}) << QStringList()
                                       << QStringList{"R noCreation", "A"};
    }

    void failedWriteEndsInSettingError()
    {
        QFETCH(simtest::Objects, state);
        Wireless t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(QStringList, steps);
        t.act(steps);
        const int mark = t.fixture.Mark();
        const auto notices = [] {
            int n = 0;
            for (QWidget *w : QApplication::topLevelWidgets())
                n += w->objectName() == QLatin1String("FM_Waiting") && w->isVisible();
            return n;
        };
        bool sawWait = false;
        // The wait window is up, and the screen disabled, while the writes after the
        // radio's go out.
        QObject::connect(t.screen->StatusBar(), &QStatusBar::messageChanged, t.screen.get(),
                         [&] { sawWait = sawWait || (t.screen->SaveWaitShown() && !t.screen->isEnabled()); });
        t.w<QPushButton>("Bt_Apply")->click();
        QTEST(requestsOf(t.fixture.SetsSince(mark)), "requests");
        QCOMPARE(t.status(), QString("Setting error!"));
        QVERIFY(t.screen->isEnabled());
        QVERIFY(!t.screen->SaveWaitShown());
        QCOMPARE(notices(), 0);
        QVERIFY(sawWait);
    }

    // A security item the mode does not list (here: a shared key device with Multi-SSID
    // on, whose list has no "Share Key") writes nothing and says so.
    void noSecurityChosenWritesNothing()
    {
        Wireless t(device(1, true, {{kSec + ".1.1", "2|2"}}));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.w<QComboBox>("CB_SecurityMode")->currentIndex(), -1);
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.fixture.SetsSince(mark), QList<QStringList>());
        QCOMPARE(t.status(), QString("Setting error!"));
        QVERIFY(t.dialogs().isEmpty());
        t.act({"CB_SecurityMode#0"});
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.status(), QString("Setting Success!"));
        QCOMPARE(t.fixture.Sim().value(kSec + ".1.1"), QString("2|1"));
    }

    // A key index the device does not name stands for the first key.
    void noKeyIndexSavesTheFirstKey()
    {
        Wireless t(device(1, false, {{kSec + ".3.1", "2|0"}}));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.w<QComboBox>("CB_DefaultKey")->currentIndex(), -1);
        QVERIFY(!t.w("Ed_Key1")->isHidden());
        t.act(kKey);
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.status(), QString("Setting Success!"));
        QCOMPARE(t.fixture.SetsSince(mark).value(1),
                 (QStringList{"noError", kWep + ".2.1|2|2", kWep + ".3.1|4|0123456789"}));
        QCOMPARE(t.fixture.Sim().value(kSec + ".3.1"), QString("2|1"));
    }

    // The marks a failed save set are gone again: a refresh reads what a client save
    // leaves out (the channel, the visibility).
    void refreshAfterFailedSaveReadsEverything()
    {
        Wireless t(device(4, false, {{kClone + ".1.1", ""}}));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.w<QPushButton>("Bt_Apply")->click();
        QCOMPARE(t.status(), QString("Setting error!"));
        QCOMPARE(t.fixture.Sim().set({kMode, "i", "1", kChannel, "i", "11", kRadio + ".2.1", "i", "0"}).exitCode, 0);
        t.w<QPushButton>("Bt_Refresh")->click();
        t.settle();
        QCOMPARE(t.w<QComboBox>("CB_APMode")->currentText(), QString("Access Point"));
        QCOMPARE(t.w<QComboBox>("CB_Chanal")->currentText(), QString("11"));
        QCOMPARE(t.w<QComboBox>("CB_SsidBroadcast")->currentText(), QString("Disable"));
    }
};

QTEST_MAIN(TestTFMWirlessSave)
#include "tst_tfm_wirlesssave.moc"
