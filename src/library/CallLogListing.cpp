// Selecting and writing out call log rows.
#include "library/CallLogListing.h"

#include "library/CatalogueListing.h"

namespace {

const QString kDate = QStringLiteral("yyyy-MM-dd");
const QString kTime = QStringLiteral("HH:mm:ss");

} // namespace

QList<CallLogRow> CallLogListing::select(const QList<CallLogRow>& rows, const CallLogFilter& filter) {
    QList<CallLogRow> chosen;
    for (const CallLogRow& row : rows) {
        if (filter.since.isValid() && row.when.date() < filter.since)
            continue;
        if (filter.missed && !row.missed())
            continue;
        chosen.append(row);
    }
    return chosen;
}

QString CallLogListing::toCsv(const QList<CallLogRow>& rows) {
    QString out = QStringLiteral("date,time,rings,number,name,outcome,recording\r\n");
    for (const CallLogRow& row : rows) {
        out += row.when.date().toString(kDate) + QLatin1Char(',') + row.when.time().toString(kTime) + QLatin1Char(',') +
               QString::number(row.rings) + QLatin1Char(',') + CatalogueListing::csvField(row.number, true) +
               QLatin1Char(',') + CatalogueListing::csvField(row.name, true) + QLatin1Char(',') +
               CallLog::outcomeKey(row.outcome) + QLatin1Char(',') + CatalogueListing::csvField(row.recordingId, true) +
               QStringLiteral("\r\n");
    }
    return out;
}

QString CallLogListing::toText(const QList<CallLogRow>& rows) {
    const QStringList header{QStringLiteral("Date"),     QStringLiteral("Time"), QStringLiteral("Rings"),
                             QStringLiteral("Number"),   QStringLiteral("Name"), QStringLiteral("Outcome"),
                             QStringLiteral("Recording")};
    std::vector<QStringList> lines{header};
    for (const CallLogRow& row : rows)
        lines.push_back({row.when.date().toString(kDate), row.when.time().toString(kTime), QString::number(row.rings),
                         row.number, row.name, outcomeText(row), row.recordingId});
    return CatalogueListing::alignedColumns(lines);
}
