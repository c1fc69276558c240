// Recording file names: the plain and id forms, the legacy id name, and the row's readings.
#include "library/RecordingFileName.h"

#include "library/TableError.h"

#include <QFile>
#include <QRegularExpression>

QString RecordingFileName::plain(int channel, QDate date, QTime time) {
    return QString::number(channel) + QLatin1Char('_') + date.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('_') +
           time.toString(QStringLiteral("HHmmss"));
}

bool RecordingFileName::isPlainId(const QString& id) {
    static const QRegularExpression plainId(QStringLiteral("^[0-9A-Za-z]+$"));
    return plainId.match(id).hasMatch();
}

std::optional<RecordingFileName::Parts> RecordingFileName::parse(const QString& baseName) {
    static const QRegularExpression named(QStringLiteral("^(\\d+)_(\\d{8})_(\\d{6})(?:_([0-9A-Za-z]+))?$"));
    const QRegularExpressionMatch match = named.match(baseName);
    if (!match.hasMatch())
        return std::nullopt;
    Parts parts{match.captured(1).toInt(), QDate::fromString(match.captured(2), QStringLiteral("yyyyMMdd")),
                QTime::fromString(match.captured(3), QStringLiteral("HHmmss")), match.captured(4)};
    if (!parts.date.isValid() || !parts.time.isValid())
        return std::nullopt;
    return parts;
}

RecordingFileName::RecordingFileName(const QString& folder, const CatalogueDateFormat& formats)
    : m_wav(QDir(folder).filePath(QStringLiteral("wav"))), m_formats(formats) {}

QString RecordingFileName::wavPath(const QString& baseName) const {
    return m_wav.filePath(baseName + QStringLiteral(".wav"));
}

QStringList RecordingFileName::plainNames(int channel, const QString& dateText, const QString& timeText) const {
    const QList<QDate> dates = m_formats.dateReadings(dateText);
    const QList<QTime> times = m_formats.timeReadings(timeText);
    if (dates.isEmpty())
        throw TableError(QStringLiteral("'%1' is not a valid date").arg(dateText));
    if (times.isEmpty())
        throw TableError(QStringLiteral("'%1' is not a valid time").arg(timeText));
    QStringList names;
    for (const QDate date : dates)
        for (const QTime time : times)
            names.append(plain(channel, date, time));
    names.removeDuplicates();
    return names;
}

QString RecordingFileName::baseName(int channel, const QString& dateText, const QString& timeText,
                                    const QString& id) const {
    // The likeliest reading first, alone: every other is tried only when its file is not there.
    QString likeliest = plain(channel, m_formats.parseDate(dateText), m_formats.parseTime(timeText));
    QString found = existingOf(likeliest, id);
    if (!found.isEmpty())
        return found;
    for (const QString& name : plainNames(channel, dateText, timeText))
        if (QString other = existingOf(name, id); !other.isEmpty())
            return other;
    return likeliest;
}

QString RecordingFileName::existingOf(const QString& plainName, const QString& id) const {
    if (isPlainId(id)) {
        QString withId = plainName + QLatin1Char('_') + id;
        if (QFile::exists(wavPath(withId)))
            return withId;
    }
    return QFile::exists(wavPath(plainName)) ? plainName : QString();
}

QString RecordingFileName::existingFile(int channel, const QString& dateText, const QString& timeText,
                                        const QString& id) const {
    QString name = baseName(channel, dateText, timeText, id);
    if (QFile::exists(wavPath(name)))
        return name;
    if (isPlainId(id) && QFile::exists(wavPath(id)))
        return id; // the legacy name
    return {};
}
