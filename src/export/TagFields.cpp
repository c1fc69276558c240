// The fields of the tags from a recordings row.
#include "export/TagFields.h"

#include "library/RecordingTags.h"

QList<std::pair<QByteArray, QByteArray>> tagFields(const RecordingTags& tags) {
    QList<std::pair<QByteArray, QByteArray>> fields;
    const auto add = [&fields](const char* name, const QString& value) {
        if (!value.isEmpty())
            fields.append({QByteArray(name), value.toUtf8()});
    };
    add("TITLE", tags.titleText());
    add("DATE", tags.dateText());
    add("ARTIST", tags.caller);
    add("COMMENT", tags.memo);
    return fields;
}
