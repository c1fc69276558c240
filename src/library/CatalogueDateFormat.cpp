// Locale date and time texts that read back, two-digit years included.
#include "library/CatalogueDateFormat.h"

#include "library/TableError.h"

namespace {

const QString kIsoDate = QStringLiteral("yyyy-MM-dd");
const QString kIsoTime = QStringLiteral("HH:mm:ss");

// The format without its time-zone part (the letters "t" outside quotes and the blanks around them).
QString withoutZone(QString format) {
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        if (format.at(i) == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && format.at(i) == QLatin1Char('t'))
            format.remove(i, 1);
        else
            ++i;
    }
    return format.simplified();
}

bool hasTwoDigitYear(const QString& format) {
    return format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

} // namespace

CatalogueDateFormat::CatalogueDateFormat(const QLocale& locale)
    : m_locale(locale), m_dateFormat(locale.dateFormat(QLocale::ShortFormat)),
      m_timeFormat(withoutZone(locale.timeFormat(QLocale::LongFormat))) {}

QString CatalogueDateFormat::dateText(QDate date) const {
    QString text = m_locale.toString(date, m_dateFormat);
    if (text.toUtf8().size() <= kFieldBytes)
        return text;
    return date.toString(kIsoDate);
}

QString CatalogueDateFormat::timeText(QTime time) const {
    QString text = m_locale.toString(time, m_timeFormat);
    if (text.toUtf8().size() <= kFieldBytes)
        return text;
    return time.toString(kIsoTime);
}

QDate CatalogueDateFormat::inWindow(QDate date) const {
    const int reference = m_referenceYear ? m_referenceYear : QDate::currentDate().year();
    const int last = reference + 19;
    const int year = last - ((last - (date.year() % 100)) % 100 + 100) % 100;
    return QDate(year, date.month(), date.day());
}

QList<QDate> CatalogueDateFormat::dateReadings(const QString& text) const {
    QList<QDate> readings;
    auto add = [&](QDate date, bool twoDigitYear) {
        if (!date.isValid())
            return;
        if (twoDigitYear)
            date = inWindow(date);
        if (!readings.contains(date))
            readings.append(date);
    };
    add(m_locale.toDate(text, m_dateFormat), hasTwoDigitYear(m_dateFormat));
    // The same order of day, month and year with the other year width: the usual difference
    // between two machines of one language.
    QString otherWidth = m_dateFormat;
    if (hasTwoDigitYear(m_dateFormat))
        otherWidth.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    else
        otherWidth.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    add(m_locale.toDate(text, otherWidth), hasTwoDigitYear(otherWidth));
    add(QDate::fromString(text, kIsoDate), false);
    static const char* const kCommon[] = {"M/d/yyyy", "d/M/yyyy", "d.M.yyyy", "d-M-yyyy", "yyyy/M/d",
                                          "yyyy.M.d", "M/d/yy",   "d/M/yy",   "d.M.yy",   "d-M-yy"};
    for (const char* format : kCommon) {
        const QString f = QLatin1String(format);
        add(QDate::fromString(text, f), hasTwoDigitYear(f));
    }
    return readings;
}

QList<QTime> CatalogueDateFormat::timeReadings(const QString& text) const {
    QList<QTime> readings;
    auto add = [&](QTime time) {
        if (time.isValid() && !readings.contains(time))
            readings.append(time);
    };
    add(m_locale.toTime(text, m_timeFormat));
    add(QTime::fromString(text, kIsoTime));
    for (const char* format : {"H:mm:ss", "h:mm:ss AP", "h:mm:ssAP", "h:mm:ss ap", "H.mm.ss", "H:mm"})
        add(QTime::fromString(text, QLatin1String(format)));
    return readings;
}

QDate CatalogueDateFormat::parseDate(const QString& text) const {
    if (const QDate date = m_locale.toDate(text, m_dateFormat); date.isValid())
        return hasTwoDigitYear(m_dateFormat) ? inWindow(date) : date;
    const QList<QDate> readings = dateReadings(text);
    if (readings.isEmpty())
        throw TableError(QStringLiteral("'%1' is not a valid date").arg(text));
    return readings.first();
}

QTime CatalogueDateFormat::parseTime(const QString& text) const {
    if (const QTime time = m_locale.toTime(text, m_timeFormat); time.isValid())
        return time;
    const QList<QTime> readings = timeReadings(text);
    if (readings.isEmpty())
        throw TableError(QStringLiteral("'%1' is not a valid time").arg(text));
    return readings.first();
}
