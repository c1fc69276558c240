// One writer at a time on a working folder's catalogue.
#pragma once

#include <QLockFile>
#include <QString>

/// A lock file beside the catalogue (catalogue.lock). The window, the recorder without a window
/// and the catalogue commands of orlamo-cli hold it while they may write Recordings.d, Folders.d,
/// tree.d or the wav folder; each keeps the tables in memory and rewrites them whole, so a second
/// writer would silently undo the first one's changes.
///
///     CatalogueLock lock(workDir);
///     if (!lock.tryLock())
///         fail(lock.refusal());   // "The catalogue in <dir> is in use by orlamo-cli (process 4711)"
///
/// A lock left by a process that has ended (a crash, a power cut) is taken over. A holder that
/// runs for days keeps its lock: its age alone never makes it stale.
class CatalogueLock {
public:
    static constexpr const char* kFileName = "catalogue.lock";

    explicit CatalogueLock(const QString& folder);

    /// Takes the lock, waiting up to `waitMs` for a holder to finish; false when another process
    /// holds it or the lock file cannot be written.
    bool tryLock(int waitMs = 0);
    void unlock();
    bool isLocked() const { return m_lock.isLocked(); }

    /// True after a failed tryLock() when another process holds the lock. Otherwise the lock file
    /// could not be made at all (a read-only folder, a full disk), and then no program can write
    /// the catalogue there either: its own errors are the ones to show.
    bool heldByAnother() const { return m_lock.error() == QLockFile::LockFailedError; }

    /// The one-line reason of a failed tryLock(), naming the holder's process when there is one.
    QString refusal() const;

private:
    QString m_folder;
    QLockFile m_lock;
};
