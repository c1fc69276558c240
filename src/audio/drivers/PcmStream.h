// A PCM to PCM conversion: sample size, channel count and rate, in chunks through scratch buffers.
#pragma once

#include "audio/CodecStream.h"
#include "audio/WaveFormat.h"
#include "audio/codecs/Resampler.h"

#include <memory>
#include <vector>

class PcmStream : public CodecStream {
public:
    PcmStream(const WaveFormat& source, const WaveFormat& destination);

    size_t sourceBlockBytes() const override { return m_sourceAlign; }
    size_t destinationBytes(size_t sourceBytes) const override;
    size_t convert(std::span<const uint8_t> source, std::span<uint8_t> destination, size_t& consumed) override;
    void reset() override;

private:
    size_t convertChunk(const uint8_t* source, size_t frames, uint8_t* destination);

    size_t m_sourceAlign;
    size_t m_destinationAlign;
    int m_sourceBits;
    int m_destinationBits;
    int m_sourceChannels;
    int m_destinationChannels;
    bool m_identical;
    std::unique_ptr<Resampler> m_resampler; ///< only when the rates differ
    std::vector<int16_t> m_decoded;
    std::vector<int16_t> m_mixed;
    std::vector<int16_t> m_resampled;
};
