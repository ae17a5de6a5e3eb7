// The security section of 'Home \ Wireless' against the simulated device: what each mode
// and Multi-SSID state offers for each device value, the section variants with their
// titles and rows, the key rows, the RADIUS enabling, the VLAN warning and the security
// remembered per WDS mode.
#include "WirlessFixture.h"
#include "WirlessSecurityTables.h"

#include <QGroupBox>
#include <QLabel>

using namespace wirlesstest;

namespace {

const QString kNone = QStringLiteral("(none)");

QString current(const QComboBox *box)
{
    return box->currentIndex() < 0 ? kNone : box->currentText();
}

// What the passphrase section shows, row by row.
QStringList passRows(Wireless &t)
{
    QStringList out;
    for (const char *name : {"CB_WPAMode", "CB_CipherType", "Ed_UpdateInterval", "Ed_Update2", "Ed_Passphrase",
                             "Ed_ConfirmPass", "CB_NetProtect", "Cbox_RadiusSer", "Edt_RadiusServer"})
        if (t.w(name)->isVisibleTo(t.screen.get()))
            out << name;
    return out;
}

} // namespace

class TestTFMWirlessSecurity : public QObject {
    Q_OBJECT

private slots:
    // Device value -> choice, through the screen, for each mode and Multi-SSID state.
    void securityShownPerModeAndValue_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("mssid");
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("security");
        QTest::addColumn<QString>("wpa");
        QTest::addColumn<QStringList>("wpaItems");
        const QStringList apOn = {"Open System", "WPA-Personal", "WPA-Enterprise", "802.1x"};
        const QStringList apOff = {"Open System", "Share Key", "WPA-Personal", "WPA-Enterprise", "802.1x"};
        const QStringList wdsOff = {"Open System", "Share Key", "WPA-Personal"};
        const QStringList two = {"Open System", "WPA-Personal"};
        const QStringList wpa3 = {"AUTO(WPA or WPA2)", "WPA2 Only", "WPA Only"};
        const QStringList wpa2 = wpa3.mid(0, 2);
        QTest::newRow("AP, MSSID, wpa-psk") << 1 << true << 4 << apOn << "WPA-Personal" << "WPA Only" << wpa3;
        QTest::newRow("AP, MSSID, wpa-auto-eap") << 1 << true << 9 << apOn << "WPA-Enterprise" << "AUTO(WPA or WPA2)"
                                                 << wpa3;
        QTest::newRow("AP, MSSID, dot1x") << 1 << true << 10 << apOn << "802.1x" << kNone << wpa3;
        QTest::newRow("AP, MSSID, sharedkey: nothing") << 1 << true << 2 << apOn << kNone << kNone << wpa3;
        QTest::newRow("AP, sharedkey") << 1 << false << 2 << apOff << "Share Key" << "AUTO(WPA or WPA2)" << wpa3;
        QTest::newRow("AP, wpa2-eap") << 1 << false << 7 << apOff << "WPA-Enterprise" << "WPA2 Only" << wpa3;
        QTest::newRow("AP, open-shared: nothing") << 1 << false << 3 << apOff << kNone << kNone << wpa3;
        QTest::newRow("WDS with AP, MSSID, wpa2-psk") << 2 << true << 6 << two << "WPA-Personal" << "WPA2 Only" << wpa2;
        QTest::newRow("WDS with AP, MSSID, sharedkey: nothing") << 2 << true << 2 << two << kNone << kNone << wpa2;
        QTest::newRow("WDS with AP, wpa-auto-psk") << 2 << false << 8 << wdsOff << "WPA-Personal"
                                                   << "AUTO(WPA or WPA2)" << wpa2;
        QTest::newRow("WDS, wpa2-psk") << 3 << false << 6 << wdsOff << "WPA-Personal" << "WPA2 Only"
                                       << QStringList{"WPA2 Only"};
        QTest::newRow("WDS, MSSID, sharedkey as without") << 3 << true << 2 << wdsOff << "Share Key" << "WPA2 Only"
                                                          << QStringList{"WPA2 Only"};
        QTest::newRow("WDS, wpa-eap: nothing") << 3 << false << 5 << wdsOff << kNone << kNone
                                               << QStringList{"WPA2 Only"};
        QTest::newRow("client, wpa-psk") << 4 << false << 4 << two << "WPA-Personal" << "WPA Only" << wpa3;
        QTest::newRow("client, wpa2-eap: nothing") << 4 << true << 7 << two << kNone << kNone << wpa3;
    }

    void securityShownPerModeAndValue()
    {
        QFETCH(int, mode);
        QFETCH(bool, mssid);
        QFETCH(int, value);
        Wireless t({{kMode, "2|" + QString::number(mode)}, {kMssid, mssid ? "2|1" : "2|0"},
                    {kSec + ".1.1", "2|" + QString::number(value)}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *security = t.w<QComboBox>("CB_SecurityMode");
        auto *wpa = t.w<QComboBox>("CB_WPAMode");
        QTEST(items(security), "items");
        QTEST(current(security), "security");
        QTEST(current(wpa), "wpa");
        QTEST(items(wpa), "wpaItems");
        QCOMPARE(wpa->isEnabled(), mode != 3);
        QCOMPARE(t.screen->LoadedSecurityText(), current(security) == kNone ? QString() : current(security));
    }

    // Every pair a group shows stands for the device value it was shown for.
    void tablesRoundTrip()
    {
        using namespace WirlessSecurity;
        const QStringList values = {"opensystem", "sharedkey", "wpa-psk", "wpa-eap", "wpa2-psk",
                                    "wpa2-eap", "wpa-auto-psk", "wpa-auto-eap", "dot1x(10)"};
        int shown = 0;
        for (Group g : {Group::ApMssid, Group::Ap, Group::WdsApMssid, Group::WdsAp, Group::Wds, Group::Client}) {
            const Lists lists = ListsOf(g);
            for (int v = 0; v < values.size(); ++v) {
                const Pair p = ShowPair(g, values[v]);
                if (p.security < 0)
                    continue;
                ++shown;
                QVERIFY(p.security < lists.security.size() && p.wpa < lists.wpa.size());
                QCOMPARE(StoreItem(g, p.security, p.wpa), v);
            }
            // Every offered item with every offered WPA item stands for some value.
            for (int s = 0; s < lists.security.size(); ++s)
                for (int w = 0; w < lists.wpa.size(); ++w)
                    QVERIFY2(StoreItem(g, s, w) >= 0, qPrintable(QString("%1 %2 %3").arg(int(g)).arg(s).arg(w)));
            QCOMPARE(StoreItem(g, lists.security.size(), 0), -1);
        }
        QCOMPARE(shown, 9 + 8 + 3 + 4 + 3 + 4);
    }

    // The variants of the section, each pictured.
    void sectionVariants_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("mssid");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("title"); // "" : the key section
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("ciphers");
        const QStringList personal = {"CB_WPAMode", "CB_CipherType", "Ed_UpdateInterval", "Ed_Passphrase",
                                      "Ed_ConfirmPass"};
        const QStringList enterprise = {"CB_WPAMode", "CB_CipherType", "Ed_UpdateInterval", "CB_NetProtect",
                                        "Cbox_RadiusSer", "Edt_RadiusServer"};
        const QStringList dot1x = {"Ed_Update2", "Cbox_RadiusSer", "Edt_RadiusServer"};
        const QStringList three = {"Auto", "AES", "TKIP"};
        QTest::newRow("TFM_Wirless_security_keys") << 1 << false << 0 << "" << QStringList() << QStringList();
        QTest::newRow("TFM_Wirless_security_share_key") << 1 << false << 1 << "" << QStringList() << QStringList();
        QTest::newRow("TFM_Wirless_security_personal") << 1 << false << 2 << "Passphrase Settings" << personal << three;
        QTest::newRow("TFM_Wirless_security_enterprise") << 1 << false << 3 << "RADIUS Server Settings" << enterprise
                                                         << three;
        QTest::newRow("TFM_Wirless_security_dot1x") << 1 << true << 3 << "RADIUS Server Settings" << dot1x
                                                    << QStringList();
        QTest::newRow("TFM_Wirless_security_wds_ap_personal") << 2 << false << 2 << "Passphrase Settings" << personal
                                                              << QStringList{"Auto", "AES"};
        QTest::newRow("TFM_Wirless_security_wds_personal") << 3 << false << 2 << "Passphrase Settings" << personal
                                                           << QStringList{"AES"};
        QTest::newRow("TFM_Wirless_security_client_personal") << 4 << false << 1 << "Passphrase Settings" << personal
                                                              << three;
    }

    void sectionVariants()
    {
        QFETCH(int, mode);
        QFETCH(bool, mssid);
        Wireless t({{kMode, "2|" + QString::number(mode)}, {kMssid, mssid ? "2|1" : "2|0"}, {kSec + ".5.1", "2|3"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(int, item);
        t.act({"CB_SecurityMode#" + QString::number(item)});
        QFETCH(QString, title);
        auto *keys = t.w<QGroupBox>("GB_Key");
        auto *pass = t.w<QGroupBox>("GB_Passphrase");
        QCOMPARE(keys->isHidden(), !title.isEmpty());
        QCOMPARE(pass->isHidden(), title.isEmpty());
        auto *encryption = t.w<QComboBox>("CB_dot11Encryption");
        if (title.isEmpty()) {
            // Only the default key's row is shown; "Share Key" fixes the encryption on.
            QCOMPARE(encryption->isEnabled(), item == 0);
            if (item == 1)
                QCOMPARE(encryption->currentText(), QString("Enable"));
            QVERIFY(!t.w("Ed_Key1")->isHidden());
            QVERIFY(t.w("Ed_Key2")->isHidden() && t.w("Ed_Key3")->isHidden() && t.w("Ed_Key4")->isHidden());
        } else {
            QCOMPARE(pass->title(), title);
            QTEST(passRows(t), "rows");
            QFETCH(QStringList, ciphers);
            auto *cipher = t.w<QComboBox>("CB_CipherType");
            if (!ciphers.isEmpty()) {
                QCOMPARE(items(cipher), ciphers);
                // The device's cipher (tkip) where the list has it, else the first.
                QCOMPARE(cipher->currentText(), ciphers.contains("TKIP") ? QString("TKIP") : ciphers[0]);
                QCOMPARE(cipher->isEnabled(), mode != 3);
            }
            const bool interval = t.w("Ed_UpdateInterval")->isEnabled();
            QCOMPARE(interval, mode != 4);
        }
        QVERIFY(screentest::SavePicture(*t.screen, QString::fromLatin1(QTest::currentDataTag())));
    }

    // Only the default key's row shows, with the length limit of its type and size; the
    // confirmation takes the same limit. Without encryption the key fields are off.
    void keyRowsFollowTheDefaultKey()
    {
        Wireless t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(!t.w("Ed_Key1")->isEnabled());
        t.act({"CB_dot11Encryption#1", "CB_DefaultKey#2", "CB_KeyType3#0", "CB_WepEncryp3#1"});
        for (int row = 1; row <= 4; ++row)
            QCOMPARE(t.w(qPrintable(QString("Ed_Key%1").arg(row)))->isHidden(), row != 3);
        auto *key = t.w<QLineEdit>("Ed_Key3");
        QVERIFY(key->isEnabled());
        key->setFocus();
        QTest::keyClicks(key, QString(20, 'k'));
        QCOMPARE(key->text(), QString(13, 'k'));
        auto *confirm = t.w<QLineEdit>("Ed_ConfirmKey");
        QTest::keyClicks(confirm, QString(20, 'k'));
        QCOMPARE(confirm->text(), QString(13, 'k'));
        t.act({"CB_KeyType3#1"});
        key->clear();
        QTest::keyClicks(key, QString(30, 'a'));
        QCOMPARE(key->text().size(), 26);
        t.act({"CB_dot11Encryption#0"});
        QVERIFY(!key->isEnabled() && !confirm->isEnabled() && !t.w("CB_DefaultKey")->isEnabled());
    }

    // Internal RADIUS turns the server and accounting fields off; accounting off turns
    // its own fields off; a refresh keeps what was typed into them.
    void radiusEnablingAndRefresh()
    {
        Wireless t({{kSec + ".1.1", "2|7"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *server = t.w("Edt_RadiusServer");
        auto *account = t.w("Edt_AccountServer");
        QVERIFY(server->isEnabled());
        QVERIFY(!account->isEnabled()); // accounting off on the device
        t.act({"CB_AccountMode#1"});
        QVERIFY(account->isEnabled());
        t.act({"Cbox_RadiusSer#1"});
        QVERIFY(!server->isEnabled() && !account->isEnabled() && !t.w("CB_AccountMode")->isEnabled());
        t.act({"CB_AccountMode#0"});
        t.act({"Cbox_RadiusSer#0"});
        QVERIFY(server->isEnabled() && !account->isEnabled());
        t.act({"Edt_RadiusServer=10.9.9.9"});
        t.w<QPushButton>("Bt_Refresh")->click();
        t.settle();
        QCOMPARE(t.w<QLineEdit>("Edt_RadiusServer")->text(), QString("10.9.9.9"));
    }

    // Leaving a loaded WPA-Enterprise with VLAN and access protection on warns once per
    // window, by a security pick or a mode change, whichever comes first.
    void vlanWarningOnce_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::newRow("security first") << QStringList{"CB_SecurityMode#0"} << QStringList{"CB_APMode#2"};
        QTest::newRow("mode first") << QStringList{"CB_APMode#1"} << QStringList{"CB_APMode#0", "CB_SecurityMode#0"};
    }

    void vlanWarningOnce()
    {
        Wireless t({{kSec + ".1.1", "2|7"}, {kSec + ".22.1", "2|1"}, {kVlan, "2|1"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(t.dialogs().isEmpty());
        QFETCH(QStringList, first);
        t.act(first);
        const QString warning = "Warning: VLAN will be disabled when Authentication is not configured in "
                                "'WPA-Enterprise'.";
        QCOMPARE(t.dialogs(), QStringList{warning});
        QFETCH(QStringList, second);
        t.act(second);
        QCOMPARE(t.dialogs().count(warning), 1);
    }

    void noVlanWarningWithoutProtection()
    {
        Wireless t({{kSec + ".1.1", "2|7"}, {kVlan, "2|1"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act({"CB_SecurityMode#0", "CB_APMode#3"});
        QVERIFY(t.dialogs().isEmpty());
    }

    // The security picked in each WDS mode comes back when the user returns to it.
    void securityRememberedPerWdsMode()
    {
        Wireless t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *security = t.w<QComboBox>("CB_SecurityMode");
        t.act({"CB_APMode#1", "CB_SecurityMode#2"});
        QCOMPARE(security->currentText(), QString("WPA-Personal"));
        t.act({"CB_APMode#2", "CB_SecurityMode#1"});
        QCOMPARE(security->currentText(), QString("Share Key"));
        t.act({"CB_APMode#1"});
        QCOMPARE(security->currentText(), QString("WPA-Personal"));
        t.act({"CB_APMode#2"});
        QCOMPARE(security->currentText(), QString("Share Key"));
        t.act({"CB_APMode#0"});
        QCOMPARE(security->currentText(), QString("Open System")); // the device's value
    }

    // Tab goes from the site survey through the security fields to the MAC clone, the
    // order in which the sections stand.
    void tabOrderFollowsTheSections()
    {
        Wireless t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QStringList chain;
        QWidget *w = t.w("SiteScan");
        for (int i = 0; i < 60 && w && w->objectName() != "Cbox_Status"; ++i) {
            w = w->nextInFocusChain();
            if (w && (w->focusPolicy() & Qt::TabFocus))
                chain << w->objectName();
        }
        QCOMPARE(chain.value(0), QString("CB_dot11Encryption"));
        QCOMPARE(chain.last(), QString("Cbox_Status"));
        for (const char *name : {"Ed_ConfirmKey", "CB_WPAMode", "Ed_Passphrase", "Cbox_RadiusSer",
                                 "Edt_BackAccountSecret"})
            QVERIFY2(chain.contains(name), name);
        QVERIFY(chain.indexOf("Ed_ConfirmKey") < chain.indexOf("CB_WPAMode"));
    }

    // The channel width follows the security: WEP in AP mode fixes 20 MHz.
    void encryptionForcesChannelWidth()
    {
        Wireless t;
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *width = t.w<QComboBox>("CB_ChannelWidth");
        QVERIFY(width->isEnabled());
        t.act({"CB_dot11Encryption#1"});
        QCOMPARE(width->currentText(), QString("20MHz"));
        QVERIFY(!width->isEnabled());
        t.act({"CB_dot11Encryption#0"});
        QVERIFY(width->isEnabled());
    }
};

QTEST_MAIN(TestTFMWirlessSecurity)
#include "tst_tfm_wirlesssecurity.moc"
