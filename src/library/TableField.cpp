// Type characters, sizes and storage widths of table fields.
#include "library/TableField.h"

#include <QByteArray>

namespace {

int smallStrSize(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

int fixedWidth(TableFieldType type) {
    switch (type) {
    case TableFieldType::SmallInt:
    case TableFieldType::Boolean:
        return 2;
    case TableFieldType::Integer:
    case TableFieldType::Date:
    case TableFieldType::Time:
    case TableFieldType::AutoInc:
        return 4;
    case TableFieldType::Double:
    case TableFieldType::Currency:
    case TableFieldType::DateTime:
        return 8;
    default:
        return 0;
    }
}

} // namespace

QString volgaTypeName(TableFieldType type) {
    static const char* const names[] = {"Unknown", "SmallInt", "Integer",  "Boolean", "Double",   "Currency",
                                        "Date",    "Time",     "DateTime", "AutoInc", "SmallStr", "String",
                                        "BLOB",    "Memo",     "FmtMemo",  "Graphic"};
    return QString::fromLatin1(names[static_cast<int>(type)]);
}

void parseVolgaTypeToken(const QByteArray& token, TableField& field) {
    field.type = TableFieldType::Unknown;
    field.size = 0;
    field.width = 0;
    if (token.isEmpty())
        return;
    const char c = token.at(0);
    const int small = smallStrSize(c);
    if (small >= 0) {
        field.type = TableFieldType::SmallStr;
        field.size = small;
        field.width = small + 1;
        return;
    }
    static const struct {
        char c;
        TableFieldType type;
    } table[] = {{'l', TableFieldType::SmallInt}, {'i', TableFieldType::Integer},  {'b', TableFieldType::Boolean},
                 {'f', TableFieldType::Double},   {'c', TableFieldType::Currency}, {'d', TableFieldType::Date},
                 {'v', TableFieldType::Time},     {'t', TableFieldType::DateTime}, {'a', TableFieldType::AutoInc},
                 {'s', TableFieldType::String},   {'o', TableFieldType::BLOB},     {'m', TableFieldType::Memo},
                 {'r', TableFieldType::FmtMemo},  {'g', TableFieldType::Graphic}};
    for (const auto& entry : table) {
        if (entry.c != c)
            continue;
        field.type = entry.type;
        field.width = fixedWidth(entry.type);
        if (entry.type == TableFieldType::String) {
            qint64 size = 0;
            int digits = 0;
            for (qsizetype i = 1; i < token.size() && token.at(i) >= '0' && token.at(i) <= '9'; ++i, ++digits)
                size = qMin<qint64>(size * 10 + (token.at(i) - '0'), kVolgaMaxString);
            field.size = digits == 0 ? 100 : static_cast<int>(size);
        }
        return;
    }
}

QByteArray volgaTypeToken(const FieldDef& def) {
    switch (def.kind) {
    case FieldKind::Text: {
        const int size = qBound(0, def.size, kVolgaMaxString);
        if (size <= 35)
            return QByteArray(1, size < 10 ? char('0' + size) : char('A' + size - 10));
        return "s" + QByteArray::number(size);
    }
    case FieldKind::Integer:
        return "i";
    case FieldKind::SmallInt:
    case FieldKind::Word:
        return "l";
    case FieldKind::Boolean:
        return "b";
    case FieldKind::Float:
        return "f";
    case FieldKind::Currency:
        return "c";
    case FieldKind::Date:
        return "d";
    case FieldKind::Time:
        return "v";
    case FieldKind::DateTime:
        return "t";
    case FieldKind::AutoInc:
        return "a";
    case FieldKind::Blob:
        return "o";
    case FieldKind::Memo:
        return "m";
    case FieldKind::Graphic:
        return "g";
    case FieldKind::FmtMemo:
        return "r";
    }
    return "i";
}
