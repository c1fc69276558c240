// The catalogue's lock file.
#include "library/CatalogueLock.h"

#include <QDir>
#include <QSysInfo>

CatalogueLock::CatalogueLock(const QString& folder)
    : m_folder(folder), m_lock(QDir(folder).filePath(QString::fromLatin1(kFileName))) {
    // Only a dead holder makes a lock stale, never its age: the window runs for days.
    m_lock.setStaleLockTime(0);
}

bool CatalogueLock::tryLock(int waitMs) {
    return m_lock.isLocked() || m_lock.tryLock(waitMs);
}

void CatalogueLock::unlock() {
    if (m_lock.isLocked())
        m_lock.unlock();
}

QString CatalogueLock::refusal() const {
    const QString where = QDir::toNativeSeparators(m_folder);
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.error() == QLockFile::LockFailedError && m_lock.getLockInfo(&pid, &host, &application)) {
        QString holder = (application.isEmpty() ? QStringLiteral("another program") : application) +
                         QStringLiteral(" (process %1").arg(pid);
        if (!host.isEmpty() && host != QSysInfo::machineHostName())
            holder += QStringLiteral(" on ") + host;
        return QStringLiteral("The catalogue in %1 is in use by %2)").arg(where, holder);
    }
    if (m_lock.error() == QLockFile::LockFailedError)
        return QStringLiteral("The catalogue in %1 is in use by another program").arg(where);
    return QStringLiteral("Cannot write the lock file %1").arg(QDir::toNativeSeparators(m_lock.fileName()));
}
