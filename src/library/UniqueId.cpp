// The identifier generator of the table store.
#include "library/UniqueId.h"

#include <QDate>

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr qint64 kBase = 62;
constexpr qint64 kThreeDigits = kBase * kBase * kBase; // 238 328
constexpr int kCounterWrap = 62 * 62;                  // 3 844

int g_counter = -1; // process-wide; the program calls it on one thread only

void appendDigits(QString& out, qint64 value, int digits) {
    QString part(digits, QLatin1Char('0'));
    for (int i = digits - 1; i >= 0; --i) {
        part[i] = QLatin1Char(kAlphabet[value % kBase]);
        value /= kBase;
    }
    out += part;
}

} // namespace

QString makeUniqueId(const QDateTime& now) {
    const QTime time = now.time();
    if (g_counter < 0)
        g_counter = time.hour() * 60 + time.minute();
    else if (++g_counter >= kCounterWrap)
        g_counter = 0;
    qint64 partA = QDate(2000, 11, 1).daysTo(now.date()) * 24 + time.hour();
    if (partA >= kThreeDigits)
        partA -= kThreeDigits;
    partA = ((partA % kThreeDigits) + kThreeDigits) % kThreeDigits;
    const qint64 partB = time.minute() * 60 + time.second();
    const qint64 partC = (time.msec() / 10) * 1922 + g_counter;
    QString id;
    id.reserve(8);
    appendDigits(id, partA, 3);
    appendDigits(id, partB, 2);
    appendDigits(id, partC, 3);
    return id;
}

QString makeUniqueId() {
    return makeUniqueId(QDateTime::currentDateTime());
}
