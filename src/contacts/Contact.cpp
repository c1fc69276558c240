// Cleaning names and numbers that come from files and from the line.
#include "contacts/Contact.h"

QString cleanContactName(const QString& text) {
    QString clean;
    clean.reserve(std::min(text.size(), ContactLimits::kMaxNameChars));
    bool space = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A half of a surrogate pair is no character: it would not survive being written as UTF-8.
        const bool paired = c.isHighSurrogate() ? i + 1 < text.size() && text[i + 1].isLowSurrogate()
                                                : !c.isLowSurrogate() || (i > 0 && text[i - 1].isHighSurrogate());
        if (!paired)
            continue;
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) {
            space = !clean.isEmpty();
            continue;
        }
        // The character (both halves of a pair) and the blank before it fit, or the name ends here.
        if (clean.size() + (space ? 1 : 0) + (c.isHighSurrogate() ? 2 : 1) > ContactLimits::kMaxNameChars &&
            !c.isLowSurrogate())
            break;
        if (space)
            clean.append(QLatin1Char(' '));
        space = false;
        clean.append(c);
    }
    return clean;
}

QString cleanContactNumber(const QString& text) {
    QString clean;
    bool digit = false;
    for (const QChar c : text) {
        if (clean.size() >= ContactLimits::kMaxNumberChars)
            break;
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') {
            digit = true;
            clean.append(c);
        } else if (u == '+' || u == '*' || u == '#' || u == '(' || u == ')' || u == '-' || u == '.' || u == '/' ||
                   u == ' ') {
            if (u != ' ' || (!clean.isEmpty() && !clean.endsWith(QLatin1Char(' '))))
                clean.append(c);
        }
    }
    return digit ? clean.trimmed() : QString();
}
