// Packet-level behaviour of the server that real clients do not show: repeats, stale and
// foreign packets, malformed datagrams, time-outs, cancelling, start and stop.
#include "TftpFixture.h"

#include <QElapsedTimer>
#include <QTest>

#include "KxErrors.h"
#include "KxTFTPProtocol.h"

using namespace tftptest;

class TestKxTFTPSession : public QObject {
    Q_OBJECT
private slots:
    void repeatedRequestMakesNoSecondSession();
    void unacknowledgedBlockTimesOut();
    void staleAckIsIgnored();
    void foreignPortCannotTakeOver();
    void malformedRequests_data();
    void malformedRequests();
    void malformedSessionPackets();
    void repeatedDataIsAcknowledgedOnce();
    void repeatedWriteRequestIsAnsweredAgain();
    void peerErrorEndsSession_data();
    void peerErrorEndsSession();
    void nameBytesAreKept_data();
    void nameBytesAreKept();
    void lostDatagramsInDownload();
    void duplicateAckStartsNoSecondStream();
    void lossInUpload();
    void abandonedUploadKeepsOldFile();
    void cancelStopsTransfer();
    void startAndStop();
    void stopWaitsForSessions();
    void idleServerDoesNotWake();
};

namespace {
constexpr quint16 kRRQ = 1, kWRQ = 2, kDATA = 3, kACK = 4, kERROR = 5;
}

// The same request from the same port (a client repeating itself) is no new session;
// the same request from another port is.
void TestKxTFTPSession::repeatedRequestMakesNoSecondSession()
{
    Served s(50); // a retransmission would come after 500 ms
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(2000, 1)));
    RawPeer peer;
    const QByteArray rrq = RawPeer::Request(kRRQ, "a.bin");
    peer.SendTo(s.Port(), rrq);
    peer.SendTo(s.Port(), rrq);
    auto first = peer.Receive();
    QVERIFY(first);
    QCOMPARE(RawPeer::Block(*first), quint16(1));
    QVERIFY(!peer.Receive(300)); // the repeat produced no second DATA 1
    QCOMPARE(s.server.SessionCount(), 1);
    QCOMPARE(s.Count(KxTFTPCode::Connected), 1);

    RawPeer other;
    other.SendTo(s.Port(), rrq);
    QVERIFY(other.Receive());
    QCOMPARE(s.server.SessionCount(), 2);
    QCOMPARE(s.server.Template().SessionNo, 1);
}

// A client that never acknowledges gets block 1 `Retries` times, `Timeout` apart, and
// the session then reports a time-out.
void TestKxTFTPSession::unacknowledgedBlockTimesOut()
{
    Served s(/*timeout*/ 10, /*retries*/ 3); // 100 ms
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(700, 2)));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QElapsedTimer clock;
    QList<qint64> arrivals;
    for (int i = 0; i < 3; ++i) {
        auto d = peer.Receive(2000);
        QVERIFY(d);
        if (i == 0)
            clock.start();
        arrivals << clock.elapsed();
        QCOMPARE(RawPeer::Opcode(*d), kDATA);
        QCOMPARE(RawPeer::Block(*d), quint16(1));
        QCOMPARE(d->data().size(), 4 + 512);
    }
    QVERIFY(!peer.Receive(250)); // no fourth send
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Timeout, 2000);
    QCOMPARE(s.Outcome(0)->Text, QStringLiteral("(KxTFTP) Timeout!"));
    QCOMPARE(s.Outcome(0)->RetryCount, 3);
    QVERIFY2(arrivals[1] >= 90 && arrivals[2] >= 190, qPrintable(QString::number(arrivals[2])));
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 2000);
}

// An ACK of a block already acknowledged (or never sent) neither sends a block nor moves
// the retransmission deadline.
void TestKxTFTPSession::staleAckIsIgnored()
{
    Served s(/*timeout*/ 30, /*retries*/ 3); // 300 ms
    s.server.ResendFloor = 300; // so that the resend is due 300 ms after the send
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(1500, 3)));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(peer.Receive());
    peer.SendToSession(RawPeer::Packet(kACK, 1));
    auto block2 = peer.Receive();
    QVERIFY(block2);
    QCOMPARE(RawPeer::Block(*block2), quint16(2));
    QElapsedTimer clock;
    clock.start();
    for (quint16 stale : {quint16(1), quint16(0), quint16(7)}) {
        Spin(60);
        peer.SendToSession(RawPeer::Packet(kACK, stale));
    }
    auto resent = peer.Receive(1000);
    QVERIFY(resent);
    QCOMPARE(RawPeer::Block(*resent), quint16(2)); // a retransmission, not block 3
    // Due 300 ms after the first send; a deadline reset by the last stale ACK (at about
    // 180 ms) would have put it near 480 ms.
    QVERIFY2(clock.elapsed() < 420, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(resent->data(), block2->data());
}

// A packet from another port reaching a session's port is answered with ERROR 5 and
// changes nothing: the transfer goes on with its own client.
void TestKxTFTPSession::foreignPortCannotTakeOver()
{
    Served s(/*timeout*/ 20, /*retries*/ 3);
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(1500, 4)));
    RawPeer client, stranger;
    client.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(client.Receive());
    stranger.SendTo(client.sessionPort, RawPeer::Packet(kACK, 1));
    auto refused = stranger.Receive();
    QVERIFY(refused);
    QCOMPARE(RawPeer::Opcode(*refused), kERROR);
    QCOMPARE(RawPeer::Block(*refused), quint16(KxTFTP::UnknownTransferId));
    // The session's retransmission still goes to its client, not to the stranger.
    auto resent = client.Receive(1000);
    QVERIFY(resent);
    QCOMPARE(RawPeer::Block(*resent), quint16(1));
    QVERIFY(!stranger.Receive(100));
    client.SendToSession(RawPeer::Packet(kACK, 1));
    auto next = client.Receive();
    QVERIFY(next);
    QCOMPARE(RawPeer::Block(*next), quint16(2));
    QCOMPARE(s.Outcome(0), std::nullopt);
}

void TestKxTFTPSession::malformedRequests_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::newRow("three bytes") << QByteArray("\0\1a", 3);
    QTest::newRow("no terminator") << QByteArray("\0\1a.bin", 7);
    QTest::newRow("name but no mode") << QByteArray("\0\1a.bin\0octet", 13);
    QTest::newRow("data opcode") << RawPeer::Packet(kDATA, 1, "xyz");
    QTest::newRow("ack opcode") << RawPeer::Packet(kACK, 0);
    QTest::newRow("error opcode") << RawPeer::Packet(kERROR, 0, QByteArray(1, '\0'));
    QTest::newRow("unknown opcode") << RawPeer::Request(9, "a.bin");
}

// Malformed datagrams to the listening port are dropped without a reply or a session;
// a valid request afterwards becomes session 0.
void TestKxTFTPSession::malformedRequests()
{
    QFETCH(QByteArray, datagram);
    Served s(10); // the session left behind ends quickly
    QVERIFY(WriteFile(s.Path("a.bin"), QByteArray("x")));
    RawPeer peer;
    peer.SendTo(s.Port(), datagram);
    QVERIFY(!peer.Receive(150));
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(peer.Receive());
    QCOMPARE(s.Count(KxTFTPCode::Connected), 1);
    QCOMPARE(s.server.Template().SessionNo, 0);
}

// Short packets and the wrong opcode for the direction are ignored: the next valid ACK
// is the first thing that gets an answer.
void TestKxTFTPSession::malformedSessionPackets()
{
    Served s(30);
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(1500, 5)));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(peer.Receive());
    for (const QByteArray &junk : {QByteArray("\0\4", 2), QByteArray(), RawPeer::Packet(kDATA, 1, "zz"),
                                   RawPeer::Request(kRRQ, "a.bin"), RawPeer::Packet(77, 1)})
        peer.SendToSession(junk);
    peer.SendToSession(RawPeer::Packet(kACK, 1));
    auto next = peer.Receive();
    QVERIFY(next);
    QCOMPARE(RawPeer::Opcode(*next), kDATA);
    QCOMPARE(RawPeer::Block(*next), quint16(2));
    QCOMPARE(s.Outcome(0), std::nullopt);
}

// When the server's ACK is lost the client repeats its DATA; the server acknowledges it
// again and writes it only once.
void TestKxTFTPSession::repeatedDataIsAcknowledgedOnce()
{
    Served s;
    const QByteArray one = RandomBytes(512, 6), two("tail");
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kWRQ, "up.bin"));
    auto ack0 = peer.Receive();
    QVERIFY(ack0);
    QCOMPARE(ack0->data(), RawPeer::Packet(kACK, 0));
    peer.SendToSession(RawPeer::Packet(kDATA, 1, one));
    auto ack1 = peer.Receive();
    QVERIFY(ack1);
    QCOMPARE(ack1->data(), RawPeer::Packet(kACK, 1));
    peer.SendToSession(RawPeer::Packet(kDATA, 1, one));
    auto again = peer.Receive();
    QVERIFY(again);
    QCOMPARE(again->data(), RawPeer::Packet(kACK, 1));
    peer.SendToSession(RawPeer::Packet(kDATA, 3, two)); // skips a block: ignored
    // Only ACK 1 again (resent while block 2 is missing), never an ACK of block 3.
    for (const QByteArray &answer : peer.ReceiveFor(150))
        QCOMPARE(answer, RawPeer::Packet(kACK, 1));
    peer.SendToSession(RawPeer::Packet(kDATA, 2, two));
    auto ack2 = peer.Receive();
    QVERIFY(ack2);
    QCOMPARE(ack2->data(), RawPeer::Packet(kACK, 2));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
    QCOMPARE(ReadFile(s.Path("up.bin")), one + two);
}

// A device that lost ACK 0 repeats its write request from the same port: the session
// answers it with ACK 0 again (no second session) and the upload then goes on.
void TestKxTFTPSession::repeatedWriteRequestIsAnsweredAgain()
{
    Served s;
    RawPeer peer;
    const QByteArray wrq = RawPeer::Request(kWRQ, "cfg.kcf");
    peer.SendTo(s.Port(), wrq);
    auto ack0 = peer.Receive();
    QVERIFY(ack0);
    QCOMPARE(ack0->data(), RawPeer::Packet(kACK, 0));
    peer.SendTo(s.Port(), wrq);
    auto again = peer.Receive(500);
    QVERIFY(again);
    QCOMPARE(again->data(), RawPeer::Packet(kACK, 0));
    QCOMPARE(again->senderPort(), int(peer.sessionPort));
    QCOMPARE(s.server.SessionCount(), 1);
    peer.SendToSession(RawPeer::Packet(kDATA, 1, "settings"));
    auto ack1 = peer.Receive();
    QVERIFY(ack1);
    QCOMPARE(ack1->data(), RawPeer::Packet(kACK, 1));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
    QCOMPARE(ReadFile(s.Path("cfg.kcf")), QByteArray("settings"));
    QCOMPARE(s.Count(KxTFTPCode::Connected), 1);
}

void TestKxTFTPSession::peerErrorEndsSession_data()
{
    QTest::addColumn<bool>("get");
    QTest::addColumn<quint16>("errorCode");
    QTest::addColumn<int>("code");
    for (bool get : {true, false}) {
        const char *way = get ? "get" : "put";
        QTest::addRow("%s, not defined", way) << get << quint16(0) << int(KxTFTPCode::Undefined);
        QTest::addRow("%s, disk full", way) << get << quint16(3) << int(KxTFTPCode::DiskFull);
        QTest::addRow("%s, no such user", way) << get << quint16(7) << int(KxTFTPCode::NoSuchUser);
        QTest::addRow("%s, option refused", way) << get << quint16(8) << int(KxTFTPCode::Undefined);
    }
}

// An ERROR from the client ends the session at once with the matching code: nothing is
// resent to it, it is not answered, and an upload leaves the previous file alone.
void TestKxTFTPSession::peerErrorEndsSession()
{
    QFETCH(bool, get);
    QFETCH(quint16, errorCode);
    QFETCH(int, code);
    Served s(/*timeout*/ 20, /*retries*/ 3);
    const QByteArray previous = RandomBytes(1500, 12);
    QVERIFY(WriteFile(s.Path("a.bin"), previous));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(get ? kRRQ : kWRQ, "a.bin"));
    QVERIFY(peer.Receive());
    if (!get) {
        peer.SendToSession(RawPeer::Packet(kDATA, 1, RandomBytes(512, 13)));
        QVERIFY(peer.Receive());
    }
    peer.SendToSession(RawPeer::Packet(kERROR, errorCode, QByteArray("no\0", 3)));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), code, 150);
    QCOMPARE(s.Outcome(0)->Text, KxTFTPText(code));
    QVERIFY(!peer.Receive(400)); // no retransmission, no ERROR in reply
    QCOMPARE(s.server.SessionCount(), 0);
    QCOMPARE(s.Count(KxTFTPCode::Timeout), 0);
    QCOMPARE(ReadFile(s.Path("a.bin")), previous);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.bin"});
}

void TestKxTFTPSession::nameBytesAreKept_data()
{
    QTest::addColumn<bool>("get");
    QTest::newRow("get") << true;
    QTest::newRow("put") << false;
}

// A name that is not UTF-8 is refused as unsafe: it must not be served or created under
// its replacement-character reading (U+FFFD, which is a file here).
void TestKxTFTPSession::nameBytesAreKept()
{
    QFETCH(bool, get);
    Served s;
    const QString lookalike = QString::fromUtf8("a\xEF\xBF\xBD.bin");
    const QByteArray secret("not for this name");
    QVERIFY(WriteFile(s.Path(lookalike), secret));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(get ? kRRQ : kWRQ, "a\xFF.bin"));
    auto answer = peer.Receive();
    QVERIFY(answer);
    QCOMPARE(answer->data(), RawPeer::Packet(kERROR, KxTFTP::AccessViolation, QByteArray(1, '\0')));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::AccessViolation, 2000);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{lookalike});
    QCOMPARE(ReadFile(s.Path(lookalike)), secret);
}

// A download with the firmware screen's time-out (30 s) whose client misses block 1, then
// block 2, then whose ACK of the last block is lost: each is sent again after about a
// round trip (block 1 after the first guess of one second), never after the time-out.
void TestKxTFTPSession::lostDatagramsInDownload()
{
    Served s(/*timeout*/ 3000, /*retries*/ 3);
    const QByteArray content = RandomBytes(1500, 14);
    QVERIFY(WriteFile(s.Path("fw.bin"), content));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "fw.bin"));
    QByteArray received;
    QElapsedTimer clock;
    for (quint16 block = 1; block <= 3; ++block) {
        auto first = peer.Receive();
        QVERIFY(first);
        QCOMPARE(RawPeer::Block(*first), block);
        clock.start();
        auto again = peer.Receive(2500); // lost, or its ACK is: the same block comes again
        QVERIFY(again);
        QCOMPARE(again->data(), first->data());
        const qint64 limit = block == 1 ? 1500 : 500;
        QVERIFY2(clock.elapsed() < limit, qPrintable(QString::number(clock.elapsed())));
        received += again->data().mid(4);
        peer.SendToSession(RawPeer::Packet(kACK, block));
    }
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
    QCOMPARE(received, content);
}

// A duplicated ACK (the network copied it) is answered with nothing: one DATA per block.
void TestKxTFTPSession::duplicateAckStartsNoSecondStream()
{
    Served s(/*timeout*/ 100, /*retries*/ 3);
    s.server.ResendFloor = 1000; // no resend during the test
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(4 * 512 + 10, 15)));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(peer.Receive());
    QList<quint16> blocks;
    for (quint16 block = 1; block <= 5; ++block) {
        peer.SendToSession(RawPeer::Packet(kACK, block));
        peer.SendToSession(RawPeer::Packet(kACK, block));
        for (const QByteArray &answer : peer.ReceiveFor(block < 5 ? 150 : 50))
            blocks << qFromBigEndian<quint16>(answer.constData() + 2);
    }
    QCOMPARE(blocks, (QList<quint16>{2, 3, 4, 5}));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
    QCOMPARE(s.Outcome(0)->TotalBytes, qint64(4 * 512 + 10));
}

// An upload that loses ACK 1, gets a late copy of block 1 after block 2, and loses the
// final ACK: the last ACK is sent again, the late copy changes nothing, the repeated last
// block is answered after success, and the file is put in place once.
void TestKxTFTPSession::lossInUpload()
{
    Served s(/*timeout*/ 100, /*retries*/ 3);
    const QByteArray one = RandomBytes(512, 16), two = RandomBytes(512, 17), three("end");
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kWRQ, "up.bin"));
    QVERIFY(peer.Receive());
    peer.SendToSession(RawPeer::Packet(kDATA, 1, one));
    QCOMPARE(peer.Receive()->data(), RawPeer::Packet(kACK, 1));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(peer.Receive()->data(), RawPeer::Packet(kACK, 1)); // "lost": sent again
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    peer.SendToSession(RawPeer::Packet(kDATA, 2, two));
    QCOMPARE(peer.Receive()->data(), RawPeer::Packet(kACK, 2));
    peer.SendToSession(RawPeer::Packet(kDATA, 1, RandomBytes(512, 99))); // late copy
    peer.SendToSession(RawPeer::Packet(kDATA, 3, three));
    QList<QByteArray> answers = peer.ReceiveFor(100);
    QVERIFY(!answers.isEmpty());
    QCOMPARE(answers.last(), RawPeer::Packet(kACK, 3));
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Success, 2000);
    QCOMPARE(ReadFile(s.Path("up.bin")), one + two + three);

    // The final ACK was "lost": the client sends its last block again and hears the ACK
    // again. The file in place is not written or renamed again.
    QVERIFY(WriteFile(s.Path("up.bin"), "moved on"));
    peer.SendToSession(RawPeer::Packet(kDATA, 3, three));
    auto ack3 = peer.Receive(500);
    QVERIFY(ack3);
    QCOMPARE(ack3->data(), RawPeer::Packet(kACK, 3));
    QCOMPARE(ReadFile(s.Path("up.bin")), QByteArray("moved on"));
    QCOMPARE(s.Count(KxTFTPCode::Success), 1);
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 3000);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"up.bin"});
}

// An upload whose client goes silent gets its last ACK again meanwhile and times out
// Timeout x Retries after the last block; the file it was replacing is untouched and no
// partial or temporary file remains.
void TestKxTFTPSession::abandonedUploadKeepsOldFile()
{
    Served s(/*timeout*/ 15, /*retries*/ 3); // 150 ms
    const QByteArray previous = RandomBytes(3000, 7);
    QVERIFY(WriteFile(s.Path("backup.kcf"), previous));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kWRQ, "backup.kcf"));
    QVERIFY(peer.Receive());
    for (quint16 block = 1; block <= 3; ++block) {
        peer.SendToSession(RawPeer::Packet(kDATA, block, RandomBytes(512, block)));
        QVERIFY(peer.Receive());
    }
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Timeout, 3000);
    QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
    const QList<QByteArray> resent = peer.ReceiveFor(50);
    QVERIFY(!resent.isEmpty());
    for (const QByteArray &answer : resent)
        QCOMPARE(answer, RawPeer::Packet(kACK, 3));
    QVERIFY(peer.ReceiveFor(150).isEmpty()); // nothing once the session has given up
    QCOMPARE(ReadFile(s.Path("backup.kcf")), previous);
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 2000);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.kcf"});
}

// The owner's handler cancels an upload in progress: the session reports -1114 and
// the previous file stays.
void TestKxTFTPSession::cancelStopsTransfer()
{
    Served s(30);
    QVERIFY(WriteFile(s.Path("cfg.kcf"), QByteArray("old")));
    s.onReport = [](const KxTFTPMsg &m, bool &cancel) {
        if (m.Code == KxTFTPCode::Transferring && m.TotalBytes >= 512)
            cancel = true;
    };
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kWRQ, "cfg.kcf"));
    QVERIFY(peer.Receive());
    peer.SendToSession(RawPeer::Packet(kDATA, 1, RandomBytes(512, 8)));
    QVERIFY(peer.Receive());
    peer.SendToSession(RawPeer::Packet(kDATA, 2, RandomBytes(512, 9)));
    // The client is told, not left to time out.
    auto told = peer.Receive();
    QVERIFY(told);
    QCOMPARE(RawPeer::Opcode(*told), kERROR);
    QTRY_COMPARE_WITH_TIMEOUT(s.OutcomeCode(0), KxTFTPCode::Canceled, 2000);
    QCOMPARE(s.Outcome(0)->Text, QStringLiteral("(KxTFTP) Transfer has been canceled."));
    QCOMPARE(ReadFile(s.Path("cfg.kcf")), QByteArray("old"));
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 2000);
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cfg.kcf"});
}

// Start's folder rules, a busy port, and Stop without sessions.
void TestKxTFTPSession::startAndStop()
{
    KxTFTPServer server;
    server.Start(QStringLiteral("/srv/files"), 0);
    const quint16 port = server.Port();
    QVERIFY(port != 0);
    QCOMPARE(server.Directory(), QStringLiteral("/srv/files/"));
    server.Start(QStringLiteral("/srv/other/"), 0);
    QCOMPARE(server.Directory(), QStringLiteral("/srv/other/"));
    QCOMPARE(server.Port(), port); // still the same socket
    server.Start(QStringLiteral("C:\\files\\"), 0);
    QCOMPARE(server.Directory(), QStringLiteral("C:\\files\\"));
    server.Start(QString(), 0);
    QCOMPARE(server.Directory(), QString());

    KxTFTPServer second;
    try {
        second.Start(QStringLiteral("/tmp"), port);
        QFAIL("a second server on a busy port must not start");
    } catch (const KxException &e) {
        QCOMPARE(e.HelpContext(), KxTFTPCode::SocketFailed);
        // The fixed text, then which port and why.
        QCOMPARE(e.Text(), QStringLiteral("(KxTFTP) Fail to open socket!Please check if the network is ready."
                                          " (UDP port %1: The bound address is already in use)").arg(port));
    }
    QVERIFY(!second.IsListening());

    QElapsedTimer clock;
    clock.start();
    server.Stop();
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(!server.IsListening());
}

// Stop lets a running session end (here by its time-out) before it returns, and the
// session is gone afterwards.
void TestKxTFTPSession::stopWaitsForSessions()
{
    Served s(/*timeout*/ 10, /*retries*/ 3); // given up 300 ms after the first send
    QVERIFY(WriteFile(s.Path("a.bin"), RandomBytes(700, 10)));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(peer.Receive());
    QElapsedTimer clock;
    clock.start();
    s.server.Stop();
    QVERIFY2(clock.elapsed() >= 150 && clock.elapsed() < 5000,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(s.server.SessionCount(), 0);
    QCOMPARE(s.OutcomeCode(0), KxTFTPCode::Timeout);
    QCOMPARE(s.reports.last().Code, KxTFTPCode::Disconnected);
    QVERIFY(!s.server.IsListening());
    QVERIFY(!s.server.SweepActive());
}

// The sweep runs only while sessions exist.
void TestKxTFTPSession::idleServerDoesNotWake()
{
    Served s;
    QVERIFY(!s.server.SweepActive());
    QVERIFY(WriteFile(s.Path("a.bin"), QByteArray("x")));
    RawPeer peer;
    peer.SendTo(s.Port(), RawPeer::Request(kRRQ, "a.bin"));
    QVERIFY(peer.Receive());
    QVERIFY(s.server.SweepActive());
    peer.SendToSession(RawPeer::Packet(kACK, 1));
    QTRY_COMPARE_WITH_TIMEOUT(s.server.SessionCount(), 0, 2000);
    QVERIFY(!s.server.SweepActive());
    QCOMPARE(s.OutcomeCode(0), KxTFTPCode::Success);
    QCOMPARE(s.reports.last().Code, KxTFTPCode::Disconnected);
}

QTEST_GUILESS_MAIN(TestKxTFTPSession)
#include "tst_kxtftpsession.moc"
