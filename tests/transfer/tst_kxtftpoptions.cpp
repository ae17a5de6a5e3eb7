// Option negotiation (block size, transfer size, time-out, window) with real clients and,
// for what real clients never do on purpose, with raw packets.
#include "TftpFixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace tftptest;

namespace {
constexpr quint16 kRRQ = 1, kWRQ = 2, kDATA = 3, kACK = 4, kERROR = 5, kOACK = 6;

// A request followed by option pairs given as "name value name value".
QByteArray RequestWith(quint16 opcode, const QByteArray &name, const QByteArray &options)
{
    QByteArray out = RawPeer::Request(opcode, name);
    for (const QByteArray &part : options.split(' '))
        out += part + '\0';
    return out;
}

QByteArray Oack(const QByteArray &options)
{
    QByteArray out("\0\6", 2);
    for (const QByteArray &part : options.split(' '))
        out += part + '\0';
    return out;
}

// The client's command line; `options` are "name value" pairs for atftp and the block
// size alone for curl.
QStringList ClientArgs(const QString &client, const QStringList &options, bool get,
                       quint16 port, const QString &remote, const QString &local)
{
    const QString p = QString::number(port);
    if (client == QLatin1String("curl")) {
        QStringList args{"-sS", "--max-time", "60", get ? "-o" : "-T", local,
                         QStringLiteral("tftp://127.0.0.1:%1/%2").arg(p, remote)};
        for (const QString &o : options)
            args << "--tftp-blksize" << o.section(' ', 1);
        return args;
    }
    QStringList args;
    for (const QString &o : options)
        args << "--option" << o;
    return args + QStringList{get ? "-g" : "-p", "-r", remote, "-l", local, "127.0.0.1", p};
}

// The n datagrams that come next, each within a second.
QList<QByteArray> Next(RawPeer &peer, int n)
{
    QList<QByteArray> out;
    while (out.size() < n) {
        auto d = peer.Receive(1000);
        if (!d)
            break;
        out << d->data();
    }
    return out;
}

// Block numbers of the packets of one kind, each once, in the order first seen: the
// server's resend timer may repeat an ACK, which says nothing new.
QList<quint16> Distinct(const QList<quint16> &blocks)
{
    QList<quint16> out;
    for (quint16 b : blocks) {
        if (!out.contains(b))
            out << b;
    }
    return out;
}

QList<quint16> Blocks(const QList<QByteArray> &packets, quint16 opcode)
{
    QList<quint16> out;
    for (const QByteArray &p : packets) {
        if (p.size() >= 4 && qFromBigEndian<quint16>(p.constData()) == opcode)
            out << qFromBigEndian<quint16>(p.constData() + 2);
    }
    return out;
}
} // namespace

class TestKxTFTPOptions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void clients_data();
    void clients();
    void oackRefused_data();
    void oackRefused();
    void lostOackIsSentAgain();
    void windowGapInDownload();
    void windowGapInUpload();
    void announcedSize_data();
    void announcedSize();
    void commandLineBlockCap();
};

void TestKxTFTPOptions::initTestCase()
{
    for (const char *program : {"curl", "atftp"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty(), program);
}

void TestKxTFTPOptions::clients_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("get");
    struct Set {
        const char *client;
        QStringList options;
        int block;
        QList<int> sizes;
    };
    const QList<Set> sets{
        {"atftp", {"blksize 1428"}, 1428, {0, 1, 511, 512, 1427, 1428, 1429}},
        {"atftp", {"blksize 1428", "windowsize 8"}, 1428, {0, 1428, 1429, 100000}},
        {"atftp", {"blksize 65464", "tsize 0"}, 65464, {65464, 200000}},
        {"curl", {"blksize 1428"}, 1428, {0, 1428, 1429, 100000}},
        // More than 65535 blocks: the block numbers roll over at the negotiated size.
        {"atftp", {"blksize 8", "windowsize 16"}, 8, {8 * 70000 + 3}},
    };
    for (const Set &set : sets) {
        for (int size : set.sizes) {
            for (bool get : {true, false}) {
                QTest::addRow("%s %s %s %d", set.client, qPrintable(set.options.join(',')),
                              get ? "get" : "put", size)
                    << QString::fromLatin1(set.client) << set.options << set.block << size << get;
            }
        }
    }
}

// Byte for byte both ways; the last block's length shows the block size really in use.
void TestKxTFTPOptions::clients()
{
    QFETCH(QString, client);
    QFETCH(QStringList, options);
    QFETCH(int, blockSize);
    QFETCH(int, size);
    QFETCH(bool, get);
    Served s;
    QTemporaryDir clientDir;
    const QByteArray content = RandomBytes(size, quint32(size) + 5);
    const QString local = clientDir.filePath(QStringLiteral("local.bin"));
    QVERIFY(WriteFile(get ? s.Path("file.bin") : local, content));
    if (!get)
        QVERIFY(WriteFile(s.Path("file.bin"), "previous"));
    const ClientResult r = RunClient(client, ClientArgs(client, options, get, s.Port(), "file.bin", local));
    QVERIFY2(r.exitCode == 0, r.output.constData());
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 5000);
    QCOMPARE(s.Outcome(0)->TotalBytes, qint64(size));
    QCOMPARE(s.Outcome(0)->BlockBytes, size % blockSize);
    QCOMPARE(Sha(ReadFile(get ? local : s.Path("file.bin"))), Sha(content));
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.bin"});
}

void TestKxTFTPOptions::oackRefused_data()
{
    QTest::addColumn<bool>("get");
    QTest::newRow("get") << true;
    QTest::newRow("put") << false;
}

// A client that will not take the offered options answers with ERROR 8: the session ends
// at once, is not answered, and an upload leaves the old file as it was.
void TestKxTFTPOptions::oackRefused()
{
    QFETCH(bool, get);
    Served s;
    QVERIFY(WriteFile(s.Path("cfg.kcf"), "old settings"));
    RawPeer peer;
    peer.SendTo(s.Port(), RequestWith(get ? kRRQ : kWRQ, "cfg.kcf", "blksize 1024"));
    auto oack = peer.Receive();
    QVERIFY(oack);
    QCOMPARE(oack->data(), Oack("blksize 1024"));
    peer.SendToSession(RawPeer::Packet(kERROR, 8, QByteArray("no options\0", 11)));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Undefined, 2000);
    QVERIFY(peer.ReceiveFor(400).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 2000);
    QCOMPARE(ReadFile(s.Path("cfg.kcf")), QByteArray("old settings"));
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cfg.kcf"});
}

// The OACK stands for block 0: lost, it is sent again when its time is up (a read) or
// when the client repeats its request (a write), and no data goes out before the client
// has confirmed it.
void TestKxTFTPOptions::lostOackIsSentAgain()
{
    Served s(/*timeout*/ 100);
    QVERIFY(WriteFile(s.Path("fw.bin"), RandomBytes(3000, 2)));
    RawPeer reader;
    reader.SendTo(s.Port(), RequestWith(kRRQ, "fw.bin", "blksize 1000 tsize 0 windowsize 2"));
    const QList<QByteArray> first = reader.ReceiveFor(1500);
    QVERIFY(first.size() >= 2);
    for (const QByteArray &p : first)
        QCOMPARE(p, Oack("blksize 1000 tsize 3000 windowsize 2"));
    reader.SendToSession(RawPeer::Packet(kACK, 0));
    QCOMPARE(Blocks(Next(reader, 2), kDATA), (QList<quint16>{1, 2}));

    RawPeer writer;
    const QByteArray wrq = RequestWith(kWRQ, "up.bin", "blksize 1000");
    writer.SendTo(s.Port(), wrq);
    QVERIFY(writer.Receive());
    writer.SendTo(s.Port(), wrq);
    auto again = writer.Receive(500);
    QVERIFY(again);
    QCOMPARE(again->data(), Oack("blksize 1000"));
    QCOMPARE(again->senderPort(), int(writer.sessionPort));
}

// A window whose middle block is lost: the client acknowledges the last block it has in
// order and the server starts the window again from the next one (RFC 7440).
void TestKxTFTPOptions::windowGapInDownload()
{
    Served s(/*timeout*/ 300);
    const QByteArray content = RandomBytes(40, 4); // five full blocks and an empty sixth
    QVERIFY(WriteFile(s.Path("f.bin"), content));
    RawPeer peer;
    peer.SendTo(s.Port(), RequestWith(kRRQ, "f.bin", "blksize 8 windowsize 4"));
    auto oack = peer.Receive();
    QVERIFY(oack);
    QCOMPARE(RawPeer::Opcode(*oack), kOACK);
    peer.SendToSession(RawPeer::Packet(kACK, 0));
    QCOMPARE(Blocks(Next(peer, 4), kDATA), (QList<quint16>{1, 2, 3, 4}));
    peer.SendToSession(RawPeer::Packet(kACK, 2)); // 3 went missing
    const QList<QByteArray> resent = Next(peer, 4);
    QCOMPARE(Blocks(resent, kDATA), (QList<quint16>{3, 4, 5, 6}));
    QByteArray received = content.left(16);
    for (const QByteArray &p : resent)
        received += p.mid(4);
    QCOMPARE(received, content);
    peer.SendToSession(RawPeer::Packet(kACK, 6));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
}

// An upload window arriving with a gap is acknowledged once up to the gap; the blocks
// after it are not written until the gap is filled, so the file comes out whole.
void TestKxTFTPOptions::windowGapInUpload()
{
    Served s(/*timeout*/ 300);
    const QByteArray content = RandomBytes(8 * 4 + 3, 6);
    RawPeer peer;
    peer.SendTo(s.Port(), RequestWith(kWRQ, "up.bin", "blksize 8 windowsize 4"));
    auto oack = peer.Receive();
    QVERIFY(oack);
    QCOMPARE(oack->data(), Oack("blksize 8 windowsize 4"));
    auto block = [&](quint16 n) { return RawPeer::Packet(kDATA, n, content.mid(8 * (n - 1), 8)); };
    peer.SendToSession(block(1));
    peer.SendToSession(block(3));
    peer.SendToSession(block(4));
    peer.SendToSession(block(3)); // a duplicate of an out-of-order block
    QCOMPARE(Distinct(Blocks(peer.ReceiveFor(200), kACK)), QList<quint16>{1});
    for (quint16 n : {2, 3, 4})
        peer.SendToSession(block(n));
    QCOMPARE(Distinct(Blocks(peer.ReceiveFor(200), kACK)), QList<quint16>{4});
    peer.SendToSession(block(5));
    auto last = peer.Receive();
    QVERIFY(last);
    QCOMPARE(last->data(), RawPeer::Packet(kACK, 5));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
    QCOMPARE(ReadFile(s.Path("up.bin")), content);
}

void TestKxTFTPOptions::announcedSize_data()
{
    QTest::addColumn<QByteArray>("tsize");
    QTest::addColumn<int>("sent"); // bytes the client goes on to send
    QTest::addColumn<int>("code");
    QTest::addColumn<quint16>("errorCode"); // 0: the transfer succeeds
    QTest::newRow("as announced") << QByteArray("12") << 12 << int(KxTFTPCode::Success) << quint16(0);
    QTest::newRow("more than announced") << QByteArray("10") << 12 << int(KxTFTPCode::BadPacket) << quint16(4);
    QTest::newRow("less than announced") << QByteArray("20") << 12 << int(KxTFTPCode::BadPacket) << quint16(4);
    QTest::newRow("more than the disk holds") << QByteArray("100000000000000000") << 12
                                              << int(KxTFTPCode::DiskFull) << quint16(3);
}

// A write's tsize is checked against the free space before anything is accepted, and a
// transfer that ends up another size than announced fails, keeping the old file.
void TestKxTFTPOptions::announcedSize()
{
    QFETCH(QByteArray, tsize);
    QFETCH(int, sent);
    QFETCH(int, code);
    QFETCH(quint16, errorCode);
    Served s;
    QVERIFY(WriteFile(s.Path("cfg.kcf"), "old settings"));
    const QByteArray content = RandomBytes(sent, 8);
    RawPeer peer;
    peer.SendTo(s.Port(), RequestWith(kWRQ, "cfg.kcf", "tsize " + tsize + " blksize 8"));
    auto first = peer.Receive();
    QVERIFY(first);
    QList<QByteArray> answers{first->data()};
    if (RawPeer::Opcode(*first) == kOACK) {
        QCOMPARE(first->data(), Oack("tsize " + tsize + " blksize 8"));
        for (int at = 0, n = 1; at <= sent; at += 8, ++n) {
            peer.SendToSession(RawPeer::Packet(kDATA, quint16(n), content.mid(at, 8)));
            if (auto answer = peer.Receive())
                answers << answer->data();
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), code, 2000);
    if (errorCode) {
        QCOMPARE(Blocks({answers.last()}, kERROR), QList<quint16>{errorCode});
        QCOMPARE(ReadFile(s.Path("cfg.kcf")), QByteArray("old settings"));
    } else {
        QCOMPARE(ReadFile(s.Path("cfg.kcf")), content);
    }
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cfg.kcf"});
}

// The command-line server grants no block above its --max-blksize.
void TestKxTFTPOptions::commandLineBlockCap()
{
    QTemporaryDir served;
    QVERIFY(WriteFile(served.filePath(QStringLiteral("fw.bin")), RandomBytes(1500, 9)));
    QProcess server;
    server.start(QStringLiteral(RWN3460_TFTPD),
                 {served.path(), "--port", "0", "--max-blksize", "1024"});
    QVERIFY(server.waitForStarted(5000));
    QByteArray banner;
    QTRY_VERIFY_WITH_TIMEOUT((banner += server.readAllStandardError()).contains('\n'), 10000);
    const quint16 port = quint16(banner.mid(banner.lastIndexOf(' ') + 1).trimmed().toUInt());
    QVERIFY2(port != 0, banner.constData());
    RawPeer peer;
    peer.SendTo(port, RequestWith(kRRQ, "fw.bin", "blksize 1428"));
    auto oack = peer.Receive();
    QVERIFY(oack);
    QCOMPARE(oack->data(), Oack("blksize 1024"));
    peer.SendToSession(RawPeer::Packet(kACK, 0));
    auto data = peer.Receive();
    QVERIFY(data);
    QCOMPARE(data->data().size(), 4 + 1024);
    peer.SendToSession(RawPeer::Packet(kERROR, 0, QByteArray(1, '\0'))); // the client gives up
    server.terminate();
    QTRY_COMPARE_WITH_TIMEOUT(server.state(), QProcess::NotRunning, 10000);
}

QTEST_GUILESS_MAIN(TestKxTFTPOptions)
#include "tst_kxtftpoptions.moc"
