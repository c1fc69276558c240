// FLAC files through libFLAC, with the tags in a Vorbis comment block.
#pragma once

#include "export/SoundEncoder.h"

#include <FLAC/format.h>
#include <FLAC/stream_encoder.h>
#include <vector>

class FlacFileEncoder : public SoundEncoder {
public:
    explicit FlacFileEncoder(int level) : m_level(level) {}
    ~FlacFileEncoder() override;

    void open(const QString& path, int sampleRate, const RecordingTags& tags) override;
    void write(std::span<const int16_t> samples) override;
    void finish() override;

private:
    [[noreturn]] void fail(const QString& why) const;
    void release();

    int m_level;
    QString m_path;
    FLAC__StreamEncoder* m_encoder = nullptr;
    FLAC__StreamMetadata* m_comments = nullptr;
    std::vector<int32_t> m_wide;
};
