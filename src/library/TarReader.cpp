// The ustar reader of restores.
#include "library/TarReader.h"

#include "library/BackupError.h"
#include "library/TarWriter.h"

#include <array>

namespace {

BackupError damaged(const QString& why) {
    return BackupError(QStringLiteral("The archive is damaged: %1").arg(why));
}

/// A NUL-terminated text field.
QByteArray text(const QByteArray& block, int offset, int width) {
    QByteArray field = block.mid(offset, width);
    const qsizetype end = field.indexOf('\0');
    return end < 0 ? field : field.left(end);
}

/// An octal field: leading blanks, digits, then blanks or NULs. Nothing for anything else (base-256
/// sizes included: no backup of ours is that large).
std::optional<qint64> octal(const QByteArray& block, int offset, int width) {
    qint64 value = 0;
    int i = 0;
    while (i < width && block.at(offset + i) == ' ')
        ++i;
    int digits = 0;
    for (; i < width; ++i) {
        const char c = block.at(offset + i);
        if (c < '0' || c > '7')
            break;
        if (value > (TarWriter::kMaxSize >> 3))
            return std::nullopt;
        value = value * 8 + (c - '0');
        ++digits;
    }
    for (; i < width; ++i)
        if (block.at(offset + i) != ' ' && block.at(offset + i) != '\0')
            return std::nullopt;
    return digits > 0 ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

std::optional<QString> TarReader::safePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')) ||
        path.contains(QChar(0)))
        return std::nullopt;
    QStringList parts;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return std::nullopt;
        if (part != QLatin1String("."))
            parts.append(part);
    }
    if (parts.isEmpty())
        return std::nullopt;
    return parts.join(QLatin1Char('/'));
}

QByteArray TarReader::readBlock() {
    QByteArray block = m_in.read(TarWriter::kBlock);
    if (block.size() != TarWriter::kBlock)
        throw damaged(QStringLiteral("it ends inside an entry"));
    return block;
}

void TarReader::skipData() {
    qint64 left = m_left + m_padding;
    m_left = m_padding = 0;
    // A file is skipped by seeking, so that checking a whole archive first reads only its headers.
    if (!m_in.isSequential()) {
        if (left > m_in.size() - m_in.pos() || !m_in.seek(m_in.pos() + left))
            throw damaged(QStringLiteral("it ends inside an entry"));
        return;
    }
    std::array<char, 1 << 16> buffer{};
    while (left > 0) {
        const qint64 got = m_in.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (got <= 0)
            throw damaged(QStringLiteral("it ends inside an entry"));
        left -= got;
    }
}

std::optional<TarEntry> TarReader::next() {
    skipData();
    const QByteArray block = readBlock();
    if (block.count('\0') == block.size()) {
        // The end: a second zero block follows in a whole archive, but a missing one loses nothing.
        return std::nullopt;
    }
    const std::optional<qint64> checksum = octal(block, 148, 8);
    unsigned sum = 0;
    for (int i = 0; i < TarWriter::kBlock; ++i)
        sum += (i >= 148 && i < 156) ? unsigned(' ') : static_cast<unsigned char>(block.at(i));
    if (!checksum || *checksum != qint64(sum))
        throw damaged(QStringLiteral("a header's checksum does not match"));
    if (!block.mid(257, 5).startsWith("ustar"))
        throw damaged(QStringLiteral("it is not a ustar archive"));

    const char type = block.at(156);
    if (type != '0' && type != '\0' && type != '5')
        throw BackupError(QStringLiteral("The archive holds an entry that is not a file or a folder"));
    const std::optional<qint64> size = octal(block, 124, 12);
    const std::optional<qint64> mtime = octal(block, 136, 12);
    if (!size || !mtime)
        throw damaged(QStringLiteral("a header's size or time is not a number"));

    const QByteArray prefix = text(block, 345, 155);
    const QByteArray name = text(block, 0, 100);
    const QString raw = QString::fromUtf8(prefix.isEmpty() ? name : prefix + '/' + name);
    const std::optional<QString> path = safePath(raw);
    if (!path)
        throw BackupError(QStringLiteral("The archive holds an unsafe path: %1").arg(raw));

    // An entry that claims more data than the file holds is found at its header, not after its data.
    if (!m_in.isSequential() && *size > m_in.size() - m_in.pos())
        throw damaged(QStringLiteral("it ends inside an entry"));

    TarEntry entry;
    entry.path = *path;
    entry.folder = type == '5';
    entry.size = entry.folder ? 0 : *size;
    entry.modified = QDateTime::fromSecsSinceEpoch(*mtime, Qt::UTC);
    // A folder's size field is ignored by readers; its data, if any, is skipped like a file's.
    m_left = *size;
    m_padding = (TarWriter::kBlock - *size % TarWriter::kBlock) % TarWriter::kBlock;
    return entry;
}

void TarReader::readData(QIODevice& out) {
    std::array<char, 1 << 16> buffer{};
    while (m_left > 0) {
        const qint64 got = m_in.read(buffer.data(), qMin<qint64>(m_left, buffer.size()));
        if (got <= 0)
            throw damaged(QStringLiteral("it ends inside an entry"));
        if (out.write(buffer.data(), got) != got)
            throw BackupError(QStringLiteral("Cannot write a restored file: %1").arg(out.errorString()));
        m_left -= got;
    }
    skipData();
}
