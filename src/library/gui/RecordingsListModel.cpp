// The list reads the table's view row by row; a change of the view resets it, a move of the cursor
// is reported so the list's current row follows.
#include "library/gui/RecordingsListModel.h"

#include "library/RecordingMarks.h"
#include "library/TableFile.h"

#include <QApplication>
#include <QPalette>

namespace {

const std::array<const char*, RecordingsListModel::ColumnCount> kFields = {"DateS", "TimeS", "Duration", "Comment"};
const std::array<const char*, RecordingsListModel::ColumnCount> kTitles = {"Date", "Time", "Duration", "Memo"};

} // namespace

RecordingsListModel::RecordingsListModel(TableFile& calls, const RecordingMarks& marks, QObject* parent)
    : QAbstractTableModel(parent), m_calls(calls), m_marks(marks) {
    connect(&m_calls, &TableFile::viewChanged, this, &RecordingsListModel::reload);
    connect(&m_calls, &TableFile::currentChanged, this, [this] { Q_EMIT currentRowChanged(currentRow()); });
    reload();
}

void RecordingsListModel::reload() {
    beginResetModel();
    const bool active = m_calls.active();
    for (size_t c = 0; c < kFields.size(); ++c)
        m_fieldIndex[c] = active ? m_calls.fieldIndex(QString::fromLatin1(kFields[c])) : -1;
    m_idIndex = active ? m_calls.fieldIndex(QStringLiteral("Id")) : -1;
    m_rows = active ? m_calls.recordCount() : 0;
    endResetModel();
    Q_EMIT currentRowChanged(currentRow());
}

int RecordingsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int RecordingsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordingsListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.column() < 0 || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return m_calls.viewValue(index.row(), m_fieldIndex[size_t(index.column())]).toString();
    if (role == Qt::BackgroundRole && !m_marks.isEmpty() && m_marks.contains(idAt(index.row())))
        return QApplication::palette().button();
    return {};
}

QVariant RecordingsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromLatin1(kTitles[size_t(section)]);
}

QString RecordingsListModel::idAt(int row) const {
    if (row < 0 || row >= m_rows)
        return {};
    return m_calls.viewValue(row, m_idIndex).toString();
}

int RecordingsListModel::currentRow() const {
    return m_calls.active() && m_calls.recordCount() > 0 ? m_calls.recNo() - 1 : -1;
}

void RecordingsListModel::setCurrentRow(int row) {
    if (row < 0 || row >= m_rows || row == currentRow())
        return;
    m_calls.setRecNo(row + 1);
}

void RecordingsListModel::marksChanged() {
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1), {Qt::BackgroundRole});
}
