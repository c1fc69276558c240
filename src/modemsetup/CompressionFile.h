// Compressions.d: the compression records a probe recognised, back to back without a header.
#pragma once

#include "modemsetup/CompressionRecord.h"

#include <QFile>
#include <QList>
#include <QString>
#include <optional>

class CompressionFile {
public:
    /// The program handles at most this many records (indices 0..100); any beyond are ignored.
    static constexpr int kMaxRecords = 101;

    /// `folder` + "/Compressions.d".
    static QString pathIn(const QString& folder);

    explicit CompressionFile(QString path);

    const QString& path() const { return m_path; }
    bool exists() const;
    /// Whole records in the file (a trailing partial record does not count).
    int recordCount() const;
    /// The record at `index`, or nothing when the file is missing or holds no such record.
    std::optional<CompressionRecord> readRecord(int index) const;
    /// At most kMaxRecords records, in file order; empty when the file is missing.
    QList<CompressionRecord> readAll() const;

private:
    QString m_path;
};

/// Recreates Compressions.d and writes records at positions 0, 1, 2, ...
class CompressionFileWriter {
public:
    /// Deletes the file if it exists and creates it empty; false when it cannot be created.
    bool recreate(const QString& path);
    /// Writes `record` at `index`; false when the file is not open or the write fails.
    bool write(int index, const CompressionRecord& record);
    void close();
    bool isOpen() const { return m_file.isOpen(); }

private:
    QFile m_file;
};
