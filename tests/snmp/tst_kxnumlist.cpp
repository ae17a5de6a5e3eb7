#include "KxNumList.h"

#include <QTest>

using IntList = std::vector<int>;
Q_DECLARE_METATYPE(IntList)

class TestKxNumList : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("delimiter");
        QTest::addColumn<IntList>("values");
        QTest::newRow("empty") << "" << ',' << IntList{};
        QTest::newRow("empty field is zero") << "1,2,,3" << ',' << IntList{1, 2, 0, 3};
        QTest::newRow("default delimiter") << "192.168.0.1" << '.' << IntList{192, 168, 0, 1};
        QTest::newRow("fraction dropped") << "1.75,2" << ',' << IntList{1, 2};
        QTest::newRow("trailing delimiter") << "5," << ',' << IntList{5, 0};
        QTest::newRow("letters add their code") << "1a" << ',' << IntList{10 + ('a' - '0')};
        QTest::newRow("blank counts too") << " 1" << ',' << IntList{(' ' - '0') * 10 + 1};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(char, delimiter);
        QFETCH(IntList, values);
        KxNumList<int> list(delimiter);
        list.parse(text);
        QCOMPARE(list.values(), values);
        QCOMPARE(list.count(), unsigned(values.size()));
    }

    void hugeNumbersWrapWithoutFault()
    {
        KxNumList<unsigned int> list(',');
        list.parse("99999999999999999999");
        QCOMPARE(list.count(), 1u);
        QCOMPARE(list.at(0), 1661992959u); // the value modulo 2^32
        list.parse("4294967295");
        QCOMPARE(list.at(0), 4294967295u);
        list.parse("4294967296");
        QCOMPARE(list.at(0), 0u);
    }

    void positionAndRange()
    {
        KxNumList<int> ints(',');
        ints.parse("4,8,4");
        QCOMPARE(ints.positionOf(4), 0);
        QCOMPARE(ints.positionOf(8), 1);
        QCOMPARE(ints.positionOf(5), -1);

        KxNumList<unsigned int> numbers(',');
        numbers.parse("1,65535");
        QVERIFY(numbers.inRange(1, 65535));
        QVERIFY(!numbers.inRange(2, 65535));
        QVERIFY(!numbers.inRange(1, 65534));
    }
};

QTEST_GUILESS_MAIN(TestKxNumList)
#include "tst_kxnumlist.moc"
