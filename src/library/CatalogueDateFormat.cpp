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
    const QString text = m_locale.toString(date, m_dateFormat);
    if (text.toUtf8().size() <= kFieldBytes)
        return text;
    return date.toString(kIsoDate);
}

QString CatalogueDateFormat::timeText(QTime time) const {
    const QString text = m_locale.toString(time, m_timeFormat);
    if (text.toUtf8().size() <= kFieldBytes)
        return text;
    return time.toString(kIsoTime);
}

QDate CatalogueDateFormat::parseDate(const QString& text) const {
    QDate date = m_locale.toDate(text, m_dateFormat);
    if (date.isValid() && hasTwoDigitYear(m_dateFormat)) {
        const int reference = m_referenceYear ? m_referenceYear : QDate::currentDate().year();
        const int last = reference + 19;
        int year = last - ((last - (date.year() % 100)) % 100 + 100) % 100;
        date = QDate(year, date.month(), date.day());
    }
    if (!date.isValid())
        date = QDate::fromString(text, kIsoDate);
    if (!date.isValid())
        throw TableError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

QTime CatalogueDateFormat::parseTime(const QString& text) const {
    QTime time = m_locale.toTime(text, m_timeFormat);
    if (!time.isValid())
        time = QTime::fromString(text, kIsoTime);
    if (!time.isValid())
        throw TableError(QStringLiteral("'%1' is not a valid time").arg(text));
    return time;
}
