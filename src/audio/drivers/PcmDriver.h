// The PCM driver: 8 and 16 bit, mono and stereo, and any rate to any other through libsamplerate.
#pragma once

#include "audio/CodecDriver.h"

class PcmDriver : public CodecDriver {
public:
    QString name() const override { return QStringLiteral("PCM Converter"); }
    QString tagName(uint16_t tag) const override;
    bool handlesTag(uint16_t tag) const override { return tag == wavetag::Pcm; }
    QList<WaveFormat> formats() const override;
    bool suggestPcm(const WaveFormat& source, WaveFormat& pcm) const override;
    bool canConvert(const WaveFormat& source, const WaveFormat& destination) const override;
    std::unique_ptr<CodecStream> open(const WaveFormat& source, const WaveFormat& destination) const override;
};
