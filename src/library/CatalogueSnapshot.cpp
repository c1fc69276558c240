// Taking a consistent snapshot of a working folder.
#include "library/CatalogueSnapshot.h"

#include "library/BackupError.h"
#include "library/CatalogueLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

// The tables with the backups they keep of their previous version, the tree, the settings, the modem's
// compressions.
const QStringList kCatalogueNames = {QStringLiteral("Recordings.d"),  QStringLiteral("Recordings.~d"),
                                     QStringLiteral("Folders.d"),     QStringLiteral("Folders.~d"),
                                     QStringLiteral("tree.d"),        QStringLiteral("tvk.ini"),
                                     QStringLiteral("Compressions.d")};

// A recording's stop takes milliseconds between its row and its name: an attempt waits this long.
constexpr unsigned long kRetryPauseMs = 200;

} // namespace

SnapshotFile CatalogueSnapshot::describe(const QString& relativePath) const {
    const QFileInfo info(QDir(m_folder).filePath(relativePath));
    return {relativePath, info.size(), info.lastModified()};
}

QList<SnapshotFile> CatalogueSnapshot::recordings() const {
    QList<SnapshotFile> files;
    const QDir wav(QDir(m_folder).filePath(QStringLiteral("wav")));
    for (const QString& name : wav.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name))
        if (name != QLatin1String("Recorded.wav"))
            files.append(describe(QStringLiteral("wav/") + name));
    return files;
}

QList<SnapshotFile> CatalogueSnapshot::catalogueFiles() const {
    QList<SnapshotFile> files;
    const QDir folder(m_folder);
    for (const QString& name : kCatalogueNames)
        if (folder.exists(name))
            files.append(describe(name));
    for (const QString& name : folder.entryList({QStringLiteral("*.cpn")}, QDir::Files, QDir::Name))
        files.append(describe(name));
    return files;
}

bool CatalogueSnapshot::stopInProgress() const {
    const QFileInfo recorded(QDir(m_folder).filePath(QLatin1String(kRecordingInProgress)));
    const QFileInfo table(QDir(m_folder).filePath(QStringLiteral("Recordings.d")));
    return recorded.exists() && table.exists() && recorded.lastModified() <= table.lastModified();
}

void CatalogueSnapshot::writeTo(SnapshotTarget& target, int attempts) const {
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (attempt > 1)
            QThread::msleep(kRetryPauseMs);
        target.begin();
        const QList<SnapshotFile> listed = recordings();
        bool asListed = true;
        for (const SnapshotFile& file : listed)
            asListed = asListed && target.copyRecording(QDir(m_folder).filePath(file.path), file);
        if (!asListed)
            continue;

        QList<std::pair<SnapshotFile, QByteArray>> catalogue;
        const QList<SnapshotFile> catalogueListed = catalogueFiles();
        {
            CatalogueLock lock(m_folder);
            const bool locked = lock.tryLock();
            for (const SnapshotFile& file : catalogueListed) {
                QFile in(QDir(m_folder).filePath(file.path));
                if (!in.open(QIODevice::ReadOnly))
                    throw BackupError(QStringLiteral("Cannot read %1").arg(QDir::toNativeSeparators(in.fileName())));
                catalogue.append({file, in.readAll()});
            }
            if (locked)
                lock.unlock();
        }
        // The last attempt accepts a Recorded.wav older than the table: one a crash left behind,
        // which the recorder recovers at its next start.
        // A table backup (.~d) is copied, not renamed, so a save meanwhile may have caught one half-read.
        if (recordings() != listed || catalogueFiles() != catalogueListed || (stopInProgress() && attempt < attempts))
            continue;
        for (auto& [file, bytes] : catalogue) {
            file.size = bytes.size();
            target.writeCatalogueFile(file, bytes);
        }
        target.finish(listed);
        return;
    }
    throw BackupError(
        QStringLiteral("The recordings in %1 kept changing; try again").arg(QDir::toNativeSeparators(m_folder)));
}
