// Choosing the recordings that retention deletes: by age per list, then by the size cap.
#include "library/RetentionPlan.h"

#include "library/FolderTree.h"
#include "library/RetentionRules.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

std::vector<RetentionDeletion> RetentionPlan::choose(const std::vector<CatalogueListRow>& rows, const QString& workDir,
                                                     const FolderTree& tree, const RetentionRules& rules,
                                                     const QDateTime& now, const QStringList& inUse) {
    const QDir dir(workDir);
    QSet<QString> busy;
    for (const QString& file : inUse)
        busy.insert(QFileInfo(file).absoluteFilePath());
    QHash<QString, ListRetention> lists;
    qint64 total = 0;
    std::vector<RetentionDeletion> chosen;
    std::vector<RetentionDeletion> others; // may still go for the cap
    for (const CatalogueListRow& row : rows) {
        RetentionDeletion candidate;
        candidate.id = row.id;
        candidate.list = row.folder;
        candidate.wavPath = row.wavPath;
        candidate.recorded = QDateTime(QDate::fromString(row.date, Qt::ISODate),
                                       QTime::fromString(row.time, QStringLiteral("HH:mm:ss")));
        const QString file = dir.absoluteFilePath(row.wavPath);
        candidate.bytes = row.exists ? QFileInfo(file).size() : 0;
        total += candidate.bytes;
        if (!candidate.recorded.isValid() || candidate.recorded.secsTo(now) < kMinimumAgeSeconds || busy.contains(file))
            continue;
        if (!lists.contains(row.folder))
            lists.insert(row.folder, rules.effective(tree, row.folder));
        const ListRetention rule = lists.value(row.folder);
        if (rule.protectedList)
            continue;
        candidate.days = rule.days;
        if (rule.days > 0 && candidate.recorded.addDays(rule.days) < now)
            chosen.push_back(candidate);
        else
            others.push_back(candidate);
    }
    const auto older = [](const RetentionDeletion& a, const RetentionDeletion& b) { return a.recorded < b.recorded; };
    for (const RetentionDeletion& deletion : chosen)
        total -= deletion.bytes;
    const qint64 cap = qint64(rules.capMegabytes()) * 1024 * 1024;
    if (cap > 0 && total > cap) {
        std::stable_sort(others.begin(), others.end(), older);
        for (RetentionDeletion& deletion : others) {
            if (total <= cap)
                break;
            deletion.reason = RetentionDeletion::Reason::Cap;
            total -= deletion.bytes;
            chosen.push_back(deletion);
        }
    }
    std::stable_sort(chosen.begin(), chosen.end(), older);
    return chosen;
}

QString RetentionPlan::describe(const RetentionDeletion& deletion) {
    const QString why = deletion.reason == RetentionDeletion::Reason::Age
                            ? QStringLiteral("older than %1 days").arg(deletion.days)
                            : QStringLiteral("the catalogue is above its size cap");
    return QStringLiteral("Retention: %1 of %2, %3 (%4): %5")
        .arg(deletion.id, deletion.list, deletion.recorded.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             deletion.wavPath, why);
}
