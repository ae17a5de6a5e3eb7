// The socket-free parts of the TFTP engine: the name rules and the resend clock.
#include "KxTFTPProtocol.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestKxTFTPProtocol : public QObject {
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void resendClock_data();
    void resendClock();
};

void TestKxTFTPProtocol::names_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("served");
    QTest::newRow("plain") << QByteArray("fw.bin") << true;
    QTest::newRow("blank inside") << QByteArray("my fw.bin") << true;
    QTest::newRow("UTF-8") << QByteArray("\xC3\xA9t\xC3\xA9.kcf") << true;
    QTest::newRow("NUL") << QByteArray("a\0b", 3) << false;
    QTest::newRow("newline") << QByteArray("a\nb") << false;
    QTest::newRow("escape sequence") << QByteArray("\x1B[31mred") << false;
    QTest::newRow("tab") << QByteArray("a\tb") << false;
    QTest::newRow("DEL") << QByteArray("a\x7F") << false;
    QTest::newRow("C1 control") << QByteArray("a\xC2\x9B") << false;
    QTest::newRow("not UTF-8") << QByteArray("a\xFF.bin") << false;
    QTest::newRow("replacement character spelt out") << QByteArray("a\xEF\xBF\xBD") << true;
}

// Control characters and names that are not UTF-8 are refused; other names map to a
// path directly in the folder whose last part is the name's own bytes.
void TestKxTFTPProtocol::names()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, served);
    QTemporaryDir dir;
    const auto path = KxTFTP::ResolveName(dir.path(), name);
    QCOMPARE(path.has_value(), served);
    if (served)
        QCOMPARE(QFile::encodeName(*path), QFile::encodeName(QDir(dir.path()).canonicalPath()) + '/' + name);
}

void TestKxTFTPProtocol::resendClock_data()
{
    QTest::addColumn<int>("cap");
    QTest::addColumn<QList<qint64>>("samplesUs");
    QTest::addColumn<int>("backoffs");
    QTest::addColumn<int>("fixed");
    QTest::addColumn<int>("expectedMs");
    const QList<qint64> none;
    QTest::newRow("first guess") << 30000 << none << 0 << 0 << 1000;
    QTest::newRow("first guess within a short time-out") << 300 << none << 0 << 0 << 300;
    QTest::newRow("fast link stays at the floor") << 30000 << QList<qint64>{100, 120, 90} << 0 << 0 << 50;
    QTest::newRow("slow link: round trip plus variation") << 30000 << QList<qint64>{200000} << 0 << 0 << 600;
    QTest::newRow("smoothed over samples") << 30000 << QList<qint64>{200000, 200000, 200000} << 0 << 0 << 425;
    QTest::newRow("back-off doubles") << 30000 << QList<qint64>{100} << 3 << 0 << 400;
    QTest::newRow("back-off stops at the time-out") << 300 << QList<qint64>{100} << 5 << 0 << 300;
    QTest::newRow("floor never above the time-out") << 20 << QList<qint64>{100} << 0 << 0 << 20;
    QTest::newRow("client's time-out fixes it") << 30000 << QList<qint64>{100} << 4 << 2000 << 2000;
}

// RFC 6298's estimator with the floor, the cap and the back-off; a fresh measurement
// ends the back-off.
void TestKxTFTPProtocol::resendClock()
{
    QFETCH(int, cap);
    QFETCH(QList<qint64>, samplesUs);
    QFETCH(int, backoffs);
    QFETCH(int, fixed);
    QFETCH(int, expectedMs);
    KxTFTP::ResendClock clock(cap);
    clock.Backoff(); // undone by the first sample
    for (qint64 us : samplesUs)
        clock.Sample(us);
    if (samplesUs.isEmpty())
        clock.EndBackoff();
    for (int i = 0; i < backoffs; ++i)
        clock.Backoff();
    if (fixed)
        clock.Fix(fixed);
    QCOMPARE(clock.IntervalMs(), expectedMs);
}

QTEST_GUILESS_MAIN(TestKxTFTPProtocol)
#include "tst_kxtftpprotocol.moc"
