// PCM conversion: decode to 16-bit, mix channels, resample, encode to the destination size.
#include "audio/drivers/PcmStream.h"

#include "audio/codecs/PcmSamples.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kChunkFrames = 4096;
}

PcmStream::PcmStream(const WaveFormat& source, const WaveFormat& destination)
    : m_sourceAlign(source.blockAlign()), m_destinationAlign(destination.blockAlign()),
      m_sourceBits(source.bitsPerSample()), m_destinationBits(destination.bitsPerSample()),
      m_sourceChannels(source.channels()), m_destinationChannels(destination.channels()),
      m_identical(source.bitsPerSample() == destination.bitsPerSample() &&
                  source.channels() == destination.channels() &&
                  source.samplesPerSec() == destination.samplesPerSec()) {
    if (source.samplesPerSec() != destination.samplesPerSec())
        m_resampler = std::make_unique<Resampler>(m_destinationChannels, static_cast<int>(source.samplesPerSec()),
                                                  static_cast<int>(destination.samplesPerSec()));
    m_decoded.resize(kChunkFrames * 2);
    m_mixed.resize(kChunkFrames * 2);
    if (m_resampler)
        m_resampled.resize(m_resampler->maxOutputFrames(kChunkFrames) * 2);
}

size_t PcmStream::destinationBytes(size_t sourceBytes) const {
    const size_t frames = sourceBytes / m_sourceAlign;
    if (frames == 0)
        return 0;
    if (!m_resampler)
        return frames * m_destinationAlign;
    // Chunks are resampled one by one; each may release a little more than the ratio.
    const size_t full = frames / kChunkFrames;
    const size_t rest = frames % kChunkFrames;
    size_t out = full * m_resampler->maxOutputFrames(kChunkFrames);
    if (rest)
        out += m_resampler->maxOutputFrames(rest);
    return out * m_destinationAlign;
}

void PcmStream::reset() {
    if (m_resampler)
        m_resampler->reset();
}

size_t PcmStream::convert(std::span<const uint8_t> source, std::span<uint8_t> destination, size_t& consumed) {
    size_t frames = source.size() / m_sourceAlign;
    while (frames > 0 && destinationBytes(frames * m_sourceAlign) > destination.size())
        frames = std::min(frames - 1, frames * destination.size() / destinationBytes(frames * m_sourceAlign));
    consumed = frames * m_sourceAlign;
    if (m_identical) {
        std::memcpy(destination.data(), source.data(), consumed);
        return consumed;
    }
    size_t produced = 0;
    for (size_t done = 0; done < frames; done += kChunkFrames) {
        const size_t chunk = std::min(kChunkFrames, frames - done);
        produced += convertChunk(source.data() + done * m_sourceAlign, chunk, destination.data() + produced);
    }
    return produced;
}

size_t PcmStream::convertChunk(const uint8_t* source, size_t frames, uint8_t* destination) {
    const size_t inSamples = frames * static_cast<size_t>(m_sourceChannels);
    if (m_sourceBits == 8)
        pcm::unsigned8ToLinear({source, inSamples}, m_decoded);
    else
        pcm::bytesToLinear({source, inSamples * 2}, m_decoded);

    std::span<const int16_t> samples(m_decoded.data(), inSamples);
    if (m_sourceChannels == 2 && m_destinationChannels == 1) {
        pcm::stereoToMono(samples, m_mixed);
        samples = {m_mixed.data(), frames};
    } else if (m_sourceChannels == 1 && m_destinationChannels == 2) {
        pcm::monoToStereo(samples, m_mixed);
        samples = {m_mixed.data(), frames * 2};
    }
    if (m_resampler) {
        const size_t outFrames = m_resampler->process(samples, m_resampled);
        samples = {m_resampled.data(), outFrames * static_cast<size_t>(m_destinationChannels)};
    }
    if (m_destinationBits == 8) {
        pcm::linearToUnsigned8(samples, {destination, samples.size()});
        return samples.size();
    }
    pcm::linearToBytes(samples, {destination, samples.size() * 2});
    return samples.size() * 2;
}
