// The name of a recording's WAV file in wav/, worked out from its catalogue row.
#pragma once

#include "library/CatalogueDateFormat.h"

#include <QDate>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

/// A recording's file is `<channel>_yyyyMMdd_HHmmss.wav`; one that ended in the second of an
/// earlier recording is `<channel>_yyyyMMdd_HHmmss_<id>.wav`; files of old catalogues may still be
/// named `<id>.wav`. A row's date and time are texts in the formats of the system that wrote them,
/// so a row may have several readings (CatalogueDateFormat): the one whose file exists wins.
class RecordingFileName {
public:
    struct Parts {
        int channel = 0;
        QDate date;
        QTime time;
        QString id; ///< empty for the plain form
    };

    /// `<channel>_yyyyMMdd_HHmmss`.
    static QString plain(int channel, QDate date, QTime time);
    /// Ids made of letters and digits only may form a file name.
    static bool isPlainId(const QString& id);
    /// The parts of a `<channel>_yyyyMMdd_HHmmss[_<id>]` name; nothing for any other name.
    static std::optional<Parts> parse(const QString& baseName);

    /// For the files of `folder`/wav, with the date formats `formats`.
    RecordingFileName(const QString& folder, const CatalogueDateFormat& formats);

    /// The plain names of a row under each reading of its date and time, the current formats'
    /// first. Throws TableError when the date or the time has no reading at all.
    QStringList plainNames(int channel, const QString& dateText, const QString& timeText) const;
    /// The row's file name without the legacy form: `<plain>_<id>` when that file exists, else
    /// `<plain>`, for the first reading under which one of them exists (else the first reading).
    QString baseName(int channel, const QString& dateText, const QString& timeText, const QString& id) const;
    /// The row's existing file among all candidates of all readings, legacy name included; empty when
    /// none exists.
    QString existingFile(int channel, const QString& dateText, const QString& timeText, const QString& id) const;
    QString wavPath(const QString& baseName) const;

private:
    /// `<plain>_<id>` or `<plain>` when that file exists; empty when neither does.
    QString existingOf(const QString& plainName, const QString& id) const;

    QDir m_wav;
    const CatalogueDateFormat& m_formats;
};
