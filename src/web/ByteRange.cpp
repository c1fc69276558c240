// Parsing a single byte range; several ranges are answered with the whole resource.
#include "web/ByteRange.h"

std::optional<ByteRange> ByteRange::parse(const QByteArray& header, qint64 size, bool* unsatisfiable) {
    if (unsatisfiable)
        *unsatisfiable = false;
    const QByteArray text = header.trimmed();
    if (!text.startsWith("bytes=") || text.contains(','))
        return std::nullopt;
    const QByteArray bounds = text.mid(6).trimmed();
    const qsizetype dash = bounds.indexOf('-');
    if (dash < 0)
        return std::nullopt;
    const QByteArray from = bounds.left(dash).trimmed();
    const QByteArray to = bounds.mid(dash + 1).trimmed();
    bool ok = true;
    ByteRange range;
    if (from.isEmpty()) {
        const qint64 suffix = to.toLongLong(&ok);
        if (!ok || suffix <= 0)
            return std::nullopt;
        range.first = qMax<qint64>(0, size - suffix);
        range.last = size - 1;
    } else {
        range.first = from.toLongLong(&ok);
        if (!ok || range.first < 0)
            return std::nullopt;
        range.last = size - 1;
        if (!to.isEmpty()) {
            range.last = to.toLongLong(&ok);
            if (!ok || range.last < range.first)
                return std::nullopt;
            range.last = qMin(range.last, size - 1);
        }
    }
    if (range.first >= size || size <= 0) {
        if (unsatisfiable)
            *unsatisfiable = true;
        return std::nullopt;
    }
    return range;
}
