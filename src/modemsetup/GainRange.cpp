// Parsing the gain range reply.
#include "modemsetup/GainRange.h"

namespace {

int decimalOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

} // namespace

void parseGainRange(const QString& reply, GainRange& range) {
    QString text = reply;
    if (const qsizetype open = text.indexOf(QLatin1Char('(')); open >= 0)
        text.remove(open, 1);
    if (const qsizetype close = text.indexOf(QLatin1Char(')')); close >= 0)
        text.remove(close, 1);
    if (const qsizetype comma = text.indexOf(QLatin1Char(',')); comma >= 0)
        text.remove(0, comma + 1);
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return;
    const int low = decimalOr(text.left(dash), 0);
    const int high = decimalOr(text.mid(dash + 1), 255);
    range = low < high ? GainRange{low, high} : GainRange{-1, -1};
}
