// The GSM 6.10 driver (tag 0x31, mono, 65-byte WAV49 blocks of 320 samples) to and from 16-bit PCM.
#pragma once

#include "audio/CodecDriver.h"

class GsmDriver : public CodecDriver {
public:
    QString name() const override { return QStringLiteral("GSM 6.10 Audio CODEC"); }
    QString tagName(uint16_t tag) const override;
    bool handlesTag(uint16_t tag) const override { return tag == wavetag::Gsm610; }
    QList<WaveFormat> formats() const override;
    bool suggestPcm(const WaveFormat& source, WaveFormat& pcm) const override;
    bool canConvert(const WaveFormat& source, const WaveFormat& destination) const override;
    std::unique_ptr<CodecStream> open(const WaveFormat& source, const WaveFormat& destination) const override;

    static WaveFormat gsmFormat(uint32_t rate);
    static bool isGsm(const WaveFormat& f);
};
