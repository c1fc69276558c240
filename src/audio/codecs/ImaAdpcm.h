// IMA ADPCM in the WAV block layout: per channel a 4-byte header (first sample, step index, 0),
// then groups of 4 bytes (8 nibbles, low nibble first) per channel in turn.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ima {
constexpr int kHeaderBytesPerChannel = 4;
/// Samples of one channel in a block of `blockAlign` bytes (0 when the layout is impossible).
int samplesPerBlock(int blockAlign, int channels);
} // namespace ima

class ImaAdpcmDecoder {
public:
    ImaAdpcmDecoder(int channels, int blockAlign);
    int samplesPerBlock() const { return m_samplesPerBlock; }
    /// Decodes one block into samplesPerBlock() interleaved frames; `out` must hold them all.
    void process(std::span<const uint8_t> block, std::span<int16_t> out);
    void reset() {}

private:
    int m_channels;
    int m_blockAlign;
    int m_samplesPerBlock;
};

class ImaAdpcmEncoder {
public:
    ImaAdpcmEncoder(int channels, int blockAlign);
    int samplesPerBlock() const { return m_samplesPerBlock; }
    /// Encodes samplesPerBlock() interleaved frames into one block of blockAlign bytes.
    void process(std::span<const int16_t> in, std::span<uint8_t> block);
    /// Forgets the step index carried from block to block.
    void reset();

private:
    int m_channels;
    int m_blockAlign;
    int m_samplesPerBlock;
    std::vector<int> m_stepIndex; ///< per channel, carried into the next block
};
