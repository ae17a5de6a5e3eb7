// Input constraints on real line edits, headless: typing is driven by key clicks,
// leaving a box by a focus-out event, and every message is read through the scripted
// dialog seam.
#include "KxDialogs.h"
#include "KxEditConstraint.h"
#include "KxErrors.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace {

void leave(QLineEdit *edit)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

struct Window {
    QWidget widget;
    QLineEdit *first = new QLineEdit(&widget);
    QLineEdit *second = new QLineEdit(&widget);
    QLineEdit *third = new QLineEdit(&widget);
    Window()
    {
        auto *layout = new QVBoxLayout(&widget);
        for (QLineEdit *e : {first, second, third})
            layout->addWidget(e);
        first->setObjectName("Ed_First");
        second->setObjectName("Ed_Second");
        third->setObjectName("Ed_Third");
        widget.show();
    }
};

const QString kBadFormat = "(KxCommon) Bad format specifier of edit's constraint!";

} // namespace

class TestKxEditConstraint : public QObject {
    Q_OBJECT

private slots:
    void malformedFormatsRaise_data()
    {
        QTest::addColumn<QString>("format");
        for (const char *f : {"", "%", "s", "u%", "%q", "%n", "%u{x}", "%u{l}", "%u{e}", "%u{w}",
                              "%u{z1}", "%ux", "%u{n1", "%u{n1}x"})
            QTest::newRow(*f ? f : "empty") << QString(f);
    }
    void malformedFormatsRaise()
    {
        QFETCH(QString, format);
        Window w;
        KxEditConstraint checker(&w.widget, true);
        try {
            checker.add(format, w.first);
            QFAIL("no exception");
        } catch (const KxException &e) {
            QCOMPARE(e.HelpContext(), -2);
            QCOMPARE(e.Text(), kBadFormat);
        }
        QVERIFY(!checker.find(w.first));
    }

    void formatsParse()
    {
        const _EditConstraint_s list = KxEditConstraint::Parse("%n,{n0x255l4}");
        QCOMPARE(list.type, 'n');
        QCOMPARE(list.delimiter, ',');
        QCOMPARE(list.minimum, 0.0);
        QCOMPARE(list.maximum, 255.0);
        QCOMPARE(list.maxLength, 4);
        const _EditConstraint_s s = KxEditConstraint::Parse("%s{e-l8fan}");
        QCOMPARE(s.advance, '-');
        QCOMPARE(s.maxLength, 8);
        QCOMPARE(int(s.lengthFlags), 7);
        const _EditConstraint_s i = KxEditConstraint::Parse("%i");
        QCOMPARE(i.minimum, -2147483648.0);
        QCOMPARE(i.maximum, 2147483647.0);
        QCOMPARE(KxEditConstraint::Parse("%u").maximum, 4294967295.0);
        QCOMPARE(KxEditConstraint::Parse("%u{n-5x7.5}").minimum, -5.0);
        // A "%" delimiter belongs to its own format item.
        QCOMPARE(KxEditConstraint::Split("%u{n1x9}%n%%s"), QStringList({"%u{n1x9}", "%n%", "%s"}));
    }

    void typingFilters_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("beeps");
        QTest::newRow("unsigned drops a letter") << "%u{n1x65535}" << "8a0" << "80" << 1;
        QTest::newRow("hex drops g") << "%h{l10}" << "a1g2F" << "a12F" << 1;
        QTest::newRow("signed keeps only a leading minus") << "%i" << "-12-3" << "-123" << 1;
        QTest::newRow("real keeps one dot") << "%f" << "1.2.3" << "1.23" << 1;
        QTest::newRow("list refuses a doubled delimiter") << "%n,{n0x255l4}" << "1,,2" << "1,2" << 1;
        QTest::newRow("list refuses a leading delimiter") << "%n." << ".5" << "5" << 1;
        QTest::newRow("string takes everything") << "%s" << "a-Z .%" << "a-Z .%" << 0;
        QTest::newRow("unsigned drops a minus") << "%u" << "-7" << "7" << 1;
    }
    void typingFilters()
    {
        QFETCH(QString, format);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, beeps);
        KxScriptedDialogsScope dialogs;
        Window w;
        KxEditConstraint checker(&w.widget, true);
        checker.add(format, w.first);
        QTest::keyClicks(w.first, typed);
        QCOMPARE(w.first->text(), kept);
        QCOMPARE(dialogs.beeps, beeps);
        QVERIFY(dialogs.Boxes().isEmpty());
    }

    void ownHandlersAreKeptCalledAndGivenBack()
    {
        KxScriptedDialogsScope dialogs;
        Window w;
        QStringList changes;
        int exits = 0;
        KxEvents::SetOnChange(w.first, [&] { changes << w.first->text(); });
        KxEvents::SetOnExit(w.first, [&] { ++exits; });
        {
            KxEditConstraint checker(&w.widget, true);
            checker.add("%u{n1x99}", w.first);
            QTest::keyClicks(w.first, "4x2");
            for (const QString &t : changes)
                QVERIFY2(!t.contains('x'), qPrintable(t));
            QCOMPARE(changes.last(), QString("42"));
            leave(w.first);
            QCOMPARE(exits, 1);
            w.first->setText("500");
            leave(w.first);
            QCOMPARE(exits, 1); // a rejected exit does not reach the owner
            QCOMPARE(w.first->text(), QString("42"));

            // The owner vetoes an exit with tag -1: the last valid text comes back.
            checker.remove(w.first);
            KxEvents::SetOnExit(w.first, [&] { ++exits; KxEvents::SetTag(w.first, -1); });
            checker.add("%u", w.first);
            w.first->setText("7");
            leave(w.first);
            QCOMPARE(exits, 2);
            QCOMPARE(w.first->text(), QString()); // nothing was valid yet in this record
            KxEvents::SetTag(w.first, 0);
        }
        // The checker is gone: the owner's handlers are back and nothing is filtered.
        changes.clear();
        w.first->setText("x1");
        QCOMPARE(changes, QStringList({"x1"}));
        QCOMPARE(dialogs.beeps, 1);
        leave(w.first);
        QCOMPARE(exits, 3);
    }

    void exitChecks_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("valid");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("message");
        QTest::newRow("below range") << "%u{n1x65535}" << "80" << "0"
                                     << "(KxCommon) Please enter a number between 1 and 65535!";
        QTest::newRow("above default signed") << "%i" << "-5" << "2147483648"
                                              << "(KxCommon) Please enter a number between -2147483648 and 2147483647!";
        QTest::newRow("lone minus") << "%i{n-9x9}" << "3" << "-" << "(KxCommon) Please enter a number between -9 and 9!";
        QTest::newRow("exact string length") << "%s{l8f}" << "abcdefgh" << "abcde"
                                             << "(KxCommon) Please enter a string whose length is 8!";
        QTest::newRow("hex from a get is too long") << "%h{l10}" << "0A" << "0123456789A"
                                                    << "(KxCommon) Please enter a hex string whose length is less than 10!";
        QTest::newRow("exact hex length") << "%h{l4f}" << "ABCD" << "ABC"
                                          << "(KxCommon) Please enter a hex string whose length is 4!";
        QTest::newRow("string too long") << "%s{l3}" << "abc" << "abcd"
                                         << "(KxCommon) Please enter a string whose length is less than 3!";
        QTest::newRow("too many numbers") << "%n,{n0x255l4}" << "1,2" << "1,2,3,4,5"
                                          << "(KxCommon) Please enter a delimited number string with delimiter ','.\n"
                                             "Here,the count of the number is less than 4!";
        QTest::newRow("wrong count") << "%n.{l4f}" << "1.2.3.4" << "1.2.3"
                                     << "(KxCommon) Please enter a delimited number string with delimiter '.'.\n"
                                        "Here,the count of the number is equal to 4!";
        QTest::newRow("number out of list range") << "%n,{n0x255l4}" << "1" << "1,256"
                                                  << "(KxCommon) Please enter a delimited number string with delimiter ','.\n"
                                                     "Here,each number is between 0 and 255!";
        QTest::newRow("empty not allowed") << "%s{l3n}" << "ab" << "" << "(KxCommon) Empty value is not allowed!";
    }
    void exitChecks()
    {
        QFETCH(QString, format);
        QFETCH(QString, valid);
        QFETCH(QString, entered);
        QFETCH(QString, message);
        KxScriptedDialogsScope dialogs;
        Window w;
        KxEditConstraint checker(&w.widget, true);
        checker.add(format, w.first);
        w.first->setText(valid);
        leave(w.first);
        QVERIFY(dialogs.Boxes().isEmpty());
        w.second->setFocus();
        // Written as a get would: the typing limit must not cut it.
        w.first->setText(entered);
        QCOMPARE(w.first->text(), entered);
        leave(w.first);
        QCOMPARE(dialogs.Boxes().size(), 1);
        QCOMPARE(dialogs.Boxes().at(0).first, ProgramTitle());
        QCOMPARE(dialogs.Boxes().at(0).second, message);
        QCOMPARE(w.first->text(), valid);
        QCOMPARE(w.widget.focusWidget(), w.first);
    }

    void emptyAndSpecialTextsAreLeftAlone()
    {
        KxScriptedDialogsScope dialogs;
        Window w;
        KxEditConstraint checker(&w.widget, true);
        checker.add("%u{n1x9}", w.first);
        w.first->setText("5");
        leave(w.first);
        w.first->setText("");
        leave(w.first); // accepted, and 5 stays the last valid text
        for (const char *special : {"(NULL)", "(NOTDONE)"}) {
            w.first->setText(special);
            QCOMPARE(w.first->text(), QString(special));
            leave(w.first);
        }
        QCOMPARE(dialogs.beeps, 0);
        QVERIFY(dialogs.Boxes().isEmpty());
        w.first->setText("0");
        leave(w.first);
        QCOMPARE(dialogs.Boxes().size(), 1);
        QCOMPARE(w.first->text(), QString("5"));
    }

    void withoutRememberingNothingComesBack()
    {
        KxScriptedDialogsScope dialogs;
        Window w;
        KxEditConstraint checker(&w.widget, false);
        checker.add("%u{n1x9}", w.first);
        w.first->setText("5");
        leave(w.first);
        w.first->setText("0");
        leave(w.first);
        QCOMPARE(w.first->text(), QString());
    }

    void focusAdvances()
    {
        KxScriptedDialogsScope dialogs;
        Window w;
        KxEditConstraint checker(&w.widget, true);
        checker.add("%i{e.}%i{e.}%u{l3a}", {w.first, w.second, w.third});
        w.first->setFocus();
        QTest::keyClicks(w.first, "12.");
        QCOMPARE(w.first->text(), QString("12"));
        QCOMPARE(w.widget.focusWidget(), w.second);
        // Width and advance-when-full: a full box hands on; a shorter one does not.
        w.third->setFocus();
        QTest::keyClicks(w.third, "12");
        QCOMPARE(w.widget.focusWidget(), w.third);
        QTest::keyClicks(w.third, "3");
        QCOMPARE(w.widget.focusWidget(), w.first);
        QTest::keyClicks(w.third, "4");
        QCOMPARE(w.third->text(), QString("123")); // typing stops at the length
        QCOMPARE(dialogs.beeps, 0);
    }

    void widthIsApplied()
    {
        Window w;
        KxEditConstraint checker(&w.widget, true);
        checker.add("%s{w120}", w.first);
        QCOMPARE(w.first->width(), 120);
    }

    void typingLimitStopsGrowthOnly()
    {
        QLineEdit edit;
        KxSetTypingLimit(&edit, 5);
        edit.setFocus();
        QTest::keyClicks(&edit, "abcdefg");
        QCOMPARE(edit.text(), QString("abcde"));
        // A longer value put there by the program stays whole and can be shortened.
        edit.setText("0123456789");
        QCOMPARE(edit.text(), QString("0123456789"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QString("012345678"));
        QTest::keyClicks(&edit, "x");
        QCOMPARE(edit.text(), QString("012345678"));
    }
};

QTEST_MAIN(TestKxEditConstraint)
#include "tst_kxeditconstraint.moc"
