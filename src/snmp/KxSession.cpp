#include "KxSession.h"

#include "KxErrors.h"
#include "KxNetSnmp.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

KxSNMPDevice GlobalDevice;
KxSNMPScope GlobalScope;
KxSNMPSecurity GlobalSecurity;
int GlobalDefaultTimeout = 0;

namespace {

KxNetSnmp *g_session = nullptr;
const char kBootFile[] = "KxSNMP_PP_BootCounter";

// Engine IDs are written with each octet as two letters, 64 plus each nibble.
QByteArray encodeEngineId(const QByteArray &id)
{
    QByteArray out;
    for (char c : id) {
        out.append(char(64 + ((quint8(c) >> 4) & 0x0F)));
        out.append(char(64 + (quint8(c) & 0x0F)));
    }
    return out;
}

bool entryOf(const QByteArray &line, const QByteArray &encodedId, QByteArray *value)
{
    if (!line.startsWith(encodedId + ' '))
        return false;
    *value = line.mid(encodedId.size() + 1).trimmed();
    return true;
}

} // namespace

KxNetSnmp *GlobalSession()
{
    return g_session;
}

QByteArray LocalEngineId()
{
    return QByteArrayLiteral("KxSNMP_PP_Application");
}

QString BootCounterPath(const QString &folder)
{
    if (folder.isEmpty())
        return QString::fromLatin1(kBootFile);
    if (!folder.endsWith(QLatin1Char('/')))
        return folder + QLatin1Char('/') + QLatin1String(kBootFile);
    return folder + QLatin1String(kBootFile);
}

int GetBootCounter(const QString &path, const QByteArray &engineId, quint32 &boots)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -2;
    const QByteArray encoded = encodeEngineId(engineId);
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        QByteArray value;
        if (line.startsWith('#') || !entryOf(line, encoded, &value))
            continue;
        bool ok = false;
        const quint32 number = value.toUInt(&ok);
        if (!ok)
            return -3;
        boots = number;
        return 0;
    }
    return -1;
}

int SaveBootCounter(const QString &path, const QByteArray &engineId, quint32 boots)
{
    QList<QByteArray> lines;
    QFile old(path);
    if (old.open(QIODevice::ReadOnly)) {
        while (!old.atEnd())
            lines.append(old.readLine());
        old.close();
    }
    const QByteArray encoded = encodeEngineId(engineId);
    const QByteArray entry = encoded + ' ' + QByteArray::number(boots) + '\n';
    bool replaced = false;
    for (QByteArray &line : lines) {
        QByteArray value;
        if (!line.startsWith('#') && entryOf(line.trimmed(), encoded, &value)) {
            line = entry;
            replaced = true;
            break;
        }
    }
    if (!replaced) {
        if (!lines.isEmpty() && !lines.last().endsWith('\n'))
            lines.last().append('\n');
        lines.append(entry);
    }
    // Written beside the old file and renamed over it, so a crash never leaves a
    // half-written counter behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -3;
    for (const QByteArray &line : lines)
        file.write(line);
    return file.commit() ? 0 : -4;
}

quint32 LocalEngineBoots()
{
    return quint32(snmpv3_local_snmpEngineBoots());
}

void OpenGlobalSession(const QString &folder)
{
    g_session = KxNetSnmp::Create();
    if (!g_session)
        ThrowKx(KxCode::CannotCreateSession);

    const QString path = BootCounterPath(folder);
    const QByteArray engineId = LocalEngineId();
    quint32 boots = 0;
    if (GetBootCounter(path, engineId, boots) < -2)
        ThrowKx(KxCode::BootsLoad);
    if (SaveBootCounter(path, engineId, boots + 1) != 0)
        ThrowKx(KxCode::BootsSave);
    g_session->InitLocalEngine(engineId, boots + 1);

    GlobalDevice = KxSNMPDevice();
    GlobalScope = KxSNMPScope();
    GlobalSecurity = KxSNMPSecurity();
    GlobalDefaultTimeout = 100;
    g_session->EventProcessor().Start();
}

void CloseGlobalSession()
{
    if (g_session)
        g_session->EventProcessor().Stop();
}
