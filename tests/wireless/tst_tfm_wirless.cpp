// 'Home \ Wireless' against the simulated device: what each band, country, application
// and mode offers, the WDS peers as written, both site surveys end to end and the MAC
// clone writes.
#include "WirlessFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace wirlesstest;

class TestTFMWirless : public QObject {
    Q_OBJECT

private slots:
    void layoutPerBandCountryApplicationAndMode_data()
    {
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("channelList"); // "" leaves the device's list
        QTest::addColumn<QStringList>("modes");
        QTest::addColumn<QString>("shownMode");
        QTest::addColumn<QString>("channels");
        QTest::addColumn<bool>("applicationShown");
        QTest::addColumn<QStringList>("sections");

        const QStringList all = {"Access Point", "WDS with AP", "WDS", "Wireless Client"};
        QTest::newRow("2.4 GHz AP, device list") << "0" << "US" << "1" << "1" << "" << all << "Access Point"
                                                 << "1 2 3 4 5 6 7 8 9 10 11" << false << QStringList();
        QTest::newRow("2.4 GHz empty list: 1 to 13") << "0" << "US" << "1" << "1" << "EMPTY" << all << "Access Point"
                                                     << "1 2 3 4 5 6 7 8 9 10 11 12 13" << false << QStringList();
        QTest::newRow("5 GHz WDS, other country") << "1" << "US" << "1" << "3" << "" << all << "WDS"
                                                  << "36 40 44 48" << false
                                                  << QStringList{"GB_Wds", "GB_SiteSurvey"};
        QTest::newRow("5 GHz AP, other country") << "1" << "DE" << "1" << "1" << "" << all << "Access Point"
                                                 << "36 40 44 48 52 56 60 64 100 104 108 112 116 120 124 128 132 "
                                                    "136 140" << false << QStringList();
        QTest::newRow("5 GHz JP indoor WDS with AP") << "1" << "JP" << "1" << "2" << "" << all << "WDS with AP"
                                                     << "36 40 44 48" << true
                                                     << QStringList{"GB_Wds", "GB_SiteSurvey"};
        QTest::newRow("5 GHz JP outdoor: WDS not offered") << "1" << "JP" << "2" << "3" << ""
                                                           << QStringList{"Access Point", "Wireless Client"}
                                                           << "Access Point"
                                                           << "100 104 108 112 116 120 124 128 132 136 140" << true
                                                           << QStringList();
        QTest::newRow("2.4 GHz client") << "0" << "JP" << "1" << "4" << "" << all << "Wireless Client"
                                        << "1 2 3 4 5 6 7 8 9 10 11" << true
                                        << QStringList{"GB_SiteSurvey", "GB_MacClone"};
    }

    void layoutPerBandCountryApplicationAndMode()
    {
        QFETCH(QString, band);
        QFETCH(QString, country);
        QFETCH(QString, application);
        QFETCH(QString, mode);
        QFETCH(QString, channelList);
        simtest::Objects o = {{kBand, "2|" + band}, {kCountry, "4|" + country}, {kApplication, "2|" + application},
                              {kMode, "2|" + mode}};
        if (channelList == "EMPTY")
            o[kRadio + ".4.1"] = "4|";
        Wireless t(o);
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(QStringList, modes);
        QCOMPARE(items(t.w<QComboBox>("CB_APMode")), modes);
        QTEST(t.w<QComboBox>("CB_APMode")->currentText(), "shownMode");
        QTEST(items(t.w<QComboBox>("CB_Chanal")).join(' '), "channels");
        QTEST(!t.w<QComboBox>("CB_Applicaiton")->isHidden(), "applicationShown");
        QTEST(t.shownSections(), "sections");
        QCOMPARE(t.screen->windowTitle(), QString("Home \\ Wireless"));
    }

    // Client mode forces visibility, auto scan and width; back in AP mode the device's
    // visibility and the last channel return, auto scan stays.
    void clientModeForcesAndApRestores()
    {
        Wireless t({{kRadio + ".2.1", "2|0"}, {kChannel, "2|6"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *visibility = t.w<QComboBox>("CB_SsidBroadcast");
        auto *scan = t.w<QComboBox>("CB_AuSc");
        auto *channel = t.w<QComboBox>("CB_Chanal");
        auto *width = t.w<QComboBox>("CB_ChannelWidth");
        QCOMPARE(visibility->currentText(), QString("Disable"));
        QCOMPARE(channel->currentText(), QString("6"));
        t.pickMode("Wireless Client");
        QCOMPARE(visibility->currentText(), QString("Enable"));
        QCOMPARE(scan->currentText(), QString("Enable"));
        QCOMPARE(width->currentText(), QString("Auto 20/40 MHz"));
        for (QWidget *c : {static_cast<QWidget *>(visibility), static_cast<QWidget *>(scan),
                           static_cast<QWidget *>(channel), static_cast<QWidget *>(width)})
            QVERIFY(!c->isEnabled());
        t.pickMode("Access Point");
        QCOMPARE(visibility->currentText(), QString("Disable"));
        QCOMPARE(channel->currentText(), QString("6"));
        QCOMPARE(scan->currentText(), QString("Enable"));
        QVERIFY(!channel->isEnabled()); // auto scan on
        QVERIFY(width->isEnabled());
    }

    void channel165ForcesTwentyMegahertz()
    {
        Wireless t({{kBand, "2|1"}, {kWifiMode, "2|9"}, {kRadio + ".37.1", "4|36 149 165"}, {kChannel, "2|36"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *width = t.w<QComboBox>("CB_ChannelWidth");
        QCOMPARE(width->currentText(), QString("Auto 20/40 MHz"));
        t.w<QComboBox>("CB_Chanal")->setCurrentIndex(2);
        t.screen->CB_ChanalChange();
        QCOMPARE(width->currentText(), QString("20MHz"));
        QVERIFY(!width->isEnabled());
        t.w<QComboBox>("CB_Chanal")->setCurrentIndex(0);
        t.screen->CB_ChanalChange();
        QVERIFY(width->isEnabled());
        QCOMPARE(width->currentText(), QString("20MHz"));
    }

    void bandSwitchResetsModeToDevice()
    {
        Wireless t({{kMode, "2|3"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.pickMode("Access Point");
        auto *band = t.w<QComboBox>("CB_Band");
        band->setCurrentIndex(1);
        t.screen->CB_BandChange();
        QCOMPARE(t.w<QComboBox>("CB_APMode")->currentText(), QString("WDS"));
    }

    // The device's peers fill the fields; a save empties the list and adds the fields'
    // addresses in one PDU, in field order, colon form and letter case as typed.
    void peersWrittenAsDeleteAllThenOneAdd()
    {
        Wireless t(with(peers({"0011223344AA", "000000000000", "0011223344CC"}), {{kMode, "2|3"}}));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.peer(1)->text(), QString("0011223344AA"));
        QCOMPARE(t.peer(2)->text(), QString());
        QCOMPARE(t.peer(3)->text(), QString("0011223344CC"));
        QVERIFY(!t.peer(1)->isReadOnly());
        t.peer(2)->setText("00:11:22:33:44:bb");
        t.peer(5)->setText("00c0ca000005");
        const int mark = t.fixture.Mark();
        QVERIFY(t.screen->WriteRemoteMacs());
        QCOMPARE(t.fixture.SetsSince(mark),
                 (QList<QStringList>{{"noError", kPeerDeleteAll + "|2|1"},
                                     {"noError", kPeerAdd + "|4x|0011223344aa", kPeerAdd + "|4x|0011223344bb",
                                      kPeerAdd + "|4x|0011223344cc", kPeerAdd + "|4x|00c0ca000005"}}));
        QVERIFY(t.dialogs().isEmpty());
        t.screen->Bt_RefreshClick();
        t.settle();
        QCOMPARE(t.peer(4)->text(), QString("00C0CA000005"));
    }

    void peerChecks_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focused"); // 0: none
        QTest::newRow("same address, other case")
            << QStringList{"0011223344aa", "", "", "0011223344AA"} << "Warning: Exist same MAC address." << 4;
        QTest::newRow("same address, colon form")
            << QStringList{"0011223344AA", "00:11:22:33:44:AA"} << "Warning: Exist same MAC address." << 2;
        QTest::newRow("first empty") << QStringList{"", "0011223344AA"}
                                     << "Warning: Please input MAC address in first blank space!" << 1;
        QTest::newRow("first short") << QStringList{"00112233"} << "Error: The length is 12 Root AP MAC Address." << 0;
        QTest::newRow("third short") << QStringList{"0011223344AA", "", "12345"}
                                     << "Error: The length is 12 MAC address." << 0;
    }

    void peerChecks()
    {
        Wireless t({{kMode, "2|3"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(QStringList, fields);
        for (int i = 0; i < fields.size(); ++i)
            t.peer(i + 1)->setText(fields[i]);
        const int mark = t.fixture.Mark();
        QVERIFY(!t.screen->WriteRemoteMacs());
        QTEST(t.dialogs().join('|'), "message");
        QCOMPARE(t.fixture.SetsSince(mark), QList<QStringList>());
        QFETCH(int, focused);
        if (focused)
            QCOMPARE(t.screen->focusWidget(), t.peer(focused));
    }

    // Until the device's list has arrived the fields do not stand for it: a save must
    // not replace the device's peers with them.
    void peersNotWrittenBeforeTheListArrived()
    {
        Wireless t(with(peers({"0011223344AA"}), {{kMode, "2|3"}}));
        QVERIFY2(t.fixture.Start(), qPrintable(t.fixture.Error()));
        t.screen = std::make_unique<TFM_Wirless>(&t.fixture.Host());
        t.peer(1)->setText("0011223344BB");
        const int mark = t.fixture.Mark();
        QVERIFY(!t.screen->WriteRemoteMacs());
        QCOMPARE(t.fixture.SetsSince(mark), QList<QStringList>());
        QCOMPARE(t.dialogs().size(), 1);
        t.settle();
        QCOMPARE(t.peer(1)->text(), QString("0011223344AA"));
    }

    void wdsSurveyFillsFreeFieldAndRefusesDuplicate()
    {
        Wireless t(with(peers({"00C0CA501001", "001122334455"}), {{kMode, "2|3"}}));
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.peer(3)->setText("12345");
        const int mark = t.fixture.Mark();
        t.w<QPushButton>("SiteScan")->click();
        QCOMPARE(t.buttonsEnabled(), QStringList());
        QCOMPARE(t.screen->StatusBar()->currentMessage(), QString("Detecting..."));
        t.screen->reject(); // Escape does not close the window mid-survey
        QVERIFY(t.screen->isVisible());
        QVERIFY(t.waitSurvey());
        QCOMPARE(t.buttonsEnabled(), (QStringList{"SiteScan", "Bt_Apply", "Bt_Refresh", "Bt_Close"}));
        QCOMPARE(t.fixture.SetsSince(mark), (QList<QStringList>{{"noError", kWdsRefresh + "|2|1"}}));
        auto *list = t.w<QTreeWidget>("LV_WdsSiteServey");
        QCOMPARE(list->topLevelItemCount(), 2);
        QVERIFY(t.screen->StatusBar()->currentMessage().startsWith("Get: (KxSNMP++) Ok!"));
        // Row 1 is already field 1: a warning, nothing changes.
        list->setCurrentItem(list->topLevelItem(0));
        t.screen->LV_WdsSiteServeyClick();
        QCOMPARE(t.dialogs(), QStringList{"Warning: There is an existent entry with the same MAC Address\n"
                                          "Please change the MAC Address."});
        // Row 2 replaces the five characters of field 3.
        list->setCurrentItem(list->topLevelItem(1));
        t.screen->LV_WdsSiteServeyClick();
        QCOMPARE(t.peer(3)->text(), QString("00C0CA501002"));
        QCOMPARE(t.dialogs().size(), 1);
    }

    void clientSurveyTakesSsidAndChannel()
    {
        Wireless t({{kMode, "2|4"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.w<QPushButton>("SiteScan")->click();
        QVERIFY(t.waitSurvey());
        auto *list = t.w<QTreeWidget>("LV_ClientSiteServey");
        QCOMPARE(list->topLevelItemCount(), 3);
        list->setCurrentItem(list->topLevelItem(2));
        t.screen->LV_ClientSiteServeyClick();
        QCOMPARE(t.w<QLineEdit>("Ed_SSID")->text(), QString("lab"));
        QCOMPARE(t.w<QComboBox>("CB_Chanal")->currentText(), QString("11"));
    }

    // A refused trigger ends the survey with the layer's error and usable buttons.
    void failedSurveyTriggerRestoresButtons()
    {
        Wireless t({{kMode, "2|3"}, {kWdsRefresh, ""}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.w<QPushButton>("SiteScan")->click();
        QVERIFY(t.waitSurvey());
        QCOMPARE(t.buttonsEnabled(), (QStringList{"SiteScan", "Bt_Apply", "Bt_Refresh", "Bt_Close"}));
        const QString status = t.screen->StatusBar()->currentMessage();
        QVERIFY2(!status.isEmpty() && !status.contains("Ok!") && status != "Detecting...", qPrintable(status));
        QCOMPARE(t.w<QTreeWidget>("LV_WdsSiteServey")->topLevelItemCount(), 0);
    }

    // A mode change while a survey runs: the survey's own table is read.
    void surveyKeepsTheModeItStartedIn()
    {
        Wireless t({{kMode, "2|3"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        t.w<QPushButton>("SiteScan")->click();
        t.pickMode("Wireless Client");
        QVERIFY(t.waitSurvey());
        QCOMPARE(t.w<QTreeWidget>("LV_WdsSiteServey")->topLevelItemCount(), 2);
        QCOMPARE(t.w<QTreeWidget>("LV_ClientSiteServey")->topLevelItemCount(), 0);
    }

    void pendingModeChangeKeepsScanDisabled()
    {
        Wireless t({{kMode, "2|3"}});
        QVERIFY2(t.fixture.Start(), qPrintable(t.fixture.Error()));
        QCOMPARE(t.fixture.Sim().set({kMode, "i", "4"}).exitCode, 0);
        t.open();
        QCOMPARE(t.w<QLineEdit>("Ed_APModeChange")->text(), QString("changed"));
        QVERIFY(!t.w<QPushButton>("SiteScan")->isEnabled());
    }

    // What the first pair of clone writes sends: the address only with Enable and
    // Manual, after its checks.
    void cloneWrites_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<QStringList>>("sets");
        const QString st = kClone + ".1.1", src = kClone + ".2.1", mac = kClone + ".3.1";
        QTest::newRow("enable manual") << 1 << 1 << "00:c0:ca:40:10:21"
                                       << QList<QStringList>{{"noError", st + "|2|1"},
                                                             {"noError", src + "|2|2", mac + "|4x|00c0ca401021"}};
        QTest::newRow("enable auto, empty field") << 1 << 0 << ""
                                                  << QList<QStringList>{{"noError", st + "|2|1"},
                                                                        {"noError", src + "|2|1"}};
        QTest::newRow("disable with a typed address") << 0 << 1 << "00C0CA401021"
                                                      << QList<QStringList>{{"noError", st + "|2|0"}};
    }

    void cloneWrites()
    {
        Wireless t({{kMode, "2|4"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QFETCH(int, status);
        QFETCH(int, source);
        t.w<QComboBox>("Cbox_Status")->setCurrentIndex(status);
        t.w<QComboBox>("Cbox_MacSource")->setCurrentIndex(source);
        QFETCH(QString, typed);
        t.w<QLineEdit>("Ed_CloneMac")->setText(typed);
        const int mark = t.fixture.Mark();
        QVERIFY(t.screen->CloneChecks());
        QVERIFY(t.screen->WriteCloneFirstPair());
        QVERIFY(t.screen->WriteCloneSecondPair());
        QFETCH(QList<QStringList>, sets);
        QCOMPARE(t.fixture.SetsSince(mark), sets + sets);
    }

    void cloneChecksAndScan()
    {
        Wireless t({{kMode, "2|4"}, {kClone + ".1.1", "2|1"}, {kClone + ".2.1", "2|2"}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        auto *typed = t.w<QLineEdit>("Ed_CloneMac");
        QCOMPARE(typed->text(), QString()); // the device's 000000000000
        QVERIFY(typed->isEnabled());
        typed->setText("000000000000");
        QVERIFY(!t.screen->CloneChecks());
        typed->setText("0011");
        QVERIFY(!t.screen->CloneChecks());
        QCOMPARE(t.dialogs(), (QStringList{"Warning: Please input a valid MAC Address.",
                                           "Error: The length is 12 in MAC Address."}));
        typed->clear();
        t.w<QPushButton>("Bt_CloneScan")->click();
        QCOMPARE(t.screen->StatusBar()->currentMessage().contains("Scan Success"), false);
        t.settle();
        QCOMPARE(t.screen->StatusBar()->currentMessage(), QString("Scan Success"));
        auto *list = t.w<QTreeWidget>("LV_MacClone");
        QCOMPARE(list->topLevelItemCount(), 3);
        list->setCurrentItem(list->topLevelItem(1));
        t.screen->LV_MacCloneClick();
        QCOMPARE(typed->text(), QString("00C0CA401022"));
    }

    // One picture per mode, each taken after checking that the mode's sections show.
    void picturesOfEachMode_data()
    {
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("sections");
        QTest::newRow("TFM_Wirless_ap") << "0" << "1" << QStringList();
        QTest::newRow("TFM_Wirless_wds_ap") << "1" << "2" << QStringList{"GB_Wds", "GB_SiteSurvey"};
        QTest::newRow("TFM_Wirless_wds") << "1" << "3" << QStringList{"GB_Wds", "GB_SiteSurvey"};
        QTest::newRow("TFM_Wirless_client") << "0" << "4" << QStringList{"GB_SiteSurvey", "GB_MacClone"};
    }

    void picturesOfEachMode()
    {
        QFETCH(QString, band);
        QFETCH(QString, mode);
        Wireless t({{kBand, "2|" + band}, {kMode, "2|" + mode}});
        QVERIFY2(t.start(), qPrintable(t.fixture.Error()));
        QTEST(t.shownSections(), "sections");
        QVERIFY(screentest::SavePicture(*t.screen, QString::fromLatin1(QTest::currentDataTag())));
    }
};

QTEST_MAIN(TestTFMWirless)
#include "tst_tfm_wirless.moc"
