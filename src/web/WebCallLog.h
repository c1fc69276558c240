// The call log as the web page lists it: rows newest first, a page at a time, as JSON.
#pragma once

#include "library/CallLog.h"

#include <QJsonObject>

/// `limit` rows from `offset` of the log's `rows` (oldest first, as the log holds them), newest
/// first, only the calls nobody took when `missedOnly`; with the total that matched.
QJsonObject callLogPage(const QList<CallLogRow>& rows, int offset, int limit, bool missedOnly);
/// One row: date and time (ISO), rings, number, name, outcome key and text, and the recording's id
/// when the call was recorded.
QJsonObject callLogRowObject(const CallLogRow& row);
