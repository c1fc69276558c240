// Paging and searching the recordings table, and the window's commands run for the page.
#include "web/WebCatalogue.h"

#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"
#include "library/RecordingSearch.h"
#include "library/TableError.h"
#include "web/WebPrompter.h"

#include <QFileInfo>
#include <QHash>
#include <functional>

namespace {

const QString kId = QStringLiteral("id");
const QString kFolderId = QStringLiteral("FolderId");
const QString kFolderName = QStringLiteral("FolderName");
const QString kMemo = QStringLiteral("Comment");

/// The folder and row the window had selected, selected again when the command is over.
class SelectionKeeper {
public:
    explicit SelectionKeeper(Catalogue& catalogue) : m_catalogue(catalogue) {
        if (const FolderNode* node = catalogue.folderTree().selected())
            m_node = node->text;
        TableFile& folders = catalogue.folders();
        if (folders.active() && folders.recordCount() > 0)
            m_folderId = folders.fieldText(kFolderId);
        TableFile& calls = catalogue.recordings();
        if (calls.active() && calls.recordCount() > 0)
            m_rowId = calls.fieldText(kId);
    }
    ~SelectionKeeper() {
        try {
            FolderNode* node = m_node.isNull() ? nullptr : m_catalogue.folderTree().find(m_node);
            if (node && m_catalogue.folderTree().selected() != node)
                m_catalogue.selectNode(node);
            TableFile& folders = m_catalogue.folders();
            if (!m_folderId.isEmpty() && folders.active() && folders.fieldText(kFolderId) != m_folderId)
                folders.locate(kFolderId, m_folderId);
            if (!m_rowId.isEmpty() && m_catalogue.recordings().active())
                m_catalogue.recordings().locate(kId, m_rowId);
        } catch (const std::exception&) {
            // The window's selection is a convenience; the command's result stands.
        }
    }
    SelectionKeeper(const SelectionKeeper&) = delete;
    SelectionKeeper& operator=(const SelectionKeeper&) = delete;

private:
    Catalogue& m_catalogue;
    QString m_node;
    QString m_folderId;
    QString m_rowId;
};

QString firstMessage(const QStringList& messages, const QString& fallback) {
    return messages.isEmpty() ? fallback : messages.first();
}

} // namespace

WebCatalogue::WebCatalogue(Catalogue& catalogue, QString workDir)
    : m_catalogue(catalogue), m_workDir(std::move(workDir)) {}

bool WebCatalogue::plausibleId(const QString& id) {
    if (id.isEmpty() || id.size() > 20)
        return false;
    for (const QChar c : id)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    return true;
}

QJsonArray WebCatalogue::lists() const {
    QHash<QString, QString> idOfName;
    const TableFile& folders = m_catalogue.folders();
    if (folders.active()) {
        const QList<QVariant> ids = folders.allValues(kFolderId);
        const QList<QVariant> names = folders.allValues(kFolderName);
        for (qsizetype i = 0; i < ids.size(); ++i)
            idOfName.insert(names.at(i).toString(), ids.at(i).toString());
    }
    QHash<QString, int> counts;
    if (m_catalogue.recordings().active())
        for (const QVariant& folder : m_catalogue.recordings().allValues(kFolderId))
            ++counts[folder.toString()];
    QJsonArray out;
    for (const FolderNode* node : m_catalogue.folderTree().nodes()) {
        out.append(QJsonObject{{QStringLiteral("name"), node->text},
                               {QStringLiteral("level"), node->level()},
                               {QStringLiteral("parent"), node->parent ? node->parent->text : QString()},
                               {QStringLiteral("count"), counts.value(idOfName.value(node->text))}});
    }
    return out;
}

WebCatalogue::Columns::Columns(const TableFile& calls, const QList<int>& positions)
    : ids(calls.allValuesAt(kId, positions)), folders(calls.allValuesAt(kFolderId, positions)),
      memos(calls.allValuesAt(kMemo, positions)), dates(calls.allValuesAt(QStringLiteral("DateS"), positions)),
      times(calls.allValuesAt(QStringLiteral("TimeS"), positions)),
      durations(calls.allValuesAt(QStringLiteral("Duration"), positions)) {}

QJsonObject WebCatalogue::rowObject(const Columns& columns, qsizetype index) const {
    const QString dateText = columns.dates.at(index).toString();
    const QString timeText = columns.times.at(index).toString();
    QString date = dateText;
    QString time = timeText;
    try {
        date = m_catalogue.formats().parseDate(dateText).toString(Qt::ISODate);
        time = m_catalogue.formats().parseTime(timeText).toString(QStringLiteral("HH:mm:ss"));
    } catch (const TableError&) {
        // Shown as stored.
    }
    const QString folderId = columns.folders.at(index).toString();
    return QJsonObject{
        {QStringLiteral("id"), columns.ids.at(index).toString()},
        {QStringLiteral("list"), m_catalogue.folders().lookup(kFolderId, folderId, kFolderName).toString()},
        {QStringLiteral("date"), date},
        {QStringLiteral("time"), time},
        {QStringLiteral("duration"), columns.durations.at(index).toString()},
        {QStringLiteral("memo"), columns.memos.at(index).toString()},
    };
}

WebCatalogue::Page WebCatalogue::recordings(const QString& list, const QString& query, int offset, int limit,
                                            Outcome* outcome) const {
    Page page;
    const TableFile& calls = m_catalogue.recordings();
    if (!calls.active())
        return page;
    QString folderId;
    if (!list.isEmpty()) {
        folderId = m_catalogue.folders().lookup(kFolderName, list, kFolderId).toString();
        if (folderId.isEmpty()) {
            if (outcome)
                *outcome = {404, QStringLiteral("There is no list named \"%1\"").arg(list)};
            return page;
        }
    }
    // Only the columns a filter needs are read whole; the page's rows are read alone.
    const QList<QVariant> ids = calls.allValues(kId);
    const QList<QVariant> folders = folderId.isEmpty() ? QList<QVariant>() : calls.allValues(kFolderId);
    const QList<QVariant> memos = query.isEmpty() ? QList<QVariant>() : calls.allValues(kMemo);
    // Rows are appended as calls are catalogued: the last row is the newest.
    QList<int> matching;
    for (qsizetype i = ids.size() - 1; i >= 0; --i) {
        if (!folderId.isEmpty() && folders.at(i).toString() != folderId)
            continue;
        if (!query.isEmpty() && !RecordingSearch::memoMatches(memos.at(i).toString(), query, false))
            continue;
        matching.append(int(i));
    }
    page.total = int(matching.size());
    const QList<int> shown = matching.mid(qMin<qsizetype>(offset, matching.size()), limit);
    QList<int> ascending(shown.rbegin(), shown.rend());
    const Columns columns(calls, ascending);
    for (qsizetype i = columns.ids.size() - 1; i >= 0; --i)
        page.rows.append(rowObject(columns, i));
    return page;
}

QJsonObject WebCatalogue::recording(const QString& id) const {
    if (!plausibleId(id) || !m_catalogue.recordings().active())
        return {};
    const QList<QVariant> ids = m_catalogue.recordings().allValues(kId);
    for (qsizetype i = 0; i < ids.size(); ++i)
        if (ids.at(i).toString() == id)
            return rowObject(Columns(m_catalogue.recordings(), {int(i)}), 0);
    return {};
}

QString WebCatalogue::wavFile(const QString& id) const {
    if (!plausibleId(id))
        return {};
    SelectionKeeper keeper(m_catalogue);
    try {
        if (!m_catalogue.locateRecording(id, true))
            return {};
        const QString file = m_catalogue.wavPath(m_catalogue.recordingBaseName());
        return QFileInfo(file).isFile() ? file : QString();
    } catch (const std::exception&) {
        return {};
    }
}

RecordingTags WebCatalogue::tags(const QString& id) const {
    if (!plausibleId(id))
        return {};
    SelectionKeeper keeper(m_catalogue);
    try {
        return m_catalogue.locateRecording(id, true) ? currentRecordingTags(m_catalogue) : RecordingTags();
    } catch (const std::exception&) {
        return {};
    }
}

WebCatalogue::Outcome WebCatalogue::onRecording(const QString& id,
                                                const std::function<QStringList(WebPrompter&)>& work) {
    if (!plausibleId(id))
        return {404, QStringLiteral("there is no recording with the id '%1'").arg(id)};
    SelectionKeeper keeper(m_catalogue);
    if (!m_catalogue.locateRecording(id, true))
        return {404, QStringLiteral("there is no recording with the id '%1'").arg(id)};
    WebPrompter prompter;
    const QStringList messages = work(prompter);
    if (!messages.isEmpty())
        return {409, messages.first()};
    return {};
}

WebCatalogue::Outcome WebCatalogue::setMemo(const QString& id, const QString& text) {
    return onRecording(id, [&](WebPrompter& prompter) {
        MailHandOver mail(m_workDir);
        RecordingOperations operations(m_catalogue, prompter, mail);
        operations.setAnyList(true);
        if (!operations.setMemo(text))
            return QStringList{firstMessage(prompter.messages, QStringLiteral("The memo was not saved"))};
        return prompter.messages;
    });
}

WebCatalogue::Outcome WebCatalogue::move(const QString& id, const QString& list) {
    if (list.isEmpty() || m_catalogue.folders().lookup(kFolderName, list, kFolderName).isNull())
        return {404, QStringLiteral("There is no list named \"%1\"").arg(list)};
    return onRecording(id, [&](WebPrompter& prompter) {
        MailHandOver mail(m_workDir);
        RecordingOperations operations(m_catalogue, prompter, mail);
        operations.setAnyList(true);
        operations.moveRecordings({id}, list);
        return prompter.messages;
    });
}

WebCatalogue::Outcome WebCatalogue::remove(const QString& id) {
    return onRecording(id, [&](WebPrompter& prompter) {
        MailHandOver mail(m_workDir);
        RecordingOperations operations(m_catalogue, prompter, mail);
        operations.setAnyList(true);
        if (operations.deleteRecordings({id}) == 0)
            return QStringList{firstMessage(prompter.messages, QStringLiteral("The recording was not deleted"))};
        return prompter.messages;
    });
}

namespace {

// Runs a list command with `select` as the selected list and saves the tree when it changed.
WebCatalogue::Outcome listCommand(Catalogue& catalogue, const QString& select, WebPrompter& prompter,
                                  const std::function<bool(FolderListCommands&)>& command) {
    SelectionKeeper keeper(catalogue);
    if (!select.isEmpty()) {
        FolderNode* node = catalogue.folderTree().find(select);
        if (!node)
            return {404, QStringLiteral("There is no list named \"%1\"").arg(select)};
        catalogue.selectNode(node);
    }
    FolderListCommands commands(catalogue, prompter);
    bool changed = false;
    try {
        changed = command(commands);
    } catch (const TableError& error) {
        return {409, error.message()};
    }
    if (!prompter.messages.isEmpty())
        return {409, prompter.messages.first()};
    if (!changed)
        return {409, QStringLiteral("Nothing was changed")};
    // The window writes tree.d when it closes; a change from the page is written at once.
    if (!catalogue.saveTree())
        return {409, QStringLiteral("Unable to write to ") + catalogue.folder() + QStringLiteral("/tree.d")};
    return {};
}

bool blankName(const QString& name) {
    return FolderListCommands::cleanName(name).trimmed().isEmpty();
}

} // namespace

WebCatalogue::Outcome WebCatalogue::addList(const QString& name, const QString& parent) {
    if (blankName(name))
        return {400, QStringLiteral("a list needs a name that is not blank")};
    WebPrompter prompter;
    prompter.answers.push_back(name);
    return listCommand(m_catalogue, parent, prompter, [&](FolderListCommands& commands) {
        return parent.isEmpty() ? commands.addList() : commands.addSublist();
    });
}

WebCatalogue::Outcome WebCatalogue::renameList(const QString& name, const QString& newName) {
    if (blankName(newName))
        return {400, QStringLiteral("a list needs a name that is not blank")};
    if (name.isEmpty())
        return {404, QStringLiteral("There is no list named \"\"")};
    WebPrompter prompter;
    prompter.answers.push_back(newName);
    return listCommand(m_catalogue, name, prompter, [](FolderListCommands& commands) { return commands.renameList(); });
}

WebCatalogue::Outcome WebCatalogue::deleteList(const QString& name) {
    if (name.isEmpty())
        return {404, QStringLiteral("There is no list named \"\"")};
    WebPrompter prompter;
    return listCommand(m_catalogue, name, prompter, [](FolderListCommands& commands) { return commands.deleteList(); });
}
