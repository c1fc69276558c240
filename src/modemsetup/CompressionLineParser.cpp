// Field splitting, rate choice and family rules of the compression list reply.
#include "modemsetup/CompressionLineParser.h"

#include <QStringList>
#include <optional>

namespace CompressionLineParser {

namespace {

// The modem names its compressions freely; these substrings of the upper-case name give the family.
struct FamilyRule {
    const char* description;
    QStringList markers;
};

const QList<FamilyRule>& familyRules() {
    static const QList<FamilyRule> rules{
        {"UNSIGNED PCM", {QStringLiteral("UNSIGNED PCM"), QStringLiteral("LINEAR")}},
        {"SIGNED PCM", {QStringLiteral("SIGNED PCM")}},
        // Only these spellings: recognising more ("Mu-Law") would add records and so move the index
        // of every later compression, which stored profiles refer to.
        {"ULAW", {QStringLiteral("ULAW"), QStringLiteral("M-LAW"), QStringLiteral("G.711U")}},
        {"ALAW", {QStringLiteral("ALAW"), QStringLiteral("A-LAW"), QStringLiteral("G.711A")}},
    };
    return rules;
}

QString familyOf(const QString& cmid) {
    const QString upper = cmid.toUpper();
    for (const FamilyRule& rule : familyRules()) {
        for (const QString& marker : rule.markers) {
            if (upper.contains(marker))
                return QLatin1String(rule.description);
        }
    }
    return QString();
}

QString widthFromName(const QString& cmid) {
    const QString upper = cmid.toUpper();
    if (upper.contains(QLatin1String("8-BIT")) || upper.contains(QLatin1String("8BIT")))
        return QStringLiteral("8");
    if (upper.contains(QLatin1String("16-BIT")) || upper.contains(QLatin1String("16BIT")))
        return QStringLiteral("16");
    return QStringLiteral("8");
}

// The first value of a reported range: up to the first ",", else the first "-", else all of it.
QString firstOfRange(const QString& text) {
    qsizetype end = text.indexOf(QLatin1Char(','));
    if (end < 0)
        end = text.indexOf(QLatin1Char('-'));
    return end < 0 ? text : text.left(end);
}

} // namespace

std::optional<QString> withoutGroups(const QString& line) {
    QString copy = line;
    for (qsizetype open = copy.indexOf(QLatin1Char('(')); open >= 0; open = copy.indexOf(QLatin1Char('('))) {
        const qsizetype close = copy.indexOf(QLatin1Char(')'), open);
        if (close < 0)
            return std::nullopt;
        copy.remove(open, close - open + 1);
    }
    return copy;
}

int countFields(const QString& line, QChar s) {
    const std::optional<QString> outside = withoutGroups(line);
    return outside ? int(outside->count(s)) + 1 : -1;
}

QString takeField(QString& rest, QChar s) {
    rest = rest.trimmed();
    qsizetype length = rest.size();
    if (rest.startsWith(QLatin1Char('('))) {
        const qsizetype close = rest.indexOf(QLatin1Char(')'));
        if (close >= 0)
            length = close + 1;
    } else if (const qsizetype at = rest.indexOf(s); at >= 0) {
        length = at;
    }
    QString field = rest.left(length);
    rest = rest.mid(length).trimmed();
    if (!rest.isEmpty())
        rest.remove(0, 1);
    if (const qsizetype open = field.indexOf(QLatin1Char('(')); open >= 0)
        field.remove(open, 1);
    if (const qsizetype close = field.indexOf(QLatin1Char(')')); close >= 0)
        field.remove(close, 1);
    return field.trimmed().left(CompressionRecord::kFieldChars);
}

RateList rateListFor(const QString& width) {
    const QString w = width.trimmed();
    if (w == QLatin1String("2") || w == QLatin1String("4") || w == QLatin1String("8") || w == QLatin1String("0"))
        return RateList::Narrow;
    if (w == QLatin1String("12") || w == QLatin1String("16"))
        return RateList::Wide;
    return RateList::None;
}

QString chooseRate(RateList list, const QString& candidates) {
    // The last listed rate present wins; "9200" is the text modems use, not 9600.
    static const QStringList narrow{"4800", "7200", "9200", "8000", "11025"};
    static const QStringList wide{"4800", "9200", "11025", "8000", "7200"};
    static const QStringList noWidth{"4800", "9200", "11025", "7200", "8000"};
    const QStringList* rates = nullptr;
    switch (list) {
    case RateList::Narrow:
        rates = &narrow;
        break;
    case RateList::Wide:
        rates = &wide;
        break;
    case RateList::NoWidth:
        rates = &noWidth;
        break;
    case RateList::None:
        return QString();
    }
    QString result;
    for (const QString& rate : *rates) {
        if (candidates.contains(rate))
            result = rate;
    }
    return result;
}

bool classifyLine(const QString& input, CompressionRecord& record, QChar& separator) {
    record.clear();
    QString line = input;
    if (const qsizetype prefix = line.indexOf(QLatin1String("+VSM:"), 0, Qt::CaseInsensitive); prefix >= 0)
        line.remove(prefix, 5);

    // ',' wherever it stands, inside a rate group too: "1;unsigned pcm;8;0;(7200,8000)" then counts
    // one field and is no compression. Deciding otherwise would add records and move the indices
    // that stored profiles refer to. A group that never closes is no line either.
    if (!withoutGroups(line))
        return false;
    if (line.contains(QLatin1Char(',')))
        separator = QLatin1Char(',');
    else if (line.contains(QLatin1Char(';')))
        separator = QLatin1Char(';');
    else
        return false;

    const int fields = countFields(line, separator);
    QString rest = line;
    switch (fields) {
    case 3:
        record.cml = takeField(rest, separator);
        record.cmid = takeField(rest, separator);
        record.vsr = chooseRate(RateList::NoWidth, takeField(rest, separator));
        break;
    case 5:
    case 7:
        record.cml = takeField(rest, separator);
        record.cmid = takeField(rest, separator);
        record.bps = takeField(rest, separator);
        record.tm = takeField(rest, separator);
        record.vsr = chooseRate(rateListFor(record.bps), takeField(rest, separator));
        if (fields == 7) {
            record.scs = firstOfRange(takeField(rest, separator));
            record.sel = firstOfRange(takeField(rest, separator));
        }
        break;
    default:
        return false;
    }

    if (record.cmid.toUpper() == QLatin1String("SIGNED LINEAR"))
        record.cmid = QStringLiteral("SIGNED PCM");
    record.Description = familyOf(record.cmid);
    if (record.Description.isEmpty()) {
        record.clear();
        return false;
    }
    const QString width = record.bps.trimmed();
    if (width.isEmpty() || width == QLatin1String("0"))
        record.bps = widthFromName(record.cmid);
    return true;
}

QString buildSelectionCommand(const CompressionRecord& record, QChar separator) {
    QString command = QStringLiteral("at+vsm=");
    for (const QString* value : {&record.cml, &record.vsr, &record.scs, &record.sel}) {
        if (!value->isEmpty())
            command += *value + separator;
    }
    if (command.endsWith(separator))
        command.chop(1);
    return command;
}

} // namespace CompressionLineParser
