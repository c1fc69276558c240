// Ogg Opus files through libopusenc, tuned for voice.
#pragma once

#include "export/SoundEncoder.h"

struct OggOpusEnc;
struct OggOpusComments;

class OpusFileEncoder : public SoundEncoder {
public:
    explicit OpusFileEncoder(int bitRate) : m_bitRate(bitRate) {}
    ~OpusFileEncoder() override;

    void open(const QString& path, int sampleRate, const RecordingTags& tags) override;
    void write(std::span<const int16_t> samples) override;
    void finish() override;

private:
    void release();

    int m_bitRate;
    QString m_path;
    OggOpusComments* m_comments = nullptr;
    OggOpusEnc* m_encoder = nullptr;
};
