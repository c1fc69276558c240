// Streams around a block codec (IMA ADPCM, MS ADPCM, GSM): one codec block to or from 16-bit PCM frames.
#pragma once

#include "audio/codecs/PcmSamples.h"
#include "audio/drivers/BlockCodecStream.h"

#include <memory>
#include <vector>

/// `Decoder::process(block, samples)` decodes `samplesPerBlock * channels` samples.
template <class Decoder> class BlockDecodeStream : public BlockCodecStream {
public:
    BlockDecodeStream(std::unique_ptr<Decoder> decoder, size_t blockAlign, size_t samplesPerBlock, size_t channels)
        : BlockCodecStream(blockAlign, samplesPerBlock * channels * 2), m_decoder(std::move(decoder)),
          m_samples(samplesPerBlock * channels) {}
    void reset() override { m_decoder->reset(); }

protected:
    void processBlocks(const uint8_t* source, uint8_t* destination, size_t blocks) override {
        const size_t in = sourceBlockBytes();
        const size_t out = m_samples.size() * 2;
        for (size_t b = 0; b < blocks; ++b) {
            m_decoder->process({source + b * in, in}, m_samples);
            pcm::linearToBytes(m_samples, {destination + b * out, out});
        }
    }

private:
    std::unique_ptr<Decoder> m_decoder;
    std::vector<int16_t> m_samples;
};

/// `Encoder::process(samples, block)` encodes `samplesPerBlock * channels` samples into one block.
template <class Encoder> class BlockEncodeStream : public BlockCodecStream {
public:
    BlockEncodeStream(std::unique_ptr<Encoder> encoder, size_t blockAlign, size_t samplesPerBlock, size_t channels)
        : BlockCodecStream(samplesPerBlock * channels * 2, blockAlign), m_encoder(std::move(encoder)),
          m_samples(samplesPerBlock * channels) {}
    void reset() override { m_encoder->reset(); }

protected:
    void processBlocks(const uint8_t* source, uint8_t* destination, size_t blocks) override {
        const size_t in = sourceBlockBytes();
        const size_t out = destinationBytes(in);
        for (size_t b = 0; b < blocks; ++b) {
            pcm::bytesToLinear({source + b * in, in}, m_samples);
            m_encoder->process(m_samples, {destination + b * out, out});
        }
    }

private:
    std::unique_ptr<Encoder> m_encoder;
    std::vector<int16_t> m_samples;
};
