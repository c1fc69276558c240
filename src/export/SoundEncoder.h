// An encoder of mono 16-bit sound into a compressed file with the call's tags.
#pragma once

#include "library/CopyFormat.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <span>

struct RecordingTags;

/// Defaults tuned for speech on a telephone line.
struct EncoderSettings {
    int opusBitRate = 16000; ///< bit/s
    int mp3BitRate = 32;     ///< kbit/s, constant
    int flacLevel = 5;       ///< 0 (fastest) to 8 (smallest)
};

/// Used in this order: open, write as often as there is sound, finish. A failure of any step
/// raises ExportError; the file is then incomplete and the caller removes it.
class SoundEncoder {
public:
    virtual ~SoundEncoder() = default;
    /// Creates `path` for sound of `sampleRate` Hz.
    virtual void open(const QString& path, int sampleRate, const RecordingTags& tags) = 0;
    virtual void write(std::span<const int16_t> samples) = 0;
    /// Encodes what is buffered and completes the file.
    virtual void finish() = 0;
};

/// The encoder of a compressed format; null for WAV, which is copied as it is stored.
std::unique_ptr<SoundEncoder> makeSoundEncoder(CopyFormat format, const EncoderSettings& settings = {});
