// The Microsoft ADPCM driver (tag 2, 4 bits, WAV blocks with predictor tables) to and from 16-bit PCM.
#pragma once

#include "audio/CodecDriver.h"
#include "audio/codecs/MsAdpcm.h"

#include <vector>

class MsAdpcmDriver : public CodecDriver {
public:
    QString name() const override { return QStringLiteral("MS ADPCM CODEC"); }
    QString tagName(uint16_t tag) const override;
    bool handlesTag(uint16_t tag) const override { return tag == wavetag::MsAdpcm; }
    QList<WaveFormat> formats() const override;
    bool suggestPcm(const WaveFormat& source, WaveFormat& pcm) const override;
    bool canConvert(const WaveFormat& source, const WaveFormat& destination) const override;
    std::unique_ptr<CodecStream> open(const WaveFormat& source, const WaveFormat& destination) const override;

    static WaveFormat msAdpcmFormat(uint32_t rate, uint16_t channels);
    static bool isMsAdpcm(const WaveFormat& f);
    /// The predictor table in the extra bytes; empty when there is none (the standard seven apply).
    static std::vector<msadpcm::Coefficients> coefficients(const WaveFormat& f);
};
