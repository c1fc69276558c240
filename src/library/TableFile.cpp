// Opening a table from its file or its field definitions, saving it, and following a master.
#include "library/TableFile.h"

#include "library/TableError.h"
#include "library/TableFolder.h"
#include "library/TableImage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// Copies `from` over `to` through a temporary file, so `to` is either the old or the new copy.
bool replaceCopy(const QString& from, const QString& to) {
    std::error_code ec;
    const auto temporary = fsPath(to + QStringLiteral(".tmp"));
    std::filesystem::copy_file(fsPath(from), temporary, std::filesystem::copy_options::overwrite_existing, ec);
    if (!ec)
        std::filesystem::rename(temporary, fsPath(to), ec);
    if (ec)
        std::filesystem::remove(temporary, ec);
    return !ec;
}

QStringList splitNames(const QString& names) {
    QStringList out;
    for (const QString& name : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out.append(name.trimmed());
    return out;
}

} // namespace

TableFile::TableFile(QObject* parent) : MemoryTable(parent) {}

void TableFile::setTableName(const QString& name) {
    if (name != m_tableName)
        close();
    m_tableName = name;
}

void TableFile::setLoadMode(TableLoadMode mode) {
    if (mode != m_loadMode)
        close();
    m_loadMode = mode;
}

QString TableFile::filePath() const {
    if (m_database && !m_tableName.contains(QLatin1Char('/')) && !m_tableName.contains(QLatin1Char('\\')))
        return m_database->folderPath() + m_tableName;
    return m_tableName;
}

QString TableFile::backupPath(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        return path + QStringLiteral(".~d");
    return path.left(path.size() - suffix.size()) + QStringLiteral("~d");
}

void TableFile::open() {
    if (active())
        return;
    QByteArray bytes;
    if (m_loadMode == TableLoadMode::lmClear) {
        if (m_fieldDefinitions.isEmpty())
            throw TableError(QStringLiteral("Error creating table (no field descriptions)"));
        const QByteArray description = TableImageFormat::description(m_fieldDefinitions);
        bytes = TableImageFormat::build(description, int(m_fieldDefinitions.size()), std::nullopt, {});
    } else if (m_loadMode == TableLoadMode::lmFile) {
        QFile file(filePath());
        if (!file.open(QIODevice::ReadOnly))
            throw TableError(QStringLiteral("Error opening file %1").arg(filePath()));
        bytes = file.readAll();
    } else {
        throw TableError(QStringLiteral("Error opening table: load mode not supported"));
    }
    TableImage image;
    try {
        image = TableImageFormat::parse(std::move(bytes));
    } catch (const TableError& error) {
        throw TableError(QStringLiteral("Error opening table: ") + error.message());
    }
    m_description = image.description;
    m_notes = image.notes;
    setContent(std::move(image.fields), std::move(image.records), std::move(image.source));
    if (m_master)
        applyRange();
}

void TableFile::close() {
    clearContent();
    m_description.clear();
    m_notes.reset();
}

void TableFile::saveTable() {
    checkActive();
    if (state() != State::Browse)
        post();
    if (modified() && m_loadMode == TableLoadMode::lmFile)
        saveToFile(filePath());
}

void TableFile::saveToFile(const QString& path) {
    checkActive();
    if (state() != State::Browse)
        post();
    // The backup is best effort: the table file itself is replaced atomically below, so a backup
    // that cannot be taken never costs the current state, while refusing the save would.
    if ((m_saveOptions & savAutoBackup) && QFile::exists(path))
        replaceCopy(path, backupPath(path));
    const QByteArray image = TableImageFormat::build(m_description, int(fields().size()), m_notes, liveRecords());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TableError(QStringLiteral("Cannot create file %1. %2").arg(path, file.errorString()));
    if (file.write(image) != image.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw TableError(QStringLiteral("Cannot write file %1. %2").arg(path, reason));
    }
#ifdef Q_OS_UNIX
    ::fsync(file.handle());
#endif
    if (!file.commit())
        throw TableError(QStringLiteral("Cannot write file %1. %2").arg(path, file.errorString()));
    Q_EMIT saved(path);
}

void TableFile::setMasterSource(TableFile* master) {
    if (m_masterConnection)
        disconnect(m_masterConnection);
    m_master = master;
    if (master)
        m_masterConnection = connect(master, &MemoryTable::currentChanged, this, &TableFile::applyRange);
    applyRange();
}

void TableFile::setMasterFields(const QString& names) {
    m_masterFields = splitNames(names);
    applyRange();
}

void TableFile::setRangeFieldNames(const QString& names) {
    m_rangeFields = splitNames(names);
    applyRange();
}

QList<int> TableFile::rangeIndices() const {
    QList<int> indices;
    for (const QString& name : m_rangeFields)
        indices.append(fieldIndex(name));
    return indices;
}

void TableFile::applyRange() {
    if (!active())
        return;
    const bool linked = m_master && !m_masterFields.isEmpty() && m_masterFields.size() == m_rangeFields.size();
    if (!linked) {
        if (m_filter) {
            m_filter = nullptr;
            rebuildView();
        }
        return;
    }
    QList<QVariant> values;
    for (const QString& name : m_masterFields)
        values.append(m_master->active() && m_master->fieldIndex(name) >= 0 ? m_master->fieldValue(name) : QVariant());
    const QList<int> indices = rangeIndices();
    // A table without the range field cannot be restricted: it shows all its records.
    if (indices.contains(-1)) {
        m_filter = nullptr;
        rebuildView();
        return;
    }
    m_filter = [this, values, indices](const QByteArray& record) {
        for (int i = 0; i < indices.size(); ++i)
            if (!valueEquals(record, indices.at(i), values.at(i)))
                return false;
        return true;
    };
    if (state() != State::Browse)
        cancel();
    rebuildView();
}

void TableFile::initNewRecord() {
    if (!m_filter || !m_master || !m_master->active())
        return;
    const QList<int> indices = rangeIndices();
    if (indices.contains(-1))
        return;
    for (int i = 0; i < indices.size(); ++i)
        setBufferValue(indices.at(i), m_master->fieldValue(m_masterFields.at(i)));
}
