// Copies through a temporary file and a rename.
#include "library/FileCopy.h"

#include "library/BackupError.h"

#include <QBuffer>
#include <QDir>
#include <QFileDevice>
#include <QSaveFile>
#include <array>

namespace FileCopy {

namespace {

BackupError refused(const QString& path, const QString& why) {
    return BackupError(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), why));
}

} // namespace

qint64 replace(const QString& target, QIODevice& data, qint64 size, const QDateTime& modified) {
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw refused(target, out.errorString());
    std::array<char, 1 << 16> buffer{};
    qint64 written = 0;
    while (size < 0 || written < size) {
        const qint64 want = size < 0 ? qint64(buffer.size()) : qMin<qint64>(size - written, buffer.size());
        const qint64 got = data.read(buffer.data(), want);
        if (got <= 0)
            break;
        if (out.write(buffer.data(), got) != got)
            throw refused(target, out.errorString());
        written += got;
    }
    // The time is set on the temporary file, so the final name never shows the copy's own time.
    if (modified.isValid())
        out.setFileTime(modified, QFileDevice::FileModificationTime);
    if (!out.commit())
        throw refused(target, out.errorString());
    return written;
}

void replace(const QString& target, const QByteArray& bytes, const QDateTime& modified) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    replace(target, buffer, bytes.size(), modified);
}

void makeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw BackupError(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
}

} // namespace FileCopy
