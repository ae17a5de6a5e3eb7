#include "SimFixture.h"

#include "KxTestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace simtest {

RunResult run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    RunResult r;
    if (!p.waitForStarted(5000)) {
        r.err = program + ": cannot start: " + p.errorString();
        return r;
    }
    p.closeWriteChannel();
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(2000);
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

quint16 freeUdpPort()
{
    return KxTest::FreeUdpPort();
}

QString hexOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

Objects readDataFile(const QString &path)
{
    Objects objects;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return objects;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        if (raw.isEmpty() || raw.startsWith('#'))
            continue;
        const QList<QByteArray> parts = raw.split('|');
        const QString oid = QString::fromLatin1(parts.value(0));
        const QByteArray tag = parts.value(1);
        const QByteArray value = raw.mid(parts.value(0).size() + tag.size() + 2);
        if (tag == "4")
            objects[oid] = "4x|" + hexOf(value);
        else if (tag == "4x")
            objects[oid] = "4x|" + QString::fromLatin1(value).toLower();
        else
            objects[oid] = QString::fromLatin1(tag + "|" + value);
    }
    return objects;
}

Objects parseToolOutput(const QString &text)
{
    Objects objects;
    QString oid, body;
    auto flush = [&] {
        if (oid.isEmpty())
            return;
        QString v = body.trimmed();
        QString normal;
        if (v.startsWith("No more variables"))
            normal.clear(); // a v2c walk's end marker repeats the last OID
        else if (v.startsWith("INTEGER: "))
            normal = "2|" + v.mid(9);
        else if (v.startsWith("Hex-STRING: "))
            normal = "4x|" + v.mid(12).remove(QRegularExpression("\\s")).toLower();
        else if (v == "\"\"")
            normal = "4x|";
        else if (v.startsWith("OID: ."))
            normal = "6|" + v.mid(6);
        else if (v.startsWith("IpAddress: "))
            normal = "64|" + v.mid(11);
        else if (v.startsWith("Counter32: "))
            normal = "65|" + v.mid(11);
        else if (v.startsWith("Gauge32: "))
            normal = "66|" + v.mid(9);
        else if (v.contains(QRegularExpression("^\\d+$")))
            normal = "67|" + v; // -Ot prints time ticks as a bare number
        else
            normal = "?|" + v; // exceptions such as noSuchObject stay visible
        if (!normal.isEmpty())
            objects[oid] = normal;
        oid.clear();
        body.clear();
    };
    static const QRegularExpression head("^\\.([0-9.]+) = (.*)$");
    for (const QString &line : text.split('\n')) {
        auto m = head.match(line);
        if (m.hasMatch()) {
            flush();
            oid = m.captured(1);
            body = m.captured(2);
        } else if (!oid.isEmpty() && line.trimmed() != "End of MIB") {
            body += ' ' + line;
        }
    }
    flush();
    return objects;
}

QString simulatorPath() { return QStringLiteral(RWN3460_SIM_BIN); }
QString factoryDataPath() { return QStringLiteral(RWN3460_SIM_DATA); }

QString writeVariant(const QString &dir, const Objects &changes, const QString &fileName)
{
    QFile factory(factoryDataPath());
    if (!factory.open(QIODevice::ReadOnly))
        return {};
    Objects pending = changes;
    QByteArray out;
    for (const QByteArray &line : factory.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString oid = text.section('|', 0, 0).trimmed();
        if (!text.startsWith('#') && pending.contains(oid)) {
            const QString value = pending.take(oid);
            if (!value.isEmpty())
                out += (oid + '|' + value + '\n').toUtf8();
            continue;
        }
        if (!line.isEmpty())
            out += line + '\n';
    }
    for (auto it = pending.cbegin(); it != pending.cend(); ++it)
        if (!it.value().isEmpty())
            out += (it.key() + '|' + it.value() + '\n').toUtf8();
    const QString path = QDir(dir).filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size())
        return {};
    return path;
}

QStringList variantArgs(const QString &dir, const Objects &changes)
{
    const QString path = writeVariant(dir, changes);
    return path.isEmpty() ? QStringList() : QStringList{"--data", path};
}

Simulator::Simulator(QStringList args) : args_(std::move(args)) {}

Simulator::~Simulator()
{
    if (proc_ && proc_->state() != QProcess::NotRunning) {
        proc_->kill();
        proc_->waitForFinished(5000);
    }
}

QString Simulator::journalPath() const { return dir_.filePath("journal.txt"); }

QStringList Simulator::journalLines() const
{
    QFile f(journalPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

QList<QStringList> Simulator::setsSince(int from) const
{
    QList<QStringList> sets;
    const QStringList lines = journalLines();
    for (int i = from; i < lines.size(); ++i) {
        const JournalEntry e = parseJournalLine(lines[i]);
        sets << (QStringList{e.status} + e.varbinds);
    }
    return sets;
}

QList<JournalEntry> Simulator::journal() const
{
    QList<JournalEntry> entries;
    for (const QString &line : journalLines())
        entries << parseJournalLine(line);
    return entries;
}

QString Simulator::requestLogPath() const { return dir_.filePath("requests.txt"); }

QList<RequestEntry> Simulator::requests() const
{
    QList<RequestEntry> entries;
    QFile f(requestLogPath());
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    for (const QString &line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        if (fields.size() != 6)
            continue;
        entries << RequestEntry{fields[0].toInt(), fields[1].toLongLong(), fields[2], fields[3], fields[4],
                                fields[5]};
    }
    return entries;
}

JournalEntry parseJournalLine(const QString &line)
{
    const QStringList fields = line.split('\t');
    JournalEntry e;
    bool seqOk = false, msOk = false;
    const int seq = fields.value(0).toInt(&seqOk);
    const qint64 ms = fields.value(1).toLongLong(&msOk);
    if (fields.size() < 5 || !seqOk || !msOk)
        return e;
    e.seq = seq;
    e.ms = ms;
    e.version = fields[2];
    e.principal = fields[3];
    e.status = fields[4];
    e.varbinds = fields.mid(5);
    return e;
}

bool Simulator::start()
{
    started_.start();
    proc_ = std::make_unique<QProcess>();
    QStringList args = {"--listen", "127.0.0.1:0", "--journal", journalPath(), "--requests", requestLogPath()};
    args += args_;
    proc_->start(simulatorPath(), args);
    if (!proc_->waitForStarted(5000)) {
        error_ = "cannot start: " + proc_->errorString();
        return false;
    }
    QDeadlineTimer deadline(15000);
    static const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
    while (!deadline.hasExpired()) {
        proc_->waitForReadyRead(200);
        out_ += QString::fromUtf8(proc_->readAllStandardOutput());
        auto m = listening.match(out_);
        if (m.hasMatch()) {
            port_ = static_cast<quint16>(m.captured(1).toUInt());
            return true;
        }
        if (proc_->state() == QProcess::NotRunning)
            break;
    }
    error_ = "no \"listening on\" line; stderr: " + QString::fromUtf8(proc_->readAllStandardError());
    return false;
}

bool Simulator::stop(bool interrupt)
{
    if (!proc_ || proc_->state() == QProcess::NotRunning)
        return false;
    ::kill(static_cast<pid_t>(proc_->processId()), interrupt ? SIGINT : SIGTERM);
    if (!proc_->waitForFinished(10000)) {
        error_ = "did not end within 10 s";
        return false;
    }
    const QString err = QString::fromUtf8(proc_->readAllStandardError());
    if (proc_->exitStatus() != QProcess::NormalExit || proc_->exitCode() != 0) {
        error_ = QStringLiteral("exit code %1, stderr: %2").arg(proc_->exitCode()).arg(err);
        return false;
    }
    return true;
}

QString Simulator::output()
{
    // The simulator flushes every line; what it wrote has arrived within a short wait.
    // What an event loop has already taken in is read first: it signals no more.
    if (proc_)
        out_ += QString::fromUtf8(proc_->readAllStandardOutput());
    for (int i = 0; proc_ && i < 20 && proc_->waitForReadyRead(50); ++i)
        out_ += QString::fromUtf8(proc_->readAllStandardOutput());
    return out_;
}

RunResult Simulator::get(const QStringList &oids, const QStringList &cred, const QString &timing)
{
    QStringList args = cred.isEmpty() ? QStringList{"-v2c", "-c", "rdcomm"} : cred;
    args += timing.split(' ');
    args += {"-On", "-Ox", "-Ot", "-Oe", target()};
    return run("snmpget", args + oids);
}

RunResult Simulator::set(const QStringList &varbinds, const QStringList &cred)
{
    QStringList args = cred.isEmpty() ? QStringList{"-v2c", "-c", "wrcommu"} : cred;
    args += {"-t", "1", "-r", "2", "-On", "-Ox", "-Ot", "-Oe", target()};
    return run("snmpset", args + varbinds);
}

QString Simulator::value(const QString &oid)
{
    RunResult r = get({oid});
    Objects o = parseToolOutput(r.out);
    return o.contains(oid) ? o[oid] : r.all().trimmed();
}

qint64 Simulator::waitUntilAnswering(int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < limitMs) {
        RunResult r = get({"1.3.6.1.2.1.1.3.0"}, {}, "-t 0.2 -r 0");
        if (r.exitCode == 0)
            return t.elapsed();
    }
    return -1;
}

TftpServer::TftpServer() = default;

TftpServer::~TftpServer()
{
    if (proc_ && proc_->state() != QProcess::NotRunning) {
        proc_->terminate();
        if (!proc_->waitForFinished(3000)) {
            proc_->kill();
            proc_->waitForFinished(3000);
        }
    }
}

bool TftpServer::start()
{
    const passwd *pw = getpwuid(getuid());
    const QString user = pw ? QString::fromLocal8Bit(pw->pw_name) : QStringLiteral("root");
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = freeUdpPort();
        proc_ = std::make_unique<QProcess>();
        proc_->setProcessChannelMode(QProcess::MergedChannels);
        proc_->start("/usr/sbin/in.tftpd", {"-L", "-s", dir_.path(), "-c", "-p", "-u", user,
                                            "-a", QStringLiteral("127.0.0.1:%1").arg(port_)});
        if (!proc_->waitForStarted(3000)) {
            error_ = "in.tftpd: " + proc_->errorString();
            return false;
        }
        // Ready once a request for a missing file is answered with a TFTP error (curl 68).
        for (int i = 0; i < 30 && proc_->state() == QProcess::Running; ++i) {
            RunResult r = run("curl", {"-s", "--max-time", "1",
                                       QStringLiteral("tftp://127.0.0.1:%1/.probe").arg(port_)}, 3000);
            if (r.exitCode == 68)
                return true;
            QThread::msleep(50);
        }
        error_ = "in.tftpd did not answer: " + QString::fromUtf8(proc_->readAll());
        proc_->kill();
        proc_->waitForFinished(2000);
    }
    return false;
}

} // namespace simtest
