// 'Advanced \ Traffic Control' against the simulated device: the interface boxes from
// the device's modes, what each tab's Save writes and refuses, and the traffic manager's
// rules, whose changes delete the rule as the device listed it before adding the new one.
#include "ServiceScreenTest.h"
#include "TFM_TrafficCtrl.h"

#include <QCheckBox>
#include <QTabWidget>

using namespace servicetest;

namespace {

const QString kModes = R + ".3.9.1.1.1.1.3";
const QString kDown = R + ".3.9.1.2.1.0";
const QString kUp = R + ".3.9.1.2.2.0";
const QString kQos = R + ".3.9.2.2.2.1.1";
const QString kManager = R + ".3.9.3.1";
const QString kRule = R + ".3.9.3.2";
const QString kRules = R + ".3.9.3.3.1.1";

using Traffic = ScreenUnderTest<TFM_TrafficCtrl>;
using Sets = QList<QStringList>;
using Boxes = QList<QPair<QString, QString>>;

// The manager on, with "cam" (an IP, 50 down) and "tv" (a MAC, 20 up) listed.
simtest::Objects managerOn(simtest::Objects more = {})
{
    simtest::Objects o = {
        {kManager + ".1.0", "2|1"},
        {kRules + ".2.1", "4|cam"}, {kRules + ".3.1", "64|192.168.0.9"}, {kRules + ".5.1", "2|50"},
        {kRules + ".2.2", "4|tv"}, {kRules + ".4.2", "4x|00C0CA000002"}, {kRules + ".6.2", "2|20"},
    };
    o.insert(more);
    return o;
}

// Multi-SSID on with SSID 2 and WDS link 1 up, the other SSIDs and links not.
simtest::Objects multiSsidOn()
{
    return {{R + ".3.3.1.1.1.1", "2|1"}, {R + ".3.3.3.1.2.1.2", "2|1"},
            {R + ".2.1.3.3.1.2.1.1.2.1.1", "4x|00C0CA0000AA"}};
}

QStringList ruleSet(const QString &name, const QString &ip, const QString &mac, int down, int up, int action)
{
    return {"noError", vb(kRule + ".1.0", "4|" + name), vb(kRule + ".2.0", "64|" + ip),
            vb(kRule + ".3.0", "4x|" + mac.toLower()), vb(kRule + ".4.0", "2|" + QString::number(down)),
            vb(kRule + ".5.0", "2|" + QString::number(up)), vb(kRule + ".6.0", "2|" + QString::number(action))};
}

QStringList names(const QTreeWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(0);
    return out;
}

bool started(Traffic &t, int listed = 0)
{
    if (!t.Start()) {
        qWarning("%s", qPrintable(t.fixture.Error()));
        return false;
    }
    auto *list = t.w<QTreeWidget>("LV_TrafficManRuleUser");
    // The ports arrive asynchronously, as the rules do.
    return QTest::qWaitFor([&] { return list->topLevelItemCount() == listed
                                        && !t.w<QLineEdit>("Ed_Port8R")->text().isEmpty(); }, 10000);
}

void fill(const Traffic &t, const QString &name, const QString &ip, const QString &mac, const QString &down,
          const QString &up)
{
    t.w<QLineEdit>("Ed_Name")->setText(name);
    t.w<QLineEdit>("Ed_ClientIP")->setText(ip);
    t.w<QLineEdit>("Ed_ClientMAC")->setText(mac);
    t.w<QLineEdit>("Ed_KestrixSp")->setText(down);
    t.w<QLineEdit>("Ed_ULinkSp")->setText(up);
}

void pick(const Traffic &t, int entry)
{
    auto *list = t.w<QTreeWidget>("LV_TrafficManRuleUser");
    list->clearSelection();
    list->topLevelItem(entry)->setSelected(true);
}

bool listReads(const Traffic &t, const QStringList &expected)
{
    auto *list = t.w<QTreeWidget>("LV_TrafficManRuleUser");
    return QTest::qWaitFor([&] { return names(list) == expected; }, 10000);
}

} // namespace

class TestTFMTrafficCtrl : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheDeviceValues()
    {
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        TFM_TrafficCtrl &s = *t.screen;
        QCOMPARE(s.windowTitle(), QString("Advanced \\ Traffic Control"));
        QCOMPARE(Unnamed(&s), QStringList());
        // Ethernet is the uplink, the primary SSID the downlink; with multi-SSID off the
        // other interfaces cannot be chosen.
        QVERIFY(t.w<QCheckBox>("ChBox_Ethernet2")->isChecked());
        QVERIFY(!t.w<QCheckBox>("ChBox_Ethernet")->isEnabled());
        QVERIFY(t.w<QCheckBox>("ChBox_Primary")->isChecked());
        QVERIFY(!t.w<QCheckBox>("ChBox_Primaryssid2")->isEnabled());
        for (const char *box : {"ChBox_Multissid1", "ChBox_Multissid7u", "ChBox_WDS1", "ChBox_WDS8u"})
            QVERIFY2(!t.w<QCheckBox>(box)->isEnabled(), box);
        QCOMPARE(t.w<QLineEdit>("Ed_DownLink")->text(), QString("100"));
        QCOMPARE(t.w<QLineEdit>("Ed_UpLBand")->text(), QString("100"));
        QVERIFY(!t.w<QLineEdit>("Ed_DownLBWidth")->isEnabled());
        QCOMPARE(t.w<QLineEdit>("Ed_Port2")->text(), QString("80,443"));
        QVERIFY(!t.w<QLineEdit>("Ed_Port2")->isEnabled());
        QCOMPARE(t.w<QLineEdit>("Ed_Port5L")->text(), QString("1000"));
        QCOMPARE(t.w<QLineEdit>("Ed_Port5R")->text(), QString("1100"));
        QVERIFY(!t.w<QLineEdit>("Ed_Port5L")->isEnabled()); // QoS is off
        QCOMPARE(t.w<QComboBox>("CBox_Mail")->currentText(), QString("thrid"));
        auto *rules = t.w<QTreeWidget>("LV_TrafficManRuleUser");
        QCOMPARE(rules->topLevelItem(0)->text(1), QString("192.168.0.9"));
        QCOMPARE(rules->topLevelItem(1)->text(2), QString("00C0CA000002"));
        QVERIFY(!rules->parentWidget()->isHidden()); // the manager is on
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
        t.w<QTabWidget>("PageControl1")->setCurrentIndex(TFM_TrafficCtrl::ManagerTab);
        Snapshot(&s, "TFM_TrafficCtrl");
    }

    void multiSsidOpensTheInterfacesThatAreUp()
    {
        Traffic t(multiSsidOn());
        QVERIFY(started(t));
        QVERIFY(t.w<QCheckBox>("ChBox_Multissid1")->isEnabled());
        QVERIFY(!t.w<QCheckBox>("ChBox_Multissid2")->isEnabled());
        QVERIFY(t.w<QCheckBox>("ChBox_WDS1u")->isEnabled());
        QVERIFY(!t.w<QCheckBox>("ChBox_WDS2u")->isEnabled());
        // A box taken disables its partner and sets the interface's mode; released, the
        // partner is free again.
        t.w<QCheckBox>("ChBox_WDS1u")->click();
        QVERIFY(!t.w<QCheckBox>("ChBox_WDS1")->isEnabled());
        QCOMPARE(t.w<QComboBox>("ComboBox10")->currentText(), QString("uplink"));
        t.w<QCheckBox>("ChBox_WDS1u")->click();
        QVERIFY(t.w<QCheckBox>("ChBox_WDS1")->isEnabled());
    }

    void linkSaveWritesTheModesThenTheBandwidth_data()
    {
        QTest::addColumn<simtest::Objects>("device");
        QTest::addColumn<int>("modes");
        QTest::newRow("multi-SSID off: Ethernet and primary") << simtest::Objects{} << 2;
        QTest::newRow("multi-SSID on: all 17") << multiSsidOn() << 17;
    }
    void linkSaveWritesTheModesThenTheBandwidth()
    {
        QFETCH(simtest::Objects, device);
        QFETCH(int, modes);
        Traffic t(device);
        QVERIFY(started(t));
        t.w<QCheckBox>("ChBox_Primary")->click(); // released: the primary SSID's mode is 0
        t.w<QLineEdit>("Ed_DownLink")->setText("150");
        t.w<QLineEdit>("Ed_UpLink")->setText("1");
        const int mark = t.fixture.Mark();
        t.click("Bt_LinkApply");
        QStringList modeSet = {"noError", vb(kModes + ".1", "2|2"), vb(kModes + ".2", "2|0")};
        for (int n = 3; n <= modes; ++n)
            modeSet << vb(kModes + "." + QString::number(n), "2|0");
        QCOMPARE(t.setsSince(mark), (Sets{modeSet, {"noError", vb(kDown, "2|150"), vb(kUp, "2|1")}}));
        QCOMPARE(t.status("StatusBar1"), QString("Save OK!"));
        QCOMPARE(t.w<QLineEdit>("Ed_DownLBWidth")->text(), QString("150"));
        QCOMPARE(t.w<QLineEdit>("Ed_UpLBand")->text(), QString("1"));
    }

    void linkSaveRefusesARate_data()
    {
        QTest::addColumn<QString>("down");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString range = "Downlink or uplink bandwidth range should be 1~150 mega bits/sec!";
        QTest::newRow("downlink empty") << "" << "10" << "Waring" << "Please input value for the rate !";
        QTest::newRow("uplink empty") << "10" << "" << "Waring" << "Please input value for the rate !";
        QTest::newRow("not a number") << "1a" << "10" << "Warning" << "Invaild value for the rate!";
        QTest::newRow("151") << "10" << "151" << "Warning" << range;
        QTest::newRow("0") << "0" << "10" << "Warning" << range;
    }
    void linkSaveRefusesARate()
    {
        QFETCH(QString, down);
        QFETCH(QString, up);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Traffic t;
        QVERIFY(started(t));
        t.w<QLineEdit>("Ed_DownLink")->setText(down);
        t.w<QLineEdit>("Ed_UpLink")->setText(up);
        const int mark = t.fixture.Mark();
        t.click("Bt_LinkApply");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{title, text}}));
        QCOMPARE(t.setsSince(mark), Sets{});
        QVERIFY(t.w<QLineEdit>("Ed_DownLink")->text().isEmpty() || t.w<QLineEdit>("Ed_UpLink")->text().isEmpty());
    }

    void aBandwidthOf0KeepsQosAndTheManagerOff()
    {
        Traffic t(managerOn({{kDown, "2|0"}, {kUp, "2|0"}}));
        QVERIFY(started(t, 2));
        QCOMPARE(t.w<QLineEdit>("Ed_DownLink")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_UpLBWidth")->text(), QString());
        QCOMPARE(t.fixture.Dialogs().BoxTexts(),
                 QStringList{"Traffic Manager can't enable if uplink and downlink bandwidth are empty in "
                             "uplink/downlink/setting!"});
        QVERIFY(t.w<QTreeWidget>("LV_TrafficManRuleUser")->parentWidget()->isHidden());
        t.w<QCheckBox>("ChBox_Qos")->click();
        QVERIFY(!t.w<QCheckBox>("ChBox_Qos")->isChecked());
        QCOMPARE(t.fixture.Dialogs().BoxTexts().value(1),
                 QString("Qos can't enable if uplink and downlink bandwidth are empty in uplink/downlink/setting!"));
        QVERIFY(!t.w<QLineEdit>("Ed_Limit1")->isEnabled());
    }

    void qosSave_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("boxes"); // empty: the save goes through
        const QStringList port = {"Invaild value for the port !"};
        QTest::newRow("ports 8080-8000") << "Ed_Port5L" << "8080:8000"
                                         << QStringList{"The end port must be equal or larger than the start port !"};
        QTest::newRow("port 0") << "Ed_Port5L" << "0:100" << port;
        QTest::newRow("port 65536") << "Ed_Port6R" << "2000:65536" << port;
        QTest::newRow("port not a number") << "Ed_Port7R" << "3000:31x" << port;
        QTest::newRow("first class port empty") << "Ed_Port5L" << ":1100" << port;
        QTest::newRow("ranges overlap") << "Ed_Port8L" << "1050:1060"
                                        << QStringList{"The port ranges of the user defined classes must not overlap !"};
        QTest::newRow("ports 8000-8000") << "Ed_Port5L" << "8000:8000" << QStringList{};
        QTest::newRow("limit 0") << "Ed_Limit3" << "0" << QStringList{"Invaild value for the limit !"};
        QTest::newRow("limit 101") << "Ed_Limit9" << "101" << QStringList{"Invaild value for the limit !"};
        QTest::newRow("limit empty") << "Ed_Limit1" << "" << QStringList{"Please input value for the limit !"};
        QTest::newRow("limit 1") << "Ed_Limit1" << "1" << QStringList{};
    }
    void qosSave()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, boxes);
        Traffic t;
        QVERIFY(started(t));
        t.w<QCheckBox>("ChBox_Qos")->click();
        if (value.contains(':')) {
            const QString right = field.left(field.size() - 1) + "R", left = field.left(field.size() - 1) + "L";
            t.w<QLineEdit>(qPrintable(left))->setText(value.section(':', 0, 0));
            t.w<QLineEdit>(qPrintable(right))->setText(value.section(':', 1));
        } else {
            t.w<QLineEdit>(qPrintable(field))->setText(value);
        }
        const int mark = t.fixture.Mark();
        t.click("Bt_QosApply");
        QCOMPARE(t.fixture.Dialogs().BoxTexts(), boxes);
        const Sets sets = t.setsSince(mark);
        if (!boxes.isEmpty()) {
            QCOMPARE(sets, Sets{});
            return;
        }
        QCOMPARE(t.status("StatusBar2"), QString("Save OK!"));
        // State, bandwidth, priorities, limits, ports.
        QCOMPARE(sets.size(), 5);
        QCOMPARE(sets[0], (QStringList{"noError", vb(R + ".3.9.2.2.1.1.0", "2|1")}));
        QCOMPARE(sets[2].value(3), vb(kQos + ".3.3", "2|3"));
        QCOMPARE(sets[4].value(5), vb(kQos + ".5.5", field == "Ed_Port5L" ? "4|8000-8000" : "4|1000-1100"));
        QCOMPARE(sets[4].value(1), vb(kQos + ".5.1", "4|53,67,68"));
    }

    void ruleAddSendsEveryValue_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("set");
        QTest::newRow("an IP, downlink only") << QStringList{"pc", "192.168.0.7", "", "100", ""}
                                              << ruleSet("pc", "192.168.0.7", "000000000000", 100, 0, 1);
        QTest::newRow("a MAC, uplink only") << QStringList{"pc", "", "00c0ca0000ff", "", "5"}
                                            << ruleSet("pc", "0.0.0.0", "00C0CA0000FF", 0, 5, 1);
    }
    void ruleAddSendsEveryValue()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, set);
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        fill(t, fields[0], fields[1], fields[2], fields[3], fields[4]);
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficAdd");
        QCOMPARE(t.status("StatusBar3"), QString("Add OK!"));
        QVERIFY(listReads(t, {"cam", "tv", "pc"}));
        QCOMPARE(t.setsSince(mark), Sets{set});
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString());
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
    }

    void ruleAddRefuses_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString speed = "The bandwidth for the traffic manager rules should not less than 1 kbit/sec, or "
                              "greater than traffic manager bandwidth!";
        QTest::newRow("bad IP") << QStringList{"pc", "192.168.0.255", "", "10", ""} << "Warning" << "Invalid ip address!.";
        QTest::newRow("short MAC beside an IP") << QStringList{"pc", "192.168.0.7", "00C0CA", "10", ""} << "Error"
                                                << "Invalid MAC address!";
        QTest::newRow("neither IP nor MAC") << QStringList{"pc", "", "", "10", ""} << "Warning"
                                            << "Please input IP address or MAC address!";
        QTest::newRow("speed not a number") << QStringList{"pc", "192.168.0.7", "", "1k", ""} << "Warning"
                                            << "Invaild value for the rate !";
        QTest::newRow("speed 0") << QStringList{"pc", "192.168.0.7", "", "0", ""} << "Warning" << speed;
        QTest::newRow("speed above the bandwidth") << QStringList{"pc", "192.168.0.7", "", "", "101"} << "Warning"
                                                   << speed;
        QTest::newRow("no speed") << QStringList{"pc", "192.168.0.7", "", "", ""} << "Warning"
                                  << "Please input Ethernet to wireless Speed or wireless to Ethernet!";
        QTest::newRow("no name") << QStringList{"", "192.168.0.7", "", "10", ""} << "Warning"
                                 << "The Name field can not be blank.";
        QTest::newRow("name taken") << QStringList{"tv", "192.168.0.7", "", "10", ""} << "Waring"
                                    << "The name has exist, please input username again!";
    }
    void ruleAddRefuses()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        fill(t, fields[0], fields[1], fields[2], fields[3], fields[4]);
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficAdd");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{title, text}}));
        QCOMPARE(t.setsSince(mark), Sets{});
    }

    void aChangeDeletesTheListedRuleThenAdds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("down");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("speed changed") << "cam" << "60" << QStringList{"tv", "cam"};
        QTest::newRow("renamed") << "door" << "50" << QStringList{"tv", "door"};
    }
    void aChangeDeletesTheListedRuleThenAdds()
    {
        QFETCH(QString, name);
        QFETCH(QString, down);
        QFETCH(QStringList, listed);
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        pick(t, 0);
        QCOMPARE(t.w<QLineEdit>("Ed_ClientMAC")->text(), QString()); // the device's "none" shows empty
        t.w<QLineEdit>("Ed_Name")->setText(name);
        t.w<QLineEdit>("Ed_KestrixSp")->setText(down);
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficAdd");
        QCOMPARE(t.status("StatusBar3"), QString("Add OK!"));
        QVERIFY(listReads(t, listed));
        QCOMPARE(t.setsSince(mark), (Sets{ruleSet("cam", "192.168.0.9", "000000000000", 50, 0, 0),
                                          ruleSet(name, "192.168.0.9", "000000000000", down.toInt(), 0, 1)}));
    }

    void aRefusedChangeKeepsTheRule()
    {
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        pick(t, 0);
        t.w<QLineEdit>("Ed_Name")->setText("tv");
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficAdd");
        QCOMPARE(t.fixture.Dialogs().BoxTexts(), QStringList{"The name has exist, please input username again!"});
        QCOMPARE(t.setsSince(mark), Sets{});
        // Corrected, the same change goes through: nothing was left half done.
        t.w<QLineEdit>("Ed_Name")->setText("cam");
        t.w<QLineEdit>("Ed_ULinkSp")->setText("7");
        t.click("Bt_TrafficAdd");
        QVERIFY(listReads(t, {"tv", "cam"}));
        QCOMPARE(t.setsSince(mark).size(), 2);
        QCOMPARE(t.fixture.Sim().value(kRules + ".6.2"), QString("2|7"));
    }

    void anAddTheDeviceRefusesAfterTheDeleteShowsTheListAsItIs()
    {
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        // The device's bandwidth lowered behind the screen's back: the screen's checks pass,
        // the device refuses the add after it deleted the old rule.
        QCOMPARE(t.fixture.Sim().set({kDown, "i", "10"}).exitCode, 0);
        pick(t, 0);
        t.w<QLineEdit>("Ed_KestrixSp")->setText("60");
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficAdd");
        QVERIFY(listReads(t, {"tv"}));
        const Sets sets = t.setsSince(mark);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[1].value(0), QString("wrongValue"));
    }

    void deleteSendsTheListedRule_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void deleteSendsTheListedRule()
    {
        QFETCH(bool, ok);
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        pick(t, 1);
        t.w<QLineEdit>("Ed_Name")->setText("edited");
        t.fixture.Dialogs().answers.push_back(ok ? QMessageBox::Ok : QMessageBox::Cancel);
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficDel");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "Are you sure that you want to delete this entry?"}}));
        QCOMPARE(t.w<QLineEdit>("Ed_Name")->text(), QString());
        if (!ok) {
            QCOMPARE(t.setsSince(mark), Sets{});
            return;
        }
        QCOMPARE(t.status("StatusBar3"), QString("Delete OK!"));
        QVERIFY(listReads(t, {"cam"}));
        QCOMPARE(t.setsSince(mark), Sets{ruleSet("tv", "0.0.0.0", "00C0CA000002", 0, 20, 0)});
    }

    void managerSaveWritesOnlyTheManagerSettings()
    {
        Traffic t(managerOn());
        QVERIFY(started(t, 2));
        pick(t, 0);
        t.w<QComboBox>("Cbox_ClientTraffic")->setCurrentIndex(0);
        const int mark = t.fixture.Mark();
        t.click("Bt_TrafficApply");
        QCOMPARE(t.setsSince(mark), (Sets{{"noError", vb(kDown, "2|100"), vb(kUp, "2|100")},
                                          {"noError", vb(kManager + ".1.0", "2|1"), vb(kManager + ".2.0", "2|0")}}));
        QCOMPARE(t.status("StatusBar3"), QString("Save OK!"));
        // Switched off, the rule groups go away.
        auto *manager = t.w<QComboBox>("Cbox_TrafficMan");
        manager->setCurrentIndex(0);
        emit manager->activated(0);
        QVERIFY(t.w<QTreeWidget>("LV_TrafficManRuleUser")->parentWidget()->isHidden());
    }
};

QTEST_MAIN(TestTFMTrafficCtrl)
#include "tst_tfm_trafficctrl.moc"
