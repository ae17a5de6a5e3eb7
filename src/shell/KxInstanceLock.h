// One module per device: a lock file named after the window caption, held for the life
// of the process.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

class KxInstanceLock {
public:
    // `folder` empty: the user's runtime folder.
    explicit KxInstanceLock(const QString &caption, const QString &folder = QString());
    ~KxInstanceLock();

    KxInstanceLock(const KxInstanceLock &) = delete;
    KxInstanceLock &operator=(const KxInstanceLock &) = delete;

    // False when a running process holds the lock or the lock file cannot be made.
    // A lock left behind by a process that no longer runs is taken over.
    bool TryLock();
    bool IsLocked() const;
    QString FileName() const { return m_path; }

    // The lock file's name for a caption: characters outside [A-Za-z0-9.-] are written
    // as "_" and two hex digits per UTF-8 byte, so different captions never share a
    // lock; an overlong name is shortened and made unique by a hash.
    static QString LockName(const QString &caption);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
