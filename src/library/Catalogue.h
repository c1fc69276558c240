// The recording catalogue: Recordings.d, Folders.d, the folder tree and the WAV file names.
#pragma once

#include "library/CatalogueDateFormat.h"
#include "library/FolderTree.h"
#include "library/RecordingFileName.h"
#include "library/TableFile.h"
#include "library/TableFolder.h"

#include <QDateTime>
#include <QObject>

class CatalogueLock;
class Prompter;

/// What the recording path hands over when a recording stops.
struct RecordingEntry {
    qint64 audioBytes = 0;        ///< audio data bytes written to the WAV file
    qint64 avgBytesPerSec = 0;    ///< average bytes per second of the file's wave format
    bool callerIdEnabled = false; ///< the "Enable caller ID" setting
    QString callerId;             ///< the caller identification the modem controller kept for the call
    QDateTime endTime = QDateTime::currentDateTime(); ///< when the recording ended (local time)
};

/// The catalogue of one working folder. The tables are `recordings` (Recordings.d, the detail) and
/// `folders` (Folders.d, the master): the folders table's current row is the selected folder and
/// the recordings view holds exactly its recordings. Every change is saved at once.
///
///     Catalogue catalogue(workDir, prompter);
///     catalogue.openCatalogue();                        // throws TableError when nothing can be opened
///     QString name = catalogue.addRecordingEntry(entry); // then rename wav/Recorded.wav to wav/<name>.wav
///     ...
///     catalogue.saveTree();                             // at shutdown
///     catalogue.close();
class Catalogue : public QObject {
    Q_OBJECT
public:
    Catalogue(const QString& folder, Prompter& prompter, const CatalogueDateFormat& formats = CatalogueDateFormat(),
              QObject* parent = nullptr);
    ~Catalogue() override;

    /// Opens or creates both tables and fills the folder tree. A table file that cannot be opened
    /// gives "Can not open <name> file. Restoring backup" and the backup takes its place (the damaged
    /// file is kept as <name>.damaged). When the backup is missing or damaged too, the user is told
    /// and a new empty table is created, so the recorder keeps working.
    void openCatalogue();
    /// The same under `lock`, taken first (waiting up to `waitMs` for a holder to finish): the tables
    /// live in memory and are rewritten whole, so a second writer would undo this one's changes.
    /// Throws TableError with the lock's refusal when another process holds it. A folder that cannot
    /// hold the lock file cannot hold a new table either: the tables then say why.
    void openCatalogue(CatalogueLock& lock, int waitMs);
    /// Closes both tables; errors are ignored. Nothing is pending: every change was saved.
    void close();

    TableFile& recordings() { return m_calls; }
    TableFile& folders() { return m_folders; }
    FolderTree& folderTree() { return m_tree; }
    const CatalogueDateFormat& formats() const { return m_formats; }
    QString folder() const { return m_folder; }

    /// Appends and saves the row of a finished recording in the selected folder and returns its
    /// base name, which also becomes the current file name. When wav/<base name>.wav is already
    /// taken (another recording ended in the same second), the name is <base name>_<id>; the
    /// row's recordingBaseName() finds it again from the file. Throws TableError when saving fails.
    QString addRecordingEntry(const RecordingEntry& entry);
    /// The `id` of the row addRecordingEntry added last; empty before the first.
    QString lastAddedId() const { return m_lastAddedId; }

    /// The base name of a row of the recordings view that was saved for `entry` (the same date, time,
    /// duration and channel) and whose WAV file is missing: a stop or recovery that lost the power
    /// between saving the row and naming the file. Empty when there is none; the cursor stays.
    QString rowAwaitingFile(const RecordingEntry& entry);

    /// The base name of the current recordings row (RecordingFileName::baseName): channel_yyyyMMdd_hhmmss,
    /// or that followed by "_" and the row's id when the file of that name exists; a row written under
    /// other date formats gets the reading whose file exists. Throws TableError when DateS or TimeS
    /// has no reading.
    QString recordingBaseName() const;
    /// Renames a legacy wav/<id>.wav of the current row to its base name; failures are ignored.
    void migrateLegacyFile();

    /// The base name of the recording last worked on.
    QString currentFileName() const { return m_currentFileName; }
    void setCurrentFileName(const QString& name) { m_currentFileName = name; }
    /// <folder>/wav/<base name>.wav
    QString wavPath(const QString& baseName) const;

    /// Selection change of the tree: selects the node and makes the folder of that name current
    /// (the recordings view follows); without such a folder the folders table stays where it was.
    void selectNode(FolderNode* node);
    /// Writes the tree to tree.d; false when the file system refuses.
    bool saveTree() const;

    /// Deletes every recording of a folder through the delete hooks and saves the table once at the
    /// end instead of after every row. Stops at the first row whose file name cannot be made (the
    /// error is rethrown); the rows deleted until then stay deleted and saved.
    int deleteRecordingsOfFolder(const QString& folderId);

    /// Makes the recording with this id the current row. Within the selected folder's recordings
    /// only, or, with `anyList`, wherever it is filed: the folders table then moves to its folder.
    /// False when there is no such recording (or its folder has no row).
    bool locateRecording(const QString& id, bool anyList);
    /// Closes and reopens the recordings table from Recordings.d; the first row becomes current.
    void reloadRecordings();
    /// The files of wav/ that no catalogue row names (wav/Recorded.wav aside, which the recorder
    /// recovers): left by a deletion that was interrupted, they can still be listened to or filed
    /// again. Relative names, e.g. "wav/1_20261208_131453.wav", sorted.
    QStringList filesWithoutRow() const;

    /// Called with a step name between the disk steps of a deletion ("delete: row removed",
    /// "delete: saved", "delete: file removed") and of a move ("move: rows changed", "move: saved");
    /// tests end the process there to check that an interruption never costs a row its file.
    void setStepHook(std::function<void(const QString& step)> hook) { m_stepHook = std::move(hook); }
    void reachedStep(const QString& step) const {
        if (m_stepHook)
            m_stepHook(step);
    }

    /// Seconds of `bytes` at `bytesPerSecond`, rounded to the nearest, halves to even.
    static qint64 durationSeconds(qint64 bytes, qint64 bytesPerSecond);
    /// The Duration of the current row, when its file is `baseName` (a saved post-processing can
    /// change a recording's length by its format's block rounding). False when the current row is
    /// another one or the table cannot be written.
    bool setCurrentDuration(const QString& baseName, qint64 audioBytes, qint64 bytesPerSecond);
    /// "mm:ss" with at least two digits of minutes: 5 s "00:05", 6000 s "100:00".
    static QString durationText(qint64 seconds);
    /// A new identifier that no row of `table` has in `field` yet.
    static QString newId(const TableFile& table, const QString& field);

private:
    void openTable(TableFile& table, const QString& name, const std::function<void()>& create);
    void createRecordings();
    void createFolders();
    void loadTree();
    void recordingAboutToBeDeleted();
    void recordingDeleted();
    void removeDeletedFiles();
    QString path(const QString& name) const;

    QString m_folder;
    Prompter& m_prompter;
    CatalogueDateFormat m_formats;
    RecordingFileName m_names{m_folder, m_formats};
    TableFolder m_database;
    TableFile m_folders;
    TableFile m_calls;
    FolderTree m_tree;
    QString m_currentFileName;
    QString m_lastAddedId;
    bool m_bulkDelete = false;
    /// WAV files of deleted rows, removed once a save has taken the rows off the disk.
    QStringList m_deletedFiles;
    std::function<void(const QString&)> m_stepHook;
};
