// The table file image: parsing it with every structural check, and building it for a save.
#pragma once

#include "library/TableField.h"

#include <QByteArray>
#include <optional>
#include <vector>

struct TableImage {
    QByteArray description; ///< the field description section, kept as read
    QList<TableField> fields;
    std::optional<QByteArray> notes; ///< the notes block's text, when the file has one
    /// Every record in its canonical encoding. Records that were already canonical in the file
    /// share the bytes of `source` instead of being copied.
    std::vector<QByteArray> records;
    QByteArray source;
};

namespace TableImageFormat {

/// Parses a whole file image. Throws TableError with the loader's message (without the
/// "Error opening table: " prefix, which the table adds).
TableImage parse(QByteArray bytes);

/// The description section for field definitions: "XXX.<name> <type>" 0x12 per field, then 0x14.
QByteArray description(const QList<FieldDef>& defs);

/// The image of a table: header, description, notes, records.
QByteArray build(const QByteArray& description, int fieldCount, const std::optional<QByteArray>& notes,
                 const std::vector<const QByteArray*>& records);

} // namespace TableImageFormat
