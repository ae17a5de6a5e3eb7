// Trigger, then read, against the simulated device: each cycle ends in exactly one of
// its two outcomes, whatever way it fails, and the table is walked only after the
// trigger succeeded.
#include "KxGather.h"
#include "KxRequest2Edits.h"
#include "KxScreenFixture.h"
#include "KxStations.h"

#include <QComboBox>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kTrigger = QStringLiteral("1.3.6.1.4.1.32473.2.5.9.2.1.3.3.4.1.1.1.1");

} // namespace

class TestKxGather : public QObject {
    Q_OBJECT

private slots:
    void endsInOneOutcome_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<bool>("triggerRaises"); // before anything is sent
        QTest::addColumn<bool>("walkRaises");    // when the walk is to start
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("sets");
        QTest::addColumn<int>("rows");
        QTest::newRow("gathered") << QStringList() << false << false << "walking read 0" << 1 << 8;
        QTest::newRow("trigger refused") << QStringList{"--trigger-fail"} << false << false << "trigger -105" << 1 << 0;
        QTest::newRow("trigger cannot be sent") << QStringList() << true << false << "trigger -518" << 0 << 0;
        QTest::newRow("walk cannot start") << QStringList() << false << true << "read -518" << 1 << 0;
    }
    void endsInOneOutcome()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(bool, triggerRaises);
        QFETCH(bool, walkRaises);
        QFETCH(QString, outcome);
        QFETCH(int, sets);
        QFETCH(int, rows);
        screentest::ScreenFixture fixture(simArgs);
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        QWidget owner;
        auto *box = new QComboBox(&owner);
        auto *list = new QTreeWidget(&owner);
        KxSNMPRequest2Edits trigger(&owner), table(&owner);
        trigger.VarList() = KxSNMPVarList(KxStations::ClientTriggerObjects(), KxItemType::Instance, 1);
        trigger.BindControl(0, box);
        table.VarList() = KxSNMPVarList(KxStations::ClientTable(), KxItemType::Table2, 1);
        table.BindListView(list, true);
        if (triggerRaises)
            trigger.BeforeSetHook = [] { ThrowKx(KxCode::BadPartialValue); };
        if (walkRaises)
            table.BeforeGetHook = [] { ThrowKx(KxCode::BadPartialValue); };
        KxGather gather(&trigger, box, &table);
        QStringList events;
        gather.TriggerFailed = [&](const KxSNMPError &e) { events << "trigger " + QString::number(e.Code); };
        gather.Walking = [&] { events << "walking"; };
        gather.TableRead = [&](const KxSNMPError &e) { events << "read " + QString::number(e.Code); };

        const int mark = fixture.Mark();
        QVERIFY(gather.Start());
        if (gather.Running())
            QVERIFY(!gather.Start()); // one cycle at a time
        QTRY_VERIFY_WITH_TIMEOUT(!gather.Running(), 10000);
        QTest::qWait(100); // nothing follows the end
        QCOMPARE(events.join(' '), outcome);
        QCOMPARE(fixture.SetsSince(mark).size(), sets);
        if (sets)
            QCOMPARE(fixture.SetsSince(mark).first().value(1), kTrigger + "|2|1");
        QCOMPARE(list->topLevelItemCount(), rows);
    }
};

QTEST_MAIN(TestKxGather)
#include "tst_kxgather.moc"
