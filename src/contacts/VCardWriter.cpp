// vCard 3.0 output: escaped values, folded lines.
#include "contacts/VCardWriter.h"

#include "contacts/VCardReader.h"

namespace {

QString escaped(const QString& value) {
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';'))
            out.append(QLatin1Char('\\'));
        if (c == QLatin1Char('\n')) {
            out.append(QLatin1String("\\n"));
            continue;
        }
        if (c == QLatin1Char('\r'))
            continue;
        out.append(c);
    }
    return out;
}

/// Appends `line` folded so no line is longer than 75 bytes, never inside a UTF-8 sequence.
void appendFolded(QByteArray& out, const QByteArray& line) {
    constexpr qsizetype kWidth = 75;
    qsizetype lineBytes = 0;
    for (qsizetype i = 0; i < line.size();) {
        qsizetype length = 1;
        const auto lead = uchar(line[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        length = std::min(length, line.size() - i);
        if (lineBytes + length > kWidth) {
            out.append("\r\n ");
            lineBytes = 1;
        }
        out.append(line.constData() + i, length);
        lineBytes += length;
        i += length;
    }
    out.append("\r\n");
}

} // namespace

QByteArray VCardWriter::write(const QList<Contact>& contacts) {
    QByteArray out;
    for (const Contact& contact : contacts) {
        out.append("BEGIN:VCARD\r\nVERSION:3.0\r\n");
        appendFolded(out, "FN:" + escaped(contact.name).toUtf8());
        // N is required in 3.0; the whole name is its family part, since its parts are not known.
        appendFolded(out, "N:" + escaped(contact.name).toUtf8() + ";;;;");
        for (const ContactNumber& number : contact.numbers) {
            QByteArray line = "TEL";
            if (!number.types.isEmpty())
                line += ";TYPE=" + number.types.join(QLatin1Char(',')).toUtf8();
            appendFolded(out, line + ':' + escaped(number.number).toUtf8());
        }
        if (contact.doNotRecord)
            out.append(QByteArray(VCardReader::kDoNotRecordProperty) + ":1\r\n");
        out.append("END:VCARD\r\n");
    }
    return out;
}
