// The TFTP server the module runs on the PC for the device: it serves one folder, each
// transfer on a port of its own, everything on the window thread's event loop.
#pragma once

#include "KxTFTPMsg.h"
#include "KxTFTPProtocol.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QFile;
class QSaveFile;
class QUdpSocket;

// Called with the session's own record each time the session reports a status; setting
// `cancel` aborts that session at its next step.
using KxTFTPHandler = std::function<void(QObject *owner, const KxTFTPMsg &msg, bool &cancel)>;

class _TFTPSession : public QObject {
    Q_OBJECT
public:
    enum State { Failed = 0, Active = 1, Finished = 2 };

    // `request.fileName` is the requested name as it came on the wire: Msg.FileName is
    // only its readable form and may differ when the bytes are not UTF-8.
    // `resendFloorMs` is the shortest interval before a packet is sent again.
    _TFTPSession(const KxTFTPMsg &from, const KxTFTP::Request &request, int retries,
                 int resendFloorMs, int maxBlockSize, KxTFTPHandler handler, QObject *owner,
                 const QString &directory, const QHostAddress &peer, QObject *parent);
    ~_TFTPSession() override;

    // Opens the transfer's own socket; false (after reporting -1109) when it cannot.
    bool Open();
    // Opens the local file and sends the first DATA or the ACK of block 0.
    void Begin();
    // The resend deadline passed: send the unacknowledged blocks (read) or the last ACK
    // (write) again.
    void Retransmit();
    void Report(int code);
    // The client sent its request again: its first answer was lost.
    void Repeated();
    const QByteArray &Name() const { return m_name; }

    int state = Active;
    qint64 Deadline = 0; // resend, monotonic milliseconds, 0 for none
    qint64 GiveUp = 0;   // no progress until then: the session has timed out
    qint64 Linger = 0;   // a finished upload answers a repeated last block until then
    bool Cancel = false;
    KxTFTPMsg Msg;

private slots:
    void ReadDatagrams();

private:
    struct Sent {
        QByteArray packet;
        qint64 at = 0; // last sent, microseconds
        bool resent = false;
    };

    bool Send(const QByteArray &packet);
    void Fail(quint16 errorCode, int code);
    void Cancelled();
    void CloseFile();
    void Progress();
    void FillWindow();
    bool SendNextBlock();
    void OnAck(quint16 block);
    void OnData(quint16 block, const char *payload, qsizetype size);
    void OnLastBlock(const char *payload, qsizetype size);
    void OnError(quint16 errorCode);
    bool SendAck();
    bool ResendAck();
    bool Resend();
    void Measure(const Sent &sent);
    void Arm();
    void Settle(qint64 fileSize);
    void Trace(int code) const;

    QByteArray m_name;
    QList<KxTFTP::Option> m_options;
    int m_maxBlockSize;
    qint64 m_tsize = -1;  // write: the size the client announced
    int m_giveUpMs = 0;   // no progress for this long ends the session
    int m_retries;
    int m_resendFloor;
    KxTFTP::ResendClock m_clock;
    KxTFTPHandler m_handler;
    QObject *m_owner;
    QString m_directory;
    QHostAddress m_peer;
    quint16 m_peerPort;
    QUdpSocket *m_socket = nullptr;
    std::unique_ptr<QFile> m_reader;
    std::unique_ptr<QSaveFile> m_writer;
    QByteArray m_receive;
    int m_blockSize = KxTFTP::BlockSize;
    int m_window = 1;
    // Blocks counted without wrapping; only their wire numbers roll over.
    // Read: m_block blocks sent, m_acked acknowledged, m_flight the unacknowledged ones.
    // Write: m_block blocks received in order, m_acked the last one acknowledged.
    // A read that sent an OACK starts with m_acked at -1: the OACK is block 0 in flight.
    qint64 m_block = 0;
    qint64 m_acked = 0;
    QList<Sent> m_flight;
    bool m_eof = false;     // read: the short last block has been read
    bool m_gapAcked = false; // write: a gap in the window has been reported once
    Sent m_ack;              // write: the last ACK sent (the OACK before block 1)
    QByteArray m_oack;       // the OACK, empty when the client asked for no option
    int m_resends = 0;       // retransmissions over the whole session
    qint64 m_started = 0;    // monotonic milliseconds
};

class KxTFTPServer : public QObject {
    Q_OBJECT
public:
    // Resolves the PC's host name for LocalAddress (may block briefly on a slow resolver).
    explicit KxTFTPServer(QObject *parent = nullptr);
    ~KxTFTPServer() override;

    int Retries = 3;
    // Shortest interval before a lost datagram is sent again, in milliseconds.
    int ResendFloor = KxTFTP::ResendClock::DefaultFloorMs;
    // Largest block size granted to a client that asks for one (RFC 2348).
    int MaxBlockSize = KxTFTP::MaxBlockSize;

    // timeout in units of 10 ms; a session without progress for timeout x retries gives
    // up. Lost datagrams are sent again much sooner, after about one round trip.
    void SetTimeout(int timeout, int retries);
    void SetOnMessage(KxTFTPHandler handler, QObject *owner);
    // Serves `directory` on UDP `port` (0 picks a free one, see Port()). When already
    // listening, only the directory for later sessions changes. Throws KxException
    // (-1109) when the socket cannot be opened.
    void Start(const QString &directory, quint16 port);
    // Stops listening and lets running sessions end, waiting at most 10 s.
    void Stop();

    bool IsListening() const { return m_listen != nullptr; }
    quint16 Port() const { return quint16(m_template.ServerPort); }
    QString Directory() const { return m_directory; }
    const KxTFTPMsg &Template() const { return m_template; }
    qsizetype SessionCount() const { return m_sessions.size(); }
    bool SweepActive() const { return m_sweep.isActive(); }

private slots:
    void ReadRequests();
    void Sweep();

private:
    void Destroy(qsizetype index);

    KxTFTPMsg m_template;
    KxTFTPHandler m_handler;
    QObject *m_owner = nullptr;
    QString m_directory;
    QUdpSocket *m_listen = nullptr;
    QList<_TFTPSession *> m_sessions;
    QTimer m_sweep;
};
