// The binding layer against the simulated device on loopback: values travel from the
// device into real Qt controls and back, what was written is read from the simulator's
// SET journal, and every message is read through the scripted dialog seam.
#include "KxDialogs.h"
#include "KxRadioGroup.h"
#include "KxRequest2Edits.h"
#include "KxSession.h"
#include "New_req2Edit.h"
#include "SimFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const KxSNMPVarDesc kSystem3[] = {
    {"1.3.6.1.2.1.1.4", "sysContact", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.5", "sysName", KxSyntax::DisplayString, KxAccess::Excluded},
    {"1.3.6.1.2.1.1.6", "sysLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

#define WEP "1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1"
const KxIntOption kMethodTable[] = {{1, "Hex"}, {2, "ASCII"}, {0, nullptr}};
const KxOptionList kMethods(kMethodTable);
const KxSNMPVarDesc kWepKeys[] = {
    {" ", "wepKeyIndex", KxSyntax::Integer, KxAccess::Key},
    {WEP ".2", "wepKeyEntryMethod", KxSyntax::Integer, KxAccess::ReadWrite, &kMethods},
    {WEP ".3", "wepKeyValue", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

const KxSNMPVarDesc kMixed[] = {
    {"1.3.6.1.2.1.1.7", "sysServices", KxSyntax::Integer, KxAccess::ReadOnly},
    {"1.3.6.1.2.1.1.4", "sysContact", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {"1.3.6.1.2.1.1.2", "sysObjectID", KxSyntax::OctetString, KxAccess::ReadOnly},
    {nullptr},
};

const QRegularExpression kGetOk(R"(^Get: \(KxSNMP\+\+\) Ok!\. Receive at \d\d:\d\d:\d\d (AM|PM)\.$)");

struct Screen {
    QWidget window;
    QStatusBar *bar = new QStatusBar(&window);
    QLineEdit *edits[3] = {new QLineEdit(&window), new QLineEdit(&window), new QLineEdit(&window)};
    QTreeWidget *list = new QTreeWidget(&window);
    Screen()
    {
        bar->setObjectName("StatusBar");
        list->setObjectName("LV_Keys");
        for (int i = 0; i < 3; ++i) {
            edits[i]->setObjectName(QStringLiteral("Ed_%1").arg(i));
            edits[i]->setText("untouched");
        }
    }
};

QString lastJournal(simtest::Simulator &sim)
{
    const QStringList lines = sim.journalLines();
    return lines.isEmpty() ? QString() : lines.last();
}

} // namespace

class TestKxBinding : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_bootDir;
    std::unique_ptr<simtest::Simulator> m_sim;

    void useSim(KxSNMPRequest2Controls &r, bool asynchronous = false)
    {
        r.Request.Device.address = "127.0.0.1";
        r.Request.Device.port = m_sim->port();
        r.Request.Security.version = 1;
        r.Request.Timeout = 200;
        r.Asynchronous = asynchronous;
    }

    // A port where nothing answers.
    void useSilence(KxSNMPRequest2Controls &r, bool asynchronous)
    {
        r.Request.Device.address = "127.0.0.1";
        r.Request.Device.port = KxTest_freePort();
        r.Request.Security.version = 1;
        r.Request.Timeout = 20;
        r.Request.Retries = 0;
        r.Asynchronous = asynchronous;
    }
    static quint16 KxTest_freePort() { return simtest::freeUdpPort(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bootDir.isValid());
        OpenGlobalSession(m_bootDir.path());
        m_sim = std::make_unique<simtest::Simulator>();
        QVERIFY2(m_sim->start(), qPrintable(m_sim->error()));
    }

    void cleanupTestCase()
    {
        if (m_sim)
            m_sim->stop();
    }

    void scalarListWithAnExcludedVariable_data()
    {
        QTest::addColumn<bool>("asynchronous");
        QTest::newRow("synchronous") << false;
        QTest::newRow("asynchronous") << true;
    }
    void scalarListWithAnExcludedVariable()
    {
        QFETCH(bool, asynchronous);
        QVERIFY(m_sim->set({"1.3.6.1.2.1.1.4.0", "s", "ops desk", "1.3.6.1.2.1.1.6.0", "s", "lab 2"}).exitCode == 0);
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        useSim(r, asynchronous);
        r.Request.VarList = KxSNMPVarList(kSystem3, KxItemType::Scalars, 0);
        for (int i = 0; i < 3; ++i)
            r.BindControl(i, "%s", s.edits[i]);
        r.SetStatusBar(s.bar);
        int completions = 0;
        r.OnGetComplete = [&](KxSNMPRequest2Controls *sender, const KxSNMPError &e) {
            QCOMPARE(sender, &r);
            QCOMPARE(e.Code, 0);
            ++completions;
        };
        QVERIFY(r.GetIntoControls());
        if (asynchronous) {
            QVERIFY(r.Busy);
            QTRY_VERIFY_WITH_TIMEOUT(!r.Busy, 5000);
            QCOMPARE(completions, 1);
        }
        QCOMPARE(s.edits[0]->text(), QString("ops desk"));
        QCOMPARE(s.edits[1]->text(), QString("untouched"));
        QCOMPARE(s.edits[2]->text(), QString("lab 2"));
        QCOMPARE(r.RowCount, 1);
        QVERIFY2(kGetOk.match(s.bar->currentMessage()).hasMatch(), qPrintable(s.bar->currentMessage()));

        // The set carries both included variables, in list order, even if one is unchanged.
        s.edits[0]->setText("night shift");
        const int before = m_sim->journalLines().size();
        QVERIFY(r.SetFromControls(true, true, {}, nullptr));
        QTRY_VERIFY_WITH_TIMEOUT(!r.Busy, 5000);
        QCOMPARE(m_sim->journalLines().size(), before + 1);
        const QStringList fields = lastJournal(*m_sim).split('\t');
        QCOMPARE(fields.mid(4), QStringList({"noError", "1.3.6.1.2.1.1.4.0|4|night shift",
                                             "1.3.6.1.2.1.1.6.0|4|lab 2"}));
        QVERIFY(s.bar->currentMessage().startsWith("Set: (KxSNMP++) Ok!. Receive at "));

        // A read-only variable is not sent.
        r.Request.VarList[2].Access = KxAccess::ReadOnly;
        QVERIFY(r.SetFromControls(true, true, {}, nullptr));
        QTRY_VERIFY_WITH_TIMEOUT(!r.Busy, 5000);
        QCOMPARE(lastJournal(*m_sim).split('\t').mid(5), QStringList({"1.3.6.1.2.1.1.4.0|4|night shift"}));
    }

    void tableRowSelectedIntoControlsAndWritten()
    {
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        useSim(r);
        r.Request.VarList = KxSNMPVarList(kWepKeys, KxItemType::Table, 1);
        QComboBox *method = new QComboBox(&s.window);
        r.BindControl(1, method);
        r.BindControl(2, "%s{l26}", s.edits[0]);
        r.BindListView(s.list, true);
        r.SetStatusBar(KxStatusPanel(s.bar, 1));
        QVERIFY(r.GetIntoControls());
        QCOMPARE(s.list->topLevelItemCount(), 4);
        QCOMPARE(r.RowCount, 4);
        QCOMPARE(s.list->headerItem()->text(0), QString("wepKeyIndex"));
        QCOMPARE(s.list->headerItem()->text(2), QString("wepKeyValue"));
        QCOMPARE(s.list->topLevelItem(2)->text(0), QString("3"));
        QCOMPARE(s.list->topLevelItem(2)->text(1), QString("ASCII"));
        QVERIFY(!method->isEnabled());
        QVERIFY(!s.edits[0]->isEnabled());
        QVERIFY(kGetOk.match(KxStatusPanel(s.bar, 1)->text()).hasMatch());

        s.list->topLevelItem(2)->setSelected(true);
        QVERIFY(method->isEnabled());
        QVERIFY(s.edits[0]->isEnabled());
        QCOMPARE(method->currentText(), QString("ASCII"));
        QCOMPARE(s.edits[0]->text(), QString());

        method->setCurrentIndex(0);
        s.edits[0]->setText("0123456789abc");
        const int before = m_sim->journalLines().size();
        QVERIFY(r.SetFromControls(true, true, {}, nullptr));
        QCOMPARE(m_sim->journalLines().size(), before + 1);
        QCOMPARE(lastJournal(*m_sim).split('\t').mid(4),
                 QStringList({"noError", WEP ".2.3|2|1", WEP ".3.3|4|0123456789abc"}));
        // Read again after the write: the list shows what the device now holds, the key
        // masked as the device hands keys out.
        QCOMPARE(s.list->topLevelItemCount(), 4);
        QCOMPARE(s.list->topLevelItem(2)->text(1), QString("Hex"));
        QCOMPARE(s.list->topLevelItem(2)->text(2), QString(13, '*'));
        QVERIFY(!s.edits[0]->isEnabled());
    }

    // A table write the device refuses is not followed by a read: the status line keeps
    // the set's error and the list what it showed.
    void refusedTableSetIsNotReadAgain_data()
    {
        QTest::addColumn<bool>("asynchronous");
        QTest::newRow("synchronous") << false;
        QTest::newRow("asynchronous") << true;
    }
    void refusedTableSetIsNotReadAgain()
    {
        QFETCH(bool, asynchronous);
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        useSim(r, asynchronous);
        r.Request.VarList = KxSNMPVarList(kWepKeys, KxItemType::Table, 1);
        r.BindControl(2, "%s", s.edits[0]);
        r.BindListView(s.list, true);
        r.SetStatusBar(s.bar);
        int gets = 0;
        r.OnGetComplete = [&](KxSNMPRequest2Controls *, const KxSNMPError &) { ++gets; };
        QVERIFY(r.GetIntoControls());
        QTRY_VERIFY_WITH_TIMEOUT(!r.Busy, 5000);
        QCOMPARE(s.list->topLevelItemCount(), 4);

        // The selected row names a key the device does not have.
        QTreeWidgetItem *row = s.list->topLevelItem(1);
        row->setSelected(true);
        row->setText(0, "9");
        s.list->topLevelItem(0)->setText(2, "as shown before the write");
        s.edits[0]->setText("refused");
        const int before = m_sim->journalLines().size();
        QCOMPARE(r.SetFromControls(true, true, {}, nullptr), asynchronous);
        QTRY_VERIFY_WITH_TIMEOUT(!r.Busy, 5000);
        QCOMPARE(m_sim->journalLines().size(), before + 1);
        QCOMPARE(lastJournal(*m_sim).split('\t').value(4), QString("noCreation"));

        const QString line = s.bar->currentMessage();
        QVERIFY2(line.startsWith("Set: ") && !line.contains("Ok!"), qPrintable(line));
        QCOMPARE(s.list->topLevelItem(0)->text(2), QString("as shown before the write"));
        QCOMPARE(gets, asynchronous ? 1 : 0);
    }

    void rowNumbersAndSkippedRows()
    {
        QVERIFY(m_sim->set({WEP ".2.2", "i", "1", WEP ".2.4", "i", "2"}).exitCode == 0);
        Screen s;
        New_req2Edit r(&s.window);
        useSim(r);
        r.Request.VarList = KxSNMPVarList(kWepKeys, KxItemType::Table, 1);
        r.BindListView(s.list, true);
        r.SkipValue = "Hex";
        QVERIFY(r.GetIntoControls());
        QCOMPARE(r.RowNumber, 3);
        QCOMPARE(s.list->topLevelItemCount(), 2);
        // Rows 1 and 4 remain (2 and 3 hold "Hex"), numbered from 1.
        QCOMPARE(s.list->topLevelItem(0)->text(0), QString("1"));
        QCOMPARE(s.list->topLevelItem(1)->text(0), QString("2"));
        QCOMPARE(s.list->topLevelItem(1)->text(1), QString("ASCII"));
        QCOMPARE(r.RowCount, 4);
    }

    void setWithIndexListAndValueSource()
    {
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        useSim(r);
        const KxSNMPVarDesc three[] = {
            {"1.3.6.1.2.1.1.4", "sysContact", KxSyntax::DisplayString, KxAccess::ReadWrite},
            {"1.3.6.1.2.1.1.5", "sysName", KxSyntax::DisplayString, KxAccess::ReadWrite},
            {"1.3.6.1.2.1.1.6", "sysLocation", KxSyntax::DisplayString, KxAccess::ReadWrite},
            {nullptr},
        };
        r.Request.VarList = KxSNMPVarList(three, KxItemType::Scalars, 0);
        for (int i = 0; i < 3; ++i)
            r.BindControl(i, "%s", s.edits[i]);
        s.edits[1]->setText("read but not sent");
        const QStringList values = {"from-source-0", "from-source-2"};
        QVERIFY(r.SetFromControls(true, true, "0,2", &values));
        QCOMPARE(lastJournal(*m_sim).split('\t').mid(5),
                 QStringList({"1.3.6.1.2.1.1.4.0|4|from-source-0", "1.3.6.1.2.1.1.6.0|4|from-source-2"}));
        // The controls were read first.
        QCOMPARE(r.Request.VarList[1].Value, QString("read but not sent"));
    }

    // Items fill the columns one after the other, top to bottom, and keep their selection.
    void radioGroupColumns_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("cells"); // row,column of each item
        QTest::newRow("one column") << 3 << 1 << "0,0 1,0 2,0";
        QTest::newRow("a row of three") << 3 << 3 << "0,0 0,1 0,2";
        QTest::newRow("five in two") << 5 << 2 << "0,0 1,0 2,0 0,1 1,1";
        QTest::newRow("more columns than items") << 2 << 4 << "0,0 0,1";
    }
    void radioGroupColumns()
    {
        QFETCH(int, items);
        QFETCH(int, columns);
        QFETCH(QString, cells);
        KxRadioGroup radio;
        QStringList texts;
        for (int i = 0; i < items; ++i)
            texts << QString::number(i);
        radio.setItems(texts);
        radio.setItemIndex(1);
        radio.setColumns(columns);
        auto *grid = qobject_cast<QGridLayout *>(radio.layout());
        QVERIFY(grid);
        QStringList placed;
        for (QAbstractButton *button : radio.findChildren<QAbstractButton *>()) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
            placed << QStringLiteral("%1,%2").arg(row).arg(column);
        }
        QCOMPARE(placed.join(' '), cells);
        QCOMPARE(radio.itemIndex(), 1);
    }

    void bindErrors()
    {
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        r.Request.VarList = KxSNMPVarList(kMixed, KxItemType::Scalars, 0);
        auto expectCode = [](const std::function<void()> &call, int code, const QString &text) {
            try {
                call();
            } catch (const KxException &e) {
                QCOMPARE(e.HelpContext(), code);
                QCOMPARE(e.Text(), text);
                return;
            }
            QFAIL("no exception");
        };
        const QString noList = "(KxSNMP++) No reference option list for a SNMP variable's (partial) "
                               "data associating with a optional visual control!";
        const QString tooFew = "(KxSNMP++) Count of the associated visual controls is not enough!";
        QComboBox combo;
        KxRadioGroup radio;
        expectCode([&] { r.BindControl(0, &combo); }, -520, noList);
        expectCode([&] { r.BindControl(0, &radio); }, -520, noList);
        const KxTextOption prefixes[] = {{"1.3.6", "internet"}, {nullptr, nullptr}};
        const KxOptionList prefixList(prefixes, KxOptionList::TextPrefixes);
        expectCode([&] { r.BindPart(2, 0, KxSyntax::ObjectId, &prefixList, {&combo}); }, -522, tooFew);
        expectCode([&] { r.BindControl(1, "%s%s", std::vector<QLineEdit *>{s.edits[0]}); }, -522, tooFew);
        QVERIFY(r.Bindings().empty());

        // A check box on an integer without options fails when shown, and the
        // synchronous get passes the error on with Busy cleared.
        QCheckBox check;
        r.BindControl(0, &check);
        useSim(r);
        expectCode([&] { r.GetIntoControls(); }, -517,
                   "(KxSNMP++) Bad syntax of the associated SNMP variable's (partial) data!");
        QVERIFY(!r.Busy);
        r.UnbindVariable(0);
        QPushButton button;
        r.BindControl(1, &button);
        expectCode([&] { r.ShowValues(); }, -521, "(KxSNMP++) Bad type of the associated visual control!");
    }

    void asynchronousTimeoutShowsNothing()
    {
        KxScriptedDialogsScope dialogs;
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        useSilence(r, true);
        r.Request.VarList = KxSNMPVarList(kMixed, KxItemType::Scalars, 0);
        for (int i = 0; i < 3; ++i)
            r.BindControl(i, "%s", s.edits[i]);
        r.SetStatusBar(s.bar);
        QList<int> codes;
        r.OnGetComplete = [&](KxSNMPRequest2Controls *, const KxSNMPError &e) { codes << e.Code; };
        QVERIFY(r.GetIntoControls());
        QTRY_COMPARE_WITH_TIMEOUT(codes, QList<int>({-405}), 5000);
        QVERIFY(!r.Busy);
        for (QLineEdit *e : s.edits)
            QCOMPARE(e->text(), QString("untouched"));
        QVERIFY(s.bar->currentMessage().startsWith("Get: (SNMPClass) SNMP request timed out!. Receive at "));
        QVERIFY(dialogs.Boxes().isEmpty());
    }

    void synchronousTimeoutShowsNull()
    {
        Screen s;
        KxSNMPRequest2Edits r(&s.window);
        useSilence(r, false);
        r.Request.VarList = KxSNMPVarList(kMixed, KxItemType::Scalars, 0);
        for (int i = 0; i < 3; ++i)
            r.BindControl(i, "%s", s.edits[i]);
        QVERIFY(!r.GetIntoControls());
        QVERIFY(!r.Busy);
        QCOMPARE(s.edits[0]->text(), QString("(NULL)"));
        QCOMPARE(s.edits[1]->text(), QString());
        QCOMPARE(s.edits[2]->text(), QString());
    }
};

QTEST_MAIN(TestKxBinding)
#include "tst_kxbinding.moc"
