// Navigation, editing, deletion and search over the records of an open table.
#include "library/MemoryTable.h"

#include "library/TableError.h"
#include "library/TableRecord.h"

#include <utility>

MemoryTable::MemoryTable(QObject* parent) : QObject(parent) {}

void MemoryTable::checkActive() const {
    if (!active())
        throw TableError(QStringLiteral("Cannot do this operation on closed dataset"));
}

int MemoryTable::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int MemoryTable::fieldIndexOrThrow(const QString& name) const {
    checkActive();
    const int index = fieldIndex(name);
    if (index < 0)
        throw TableError(QStringLiteral("Field '%1' not found").arg(name));
    return index;
}

void MemoryTable::setContent(QList<TableField> fields, std::vector<QByteArray> records, QByteArray source) {
    clearContent();
    m_source = std::move(source);
    m_fields = std::move(fields);
    m_records.reserve(records.size());
    for (QByteArray& bytes : records)
        m_records.push_back({std::move(bytes), false});
    m_state = State::Browse;
    rebuildView();
}

void MemoryTable::clearContent() {
    const bool wasActive = active();
    m_view.clear();
    m_records.clear();
    m_fields.clear();
    m_source.clear();
    m_buffer.clear();
    m_pos = -1;
    m_eof = true;
    m_bof = true;
    m_modified = false;
    m_state = State::Inactive;
    if (wasActive) {
        notifyView();
        notifyCurrent();
    }
}

void MemoryTable::rebuildView() {
    m_view.clear();
    for (int i = 0; i < int(m_records.size()); ++i)
        if (!m_records[size_t(i)].deleted && (!m_filter || m_filter(m_records[size_t(i)].bytes)))
            m_view.push_back(i);
    m_pos = m_view.empty() ? -1 : 0;
    m_eof = m_view.empty();
    m_bof = true;
    notifyView();
    notifyCurrent();
}

void MemoryTable::notifyView() {
    if (m_disabled > 0)
        m_viewPending = true;
    else
        Q_EMIT viewChanged();
}

void MemoryTable::notifyCurrent() {
    if (m_disabled > 0)
        m_currentPending = true;
    else
        Q_EMIT currentChanged();
}

void MemoryTable::disableControls() {
    ++m_disabled;
}

void MemoryTable::enableControls() {
    if (m_disabled == 0 || --m_disabled > 0)
        return;
    if (std::exchange(m_viewPending, false))
        Q_EMIT viewChanged();
    if (std::exchange(m_currentPending, false))
        Q_EMIT currentChanged();
}

void MemoryTable::first() {
    checkActive();
    if (m_state != State::Browse)
        post();
    m_pos = m_view.empty() ? -1 : 0;
    m_eof = m_view.empty();
    m_bof = true;
    notifyCurrent();
}

void MemoryTable::last() {
    checkActive();
    if (m_state != State::Browse)
        post();
    m_pos = int(m_view.size()) - 1;
    m_eof = m_view.empty();
    m_bof = m_view.empty();
    notifyCurrent();
}

void MemoryTable::next() {
    checkActive();
    if (m_state != State::Browse)
        post();
    m_bof = false;
    if (m_pos + 1 < int(m_view.size())) {
        ++m_pos;
        m_eof = false;
        notifyCurrent();
    } else {
        m_eof = true;
    }
}

void MemoryTable::prior() {
    checkActive();
    if (m_state != State::Browse)
        post();
    if (m_pos > 0) {
        --m_pos;
        m_eof = false;
        m_bof = false;
        notifyCurrent();
    } else {
        m_bof = true;
    }
}

int MemoryTable::recordCount() const {
    checkActive();
    return int(m_view.size());
}

int MemoryTable::recNo() const {
    checkActive();
    return m_pos + 1;
}

void MemoryTable::setRecNo(int no) {
    checkActive();
    if (m_view.empty())
        return;
    if (m_state != State::Browse)
        post();
    m_pos = qBound(1, no, int(m_view.size())) - 1;
    m_eof = false;
    m_bof = false;
    notifyCurrent();
}

std::optional<int> MemoryTable::currentRecordIndex() const {
    if (!active() || m_pos < 0)
        return std::nullopt;
    return m_view[size_t(m_pos)];
}

QVariant MemoryTable::recordValue(const QByteArray& record, int index) const {
    return TableRecord::decode(m_fields.at(index), TableRecord::fieldSlice(m_fields, record, index));
}

QVariant MemoryTable::fieldValue(const QString& name) const {
    const int index = fieldIndexOrThrow(name);
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer[size_t(index)];
    if (m_pos < 0)
        return {};
    return recordValue(m_records[size_t(m_view[size_t(m_pos)])].bytes, index);
}

void MemoryTable::setFieldValue(const QString& name, const QVariant& value) {
    const int index = fieldIndexOrThrow(name);
    if (m_state != State::Edit && m_state != State::Insert)
        throw TableError(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer[size_t(index)] = value;
}

void MemoryTable::append() {
    checkActive();
    if (m_state != State::Browse)
        post();
    m_buffer.assign(size_t(m_fields.size()), QVariant());
    m_state = State::Insert;
    initNewRecord();
}

void MemoryTable::edit() {
    checkActive();
    if (m_state == State::Edit)
        return;
    if (m_state == State::Insert)
        post();
    if (m_pos < 0)
        throw TableError(QStringLiteral("Error saving record: Record is not found"));
    if (m_records[size_t(m_view[size_t(m_pos)])].deleted)
        throw TableError(QStringLiteral("Error saving record: Record has been deleted"));
    const QByteArray& record = m_records[size_t(m_view[size_t(m_pos)])].bytes;
    m_buffer.clear();
    for (int i = 0; i < m_fields.size(); ++i)
        m_buffer.push_back(recordValue(record, i));
    m_state = State::Edit;
}

void MemoryTable::post() {
    checkActive();
    if (m_state == State::Browse)
        return;
    QByteArray bytes = TableRecord::encode(m_fields, m_buffer);
    if (m_state == State::Insert) {
        m_records.push_back({std::move(bytes), false});
        m_view.push_back(int(m_records.size()) - 1);
        m_pos = int(m_view.size()) - 1;
    } else {
        if (m_pos < 0)
            throw TableError(QStringLiteral("Error saving record: Record is not found"));
        Record& record = m_records[size_t(m_view[size_t(m_pos)])];
        if (record.deleted)
            throw TableError(QStringLiteral("Error saving record: Record has been deleted"));
        record.bytes = std::move(bytes);
    }
    m_state = State::Browse;
    m_buffer.clear();
    m_modified = true;
    m_eof = false;
    m_bof = false;
    notifyView();
    notifyCurrent();
}

void MemoryTable::cancel() {
    checkActive();
    m_state = State::Browse;
    m_buffer.clear();
}

void MemoryTable::deleteRecord() {
    checkActive();
    if (m_state != State::Browse)
        cancel();
    if (m_pos < 0)
        throw TableError(QStringLiteral("Error deleting record: Record is not found"));
    if (m_records[size_t(m_view[size_t(m_pos)])].deleted)
        throw TableError(QStringLiteral("Error deleting record: Record has been deleted"));
    if (m_beforeDelete)
        m_beforeDelete();
    // The hook may have moved the cursor; it deletes the record that is current now, as before.
    if (m_pos < 0)
        throw TableError(QStringLiteral("Error deleting record: Record is not found"));
    Record& record = m_records[size_t(m_view[size_t(m_pos)])];
    record.deleted = true;
    record.bytes = QByteArray();
    m_view.erase(m_view.begin() + m_pos);
    if (m_pos >= int(m_view.size()))
        m_pos = int(m_view.size()) - 1;
    m_eof = m_view.empty();
    m_bof = m_view.empty();
    m_modified = true;
    notifyView();
    notifyCurrent();
    if (m_afterDelete)
        m_afterDelete();
}

bool MemoryTable::valueEquals(const QByteArray& record, int index, const QVariant& value) const {
    const QVariant stored = recordValue(record, index);
    if (m_fields.at(index).isText())
        return stored.toString() == value.toString();
    return stored == value;
}

bool MemoryTable::locate(const QString& name, const QVariant& value) {
    const int index = fieldIndexOrThrow(name);
    if (m_state != State::Browse)
        post();
    for (int i = 0; i < int(m_view.size()); ++i) {
        if (valueEquals(m_records[size_t(m_view[size_t(i)])].bytes, index, value)) {
            m_pos = i;
            m_eof = false;
            m_bof = false;
            notifyCurrent();
            return true;
        }
    }
    return false;
}

QVariant MemoryTable::lookup(const QString& name, const QVariant& value, const QString& resultName) const {
    const int index = fieldIndexOrThrow(name);
    const int result = fieldIndexOrThrow(resultName);
    for (int recordIndex : m_view) {
        const QByteArray& record = m_records[size_t(recordIndex)].bytes;
        if (valueEquals(record, index, value))
            return recordValue(record, result);
    }
    return {};
}

QVariant MemoryTable::lookupAll(const QString& name, const QVariant& value, const QString& resultName) const {
    const int index = fieldIndexOrThrow(name);
    const int result = fieldIndexOrThrow(resultName);
    for (const Record& record : m_records)
        if (!record.deleted && valueEquals(record.bytes, index, value))
            return recordValue(record.bytes, result);
    return {};
}

QList<QVariant> MemoryTable::allValues(const QString& name) const {
    const int index = fieldIndexOrThrow(name);
    QList<QVariant> out;
    for (const Record& record : m_records)
        if (!record.deleted)
            out.append(recordValue(record.bytes, index));
    return out;
}

QList<QVariant> MemoryTable::allValuesAt(const QString& name, const QList<int>& positions) const {
    const int index = fieldIndexOrThrow(name);
    QList<QVariant> out;
    out.reserve(positions.size());
    int live = -1;
    qsizetype next = 0;
    for (const Record& record : m_records) {
        if (next >= positions.size())
            break;
        if (record.deleted)
            continue;
        ++live;
        while (next < positions.size() && positions.at(next) == live) {
            out.append(recordValue(record.bytes, index));
            ++next;
        }
    }
    return out;
}

QList<QVariant> MemoryTable::viewValues(const QString& name) const {
    const int index = fieldIndexOrThrow(name);
    QList<QVariant> out;
    out.reserve(qsizetype(m_view.size()));
    for (int recordIndex : m_view)
        out.append(recordValue(m_records[size_t(recordIndex)].bytes, index));
    return out;
}

QVariant MemoryTable::viewValue(int row, int fieldIndex) const {
    if (!active() || row < 0 || row >= int(m_view.size()) || fieldIndex < 0 || fieldIndex >= m_fields.size())
        return {};
    return recordValue(m_records[size_t(m_view[size_t(row)])].bytes, fieldIndex);
}

std::vector<const QByteArray*> MemoryTable::liveRecords() const {
    std::vector<const QByteArray*> out;
    out.reserve(m_records.size());
    for (const Record& record : m_records)
        if (!record.deleted)
            out.push_back(&record.bytes);
    return out;
}
