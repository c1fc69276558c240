// The table file image: parsing it with every structural check, and building it for a save.
#pragma once

#include "library/TVolgaField.h"

#include <QByteArray>
#include <optional>
#include <vector>

struct VolgaImage {
    QByteArray description; ///< the field description section, kept as read
    QList<TVolgaField> fields;
    std::optional<QByteArray> notes; ///< the notes block's text, when the file has one
    /// Every record in its canonical encoding. Records that were already canonical in the file
    /// share the bytes of `source` instead of being copied.
    std::vector<QByteArray> records;
    QByteArray source;
};

namespace VolgaImageFormat {

/// Parses a whole file image. Throws VolgaError with the loader's message (without the
/// "Error opening table: " prefix, which the table adds).
VolgaImage parse(QByteArray bytes);

/// The description section for field definitions: "XXX.<name> <type>" 0x12 per field, then 0x14.
QByteArray description(const QList<TFieldDef>& defs);

/// The image of a table: header, description, notes, records.
QByteArray build(const QByteArray& description, int fieldCount, const std::optional<QByteArray>& notes,
                 const std::vector<const QByteArray*>& records);

} // namespace VolgaImageFormat
