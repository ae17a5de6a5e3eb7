#include "KxTestSupport.h"

#include "KxErrors.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUdpSocket>

#include <signal.h>

namespace KxTest {

QString WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

int RaisedCode(const std::function<void()> &call)
{
    try {
        call();
    } catch (const KxException &e) {
        return e.HelpContext();
    }
    return 0;
}

quint16 FreeUdpPort()
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, 0))
        return 0;
    return socket.localPort();
}

QString Run(const QString &program, const QStringList &arguments, int timeoutMs, int *exitCode)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return {};
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
        return {};
    }
    if (exitCode)
        *exitCode = process.exitCode();
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool Snmpd::Start(const QList<SnmpdUser> &users, const QString &extraConfig)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QString config = QStringLiteral(
                         "rocommunity %1 127.0.0.1\n"
                         "rwcommunity %2 127.0.0.1\n"
                         "rocommunity6 %1 ::1\n")
                         .arg(QLatin1String(ReadCommunity), QLatin1String(WriteCommunity));
    for (const SnmpdUser &u : users) {
        QString line = QStringLiteral("createUser %1").arg(u.name);
        if (!u.auth.isEmpty())
            line += QStringLiteral(" %1 %2").arg(u.auth, u.authPass);
        if (!u.priv.isEmpty())
            line += QStringLiteral(" %1 %2").arg(u.priv, u.privPass);
        config += line + QLatin1Char('\n');
        config += QStringLiteral("rwuser %1 %2\n").arg(u.name, u.level);
    }
    config += extraConfig;
    const QString confPath = m_dir.filePath(QStringLiteral("snmpd.conf"));
    QFile conf(confPath);
    if (!conf.open(QIODevice::WriteOnly) || conf.write(config.toUtf8()) < 0) {
        m_error = QStringLiteral("cannot write %1").arg(confPath);
        return false;
    }
    conf.close();

    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = FreeUdpPort();
        m_process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MIBS"), QString());
        env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_dir.path());
        m_process->setProcessEnvironment(env);
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->start(QStringLiteral("/usr/sbin/snmpd"),
                         {QStringLiteral("-f"), QStringLiteral("-Lo"), QStringLiteral("-C"),
                          QStringLiteral("-c"), confPath, QStringLiteral("-I"),
                          QStringLiteral("-smux,mteTrigger,mteTriggerConf"),
                          QStringLiteral("udp:127.0.0.1:%1").arg(m_port)});
        if (!m_process->waitForStarted(5000)) {
            m_error = QStringLiteral("snmpd did not start: %1").arg(m_process->errorString());
            return false;
        }
        // Ready when it answers; a port taken meanwhile makes it exit.
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_process->state() == QProcess::Running) {
            int code = -1;
            const QString out = Run(QStringLiteral("snmpget"),
                                    {QStringLiteral("-v2c"), QStringLiteral("-c"),
                                     QLatin1String(ReadCommunity), QStringLiteral("-t"),
                                     QStringLiteral("0.3"), QStringLiteral("-r"), QStringLiteral("0"),
                                     QStringLiteral("-On"), Peer(), QStringLiteral("1.3.6.1.2.1.1.3.0")},
                                    5000, &code);
            if (code == 0 && out.contains(QLatin1String(".1.3.6.1.2.1.1.3.0")))
                return true;
            QThread::msleep(100);
        }
        m_error = QString::fromUtf8(m_process->readAll());
        Stop();
    }
    return false;
}

void Snmpd::Pause()
{
    if (m_process && m_process->state() == QProcess::Running)
        ::kill(pid_t(m_process->processId()), SIGSTOP);
}

void Snmpd::Resume()
{
    if (m_process && m_process->state() == QProcess::Running)
        ::kill(pid_t(m_process->processId()), SIGCONT);
}

void Snmpd::Stop()
{
    if (!m_process)
        return;
    Resume();
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
    m_process.reset();
}

Snmpd::~Snmpd()
{
    Stop();
}

} // namespace KxTest
