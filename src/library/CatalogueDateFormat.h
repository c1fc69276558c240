// The date and time texts of catalogue rows: the system's short date and long time formats.
#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTime>

/// Writes and reads `DateS` and `TimeS`. The formats are the locale's short date and long time
/// formats, with any time-zone part left out (it would not fit the 12-character field and cannot
/// be read back). A text that would not fit in 12 bytes falls back to ISO "yyyy-MM-dd" or
/// "HH:mm:ss". A catalogue may come from a machine with other formats (a four-digit year, day
/// first, a 12-hour clock), so a text may have several readings: the locale's format comes first,
/// then its other year width, ISO, and the common numeric forms.
///
/// Two-digit years: a year "yy" is read as the year of the 100-year window that ends 19 years
/// after the reference year (by default the current one): in 2026, "46" to "99" are 1946 to 1999
/// and "00" to "45" are 2000 to 2045.
class CatalogueDateFormat {
public:
    explicit CatalogueDateFormat(const QLocale& locale = QLocale::system());

    static constexpr int kFieldBytes = 12;

    QString dateFormat() const { return m_dateFormat; }
    QString timeFormat() const { return m_timeFormat; }
    void setReferenceYear(int year) { m_referenceYear = year; }

    QString dateText(QDate date) const;
    QString timeText(QTime time) const;
    /// Both throw TableError "'<text>' is not a valid date" / "... time" when the text cannot be read.
    /// The first reading.
    QDate parseDate(const QString& text) const;
    QTime parseTime(const QString& text) const;
    /// Every distinct reading of the text, the likeliest first; empty when it has none.
    QList<QDate> dateReadings(const QString& text) const;
    QList<QTime> timeReadings(const QString& text) const;

private:
    QDate inWindow(QDate date) const;

    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
    int m_referenceYear = 0;
};
