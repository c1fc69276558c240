// A dataset bound to a table file: open, save with backup, and the master-detail range.
#pragma once

#include "library/MemoryTable.h"

#include <QPointer>

class TableFolder;

enum class TableLoadMode { lmClear, lmFile, lmClone, lmStream };

enum TableSaveOption { savAutoBackup = 1, savSlowMode = 2, savSortOnIndex = 4 };
using TableSaveOptions = int;

/// A table of the table store. Typical use:
///
///     TableFile table;
///     table.setTableName("Recordings.d");      // resolved against the database path, else as given
///     table.setSaveOptions(savAutoBackup);
///     table.open();                            // lmFile: loads the file, throws TableError on failure
///     table.append(); table.setFieldValue("id", id); table.post();
///     table.saveTable();                       // backup to Recordings.~d, then an atomic rewrite
///
/// Load failures throw TableError with "Error opening table: " + the reason (or "Error opening file
/// <path>" when the file is missing) and leave the table closed.
class TableFile : public MemoryTable {
    Q_OBJECT
public:
    explicit TableFile(QObject* parent = nullptr);

    QString tableName() const { return m_tableName; }
    void setTableName(const QString& name); ///< closes an open table
    TableFolder* folder() const { return m_database; }
    void setDatabase(TableFolder* database) { m_database = database; }
    TableLoadMode loadMode() const { return m_loadMode; }
    void setLoadMode(TableLoadMode mode); ///< closes an open table
    TableSaveOptions saveOptions() const { return m_saveOptions; }
    void setSaveOptions(TableSaveOptions options) { m_saveOptions = options; }
    QList<FieldDef>& fieldDefinitions() { return m_fieldDefinitions; }

    /// Master-detail: the view holds only the records whose `RangeFieldNames` equal the master's
    /// `MasterFields` (';'-separated lists of the same length), and follows the master's cursor.
    void setMasterSource(TableFile* master);
    void setMasterFields(const QString& names);
    void setRangeFieldNames(const QString& names);

    /// The file the table loads from and saves to.
    QString filePath() const;

    void open();
    void close();
    /// Posts a pending edit, then writes the table to its file when it changed since opening.
    /// A table created with lmClear has no file and writes nothing.
    void saveTable();
    /// Writes the table to `path`: with savAutoBackup the file there is first copied to the same
    /// name with the extension ".~d"; then the image goes to a temporary file that replaces `path`,
    /// so a crash or a full disk never leaves a half-written table. Throws TableError on failure.
    void saveToFile(const QString& path);

    /// The name of a table file's backup: the extension replaced by ".~d".
    static QString backupPath(const QString& path);

Q_SIGNALS:
    /// The table's image is on disk at `path` (after the file was replaced).
    void saved(const QString& path);

protected:
    void initNewRecord() override;

private:
    void applyRange();
    QList<int> rangeIndices() const;

    QString m_tableName;
    TableFolder* m_database = nullptr;
    TableLoadMode m_loadMode = TableLoadMode::lmFile;
    TableSaveOptions m_saveOptions = 0;
    QList<FieldDef> m_fieldDefinitions;
    QByteArray m_description;
    std::optional<QByteArray> m_notes;
    QPointer<TableFile> m_master;
    QMetaObject::Connection m_masterConnection;
    QStringList m_masterFields;
    QStringList m_rangeFields;
};
