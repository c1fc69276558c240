// Which recordings the retention settings would delete now.
#pragma once

#include "library/CatalogueListing.h"

#include <QDateTime>
#include <QStringList>
#include <vector>

class FolderTree;
class RetentionRules;

/// A recording the retention settings let go, and why.
struct RetentionDeletion {
    enum class Reason { Age, Cap };
    QString id;
    QString list;
    QDateTime recorded;
    QString wavPath; ///< relative to the working folder, e.g. wav/1_20261208_131453.wav
    qint64 bytes = 0;
    Reason reason = Reason::Age;
    int days = 0; ///< the list's days, for Reason::Age
};

/// Chooses from the catalogue's rows: first those older than their list's days, then, while the files
/// of all rows together are larger than the cap, the oldest others. Never chosen: a recording of a
/// protected list, one younger than a day (or dated in the future), one whose date cannot be read,
/// and one of `inUse` (absolute paths of files being played). Oldest first.
class RetentionPlan {
public:
    static constexpr qint64 kMinimumAgeSeconds = 24 * 60 * 60;

    static std::vector<RetentionDeletion> choose(const std::vector<CatalogueListRow>& rows, const QString& workDir,
                                                 const FolderTree& tree, const RetentionRules& rules,
                                                 const QDateTime& now, const QStringList& inUse);
    /// One line for the event log and the command line, e.g.
    /// "Retention: 12 of Sales, 2026-10-01 09:30:00 (wav/1_20261001_093000.wav): older than 30 days".
    static QString describe(const RetentionDeletion& deletion);
};
