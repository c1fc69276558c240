// Opening a table from its file or its field definitions, saving it, and following a master.
#include "library/TVolgaTable.h"

#include "library/TVolgaDatabase.h"
#include "library/VolgaError.h"
#include "library/VolgaImage.h"

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

TVolgaTable::TVolgaTable(QObject* parent) : TVolgaDataset(parent) {}

void TVolgaTable::setTableName(const QString& name) {
    if (name != m_tableName)
        close();
    m_tableName = name;
}

void TVolgaTable::setLoadMode(TVolgaLoadMode mode) {
    if (mode != m_loadMode)
        close();
    m_loadMode = mode;
}

QString TVolgaTable::filePath() const {
    if (m_database && !m_tableName.contains(QLatin1Char('/')) && !m_tableName.contains(QLatin1Char('\\')))
        return m_database->DatabasePath() + m_tableName;
    return m_tableName;
}

QString TVolgaTable::backupPath(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        return path + QStringLiteral(".~d");
    return path.left(path.size() - suffix.size()) + QStringLiteral("~d");
}

void TVolgaTable::open() {
    if (active())
        return;
    QByteArray bytes;
    if (m_loadMode == TVolgaLoadMode::lmClear) {
        if (m_fieldDefs.isEmpty())
            throw VolgaError(QStringLiteral("Error creating table (no field descriptions)"));
        const QByteArray description = VolgaImageFormat::description(m_fieldDefs);
        bytes = VolgaImageFormat::build(description, int(m_fieldDefs.size()), std::nullopt, {});
    } else if (m_loadMode == TVolgaLoadMode::lmFile) {
        QFile file(filePath());
        if (!file.open(QIODevice::ReadOnly))
            throw VolgaError(QStringLiteral("Error opening file %1").arg(filePath()));
        bytes = file.readAll();
    } else {
        throw VolgaError(QStringLiteral("Error opening table: load mode not supported"));
    }
    VolgaImage image;
    try {
        image = VolgaImageFormat::parse(std::move(bytes));
    } catch (const VolgaError& error) {
        throw VolgaError(QStringLiteral("Error opening table: ") + error.message());
    }
    m_description = image.description;
    m_notes = image.notes;
    setContent(std::move(image.fields), std::move(image.records), std::move(image.source));
    if (m_master)
        applyRange();
}

void TVolgaTable::close() {
    clearContent();
    m_description.clear();
    m_notes.reset();
}

void TVolgaTable::SaveTable() {
    checkActive();
    if (state() != State::Browse)
        post();
    if (modified() && m_loadMode == TVolgaLoadMode::lmFile)
        SaveToFile(filePath());
}

void TVolgaTable::SaveToFile(const QString& path) {
    checkActive();
    if (state() != State::Browse)
        post();
    // The backup is best effort: the table file itself is replaced atomically below, so a backup
    // that cannot be taken never costs the current state, while refusing the save would.
    if ((m_saveOptions & savAutoBackup) && QFile::exists(path))
        replaceCopy(path, backupPath(path));
    const QByteArray image = VolgaImageFormat::build(m_description, int(fields().size()), m_notes, liveRecords());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw VolgaError(QStringLiteral("Cannot create file %1. %2").arg(path, file.errorString()));
    if (file.write(image) != image.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw VolgaError(QStringLiteral("Cannot write file %1. %2").arg(path, reason));
    }
#ifdef Q_OS_UNIX
    ::fsync(file.handle());
#endif
    if (!file.commit())
        throw VolgaError(QStringLiteral("Cannot write file %1. %2").arg(path, file.errorString()));
}

void TVolgaTable::setMasterSource(TVolgaTable* master) {
    if (m_masterConnection)
        disconnect(m_masterConnection);
    m_master = master;
    if (master)
        m_masterConnection = connect(master, &TVolgaDataset::currentChanged, this, &TVolgaTable::applyRange);
    applyRange();
}

void TVolgaTable::setMasterFields(const QString& names) {
    m_masterFields = splitNames(names);
    applyRange();
}

void TVolgaTable::setRangeFieldNames(const QString& names) {
    m_rangeFields = splitNames(names);
    applyRange();
}

QList<int> TVolgaTable::rangeIndices() const {
    QList<int> indices;
    for (const QString& name : m_rangeFields)
        indices.append(fieldIndex(name));
    return indices;
}

void TVolgaTable::applyRange() {
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

void TVolgaTable::initNewRecord() {
    if (!m_filter || !m_master || !m_master->active())
        return;
    const QList<int> indices = rangeIndices();
    if (indices.contains(-1))
        return;
    for (int i = 0; i < indices.size(); ++i)
        setBufferValue(indices.at(i), m_master->fieldValue(m_masterFields.at(i)));
}
