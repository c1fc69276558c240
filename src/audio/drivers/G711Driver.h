// The CCITT G.711 driver: A-law (tag 6) and u-law (tag 7) to and from 16-bit PCM.
#pragma once

#include "audio/CodecDriver.h"

class G711Driver : public CodecDriver {
public:
    QString name() const override { return QStringLiteral("CCITT G.711 A-Law and u-Law CODEC"); }
    QString tagName(uint16_t tag) const override;
    bool handlesTag(uint16_t tag) const override { return tag == wavetag::Alaw || tag == wavetag::Mulaw; }
    QList<WaveFormat> formats() const override;
    bool suggestPcm(const WaveFormat& source, WaveFormat& pcm) const override;
    bool canConvert(const WaveFormat& source, const WaveFormat& destination) const override;
    std::unique_ptr<CodecStream> open(const WaveFormat& source, const WaveFormat& destination) const override;

    /// An 8-bit companded format of that tag.
    static WaveFormat lawFormat(uint16_t tag, uint32_t rate, uint16_t channels);
};
