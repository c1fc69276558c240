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

/// Copies `size` bytes (-1: all) of `data` to the open `out`, gives it the time `modified`.
qint64 copyInto(QFileDevice& out, const QString& target, QIODevice& data, qint64 size, const QDateTime& modified) {
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
    if (!out.flush())
        throw refused(target, out.errorString());
    if (modified.isValid())
        out.setFileTime(modified, QFileDevice::FileModificationTime);
    return written;
}

} // namespace

qint64 replace(const QString& target, QIODevice& data, qint64 size, const QDateTime& modified) {
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw refused(target, out.errorString());
    // The time is set on the temporary file, so the final name never shows the copy's own time.
    const qint64 written = copyInto(out, target, data, size, modified);
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

qint64 write(const QString& target, QIODevice& data, qint64 size, const QDateTime& modified) {
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw refused(target, out.errorString());
    const qint64 written = copyInto(out, target, data, size, modified);
    out.close();
    if (out.error() != QFileDevice::NoError)
        throw refused(target, out.errorString());
    return written;
}

void write(const QString& target, const QByteArray& bytes, const QDateTime& modified) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    write(target, buffer, bytes.size(), modified);
}

void makeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw BackupError(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
}

} // namespace FileCopy
