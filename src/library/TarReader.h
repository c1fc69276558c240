// Reads a ustar archive from outside: regular files and folders under relative, downward paths only.
#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <optional>

struct TarEntry {
    QString path; ///< relative, '/'-separated, without "." or ".." parts, never empty
    bool folder = false;
    qint64 size = 0;
    QDateTime modified;
};

/// An archive is input the user may have been handed, so every header is checked: its checksum,
/// its octal fields, its type (links, devices and extended headers are refused) and its path (an
/// absolute path or a ".." part is refused), before anything is written.
///
///     TarReader tar(file);
///     while (std::optional<TarEntry> entry = tar.next())
///         entry->folder ? mkpath(entry->path) : tar.readData(target);
///
/// next() and readData() throw BackupError with the reason when the archive is damaged or hostile.
class TarReader {
public:
    explicit TarReader(QIODevice& in) : m_in(in) {}

    /// The next entry, skipping the data of the previous one when it was not read; nothing at the
    /// end of the archive.
    std::optional<TarEntry> next();
    /// Copies the current entry's data to `out` (once).
    void readData(QIODevice& out);

    /// `path` made relative and clean, or nothing when it is absolute, empty or climbs out with "..".
    static std::optional<QString> safePath(const QString& path);

private:
    void skipData();
    QByteArray readBlock();

    QIODevice& m_in;
    qint64 m_left = 0;    ///< data bytes of the current entry not read yet
    qint64 m_padding = 0; ///< padding after them
};
