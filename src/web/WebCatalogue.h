// What the page reads from and does to the catalogue, on the window's own commands.
#pragma once

#include "library/RecordingTags.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <functional>

class Catalogue;

/// Runs on the open catalogue of the running program, so a change shows in the window at once. The
/// commands are RecordingOperations and FolderListCommands as the window runs them; the folder and
/// row the window had selected are selected again afterwards. Recordings are named by their id only;
/// the file of one is found through its row, never from a path the client sends.
class WebCatalogue {
public:
    /// What a command answers: empty when it worked, else the message and the HTTP status.
    struct Outcome {
        int status = 200;
        QString error;
        bool ok() const { return error.isEmpty(); }
    };
    struct Page {
        int total = 0; ///< matching rows in all
        QJsonArray rows;
    };

    WebCatalogue(Catalogue& catalogue, QString workDir);

    /// The lists in tree order: name, level, and the number of recordings filed there.
    QJsonArray lists() const;
    /// The recordings of a list (every list when blank) whose memo holds `query` (the find dialog's
    /// match, without case), the last catalogued first; `limit` rows from `offset`. Empty `total`
    /// and an error outcome for a list no folder has.
    Page recordings(const QString& list, const QString& query, int offset, int limit, Outcome* outcome) const;
    /// The row of one recording; empty when there is none.
    QJsonObject recording(const QString& id) const;
    /// The WAV file of a recording that exists; empty when there is no such row or file.
    QString wavFile(const QString& id) const;
    /// What a compressed copy of the recording carries; empty tags when there is no such row.
    RecordingTags tags(const QString& id) const;

    Outcome setMemo(const QString& id, const QString& text);
    Outcome move(const QString& id, const QString& list);
    Outcome remove(const QString& id);
    Outcome addList(const QString& name, const QString& parent);
    Outcome renameList(const QString& name, const QString& newName);
    Outcome deleteList(const QString& name);

    /// Whether an id can name a row at all (the catalogue's ids are short letters and digits).
    static bool plausibleId(const QString& id);

private:
    /// The fields of the rows at `positions` (ascending places among the live records) only.
    struct Columns {
        Columns(const class TableFile& calls, const QList<int>& positions);
        QList<QVariant> ids, folders, memos, dates, times, durations;
    };
    QJsonObject rowObject(const Columns& columns, qsizetype index) const;
    Outcome onRecording(const QString& id, const std::function<QStringList(class WebPrompter&)>& work);

    Catalogue& m_catalogue;
    QString m_workDir;
};
