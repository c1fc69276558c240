// Listing and exporting the catalogue without opening it for writing.
#include "library/CatalogueListing.h"

#include "library/FolderTree.h"
#include "library/RecordingFileName.h"
#include "library/TableError.h"
#include "library/TableFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <optional>

namespace {

// Opens a table read-only; a damaged file is read from its backup.
bool openReadOnly(TableFile& table, const QString& path, QStringList* warnings, bool required) {
    table.setTableName(path);
    if (!QFile::exists(path)) {
        if (required)
            throw TableError(QStringLiteral("Error opening file %1").arg(path));
        return false;
    }
    try {
        table.open();
        return true;
    } catch (const TableError& error) {
        const QString backup = TableFile::backupPath(path);
        if (warnings)
            warnings->append(error.message() + QStringLiteral("; reading ") + backup + QStringLiteral(" instead"));
        table.setTableName(backup);
        try {
            table.open();
            return true;
        } catch (const TableError&) {
            if (required)
                throw;
            return false;
        }
    }
}

// Text from the tables is shown on one line of a terminal: control characters become blanks.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

} // namespace

QString CatalogueListing::csvField(QString text, bool untrusted) {
    if (untrusted && !text.isEmpty() && QStringLiteral("=+-@").contains(text.at(0)))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n')) ||
        text.contains(QLatin1Char('\r')) || text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' ')))
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return text;
}

std::vector<CatalogueListRow> CatalogueListing::read(const QString& folder, const CatalogueDateFormat& formats,
                                                     const QString& onlyFolder, QStringList* warnings) {
    const QDir dir(folder);
    TableFile folders;
    QHash<QString, QString> names; // FolderId -> FolderName
    if (openReadOnly(folders, dir.filePath(QStringLiteral("Folders.d")), warnings, false)) {
        for (folders.first(); !folders.eof(); folders.next())
            names.insert(folders.fieldText(QStringLiteral("FolderId")),
                         folders.fieldText(QStringLiteral("FolderName")));
    }
    if (!onlyFolder.isEmpty() && !names.values().contains(onlyFolder))
        throw TableError(QStringLiteral("There is no list named \"%1\"").arg(onlyFolder));

    TableFile calls;
    openReadOnly(calls, dir.filePath(QStringLiteral("Recordings.d")), warnings, true);
    const RecordingFileName files(folder, formats);
    std::vector<CatalogueListRow> rows;
    rows.reserve(size_t(calls.recordCount()));
    for (calls.first(); !calls.eof() && calls.recordCount() > 0; calls.next()) {
        CatalogueListRow row;
        row.folder = names.value(calls.fieldText(QStringLiteral("FolderID")));
        if (!onlyFolder.isEmpty() && row.folder != onlyFolder)
            continue;
        const QString dateText = calls.fieldText(QStringLiteral("DateS"));
        const QString timeText = calls.fieldText(QStringLiteral("TimeS"));
        const QString id = calls.fieldText(QStringLiteral("id"));
        row.id = id;
        row.duration = calls.fieldText(QStringLiteral("Duration"));
        row.memo = calls.fieldText(QStringLiteral("Comment"));
        row.date = dateText;
        row.time = timeText;
        try {
            const int channel = calls.fieldValue(QStringLiteral("Channel")).toInt();
            QDate date = formats.parseDate(dateText);
            QTime time = formats.parseTime(timeText);
            const QString existing = files.existingFile(channel, dateText, timeText, id);
            // A row with several readings is shown with the one its file has.
            if (const std::optional<RecordingFileName::Parts> parts = RecordingFileName::parse(existing)) {
                date = parts->date;
                time = parts->time;
            }
            row.date = date.toString(Qt::ISODate);
            row.time = time.toString(QStringLiteral("HH:mm:ss"));
            row.exists = !existing.isEmpty();
            row.wavPath = QStringLiteral("wav/") +
                          (row.exists ? existing : RecordingFileName::plain(channel, date, time)) +
                          QStringLiteral(".wav");
        } catch (const TableError& error) {
            if (warnings)
                warnings->append(error.message());
        }
        rows.push_back(row);
    }
    return rows;
}

QStringList CatalogueListing::treeLines(const QString& folder, QStringList* warnings) {
    const QDir dir(folder);
    FolderTree tree;
    if (QFile::exists(dir.filePath(QStringLiteral("tree.d")))) {
        const QString error = tree.loadFromFile(dir.filePath(QStringLiteral("tree.d")));
        if (!error.isEmpty() && warnings)
            warnings->append(error);
    }
    TableFile folders;
    if (openReadOnly(folders, dir.filePath(QStringLiteral("Folders.d")), warnings, false))
        for (const QVariant& name : folders.viewValues(QStringLiteral("FolderName")))
            if (!tree.find(name.toString()))
                tree.addTopLevel(name.toString());
    QStringList lines;
    for (const FolderNode* node : tree.nodes())
        lines.append(QString(2 * node->level(), QLatin1Char(' ')) + oneLine(node->text));
    return lines;
}

QString CatalogueListing::toCsv(const std::vector<CatalogueListRow>& rows) {
    QString out = QStringLiteral("id,folder,date,time,duration,memo,wav,exists\r\n");
    for (const CatalogueListRow& row : rows) {
        out += csvField(row.id, true) + QLatin1Char(',') + csvField(row.folder, true) + QLatin1Char(',') +
               csvField(row.date, true) + QLatin1Char(',') + csvField(row.time, true) + QLatin1Char(',') +
               csvField(row.duration, true) + QLatin1Char(',') + csvField(row.memo, true) + QLatin1Char(',') +
               csvField(row.wavPath, false) + QLatin1Char(',') +
               (row.exists ? QStringLiteral("yes") : QStringLiteral("no")) + QStringLiteral("\r\n");
    }
    return out;
}

QString CatalogueListing::toText(const std::vector<CatalogueListRow>& rows) {
    const QStringList header{QStringLiteral("Id"),       QStringLiteral("Folder"),   QStringLiteral("Date"),
                             QStringLiteral("Time"),     QStringLiteral("Duration"), QStringLiteral("Memo"),
                             QStringLiteral("WAV file"), QStringLiteral("Exists")};
    std::vector<QStringList> lines{header};
    for (const CatalogueListRow& row : rows) {
        lines.push_back({oneLine(row.id), oneLine(row.folder), row.date, row.time, oneLine(row.duration),
                         oneLine(row.memo), row.wavPath, row.exists ? QStringLiteral("yes") : QStringLiteral("no")});
    }
    return alignedColumns(lines);
}

QString CatalogueListing::alignedColumns(const std::vector<QStringList>& lines) {
    QList<qsizetype> widths(lines.empty() ? 0 : lines.front().size(), 0);
    for (const QStringList& line : lines)
        for (qsizetype i = 0; i < line.size() && i < widths.size(); ++i)
            widths[i] = qMax(widths[i], line.at(i).size());
    QString out;
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype i = 0; i < line.size(); ++i)
            text += i + 1 < line.size() && i < widths.size() ? line.at(i).leftJustified(widths[i] + 2) : line.at(i);
        out += text + QLatin1Char('\n');
    }
    return out;
}
