// The retention run: plan from the saved tables, delete row by row, log each.
#include "library/RetentionSweep.h"

#include "base/Logger.h"
#include "library/Catalogue.h"
#include "library/FolderTree.h"
#include "library/RetentionRules.h"
#include "library/TableError.h"

#include <QDir>
#include <QFile>

std::vector<RetentionDeletion> RetentionSweep::plan(const QString& workDir, Catalogue* open, Config& config,
                                                    const QDateTime& now, const QStringList& inUse,
                                                    QStringList* warnings) {
    // A working folder that has never held a recording has nothing to let go.
    if (!QFile::exists(QDir(workDir).filePath(QStringLiteral("Recordings.d"))))
        return {};
    const CatalogueDateFormat formats = open ? open->formats() : CatalogueDateFormat();
    const std::vector<CatalogueListRow> rows = CatalogueListing::read(workDir, formats, {}, warnings);
    // An open catalogue's tree is written only when it closes: its own is the one in use.
    FolderTree savedTree;
    const QString treeFile = QDir(workDir).filePath(QStringLiteral("tree.d"));
    if (!open && QFile::exists(treeFile)) {
        const QString error = savedTree.loadFromFile(treeFile);
        if (!error.isEmpty() && warnings)
            warnings->append(error);
    }
    const RetentionRules rules(config);
    return RetentionPlan::choose(rows, workDir, open ? open->folderTree() : savedTree, rules, now, inUse);
}

int RetentionSweep::run(const QDateTime& now, const QStringList& inUse) {
    QStringList warnings;
    std::vector<RetentionDeletion> chosen;
    try {
        chosen = plan(m_catalogue.folder(), &m_catalogue, m_config, now, inUse, &warnings);
    } catch (const TableError& error) {
        warnings.append(error.message());
    }
    for (const QString& warning : warnings)
        m_logger.add(QStringLiteral("Retention: ") + warning);
    if (chosen.empty())
        return 0;
    TableFile& folders = m_catalogue.folders();
    TableFile& calls = m_catalogue.recordings();
    const QString selected =
        folders.active() && folders.recordCount() > 0 ? folders.fieldText(QStringLiteral("FolderId")) : QString();
    int deleted = 0;
    {
        SuspendedDisplay suspended(calls);
        for (const RetentionDeletion& deletion : chosen) {
            try {
                if (!m_catalogue.locateRecording(deletion.id, true))
                    continue;
                // The catalogue's delete hooks save the row off the disk before the file goes.
                calls.deleteRecord();
                m_logger.add(RetentionPlan::describe(deletion));
                ++deleted;
            } catch (const std::exception& error) {
                const auto* table = dynamic_cast<const TableError*>(&error);
                m_logger.add(QStringLiteral("Retention: %1 was not deleted: %2")
                                 .arg(deletion.id, table ? table->message() : QString::fromUtf8(error.what())));
            }
        }
    }
    if (!selected.isEmpty())
        folders.locate(QStringLiteral("FolderId"), selected);
    return deleted;
}
