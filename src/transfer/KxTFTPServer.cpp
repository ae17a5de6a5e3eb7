#include "KxTFTPServer.h"

#include "KxErrors.h"
#include "KxTFTPProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QSaveFile>
#include <QUdpSocket>

namespace {
constexpr int kSweepMs = 20;
constexpr int kStopWaitMs = 10000;

// Monotonic milliseconds, never 0 (0 marks "no deadline").
qint64 Now()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed() + 1;
}
} // namespace

// ---------------------------------------------------------------------------------------
// _TFTPSession

_TFTPSession::_TFTPSession(const KxTFTPMsg &from, const QByteArray &name, int retries,
                           KxTFTPHandler handler, QObject *owner, const QString &directory,
                           const QHostAddress &peer, QObject *parent)
    : QObject(parent), Msg(from), m_name(name), m_retries(retries), m_handler(std::move(handler)),
      m_owner(owner), m_directory(directory), m_peer(peer),
      m_peerPort(quint16(from.RemotePort))
{
    Msg.TotalBytes = 0;
    Msg.BlockBytes = -1;
    Msg.RetryCount = 0;
    Report(KxTFTPCode::Connected);
}

_TFTPSession::~_TFTPSession()
{
    CloseFile();
}

bool _TFTPSession::Open()
{
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
    Msg.Code = code;
    Msg.Text = KxTFTPText(code);
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

void _TFTPSession::Fail(quint16 errorCode, int code)
{
    const bool sent = Send(KxTFTP::ErrorPacket(errorCode));
    Report(sent ? code : KxTFTPCode::SendFailed);
}

void _TFTPSession::Arm()
{
    Deadline = Now() + 10 * qint64(Msg.Timeout);
}

void _TFTPSession::Begin()
{
    if (Cancel) {
        Report(KxTFTPCode::Canceled);
        return;
    }
    const auto path = KxTFTP::ResolveName(m_directory, m_name);
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
        SendBlock();
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
        m_send = KxTFTP::AckPacket(0);
        if (!Send(m_send)) {
            Report(KxTFTPCode::SendFailed);
            return;
        }
        Arm();
        Report(KxTFTPCode::Transferring);
    } else {
        Fail(KxTFTP::IllegalOperation, KxTFTPCode::BadOperation);
    }
}

void _TFTPSession::SendBlock()
{
    char buffer[KxTFTP::BlockSize];
    const qint64 n = m_reader->read(buffer, sizeof buffer);
    if (n < 0) {
        // Never mistaken for the end of the file: the client is told the transfer failed.
        Fail(KxTFTP::NotDefined, KxTFTPCode::Undefined);
        return;
    }
    Msg.BlockBytes = qint32(n);
    Msg.TotalBytes += n;
    ++m_block;
    m_send = KxTFTP::DataPacket(KxTFTP::WireBlock(m_block), buffer, n);
    Msg.RetryCount = 1;
    if (!Send(m_send)) {
        Report(KxTFTPCode::SendFailed);
        return;
    }
    Arm();
    Report(KxTFTPCode::Transferring);
}

void _TFTPSession::Repeated()
{
    // A device that lost ACK 0 asks again and waits for it before sending any data.
    if (state == Active && m_writer && m_block == 0)
        Send(m_send);
}

bool _TFTPSession::Retransmit()
{
    if (Msg.Operation != KxTFTP::RRQ || Msg.RetryCount >= m_retries)
        return false;
    ++Msg.RetryCount;
    if (!Send(m_send)) {
        Report(KxTFTPCode::SendFailed);
        return true;
    }
    Arm();
    Report(KxTFTPCode::Transferring);
    return true;
}

void _TFTPSession::ReadDatagrams()
{
    char buffer[KxTFTP::BufferSize];
    while (m_socket->hasPendingDatagrams()) {
        QHostAddress from;
        quint16 port = 0;
        const qint64 n = m_socket->readDatagram(buffer, sizeof buffer, &from, &port);
        if (state != Active || (!m_reader && !m_writer))
            continue;
        if (n < 0)
            continue;
        // A stranger is told it has the wrong transfer and cannot take the transfer over.
        if (port != m_peerPort || !(from == m_peer)) {
            m_socket->writeDatagram(KxTFTP::ErrorPacket(KxTFTP::UnknownTransferId), from, port);
            continue;
        }
        const auto header = KxTFTP::ParseHeader(buffer, n);
        if (!header)
            continue;
        if (header->opcode == KxTFTP::ERROR)
            OnError(header->block);
        else if (m_reader && header->opcode == KxTFTP::ACK)
            OnAck(header->block);
        else if (m_writer && header->opcode == KxTFTP::DATA)
            OnData(header->block, buffer + 4, n - 4);
    }
}

void _TFTPSession::OnAck(quint16 block)
{
    // Only the block just sent is acknowledged; anything else is stale and must not
    // reset the retransmission deadline.
    if (block != KxTFTP::WireBlock(m_block))
        return;
    Deadline = 0;
    if (Cancel) {
        Report(KxTFTPCode::Canceled);
        return;
    }
    if (Msg.BlockBytes < KxTFTP::BlockSize) {
        Report(KxTFTPCode::Success);
        return;
    }
    SendBlock();
}

void _TFTPSession::OnError(quint16 errorCode)
{
    // The client gave up: resending to it would only prolong a transfer that is over.
    // Never answered with an ERROR of our own (RFC 1350).
    Deadline = 0;
    Report(errorCode <= KxTFTP::NoSuchUser ? KxTFTPCode::Undefined - errorCode
                                           : KxTFTPCode::Undefined);
}

void _TFTPSession::OnData(quint16 block, const char *payload, qsizetype size)
{
    if (block != KxTFTP::WireBlock(m_block + 1)) {
        // Our ACK was lost and the client sends the block again: acknowledge it again.
        if (block == KxTFTP::WireBlock(m_block) && m_block > 0)
            Send(m_send);
        return;
    }
    Deadline = 0;
    ++m_block;
    if (Cancel) {
        Report(KxTFTPCode::Canceled);
        return;
    }
    if (m_writer->write(payload, size) != size || m_writer->error() != QFileDevice::NoError) {
        Fail(KxTFTP::DiskFull, KxTFTPCode::DiskFull);
        return;
    }
    Msg.BlockBytes = qint32(size);
    Msg.TotalBytes += size;
    const bool last = size < KxTFTP::BlockSize;
    // The file is in place before the client hears that the transfer is complete.
    if (last && !m_writer->commit()) {
        m_writer.reset();
        Fail(KxTFTP::DiskFull, KxTFTPCode::DiskFull);
        return;
    }
    if (last)
        m_writer.reset();
    m_send = KxTFTP::AckPacket(block);
    if (!Send(m_send)) {
        Report(KxTFTPCode::SendFailed);
        return;
    }
    if (last) {
        Report(KxTFTPCode::Success);
        return;
    }
    Arm();
    Report(KxTFTPCode::Transferring);
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
        Stop();
        throw KxException(KxTFTPText(KxTFTPCode::SocketFailed), KxTFTPCode::SocketFailed);
    }
    m_template.ServerPort = m_listen->localPort();
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
        auto *session = new _TFTPSession(m_template, request->fileName, Retries, m_handler,
                                         m_owner, m_directory, from, this);
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
            Destroy(i);
            break;
        }
        if (session->Deadline != 0 && now >= session->Deadline && !session->Retransmit()) {
            session->Report(KxTFTPCode::Timeout);
            Destroy(i);
            break;
        }
    }
    // An idle server does not wake up.
    if (m_sessions.isEmpty())
        m_sweep.stop();
}
