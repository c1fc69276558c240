// Field values in the table file encoding: little-endian numbers, counted texts and large objects.
#include "library/TableRecord.h"

#include "base/LegacyText.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace TableRecord {

namespace {

// Day 1 of the file's day numbers is 1 January of year 1.
constexpr qint64 kJulianDayBeforeYear1 = 1721425;
constexpr qint64 kMsInADay = 86400000;
constexpr double kMsPerDay = kMsInADay;
// Larger date-time values (about three million years) are no time this program can show.
constexpr double kLargestDateTime = 1e17;

qint64 readInt(const char* data, qsizetype length, int width) {
    unsigned char bytes[8] = {};
    std::memcpy(bytes, data, static_cast<size_t>(qMin<qsizetype>(length, width)));
    if (width == 2)
        return qFromLittleEndian<qint16>(bytes);
    return qFromLittleEndian<qint32>(bytes);
}

double readDouble(const char* data, qsizetype length) {
    unsigned char bytes[8] = {};
    std::memcpy(bytes, data, static_cast<size_t>(qMin<qsizetype>(length, 8)));
    const quint64 bits = qFromLittleEndian<quint64>(bytes);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void appendInt(QByteArray& out, qint64 value, int width) {
    unsigned char bytes[4];
    if (width == 2)
        qToLittleEndian<qint16>(static_cast<qint16>(value), bytes);
    else
        qToLittleEndian<qint32>(static_cast<qint32>(value), bytes);
    out.append(reinterpret_cast<const char*>(bytes), width);
}

void appendDouble(QByteArray& out, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char bytes[8];
    qToLittleEndian<quint64>(bits, bytes);
    out.append(reinterpret_cast<const char*>(bytes), 8);
}

// UTF-8 of at most `chars` characters and `maxBytes` bytes, never cutting a character in two.
QByteArray cutText(const QString& text, int chars, qsizetype maxBytes) {
    QByteArray bytes = text.left(chars).toUtf8();
    if (bytes.size() <= maxBytes)
        return bytes;
    qsizetype end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

// The data of one value, empty when the value is written as "no data".
QByteArray valueData(const TableField& field, const QVariant& value) {
    QByteArray out;
    if (!value.isValid() || value.isNull())
        return out;
    switch (field.type) {
    case TableFieldType::Unknown:
        break;
    case TableFieldType::SmallInt:
    case TableFieldType::Integer:
    case TableFieldType::AutoInc:
        if (const qint64 v = value.toLongLong(); v != 0)
            appendInt(out, v, field.width);
        break;
    case TableFieldType::Boolean:
        if (value.toBool())
            appendInt(out, 1, 2);
        break;
    case TableFieldType::Double:
    case TableFieldType::Currency:
        if (const double v = value.toDouble(); v != 0.0)
            appendDouble(out, v);
        break;
    case TableFieldType::Date: {
        const QDate date = value.toDate();
        const qint64 day = date.isValid() ? date.toJulianDay() - kJulianDayBeforeYear1 : 0;
        if (day > 0 && day <= INT32_MAX)
            appendInt(out, day, 4);
        break;
    }
    case TableFieldType::Time: {
        const QTime time = value.toTime();
        if (time.isValid() && time.msecsSinceStartOfDay() != 0)
            appendInt(out, time.msecsSinceStartOfDay(), 4);
        break;
    }
    case TableFieldType::DateTime: {
        const QDateTime dt = value.toDateTime().toUTC();
        if (!dt.isValid())
            break;
        const double v =
            double(dt.date().toJulianDay() - kJulianDayBeforeYear1) * kMsPerDay + dt.time().msecsSinceStartOfDay();
        if (v != 0.0)
            appendDouble(out, v);
        break;
    }
    case TableFieldType::SmallStr: {
        const QString text = value.toString().left(field.size);
        out = text.toUtf8();
        if (out.size() <= field.size)
            break;
        // A text of a file from the original platform fills its field in Windows-1252 and would not fit
        // in UTF-8: it stays in the code page it came in when it reads back the same, else it is cut.
        const std::optional<QByteArray> legacy = LegacyText::toWindows1252(text);
        out = legacy && LegacyText::decode(*legacy) == text ? *legacy : cutText(text, field.size, field.size);
        break;
    }
    case TableFieldType::String:
        out = cutText(value.toString(), field.size, kVolgaMaxString);
        break;
    case TableFieldType::Memo:
    case TableFieldType::FmtMemo:
        out = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
        out.truncate(kVolgaMaxBlob);
        break;
    case TableFieldType::BLOB:
    case TableFieldType::Graphic:
        out = value.toByteArray().left(kVolgaMaxBlob);
        break;
    }
    return out;
}

} // namespace

QString decodeText(const char* data, qsizetype length) {
    return LegacyText::decode(QByteArrayView(data, length));
}

Slice fieldSlice(const QList<TableField>& fields, const QByteArray& record, int index) {
    const auto* lengths = reinterpret_cast<const unsigned char*>(record.constData());
    const char* p = record.constData() + fields.size();
    for (int i = 0; i <= index; ++i) {
        const int c = lengths[i];
        if (c == 0) {
            if (i == index)
                return {};
            continue;
        }
        qsizetype length = c;
        const char* data = p;
        if (fields.at(i).isCounted()) {
            length = qFromLittleEndian<qint32>(p);
            data = p + 4;
            p += 4 + length;
        } else {
            p += c;
        }
        if (i == index)
            return {data, length};
    }
    return {};
}

QVariant decode(const TableField& field, Slice s) {
    switch (field.type) {
    case TableFieldType::Unknown:
        return {};
    case TableFieldType::SmallInt:
        return QVariant(static_cast<int>(s.length ? readInt(s.data, s.length, 2) : 0));
    case TableFieldType::Integer:
    case TableFieldType::AutoInc:
        return QVariant(static_cast<int>(s.length ? readInt(s.data, s.length, 4) : 0));
    case TableFieldType::Boolean:
        return QVariant(s.length ? readInt(s.data, s.length, 2) != 0 : false);
    case TableFieldType::Double:
    case TableFieldType::Currency:
        return QVariant(s.length ? readDouble(s.data, s.length) : 0.0);
    case TableFieldType::Date:
        if (!s.length)
            return QVariant(QDate());
        return QVariant(QDate::fromJulianDay(kJulianDayBeforeYear1 + readInt(s.data, s.length, 4)));
    case TableFieldType::Time: {
        const qint64 ms = s.length ? readInt(s.data, s.length, 4) : 0;
        if (ms < 0 || ms >= kMsInADay)
            return QVariant(QTime());
        return QVariant(QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
    }
    case TableFieldType::DateTime: {
        const double v = s.length ? readDouble(s.data, s.length) : 0.0;
        if (!std::isfinite(v) || std::fabs(v) > kLargestDateTime)
            return QVariant(QDateTime());
        const double day = std::floor(v / kMsPerDay);
        const int ms = qBound(0, static_cast<int>(v - day * kMsPerDay), int(kMsInADay - 1));
        return QVariant(QDateTime(QDate::fromJulianDay(kJulianDayBeforeYear1 + static_cast<qint64>(day)),
                                  QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC));
    }
    case TableFieldType::SmallStr: {
        if (!s.length)
            return {};
        const void* nul = std::memchr(s.data, 0, static_cast<size_t>(s.length));
        const qsizetype length = nul ? static_cast<const char*>(nul) - s.data : s.length;
        return length ? QVariant(decodeText(s.data, length)) : QVariant();
    }
    case TableFieldType::String: {
        // A text cut to nothing by its declared size is no data, as it is written back.
        const QString text = s.length ? decodeText(s.data, s.length).left(field.size) : QString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case TableFieldType::Memo:
    case TableFieldType::FmtMemo:
        return s.length ? QVariant(decodeText(s.data, s.length)) : QVariant();
    case TableFieldType::BLOB:
    case TableFieldType::Graphic:
        return s.length ? QVariant(QByteArray(s.data, s.length)) : QVariant();
    }
    return {};
}

QByteArray encode(const QList<TableField>& fields, const std::vector<QVariant>& values) {
    QByteArray record(fields.size(), '\0');
    for (int i = 0; i < fields.size(); ++i) {
        const TableField& field = fields.at(i);
        const QByteArray data = valueData(field, i < int(values.size()) ? values[i] : QVariant());
        if (data.isEmpty())
            continue;
        if (field.isCounted()) {
            record[i] = 4;
            appendInt(record, data.size(), 4);
        } else {
            record[i] = static_cast<char>(data.size());
        }
        record.append(data);
    }
    return record;
}

bool isCanonicalFixed(const TableField& field, const char* data, int length) {
    switch (field.type) {
    case TableFieldType::SmallStr:
        return std::memchr(data, 0, static_cast<size_t>(length)) == nullptr && length <= field.size;
    case TableFieldType::Double:
    case TableFieldType::Currency:
        return length == 8 && readDouble(data, length) != 0.0;
    // Values that read as no date or time at all are written back as no data, which reads otherwise
    // (a day before year 1, a time past the day's end, a date-time out of range).
    case TableFieldType::DateTime: {
        const double v = readDouble(data, length);
        return length == 8 && v != 0.0 && std::isfinite(v) && std::fabs(v) <= kLargestDateTime;
    }
    case TableFieldType::Date:
        return length == 4 && readInt(data, length, 4) > 0;
    case TableFieldType::Time: {
        const qint64 ms = readInt(data, length, 4);
        return length == 4 && ms > 0 && ms < kMsInADay;
    }
    default:
        return length == field.width && readInt(data, length, field.width) != 0;
    }
}

} // namespace TableRecord
