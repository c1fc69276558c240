// The recordings list of the main window: the current view of the recordings table, read-only.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class TableFile;

/// Columns Date, Time, Duration and Memo of the selected folder's recordings, in table order.
/// The list follows the table: any change to its view rebuilds the rows.
class RecordingsListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordingsListModel(TableFile& calls, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Reads the table's view again.
    void reload();

private:
    TableFile& m_calls;
    std::array<QStringList, 4> m_columns;
};
