// The ustar writer of backups.
#include "library/TarWriter.h"

#include "library/BackupError.h"

#include <array>
#include <cstring>

namespace {

/// `value` in octal, right-aligned in `width - 1` digits and a NUL.
void putOctal(char* field, int width, qint64 value) {
    const QByteArray digits = QByteArray::number(value, 8).rightJustified(width - 1, '0');
    std::memcpy(field, digits.constData(), static_cast<size_t>(width - 1));
    field[width - 1] = '\0';
}

} // namespace

void TarWriter::write(const char* data, qint64 size) {
    if (m_out.write(data, size) != size)
        throw BackupError(QStringLiteral("Cannot write the archive: %1").arg(m_out.errorString()));
}

void TarWriter::writeHeader(const QString& path, char type, qint64 size, const QDateTime& modified) {
    QByteArray name = path.toUtf8();
    if (type == '5' && !name.endsWith('/'))
        name += '/';
    QByteArray prefix;
    if (name.size() > 100) {
        // Split at a slash so that the name field holds the tail and the prefix field the rest.
        const qsizetype cut = name.lastIndexOf('/', qMin<qsizetype>(155, name.size() - 2));
        if (cut <= 0 || name.size() - cut - 1 > 100)
            throw BackupError(QStringLiteral("The name %1 is too long for the archive").arg(path));
        prefix = name.left(cut);
        name = name.mid(cut + 1);
    }
    if (size < 0 || size > kMaxSize)
        throw BackupError(QStringLiteral("The file %1 is too large for the archive").arg(path));

    std::array<char, kBlock> header{};
    std::memcpy(header.data(), name.constData(), static_cast<size_t>(name.size()));
    putOctal(header.data() + 100, 8, type == '5' ? 0755 : 0644);
    putOctal(header.data() + 108, 8, 0);
    putOctal(header.data() + 116, 8, 0);
    putOctal(header.data() + 124, 12, size);
    putOctal(header.data() + 136, 12, qMax<qint64>(0, modified.toSecsSinceEpoch()));
    std::memset(header.data() + 148, ' ', 8);
    header[156] = type;
    std::memcpy(header.data() + 257, "ustar", 6);
    std::memcpy(header.data() + 263, "00", 2);
    std::memcpy(header.data() + 345, prefix.constData(), static_cast<size_t>(prefix.size()));
    unsigned sum = 0;
    for (const char c : header)
        sum += static_cast<unsigned char>(c);
    putOctal(header.data() + 148, 7, sum);
    header[155] = ' ';
    write(header.data(), kBlock);
}

void TarWriter::pad(qint64 size) {
    static const std::array<char, kBlock> zeros{};
    if (const qint64 rest = size % kBlock)
        write(zeros.data(), kBlock - rest);
}

void TarWriter::addFolder(const QString& path, const QDateTime& modified) {
    writeHeader(path, '5', 0, modified);
}

void TarWriter::addFile(const QString& path, QIODevice& data, qint64 size, const QDateTime& modified) {
    writeHeader(path, '0', size, modified);
    std::array<char, 1 << 16> buffer{};
    qint64 left = size;
    while (left > 0) {
        const qint64 got = data.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (got <= 0)
            throw BackupError(QStringLiteral("The file %1 changed while it was copied").arg(path));
        write(buffer.data(), got);
        left -= got;
    }
    pad(size);
}

void TarWriter::addFile(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
    writeHeader(path, '0', bytes.size(), modified);
    write(bytes.constData(), bytes.size());
    pad(bytes.size());
}

void TarWriter::finish() {
    static const std::array<char, 2 * kBlock> zeros{};
    write(zeros.data(), zeros.size());
}
