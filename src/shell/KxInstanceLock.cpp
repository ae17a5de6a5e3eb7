#include "KxInstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {

// Leaves room below the usual 255-byte limit of a file name for the suffix.
constexpr qsizetype kMaxStem = 180;

} // namespace

KxInstanceLock::KxInstanceLock(const QString &caption, const QString &folder)
{
    const QString dir = folder.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                            : folder;
    // Without a runtime folder there is nowhere private to lock in; TryLock refuses.
    if (!dir.isEmpty())
        m_path = QDir(dir).filePath(LockName(caption));
    m_lock = std::make_unique<QLockFile>(m_path);
    // A live holder is never stale however old its lock is; only a dead holder's
    // lock is taken over, which QLockFile decides from the process id it recorded.
    m_lock->setStaleLockTime(0);
}

KxInstanceLock::~KxInstanceLock() = default;

bool KxInstanceLock::TryLock()
{
    if (m_path.isEmpty())
        return false;
    return m_lock->tryLock(0);
}

bool KxInstanceLock::IsLocked() const
{
    return m_lock->isLocked();
}

QString KxInstanceLock::LockName(const QString &caption)
{
    QString stem;
    for (char c : caption.toUtf8()) {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                          || c == '.' || c == '-';
        if (safe)
            stem.append(QLatin1Char(c));
        else
            stem.append(QStringLiteral("_%1").arg(uint(quint8(c)), 2, 16, QLatin1Char('0')).toUpper());
    }
    if (stem.size() > kMaxStem) {
        const QByteArray hash = QCryptographicHash::hash(caption.toUtf8(), QCryptographicHash::Sha256);
        stem = stem.left(kMaxStem - 65) + QLatin1Char('-') + QString::fromLatin1(hash.toHex());
    }
    return stem + QStringLiteral(".lock");
}
