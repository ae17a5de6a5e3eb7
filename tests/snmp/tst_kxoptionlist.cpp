#include "KxOptionList.h"

#include <QComboBox>
#include <QTest>

namespace {
const KxIntOption kCipher[] = {{1, "Auto"}, {2, "AES"}, {3, "TKIP"}, {0, nullptr}};
const KxTextOption kNames[] = {{"a1", "Alpha"}, {"b2", "Beta"}, {nullptr, nullptr}};
const KxTextOption kPrefixes[] = {{"tx", "Transmit "}, {"rx", "Receive "}, {nullptr, nullptr}};
} // namespace

class TestKxOptionList : public QObject {
    Q_OBJECT

private slots:
    void integerValues_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("sent");
        QTest::newRow("value shows its word") << "3" << "TKIP" << "3";
        QTest::newRow("word in any case sends its value") << "tkip" << "tkip" << "3";
        QTest::newRow("unknown number passes through") << "7" << "7" << "7";
        QTest::newRow("null is no value") << "(NULL)" << "(NULL)" << "(NULL)";
        QTest::newRow("not a number") << "x1" << "x1" << "x1";
    }

    void integerValues()
    {
        QFETCH(QString, input);
        QFETCH(QString, shown);
        QFETCH(QString, sent);
        const KxOptionList list(kCipher);
        QCOMPARE(list.ValueToText(input), shown);
        QCOMPARE(list.TextToValue(input), sent);
    }

    void indexes()
    {
        const KxOptionList list(kCipher);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.IndexOfText("aes"), 1);
        QCOMPARE(list.IndexOfText("AE"), -1);
        QCOMPARE(list.IndexOfValue("1"), 0);
        QCOMPARE(list.IndexOfValue("(NULL)"), -1);
        QCOMPARE(list.IndexToSelect("TKIP"), 2);
        QCOMPARE(list.IndexToSelect("2"), 1);
        QCOMPARE(list.IndexToSelect("9"), -1);
        const KxOptionList strict(kCipher, true);
        QCOMPARE(strict.IndexOfText("aes"), -1);
        QCOMPARE(strict.IndexOfText("AES"), 1);
    }

    void textValues()
    {
        const KxOptionList list(kNames, KxOptionList::TextValues);
        QCOMPARE(list.ValueToText("B2"), QString("Beta"));
        QCOMPARE(list.TextToValue("alpha"), QString("a1"));
        QCOMPARE(list.ValueToText("c3"), QString("c3"));
    }

    void textPrefixes()
    {
        const KxOptionList list(kPrefixes, KxOptionList::TextPrefixes);
        QCOMPARE(list.ValueToText("rx42"), QString("Receive 42"));
        QCOMPARE(list.TextToValue("Transmit 7"), QString("tx7"));
        QCOMPARE(list.IndexOfText("Receive queue"), 1);
        QCOMPARE(list.TextToValue("Other"), QString("Other"));
    }

    void emptyTable()
    {
        const KxIntOption none[] = {{0, nullptr}};
        const KxOptionList list(none);
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.ValueToText("1"), QString("1"));
    }

    void fillsAndSelectsComboBox()
    {
        const KxOptionList list(kCipher);
        QComboBox box;
        box.addItem("stale");
        list.Fill(&box);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(2), QString("TKIP"));
        list.Select(&box, "2");
        QCOMPARE(box.currentIndex(), 1);
        list.Select(&box, "Auto");
        QCOMPARE(box.currentIndex(), 0);
        list.Select(&box, "99");
        QCOMPARE(box.currentIndex(), -1);
    }
};

QTEST_MAIN(TestKxOptionList)
#include "tst_kxoptionlist.moc"
