// Bringing the mirror folder up to date.
#include "library/MirrorTarget.h"

#include "library/BackupError.h"
#include "library/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

void MirrorTarget::begin() {
    m_changes = 0;
    if (!QFileInfo(m_folder).isAbsolute())
        throw BackupError(QStringLiteral("The mirror folder %1 is not an absolute path").arg(m_folder));
    FileCopy::makeFolder(QDir(m_folder).filePath(QStringLiteral("wav")));
}

bool MirrorTarget::copyRecording(const QString& source, const SnapshotFile& file) {
    const QString target = QDir(m_folder).filePath(file.path);
    const QFileInfo there(target);
    if (there.exists() && there.size() == file.size && there.lastModified() == file.modified)
        return true;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly) || in.size() != file.size)
        return false;
    ++m_changes;
    return FileCopy::replace(target, in, file.size, file.modified) == file.size;
}

void MirrorTarget::writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) {
    const QString target = QDir(m_folder).filePath(file.path);
    QFile there(target);
    if (there.open(QIODevice::ReadOnly) && there.readAll() == bytes)
        return;
    there.close();
    ++m_changes;
    FileCopy::replace(target, bytes, file.modified);
}

void MirrorTarget::finish(const QList<SnapshotFile>& recordings) {
    QSet<QString> kept;
    for (const SnapshotFile& file : recordings)
        kept.insert(QFileInfo(file.path).fileName());
    QDir wav(QDir(m_folder).filePath(QStringLiteral("wav")));
    for (const QString& name : wav.entryList({QStringLiteral("*.wav")}, QDir::Files))
        if (!kept.contains(name) && wav.remove(name))
            ++m_changes;
}
