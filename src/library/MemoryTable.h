// The in-memory table: fields, records, the view navigation sees, the cursor and the edit buffer.
#pragma once

#include "library/TableField.h"

#include <QObject>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

/// A dataset of the table store. Records are kept in their file encoding; the view is the ordered
/// list of live records navigation sees. Every operation on a closed dataset throws TableError
/// "Cannot do this operation on closed dataset".
class MemoryTable : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit MemoryTable(QObject* parent = nullptr);

    bool active() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    const QList<TableField>& fields() const { return m_fields; }
    /// Index of a field by name, without regard to letter case; -1 when there is none.
    int fieldIndex(const QString& name) const;

    // Navigation over the view.
    void first();
    void last();
    void next(); ///< past the last record the cursor stays and eof() becomes true
    void prior();
    bool eof() const { return m_eof; }
    /// True at the beginning of the view: after first(), opening, a new range, or prior() on the
    /// first record; any other move clears it.
    bool bof() const { return m_bof; }
    int recordCount() const;
    int recNo() const;     ///< 1-based position in the view, 0 when the view is empty
    void setRecNo(int no); ///< clamped to 1 and the record count

    /// Value of a field of the current record (or of the record being edited): null for an empty
    /// text, the value (zero included) for numbers. Throws for an unknown field name.
    QVariant fieldValue(const QString& name) const;
    QString fieldText(const QString& name) const { return fieldValue(name).toString(); }
    /// Sets a field of the record being inserted or edited; throws in browse state.
    void setFieldValue(const QString& name, const QVariant& value);

    void append(); ///< insert state with a new empty record that Post adds at the end
    void edit();   ///< edit state on the current record
    void post();
    void cancel();
    /// Raises BeforeDelete (an exception thrown there stops the deletion), deletes the current
    /// record, then raises AfterDelete. The next record becomes current (the previous at the end).
    void deleteRecord();

    /// Moves to the first record of the view whose field equals `value` exactly.
    bool locate(const QString& name, const QVariant& value);
    /// The result field of the record Locate would find, without moving; null without a match.
    QVariant lookup(const QString& name, const QVariant& value, const QString& resultName) const;

    /// Lookup over every live record, in record order, whatever the view shows.
    QVariant lookupAll(const QString& name, const QVariant& value, const QString& resultName) const;

    /// The values of one field over the whole view, in view order, without moving the cursor.
    QList<QVariant> viewValues(const QString& name) const;
    /// The value of field `fieldIndex` in row `row` (0-based) of the view, without moving the cursor;
    /// null outside the view or on a closed dataset. What a list shows, row by row, as it paints.
    QVariant viewValue(int row, int fieldIndex) const;
    /// The values of one field over every live record, in record order, whatever the view shows.
    QList<QVariant> allValues(const QString& name) const;
    /// The same for the live records at `positions` (ascending places in allValues' order) only: a
    /// page of a long table without converting every value of it.
    QList<QVariant> allValuesAt(const QString& name, const QList<int>& positions) const;

    /// Suspend and resume display updates: while suspended, viewChanged() and currentChanged() are
    /// held back and each sent once when the last suspension ends (a detail of a suspended master
    /// follows it then).
    void disableControls();
    void enableControls();

    /// Set by the first append, edit or delete after opening; cleared by closing.
    bool modified() const { return m_modified; }

    void setBeforeDelete(std::function<void()> hook) { m_beforeDelete = std::move(hook); }
    void setAfterDelete(std::function<void()> hook) { m_afterDelete = std::move(hook); }

    /// The record index (in record order) of the current record, for views over several datasets.
    std::optional<int> currentRecordIndex() const;

Q_SIGNALS:
    /// The current record changed (navigation, locate, post, delete, open, a new range).
    void currentChanged();
    /// Records were added, changed or removed, or the view was rebuilt.
    void viewChanged();

protected:
    /// Replaces the whole content; the dataset becomes active in browse state with the cursor on
    /// the first record of the view.
    void setContent(QList<TableField> fields, std::vector<QByteArray> records, QByteArray source);
    void clearContent();
    void checkActive() const;
    /// Rebuilds the view from the live records that pass `filter` (all when none) and goes first.
    void rebuildView();
    /// Only records for which this returns true are in the view; empty means all.
    std::function<bool(const QByteArray& record)> m_filter;
    /// Called after Append has set up the empty record: lets a detail fill its range fields.
    virtual void initNewRecord() {}
    int fieldIndexOrThrow(const QString& name) const;
    void setBufferValue(int index, const QVariant& value) { m_buffer[size_t(index)] = value; }
    QVariant recordValue(const QByteArray& record, int index) const;
    /// Live records in record order, for writing.
    std::vector<const QByteArray*> liveRecords() const;
    bool valueEquals(const QByteArray& record, int index, const QVariant& value) const;

private:
    void notifyView();
    void notifyCurrent();

    struct Record {
        QByteArray bytes;
        bool deleted = false;
    };
    State m_state = State::Inactive;
    QByteArray m_source; // the loaded file; unchanged records point into it
    QList<TableField> m_fields;
    std::vector<Record> m_records;
    std::vector<int> m_view; // record indices
    int m_pos = -1;          // index into m_view
    bool m_eof = true;
    bool m_bof = true;
    bool m_modified = false;
    std::vector<QVariant> m_buffer;
    int m_disabled = 0;
    bool m_viewPending = false;
    bool m_currentPending = false;
    std::function<void()> m_beforeDelete;
    std::function<void()> m_afterDelete;
};

/// Holds back a table's display updates for its lifetime (disableControls / enableControls): the list
/// repaints once at the end instead of at each row that changes.
class SuspendedDisplay {
public:
    explicit SuspendedDisplay(MemoryTable& table) : m_table(table) { m_table.disableControls(); }
    ~SuspendedDisplay() { m_table.enableControls(); }
    SuspendedDisplay(const SuspendedDisplay&) = delete;
    SuspendedDisplay& operator=(const SuspendedDisplay&) = delete;

private:
    MemoryTable& m_table;
};
