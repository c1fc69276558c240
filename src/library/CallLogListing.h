// The call log as text for people or as CSV, and the choice of rows `orlamo-cli calls` and the window make.
#pragma once

#include "library/CallLog.h"

#include <QDate>

struct CallLogFilter {
    QDate since;         ///< calls on or after this day; null: all
    bool missed = false; ///< only the calls nobody took
};

class CallLogListing {
public:
    static QList<CallLogRow> select(const QList<CallLogRow>& rows, const CallLogFilter& filter);
    /// Header "date,time,rings,number,name,outcome,recording"; fields quoted as the catalogue's CSV is,
    /// the number and the name guarded as text from the line.
    static QString toCsv(const QList<CallLogRow>& rows);
    /// Aligned columns with a header line.
    static QString toText(const QList<CallLogRow>& rows);
    /// The text of one row's outcome in a list: "Recorded", "Outgoing", ...
    static QString outcomeText(const CallLogRow& row) { return CallLog::outcomeText(row.outcome); }
};
