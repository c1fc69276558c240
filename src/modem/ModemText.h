// The modem's text as the exchange and call detection read it.
#pragma once

#include <QString>

namespace ModemText {

/// `text` without the blanks and control characters (line ends, NUL) at both of its ends.
inline QString trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace ModemText
