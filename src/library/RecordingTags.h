// What a compressed copy of a recording carries of its catalogue row.
#pragma once

#include <QDateTime>
#include <QString>

class Catalogue;

/// The call's date and time, its caller and its memo. The row keeps no caller of its own: a
/// recording's memo starts as the caller identification the modem gave, so the caller is the memo
/// as long as the user has not written one ("Comment" holds a blank for a call without caller ID).
struct RecordingTags {
    QDateTime when; ///< invalid when the row's texts have no reading
    QString caller;
    QString memo;

    /// "2026-12-08 13:14:53", or empty without a time.
    QString titleText() const;
    /// "2026-12-08T13:14:53", or empty.
    QString dateText() const;
};

/// The tags of the catalogue's current recordings row.
RecordingTags currentRecordingTags(Catalogue& catalogue);
