// Delete, move, copy, memo and e-mail on the marked recordings or the current one.
#include "library/RecordingOperations.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Prompter.h"
#include "library/Catalogue.h"
#include "library/MailHandOver.h"
#include "library/RecordingTags.h"
#include "library/TableError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace {

constexpr int kMemoSize = 255;

QString plainText(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// Copies through a temporary file beside the target, so a file of that name is either the old
// one or a whole new copy. Returns the reason of a failure, or an empty text.
QString copyReplacing(const QString& from, const QString& to) {
    if (!QFileInfo(from).isFile())
        return QStringLiteral("the file is missing");
    // Copying a file onto itself would first remove it.
    if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath())
        return {};
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    QFile source(from);
    if (!source.copy(part))
        return source.errorString();
    std::error_code error;
    std::filesystem::rename(fsPath(part), fsPath(to), error);
    if (error) {
        QFile::remove(part);
        return QString::fromStdString(error.message());
    }
    return {};
}

} // namespace

RecordingOperations::RecordingOperations(Catalogue& catalogue, Prompter& prompter, MailHandOver& mail, QObject* parent)
    : QObject(parent), m_catalogue(catalogue), m_prompter(prompter), m_mail(mail),
      m_search(catalogue.recordings(), prompter) {}

CopyFormat RecordingOperations::attachFormatFrom(const Config& config) {
    return copyFormatFromName(config.read(ConfigKeys::kAttachAs)).value_or(CopyFormat::Wav);
}

QString RecordingOperations::webAddressFrom(const Config& config) {
    return config.read(ConfigKeys::kWebAddress);
}

QString RecordingOperations::mailBody(const QString& webAddress) {
    return QStringLiteral("Hello,\n\n\nRecorded with Orlamo\n") + webAddress + QLatin1Char('\n');
}

bool RecordingOperations::locate(const QString& id) {
    return m_catalogue.locateRecording(id, m_anyList);
}

void RecordingOperations::forEachRow(const QStringList& markedIds, const std::function<void()>& each) {
    if (markedIds.isEmpty()) {
        if (m_catalogue.recordings().active() && m_catalogue.recordings().recordCount() > 0)
            each();
        return;
    }
    for (const QString& id : markedIds)
        if (locate(id))
            each();
}

bool RecordingOperations::showError(const std::exception& error) {
    const auto* table = dynamic_cast<const TableError*>(&error);
    m_prompter.message(table ? table->message() : QString::fromUtf8(error.what()), Prompter::Icon::Error);
    return false;
}

QString RecordingOperations::currentRecordingFile() {
    m_catalogue.setCurrentFileName(m_catalogue.recordingBaseName());
    m_catalogue.migrateLegacyFile();
    m_catalogue.setCurrentFileName(m_catalogue.recordingBaseName());
    return m_catalogue.wavPath(m_catalogue.currentFileName());
}

bool RecordingOperations::confirmAndDelete(const QStringList& markedIds) {
    if (m_prompter.confirm(QStringLiteral("Delete selected record(s)?"), Prompter::Buttons::OkCancel,
                           Prompter::Answer::Cancel) != Prompter::Answer::Ok)
        return false;
    return deleteRecordings(markedIds) > 0;
}

int RecordingOperations::deleteRecordings(const QStringList& markedIds) {
    TableFile& calls = m_catalogue.recordings();
    int deleted = 0;
    try {
        {
            SuspendedDisplay suspended(calls);
            forEachRow(markedIds, [&] {
                calls.deleteRecord();
                ++deleted;
            });
        }
        if (!markedIds.isEmpty())
            clearMarks();
        calls.saveTable();
    } catch (const std::exception& error) {
        // The rows deleted until then stay deleted, each saved with its file gone.
        showError(error);
    }
    return deleted;
}

bool RecordingOperations::moveToList(const QStringList& markedIds) {
    const QString folder = m_chooseMoveTarget ? m_chooseMoveTarget() : QString();
    return moveRecordings(markedIds, folder);
}

bool RecordingOperations::moveRecordings(const QStringList& markedIds, const QString& folderName) {
    if (folderName.isEmpty()) {
        clearMarks();
        return false;
    }
    TableFile& calls = m_catalogue.recordings();
    try {
        const QVariant folderId =
            m_catalogue.folders().lookup(QStringLiteral("FolderName"), folderName, QStringLiteral("FolderId"));
        if (folderId.isNull()) {
            // The tree and the folders table disagree: filing the rows under no folder would lose them.
            m_prompter.message(QStringLiteral("There is no list named \"%1\"").arg(folderName), Prompter::Icon::Error);
            return false;
        }
        int changed = 0;
        {
            SuspendedDisplay suspended(calls);
            forEachRow(markedIds, [&] {
                if (calls.fieldText(QStringLiteral("FolderID")) == folderId.toString())
                    return;
                calls.edit();
                calls.setFieldValue(QStringLiteral("FolderID"), folderId);
                calls.post();
                ++changed;
            });
        }
        clearMarks();
        if (changed == 0)
            return false;
        m_catalogue.reachedStep(QStringLiteral("move: rows changed"));
        calls.saveTable();
        m_catalogue.reachedStep(QStringLiteral("move: saved"));
        m_catalogue.reloadRecordings();
        return true;
    } catch (const std::exception& error) {
        return showError(error);
    }
}

bool RecordingOperations::copyToFolder(const QStringList& markedIds) {
    const QStringList filters = copyFormatFilters();
    QString chosenFilter;
    const QString folder = m_lastCopyFolder.isEmpty() ? QDir::homePath() : m_lastCopyFolder;
    std::optional<QString> chosen;
    if (!markedIds.isEmpty()) {
        chosen = m_prompter.chooseSaveFileWithType(QStringLiteral("Copy to folder"),
                                                   QDir(folder).filePath(QStringLiteral("Selected Files")), filters,
                                                   chosenFilter);
    } else {
        if (!m_catalogue.recordings().active() || m_catalogue.recordings().recordCount() == 0)
            return false;
        try {
            const QString name = QFileInfo(currentRecordingFile()).fileName();
            chosen = m_prompter.chooseSaveFileWithType(QStringLiteral("Copy to folder"), QDir(folder).filePath(name),
                                                       filters, chosenFilter);
        } catch (const std::exception& error) {
            return showError(error);
        }
    }
    if (!chosen || chosen->isEmpty())
        return false;
    // Only the folder counts: the copies keep their own names whatever name was typed.
    m_lastCopyFolder = QFileInfo(*chosen).absolutePath();
    return !copyRecordings(markedIds, m_lastCopyFolder, copyFormatFromChoice(chosenFilter, *chosen)).isEmpty();
}

QString RecordingOperations::writeCopy(const QString& source, const QString& target, CopyFormat format) {
    if (!m_copyWriter)
        return QStringLiteral("Cannot write %1: no encoder for %2")
            .arg(QDir::toNativeSeparators(target), copyFormatName(format));
    return m_copyWriter(source, target, format, currentRecordingTags(m_catalogue));
}

QStringList RecordingOperations::copyRecordings(const QStringList& markedIds, const QString& targetFolder,
                                                CopyFormat format) {
    QStringList written;
    QStringList failures;
    const QDir target(targetFolder);
    if (!QFileInfo(targetFolder).isDir()) {
        m_prompter.message(QStringLiteral("The folder %1 does not exist").arg(QDir::toNativeSeparators(targetFolder)),
                           Prompter::Icon::Error);
        return written;
    }
    try {
        forEachRow(markedIds, [&] {
            const QString source = currentRecordingFile();
            if (format != CopyFormat::Wav) {
                const QString copy = target.filePath(withCopyExtension(QFileInfo(source).fileName(), format));
                const QString why = writeCopy(source, copy, format);
                if (why.isEmpty())
                    written.append(copy);
                else
                    failures.append(why);
                return;
            }
            const QString copy = target.filePath(QFileInfo(source).fileName());
            const QString why = copyReplacing(source, copy);
            if (why.isEmpty())
                written.append(copy);
            else
                failures.append(QStringLiteral("Could not copy %1 to %2: %3")
                                    .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(copy), why));
        });
    } catch (const std::exception& error) {
        showError(error);
    }
    if (!markedIds.isEmpty())
        clearMarks();
    if (!failures.isEmpty())
        m_prompter.message(failures.join(QLatin1Char('\n')), Prompter::Icon::Error);
    return written;
}

bool RecordingOperations::editMemo() {
    TableFile& calls = m_catalogue.recordings();
    if (!calls.active() || calls.recordCount() == 0)
        return false;
    const std::optional<QString> answer =
        m_prompter.inputBox(QStringLiteral("Comment"), QString(), calls.fieldText(QStringLiteral("Comment")));
    // An empty answer (or none) leaves the memo as it is.
    if (!answer || answer->isEmpty())
        return false;
    return setMemo(*answer);
}

bool RecordingOperations::setMemo(const QString& text) {
    TableFile& calls = m_catalogue.recordings();
    if (!calls.active() || calls.recordCount() == 0)
        return false;
    try {
        calls.edit();
        calls.setFieldValue(QStringLiteral("Comment"), plainText(text).left(kMemoSize));
        calls.post();
        calls.saveTable();
        return true;
    } catch (const std::exception& error) {
        if (calls.state() != TableFile::State::Browse)
            calls.cancel();
        return showError(error);
    }
}

QString RecordingOperations::mailCopyPath(const QString& source, CopyFormat format) {
    const QDir home(m_catalogue.folder());
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo& old : home.entryInfoList({QStringLiteral("mail-*")}, QDir::Files))
        if (old.lastModified() < dayAgo)
            QFile::remove(old.absoluteFilePath());
    return home.absoluteFilePath(QStringLiteral("mail-") + withCopyExtension(QFileInfo(source).fileName(), format));
}

bool RecordingOperations::emailRecordings(const QStringList& markedIds) {
    MailMessage message;
    message.Body = mailBody(m_webAddress);
    QStringList failures;
    const CopyFormat format = m_attachFormat();
    try {
        forEachRow(markedIds, [&] {
            const QString file = currentRecordingFile();
            if (!QFileInfo(file).isFile())
                return;
            if (format == CopyFormat::Wav) {
                message.Attachments.append(QFileInfo(file).absoluteFilePath());
                return;
            }
            const QString copy = mailCopyPath(file, format);
            const QString why = writeCopy(file, copy, format);
            if (why.isEmpty())
                message.Attachments.append(copy);
            else
                failures.append(why);
        });
    } catch (const std::exception& error) {
        return showError(error);
    }
    if (!markedIds.isEmpty())
        clearMarks();
    if (!failures.isEmpty()) {
        m_prompter.message(failures.join(QLatin1Char('\n')), Prompter::Icon::Error);
        return false;
    }
    // Sent even without an attachment: the compose window opens with the body.
    if (!m_mail.send(message)) {
        m_prompter.message(QStringLiteral("Mail failed to be dispatched"), Prompter::Icon::Error);
        return false;
    }
    return true;
}
