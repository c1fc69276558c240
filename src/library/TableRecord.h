// One record in its file encoding: reading a field's value out of it and encoding values into it.
#pragma once

#include "library/TableField.h"

#include <QByteArray>
#include <QVariant>
#include <vector>

namespace TableRecord {

/// Where a field's data sits in an encoded record; `length` 0 means the field is empty.
struct Slice {
    const char* data = nullptr;
    qsizetype length = 0;
};

/// The data of field `index` of a record already checked by the loader or made by `encode`.
Slice fieldSlice(const QList<TableField>& fields, const QByteArray& record, int index);

/// The value of a field's data: null for an empty text or large object, the value (zero included)
/// for a numeric field; Date, Time and DateTime come back as QDate, QTime and QDateTime (UTC).
QVariant decode(const TableField& field, Slice slice);

/// Encodes values (one per field, in field order) into a record with length bytes and data.
/// Texts are cut to the field's size in characters and to the bytes the format allows.
QByteArray encode(const QList<TableField>& fields, const std::vector<QVariant>& values);

/// Whether the data a loader found for a fixed-width field is what `encode` would write for it.
bool isCanonicalFixed(const TableField& field, const char* data, int length);

/// Text of a file: UTF-8, or Latin-1 when the bytes are not valid UTF-8 (files of older systems).
QString decodeText(const char* data, qsizetype length);

} // namespace TableRecord
