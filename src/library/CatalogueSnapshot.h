// A consistent copy of a working folder's catalogue and recordings, taken while a recorder may run.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

/// A file of the working folder, by its path relative to it.
struct SnapshotFile {
    QString path;
    qint64 size = 0;
    QDateTime modified;
    bool operator==(const SnapshotFile& other) const = default;
};

/// Where a snapshot goes: an archive, a folder, a mirror. Each attempt calls begin(), the
/// recordings, the catalogue files, then finish(); an attempt the folder changed under is begun
/// again. The methods throw BackupError when the destination refuses.
class SnapshotTarget {
public:
    virtual ~SnapshotTarget() = default;
    virtual void begin() = 0;
    /// False when the source is no longer as listed (deleted, or of another size).
    virtual bool copyRecording(const QString& source, const SnapshotFile& file) = 0;
    virtual void writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) = 0;
    /// `recordings` is what this attempt copied: a mirror removes the files not among them.
    virtual void finish(const QList<SnapshotFile>& recordings) = 0;
};

/// What a snapshot holds: the tables (Recordings.d, Folders.d, with their .~d backups), tree.d, tvk.ini,
/// Compressions.d, the
/// *.cpn files and every recording in wav/ (wav/Recorded.wav, a recording not catalogued yet, aside).
///
/// Every writer of the catalogue holds its lock and replaces a table whole by a rename, and a
/// recording's file gets its name only after its row is saved, so the snapshot is taken as:
///  1. list wav/, copy the recordings listed;
///  2. read the catalogue files into memory: under the catalogue lock when it is free (a short
///     critical section), else as they stand, each read being one whole version;
///  3. list wav/ and the catalogue files again. When a file came, went or changed, or a recording's stop sits between
///     saving its row and naming its file (wav/Recorded.wav complete and older than Recordings.d),
///     the attempt is begun again; otherwise the tables read in 2 name only files copied in 1.
class CatalogueSnapshot {
public:
    explicit CatalogueSnapshot(QString folder) : m_folder(std::move(folder)) {}

    /// Throws BackupError when the folder kept changing for `attempts` attempts, or the target refuses.
    void writeTo(SnapshotTarget& target, int attempts = 5) const;

    /// wav/*.wav without wav/Recorded.wav, by name.
    QList<SnapshotFile> recordings() const;
    /// The catalogue files that exist, by name.
    QList<SnapshotFile> catalogueFiles() const;

    static constexpr const char* kRecordingInProgress = "wav/Recorded.wav";

private:
    bool stopInProgress() const;
    SnapshotFile describe(const QString& relativePath) const;

    QString m_folder;
};
