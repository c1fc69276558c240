// The compression the modem streams in while recording: one record for the whole program.
#pragma once

#include "modemsetup/CompressionRecord.h"

#include <QObject>

class Config;
class Prompter;
struct ModemCompressionFields;

/// Owned by the application object and handed to the recording path, the codec matcher and the
/// settings. Starts with every field empty.
class CurrentCompression : public QObject {
    Q_OBJECT
public:
    explicit CurrentCompression(QObject* parent = nullptr);

    const CompressionRecord& record() const { return m_record; }
    void set(const CompressionRecord& record);

    /// Fills the record from the one at index `Compression` of `Params` (default 0) in
    /// `compressionsPath`. When the file is missing or holds no such record the current record
    /// stays as it was and false is returned.
    bool load(const Config& config, const QString& compressionsPath);

    /// `Description`, `bps` and `vsr`, the fields the codec format matcher compares.
    ModemCompressionFields matchFields() const;

Q_SIGNALS:
    void changed();

private:
    CompressionRecord m_record;
};

/// The automatic choice after a probe rewrote Compressions.d: the lowest index that is UNSIGNED PCM/8,
/// else SIGNED PCM/8, ULAW/8, ALAW/8, SIGNED PCM/16, UNSIGNED PCM/16 (exact, case-sensitive), else
/// record 0. Writes its `VsmCommand` as `Modem` `VoiceCompression` and its index as `Params`
/// `Compression`. Returns false, writing nothing, when the file holds no record.
bool chooseCurrentCompression(Config& config, const QString& compressionsPath);

/// The index the choice rules pick among `records`; -1 when `records` is empty.
int chooseCompressionIndex(const QList<CompressionRecord>& records);

/// The codec format matcher for the stored choice: loads the current compression (see
/// CurrentCompression::load), then finds its codec format and saves it as `cpnPath`. False, after
/// the matcher's message, when no codec format matches; FileOpenError when the file cannot be written.
bool matchCurrentCompression(CurrentCompression& current, const Config& config, const QString& compressionsPath,
                             Prompter& prompter, const QString& cpnPath);
