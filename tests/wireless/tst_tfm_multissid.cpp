// 'Advanced \ Multi-SSID' against the simulated device: the list of enabled SSIDs, what
// Add writes for each security (rows n and n + 8 of the server tables, the SSID's row
// twice), the checks that stop it before any write, Delete, Apply and masked secrets.
#include "KxScreenFixture.h"
#include "TFM_MultiSSIDNew.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString R = QStringLiteral("1.3.6.1.4.1.32473.2.5.9");
const QString kMode = R + ".2.1.3.3.1.1.1.28.1";
const QString kSwitch = R + ".3.3.1.1.1.1";
const QString kSsid = R + ".3.3.3.1";
const QString kRadius = R + ".3.3.4.1";
const QString kAccount = R + ".3.3.5.1";
const QString kApply = R + ".4.2.3.0";

// A cell of the SSID table: column c of additional SSID n.
QString ssid(int c, int n)
{
    return kSsid + QStringLiteral(".%1.1.%2").arg(c).arg(n + 1);
}

simtest::Objects device(simtest::Objects more = {}, int mode = 1)
{
    simtest::Objects o = {{kSwitch, "2|1"}, {kMode, "2|" + QString::number(mode)}};
    o.insert(more);
    return o;
}

// SSID n enabled as the device would hold it.
simtest::Objects enabled(int n, const QString &name, int auth, simtest::Objects more = {})
{
    more[ssid(2, n)] = "2|1";
    more[ssid(3, n)] = "4|" + name;
    more[ssid(5, n)] = "2|" + QString::number(auth);
    return more;
}

struct MultiSsid {
    explicit MultiSsid(simtest::Objects changes = {}, QStringList simArgs = {})
        : fixture(std::move(simArgs), std::move(changes))
    {
    }
    bool start()
    {
        if (!fixture.Start())
            return false;
        screen = std::make_unique<TFM_MultiSSIDNewForm>(&fixture.Host());
        screen->show();
        return settle();
    }
    // Lets the table's answers arrive (each read of it ends with "Get OK!").
    bool settle()
    {
        for (int i = 0; i < 100; ++i) {
            QTest::qWait(30);
            if (status() == "Get OK!" && !screen->SaveWaitShown())
                return true;
        }
        return false;
    }
    template <class T = QWidget>
    T *w(const char *name) const
    {
        T *found = screen->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no control named %s", name);
        return found;
    }
    // "Name=text" types into an edit, "Name#n" picks item n as the user does, "Name!"
    // clicks a check box.
    void act(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const int eq = step.indexOf('='), hash = step.indexOf('#');
            if (step.endsWith('!')) {
                w<QCheckBox>(qPrintable(step.chopped(1)))->click();
            } else if (eq > 0 && (hash < 0 || eq < hash)) {
                w<QLineEdit>(qPrintable(step.left(eq)))->setText(step.mid(eq + 1));
            } else {
                auto *box = w<QComboBox>(qPrintable(step.left(hash)));
                const int item = step.mid(hash + 1).toInt();
                box->setCurrentIndex(item);
                emit box->activated(item);
            }
        }
    }
    // Add (or Delete) and the answers and re-reads it causes; the varbinds of every SET.
    QStringList press(const char *button)
    {
        mark = fixture.Mark();
        w<QPushButton>(button)->click();
        QTest::qWait(400); // both answers of an Add and the reads they start
        settle();
        return varbinds();
    }
    QStringList varbinds() const
    {
        QStringList out;
        for (const QStringList &pdu : fixture.SetsSince(mark))
            out += pdu.mid(1);
        return out;
    }
    // The varbinds of the SETs after the mark, one text per PDU.
    QStringList pdus() const
    {
        QStringList out;
        for (const QStringList &pdu : fixture.SetsSince(mark))
            out << pdu.join(' ');
        return out;
    }
    QStringList userList() const
    {
        QStringList out;
        auto *list = w<QTreeWidget>("LV_MultiSSID_User");
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << list->topLevelItem(r)->text(c);
            out << cells.join('|');
        }
        return out;
    }
    void clickUser(int row)
    {
        auto *list = w<QTreeWidget>("LV_MultiSSID_User");
        list->setCurrentItem(list->topLevelItem(row));
        screen->LV_MultiSSID_UserClick();
    }
    QStringList boxes()
    {
        QStringList out;
        for (const auto &box : fixture.Dialogs().Boxes())
            out << box.first + ": " + box.second;
        return out;
    }
    QString status() const { return screen->StatusBar()->currentMessage(); }

    screentest::ScreenFixture fixture;
    std::unique_ptr<TFM_MultiSSIDNewForm> screen;
    int mark = 0;
};

const QStringList kPersonal = {"CB_Index#1", "Ed_SSID=guest", "CB_SSIDSecurityMode#1", "CB_WPAMode#1",
                               "Ed_Passphrase=correct horse", "Ed_ConfirmPass=correct horse"};

QStringList only(const QStringList &varbinds, const QString &prefix)
{
    QStringList out;
    for (const QString &vb : varbinds)
        if (vb.startsWith(prefix))
            out << vb;
    return out;
}

} // namespace

class TestTFMMultiSsid : public QObject {
    Q_OBJECT

private slots:
    void listsTheEnabledSsids()
    {
        MultiSsid t(device(enabled(2, "lobby", 6, {{ssid(6, 2), "2|1"}})));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.userList(), QStringList({"Primary SSID|rwn3460|2.4GHz|None", "Multi-SSID2|lobby|2.4GHz|WPA2-Personal"}));
        QCOMPARE(t.w<QComboBox>("CB_Index")->currentText(), QString("Primary SSID"));
        QVERIFY(!t.w("Ed_SSID")->isEnabled());
        // The primary SSID is shown, never changed.
        t.mark = t.fixture.Mark();
        t.w<QPushButton>("AddButton")->click();
        QCOMPARE(t.boxes(), QStringList{"Warning: Settings is not changed."});
        QVERIFY(t.varbinds().isEmpty());
        t.act({"CB_Index#2"});
        QCOMPARE(t.w<QLineEdit>("Ed_SSID")->text(), QString("lobby"));
        QCOMPARE(t.w<QComboBox>("CB_SSIDSecurityMode")->currentText(), QString("WPA-Personal"));
        QCOMPARE(t.w<QComboBox>("CB_WPAMode")->currentText(), QString("WPA2 Only"));
        QVERIFY(t.w("Ed_SSID")->isEnabled());
        QVERIFY(screentest::SavePicture(*t.screen, "TFM_MultiSSIDNewForm"));
    }

    void switchOffLocksTheSelection()
    {
        MultiSsid t(device({{kSwitch, "2|0"}}));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QVERIFY(!t.w("CB_Index")->isEnabled());
        QVERIFY(!t.w("AddButton")->isEnabled());
        QCOMPARE(t.userList().size(), 1);
    }

    void addPersonalWritesTheRowTwice()
    {
        MultiSsid t(device());
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act(kPersonal);
        const QStringList sets = t.press("AddButton");
        const QStringList row = {ssid(2, 1) + "|2|1", ssid(3, 1) + "|4|guest", ssid(4, 1) + "|2|0",
                                 ssid(5, 1) + "|2|6", ssid(10, 1) + "|2|1", ssid(11, 1) + "|4|correct horse",
                                 ssid(14, 1) + "|2|1", ssid(15, 1) + "|2|3600"};
        QCOMPARE(t.pdus(), QStringList({"noError " + row.join(' '), "noError " + row.join(' ')}));
        QCOMPARE(t.status(), QString("Get OK!"));
        QCOMPARE(t.userList().value(1), QString("Multi-SSID1|guest|2.4GHz|WPA2-Personal"));
        QCOMPARE(t.fixture.Sim().value(ssid(11, 1)), "4x|" + QString("2a").repeated(13)); // masked
    }

    void addEnterpriseWritesTheServers()
    {
        MultiSsid t(device());
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act({"CB_Index#3", "Ed_SSID=staff", "CB_SSIDSecurityMode#2", "CB_WPAMode#0", "Edt_RadiusServer=10.0.0.5",
               "Edt_RadiusPort=1812", "Edt_RadiusSecret=radsecret", "Edt_BackRadiusServer=0.0.0.0",
               "Edt_BackRadiusSecret=", "CB_AccountMode#0"});
        const QStringList sets = t.press("AddButton");
        // Row 3's primary server (slot 1, SSID index 4); no backup; accounting off.
        const QString p = ".1.4|";
        QCOMPARE(only(sets, kRadius), QStringList({kRadius + ".2" + p + "64|10.0.0.5", kRadius + ".3" + p + "2|1812",
                                                   kRadius + ".4" + p + "4|radsecret", kRadius + ".5" + p + "2|1",
                                                   kRadius + ".6" + p + "2|3600"}));
        QCOMPARE(only(sets, kAccount), QStringList{kAccount + ".2" + p + "2|0"});
        QCOMPARE(only(sets, ssid(5, 3)), QStringList(2, ssid(5, 3) + "|2|9")); // wpa-auto-eap
        QCOMPARE(t.fixture.Sim().value(ssid(2, 3)), QString("2|1"));
        QVERIFY(t.boxes().isEmpty());
    }

    // A check that fails shows its message and nothing at all is written, not even the
    // radio mode or a server row.
    void refusedAddWritesNothing_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate of the primary") << device() << QStringList{"CB_Index#1", "Ed_SSID=rwn3460"}
                                                  << "Warning: The 11g SSID 1's SSID is same as Primary SSID";
        QTest::newRow("duplicate of SSID 4") << device(enabled(4, "lobby", 1)) << QStringList{"CB_Index#2", "Ed_SSID=lobby"}
                                             << "Warning: The 11g SSID 2's SSID is same as SSID 4";
        QTest::newRow("blank first") << device() << QStringList{"CB_Index#1", "Ed_SSID= guest"}
                                     << "Warning: The first character can't be blank!";
        QTest::newRow("short passphrase in WDS")
            << device({}, 3) << QStringList{"CB_Index#1", "Ed_SSID=guest", "CB_SSIDSecurityMode#1", "Ed_Passphrase=short",
                                            "Ed_ConfirmPass=short"}
            << "Error: The ComPassphrase length is between 8 and 63.";
        QTest::newRow("bad backup radius")
            << device() << QStringList{"CB_Index#1", "Ed_SSID=guest", "CB_SSIDSecurityMode#2", "Edt_RadiusServer=10.0.0.5",
                                       "Edt_RadiusPort=1812", "Edt_RadiusSecret=s", "Edt_BackRadiusServer=0.0.0.0",
                                       "Edt_BackRadiusSecret=x"}
            << "Error: The Radius server's IP is illegal.";
        QTest::newRow("wep key length") << device()
                                        << QStringList{"CB_Index#1", "Ed_SSID=guest", "CB_MssidEncryption#1", "CB_KeyType#0",
                                                       "CB_WepEncryp#0", "Ed_Key=abc", "Ed_ConfirmKey=abc"}
                                        << "Warning: The Length of the key in IEEE802.11g must be 5!";
    }
    void refusedAddWritesNothing()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(QStringList, steps);
        MultiSsid t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.fixture.Dialogs().Clear();
        t.act(steps);
        QCOMPARE(t.press("AddButton"), QStringList());
        QTEST(t.boxes().value(t.boxes().size() - 1), "message");
    }

    // The faults mended: each row's Add, and the varbinds it must or must not send.
    void addMends_data()
    {
        QTest::addColumn<simtest::Objects>("state");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("notSent");
        const QString wep = "2|1";
        QTest::newRow("WEP to open writes encryption and WMM")
            << device(enabled(1, "guest", 1, {{ssid(6, 1), "2|1"}, {ssid(8, 1), "4|abcde"}, {ssid(14, 1), "2|1"}}))
            << QStringList{"CB_Index#1", "CB_MssidEncryption#0", "CB_WMM#0"}
            << QStringList{ssid(6, 1) + "|2|0", ssid(14, 1) + "|2|0"} << QStringList{ssid(8, 1)};
        QTest::newRow("masked passphrase left out")
            << device(enabled(1, "guest", 6, {{ssid(11, 1), "4|the real secret"}}))
            << QStringList{"CB_Index#1"} << QStringList{ssid(5, 1) + "|2|6"} << QStringList{ssid(11, 1), "*"};
        QTest::newRow("masked ascii key left out")
            << device(enabled(1, "guest", 1, {{ssid(6, 1), wep}, {ssid(8, 1), "4|abcde"}}))
            << QStringList{"CB_Index#1"} << QStringList{ssid(7, 1) + "|2|1"} << QStringList{ssid(8, 1), "*"};
        QTest::newRow("masked hex key left out")
            << device(enabled(1, "guest", 1, {{ssid(6, 1), wep}, {ssid(12, 1), "2|2"}, {ssid(8, 1), "4|0123456789"}}))
            << QStringList{"CB_Index#1"} << QStringList{ssid(12, 1) + "|2|2"} << QStringList{ssid(8, 1), "*"};
        QTest::newRow("masked radius secret left out")
            << device(enabled(1, "guest", 9, {{kRadius + ".2.1.2", "64|10.0.0.5"}, {kRadius + ".4.1.2", "4|radsecret"}}))
            << QStringList{"CB_Index#1"} << QStringList{kRadius + ".2.1.2|64|10.0.0.5"}
            << QStringList{kRadius + ".4.1.2", "*"};
        QTest::newRow("WPA2 Only from the WDS lists")
            << device({}, 3) << kPersonal.mid(0, 3) + kPersonal.mid(4)
            << QStringList{kMode + "|2|1", ssid(5, 1) + "|2|6"} << QStringList{};
        QTest::newRow("802.1x ignores the hidden interval")
            << device() << QStringList{"CB_Index#1", "Ed_SSID=guest", "CB_SSIDSecurityMode#3", "Ed_UpdateInterval=",
                                       "Ed_KeyUpdate=3600", "Cbox_MultiRadser#1"}
            << QStringList{ssid(5, 1) + "|2|10", kRadius + ".5.1.2|2|2", kRadius + ".5.2.2|2|2"}
            << QStringList{ssid(15, 1), kAccount};
        QTest::newRow("priority when enabled")
            << device() << QStringList{"CB_Index#1", "Ed_SSID=guest", "Chk_MultiPri!", "Cbox_Priority#5"}
            << QStringList{ssid(16, 1) + "|2|5"} << QStringList{};
    }
    void addMends()
    {
        QFETCH(simtest::Objects, state);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, notSent);
        MultiSsid t(state);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act(steps);
        const QStringList sets = t.press("AddButton");
        QFETCH(QStringList, sent);
        for (const QString &vb : sent)
            QVERIFY2(sets.contains(vb), qPrintable(vb + " not in " + sets.join(' ') + t.status() + t.boxes().join(',')));
        for (const QString &part : notSent)
            QVERIFY2(!sets.join(' ').contains(part), qPrintable(part + " in " + sets.join(' ')));
        QVERIFY2(t.pdus().size() >= 2 && t.pdus().last().startsWith("noError"),
                 qPrintable(t.pdus().join('\n') + t.boxes().join('\n')));
        QCOMPARE(t.status(), QString("Get OK!"));
    }

    // Another SSID's WEP key at the index picked: the notice comes only once the key
    // passed its checks, and the Add goes on.
    void sharedKeyNoticeAfterTheChecks_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("sets");
        QTest::newRow("good key") << "12345"
                                  << QStringList{"Warning: Key value is used by SSID!\nTo change Key value affects other "
                                                 "SSID settings."}
                                  << 2;
        QTest::newRow("short key") << "123"
                                   << QStringList{"Warning: The Length of the key in IEEE802.11g must be 5!"} << 0;
    }
    void sharedKeyNoticeAfterTheChecks()
    {
        QFETCH(QString, key);
        MultiSsid t(device(enabled(3, "cafe", 1, {{ssid(6, 3), "2|1"}, {ssid(8, 3), "4|abcde"}})));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act({"CB_Index#1", "Ed_SSID=guest", "CB_MssidEncryption#1", "CB_KeyType#0", "CB_WepEncryp#0",
               "CB_DefaultKey#0", "Ed_Key=" + key, "Ed_ConfirmKey=" + key});
        const QStringList sets = t.press("AddButton");
        QTEST(t.boxes(), "boxes");
        QTEST(int(t.pdus().size()), "sets");
        if (!sets.isEmpty())
            QVERIFY(sets.contains(ssid(8, 1) + "|4|" + key));
    }

    // A device whose server tables lack the backup rows: Add writes nothing rather than
    // sending the backups to rows that are not there.
    void addNeedsEveryRow()
    {
        QTemporaryDir dir;
        QFile factory(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../sim/data/rwn3460.snmprec"));
        QFile trimmed(dir.filePath("trimmed.snmprec"));
        QVERIFY(factory.open(QIODevice::ReadOnly) && trimmed.open(QIODevice::WriteOnly));
        int dropped = 0;
        for (const QByteArray &line : factory.readAll().split('\n')) {
            if (line.startsWith((kAccount + ".").toLatin1()) && line.split('|')[0].split('.').at(15) == "2") {
                ++dropped;
                continue;
            }
            // The switch on, so that Add can be pressed.
            trimmed.write(line.startsWith((kSwitch + "|").toLatin1()) ? (kSwitch + "|2|1\n").toLatin1() : line + '\n');
        }
        trimmed.close();
        QCOMPARE(dropped, 5 * 8);
        MultiSsid t({}, {"--data", trimmed.fileName()});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.act(kPersonal);
        QCOMPARE(t.press("AddButton"), QStringList());
        QCOMPARE(t.status(), QString("Save Fail!"));
    }

    void deleteDisablesTheHighlightedRow()
    {
        MultiSsid t(device(enabled(2, "lobby", 1, enabled(5, "cafe", 1))));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.userList().size(), 3);
        t.clickUser(1); // Multi-SSID2
        t.act({"CB_Index#5"}); // picked last, but not the one highlighted
        QVERIFY(t.w("DelButton")->isEnabled());
        QCOMPARE(t.press("DelButton"), QStringList{ssid(2, 2) + "|2|0"});
        QCOMPARE(t.fixture.Sim().value(ssid(2, 5)), QString("2|1"));
        QCOMPARE(t.userList().size(), 2);
    }

    void applyWritesModeSwitchAndTrigger()
    {
        MultiSsid t(device({}, 4));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QStringList sets = t.press("ApplyBtn");
        QCOMPARE(sets, QStringList({kMode + "|2|1", kSwitch + "|2|1", R + ".3.3.1.1.2.1|2|0", kApply + "|2|1"}));
        QCOMPARE(t.status(), QString("Save OK!"));
    }

    // The apply trigger's answer counts: a device that refuses it is no "Save OK!".
    void refusedApplyIsReported()
    {
        MultiSsid t(device({{kApply, ""}}, 4));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.press("ApplyBtn");
        QCOMPARE(t.status(), QString("Save Fail!"));
        QVERIFY(t.w("ApplyBtn")->isEnabled());
    }

    void simulatorRefusesSwitchInWdsAndClient()
    {
        screentest::ScreenFixture f({}, device({{kSwitch, "2|0"}}, 3));
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        QVERIFY(f.Sim().set({kSwitch, "i", "1"}).exitCode != 0);
        QCOMPARE(f.Sim().set({kMode, "i", "1", kSwitch, "i", "1"}).exitCode, 0);
        QVERIFY(f.Sim().set({ssid(2, 0), "i", "0"}).exitCode != 0); // the primary stays on
        QVERIFY(f.Sim().set({ssid(2, 7), "i", "1", ssid(3, 7), "s", ""}).exitCode != 0); // no name
    }

    // Opened from the menu's way: the warning comes from the table's answer while the
    // window runs its own event loop, and only once.
    void apModeWarningAfterOpening()
    {
        screentest::ScreenFixture f({}, device({}, 3));
        QVERIFY2(f.Start(), qPrintable(f.Error()));
        TFM_MultiSSIDNewForm *reference = nullptr;
        QStringList shown;
        f.Open<TFM_MultiSSIDNewForm>(reference, [&](TFM_MultiSSIDNewForm &screen) {
            screentest::RunNestedLoop(&screen, 1500);
            shown = f.Dialogs().BoxTexts();
            screen.reject();
        });
        QCOMPARE(shown, QStringList{"If you enable Multi-SSID, AP Mode will be set to 'Access Point'!"});
    }
};

QTEST_MAIN(TestTFMMultiSsid)
#include "tst_tfm_multissid.moc"
