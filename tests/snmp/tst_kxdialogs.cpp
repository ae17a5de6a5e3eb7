// The dialog seam: what a scripted seam records and answers, that the process-wide
// accessor hands out whatever is installed, and which title each kind of box carries.
#include "KxDialogs.h"
#include "KxRequest2Edits.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>

class TestKxDialogs : public QObject {
    Q_OBJECT

private slots:
    // As the program entry does.
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("RWN-3460")); }

    void scriptedSeamRecordsAndAnswers()
    {
        KxScriptedDialogsScope dialogs;
        QCOMPARE(&Dialogs(), static_cast<KxDialogs *>(&dialogs));
        dialogs.answers.push_back(QMessageBox::Cancel);
        QVERIFY(!Dialogs().Confirm(nullptr, "Discard?", "Warning"));
        QVERIFY(Dialogs().Confirm(nullptr, "Really?", "Warning")); // unscripted: OK
        Dialogs().ShowMessage(nullptr, "plain");
        Dialogs().ShowError(nullptr, "'x' is not a valid integer value");
        QCOMPARE(Dialogs().MessageBox(nullptr, "y/n", "Q", QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        const QList<QPair<QString, QString>> expected = {
            {"Warning", "Discard?"}, {"Warning", "Really?"}, {"RWN-3460", "plain"},
            {"RWN-3460", "'x' is not a valid integer value"}, {"Q", "y/n"}};
        QCOMPARE(dialogs.Boxes(), expected);

        dialogs.fileNames.push_back("/tmp/a.kcf");
        QCOMPARE(Dialogs().OpenFileName(nullptr, "Open", {}, "Config (*.kcf)"), QString("/tmp/a.kcf"));
        QCOMPARE(Dialogs().SaveFileName(nullptr, "Save", {}, "All (*)"), QString()); // cancelled
        QCOMPARE(dialogs.shown.back().kind, QString("save"));
        QCOMPARE(dialogs.shown.back().filter, QString("All (*)"));
        Dialogs().Beep();
        QCOMPARE(dialogs.beeps, 1);
    }

    // Plain messages and the error box carry the application's title; the layer's own
    // boxes keep the program's file name.
    void titles()
    {
        KxScriptedDialogsScope dialogs;
        QWidget owner;
        Dialogs().ShowMessage(&owner, "This module is only used in the Tarsel or HP-Openview.");
        Dialogs().ShowError(&owner, "'' is not a valid integer value");
        KxSNMPRequest2Edits request(&owner); // no status line: its report is a box
        request.ReportGetMessage("(KxSNMP++) Ok!");
        const QList<QPair<QString, QString>> expected = {
            {"RWN-3460", "This module is only used in the Tarsel or HP-Openview."},
            {"RWN-3460", "'' is not a valid integer value"},
            {"tst_kxdialogs", "(KxSNMP++) Ok!"}};
        QCOMPARE(dialogs.Boxes(), expected);
    }

    void modalWindowsRunWithoutBlocking()
    {
        KxScriptedDialogsScope dialogs;
        QDialog window;
        window.setObjectName("TFM_Sample");
        auto *button = new QPushButton(&window);
        button->setObjectName("Bt_OK");
        connect(button, &QPushButton::clicked, &window, &QDialog::accept);
        QCOMPARE(Dialogs().RunModal(&window), int(QDialog::Rejected));
        dialogs.ModalHandler = [](QDialog *d) {
            d->findChild<QPushButton *>("Bt_OK")->click();
            return d->result();
        };
        QCOMPARE(Dialogs().RunModal(&window), int(QDialog::Accepted));
        QCOMPARE(dialogs.shown.size(), size_t(2));
        QCOMPARE(dialogs.shown[0].text, QString("TFM_Sample"));
    }

    void scopesNest()
    {
        KxDialogs *qtSeam = &Dialogs();
        {
            KxScriptedDialogsScope outer;
            {
                KxScriptedDialogsScope inner;
                QCOMPARE(&Dialogs(), static_cast<KxDialogs *>(&inner));
            }
            QCOMPARE(&Dialogs(), static_cast<KxDialogs *>(&outer));
        }
        QCOMPARE(&Dialogs(), qtSeam);
        QVERIFY(dynamic_cast<KxQtDialogs *>(qtSeam));
    }
};

QTEST_MAIN(TestKxDialogs)
#include "tst_kxdialogs.moc"
