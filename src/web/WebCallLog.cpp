// Rows of the call log as JSON for the page.
#include "web/WebCallLog.h"

#include "library/CallLogListing.h"

#include <QJsonArray>

QJsonObject callLogRowObject(const CallLogRow& row) {
    QJsonObject object{{QStringLiteral("date"), row.when.date().toString(Qt::ISODate)},
                       {QStringLiteral("time"), row.when.time().toString(Qt::ISODate)},
                       {QStringLiteral("rings"), row.rings},
                       {QStringLiteral("number"), row.number},
                       {QStringLiteral("name"), row.name},
                       {QStringLiteral("outcome"), CallLog::outcomeKey(row.outcome)},
                       {QStringLiteral("outcomeText"), CallLog::outcomeText(row.outcome)}};
    if (!row.recordingId.isEmpty())
        object.insert(QStringLiteral("recording"), row.recordingId);
    return object;
}

QJsonObject callLogPage(const QList<CallLogRow>& rows, int offset, int limit, bool missedOnly) {
    CallLogFilter filter;
    filter.missed = missedOnly;
    const QList<CallLogRow> chosen = CallLogListing::select(rows, filter);
    QJsonArray page;
    for (qsizetype index = chosen.size() - 1 - offset; index >= 0 && page.size() < limit; --index)
        page.append(callLogRowObject(chosen.at(index)));
    return {{QStringLiteral("total"), int(chosen.size())},
            {QStringLiteral("offset"), offset},
            {QStringLiteral("limit"), limit},
            {QStringLiteral("calls"), page}};
}
