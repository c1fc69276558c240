// Table file images: header, field description section, notes block and records.
#include "library/TableImage.h"

#include "library/TableError.h"
#include "library/TableRecord.h"

#include <QtEndian>
#include <cstring>

namespace TableImageFormat {

namespace {

constexpr char kEntryEnd = 0x12;
constexpr char kSectionEnd = 0x14;
constexpr qsizetype kHeaderSize = 17;

qint32 int32At(const char* p) {
    return qFromLittleEndian<qint32>(p);
}

QString unexpectedEnd() {
    return QStringLiteral("Unexpected end of buffer");
}

[[noreturn]] void wrongLength(const char* kind, const TableField& field, qint64 length, int record) {
    throw TableError(QStringLiteral("%1'%2' has wrong length %3 in record %4")
                         .arg(QLatin1String(kind), field.name)
                         .arg(length)
                         .arg(record));
}

QList<TableField> parseFields(const QByteArray& section, qint32 count) {
    QList<TableField> fields;
    qsizetype pos = 0;
    for (qint32 i = 0; i < count; ++i) {
        const qsizetype end = section.indexOf(kEntryEnd, pos);
        if (end < 0 || end == pos)
            throw TableError(QStringLiteral("Error in buffer structure (field description section)"));
        const QByteArray entry = section.mid(pos, end - pos);
        pos = end + 1;
        const qsizetype space = entry.indexOf(' ');
        const QByteArray namePart = space < 0 ? entry : entry.left(space);
        TableField field;
        const qsizetype dot = namePart.indexOf('.');
        if (dot >= 0) {
            field.alias = TableRecord::decodeText(namePart.constData(), dot);
            field.name = TableRecord::decodeText(namePart.constData() + dot + 1, namePart.size() - dot - 1);
        } else {
            field.name = TableRecord::decodeText(namePart.constData(), namePart.size());
        }
        parseVolgaTypeToken(space < 0 ? QByteArray() : entry.mid(space + 1), field);
        fields.append(field);
    }
    return fields;
}

} // namespace

TableImage parse(QByteArray bytes) {
    TableImage image;
    image.source = std::move(bytes);
    const char* data = image.source.constData();
    const qsizetype size = image.source.size();
    if (size >= 5 && data[4] == 'E')
        throw TableError(TableRecord::decodeText(data + 5, size - 5));
    if (size < kHeaderSize)
        throw TableError(QStringLiteral("Buffer structure corruption!"));
    const qint32 declared = int32At(data + 5);
    const qint32 fieldCount = int32At(data + 9);
    const qint32 descriptionLength = int32At(data + 13);
    if (fieldCount < 0 || descriptionLength < 0 || descriptionLength > size - kHeaderSize)
        throw TableError(QStringLiteral("Buffer structure corruption!"));
    image.description = image.source.mid(kHeaderSize, descriptionLength);
    image.fields = parseFields(image.description, fieldCount);
    const QList<TableField>& fields = image.fields;
    const qsizetype f = fields.size();

    qsizetype pos = kHeaderSize + descriptionLength;
    if (pos < size && data[pos] == '*') {
        // The notes text's length, or -1 when the bytes left do not hold a whole block.
        const qsizetype n = size - pos < 3 ? -1 : qFromLittleEndian<quint16>(data + pos + 1);
        const bool whole = n >= 0 && size - pos - 3 >= n;
        // With room for a record the "*" must begin notes. Without records the notes may be shorter
        // than one record's length bytes; a table saved with them must find them again, while bytes that
        // do not make a whole block stay ignored.
        if (size - pos >= f && !whole)
            throw TableError(unexpectedEnd());
        if (whole && (size - pos >= f || declared == 0)) {
            image.notes = image.source.mid(pos + 3, n);
            pos += 3 + n;
        }
    }

    // A table without fields has records of no bytes at all: none are read from the file, so one
    // that declares records is damaged (reading "records" would never advance and, for a count of
    // two billion, exhaust the memory).
    qint64 read = 0;
    while (f > 0 && size - pos >= f && read < declared) {
        const int number = static_cast<int>(read + 1);
        const qsizetype start = pos;
        const auto* lengths = reinterpret_cast<const unsigned char*>(data + pos);
        pos += f;
        bool canonical = true;
        for (qsizetype i = 0; i < f; ++i) {
            const int c = lengths[i];
            if (c == 0)
                continue;
            const TableField& field = fields.at(i);
            if (!field.isCounted()) {
                if (c > field.width)
                    wrongLength("Field ", field, c, number);
                if (size - pos < c)
                    throw TableError(unexpectedEnd());
                canonical = canonical && TableRecord::isCanonicalFixed(field, data + pos, c);
                pos += c;
                continue;
            }
            if (c != 4)
                wrongLength("Field ", field, c, number);
            if (size - pos < 4)
                throw TableError(unexpectedEnd());
            const qint32 length = int32At(data + pos);
            if (field.type == TableFieldType::String && (length < 0 || length > kVolgaMaxString))
                wrongLength("String field ", field, length, number);
            if (length < 0 || length > kVolgaMaxBlob)
                wrongLength("BLOB field ", field, length, number);
            if (size - pos - 4 < length)
                throw TableError(unexpectedEnd());
            canonical = canonical && length > 0;
            pos += 4 + length;
        }
        QByteArray record = QByteArray::fromRawData(data + start, pos - start);
        if (!canonical) {
            std::vector<QVariant> values;
            values.reserve(size_t(f));
            for (int i = 0; i < f; ++i)
                values.push_back(TableRecord::decode(fields.at(i), TableRecord::fieldSlice(fields, record, i)));
            record = TableRecord::encode(fields, values);
        }
        image.records.push_back(std::move(record));
        ++read;
    }
    if (read != declared)
        throw TableError(QStringLiteral("Number of records read (%1) does not match declared record count (%2)")
                             .arg(read)
                             .arg(declared));
    return image;
}

QByteArray description(const QList<FieldDef>& defs) {
    QByteArray out;
    for (const FieldDef& def : defs) {
        QString name = def.name;
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
        out += "XXX." + name.toUtf8() + ' ' + volgaTypeToken(def) + kEntryEnd;
    }
    out += kSectionEnd;
    return out;
}

QByteArray build(const QByteArray& description, int fieldCount, const std::optional<QByteArray>& notes,
                 const std::vector<const QByteArray*>& records) {
    qsizetype total = kHeaderSize + description.size();
    const QByteArray noteText = notes ? notes->left(0xFFFF) : QByteArray();
    if (notes)
        total += 3 + noteText.size();
    for (const QByteArray* record : records)
        total += record->size();
    QByteArray image;
    image.reserve(total);
    unsigned char header[kHeaderSize];
    qToLittleEndian<qint32>(static_cast<qint32>(total), header);
    header[4] = 'S';
    qToLittleEndian<qint32>(static_cast<qint32>(records.size()), header + 5);
    qToLittleEndian<qint32>(fieldCount, header + 9);
    qToLittleEndian<qint32>(static_cast<qint32>(description.size()), header + 13);
    image.append(reinterpret_cast<const char*>(header), kHeaderSize);
    image.append(description);
    if (notes) {
        unsigned char n[2];
        qToLittleEndian<quint16>(static_cast<quint16>(noteText.size()), n);
        image.append('*');
        image.append(reinterpret_cast<const char*>(n), 2);
        image.append(noteText);
    }
    for (const QByteArray* record : records)
        image.append(*record);
    return image;
}

} // namespace TableImageFormat
