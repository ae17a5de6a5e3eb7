// The pieces every screen shares: the mask test, the save notice as a scope guard, the
// device rows behind a list with gaps, delete-then-add, and the fixture's nested loop.
#include "KxConvert.h"
#include "KxMasked.h"
#include "KxRequest2Edits.h"
#include "KxRuleEdit.h"
#include "KxSaveWait.h"
#include "KxScreenFixture.h"
#include "KxTableRequest.h"
#include "TFM_Waiting.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <stdexcept>

namespace {

#define WEP "1.3.6.1.4.1.32473.2.5.9.2.1.3.3.2.2.1"

const KxSNMPVarDesc kSysName[] = {
    {"1.3.6.1.2.1.1.5", "sysName", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

const KxSNMPVarDesc kKeys[] = {
    {" ", "wepKeyIndex", KxSyntax::Integer, KxAccess::Key},
    {WEP ".3", "wepKeyValue", KxSyntax::DisplayString, KxAccess::ReadWrite},
    {nullptr},
};

QList<TFM_Waiting *> notices()
{
    QList<TFM_Waiting *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *n = qobject_cast<TFM_Waiting *>(w); n && n->isVisible())
            found << n;
    return found;
}

} // namespace

class TestKxScreenKit : public QObject {
    Q_OBJECT

private slots:
    void masked_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("masked");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("one asterisk") << "*" << true;
        QTest::newRow("asterisks") << "********" << true;
        QTest::newRow("a key") << "abc12345" << false;
        QTest::newRow("asterisks around a character") << "***a***" << false;
        QTest::newRow("a blank") << " " << false;
        QTest::newRow("asterisks and a blank") << "**** " << false;
    }
    void masked()
    {
        QFETCH(QString, text);
        QFETCH(bool, masked);
        QCOMPARE(IsMasked(text), masked);
    }

    void saveWaitShowsOneNoticeAndDisablesTheWindow()
    {
        QWidget window;
        window.show();
        KxSaveWait wait(&window);
        wait.Show();
        wait.Show(); // the hook runs before every write: still one notice
        QCOMPARE(notices().size(), 1);
        TFM_Waiting *notice = notices().first();
        QCOMPARE(notice->Line("Label2")->text(), QString("Please wait..."));
        QCOMPARE(notice->Line("Label3")->text(), QString("The settings are saving and taking effect."));
        QVERIFY(notice->Line("Label1")->isHidden());
        QVERIFY(!notice->SendRestartCommand);
        QVERIFY(!notice->Timer1.isActive());
        QVERIFY(!window.isEnabled());
        wait.Close();
        QVERIFY(window.isEnabled());
        QVERIFY(notices().isEmpty());
    }

    void saveWaitEndsWithTheScopeOnEveryWayOut()
    {
        QWidget window;
        window.show();
        bool raised = false;
        try {
            KxSaveWait wait(&window);
            wait.Show();
            (void)KxStrToInt(QStringLiteral("twelve")); // a conversion that raises half way
        } catch (const std::exception &) {
            raised = true;
        }
        QVERIFY(raised);
        QVERIFY(window.isEnabled());
        QVERIFY(notices().isEmpty());
    }

    void rowMapKeepsTheDeviceRowsBehindAListWithGaps()
    {
        // Named entries in rows 1 and 4, row 2 a free slot, row 3 absent.
        screentest::ScreenFixture fixture({}, {{WEP ".3.1", "4|alpha"}, {WEP ".3.2", "4|"},
                                               {WEP ".2.3", ""}, {WEP ".3.3", ""}, {WEP ".3.4", "4|delta"}});
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        QWidget owner;
        auto *list = new QTreeWidget(&owner);
        KxTableRequest request(&owner);
        request.Asynchronous = false;
        request.Request.VarList = KxSNMPVarList(kKeys, KxItemType::Table, 1);
        request.BindListView(list, false);
        request.SkipColumn = 1;
        request.SkipValue = QString();
        QVERIFY(request.GetIntoControls());
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(request.Rows.Count(), 2);
        QCOMPARE(request.Rows.KeyOf(0), QString("1"));
        QCOMPARE(request.Rows.KeyOf(1), QString("4"));
        QCOMPARE(request.Rows.IndexOf(1), 4);
        QCOMPARE(request.Rows.RowOf("4"), 1);
        QCOMPARE(request.Rows.FirstFree(), QString("2"));
        QCOMPARE(request.Rows.IndexOf(2), -1);

        // A second read starts afresh.
        QVERIFY(fixture.Sim().set({WEP ".3.2", "s", "bravo", WEP ".2.2", "i", "1"}).exitCode == 0);
        request.RowNumber = 1;
        list->clear();
        QVERIFY(request.GetIntoControls());
        QCOMPARE(request.Rows.Count(), 3);
        QCOMPARE(request.Rows.KeyOf(1), QString("2"));
        QVERIFY(request.Rows.FirstFree().isEmpty());
    }

    void deleteThenAdd_data()
    {
        QTest::addColumn<bool>("checkPasses");
        QTest::addColumn<bool>("deleteSucceeds");
        QTest::addColumn<bool>("addSucceeds");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("result");
        QTest::newRow("every step succeeds") << true << true << true << "check delete add" << true;
        QTest::newRow("a check fails: nothing written") << false << true << true << "check" << false;
        QTest::newRow("the delete fails: no add") << true << false << true << "check delete" << false;
        QTest::newRow("the add fails") << true << true << false << "check delete add" << false;
    }
    void deleteThenAdd()
    {
        QFETCH(bool, checkPasses);
        QFETCH(bool, deleteSucceeds);
        QFETCH(bool, addSucceeds);
        QFETCH(QString, steps);
        QFETCH(bool, result);
        QStringList done;
        const KxRuleEdit edit{[&] { done << "check"; return checkPasses; },
                              [&] { done << "delete"; return deleteSucceeds; },
                              [&] { done << "add"; return addSucceeds; }};
        QCOMPARE(KxDeleteThenAdd(edit), result);
        QCOMPARE(done.join(' '), steps);
    }

    void nestedLoopRunsTimersUntilTheWindowClosesItself()
    {
        screentest::TestHost host;
        TFM_Waiting waiting(&host);
        waiting.Countdown = 2;
        waiting.SendRestartCommand = false;
        QElapsedTimer clock;
        clock.start();
        // The countdown ticks every 1.2 s and the device answers, so it closes itself
        // after the second tick, well before the loop's limit.
        QCOMPARE(screentest::RunNestedLoop(&waiting, 10000), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() < 9000);
        QCOMPARE(waiting.Countdown, 0);
    }

    // A read's completion opens a modal window with a real nested loop; a write issued
    // from inside that window completes while the window is still up, and the device
    // took the write before the window ended.
    void requestWrittenInsideAModalWindowCompletes()
    {
        screentest::ScreenFixture fixture;
        QVERIFY2(fixture.Start(), qPrintable(fixture.Error()));
        QWidget owner;
        auto *shown = new QLineEdit(&owner);
        auto *typed = new QLineEdit(&owner);
        KxSNMPRequest2Edits read(&owner);
        read.VarList() = KxSNMPVarList(kSysName, KxItemType::Scalars, 0);
        read.BindControl(0, QStringLiteral("%s"), shown);
        KxSNMPRequest2Edits write(&owner);
        write.VarList() = KxSNMPVarList(kSysName, KxItemType::Scalars, 0);
        write.BindControl(0, QStringLiteral("%s"), typed);
        typed->setText(QStringLiteral("written-inside"));

        QDialog window(&owner);
        int setCode = -1;
        bool windowUpAtCompletion = false;
        qint64 windowEnded = -1;
        write.OnSetComplete = [&](KxSNMPRequest2Controls *, const KxSNMPError &e) {
            setCode = e.Code;
            windowUpAtCompletion = window.isVisible();
            window.done(QDialog::Accepted);
        };
        fixture.Dialogs().ModalHandler = [&](QDialog *w) {
            QTimer::singleShot(100, w, [&] { write.SetFromControls(true, true); });
            const int result = screentest::RunNestedLoop(w, 5000);
            windowEnded = fixture.Sim().sinceStart();
            return result;
        };
        bool readCompleted = false;
        read.OnGetComplete = [&](KxSNMPRequest2Controls *, const KxSNMPError &) {
            readCompleted = true;
            Dialogs().RunModal(&window);
        };
        const int mark = fixture.Mark();
        read.GetIntoControls();
        QTRY_VERIFY_WITH_TIMEOUT(windowEnded >= 0, 10000);
        QVERIFY(readCompleted);
        QCOMPARE(setCode, 0);
        QVERIFY(windowUpAtCompletion);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        const QList<simtest::JournalEntry> journal = fixture.Sim().journal().mid(mark);
        QCOMPARE(journal.size(), 1);
        QVERIFY(journal[0].varbinds.join(' ').contains(QStringLiteral("1.3.6.1.2.1.1.5.0")));
        QVERIFY(journal[0].ms <= windowEnded);
    }
};

QTEST_MAIN(TestKxScreenKit)
#include "tst_kxscreenkit.moc"
