// Rows of the recordings list, cached per view change so painting never touches the table.
#include "library/gui/RecordingsListModel.h"

#include "library/TableFile.h"

namespace {

const std::array<const char*, 4> kFields = {"DateS", "TimeS", "Duration", "Comment"};
const std::array<const char*, 4> kTitles = {"Date", "Time", "Duration", "Memo"};

} // namespace

RecordingsListModel::RecordingsListModel(TableFile& calls, QObject* parent)
    : QAbstractTableModel(parent), m_calls(calls) {
    connect(&m_calls, &TableFile::viewChanged, this, &RecordingsListModel::reload);
    reload();
}

void RecordingsListModel::reload() {
    beginResetModel();
    for (size_t c = 0; c < kFields.size(); ++c) {
        m_columns[c].clear();
        if (!m_calls.active() || m_calls.fieldIndex(QString::fromLatin1(kFields[c])) < 0)
            continue;
        for (const QVariant& value : m_calls.viewValues(QString::fromLatin1(kFields[c])))
            m_columns[c].append(value.toString());
    }
    endResetModel();
}

int RecordingsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns[0].size());
}

int RecordingsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kFields.size());
}

QVariant RecordingsListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.column() < 0 || index.column() >= columnCount())
        return {};
    const QStringList& column = m_columns[static_cast<size_t>(index.column())];
    return column.value(index.row());
}

QVariant RecordingsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return QString::fromLatin1(kTitles[static_cast<size_t>(section)]);
}
