// The socket-free parts of the TFTP engine: the name rules, option negotiation and the
// resend clock.
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
    void negotiate_data();
    void negotiate();
    void requestOptions();
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

namespace {
// "name=value name=value" in the order given; "name" alone has no value on the wire.
QList<KxTFTP::Option> Options(const QByteArray &text)
{
    QList<KxTFTP::Option> out;
    for (const QByteArray &pair : text.split(' ')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        out.append(KxTFTP::Option{pair.left(eq), eq < 0 ? QByteArray() : pair.mid(eq + 1)});
    }
    return out;
}

QByteArray Text(const QList<KxTFTP::Option> &options)
{
    QByteArrayList parts;
    for (const KxTFTP::Option &o : options)
        parts << o.name + '=' + o.value;
    return parts.join(' ');
}
} // namespace

void TestKxTFTPProtocol::negotiate_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArray>("asked");
    QTest::addColumn<int>("maxBlock");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<QByteArray>("accepted");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<int>("window");
    QTest::addColumn<int>("timeoutS");
    QTest::addColumn<qint64>("tsize");
    const int max = KxTFTP::MaxBlockSize;
    QTest::newRow("none") << false << QByteArray() << max << qint64(10) << QByteArray() << 512 << 1 << 0 << qint64(-1);
    QTest::newRow("all four, read") << false << QByteArray("blksize=1428 tsize=0 timeout=3 windowsize=8") << max << qint64(5000)
                                    << QByteArray("blksize=1428 tsize=5000 timeout=3 windowsize=8") << 1428 << 8 << 3 << qint64(-1);
    QTest::newRow("write keeps the announced size") << true << QByteArray("tsize=70000 blksize=8") << max << qint64(-1)
                                                    << QByteArray("tsize=70000 blksize=8") << 8 << 1 << 0 << qint64(70000);
    QTest::newRow("block capped by the server") << false << QByteArray("blksize=65464") << 1024 << qint64(1)
                                                << QByteArray("blksize=1024") << 1024 << 1 << 0 << qint64(-1);
    QTest::newRow("block above the protocol's largest") << false << QByteArray("blksize=99999") << max << qint64(1)
                                                        << QByteArray("blksize=65464") << max << 1 << 0 << qint64(-1);
    QTest::newRow("block below 8 left out") << false << QByteArray("blksize=7") << max << qint64(1)
                                            << QByteArray() << 512 << 1 << 0 << qint64(-1);
    QTest::newRow("window capped at 64") << false << QByteArray("windowsize=500") << max << qint64(1)
                                         << QByteArray("windowsize=64") << 512 << 64 << 0 << qint64(-1);
    QTest::newRow("window 0 left out") << false << QByteArray("windowsize=0") << max << qint64(1)
                                       << QByteArray() << 512 << 1 << 0 << qint64(-1);
    QTest::newRow("timeout outside 1-255 left out") << false << QByteArray("timeout=0 blksize=600") << max << qint64(1)
                                                    << QByteArray("blksize=600") << 600 << 1 << 0 << qint64(-1);
    QTest::newRow("timeout 256 left out") << false << QByteArray("timeout=256") << max << qint64(1)
                                          << QByteArray() << 512 << 1 << 0 << qint64(-1);
    QTest::newRow("not a plain number") << false << QByteArray("blksize=+1428 windowsize=0x8 timeout=3s") << max << qint64(1)
                                        << QByteArray() << 512 << 1 << 0 << qint64(-1);
    QTest::newRow("unknown options ignored") << false << QByteArray("multicast= rollover=0 blksize=1000") << max << qint64(1)
                                             << QByteArray("blksize=1000") << 1000 << 1 << 0 << qint64(-1);
    QTest::newRow("the first of a repeat counts") << false << QByteArray("blksize=1000 blksize=2000") << max << qint64(1)
                                                  << QByteArray("blksize=1000") << 1000 << 1 << 0 << qint64(-1);
    QTest::newRow("read of an empty file: no tsize 0") << false << QByteArray("tsize=0 blksize=1428") << max << qint64(0)
                                                       << QByteArray("blksize=1428") << 1428 << 1 << 0 << qint64(-1);
}

// The OACK names only what the client asked for and the server grants, with the
// values granted; everything else leaves the RFC 1350 default in place.
void TestKxTFTPProtocol::negotiate()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, asked);
    QFETCH(int, maxBlock);
    QFETCH(qint64, fileSize);
    KxTFTP::Request request{quint16(write ? KxTFTP::WRQ : KxTFTP::RRQ), "f", "octet", Options(asked)};
    const KxTFTP::Negotiated n = KxTFTP::Negotiate(request, maxBlock, fileSize);
    QTEST(Text(n.accepted), "accepted");
    QTEST(n.blockSize, "blockSize");
    QTEST(n.window, "window");
    QTEST(n.timeoutS, "timeoutS");
    QTEST(n.tsize, "tsize");
}

// Options come after the mode as name and value pairs, names in any case; an OACK lists
// them in the same form.
void TestKxTFTPProtocol::requestOptions()
{
    const QByteArray wire = QByteArray("\0\1fw.bin\0octet\0BlkSize\0001428\0tsize\0000\0dangling\0", 45);
    const auto request = KxTFTP::ParseRequest(wire.constData(), wire.size());
    QVERIFY(request);
    QCOMPARE(request->fileName, QByteArray("fw.bin"));
    QCOMPARE(Text(request->options), QByteArray("blksize=1428 tsize=0"));
    QCOMPARE(KxTFTP::OackPacket(request->options), QByteArray("\0\6blksize\0001428\0tsize\0000\0", 23));
}

QTEST_GUILESS_MAIN(TestKxTFTPProtocol)
#include "tst_kxtftpprotocol.moc"
