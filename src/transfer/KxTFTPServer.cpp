#include "KxTFTPServer.h"

#include "KxDiagnostics.h"
#include "KxErrors.h"
#include "KxTFTPProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QUdpSocket>
#include <QtEndian>

namespace {
constexpr int kSweepMs = 20;
constexpr int kStopWaitMs = 10000;

// A finished upload answers a repeated last block for one time-out interval, but not
// longer than this: clients repeat within seconds.
constexpr qint64 kLingerMaxMs = 10000;
// Later resends of an upload's ACK: 1 s, then doubling.
constexpr int kAckBackoffMs = 1000;

const QElapsedTimer &Clock()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock;
}

// Monotonic milliseconds, never 0 (0 marks "no deadline").
qint64 Now()
{
    return Clock().elapsed() + 1;
}

qint64 NowUs()
{
    return Clock().nsecsElapsed() / 1000;
}
} // namespace

// ---------------------------------------------------------------------------------------
// _TFTPSession

_TFTPSession::_TFTPSession(const KxTFTPMsg &from, const KxTFTP::Request &request,
                           int retries, int resendFloorMs, int maxBlockSize,
                           KxTFTPHandler handler, QObject *owner, const QString &directory,
                           const QHostAddress &peer, QObject *parent)
    : QObject(parent), Msg(from), m_name(request.fileName), m_options(request.options),
      m_maxBlockSize(maxBlockSize), m_giveUpMs(10 * qMax(1, from.Timeout)),
      m_retries(qMax(1, retries)), m_resendFloor(resendFloorMs),
      m_clock(10 * qMax(1, from.Timeout), resendFloorMs), m_handler(std::move(handler)),
      m_owner(owner), m_directory(directory), m_peer(peer),
      m_peerPort(quint16(from.RemotePort))
{
    Msg.TotalBytes = 0;
    Msg.BlockBytes = -1;
    Msg.RetryCount = 0;
    m_started = Now();
    Report(KxTFTPCode::Connected);
}

_TFTPSession::~_TFTPSession()
{
    CloseFile();
}

bool _TFTPSession::Open()
{
    m_receive.resize(KxTFTP::BufferSize);
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(QHostAddress::AnyIPv4, 0)) {
        Report(KxTFTPCode::SocketFailed);
        return false;
    }
    connect(m_socket, &QUdpSocket::readyRead, this, &_TFTPSession::ReadDatagrams);
    return true;
}

void _TFTPSession::Report(int code)
{
    // Progress is reported for every block: its text is looked up once, not each time.
    if (code != Msg.Code || Msg.Text.isEmpty())
        Msg.Text = KxTFTPText(code);
    Msg.Code = code;
    Trace(code);
    if (m_handler)
        m_handler(m_owner, Msg, Cancel);
    if (code == KxTFTPCode::Success) {
        CloseFile();
        state = Finished;
    } else if (code < 0) {
        CloseFile();
        state = Failed;
    } else if (code <= KxTFTPCode::Transferring) {
        state = Active;
    }
}

// Every step but the blocks themselves: the start, the end and how it ended.
void _TFTPSession::Trace(int code) const
{
    if (!lcKxTftp().isDebugEnabled() || code == KxTFTPCode::Transferring)
        return;
    const QString session = QStringLiteral("session %1 %2:%3").arg(Msg.SessionNo).arg(m_peer.toString()).arg(m_peerPort);
    if (code == KxTFTPCode::Connected) {
        QStringList options;
        for (const KxTFTP::Option &o : m_options)
            options << QString::fromUtf8(o.name + '=' + o.value);
        qCDebug(lcKxTftp).noquote()
            << QStringLiteral("%1: the device %2 \"%3\" (%4), options: %5")
                   .arg(session, Msg.Operation == KxTFTP::RRQ ? QStringLiteral("reads") : QStringLiteral("writes"),
                        Msg.FileName, Msg.Mode,
                        options.isEmpty() ? QStringLiteral("none") : options.join(QLatin1Char(' ')));
        return;
    }
    qCDebug(lcKxTftp).noquote() << QStringLiteral("%1: %2 (%3) after %4 bytes, %5 retransmissions, %6 ms; block size %7, window %8")
                                       .arg(session, Msg.Text).arg(code).arg(Msg.TotalBytes).arg(m_resends)
                                       .arg(Now() - m_started).arg(m_blockSize).arg(m_window);
}

void _TFTPSession::CloseFile()
{
    m_reader.reset();
    // A write that did not complete leaves the previous file untouched: the save file
    // throws its temporary copy away unless it was committed.
    if (m_writer) {
        m_writer->cancelWriting();
        m_writer.reset();
    }
}

bool _TFTPSession::Send(const QByteArray &packet)
{
    return m_socket->writeDatagram(packet, m_peer, m_peerPort) == packet.size();
}

// The owner ended the session: the client hears it at once instead of timing out.
void _TFTPSession::Cancelled()
{
    Fail(KxTFTP::NotDefined, KxTFTPCode::Canceled);
}

void _TFTPSession::Fail(quint16 errorCode, int code)
{
    const bool sent = Send(KxTFTP::ErrorPacket(errorCode));
    Report(sent ? code : KxTFTPCode::SendFailed);
}

void _TFTPSession::Arm()
{
    Deadline = Now() + m_clock.IntervalMs();
}

// The session moved on: the give-up time counts from here.
void _TFTPSession::Progress()
{
    GiveUp = Now() + qint64(m_giveUpMs) * m_retries;
    Msg.RetryCount = 0;
}

void _TFTPSession::Begin()
{
    if (Cancel) {
        Cancelled();
        return;
    }
    const auto path = KxTFTP::ResolveName(m_directory, m_name);
    Progress();
    if (Msg.Operation == KxTFTP::RRQ) {
        if (!path) {
            Fail(KxTFTP::AccessViolation, KxTFTPCode::AccessViolation);
            return;
        }
        // Only regular files: opening a FIFO or device would block the window thread.
        auto file = std::make_unique<QFile>(*path);
        if (!QFileInfo(*path).isFile() || !file->open(QIODevice::ReadOnly)) {
            Fail(KxTFTP::FileNotFound, KxTFTPCode::FileNotFound);
            return;
        }
        m_reader = std::move(file);
        Settle(m_reader->size());
        if (m_oack.isEmpty()) {
            FillWindow();
            return;
        }
        // The client's ACK of block 0 confirms the options before any data goes out.
        m_acked = -1;
        m_flight.append(Sent{m_oack, NowUs(), false});
        Msg.RetryCount = 1;
        if (!Send(m_oack)) {
            Report(KxTFTPCode::SendFailed);
            return;
        }
        Arm();
        Report(KxTFTPCode::Transferring);
    } else if (Msg.Operation == KxTFTP::WRQ) {
        if (!path || (QFileInfo::exists(*path) && !QFileInfo(*path).isFile())) {
            Fail(KxTFTP::AccessViolation, KxTFTPCode::AccessViolation);
            return;
        }
        // Received into a temporary file beside the target, renamed over it only once
        // the last block is in: an abandoned backup never destroys the previous one.
        auto file = std::make_unique<QSaveFile>(*path);
        if (!file->open(QIODevice::WriteOnly)) {
            Fail(KxTFTP::AccessViolation, KxTFTPCode::AccessViolation);
            return;
        }
        m_writer = std::move(file);
        m_block = 0;
        Settle(-1);
        // Refused before a byte arrives rather than after most of them did (RFC 2349).
        const qint64 room = QStorageInfo(QFileInfo(*path).absolutePath()).bytesAvailable();
        if (room >= 0 && m_tsize > room) {
            Fail(KxTFTP::DiskFull, KxTFTPCode::DiskFull);
            return;
        }
        if (SendAck())
            Report(KxTFTPCode::Transferring);
    } else {
        Fail(KxTFTP::IllegalOperation, KxTFTPCode::BadOperation);
    }
}

// Takes the client's options; a read tells the client `fileSize` when it asks.
void _TFTPSession::Settle(qint64 fileSize)
{
    KxTFTP::Request request;
    request.opcode = quint16(Msg.Operation);
    request.options = m_options;
    const KxTFTP::Negotiated settled = KxTFTP::Negotiate(request, m_maxBlockSize, fileSize);
    m_blockSize = settled.blockSize;
    m_window = settled.window;
    m_tsize = settled.tsize;
    if (settled.timeoutS > 0) {
        m_clock.Fix(1000 * settled.timeoutS);
        m_giveUpMs = qMax(m_giveUpMs, 1000 * settled.timeoutS);
    }
    if (!settled.accepted.isEmpty())
        m_oack = KxTFTP::OackPacket(settled.accepted);
    m_receive.resize(qMax(KxTFTP::BufferSize, m_blockSize + 4 + 1));
    Progress();
}

// Sends blocks until the window is full or the file's last block is out.
void _TFTPSession::FillWindow()
{
    while (state == Active && !m_eof && m_acked >= 0 && m_block - m_acked < m_window) {
        if (!SendNextBlock())
            return;
    }
}

bool _TFTPSession::SendNextBlock()
{
    // The block is read straight into its packet, behind the header.
    QByteArray packet(4 + m_blockSize, Qt::Uninitialized);
    qToBigEndian<quint16>(KxTFTP::DATA, packet.data());
    qToBigEndian<quint16>(KxTFTP::WireBlock(m_block + 1), packet.data() + 2);
    const qint64 n = m_reader->read(packet.data() + 4, m_blockSize);
    if (n < 0) {
        // Never mistaken for the end of the file: the client is told the transfer failed.
        Fail(KxTFTP::NotDefined, KxTFTPCode::Undefined);
        return false;
    }
    packet.resize(4 + n);
    Msg.BlockBytes = qint32(n);
    Msg.TotalBytes += n;
    m_eof = n < m_blockSize;
    ++m_block;
    const Sent sent{packet, NowUs(), false};
    if (m_flight.isEmpty())
        Msg.RetryCount = 1;
    m_flight.append(sent);
    if (!Send(sent.packet)) {
        Report(KxTFTPCode::SendFailed);
        return false;
    }
    if (m_flight.size() == 1)
        Arm();
    Report(KxTFTPCode::Transferring);
    return true;
}

bool _TFTPSession::SendAck()
{
    // An OACK takes the place of ACK 0 (RFC 2347).
    const QByteArray packet = m_block == 0 && !m_oack.isEmpty()
                                  ? m_oack
                                  : KxTFTP::AckPacket(KxTFTP::WireBlock(m_block));
    m_ack = Sent{packet, NowUs(), false};
    m_acked = m_block;
    if (!Send(m_ack.packet)) {
        Report(KxTFTPCode::SendFailed);
        return false;
    }
    Msg.RetryCount = 1;
    Arm();
    return true;
}

// Karn's rule: the answer to a packet sent more than once cannot say which send it
// answers, so it is no measurement; but until there is one, the time since the last
// send is a better guess than the initial second. Progress ends any back-off.
void _TFTPSession::Measure(const Sent &sent)
{
    if (!sent.resent || !m_clock.Measured())
        m_clock.Sample(NowUs() - sent.at);
    else
        m_clock.EndBackoff();
}

void _TFTPSession::Repeated()
{
    // A device that lost ACK 0 (or the OACK) asks again and waits for it before sending
    // or acknowledging any data.
    if (state == Active && m_writer && m_block == 0)
        ResendAck();
    else if (state == Active && m_reader && m_acked < 0)
        Resend();
}

void _TFTPSession::Retransmit()
{
    if (state != Active)
        return;
    m_clock.Backoff();
    ++Msg.RetryCount;
    ++m_resends;
    if (m_reader) {
        // The window starts again from the first unacknowledged block (RFC 7440).
        if (!Resend())
            return;
    } else if (m_block != m_acked) {
        // Part of a window is missing: acknowledge what arrived in order (RFC 7440).
        if (!SendAck())
            return;
        m_ack.resent = true;
    } else {
        if (!ResendAck())
            return;
        // The first resend, after a round trip, repairs a lost ACK. If the client's block
        // was lost instead, its own timer must act, and some clients (tftp-hpa) start that
        // timer again on every duplicate ACK, so later resends wait a second and more;
        // others (atftp) answer only a duplicate ACK, so there are later resends.
        Deadline = Now() + (qint64(kAckBackoffMs) << qMin(Msg.RetryCount - 2, 16));
        Report(KxTFTPCode::Transferring);
        return;
    }
    Arm();
    Report(KxTFTPCode::Transferring);
}

bool _TFTPSession::Resend()
{
    for (Sent &sent : m_flight) {
        sent.resent = true;
        sent.at = NowUs();
        if (!Send(sent.packet)) {
            Report(KxTFTPCode::SendFailed);
            return false;
        }
    }
    return true;
}

bool _TFTPSession::ResendAck()
{
    m_ack.resent = true;
    m_ack.at = NowUs();
    if (!Send(m_ack.packet)) {
        Report(KxTFTPCode::SendFailed);
        return false;
    }
    return true;
}

void _TFTPSession::ReadDatagrams()
{
    while (m_socket->hasPendingDatagrams()) {
        QHostAddress from;
        quint16 port = 0;
        const qint64 n = m_socket->readDatagram(m_receive.data(), m_receive.size(), &from, &port);
        const bool lingering = state == Finished && Linger != 0;
        if ((state != Active || (!m_reader && !m_writer)) && !lingering)
            continue;
        if (n < 0)
            continue;
        // A stranger is told it has the wrong transfer and cannot take the transfer over.
        if (port != m_peerPort || !(from == m_peer)) {
            m_socket->writeDatagram(KxTFTP::ErrorPacket(KxTFTP::UnknownTransferId), from, port);
            continue;
        }
        const auto header = KxTFTP::ParseHeader(m_receive.constData(), n);
        if (!header)
            continue;
        if (lingering) {
            // The client missed the final ACK and sends its last block again.
            if (header->opcode == KxTFTP::DATA && header->block == KxTFTP::WireBlock(m_block))
                ResendAck();
            continue;
        }
        if (header->opcode == KxTFTP::ERROR)
            OnError(header->block);
        else if (m_reader && header->opcode == KxTFTP::ACK)
            OnAck(header->block);
        else if (m_writer && header->opcode == KxTFTP::DATA)
            OnData(header->block, m_receive.constData() + 4, n - 4);
    }
}

void _TFTPSession::OnAck(quint16 block)
{
    // Only a block sent and not yet acknowledged counts. A duplicate or stale ACK changes
    // nothing, and above all sends nothing: answering it is the Sorcerer's Apprentice
    // fault (RFC 1123), which sends the rest of the file twice.
    qsizetype acked = -1;
    for (qsizetype i = 0; i < m_flight.size(); ++i) {
        if (KxTFTP::WireBlock(m_acked + 1 + i) == block)
            acked = i;
    }
    if (acked < 0)
        return;
    Measure(m_flight[acked]);
    m_flight.remove(0, acked + 1);
    m_acked += acked + 1;
    Deadline = 0;
    Progress();
    if (Cancel) {
        Cancelled();
        return;
    }
    if (m_eof && m_flight.isEmpty()) {
        Report(KxTFTPCode::Success);
        return;
    }
    // Blocks after an acknowledged one in the middle of a window were lost or are late:
    // the window starts again there (RFC 7440).
    if (!Resend())
        return;
    if (!m_flight.isEmpty()) {
        Msg.RetryCount = 2;
        Arm();
    }
    FillWindow();
}

void _TFTPSession::OnData(quint16 block, const char *payload, qsizetype size)
{
    if (block != KxTFTP::WireBlock(m_block + 1)) {
        if (block == KxTFTP::WireBlock(m_block) && m_block > 0) {
            // Our ACK was lost and the client sends the block again: acknowledge it again.
            // Not a copy that crossed our ACK, though: a client with the Sorcerer's
            // Apprentice fault answers every duplicate ACK with a duplicate block, and
            // acknowledging those would double the rest of the upload.
            if (NowUs() - m_ack.at >= 1000 * qint64(m_resendFloor))
                ResendAck();
        } else if (m_window > 1 && !m_gapAcked && m_block > 0
                   && quint16(block - KxTFTP::WireBlock(m_block + 1)) < quint16(m_window)) {
            // A block of this window went missing: say once where it must start again.
            m_gapAcked = true;
            SendAck();
        }
        return;
    }
    if (m_block == m_acked)
        Measure(m_ack);
    Deadline = 0;
    ++m_block;
    m_gapAcked = false;
    Progress();
    if (Cancel) {
        Cancelled();
        return;
    }
    // More than the negotiated block, or than the announced size, is no part of this file.
    if (size > m_blockSize || (m_tsize >= 0 && Msg.TotalBytes + size > m_tsize)) {
        Fail(KxTFTP::IllegalOperation, KxTFTPCode::BadPacket);
        return;
    }
    if (m_writer->write(payload, size) != size || m_writer->error() != QFileDevice::NoError) {
        Fail(KxTFTP::DiskFull, KxTFTPCode::DiskFull);
        return;
    }
    Msg.BlockBytes = qint32(size);
    Msg.TotalBytes += size;
    if (size < m_blockSize) {
        OnLastBlock(payload, size);
        return;
    }
    if (m_block - m_acked < m_window) {
        Arm(); // the rest of the window is on its way
        return;
    }
    if (SendAck())
        Report(KxTFTPCode::Transferring);
}

void _TFTPSession::OnLastBlock(const char *, qsizetype)
{
    // The file is in place before the client hears that the transfer is complete, and it
    // is renamed into place only once: a repeated last block is only acknowledged again.
    if (m_tsize >= 0 && Msg.TotalBytes != m_tsize) {
        Fail(KxTFTP::IllegalOperation, KxTFTPCode::BadPacket); // fewer bytes than announced
        return;
    }
    if (!m_writer->commit()) {
        m_writer.reset();
        Fail(KxTFTP::DiskFull, KxTFTPCode::DiskFull);
        return;
    }
    m_writer.reset();
    if (!SendAck())
        return;
    Deadline = 0;
    Linger = Now() + qMin<qint64>(10 * qint64(qMax(1, Msg.Timeout)), kLingerMaxMs);
    Report(KxTFTPCode::Success);
}

void _TFTPSession::OnError(quint16 errorCode)
{
    // The client gave up: resending to it would only prolong a transfer that is over.
    // Never answered with an ERROR of our own (RFC 1350).
    Deadline = 0;
    Report(errorCode <= KxTFTP::NoSuchUser ? KxTFTPCode::Undefined - errorCode
                                           : KxTFTPCode::Undefined);
}

// ---------------------------------------------------------------------------------------
// KxTFTPServer

KxTFTPServer::KxTFTPServer(QObject *parent) : QObject(parent)
{
    const QHostInfo host = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress &address : host.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            m_template.LocalAddress = address.toString();
            break;
        }
    }
    m_sweep.setInterval(kSweepMs);
    connect(&m_sweep, &QTimer::timeout, this, &KxTFTPServer::Sweep);
}

KxTFTPServer::~KxTFTPServer()
{
    Stop();
    // No reports from here: the owner that would hear them is being destroyed.
    qDeleteAll(m_sessions);
}

void KxTFTPServer::SetTimeout(int timeout, int retries)
{
    m_template.Timeout = timeout;
    Retries = retries;
}

void KxTFTPServer::SetOnMessage(KxTFTPHandler handler, QObject *owner)
{
    m_handler = std::move(handler);
    m_owner = owner;
}

void KxTFTPServer::Start(const QString &directory, quint16 port)
{
    m_directory = directory;
    if (!m_directory.isEmpty() && !m_directory.endsWith(QLatin1Char('/'))
        && !m_directory.endsWith(QLatin1Char('\\')))
        m_directory += QLatin1Char('/');
    if (m_listen)
        return;
    m_template.ServerPort = port;
    m_listen = new QUdpSocket(this);
    // No address sharing: a second server on a busy port must fail, not split requests.
    if (!m_listen->bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress)) {
        // The user needs to know which port, and why: in use by another server, or
        // reserved for administrators.
        const QString reason = QStringLiteral(" (UDP port %1: %2)").arg(port).arg(m_listen->errorString());
        qCDebug(lcKxTftp).noquote() << QStringLiteral("cannot listen") + reason;
        Stop();
        throw KxException(KxTFTPText(KxTFTPCode::SocketFailed) + reason, KxTFTPCode::SocketFailed);
    }
    m_template.ServerPort = m_listen->localPort();
    qCDebug(lcKxTftp).noquote() << QStringLiteral("listening on UDP port %1, serving %2")
                                       .arg(m_template.ServerPort).arg(m_directory);
    connect(m_listen, &QUdpSocket::readyRead, this, &KxTFTPServer::ReadRequests);
}

void KxTFTPServer::Stop()
{
    // Deferred: Stop may be reached from a handler running inside the socket's own signal.
    if (m_listen) {
        m_listen->close();
        m_listen->deleteLater();
        m_listen = nullptr;
    }
    // The sweep timer runs while sessions are listed, so each wait ends within 20 ms.
    const QDeadlineTimer limit(kStopWaitMs);
    while (!m_sessions.isEmpty() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_sweep.stop();
}

void KxTFTPServer::ReadRequests()
{
    char buffer[KxTFTP::BufferSize];
    while (m_listen && m_listen->hasPendingDatagrams()) {
        QHostAddress from;
        quint16 port = 0;
        const qint64 n = m_listen->readDatagram(buffer, sizeof buffer, &from, &port);
        const auto request = KxTFTP::ParseRequest(buffer, n);
        if (!request)
            continue;
        m_template.Code = KxTFTPCode::Connected;
        m_template.Text = KxTFTPText(KxTFTPCode::Connected);
        m_template.Operation = request->opcode;
        // Readable only: the session serves the name's own bytes.
        m_template.FileName = QString::fromUtf8(request->fileName);
        m_template.Mode = QString::fromUtf8(request->mode);
        m_template.RemoteAddress = from.toString();
        m_template.RemotePort = port;

        // The client sent its request again before our first answer reached it.
        bool repeated = false;
        for (_TFTPSession *session : std::as_const(m_sessions)) {
            const KxTFTPMsg &m = session->Msg;
            if (m.Operation == m_template.Operation && m.Mode == m_template.Mode
                && m.RemoteAddress == m_template.RemoteAddress
                && m.RemotePort == m_template.RemotePort && session->Name() == request->fileName) {
                session->Repeated();
                repeated = true;
                break;
            }
        }
        if (repeated)
            continue;

        m_template.RetryCount = 0;
        ++m_template.SessionNo;
        auto *session = new _TFTPSession(m_template, *request, Retries, ResendFloor,
                                         MaxBlockSize, m_handler, m_owner, m_directory, from, this);
        const bool opened = session->Open();
        m_sessions.append(session);
        if (!m_sweep.isActive())
            m_sweep.start();
        if (opened)
            session->Begin();
    }
}

void KxTFTPServer::Destroy(qsizetype index)
{
    _TFTPSession *session = m_sessions.takeAt(index);
    session->Report(KxTFTPCode::Disconnected);
    delete session;
}

void KxTFTPServer::Sweep()
{
    const qint64 now = Now();
    for (qsizetype i = 0; i < m_sessions.size(); ++i) {
        _TFTPSession *session = m_sessions[i];
        if (session->state != _TFTPSession::Active) {
            // A finished upload stays to answer a repeated last block, unless the server
            // is stopping.
            if (session->state == _TFTPSession::Finished && m_listen && now < session->Linger)
                continue;
            Destroy(i);
            break;
        }
        if (session->GiveUp != 0 && now >= session->GiveUp) {
            session->Report(KxTFTPCode::Timeout);
            Destroy(i);
            break;
        }
        if (session->Deadline != 0 && now >= session->Deadline)
            session->Retransmit();
    }
    // An idle server does not wake up.
    if (m_sessions.isEmpty())
        m_sweep.stop();
}
