// A UDP forwarder on loopback between TFTP clients and a server that loses, duplicates
// and delays (so reorders) datagrams at given rates, from a fixed seed. These machines
// have no netem; this stands in for a poor link in tests and benchmarks.
//
// The client talks to Port() as it would to the server. The relay forwards from a socket
// of its own per client, and for every transfer port the server answers from it opens a
// front port of its own, so that the client, too, sees a new port per transfer.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <cstdio>
#include <random>

namespace tftptest {

struct Impairment {
    double loss = 0;      // share of datagrams dropped
    double duplicate = 0; // share sent twice
    double delay = 0;     // share held back, so that later ones overtake them
    int delayMinMs = 2;
    int delayMaxMs = 20;
    quint32 seed = 1;
};

class LossyRelay : public QObject {
public:
    struct Counts {
        qint64 forwarded = 0, dropped = 0, duplicated = 0, delayed = 0;
    };

    LossyRelay(quint16 serverPort, const Impairment &impairment, QObject *parent = nullptr)
        : QObject(parent), m_serverPort(serverPort), m_impairment(impairment),
          m_random(impairment.seed)
    {
        m_listen = Bind();
        connect(m_listen, &QUdpSocket::readyRead, this, [this] { FromClient(m_listen, 0); });
    }

    quint16 Port() const { return m_listen->localPort(); }
    // Writes one line per datagram: milliseconds, direction, opcode, block, fate.
    void Trace(FILE *out)
    {
        m_trace = out;
        m_clock.start();
    }
    const Counts &Counted() const { return m_counts; }

private:
    struct Client {
        QHostAddress address;
        quint16 port = 0;
        QUdpSocket *back = nullptr;            // towards the server
        QHash<quint16, QUdpSocket *> fronts;   // server transfer port -> client side
    };

    QUdpSocket *Bind()
    {
        auto *socket = new QUdpSocket(this);
        socket->bind(QHostAddress::LocalHost, 0);
        // Bursts of a window must not overflow the default receive buffer.
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4 << 20));
        return socket;
    }

    Client &ClientFor(const QHostAddress &address, quint16 port)
    {
        const QString key = address.toString() + QLatin1Char(':') + QString::number(port);
        auto it = m_clients.find(key);
        if (it != m_clients.end())
            return *it;
        Client &client = m_clients[key];
        client.address = address;
        client.port = port;
        client.back = Bind();
        connect(client.back, &QUdpSocket::readyRead, this, [this, key] { FromServer(key); });
        return client;
    }

    // serverPort 0: the listening port of the server
    void FromClient(QUdpSocket *socket, quint16 serverPort)
    {
        while (socket->hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray data(int(socket->pendingDatagramSize()), Qt::Uninitialized);
            socket->readDatagram(data.data(), data.size(), &from, &port);
            Client &client = ClientFor(from, port);
            Forward(client.back, data, QHostAddress::LocalHost,
                    serverPort ? serverPort : m_serverPort);
        }
    }

    void FromServer(const QString &key)
    {
        Client &client = m_clients[key];
        while (client.back->hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray data(int(client.back->pendingDatagramSize()), Qt::Uninitialized);
            client.back->readDatagram(data.data(), data.size(), &from, &port);
            QUdpSocket *&front = client.fronts[port];
            m_serverPorts.insert(port);
            if (!front) {
                front = Bind();
                QUdpSocket *socket = front;
                connect(front, &QUdpSocket::readyRead, this,
                        [this, socket, port] { FromClient(socket, port); });
            }
            Forward(front, data, client.address, client.port);
        }
    }

    bool Chance(double share) { return std::uniform_real_distribution<double>(0, 1)(m_random) < share; }

    void Note(const QByteArray &data, quint16 port, const char *fate)
    {
        if (!m_trace || data.size() < 4)
            return;
        const auto at = [&](int i) { return unsigned(quint8(data[i])); };
        std::fprintf(m_trace, "%8lld %s %u %u %s\n", static_cast<long long>(m_clock.elapsed()),
                     port == m_serverPort || m_serverPorts.contains(port) ? ">" : "<",
                     at(0) << 8 | at(1), at(2) << 8 | at(3), fate);
    }

    void Forward(QUdpSocket *socket, const QByteArray &data, const QHostAddress &to, quint16 port)
    {
        if (Chance(m_impairment.loss)) {
            ++m_counts.dropped;
            Note(data, port, "lost");
            return;
        }
        const int copies = Chance(m_impairment.duplicate) ? 2 : 1;
        Note(data, port, copies == 2 ? "twice" : "sent");
        m_counts.duplicated += copies - 1;
        for (int i = 0; i < copies; ++i) {
            ++m_counts.forwarded;
            if (Chance(m_impairment.delay)) {
                ++m_counts.delayed;
                Note(data, port, "delayed");
                const int ms = std::uniform_int_distribution<int>(m_impairment.delayMinMs,
                                                                  m_impairment.delayMaxMs)(m_random);
                QTimer::singleShot(ms, socket, [socket, data, to, port] {
                    socket->writeDatagram(data, to, port);
                });
            } else {
                socket->writeDatagram(data, to, port);
            }
        }
    }

    quint16 m_serverPort;
    Impairment m_impairment;
    std::mt19937 m_random;
    QUdpSocket *m_listen = nullptr;
    QHash<QString, Client> m_clients;
    Counts m_counts;
    QSet<quint16> m_serverPorts;
    FILE *m_trace = nullptr;
    QElapsedTimer m_clock;
};

} // namespace tftptest
