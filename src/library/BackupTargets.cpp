// Writing a snapshot as an archive or as a folder.
#include "library/BackupTargets.h"

#include "library/BackupError.h"
#include "library/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

/// The recording opened for reading, or false when it is gone or no longer of its listed size.
bool openAsListed(QFile& in, const SnapshotFile& file) {
    return in.open(QIODevice::ReadOnly) && in.size() == file.size;
}

} // namespace

void ArchiveBackupTarget::begin() {
    m_tar.reset();
    m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly))
        throw BackupError(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), m_file->errorString()));
    m_tar = std::make_unique<TarWriter>(*m_file);
    m_tar->addFolder(QStringLiteral("wav"));
}

bool ArchiveBackupTarget::copyRecording(const QString& source, const SnapshotFile& file) {
    QFile in(source);
    if (!openAsListed(in, file))
        return false;
    m_tar->addFile(file.path, in, file.size, file.modified);
    return true;
}

void ArchiveBackupTarget::writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) {
    m_tar->addFile(file.path, bytes, file.modified);
}

void ArchiveBackupTarget::finish(const QList<SnapshotFile>&) {
    m_tar->finish();
    if (!m_file->commit())
        throw BackupError(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), m_file->errorString()));
}

FolderBackupTarget::FolderBackupTarget(QString path)
    : m_path(QDir(path).absolutePath()), m_staging(m_path + QStringLiteral(".partial")) {
    const QFileInfo info(m_path);
    if (info.exists() &&
        (!info.isDir() || !QDir(m_path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)))
        throw BackupError(QStringLiteral("The backup folder %1 is not empty").arg(QDir::toNativeSeparators(m_path)));
}

void FolderBackupTarget::begin() {
    // What an earlier, interrupted attempt left there.
    if (QFileInfo::exists(m_staging) && !QDir(m_staging).removeRecursively())
        throw BackupError(QStringLiteral("Cannot remove %1").arg(QDir::toNativeSeparators(m_staging)));
    FileCopy::makeFolder(m_staging + QStringLiteral("/wav"));
}

bool FolderBackupTarget::copyRecording(const QString& source, const SnapshotFile& file) {
    QFile in(source);
    if (!openAsListed(in, file))
        return false;
    return FileCopy::write(QDir(m_staging).filePath(file.path), in, file.size, file.modified) == file.size;
}

void FolderBackupTarget::writeCatalogueFile(const SnapshotFile& file, const QByteArray& bytes) {
    FileCopy::write(QDir(m_staging).filePath(file.path), bytes, file.modified);
}

void FolderBackupTarget::finish(const QList<SnapshotFile>&) {
    QDir().rmdir(m_path);
    if (!QDir().rename(m_staging, m_path))
        throw BackupError(QStringLiteral("Cannot rename %1 to %2")
                              .arg(QDir::toNativeSeparators(m_staging), QDir::toNativeSeparators(m_path)));
}
