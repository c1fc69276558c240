// The two forms of a backup: one ustar archive, or a folder that is itself a working folder.
#pragma once

#include "library/CatalogueSnapshot.h"
#include "library/TarWriter.h"

#include <QSaveFile>
#include <memory>

/// FILE.tar, written under a temporary name and renamed when whole: an interrupted backup leaves the
/// previous archive of that name as it was.
class ArchiveBackupTarget : public SnapshotTarget {
public:
    explicit ArchiveBackupTarget(QString path) : m_path(std::move(path)) {}
    void begin() override;
    bool copyRecording(const QString& source, const SnapshotFile& file) override;
    void writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) override;
    void finish(const QList<SnapshotFile>& recordings) override;

private:
    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<TarWriter> m_tar;
};

/// DIR, which must be missing or empty: the copy is made in DIR.partial beside it and renamed.
class FolderBackupTarget : public SnapshotTarget {
public:
    /// Throws BackupError when `path` is a file or a folder that holds anything.
    explicit FolderBackupTarget(QString path);
    void begin() override;
    bool copyRecording(const QString& source, const SnapshotFile& file) override;
    void writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) override;
    void finish(const QList<SnapshotFile>& recordings) override;

private:
    QString m_path;
    QString m_staging;
};
