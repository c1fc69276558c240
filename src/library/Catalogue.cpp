// Opening and creating the catalogue, adding recordings, and the names of their WAV files.
#include "library/Catalogue.h"

#include "base/Prompter.h"
#include "library/CatalogueLock.h"
#include "library/TableError.h"
#include "library/UniqueId.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <utility>

namespace {

const QString kRecordings = QStringLiteral("Recordings.d");
const QString kFolders = QStringLiteral("Folders.d");
const QString kTree = QStringLiteral("tree.d");
const QString kGeneral = QStringLiteral("General");

// A caller identification is shown on one line of the list: control characters become blanks.
QString plainText(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

// Keeps a damaged file for the user instead of overwriting it: <path>.damaged, -2, -3 ...
void keepDamaged(const QString& path) {
    QString target = path + QStringLiteral(".damaged");
    for (int n = 2; QFile::exists(target); ++n)
        target = path + QStringLiteral(".damaged-%1").arg(n);
    QFile::copy(path, target);
}

} // namespace

Catalogue::Catalogue(const QString& folder, Prompter& prompter, const CatalogueDateFormat& formats, QObject* parent)
    : QObject(parent), m_folder(folder), m_prompter(prompter), m_formats(formats) {
    m_database.setDatabasePath(folder);
    for (TableFile* table : {&m_folders, &m_calls}) {
        table->setDatabase(&m_database);
        table->setSaveOptions(savAutoBackup);
    }
    m_calls.setTableName(kRecordings);
    m_folders.setTableName(kFolders);
    m_calls.setMasterSource(&m_folders);
    m_calls.setMasterFields(QStringLiteral("FolderID"));
    m_calls.setRangeFieldNames(QStringLiteral("FolderId"));
    m_calls.setBeforeDelete([this] { recordingAboutToBeDeleted(); });
    m_calls.setAfterDelete([this] { recordingDeleted(); });
    connect(&m_calls, &TableFile::saved, this, &Catalogue::removeDeletedFiles);
}

Catalogue::~Catalogue() {
    close();
}

QString Catalogue::path(const QString& name) const {
    return QDir(m_folder).filePath(name);
}

QString Catalogue::wavPath(const QString& baseName) const {
    return m_names.wavPath(baseName);
}

void Catalogue::openTable(TableFile& table, const QString& name, const std::function<void()>& create) {
    table.close();
    table.setLoadMode(TableLoadMode::lmFile);
    const QString file = path(name);
    if (!QFile::exists(file)) {
        create();
        return;
    }
    try {
        table.open();
        return;
    } catch (const TableError&) {
    }
    m_prompter.message(QStringLiteral("Can not open ") + name + QStringLiteral(" file. Restoring backup"),
                       Prompter::Icon::Warning);
    keepDamaged(file);
    const QString backup = TableFile::backupPath(file);
    if (QFile::exists(backup)) {
        QFile::remove(file + QStringLiteral(".restore"));
        if (QFile::copy(backup, file + QStringLiteral(".restore"))) {
            QFile::remove(file);
            QFile::rename(file + QStringLiteral(".restore"), file);
            try {
                table.open();
                return;
            } catch (const TableError&) {
                keepDamaged(backup);
            }
        }
    }
    m_prompter.message(QStringLiteral("The backup of ") + name +
                           QStringLiteral(" is missing or damaged too. The damaged file is kept as ") + name +
                           QStringLiteral(".damaged and an empty ") + name + QStringLiteral(" is created."),
                       Prompter::Icon::Error);
    QFile::remove(file);
    create();
}

void Catalogue::createRecordings() {
    m_calls.setLoadMode(TableLoadMode::lmClear);
    m_calls.fieldDefinitions() = {
        {QStringLiteral("id"), FieldKind::Text, 10},       {QStringLiteral("Channel"), FieldKind::Integer, 0},
        {QStringLiteral("FolderId"), FieldKind::Text, 20}, {QStringLiteral("DateS"), FieldKind::Text, 12},
        {QStringLiteral("TimeS"), FieldKind::Text, 12},    {QStringLiteral("Duration"), FieldKind::Text, 10},
        {QStringLiteral("Comment"), FieldKind::Text, 255}};
    m_calls.open();
    m_calls.saveToFile(path(kRecordings));
    m_calls.setLoadMode(TableLoadMode::lmFile);
    m_calls.open();
}

void Catalogue::createFolders() {
    m_folders.setLoadMode(TableLoadMode::lmClear);
    m_folders.fieldDefinitions() = {{QStringLiteral("FolderId"), FieldKind::Text, 20},
                                    {QStringLiteral("FolderName"), FieldKind::Text, 100}};
    m_folders.open();
    m_tree.clear();
    m_folders.append();
    m_folders.setFieldValue(QStringLiteral("FolderId"), makeUniqueId());
    m_folders.setFieldValue(QStringLiteral("FolderName"), kGeneral);
    m_folders.post();
    m_tree.addTopLevel(kGeneral);
    m_folders.saveToFile(path(kFolders));
    m_folders.setLoadMode(TableLoadMode::lmFile);
    m_folders.open();
}

void Catalogue::openCatalogue(CatalogueLock& lock, int waitMs) {
    if (!lock.tryLock(waitMs) && lock.heldByAnother())
        throw TableError(lock.refusal());
    openCatalogue();
}

void Catalogue::openCatalogue() {
    openTable(m_calls, kRecordings, [this] { createRecordings(); });
    m_calls.first();
    openTable(m_folders, kFolders, [this] { createFolders(); });
    loadTree();
}

void Catalogue::loadTree() {
    if (QFile::exists(path(kTree))) {
        const QString error = m_tree.loadFromFile(path(kTree));
        if (!error.isEmpty())
            m_prompter.message(error, Prompter::Icon::Error);
    }
    // Folders without a node (tree.d older than Folders.d after an abnormal end, or a bad line in
    // it) would be out of reach: they get a top-level node.
    for (const QVariant& name : m_folders.viewValues(QStringLiteral("FolderName")))
        if (!m_tree.find(name.toString()))
            m_tree.addTopLevel(name.toString());
    m_tree.expandAll();
    if (!m_tree.isEmpty())
        selectNode(m_tree.topLevel().front().get());
}

void Catalogue::close() {
    try {
        m_calls.close();
        m_folders.close();
    } catch (...) {
    }
}

bool Catalogue::saveTree() const {
    return m_tree.saveToFile(path(kTree));
}

void Catalogue::selectNode(FolderNode* node) {
    m_tree.setSelected(node);
    if (node && m_folders.active())
        m_folders.locate(QStringLiteral("FolderName"), node->text);
}

qint64 Catalogue::durationSeconds(qint64 bytes, qint64 bytesPerSecond) {
    if (bytes <= 0 || bytesPerSecond <= 0)
        return 0;
    const qint64 whole = bytes / bytesPerSecond;
    const qint64 rest = bytes % bytesPerSecond;
    if (2 * rest > bytesPerSecond || (2 * rest == bytesPerSecond && whole % 2 == 1))
        return whole + 1;
    return whole;
}

bool Catalogue::setCurrentDuration(const QString& baseName, qint64 audioBytes, qint64 bytesPerSecond) {
    if (!m_calls.active() || m_calls.recordCount() == 0 || recordingBaseName() != baseName)
        return false;
    const QString duration = durationText(durationSeconds(audioBytes, bytesPerSecond));
    if (m_calls.fieldText(QStringLiteral("Duration")) == duration)
        return true;
    m_calls.edit();
    m_calls.setFieldValue(QStringLiteral("Duration"), duration);
    m_calls.post();
    m_calls.saveTable();
    return true;
}

QString Catalogue::durationText(qint64 seconds) {
    const qint64 minutes = seconds / 60;
    const qint64 rest = seconds % 60;
    QString text =
        QString::number(minutes) + (rest < 10 ? QStringLiteral(":0") : QStringLiteral(":")) + QString::number(rest);
    if (minutes < 10)
        text.prepend(QLatin1Char('0'));
    return text;
}

QString Catalogue::newId(const TableFile& table, const QString& field) {
    // Identifiers made in a burst can repeat (the counter and the clock parts overlap); a key must not.
    QString id = makeUniqueId();
    while (!table.lookup(field, id, field).isNull())
        id = makeUniqueId();
    return id;
}

QString Catalogue::addRecordingEntry(const RecordingEntry& entry) {
    const QString folderId = m_folders.active() ? m_folders.fieldText(QStringLiteral("FolderId")) : QString();
    const QString id = newId(m_calls, QStringLiteral("id"));
    const QString memo =
        entry.callerIdEnabled && !entry.callerId.isEmpty() ? plainText(entry.callerId) : QStringLiteral(" ");
    m_calls.append();
    m_calls.setFieldValue(QStringLiteral("id"), id);
    m_calls.setFieldValue(QStringLiteral("Channel"), 1);
    const QString dateText = m_formats.dateText(entry.endTime.date());
    const QString timeText = m_formats.timeText(entry.endTime.time());
    m_calls.setFieldValue(QStringLiteral("DateS"), dateText);
    m_calls.setFieldValue(QStringLiteral("TimeS"), timeText);
    m_calls.setFieldValue(QStringLiteral("FolderId"), folderId);
    m_calls.setFieldValue(QStringLiteral("Duration"),
                          durationText(durationSeconds(entry.audioBytes, entry.avgBytesPerSec)));
    m_calls.setFieldValue(QStringLiteral("Comment"), memo);
    m_calls.post();
    m_calls.saveTable();
    m_lastAddedId = id;
    // Named by what the row will read back as, so the row finds its file again.
    QString name = RecordingFileName::plain(1, m_formats.parseDate(dateText), m_formats.parseTime(timeText));
    if (QFile::exists(wavPath(name)))
        name += QLatin1Char('_') + id;
    m_currentFileName = name;
    return name;
}

QString Catalogue::rowAwaitingFile(const RecordingEntry& entry) {
    if (!m_calls.active())
        return QString();
    const QString date = m_formats.dateText(entry.endTime.date());
    const QString time = m_formats.timeText(entry.endTime.time());
    const QString duration = durationText(durationSeconds(entry.audioBytes, entry.avgBytesPerSec));
    const QList<QVariant> dates = m_calls.viewValues(QStringLiteral("DateS"));
    const QList<QVariant> times = m_calls.viewValues(QStringLiteral("TimeS"));
    const QList<QVariant> durations = m_calls.viewValues(QStringLiteral("Duration"));
    const QList<QVariant> channels = m_calls.viewValues(QStringLiteral("Channel"));
    const int current = m_calls.recNo();
    QString found;
    // The newest first: the interrupted save was the last one.
    for (qsizetype row = dates.size() - 1; row >= 0 && found.isEmpty(); --row) {
        if (dates[row].toString() != date || times[row].toString() != time || durations[row].toString() != duration ||
            channels[row].toInt() != 1)
            continue;
        m_calls.setRecNo(int(row) + 1);
        if (!QFile::exists(wavPath(recordingBaseName())))
            found = recordingBaseName();
    }
    if (current > 0)
        m_calls.setRecNo(current);
    return found;
}

QString Catalogue::recordingBaseName() const {
    return m_names.baseName(m_calls.fieldValue(QStringLiteral("Channel")).toInt(),
                            m_calls.fieldText(QStringLiteral("DateS")), m_calls.fieldText(QStringLiteral("TimeS")),
                            m_calls.fieldText(QStringLiteral("id")));
}

void Catalogue::migrateLegacyFile() {
    const QString id = m_calls.fieldText(QStringLiteral("id"));
    if (!RecordingFileName::isPlainId(id) || !QFile::exists(wavPath(id)))
        return;
    QString target = recordingBaseName();
    if (QFile::exists(wavPath(target)))
        target += QLatin1Char('_') + id; // the name belongs to another recording of the same second
    QFile::rename(wavPath(id), wavPath(target));
}

// A row and its file go together: the file goes only after a save has taken the row off the disk,
// so an interruption leaves at worst a file without a row (listed at the next start), never a row
// without its file.
void Catalogue::recordingAboutToBeDeleted() {
    m_currentFileName = recordingBaseName();
    migrateLegacyFile();
    m_currentFileName = recordingBaseName();
    m_deletedFiles.append(wavPath(m_currentFileName));
}

void Catalogue::recordingDeleted() {
    if (m_bulkDelete)
        return;
    reachedStep(QStringLiteral("delete: row removed"));
    m_calls.saveTable();
}

void Catalogue::removeDeletedFiles() {
    if (m_deletedFiles.isEmpty())
        return;
    reachedStep(QStringLiteral("delete: saved"));
    const QStringList files = std::exchange(m_deletedFiles, {});
    for (const QString& file : files) {
        if (QFile::exists(file))
            QFile::remove(file);
        reachedStep(QStringLiteral("delete: file removed"));
    }
}

bool Catalogue::locateRecording(const QString& id, bool anyList) {
    if (!m_calls.active())
        return false;
    if (!anyList)
        return m_calls.locate(QStringLiteral("id"), id);
    if (m_calls.lookupAll(QStringLiteral("id"), id, QStringLiteral("id")).isNull() || !m_folders.active())
        return false;
    const QString folderId = m_calls.lookupAll(QStringLiteral("id"), id, QStringLiteral("FolderId")).toString();
    if (m_folders.recordCount() == 0 || m_folders.fieldText(QStringLiteral("FolderId")) != folderId) {
        // A row filed in a folder that has no row of its own cannot be reached.
        if (folderId.isEmpty() || !m_folders.locate(QStringLiteral("FolderId"), folderId))
            return false;
    }
    return m_calls.locate(QStringLiteral("id"), id);
}

void Catalogue::reloadRecordings() {
    m_calls.close();
    m_calls.open();
}

QStringList Catalogue::filesWithoutRow() const {
    const QDir wav(QDir(m_folder).filePath(QStringLiteral("wav")));
    QStringList candidates;
    for (const QFileInfo& file : wav.entryInfoList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name))
        if (file.fileName() != QLatin1String("Recorded.wav"))
            candidates.append(file.completeBaseName());
    if (candidates.isEmpty() || !m_calls.active())
        return {};
    const QList<QVariant> ids = m_calls.allValues(QStringLiteral("id"));
    const QList<QVariant> channels = m_calls.allValues(QStringLiteral("Channel"));
    const QList<QVariant> dates = m_calls.allValues(QStringLiteral("DateS"));
    const QList<QVariant> times = m_calls.allValues(QStringLiteral("TimeS"));

    // First without reading any date: a file named after an id, or after the texts this system
    // writes. Reading every row's date and time back is slow on a large catalogue, so it is done
    // only for the files that are left.
    QSet<QString> idSet;
    QSet<QString> texts;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        idSet.insert(ids.at(i).toString());
        texts.insert(channels.at(i).toString() + QLatin1Char('\n') + dates.at(i).toString() + QLatin1Char('\n') +
                     times.at(i).toString());
    }
    QStringList left;
    for (const QString& base : std::as_const(candidates)) {
        if (idSet.contains(base))
            continue;
        if (const std::optional<RecordingFileName::Parts> parts = RecordingFileName::parse(base)) {
            // A name with an id belongs to the recording of that id only.
            if (!parts->id.isEmpty()) {
                if (!idSet.contains(parts->id))
                    left.append(base);
                continue;
            }
            if (texts.contains(QString::number(parts->channel) + QLatin1Char('\n') + m_formats.dateText(parts->date) +
                               QLatin1Char('\n') + m_formats.timeText(parts->time)))
                continue;
        }
        left.append(base);
    }
    if (left.isEmpty())
        return {};

    // Every reading of every row: a row written under other date formats keeps its file. Each distinct
    // text is read once.
    QSet<QString> baseNames;
    QHash<QString, QList<QDate>> dateReadings;
    QHash<QString, QList<QTime>> timeReadings;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const QString dateText = dates.at(i).toString();
        const QString timeText = times.at(i).toString();
        if (!dateReadings.contains(dateText))
            dateReadings.insert(dateText, m_formats.dateReadings(dateText));
        if (!timeReadings.contains(timeText))
            timeReadings.insert(timeText, m_formats.timeReadings(timeText));
        for (const QDate date : dateReadings.value(dateText))
            for (const QTime time : timeReadings.value(timeText))
                baseNames.insert(RecordingFileName::plain(channels.at(i).toInt(), date, time));
    }
    QStringList out;
    for (const QString& base : std::as_const(left))
        if (!baseNames.contains(base))
            out.append(QStringLiteral("wav/") + base + QStringLiteral(".wav"));
    return out;
}

int Catalogue::deleteRecordingsOfFolder(const QString& folderId) {
    int deleted = 0;
    m_bulkDelete = true;
    m_calls.disableControls();
    try {
        m_calls.first();
        while (!m_calls.eof() && m_calls.recordCount() > 0) {
            if (m_calls.fieldText(QStringLiteral("FolderID")) == folderId) {
                // The next row becomes current; after the last one, the previous (already passed) one.
                m_calls.deleteRecord();
                ++deleted;
            } else {
                m_calls.next();
            }
        }
    } catch (...) {
        m_bulkDelete = false;
        m_calls.enableControls();
        if (deleted > 0)
            m_calls.saveTable();
        throw;
    }
    m_bulkDelete = false;
    m_calls.enableControls();
    if (deleted > 0)
        reachedStep(QStringLiteral("delete: row removed"));
    m_calls.saveTable();
    return deleted;
}
