// 'Advanced \ Qos Setting' against the simulated device: the rule list and its button
// modes, what a rule write sends (derived sizes and counts, every column), the checks'
// messages, the rule states written at 'Apply', and deletes by index.
#include "ServiceScreenTest.h"
#include "TFM_QosSetting.h"

#include <QCheckBox>

using namespace servicetest;

namespace {

const QString kStatus = R + ".3.6.1.0";
const QString kHttp = R + ".3.6.2.1.0";
const QString kAutomatic = R + ".3.6.2.2.0";
const QString kDelete = R + ".3.6.2.4.0";
const QString kRules = R + ".3.6.2.5.1";

using Qos = ScreenUnderTest<TFM_QosSetting>;
using Sets = QList<QStringList>;
using Boxes = QList<QPair<QString, QString>>;

// A rule's columns 2 to 18 as the device holds them.
using Columns = QStringList;

Columns voip()
{
    return {"2|1", "4|voip", "2|0", "2|17", "2|2", "64|192.168.0.2", "64|192.168.0.2", "2|1", "2|5060", "2|5061",
            "2|2", "64|0.0.0.0", "64|0.0.0.0", "2|0", "2|0", "2|0", "2|0"};
}
Columns web()
{
    return {"2|1", "4|web", "2|2", "2|6", "2|1", "64|10.0.0.1", "64|10.0.0.9", "2|9", "2|80", "2|0",
            "2|0", "64|10.0.1.1", "64|10.0.1.1", "2|1", "2|0", "2|0", "2|0"};
}

void putRule(simtest::Objects &o, int row, const Columns &columns)
{
    for (int c = 0; c < columns.size(); ++c)
        o.insert(kRules + "." + QString::number(c + 2) + "." + QString::number(row), columns[c]);
}

// QoS on with `count` rules: "voip", "web", then copies of "web" named r3, r4, ...
simtest::Objects qosOn(int count = 2, simtest::Objects more = {})
{
    simtest::Objects o = {{kStatus, "2|1"}};
    for (int r = 1; r <= count; ++r) {
        Columns c = r == 1 ? voip() : web();
        if (r > 2)
            c[1] = "4|r" + QString::number(r);
        putRule(o, r, c);
    }
    o.insert(more);
    return o;
}

// The journal's varbinds of a rule write to `row`, from column `first` on.
QStringList ruleSet(int row, const Columns &columns, int first = 2)
{
    QStringList set = {"noError"};
    for (int c = first; c <= 18; ++c)
        set << vb(kRules + "." + QString::number(c) + "." + QString::number(row), columns[c - 2]);
    return set;
}

QStringList rows(const QTreeWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        QStringList cells = {item->checkState(0) == Qt::Checked ? "[x]" : "[ ]"};
        for (int c = 0; c < list->columnCount(); ++c)
            cells << item->text(c);
        out << cells.join(" | ");
    }
    return out;
}

bool listed(const Qos &t, int count)
{
    auto *list = t.w<QTreeWidget>("LV_QosRulesUser");
    return QTest::qWaitFor([&] { return list->topLevelItemCount() == count && t.status("StatusBar") == "Get OK!"; },
                           10000);
}

bool started(Qos &t, int count)
{
    if (!t.Start()) {
        qWarning("%s", qPrintable(t.fixture.Error()));
        return false;
    }
    return listed(t, count);
}

void pick(const Qos &t, int entry)
{
    auto *list = t.w<QTreeWidget>("LV_QosRulesUser");
    list->clearSelection();
    if (entry >= 0)
        list->topLevelItem(entry)->setSelected(true);
}

// Name, priority, protocol, then host 1 and host 2 addresses and ports.
void fill(const Qos &t, const QStringList &f)
{
    t.w<QLineEdit>("Ed_QosName")->setText(f[0]);
    t.w<QComboBox>("CB_Priority")->setCurrentIndex(f[1].toInt());
    auto *protocol = t.w<QComboBox>("CB_Protocol");
    protocol->setCurrentIndex(f[2].toInt());
    emit protocol->activated(protocol->currentIndex());
    const char *fields[] = {"Ed_IpFrom1", "Ed_IpTo1", "Ed_PortFrom1", "Ed_PortTo1",
                            "Ed_IpFrom2", "Ed_IpTo2", "Ed_PortFrom2", "Ed_PortTo2"};
    for (int k = 0; k < 8; ++k)
        t.w<QLineEdit>(fields[k])->setText(f.value(3 + k));
}

QString buttons(const Qos &t)
{
    QString on;
    for (const char *b : {"Btn_Add", "Btn_Clear", "Btn_Del", "Btn_Apply"})
        on += t.w<QAbstractButton>(b)->isEnabled() ? '1' : '0';
    return on;
}

Sets setsOnce(const Qos &t, int mark, int count)
{
    if (!QTest::qWaitFor([&] { return t.setsSince(mark).size() >= count; }, 10000))
        qWarning("only %d sets arrived", int(t.setsSince(mark).size()));
    return t.setsSince(mark);
}

} // namespace

class TestTFMQosSetting : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheListedRules()
    {
        Qos t(qosOn());
        QVERIFY(started(t, 2));
        TFM_QosSetting &s = *t.screen;
        QCOMPARE(s.windowTitle(), QString("Advanced \\ Qos Setting"));
        QCOMPARE(Unnamed(&s), QStringList());
        QCOMPARE(rows(t.w<QTreeWidget>("LV_QosRulesUser")),
                 (QStringList{"[x] | voip | Voice(VO) | 192.168.0.2~192.168.0.2 | 0.0.0.0~0.0.0.0 | UDP 5060/5061 Any",
                              "[x] | web | Best Effort(BE) | 10.0.0.1~10.0.0.9 | 10.0.1.1~10.0.1.1 | TCP 80/Any Any"}));
        QCOMPARE(t.w<QComboBox>("CB_EnableQos")->currentText(), QString("Enable"));
        QCOMPARE(buttons(t), QString("1101"));
        // Cleared for a new rule: "Any" has no number to type and no ports.
        QCOMPARE(t.w<QLineEdit>("Ed_QosName")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_ProtocolName")->text(), QString("256"));
        QVERIFY(!t.w<QLineEdit>("Ed_ProtocolName")->isEnabled());
        QVERIFY(!t.w<QLineEdit>("Ed_PortFrom1")->isEnabled());
        QVERIFY(t.w<QLineEdit>("Ed_IpFrom1")->isEnabled());
        Snapshot(&s, "TFM_QosSetting");
    }

    void qosOffDisablesTheRuleFields()
    {
        Qos t;
        QVERIFY(started(t, 0));
        for (const char *name : {"CheckBox_Http", "Ed_QosName", "CB_Protocol", "Ed_IpFrom1", "Btn_Add", "Btn_Del",
                                 "LV_QosRulesUser"})
            QVERIFY2(!t.w<QWidget>(name)->isEnabled(), name);
        QVERIFY(t.w<QAbstractButton>("Btn_Apply")->isEnabled());
        // Only the switch is written while QoS is off.
        t.w<QCheckBox>("CheckBox_Automatic")->setChecked(true);
        const int mark = t.fixture.Mark();
        t.click("Btn_Apply");
        QCOMPARE(t.setsSince(mark), (Sets{{"noError", vb(kStatus, "2|0")}}));
    }

    // A new rule goes to the first free row with its derived sizes and counts, and every
    // column is sent: an empty field as the device's "none".
    void addWritesTheFirstFreeRow_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<Columns>("written");
        QTest::newRow("TCP 80-88, host 1 of 11")
            << QStringList{"cam", "2", "1", "192.168.0.10", "192.168.0.20", "80", "88"}
            << Columns{"2|1", "4|cam", "2|1", "2|6", "2|1", "64|192.168.0.10", "64|192.168.0.20", "2|11", "2|80",
                       "2|88", "2|9", "64|0.0.0.0", "64|0.0.0.0", "2|0", "2|0", "2|0", "2|0"};
        QTest::newRow("range across the third octet")
            << QStringList{"span", "0", "0", "192.168.0.250", "192.168.1.5"}
            << Columns{"2|1", "4|span", "2|3", "2|256", "2|0", "64|192.168.0.250", "64|192.168.1.5", "2|12", "2|0",
                       "2|0", "2|0", "64|0.0.0.0", "64|0.0.0.0", "2|0", "2|0", "2|0", "2|0"};
        QTest::newRow("unsigned order, host 2, one port")
            << QStringList{"hi", "3", "2", "128.0.0.1", "128.0.0.2", "", "53", "10.0.0.1", "10.0.0.4", "1000", ""}
            << Columns{"2|1", "4|hi", "2|0", "2|17", "2|2", "64|128.0.0.1", "64|128.0.0.2", "2|2", "2|0", "2|53",
                       "2|0", "64|10.0.0.1", "64|10.0.0.4", "2|4", "2|1000", "2|0", "2|0"};
        QTest::newRow("ICMP sends no ports, unchecked")
            << QStringList{"ping", "1", "4", "10.0.0.1", "10.0.0.1", "99999", "x"}
            << Columns{"2|1", "4|ping", "2|2", "2|1", "2|4", "64|10.0.0.1", "64|10.0.0.1", "2|1", "2|0", "2|0",
                       "2|0", "64|0.0.0.0", "64|0.0.0.0", "2|0", "2|0", "2|0", "2|0"};
    }
    void addWritesTheFirstFreeRow()
    {
        QFETCH(QStringList, fields);
        QFETCH(Columns, written);
        Qos t(qosOn());
        QVERIFY(started(t, 2));
        fill(t, fields);
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.status("StatusBar"), QString("Adding QOS!"));
        QVERIFY(listed(t, 3));
        QCOMPARE(t.setsSince(mark), Sets{ruleSet(3, written)});
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
        QCOMPARE(t.w<QLineEdit>("Ed_QosName")->text(), QString());
    }

    void addRefuses_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focused");
        const QString ip = "Invalid IP address!", ipRange = "Invalid IP address Range!";
        QTest::newRow("no name") << QStringList{"", "0", "0", "10.0.0.1", "10.0.0.2"} << "Warning"
                                 << "The Name field can not be blank." << "Ed_QosName";
        QTest::newRow("host 1 start empty") << QStringList{"a", "0", "0", "", "10.0.0.2"} << "Warning" << ip
                                            << "Ed_IpFrom1";
        QTest::newRow("host 1 end 0.0.0.0") << QStringList{"a", "0", "0", "10.0.0.1", "0.0.0.0"} << "Warning" << ip
                                            << "Ed_IpTo1";
        QTest::newRow("host 1 start .255") << QStringList{"a", "0", "0", "10.0.0.255", "10.0.1.2"} << "Waring" << ip
                                           << "Ed_IpFrom1";
        QTest::newRow("host 1 reversed") << QStringList{"a", "0", "0", "10.0.0.1", "9.255.255.254"} << "Warning"
                                         << ipRange << "Ed_IpTo1";
        QTest::newRow("port 0") << QStringList{"a", "0", "1", "10.0.0.1", "10.0.0.2", "0"} << "Waring"
                                << "Invalid port!" << "Ed_PortFrom1";
        QTest::newRow("port 65536") << QStringList{"a", "0", "3", "10.0.0.1", "10.0.0.2", "", "", "", "", "1", "65536"}
                                    << "Waring" << "Invalid port!" << "Ed_PortTo2";
        QTest::newRow("ports reversed") << QStringList{"a", "0", "2", "10.0.0.1", "10.0.0.2", "90", "80"} << "Waring"
                                        << "Invalid Port Range!" << "Ed_PortTo1";
        QTest::newRow("other protocol 256") << QStringList{"a", "0", "5", "10.0.0.1", "10.0.0.2"} << "Warning"
                                            << "The protocol number should be 0~255 !" << "Ed_ProtocolName";
        QTest::newRow("host 2 bad") << QStringList{"a", "0", "0", "10.0.0.1", "10.0.0.2", "", "", "10.0.0"} << "Waring"
                                    << ip << "Ed_IpFrom2";
        QTest::newRow("host 2 reversed") << QStringList{"a", "0", "0", "10.0.0.1", "10.0.0.2", "", "", "10.0.0.9",
                                                        "10.0.0.8"}
                                         << "Warning" << ipRange << "Ed_IpTo2";
    }
    void addRefuses()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, focused);
        Qos t(qosOn());
        QVERIFY(started(t, 2));
        t.screen->activateWindow();
        fill(t, fields);
        if (focused == "Ed_ProtocolName")
            t.w<QLineEdit>("Ed_ProtocolName")->setText("256");
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{title, text}}));
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focused);
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{});
    }

    void aPortThatIsNoNumberStopsWithTheConversionMessage()
    {
        Qos t(qosOn());
        QVERIFY(started(t, 2));
        fill(t, {"a", "0", "1", "10.0.0.1", "10.0.0.2", "8a"});
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QCOMPARE(t.fixture.Dialogs().BoxTexts(), QStringList{"'8a' is not a valid integer value"});
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{});
    }

    // With 64 rules there is no free row: 'Add' stays off, after the read and after a
    // click beside the rules alike.
    void aFullTableHasNoAdd()
    {
        Qos t(qosOn(TFM_QosSetting::kMaxRules));
        QVERIFY(started(t, TFM_QosSetting::kMaxRules));
        QCOMPARE(buttons(t), QString("0101"));
        pick(t, 3);
        QCOMPARE(buttons(t), QString("0111"));
        pick(t, -1);
        QCOMPARE(buttons(t), QString("0101"));
        fill(t, {"extra", "0", "0", "10.0.0.1", "10.0.0.2"});
        const int mark = t.fixture.Mark();
        t.click("Btn_Add");
        QTest::qWait(200);
        QCOMPARE(t.setsSince(mark), Sets{});
    }

    // A picked rule shows its values, its "none" addresses and ports empty; 'Apply' writes
    // every rule's state first and then the picked rule into its own row, without state.
    void applyWithAPickedRuleWritesItsRow()
    {
        Qos t(qosOn());
        QVERIFY(started(t, 2));
        pick(t, 1);
        QCOMPARE(buttons(t), QString("0111"));
        QCOMPARE(t.w<QLineEdit>("Ed_QosName")->text(), QString("web"));
        QCOMPARE(t.w<QComboBox>("CB_Protocol")->currentText(), QString("TCP"));
        QCOMPARE(t.w<QLineEdit>("Ed_PortFrom1")->text(), QString("80"));
        QCOMPARE(t.w<QLineEdit>("Ed_PortTo1")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_IpFrom2")->text(), QString("10.0.1.1"));
        QCOMPARE(t.w<QLineEdit>("Ed_QosRuleDel")->text(), QString("2"));
        pick(t, 0);
        QCOMPARE(t.w<QLineEdit>("Ed_IpFrom2")->text(), QString());
        QCOMPARE(t.w<QLineEdit>("Ed_PortFrom2")->text(), QString());
        t.w<QTreeWidget>("LV_QosRulesUser")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        t.w<QLineEdit>("Ed_PortTo1")->setText("5070");
        const int mark = t.fixture.Mark();
        t.click("Btn_Apply");
        QVERIFY(listed(t, 2));
        Columns changed = voip();
        changed[9] = "2|5070";
        changed[10] = "2|11";
        QCOMPARE(setsOnce(t, mark, 4),
                 (Sets{{"noError", vb(kRules + ".2.1", "2|1"), vb(kRules + ".2.2", "2|0")},
                       {"noError", vb(kStatus, "2|1")},
                       {"noError", vb(kHttp, "2|0"), vb(kAutomatic, "2|0")},
                       ruleSet(1, changed, 3)}));
        QCOMPARE(rows(t.w<QTreeWidget>("LV_QosRulesUser")).value(1).left(3), QString("[ ]"));
    }

    // Unchecking a rule and 'Apply' without a picked rule: states, switch and classifiers,
    // then a fresh read. With no rule listed there are no states, and the rest is written.
    void applyWritesTheStatesThenTheSettings_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<Sets>("sets");
        QTest::newRow("two rules, the second unchecked")
            << 2 << Sets{{"noError", vb(kRules + ".2.1", "2|1"), vb(kRules + ".2.2", "2|0")},
                         {"noError", vb(kStatus, "2|1")},
                         {"noError", vb(kHttp, "2|1"), vb(kAutomatic, "2|0")}};
        QTest::newRow("no rules") << 0 << Sets{{"noError", vb(kStatus, "2|1")},
                                               {"noError", vb(kHttp, "2|1"), vb(kAutomatic, "2|0")}};
    }
    void applyWritesTheStatesThenTheSettings()
    {
        QFETCH(int, count);
        QFETCH(Sets, sets);
        Qos t(qosOn(count));
        QVERIFY(started(t, count));
        if (count > 0)
            t.w<QTreeWidget>("LV_QosRulesUser")->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        t.w<QCheckBox>("CheckBox_Http")->setChecked(true);
        const int mark = t.fixture.Mark();
        t.click("Btn_Apply");
        QCOMPARE(t.setsSince(mark), sets);
        QCOMPARE(t.fixture.Dialogs().Boxes(), Boxes{});
        QVERIFY(listed(t, count));
        if (count > 0)
            QCOMPARE(t.fixture.Sim().value(kRules + ".2.2"), QString("2|0"));
    }

    void applyWithNothingToClassifyWarns()
    {
        Qos t(qosOn(1));
        QVERIFY(started(t, 1));
        t.w<QTreeWidget>("LV_QosRulesUser")->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        t.click("Btn_Apply");
        QCOMPARE(t.fixture.Dialogs().Boxes(),
                 (Boxes{{"Warning", "All traffic will be treated as priority of 'Best Effort'\nbecause of priority "
                                    "classifier specified and empty rule table."}}));
    }

    void deleteWritesTheIndex_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void deleteWritesTheIndex()
    {
        QFETCH(bool, ok);
        Qos t(qosOn(3));
        QVERIFY(started(t, 3));
        pick(t, 1);
        t.fixture.Dialogs().answers.push_back(ok ? QMessageBox::Ok : QMessageBox::Cancel);
        const int mark = t.fixture.Mark();
        t.click("Btn_Del");
        QCOMPARE(t.fixture.Dialogs().Boxes(), (Boxes{{"Warning", "Are you sure you want to delete web?"}}));
        if (!ok) {
            QTest::qWait(200);
            QCOMPARE(t.setsSince(mark), Sets{});
            return;
        }
        QCOMPARE(t.setsSince(mark), (Sets{{"noError", vb(kDelete, "2|2")}}));
        QVERIFY(listed(t, 2));
        // The rules close up: the third is now the second, its state object .2.2.
        QCOMPARE(t.w<QTreeWidget>("LV_QosRulesUser")->topLevelItem(1)->text(0), QString("r3"));
    }
};

QTEST_MAIN(TestTFMQosSetting)
#include "tst_tfm_qossetting.moc"
