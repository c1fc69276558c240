// Backup and restore of a working folder.
#include "library/Backup.h"

#include "library/BackupError.h"
#include "library/BackupTargets.h"
#include "library/CatalogueLock.h"
#include "library/CatalogueSnapshot.h"
#include "library/FileCopy.h"
#include "library/TarReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace Backup {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool skipped(const QString& relativePath) {
    return relativePath == QLatin1String(CatalogueLock::kFileName);
}

void restoreArchive(const QString& source, const QDir& target) {
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        throw BackupError(QStringLiteral("Cannot read %1: %2").arg(native(source), file.errorString()));
    {
        TarReader check(file);
        while (check.next()) {
        }
    }
    file.seek(0);
    TarReader tar(file);
    while (const std::optional<TarEntry> entry = tar.next()) {
        if (skipped(entry->path))
            continue;
        const QString path = target.filePath(entry->path);
        if (entry->folder) {
            FileCopy::makeFolder(path);
            continue;
        }
        FileCopy::makeFolder(QFileInfo(path).path());
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw BackupError(QStringLiteral("Cannot write %1: %2").arg(native(path), out.errorString()));
        tar.readData(out);
        if (!out.flush())
            throw BackupError(QStringLiteral("Cannot write %1: %2").arg(native(path), out.errorString()));
        out.setFileTime(entry->modified, QFileDevice::FileModificationTime);
    }
}

void restoreFolder(const QString& source, const QDir& target) {
    const QDir from(source);
    if (!from.exists())
        throw BackupError(QStringLiteral("There is no backup at %1").arg(native(source)));
    QDirIterator files(source, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString relative = from.relativeFilePath(path);
        if (skipped(relative))
            continue;
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            throw BackupError(QStringLiteral("Cannot read %1: %2").arg(native(path), in.errorString()));
        const QString to = target.filePath(relative);
        FileCopy::makeFolder(QFileInfo(to).path());
        FileCopy::write(to, in, -1, QFileInfo(path).lastModified());
    }
    FileCopy::makeFolder(target.filePath(QStringLiteral("wav")));
}

} // namespace

bool isArchive(const QString& path) {
    return path.endsWith(QLatin1String(".tar"), Qt::CaseInsensitive) || QFileInfo(path).isFile();
}

void write(const QString& workDir, const QString& destination) {
    const CatalogueSnapshot snapshot(workDir);
    if (isArchive(destination)) {
        ArchiveBackupTarget target(destination);
        snapshot.writeTo(target);
    } else {
        FolderBackupTarget target(destination);
        snapshot.writeTo(target);
    }
}

void restore(const QString& source, const QString& workDir) {
    FileCopy::makeFolder(workDir);
    const QDir target(workDir);
    if (!target.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        throw BackupError(QStringLiteral("The working folder %1 is not empty").arg(native(workDir)));
    CatalogueLock lock(workDir);
    if (!lock.tryLock())
        throw BackupError(lock.refusal());
    if (isArchive(source))
        restoreArchive(source, target);
    else
        restoreFolder(source, target);
}

} // namespace Backup
