// The commands on recordings: delete, move to a list, copy to a folder, memo, e-mail, search.
#pragma once

#include "base/ConfigKeys.h"
#include "library/CopyFormat.h"
#include "library/RecordingSearch.h"

#include <QObject>
#include <QStringList>
#include <functional>

class Catalogue;
class Config;
class MailHandOver;
class Prompter;
struct RecordingTags;

/// The recording commands of the main window and of orlamo-cli, on the catalogue's tables.
/// Delete, move, copy and e-mail take the window's `MarkedIds`; an empty list means the current
/// row. Each asks through the prompter and reports errors there (the window shows them as
/// message boxes, orlamo-cli on standard error); each returns whether it changed or produced
/// something.
///
///     RecordingOperations operations(catalogue, prompter, mail);
///     operations.setMoveTargetChooser([&] { return moveDialog.chooseFolder(catalogue.folderTree()); });
///     connect(&operations, &RecordingOperations::marksCleared, window, &Window::clearMarks);
///     operations.confirmAndDelete(markedIds);            // "Delete..."
///     operations.search().findNext(text, matchCase);  // the find dialog's button
class RecordingOperations : public QObject {
    Q_OBJECT
public:
    RecordingOperations(Catalogue& catalogue, Prompter& prompter, MailHandOver& mail, QObject* parent = nullptr);

    /// Marked ids are looked for among the selected folder's recordings (the window), or, with
    /// `anyList`, wherever they are filed (orlamo-cli, which names rows by id).
    void setAnyList(bool anyList) { m_anyList = anyList; }
    /// The "Move" dialog: returns the chosen folder's name, or an empty text when cancelled.
    void setMoveTargetChooser(std::function<QString()> chooser) { m_chooseMoveTarget = std::move(chooser); }
    /// The product's web address in the mail body.
    void setWebAddress(const QString& address) { m_webAddress = address; }
    /// [Mail] WebAddress of tvk.ini, or the default.
    static QString webAddressFrom(const Config& config);
    /// "Hello,", two empty lines, "Recorded with Orlamo" and the web address, each ended by LF.
    static QString mailBody(const QString& webAddress);

    /// Writes a compressed copy of `source` at `target` with the row's tags; returns the reason of
    /// a failure in one line, or an empty text. Without one only WAV copies can be made.
    using CopyWriter = std::function<QString(const QString& source, const QString& target, CopyFormat format,
                                             const RecordingTags& tags)>;
    void setCopyWriter(CopyWriter writer) { m_copyWriter = std::move(writer); }
    /// The format of e-mail attachments: the stored WAV file, or a compressed copy.
    void setAttachFormat(CopyFormat format) {
        m_attachFormat = [format] { return format; };
    }
    /// The same asked at each mail, so a change in the settings counts at once.
    void setAttachFormat(std::function<CopyFormat()> format) { m_attachFormat = std::move(format); }
    /// [Mail] AttachAs of tvk.ini; WAV for a missing or unknown name.
    static CopyFormat attachFormatFrom(const Config& config);

    // The window's commands.

    /// "Delete...": asks "Delete selected record(s)?", then deleteRecordings().
    bool confirmAndDelete(const QStringList& markedIds);
    /// "Move to...": the "Move" dialog, then moveRecordings(); a cancelled dialog clears the marks.
    bool moveToList(const QStringList& markedIds);
    /// "Copy to folder...": a file-save dialog ("Selected Files" with marks, else the recording's
    /// name) with a choice of file type, WAV first; only the folder of the chosen path and the type
    /// count. A cancelled dialog keeps the marks.
    bool copyToFolder(const QStringList& markedIds);
    /// "Memo...": an input box "Comment" with the current memo; an empty answer changes nothing.
    bool editMemo();
    /// The find dialog's search; the dialog calls dialogShown(), dialogClosed() and findNext().
    RecordingSearch& search() { return m_search; }

    // The same without questions (orlamo-cli, and the commands above after their dialogs).

    /// Deletes the rows with their WAV files (the catalogue's delete hooks: each row is saved off
    /// the disk before its file goes), then saves once more. Returns the number deleted.
    int deleteRecordings(const QStringList& markedIds);
    /// Files the recordings in the folder of that name. Rows already there are left alone, and when
    /// none changes nothing is saved or reloaded. Otherwise the table is saved and reloaded (the
    /// moved rows leave the list; the first row becomes current). An empty name only clears the
    /// marks; a name no folder has is refused with a message.
    bool moveRecordings(const QStringList& markedIds, const QString& folderName);
    /// Copies the WAV files into `targetFolder` under their base names, replacing files of those
    /// names; in another `format` the copies are encoded by the copy writer and get its extension.
    /// A missing source or a target that cannot be written is reported, the rest copied.
    /// Returns the target paths written.
    QStringList copyRecordings(const QStringList& markedIds, const QString& targetFolder,
                               CopyFormat format = CopyFormat::Wav);
    /// Sets the current row's memo (control characters become blanks; 255 characters are kept).
    bool setMemo(const QString& text);
    /// Hands the WAV files that exist to the mail program (no recipient, no subject: the user
    /// fills them in in the compose window); "Mail failed to be dispatched" when that fails. With
    /// another attachment format the copies are encoded into the working folder first (see
    /// mailCopyPath) and a copy that cannot be written is reported and not sent.
    bool emailRecordings(const QStringList& markedIds);

Q_SIGNALS:
    /// `MarkedIds` is to be emptied and the list repainted.
    void marksCleared();

private:
    bool locate(const QString& id);
    /// Runs `each` on every marked row that is found, or on the current row without marks.
    void forEachRow(const QStringList& markedIds, const std::function<void()>& each);
    void clearMarks() { Q_EMIT marksCleared(); }
    /// The current row's WAV file after its legacy name was migrated.
    QString currentRecordingFile();
    /// Where a mail attachment in `format` of `source` is written: "mail-<base name><extension>"
    /// in the working folder, the one place besides wav/ the mail hand-over takes files from.
    /// Copies older than a day are removed first: their compose windows are long closed.
    QString mailCopyPath(const QString& source, CopyFormat format);
    QString writeCopy(const QString& source, const QString& target, CopyFormat format);
    bool showError(const std::exception& error);

    Catalogue& m_catalogue;
    Prompter& m_prompter;
    MailHandOver& m_mail;
    RecordingSearch m_search;
    bool m_anyList = false;
    std::function<QString()> m_chooseMoveTarget;
    QString m_webAddress = ConfigKeys::kWebAddress.defaultValue;
    QString m_lastCopyFolder;
    CopyWriter m_copyWriter;
    std::function<CopyFormat()> m_attachFormat = [] { return CopyFormat::Wav; };
};
