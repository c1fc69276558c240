// CSV reading: the text's encoding, records with quoted fields, and the columns that hold names and numbers.
#include "contacts/CsvContactReader.h"

#include <QStringDecoder>
#include <functional>
#include <optional>

namespace {

QString decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16, QStringConverter::Flag::ConvertInitialBom);
        QString text = decoder.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

/// The separator the first line uses most outside quotes: comma, semicolon or tab.
QChar guessSeparator(const QString& text) {
    int counts[3] = {0, 0, 0};
    const QChar candidates[3] = {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        for (int i = 0; i < 3; ++i)
            if (!quoted && c == candidates[i])
                ++counts[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return candidates[best];
}

/// Hands each record to `take` until it returns false. Fields are cut at kMaxLineBytes characters and
/// a record at kMaxCsvFields fields.
void forEachRecord(const QString& text, QChar separator, const std::function<bool(const QStringList&)>& take) {
    QStringList record;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    auto endField = [&] {
        if (record.size() < ContactLimits::kMaxCsvFields)
            record.append(wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    ++i;
                    if (field.size() < ContactLimits::kMaxLineBytes)
                        field.append(c);
                } else {
                    quoted = false;
                }
            } else if (field.size() < ContactLimits::kMaxLineBytes) {
                field.append(c);
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = true;
            wasQuoted = true;
            field.clear();
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endField();
            const bool blank = record.size() == 1 && record.first().isEmpty();
            if (!blank && !take(record))
                return;
            record.clear();
        } else if (field.size() < ContactLimits::kMaxLineBytes) {
            field.append(c);
        }
    }
    if (!field.isEmpty() || !record.isEmpty()) {
        endField();
        take(record);
    }
}

/// The meaning of a column, from its header.
struct Columns {
    int name = -1;
    int given = -1;
    int middle = -1;
    int family = -1;
    int company = -1;
    struct Phone {
        int value;
        int type; ///< a column naming the type (Google), or -1
        QStringList types;
    };
    QList<Phone> phones;
};

QStringList typesFromHeader(const QString& header) {
    QStringList types;
    if (header.contains(QLatin1String("mobile")) || header.contains(QLatin1String("cell")))
        types.append(QStringLiteral("cell"));
    if (header.contains(QLatin1String("home")))
        types.append(QStringLiteral("home"));
    if (header.contains(QLatin1String("business")) || header.contains(QLatin1String("work")) ||
        header.contains(QLatin1String("company")))
        types.append(QStringLiteral("work"));
    if (header.contains(QLatin1String("fax")))
        types.append(QStringLiteral("fax"));
    if (header.contains(QLatin1String("pager")))
        types.append(QStringLiteral("pager"));
    return types;
}

bool isPhoneHeader(const QString& h) {
    for (const char* word : {"phone", "mobile", "number", "tel", "fax", "pager", "cell"})
        if (h.contains(QLatin1String(word)))
            return !h.endsWith(QLatin1String("type")) && !h.endsWith(QLatin1String("label"));
    return false;
}

Columns columnsFromHeader(const QStringList& header) {
    Columns columns;
    QStringList lower;
    for (const QString& h : header)
        lower.append(h.trimmed().toLower());
    for (int i = 0; i < lower.size(); ++i) {
        const QString& h = lower[i];
        if (h == QLatin1String("name") || h == QLatin1String("display name") || h == QLatin1String("full name"))
            columns.name = columns.name < 0 ? i : columns.name;
        else if (h == QLatin1String("given name") || h == QLatin1String("first name"))
            columns.given = i;
        else if (h == QLatin1String("additional name") || h == QLatin1String("middle name"))
            columns.middle = i;
        else if (h == QLatin1String("family name") || h == QLatin1String("last name"))
            columns.family = i;
        else if (h == QLatin1String("company") || h == QLatin1String("organization 1 - name") ||
                 h == QLatin1String("organization name"))
            columns.company = i;
        else if (isPhoneHeader(h)) {
            Columns::Phone phone{i, -1, typesFromHeader(h)};
            // Google: "Phone 1 - Value" has its type in "Phone 1 - Type" (older) or "Phone 1 - Label".
            if (h.endsWith(QLatin1String(" - value"))) {
                const QString stem = h.chopped(QLatin1String("value").size());
                for (const char* kind : {"type", "label"})
                    if (const int t = int(lower.indexOf(stem + QLatin1String(kind))); t >= 0)
                        phone.type = t;
            }
            columns.phones.append(phone);
        }
    }
    return columns;
}

bool looksLikeNumber(const QString& field) {
    int digits = 0;
    for (const QChar c : field)
        digits += c.isDigit() ? 1 : 0;
    return digits >= 3 && digits * 2 >= field.trimmed().size();
}

/// A file of name,number rows: the first column is the name, every other one a number.
Columns simpleColumns(int width) {
    Columns columns;
    columns.name = 0;
    for (int i = 1; i < std::min(width, int(ContactLimits::kMaxCsvFields)); ++i)
        columns.phones.append({i, -1, {}});
    return columns;
}

QString fieldAt(const QStringList& record, int index) {
    return index >= 0 && index < record.size() ? record[index] : QString();
}

bool contactFrom(const Columns& columns, const QStringList& record, Contact& contact) {
    contact = Contact();
    QString name = fieldAt(record, columns.name);
    if (name.trimmed().isEmpty()) {
        QStringList parts;
        for (const int index : {columns.given, columns.middle, columns.family})
            if (!fieldAt(record, index).trimmed().isEmpty())
                parts.append(fieldAt(record, index).trimmed());
        name = parts.join(QLatin1Char(' '));
    }
    if (name.trimmed().isEmpty())
        name = fieldAt(record, columns.company);
    contact.name = cleanContactName(name);
    for (const Columns::Phone& phone : columns.phones) {
        QStringList types = phone.types;
        for (const QString& type : fieldAt(record, phone.type).split(QLatin1String(" ::: ")))
            for (const QString& word : typesFromHeader(type.toLower()))
                if (!types.contains(word))
                    types.append(word);
        if (fieldAt(record, phone.type).contains(QLatin1String("*")) && !types.contains(QLatin1String("pref")))
            types.append(QStringLiteral("pref"));
        for (const QString& value : fieldAt(record, phone.value).split(QLatin1String(":::"))) {
            const QString number = cleanContactNumber(value);
            if (!number.isEmpty() && contact.numbers.size() < ContactLimits::kMaxNumbersPerContact)
                contact.numbers.append({number, types});
        }
    }
    return !contact.name.isEmpty() && !contact.numbers.isEmpty();
}

} // namespace

QList<Contact> CsvContactReader::read(const QByteArray& bytes) {
    const QString text = decodeText(bytes.first(std::min(bytes.size(), ContactLimits::kMaxFileBytes)));
    QList<Contact> contacts;
    std::optional<Columns> columns;
    forEachRecord(text, guessSeparator(text), [&](const QStringList& record) {
        if (!columns) {
            const bool headerless = record.size() >= 2 && looksLikeNumber(record[1]);
            columns = headerless ? simpleColumns(int(record.size())) : columnsFromHeader(record);
            if (!headerless)
                return true;
        }
        Contact contact;
        if (contactFrom(*columns, record, contact)) {
            contacts.append(contact);
            if (contacts.size() >= ContactLimits::kMaxContacts)
                return false;
        }
        return true;
    });
    return contacts;
}
