// The call log as a table model: newest call first, text from the line shown as plain text.
#pragma once

#include "library/CallLog.h"

#include <QAbstractTableModel>

class CallLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DateColumn, TimeColumn, RingsColumn, NumberColumn, NameColumn, OutcomeColumn, ColumnCount };

    explicit CallLogModel(QObject* parent = nullptr);

    /// Shows `rows` (oldest first, as the log holds them) newest first.
    void setRows(const QList<CallLogRow>& rows);
    const CallLogRow& row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<CallLogRow> m_rows;
};
