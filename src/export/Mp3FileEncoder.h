// MP3 files through LAME: constant bit rate, mono, an ID3v2 tag.
#pragma once

#include "export/SoundEncoder.h"

#include <QFile>
#include <vector>

struct lame_global_struct;

class Mp3FileEncoder : public SoundEncoder {
public:
    explicit Mp3FileEncoder(int bitRateKbps) : m_bitRate(bitRateKbps) {}
    ~Mp3FileEncoder() override;

    /// 16 kHz for sound of 16 kHz and more, else 8 kHz: the two rates of speech on a phone line.
    static int outputRate(int sampleRate) { return sampleRate >= 16000 ? 16000 : 8000; }

    void open(const QString& path, int sampleRate, const RecordingTags& tags) override;
    void write(std::span<const int16_t> samples) override;
    void finish() override;

private:
    void setTags(const RecordingTags& tags);
    void writeOut(const unsigned char* data, qint64 size);
    [[noreturn]] void fail(const QString& why) const;

    int m_bitRate;
    QFile m_file;
    lame_global_struct* m_lame = nullptr;
    qint64 m_audioStart = 0;
    std::vector<unsigned char> m_buffer;
};
