// Type characters, sizes and storage widths of table fields.
#include "library/TVolgaField.h"

#include <QByteArray>

namespace {

int smallStrSize(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

int fixedWidth(TVolgaFieldType type) {
    switch (type) {
    case TVolgaFieldType::SmallInt:
    case TVolgaFieldType::Boolean:
        return 2;
    case TVolgaFieldType::Integer:
    case TVolgaFieldType::Date:
    case TVolgaFieldType::Time:
    case TVolgaFieldType::AutoInc:
        return 4;
    case TVolgaFieldType::Double:
    case TVolgaFieldType::Currency:
    case TVolgaFieldType::DateTime:
        return 8;
    default:
        return 0;
    }
}

} // namespace

QString volgaTypeName(TVolgaFieldType type) {
    static const char* const names[] = {"Unknown", "SmallInt", "Integer",  "Boolean", "Double",   "Currency",
                                        "Date",    "Time",     "DateTime", "AutoInc", "SmallStr", "String",
                                        "BLOB",    "Memo",     "FmtMemo",  "Graphic"};
    return QString::fromLatin1(names[static_cast<int>(type)]);
}

void parseVolgaTypeToken(const QByteArray& token, TVolgaField& field) {
    field.type = TVolgaFieldType::Unknown;
    field.size = 0;
    field.width = 0;
    if (token.isEmpty())
        return;
    const char c = token.at(0);
    const int small = smallStrSize(c);
    if (small >= 0) {
        field.type = TVolgaFieldType::SmallStr;
        field.size = small;
        field.width = small + 1;
        return;
    }
    static const struct {
        char c;
        TVolgaFieldType type;
    } table[] = {{'l', TVolgaFieldType::SmallInt}, {'i', TVolgaFieldType::Integer},  {'b', TVolgaFieldType::Boolean},
                 {'f', TVolgaFieldType::Double},   {'c', TVolgaFieldType::Currency}, {'d', TVolgaFieldType::Date},
                 {'v', TVolgaFieldType::Time},     {'t', TVolgaFieldType::DateTime}, {'a', TVolgaFieldType::AutoInc},
                 {'s', TVolgaFieldType::String},   {'o', TVolgaFieldType::BLOB},     {'m', TVolgaFieldType::Memo},
                 {'r', TVolgaFieldType::FmtMemo},  {'g', TVolgaFieldType::Graphic}};
    for (const auto& entry : table) {
        if (entry.c != c)
            continue;
        field.type = entry.type;
        field.width = fixedWidth(entry.type);
        if (entry.type == TVolgaFieldType::String) {
            qint64 size = 0;
            int digits = 0;
            for (qsizetype i = 1; i < token.size() && token.at(i) >= '0' && token.at(i) <= '9'; ++i, ++digits)
                size = qMin<qint64>(size * 10 + (token.at(i) - '0'), kVolgaMaxString);
            field.size = digits == 0 ? 100 : static_cast<int>(size);
        }
        return;
    }
}

QByteArray volgaTypeToken(const TFieldDef& def) {
    switch (def.kind) {
    case TFieldKind::Text: {
        const int size = qBound(0, def.size, kVolgaMaxString);
        if (size <= 35)
            return QByteArray(1, size < 10 ? char('0' + size) : char('A' + size - 10));
        return "s" + QByteArray::number(size);
    }
    case TFieldKind::Integer:
        return "i";
    case TFieldKind::SmallInt:
    case TFieldKind::Word:
        return "l";
    case TFieldKind::Boolean:
        return "b";
    case TFieldKind::Float:
        return "f";
    case TFieldKind::Currency:
        return "c";
    case TFieldKind::Date:
        return "d";
    case TFieldKind::Time:
        return "v";
    case TFieldKind::DateTime:
        return "t";
    case TFieldKind::AutoInc:
        return "a";
    case TFieldKind::Blob:
        return "o";
    case TFieldKind::Memo:
        return "m";
    case TFieldKind::Graphic:
        return "g";
    case TFieldKind::FmtMemo:
        return "r";
    }
    return "i";
}
