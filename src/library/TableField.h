// Field kinds, field definitions and the descriptor of one field of a table file.
#pragma once

#include <QList>
#include <QString>

/// The type codes of the table file format, in code order.
enum class TableFieldType : int {
    Unknown = 0,
    SmallInt,
    Integer,
    Boolean,
    Double,
    Currency,
    Date,
    Time,
    DateTime,
    AutoInc,
    SmallStr,
    String,
    BLOB,
    Memo,
    FmtMemo,
    Graphic,
};

/// The kinds of field a table is created from.
enum class FieldKind {
    Text,
    Integer,
    SmallInt,
    Word,
    Boolean,
    Float,
    Currency,
    Date,
    Time,
    DateTime,
    AutoInc,
    Blob,
    Memo,
    Graphic,
    FmtMemo
};

/// One entry of `fieldDefinitions`: used only when a table is created empty (`lmClear`).
struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Text;
    int size = 0; ///< characters, for text fields
};

/// A field as read from a table file.
struct TableField {
    QString name;
    QString alias = QStringLiteral("XXX");
    TableFieldType type = TableFieldType::Unknown;
    int size = 0;  ///< declared size (text fields), 0 otherwise
    int width = 0; ///< bytes the field may take in a record: bounds the length byte of fixed-width fields

    /// Text fields: SmallStr and String (both read back as text of the declared size).
    bool isText() const { return type == TableFieldType::SmallStr || type == TableFieldType::String; }
    /// String and the large-object types: a length byte of 4, a 32-bit length, then the data.
    bool isCounted() const { return type >= TableFieldType::String; }
};

/// The name the engine reports for a type ("SmallInt", "SmallStr", ...).
QString volgaTypeName(TableFieldType type);

/// Fills `type`, `size` and `width` from a type token of the description section ("A", "i", "s255").
/// An unknown type character gives an Unknown field: it always reads empty, and a record that holds
/// data in it fails to load with the wrong-length error.
void parseVolgaTypeToken(const QByteArray& token, TableField& field);

/// The type token a definition is written with.
QByteArray volgaTypeToken(const FieldDef& def);

/// The largest String text, in bytes, and the largest large object.
inline constexpr qint32 kVolgaMaxString = 8191;
inline constexpr qint32 kVolgaMaxBlob = 1073741823;
