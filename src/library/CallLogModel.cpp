// What each column of the call log shows.
#include "library/CallLogModel.h"

#include "library/CallLogListing.h"

#include <algorithm>

CallLogModel::CallLogModel(QObject* parent) : QAbstractTableModel(parent) {}

void CallLogModel::setRows(const QList<CallLogRow>& rows) {
    beginResetModel();
    m_rows = rows;
    std::reverse(m_rows.begin(), m_rows.end());
    endResetModel();
}

int CallLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CallLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CallLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const CallLogRow& call = m_rows.at(index.row());
    if (role == Qt::ToolTipRole && index.column() == OutcomeColumn && !call.recordingId.isEmpty())
        return QStringLiteral("Recording ") + call.recordingId;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case DateColumn:
        return call.when.date().toString(QStringLiteral("yyyy-MM-dd"));
    case TimeColumn:
        return call.when.time().toString(QStringLiteral("HH:mm:ss"));
    case RingsColumn:
        return call.rings;
    case NumberColumn:
        return call.number;
    case NameColumn:
        return call.name;
    case OutcomeColumn:
        return CallLogListing::outcomeText(call);
    default:
        return {};
    }
}

QVariant CallLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles{QStringLiteral("Date"),   QStringLiteral("Time"), QStringLiteral("Rings"),
                                    QStringLiteral("Number"), QStringLiteral("Name"), QStringLiteral("Outcome")};
    return section >= 0 && section < titles.size() ? titles.at(section) : QVariant();
}
