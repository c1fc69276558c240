// One voice compression a modem offers, as the program describes it in Compressions.d.
#pragma once

#include <QByteArray>
#include <QString>

/// Nine short texts. On disk each field is a length byte (0..30) and 30 character bytes, 279 bytes
/// per record with no gap; characters are single-byte (Latin-1) text.
struct CompressionRecord {
    static constexpr int kFieldCount = 9;
    static constexpr int kFieldChars = 30;
    static constexpr int kFieldBytes = kFieldChars + 1;
    static constexpr int kRecordBytes = kFieldCount * kFieldBytes; // 279

    QString Description; ///< "UNSIGNED PCM", "SIGNED PCM", "ULAW" or "ALAW"
    QString cml;         ///< the modem's identifier of the compression
    QString cmid;        ///< the modem's name of it, quotes included when sent
    QString bps;         ///< bits per sample
    QString tm;          ///< timing marker
    QString vsr;         ///< chosen sampling rate in Hz
    QString scs;         ///< silence compression sensitivity
    QString sel;         ///< silence expansion level
    QString VsmCommand;  ///< "at+vsm=..." that selects this compression

    bool operator==(const CompressionRecord&) const = default;

    /// Empties all nine fields.
    void clear() { *this = CompressionRecord(); }

    /// The list text, e.g. "UNSIGNED PCM 8bit 8000Hz".
    QString displayText() const;

    /// Exactly 279 bytes; a field longer than 30 characters is cut, bytes after a field's text are zero.
    QByteArray toBytes() const;
    /// Reads the first 279 bytes of `bytes` (missing bytes count as zero). A length byte above 30,
    /// which only a damaged file holds, is taken as 30.
    static CompressionRecord fromBytes(const QByteArray& bytes);

    /// The fields in their on-disk order.
    QString* fields(int i);
    const QString* fields(int i) const;
};
