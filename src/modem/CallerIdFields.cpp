// Splitting a caller identification report into number and name.
#include "modem/CallerIdFields.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

/// The value of a "KEY = value" line when its key is `key` (any letter case); null otherwise.
QString valueOf(QStringView line, QLatin1String key) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0 || line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return QString();
    return line.mid(equals + 1).trimmed().toString();
}

} // namespace

CallerIdFields CallerIdFields::parse(const QString& callerIdText) {
    CallerIdFields fields;
    const QStringList lines = callerIdText.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return fields;
    // The first line is the number itself; a letter alone is the reason there is none.
    const QString first = lines.first().trimmed();
    if (first.compare(QLatin1String("P"), Qt::CaseInsensitive) == 0)
        fields.name = QStringLiteral("Private");
    else if (first.compare(QLatin1String("O"), Qt::CaseInsensitive) == 0)
        fields.name = QStringLiteral("Out of area");
    else if (!first.contains(QLatin1Char('=')))
        fields.number = first;
    for (const QString& line : lines) {
        const QString name = valueOf(line, QLatin1String("NAME"));
        if (!name.isNull()) {
            fields.name = name;
            break;
        }
    }
    return fields;
}
