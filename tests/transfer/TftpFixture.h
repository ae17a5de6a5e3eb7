// Shared pieces of the TFTP tests: a served folder, a server that records what it
// reports, real client programs run with a bounded wait, and a raw UDP peer for packets
// that real clients never send. Everything stays on 127.0.0.1.
#pragma once

#include "KxTFTPServer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

#include <memory>
#include <optional>

namespace tftptest {

inline QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(gen.generate() & 0xFF);
    return out;
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline QByteArray Sha(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Runs a program to its end, keeping the event loop (and so the server) running.
// Kills it when it takes longer than `ms`. Returns the exit code, or -1 on time-out.
struct ClientResult {
    int exitCode = -1;
    QByteArray output;
};

inline ClientResult RunClient(const QString &program, const QStringList &args, int ms = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (process.waitForStarted(5000) && process.state() != QProcess::NotRunning)
        loop.exec();
    ClientResult result;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        result.output = process.readAll();
        return result;
    }
    result.output = process.readAll();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

// A started server on a free port over a temporary folder, keeping every report except
// progress (which is only counted).
struct Served {
    QTemporaryDir dir;
    QList<KxTFTPMsg> reports;
    int progress = 0;
    std::function<void(const KxTFTPMsg &, bool &)> onReport;
    // Last, so destroyed first: its Stop may still report to the members above.
    KxTFTPServer server;

    explicit Served(int timeout = 100, int retries = 3)
    {
        server.SetTimeout(timeout, retries);
        server.SetOnMessage(
            [this](QObject *, const KxTFTPMsg &m, bool &cancel) {
                if (m.Code == KxTFTPCode::Transferring)
                    ++progress;
                else
                    reports.append(m);
                if (onReport)
                    onReport(m, cancel);
            },
            nullptr);
        server.Start(dir.path(), 0);
    }
    QString Path(const QString &name) const { return dir.filePath(name); }
    quint16 Port() const { return server.Port(); }
    // The final report of a session: success or a failure code, once there is one.
    std::optional<KxTFTPMsg> Outcome(int session) const
    {
        for (const KxTFTPMsg &m : reports) {
            if (m.SessionNo == session && (m.Code == KxTFTPCode::Success || m.Code < 0))
                return m;
        }
        return std::nullopt;
    }
    int OutcomeCode(int session) const
    {
        const auto m = Outcome(session);
        return m ? m->Code : 1000;
    }
    int Count(int code) const
    {
        int n = 0;
        for (const KxTFTPMsg &m : reports)
            n += m.Code == code ? 1 : 0;
        return n;
    }
};

// A raw TFTP peer on its own loopback port.
struct RawPeer {
    QUdpSocket socket;
    quint16 sessionPort = 0; // learnt from the first packet of the session

    RawPeer() { socket.bind(QHostAddress::LocalHost, 0); }

    static QByteArray Request(quint16 opcode, const QByteArray &name,
                              const QByteArray &mode = "octet")
    {
        QByteArray out(2, '\0');
        qToBigEndian<quint16>(opcode, out.data());
        out += name + '\0' + mode + '\0';
        return out;
    }
    static QByteArray Packet(quint16 opcode, quint16 block, const QByteArray &payload = {})
    {
        QByteArray out(4, '\0');
        qToBigEndian<quint16>(opcode, out.data());
        qToBigEndian<quint16>(block, out.data() + 2);
        return out + payload;
    }
    void SendTo(quint16 port, const QByteArray &bytes)
    {
        socket.writeDatagram(bytes, QHostAddress::LocalHost, port);
    }
    void SendToSession(const QByteArray &bytes) { SendTo(sessionPort, bytes); }

    // The next datagram within `ms`, keeping the event loop running meanwhile.
    std::optional<QNetworkDatagram> Receive(int ms = 3000)
    {
        if (!socket.hasPendingDatagrams()) {
            QEventLoop loop;
            QTimer timer;
            timer.setSingleShot(true);
            QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
            QObject::connect(&socket, &QUdpSocket::readyRead, &loop, &QEventLoop::quit);
            timer.start(ms);
            loop.exec();
        }
        if (!socket.hasPendingDatagrams())
            return std::nullopt;
        QNetworkDatagram d = socket.receiveDatagram();
        if (sessionPort == 0)
            sessionPort = quint16(d.senderPort());
        return d;
    }
    // Everything that arrives within `ms`.
    QList<QByteArray> ReceiveFor(int ms)
    {
        QList<QByteArray> out;
        QDeadlineTimer until(ms);
        while (!until.hasExpired()) {
            if (auto d = Receive(int(qMax<qint64>(1, until.remainingTime()))))
                out << d->data();
        }
        return out;
    }
    static quint16 Opcode(const QNetworkDatagram &d)
    {
        return d.data().size() >= 2 ? qFromBigEndian<quint16>(d.data().constData()) : 0;
    }
    static quint16 Block(const QNetworkDatagram &d)
    {
        return d.data().size() >= 4 ? qFromBigEndian<quint16>(d.data().constData() + 2) : 0;
    }
};

// Keeps the event loop running for `ms` (used only to show that nothing happens).
inline void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace tftptest
