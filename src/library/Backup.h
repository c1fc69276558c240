// orlamo-cli backup and restore: a working folder to an archive or a folder, and back.
#pragma once

#include <QString>

namespace Backup {

/// A destination or source ending in ".tar" (or an existing file) is an archive; anything else a folder.
bool isArchive(const QString& path);

/// Writes a consistent snapshot of `workDir` (CatalogueSnapshot) to `destination`. Throws BackupError.
void write(const QString& workDir, const QString& destination);

/// Puts the backup `source` back into `workDir`, which must be empty (a missing folder is created).
/// An archive is checked whole before the first file is written, so a damaged or hostile one leaves
/// the folder empty. The catalogue lock is held meanwhile. Throws BackupError.
void restore(const QString& source, const QString& workDir);

} // namespace Backup
