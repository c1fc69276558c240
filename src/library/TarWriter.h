// Writes a POSIX ustar archive: regular files and folders, nothing else.
#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QString>

/// Each entry is a 512-byte header followed by the data padded to whole blocks; two zero blocks
/// end the archive. Names of up to 255 bytes fit (prefix and name fields); file sizes up to 8 GiB.
///
///     TarWriter tar(file);
///     tar.addFolder("wav");
///     tar.addFile("wav/1_20261208_100001.wav", source, source.size(), modified);
///     tar.finish();
///
/// Every method throws BackupError when the device refuses to write or a name does not fit.
class TarWriter {
public:
    explicit TarWriter(QIODevice& out) : m_out(out) {}

    void addFolder(const QString& path, const QDateTime& modified = QDateTime::currentDateTimeUtc());
    /// Copies exactly `size` bytes of `data` from its current position.
    void addFile(const QString& path, QIODevice& data, qint64 size, const QDateTime& modified);
    void addFile(const QString& path, const QByteArray& bytes, const QDateTime& modified);
    /// The two end blocks.
    void finish();

    static constexpr int kBlock = 512;
    static constexpr qint64 kMaxSize = 077777777777LL;

private:
    void writeHeader(const QString& path, char type, qint64 size, const QDateTime& modified);
    void pad(qint64 size);
    void write(const char* data, qint64 size);

    QIODevice& m_out;
};
