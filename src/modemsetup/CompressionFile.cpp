// Reading and writing Compressions.d.
#include "modemsetup/CompressionFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <climits>

QString CompressionFile::pathIn(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("Compressions.d"));
}

CompressionFile::CompressionFile(QString path) : m_path(std::move(path)) {}

bool CompressionFile::exists() const {
    return QFile::exists(m_path);
}

int CompressionFile::recordCount() const {
    const qint64 size = QFileInfo(m_path).size();
    return static_cast<int>(std::min<qint64>(size / CompressionRecord::kRecordBytes, INT_MAX));
}

std::optional<CompressionRecord> CompressionFile::readRecord(int index) const {
    if (index < 0)
        return std::nullopt;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 offset = qint64(index) * CompressionRecord::kRecordBytes;
    if (offset + CompressionRecord::kRecordBytes > file.size() || !file.seek(offset))
        return std::nullopt;
    const QByteArray bytes = file.read(CompressionRecord::kRecordBytes);
    if (bytes.size() != CompressionRecord::kRecordBytes)
        return std::nullopt;
    return CompressionRecord::fromBytes(bytes);
}

QList<CompressionRecord> CompressionFile::readAll() const {
    QList<CompressionRecord> records;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return records;
    while (records.size() < kMaxRecords) {
        const QByteArray bytes = file.read(CompressionRecord::kRecordBytes);
        if (bytes.size() != CompressionRecord::kRecordBytes)
            break;
        records.append(CompressionRecord::fromBytes(bytes));
    }
    return records;
}

bool CompressionFileWriter::recreate(const QString& path) {
    close();
    if (QFile::exists(path) && !QFile::remove(path))
        return false;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CompressionFileWriter::write(int index, const CompressionRecord& record) {
    if (!m_file.isOpen() || index < 0)
        return false;
    if (!m_file.seek(qint64(index) * CompressionRecord::kRecordBytes))
        return false;
    return m_file.write(record.toBytes()) == CompressionRecord::kRecordBytes;
}

void CompressionFileWriter::close() {
    if (m_file.isOpen())
        m_file.close();
}
