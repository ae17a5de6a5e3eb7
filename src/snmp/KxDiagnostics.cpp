#include "KxDiagnostics.h"

#include "KxNetSnmp.h"

#include <QRegularExpression>

// Debug messages are off until QT_LOGGING_RULES turns them on.
Q_LOGGING_CATEGORY(lcKxSnmp, "rwn3460.snmp", QtInfoMsg)
Q_LOGGING_CATEGORY(lcKxTftp, "rwn3460.tftp", QtInfoMsg)
Q_LOGGING_CATEGORY(lcKxStartup, "rwn3460.startup", QtInfoMsg)

bool KxIsSecretName(const QString &name)
{
    // dot11WepKey is a secret, dot11WepKeyIndex and dot11WepKeyEntryMethod are not.
    static const QRegularExpression secret(QStringLiteral("pass|secret|communit|psk|key$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return secret.match(name).hasMatch();
}

QString KxLoggedValue(const QString &name, const QString &value)
{
    if (!KxIsSecretName(name))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value.isEmpty() ? QStringLiteral("\"\"") : QStringLiteral("********");
}

QString KxDescribeTarget(const KxTarget &t)
{
    QString text = QStringLiteral("%1:%2").arg(t.address).arg(t.port);
    if (t.version != 3)
        return text + (t.version == 1 ? QStringLiteral(" v2c") : QStringLiteral(" v1"))
               + QStringLiteral(" community ********");
    static const char *const levels[] = {"?", "noAuthNoPriv", "authNoPriv", "authPriv"};
    const int level = t.securityLevel >= 1 && t.securityLevel <= 3 ? t.securityLevel : 0;
    return text + QStringLiteral(" v3 user \"%1\" %2 auth %3 priv %4")
                      .arg(t.securityName, QLatin1String(levels[level]))
                      .arg(t.authProtocol)
                      .arg(t.privProtocol);
}
