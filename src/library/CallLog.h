// The call log: every call that rang or was made, recorded or not, in CallLog.d of the working folder.
#pragma once

#include "library/TableFile.h"
#include "library/TableFolder.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

/// What became of a call. The stored words (outcomeKey) are what CallLog.d holds.
enum class CallOutcome {
    Recorded,    ///< recorded: the row carries the recording's catalogue id
    PassedOver,  ///< rang past the set number of rings and was not recorded
    NotAnswered, ///< the rings stopped and nobody took the call
    Outgoing,    ///< a call the user made; the number is what was dialled
    DoNotRecord, ///< the caller is one the user never records
    NotRecorded, ///< rang, but no recording could be made (automatic recording off, a failed start)
};

struct CallLogRow {
    QDateTime when; ///< local time of the first ring (or of the off-hook of a call the user made)
    int rings = 0;
    QString number; ///< as the caller identification gave it, or the dialled digits
    QString name;
    CallOutcome outcome = CallOutcome::NotRecorded;
    QString recordingId; ///< the catalogue's `id` of the recording, when one was made

    /// A call nobody took: what `orlamo-cli calls --missed` lists.
    bool missed() const { return outcome == CallOutcome::NotAnswered; }
};

/// The table, opened once per run by the program; `orlamo-cli calls` only reads it (readRows).
class CallLog {
public:
    static inline const QString kFileName = QStringLiteral("CallLog.d");

    explicit CallLog(const QString& folder);

    /// Opens CallLog.d, or creates it empty. A file that cannot be read is kept as CallLog.d.damaged
    /// and a new one is started: the log must never keep calls from being recorded. Returns what
    /// happened to a damaged file (empty when nothing did). Throws TableError when nothing can be written.
    QString open();
    void close();
    bool active() const { return m_table.active(); }

    /// Appends and saves one call. Throws TableError when saving fails.
    void add(const CallLogRow& row);
    /// Deletes the calls before `firstKept` and saves; returns how many went.
    int removeBefore(const QDate& firstKept);
    QList<CallLogRow> rows() const;
    TableFile& table() { return m_table; }

    /// The rows of the log in `folder`, oldest first; empty without a file. Throws TableError when
    /// the file cannot be read.
    static QList<CallLogRow> readRows(const QString& folder);

    static QString outcomeKey(CallOutcome outcome);
    static std::optional<CallOutcome> outcomeFromKey(const QString& key);
    /// The outcome as the lists show it: "Recorded", "Not answered", ...
    static QString outcomeText(CallOutcome outcome);

private:
    void create();
    static QList<CallLogRow> rowsOf(const TableFile& table);

    QString m_folder;
    TableFolder m_database;
    TableFile m_table;
};
