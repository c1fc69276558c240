// The IMA ADPCM driver (tag 0x11, 4 bits, WAV blocks) to and from 16-bit PCM.
#pragma once

#include "audio/CodecDriver.h"

class ImaAdpcmDriver : public CodecDriver {
public:
    QString name() const override { return QStringLiteral("IMA ADPCM CODEC"); }
    QString tagName(uint16_t tag) const override;
    bool handlesTag(uint16_t tag) const override { return tag == wavetag::ImaAdpcm; }
    QList<WaveFormat> formats() const override;
    bool suggestPcm(const WaveFormat& source, WaveFormat& pcm) const override;
    bool canConvert(const WaveFormat& source, const WaveFormat& destination) const override;
    std::unique_ptr<CodecStream> open(const WaveFormat& source, const WaveFormat& destination) const override;

    static WaveFormat imaFormat(uint32_t rate, uint16_t channels);
    /// Tag, 1 or 2 channels, 4 bits, a block layout that holds whole 8-sample groups, and a samples
    /// per block field (when present) that agrees with the block alignment.
    static bool isIma(const WaveFormat& f);
};
