// What the module tells an administrator who turns its diagnostics on: Qt logging
// categories, silent unless QT_LOGGING_RULES enables their debug messages. Secrets
// never reach them: communities, passwords, keys and passphrases are written as
// asterisks.
#pragma once

#include <QLoggingCategory>
#include <QString>

struct KxTarget;

Q_DECLARE_LOGGING_CATEGORY(lcKxSnmp)
Q_DECLARE_LOGGING_CATEGORY(lcKxTftp)
Q_DECLARE_LOGGING_CATEGORY(lcKxStartup)

// Whether the device holds a variable of this name as a secret (keys, passphrases,
// passwords, shared secrets, communities).
bool KxIsSecretName(const QString &name);
// The value as it may be logged: asterisks for a secret one.
QString KxLoggedValue(const QString &name, const QString &value);
// The target without its secrets: address, port, version and, for SNMPv3, the user
// and the protocols.
QString KxDescribeTarget(const KxTarget &target);
