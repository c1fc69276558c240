// The call log's table: its fields, adding a call, the days it keeps them, reading it back.
#include "library/CallLog.h"

#include "library/TableError.h"
#include "library/UniqueId.h"

#include <QDir>
#include <QFile>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("HH:mm:ss");

struct OutcomeName {
    CallOutcome outcome;
    const char* key;
    const char* text;
};

constexpr OutcomeName kOutcomes[] = {
    {CallOutcome::Recorded, "recorded", "Recorded"},
    {CallOutcome::PassedOver, "passed over", "Passed over"},
    {CallOutcome::NotAnswered, "not answered", "Not answered"},
    {CallOutcome::Outgoing, "outgoing", "Outgoing"},
    {CallOutcome::DoNotRecord, "do not record", "Not recorded: do not record"},
    {CallOutcome::NotRecorded, "not recorded", "Not recorded"},
};

/// Text from the line on one line of a list: control characters become blanks.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text.trimmed();
}

} // namespace

CallLog::CallLog(const QString& folder) : m_folder(folder) {
    m_database.setDatabasePath(folder);
    m_table.setDatabase(&m_database);
    m_table.setTableName(kFileName);
    m_table.setSaveOptions(savAutoBackup);
}

QString CallLog::outcomeKey(CallOutcome outcome) {
    for (const OutcomeName& o : kOutcomes)
        if (o.outcome == outcome)
            return QString::fromLatin1(o.key);
    return QString();
}

std::optional<CallOutcome> CallLog::outcomeFromKey(const QString& key) {
    for (const OutcomeName& o : kOutcomes)
        if (key == QLatin1String(o.key))
            return o.outcome;
    return std::nullopt;
}

QString CallLog::outcomeText(CallOutcome outcome) {
    for (const OutcomeName& o : kOutcomes)
        if (o.outcome == outcome)
            return QString::fromLatin1(o.text);
    return QString();
}

void CallLog::create() {
    m_table.setLoadMode(TableLoadMode::lmClear);
    m_table.fieldDefinitions() = {
        {QStringLiteral("id"), FieldKind::Text, 10},      {QStringLiteral("Date"), FieldKind::Text, 10},
        {QStringLiteral("Time"), FieldKind::Text, 8},     {QStringLiteral("Rings"), FieldKind::Integer, 0},
        {QStringLiteral("Number"), FieldKind::Text, 64},  {QStringLiteral("Name"), FieldKind::Text, 100},
        {QStringLiteral("Outcome"), FieldKind::Text, 20}, {QStringLiteral("RecordingId"), FieldKind::Text, 10}};
    m_table.open();
    m_table.saveToFile(m_table.filePath());
    m_table.setLoadMode(TableLoadMode::lmFile);
    m_table.open();
}

QString CallLog::open() {
    m_table.close();
    m_table.setLoadMode(TableLoadMode::lmFile);
    const QString file = m_table.filePath();
    if (!QFile::exists(file)) {
        create();
        return QString();
    }
    try {
        m_table.open();
        return QString();
    } catch (const TableError& e) {
        // Kept for the user; the log starts anew.
        QString target = file + QStringLiteral(".damaged");
        for (int n = 2; QFile::exists(target); ++n)
            target = file + QStringLiteral(".damaged-%1").arg(n);
        QFile::rename(file, target);
        create();
        return e.message() + QStringLiteral("; the call log was kept as ") + target + QStringLiteral(" and begun anew");
    }
}

void CallLog::close() {
    try {
        m_table.close();
    } catch (...) {
    }
}

void CallLog::add(const CallLogRow& row) {
    m_table.last();
    m_table.append();
    m_table.setFieldValue(QStringLiteral("id"), makeUniqueId());
    m_table.setFieldValue(QStringLiteral("Date"), row.when.date().toString(kDateFormat));
    m_table.setFieldValue(QStringLiteral("Time"), row.when.time().toString(kTimeFormat));
    m_table.setFieldValue(QStringLiteral("Rings"), row.rings);
    m_table.setFieldValue(QStringLiteral("Number"), oneLine(row.number));
    m_table.setFieldValue(QStringLiteral("Name"), oneLine(row.name));
    m_table.setFieldValue(QStringLiteral("Outcome"), outcomeKey(row.outcome));
    m_table.setFieldValue(QStringLiteral("RecordingId"), row.recordingId);
    m_table.post();
    m_table.saveTable();
}

int CallLog::removeBefore(const QDate& firstKept) {
    const QString kept = firstKept.toString(kDateFormat);
    int removed = 0;
    {
        SuspendedDisplay quiet(m_table);
        m_table.first();
        while (!m_table.eof() && m_table.recordCount() > 0) {
            // The dates are written so that text order is date order; a row without one is kept.
            const QString date = m_table.fieldText(QStringLiteral("Date"));
            if (!date.isEmpty() && date < kept) {
                m_table.deleteRecord();
                ++removed;
                if (m_table.recordCount() == 0)
                    break;
                continue;
            }
            m_table.next();
        }
    }
    if (removed > 0)
        m_table.saveTable();
    return removed;
}

QList<CallLogRow> CallLog::rowsOf(const TableFile& table) {
    QList<CallLogRow> rows;
    if (!table.active())
        return rows;
    const QList<QVariant> dates = table.allValues(QStringLiteral("Date"));
    const QList<QVariant> times = table.allValues(QStringLiteral("Time"));
    const QList<QVariant> rings = table.allValues(QStringLiteral("Rings"));
    const QList<QVariant> numbers = table.allValues(QStringLiteral("Number"));
    const QList<QVariant> names = table.allValues(QStringLiteral("Name"));
    const QList<QVariant> outcomes = table.allValues(QStringLiteral("Outcome"));
    const QList<QVariant> ids = table.allValues(QStringLiteral("RecordingId"));
    for (qsizetype i = 0; i < dates.size(); ++i) {
        CallLogRow row;
        row.when = QDateTime(QDate::fromString(dates[i].toString(), kDateFormat),
                             QTime::fromString(times[i].toString(), kTimeFormat));
        row.rings = rings[i].toInt();
        row.number = numbers[i].toString();
        row.name = names[i].toString();
        row.outcome = outcomeFromKey(outcomes[i].toString()).value_or(CallOutcome::NotRecorded);
        row.recordingId = ids[i].toString();
        rows.append(row);
    }
    return rows;
}

QList<CallLogRow> CallLog::rows() const {
    return rowsOf(m_table);
}

QList<CallLogRow> CallLog::readRows(const QString& folder) {
    TableFolder database;
    database.setDatabasePath(folder);
    TableFile table;
    table.setDatabase(&database);
    table.setTableName(kFileName);
    if (!QFile::exists(table.filePath()))
        return {};
    table.open();
    return rowsOf(table);
}
