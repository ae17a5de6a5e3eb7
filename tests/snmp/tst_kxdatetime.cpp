#include "KxDateTime.h"

#include <QDateTime>
#include <QTest>

class TestKxDateTime : public QObject {
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("image");
        QTest::newRow("minus offset")
            << "2009-5-6,7:8:9.1,-5:30" << "2009-5-6,7:8:9.1,-5:30"
            << QByteArray::fromHex("07d9050607080901" "2d051e");
        QTest::newRow("plus offset")
            << "2024-12-31,23:59:59.9,+8:0" << "2024-12-31,23:59:59.9,+8:0"
            << QByteArray::fromHex("07e80c1f173b3b092b0800");
        QTest::newRow("no offset")
            << "2009-5-6,7:8:9.1" << "2009-5-6,7:8:9.1"
            << QByteArray::fromHex("07d90506070809012b0000");
        QTest::newRow("zero offset is not written")
            << "2009-5-6,7:8:9.1,+0:0" << "2009-5-6,7:8:9.1"
            << QByteArray::fromHex("07d90506070809012b0000");
        QTest::newRow("unreadable numbers are zero")
            << "2009-x" << "2009-0-0,0:0:0.0"
            << QByteArray::fromHex("07d90000000000002b0000");
        QTest::newRow("empty") << "" << "0-0-0,0:0:0.0" << QByteArray::fromHex("00000000000000002b0000");
    }

    void text()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(QByteArray, image);
        const KxDateTime dt = KxDateTime::FromText(text);
        QCOMPARE(dt.ToText(), written);
        QCOMPARE(dt.ToImage(), image);
        QCOMPARE(KxDateTime::FromImage(image), dt);
    }

    void yearOrder()
    {
        const KxDateTime dt = KxDateTime::FromText("2009-5-6,7:8:9.1,-5:30");
        QCOMPARE(dt.Year, quint16(2009));
        QCOMPARE(dt.Direction, '-');
        QCOMPARE(dt.UtcMinutes, quint8(30));
        QCOMPARE(quint8(dt.ToImage().at(0)), quint8(0x07));
        QCOMPARE(quint8(dt.ToImage().at(1)), quint8(0xd9));
    }

    void nowHasNoOffset()
    {
        const QDate today = QDate::currentDate();
        const KxDateTime now = KxDateTime::Now();
        QVERIFY(now.Year == today.year() || now.Year == today.addDays(1).year());
        QCOMPARE(now.DeciSeconds, quint8(0));
        QCOMPARE(now.Direction, '+');
        QCOMPARE(now.UtcHours, quint8(0));
        QCOMPARE(now.UtcMinutes, quint8(0));
    }
};

QTEST_GUILESS_MAIN(TestKxDateTime)
#include "tst_kxdatetime.moc"
