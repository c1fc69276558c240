// The recordings list of the main window: the current view of the recordings table, read-only.
#pragma once

#include <QAbstractTableModel>
#include <array>

class RecordingMarks;
class TableFile;

/// Columns Date, Time, Duration and Memo of the selected folder's recordings, in table order. Rows
/// are read from the table as they are painted: nothing is copied, so a list of any length opens
/// at once. Marked rows carry the button-face background.
class RecordingsListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DateColumn, TimeColumn, DurationColumn, MemoColumn, ColumnCount };

    RecordingsListModel(TableFile& calls, const RecordingMarks& marks, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// The `Id` text of a row of the view; empty outside it.
    QString idAt(int row) const;
    /// The table's current row (0-based), -1 when the view is empty.
    int currentRow() const;
    /// Makes `row` the table's current row.
    void setCurrentRow(int row);
    /// The marks changed: repaint every row.
    void marksChanged();

Q_SIGNALS:
    /// The table's current row moved (by the list, a command or a reload).
    void currentRowChanged(int row);

private:
    void reload();

    TableFile& m_calls;
    const RecordingMarks& m_marks;
    std::array<int, ColumnCount> m_fieldIndex{-1, -1, -1, -1};
    int m_idIndex = -1;
    int m_rows = 0;
};
