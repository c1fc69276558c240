// The one range of an HTTP Range header the audio answers honour.
#pragma once

#include <QByteArray>
#include <optional>

/// Bytes [first, last] of a resource of `size` bytes.
struct ByteRange {
    qint64 first = 0;
    qint64 last = 0;
    qint64 length() const { return last - first + 1; }

    /// "bytes=A-B", "bytes=A-" or "bytes=-N" against `size`. No value for a header that is missing or
    /// not of that form (the whole resource is sent then); `unsatisfiable` is set for a range outside it.
    static std::optional<ByteRange> parse(const QByteArray& header, qint64 size, bool* unsatisfiable);
};
