// Reading a caller identification text for its number and name.
#include "contacts/CallerIdText.h"

#include "contacts/ContactBook.h"

#include <QRegularExpression>

namespace CallerIdText {

QString number(const QString& text) {
    qsizetype end = text.indexOf(QLatin1Char('\n'));
    const qsizetype cr = text.indexOf(QLatin1Char('\r'));
    if (cr >= 0 && (end < 0 || cr < end))
        end = cr;
    return (end < 0 ? text : text.left(end)).trimmed();
}

bool hasName(const QString& text) {
    static const QRegularExpression nameLine(QStringLiteral("(^|[\\r\\n])\\s*NAME\\s*=\\s*\\S"),
                                             QRegularExpression::CaseInsensitiveOption);
    return nameLine.match(text).hasMatch();
}

QString withContactName(const QString& text, const ContactBook& contacts) {
    if (hasName(text))
        return text;
    const Contact* contact = contacts.find(number(text));
    if (contact == nullptr)
        return text;
    return text + QLatin1Char(' ') + contact->name;
}

} // namespace CallerIdText
