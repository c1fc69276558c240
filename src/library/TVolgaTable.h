// A dataset bound to a table file: open, save with backup, and the master-detail range.
#pragma once

#include "library/TVolgaDataset.h"

#include <QPointer>

class TVolgaDatabase;

enum class TVolgaLoadMode { lmClear, lmFile, lmClone, lmStream };

enum TVolgaSaveOption { savAutoBackup = 1, savSlowMode = 2, savSortOnIndex = 4 };
using TVolgaSaveOptions = int;

/// A table of the table store. Typical use:
///
///     TVolgaTable table;
///     table.setTableName("Recordings.d");      // resolved against the database path, else as given
///     table.setSaveOptions(savAutoBackup);
///     table.open();                            // lmFile: loads the file, throws VolgaError on failure
///     table.append(); table.setFieldValue("id", id); table.post();
///     table.SaveTable();                       // backup to Recordings.~d, then an atomic rewrite
///
/// Load failures throw VolgaError with "Error opening table: " + the reason (or "Error opening file
/// <path>" when the file is missing) and leave the table closed.
class TVolgaTable : public TVolgaDataset {
    Q_OBJECT
public:
    explicit TVolgaTable(QObject* parent = nullptr);

    QString TableName() const { return m_tableName; }
    void setTableName(const QString& name); ///< closes an open table
    TVolgaDatabase* Database() const { return m_database; }
    void setDatabase(TVolgaDatabase* database) { m_database = database; }
    TVolgaLoadMode LoadMode() const { return m_loadMode; }
    void setLoadMode(TVolgaLoadMode mode); ///< closes an open table
    TVolgaSaveOptions SaveOptions() const { return m_saveOptions; }
    void setSaveOptions(TVolgaSaveOptions options) { m_saveOptions = options; }
    QList<TFieldDef>& FieldDefs() { return m_fieldDefs; }

    /// Master-detail: the view holds only the records whose `RangeFieldNames` equal the master's
    /// `MasterFields` (';'-separated lists of the same length), and follows the master's cursor.
    void setMasterSource(TVolgaTable* master);
    void setMasterFields(const QString& names);
    void setRangeFieldNames(const QString& names);

    /// The file the table loads from and saves to.
    QString filePath() const;

    void open();
    void close();
    /// Posts a pending edit, then writes the table to its file when it changed since opening.
    /// A table created with lmClear has no file and writes nothing.
    void SaveTable();
    /// Writes the table to `path`: with savAutoBackup the file there is first copied to the same
    /// name with the extension ".~d"; then the image goes to a temporary file that replaces `path`,
    /// so a crash or a full disk never leaves a half-written table. Throws VolgaError on failure.
    void SaveToFile(const QString& path);

    /// The name of a table file's backup: the extension replaced by ".~d".
    static QString backupPath(const QString& path);

protected:
    void initNewRecord() override;

private:
    void applyRange();
    QList<int> rangeIndices() const;

    QString m_tableName;
    TVolgaDatabase* m_database = nullptr;
    TVolgaLoadMode m_loadMode = TVolgaLoadMode::lmFile;
    TVolgaSaveOptions m_saveOptions = 0;
    QList<TFieldDef> m_fieldDefs;
    QByteArray m_description;
    std::optional<QByteArray> m_notes;
    QPointer<TVolgaTable> m_master;
    QMetaObject::Connection m_masterConnection;
    QStringList m_masterFields;
    QStringList m_rangeFields;
};
