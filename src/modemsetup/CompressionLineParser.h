// Turning one line of a modem's "at+vsm=?" reply into a compression record.
#pragma once

#include "modemsetup/CompressionRecord.h"

#include <QChar>
#include <QString>
#include <optional>

namespace CompressionLineParser {

/// Which rate list a line's width selects.
enum class RateList { Narrow, Wide, NoWidth, None };

/// Classifies one trimmed reply line. Fills `record` (all fields emptied first, `VsmCommand` left
/// empty) and `separator` (',' or ';', whichever occurs outside the parenthesised groups). False when the line is not a
/// compression this program records: no separator, a field count other than 3, 5 or 7, a "(" without a ")" after it, or
/// a name of no known family.
bool classifyLine(const QString& line, CompressionRecord& record, QChar& separator);

/// `line` with every parenthesised group removed; nothing when a "(" has no ")" after it.
std::optional<QString> withoutGroups(const QString& line);

/// The fields of `line` with separator `s`, counting each parenthesised group as one field;
/// -1 when a "(" has no ")" after it.
int countFields(const QString& line, QChar s);

/// Takes the next field from the front of `rest` and removes it with its separator. A group in
/// parentheses is one field; the first "(" and ")" are removed from it; at most 30 characters are
/// kept. An exhausted `rest` gives an empty field.
QString takeField(QString& rest, QChar s);

/// The rate list for a width text: "2", "4", "8", "0" narrow; "12", "16" wide; anything else none.
RateList rateListFor(const QString& width);
/// The last rate of the list that occurs in `candidates` (as a substring); empty when none does.
QString chooseRate(RateList list, const QString& candidates);

/// "at+vsm=" then each non-empty of `cml`, `vsr`, `scs`, `sel`, joined by the separator.
QString buildSelectionCommand(const CompressionRecord& record, QChar separator);

} // namespace CompressionLineParser
