// Whole-file copies that a crash or an unplugged disk never leaves half-written under the final name.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

namespace FileCopy {

/// Writes `data` (up to `size` bytes, -1 for all) to a temporary file beside `target`, gives it the
/// time `modified` and renames it to `target`. Returns the bytes written; throws BackupError when the
/// destination refuses.
qint64 replace(const QString& target, QIODevice& data, qint64 size, const QDateTime& modified);
void replace(const QString& target, const QByteArray& bytes, const QDateTime& modified);

/// The same straight into `target`, without the temporary file and without waiting for the disk: for
/// a folder that becomes usable only as a whole (a backup's, renamed at the end; a restore's).
qint64 write(const QString& target, QIODevice& data, qint64 size, const QDateTime& modified);
void write(const QString& target, const QByteArray& bytes, const QDateTime& modified);

/// Creates `folder` (and its parents); throws BackupError when it cannot.
void makeFolder(const QString& folder);

} // namespace FileCopy
