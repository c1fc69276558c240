// The tags of a recordings row: its date and time read with the catalogue's formats, and its memo.
#include "library/RecordingTags.h"

#include "library/Catalogue.h"
#include "library/TableFile.h"

QString RecordingTags::titleText() const {
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString RecordingTags::dateText() const {
    return when.isValid() ? when.toString(Qt::ISODate) : QString();
}

RecordingTags currentRecordingTags(Catalogue& catalogue) {
    const TableFile& calls = catalogue.recordings();
    RecordingTags tags;
    const QList<QDate> dates = catalogue.formats().dateReadings(calls.fieldText(QStringLiteral("DateS")));
    const QList<QTime> times = catalogue.formats().timeReadings(calls.fieldText(QStringLiteral("TimeS")));
    if (!dates.isEmpty() && !times.isEmpty())
        tags.when = QDateTime(dates.first(), times.first());
    tags.memo = calls.fieldText(QStringLiteral("Comment")).trimmed();
    tags.caller = tags.memo;
    return tags;
}
