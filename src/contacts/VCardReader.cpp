// vCard reading: logical lines (folding and quoted-printable soft breaks), properties, values.
#include "contacts/VCardReader.h"

#include <QStringDecoder>
#include <algorithm>
#include <functional>

namespace {

struct Property {
    QByteArray name;          ///< upper case, without a group prefix
    QList<QByteArray> params; ///< upper case NAME=value or bare values (2.1)
    QByteArray value;
};

/// Hands the logical lines of `bytes` to `take` until it returns false: a physical line starting with a
/// space or tab continues the one before (3.0, 4.0, and 2.1 in practice), and a quoted-printable line
/// ending in '=' continues on the next (2.1). Each logical line is cut at kMaxLineBytes.
void forEachLogicalLine(const QByteArray& bytes, const std::function<bool(const QByteArray&)>& take) {
    QByteArray current;
    bool quotedPrintable = false; // the current line's value is quoted-printable
    bool continuesQp = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const bool folded = !current.isEmpty() && !line.isEmpty() && (line[0] == ' ' || line[0] == '\t');
        if (folded)
            line = line.sliced(1);
        if ((folded || continuesQp) && !current.isEmpty()) {
            if (continuesQp && current.endsWith('='))
                current.chop(1);
            current.append(line.first(std::min(line.size(), ContactLimits::kMaxLineBytes - current.size())));
        } else {
            if (!current.isEmpty() && !take(current))
                return;
            current = line.first(std::min(line.size(), ContactLimits::kMaxLineBytes)).toByteArray();
            const qsizetype colon = line.indexOf(':');
            quotedPrintable = colon > 0 && line.first(colon).toByteArray().toUpper().contains("QUOTED-PRINTABLE");
        }
        continuesQp = quotedPrintable && current.endsWith('=') && current.size() < ContactLimits::kMaxLineBytes;
    }
    if (!current.isEmpty())
        take(current);
}

/// Splits `text` at `separator` outside double quotes.
QList<QByteArray> splitOutsideQuotes(QByteArrayView text, char separator) {
    QList<QByteArray> parts;
    QByteArray part;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted) {
            parts.append(part);
            part.clear();
            continue;
        }
        part.append(c);
    }
    parts.append(part);
    return parts;
}

bool parseProperty(const QByteArray& line, Property& property) {
    // The name and parameters end at the first colon outside quotes.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return false;
    QList<QByteArray> head = splitOutsideQuotes(QByteArrayView(line).first(colon), ';');
    QByteArray name = head.takeFirst().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1);
    property.name = name;
    property.params.clear();
    for (const QByteArray& param : head)
        property.params.append(param.trimmed());
    property.value = line.mid(colon + 1);
    return true;
}

/// The value of parameter `name` (upper case), or the bare 2.1 parameter equal to `bare`.
QByteArray paramValue(const Property& property, QByteArrayView name) {
    for (const QByteArray& param : property.params) {
        const qsizetype eq = param.indexOf('=');
        if (eq > 0 && param.first(eq).trimmed().toUpper() == name) {
            QByteArray value = param.mid(eq + 1).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

bool hasBareParam(const Property& property, QByteArrayView bare) {
    for (const QByteArray& param : property.params)
        if (!param.contains('=') && param.toUpper() == bare)
            return true;
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out.append(char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
        } else if (text[i] != '=' || i + 1 < text.size()) {
            out.append(text[i]);
        }
    }
    return out;
}

/// The value's text: decoded by its ENCODING, then by its CHARSET (UTF-8 when none is given or the
/// name is unknown; Latin-1 for the ISO-8859 and Windows code pages Qt does not decode).
QString valueText(const Property& property) {
    const QByteArray encoding = paramValue(property, "ENCODING").toUpper();
    QByteArray raw = property.value;
    if (encoding == "QUOTED-PRINTABLE" || hasBareParam(property, "QUOTED-PRINTABLE"))
        raw = decodeQuotedPrintable(raw);
    else if (encoding == "B" || encoding == "BASE64" || hasBareParam(property, "BASE64"))
        raw = QByteArray::fromBase64(raw);
    const QByteArray charset = paramValue(property, "CHARSET");
    if (!charset.isEmpty() && charset.toUpper() != "UTF-8") {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(raw);
        return QString::fromLatin1(raw);
    }
    return QString::fromUtf8(raw);
}

/// Splits a structured value at unescaped semicolons and removes the backslash escapes.
QStringList components(const QString& value) {
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            part.append(next == QLatin1Char('n') || next == QLatin1Char('N') ? QLatin1Char(' ') : next);
        } else if (c == QLatin1Char(';')) {
            parts.append(part);
            part.clear();
        } else {
            part.append(c);
        }
    }
    parts.append(part);
    return parts;
}

QString unescaped(const QString& value) {
    return components(value).join(QLatin1Char(' '));
}

/// N is Family;Given;Additional;Prefix;Suffix: shown as Prefix Given Additional Family Suffix.
QString nameFromN(const QString& value) {
    const QStringList parts = components(value);
    QStringList ordered;
    for (const int index : {3, 1, 2, 0, 4})
        if (index < parts.size() && !parts[index].trimmed().isEmpty())
            ordered.append(parts[index].trimmed());
    return ordered.join(QLatin1Char(' '));
}

QStringList telTypes(const Property& property) {
    QStringList types;
    for (const QByteArray& param : property.params) {
        const qsizetype eq = param.indexOf('=');
        QByteArray values;
        if (eq < 0)
            values = param;
        else if (param.first(eq).trimmed().toUpper() == "TYPE")
            values = param.mid(eq + 1);
        else
            continue;
        values.replace('"', "");
        for (const QByteArray& type : values.split(',')) {
            const QString text = QString::fromLatin1(type.trimmed()).toLower();
            const bool word = std::all_of(text.begin(), text.end(), [](QChar c) {
                return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c.isDigit() || c == QLatin1Char('-');
            });
            if (word && !text.isEmpty() && text.size() <= 16 && !types.contains(text) && types.size() < 8)
                types.append(text);
        }
    }
    return types;
}

QString telNumber(const QString& value) {
    QString number = value.trimmed();
    // 4.0 writes the number as a tel: address, perhaps with ;ext= after it.
    if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
        number = number.mid(4);
        if (const qsizetype semicolon = number.indexOf(QLatin1Char(';')); semicolon >= 0)
            number.truncate(semicolon);
    }
    return cleanContactNumber(unescaped(number));
}

struct CardBuilder {
    QString formatted;
    QString structured;
    QString organisation;
    Contact contact;

    void take(const Property& property) {
        if (property.name == "FN")
            formatted = unescaped(valueText(property));
        else if (property.name == "N")
            structured = nameFromN(valueText(property));
        else if (property.name == "ORG")
            organisation = components(valueText(property)).value(0);
        else if (property.name == "TEL" && contact.numbers.size() < ContactLimits::kMaxNumbersPerContact) {
            const QString number = telNumber(valueText(property));
            if (!number.isEmpty())
                contact.numbers.append({number, telTypes(property)});
        } else if (property.name == VCardReader::kDoNotRecordProperty) {
            const QString flag = valueText(property).trimmed().toLower();
            contact.doNotRecord = flag.isEmpty() || flag == QLatin1String("1") || flag == QLatin1String("true") ||
                                  flag == QLatin1String("yes");
        }
    }

    /// The contact, when it has a name and a number.
    bool finish(Contact& out) {
        for (const QString* candidate : {&formatted, &structured, &organisation}) {
            contact.name = cleanContactName(*candidate);
            if (!contact.name.isEmpty())
                break;
        }
        if (contact.name.isEmpty() || contact.numbers.isEmpty())
            return false;
        out = contact;
        return true;
    }
};

} // namespace

bool VCardReader::looksLikeVCard(const QByteArray& bytes) {
    return bytes.first(std::min<qsizetype>(bytes.size(), 4096)).toUpper().contains("BEGIN:VCARD");
}

QList<Contact> VCardReader::read(const QByteArray& bytes) {
    QList<Contact> contacts;
    CardBuilder card;
    int depth = 0; // a 2.1 AGENT may hold a whole card: its lines belong to no contact of ours
    Property property;
    forEachLogicalLine(bytes.first(std::min(bytes.size(), ContactLimits::kMaxFileBytes)), [&](const QByteArray& line) {
        if (!parseProperty(line, property))
            return true;
        const QByteArray value = property.value.trimmed().toUpper();
        if (property.name == "BEGIN" && value == "VCARD") {
            if (depth++ == 0)
                card = CardBuilder();
        } else if (property.name == "END" && value == "VCARD" && depth > 0) {
            Contact contact;
            if (--depth == 0 && card.finish(contact)) {
                contacts.append(contact);
                if (contacts.size() >= ContactLimits::kMaxContacts)
                    return false;
            }
        } else if (depth == 1) {
            card.take(property);
        }
        return true;
    });
    return contacts;
}
