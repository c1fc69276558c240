// Microsoft ADPCM in the WAV block layout: per channel a predictor index, a 16-bit delta and the
// two first samples, then signed nibbles (high nibble first, channels alternating).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace msadpcm {
constexpr int kHeaderBytesPerChannel = 7;
struct Coefficients {
    int16_t first;
    int16_t second;
};
/// The seven predictor pairs every WAV file of this format carries in its fmt extra bytes.
constexpr std::array<Coefficients, 7> kStandardCoefficients = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};
/// Samples of one channel in a block of `blockAlign` bytes (0 when the layout is impossible).
int samplesPerBlock(int blockAlign, int channels);
} // namespace msadpcm

class MsAdpcmDecoder {
public:
    /// `coefficients` as read from the file; an empty list means the standard seven.
    MsAdpcmDecoder(int channels, int blockAlign, std::vector<msadpcm::Coefficients> coefficients = {});
    int samplesPerBlock() const { return m_samplesPerBlock; }
    /// Decodes one block into samplesPerBlock() interleaved frames.
    void process(std::span<const uint8_t> block, std::span<int16_t> out);
    void reset() {}

private:
    int m_channels;
    int m_samplesPerBlock;
    std::vector<msadpcm::Coefficients> m_coefficients;
};

class MsAdpcmEncoder {
public:
    MsAdpcmEncoder(int channels, int blockAlign);
    int samplesPerBlock() const { return m_samplesPerBlock; }
    /// Encodes samplesPerBlock() interleaved frames into one block, choosing per channel the predictor
    /// with the smallest error over the block.
    void process(std::span<const int16_t> in, std::span<uint8_t> block);
    void reset() {}

private:
    int m_channels;
    int m_blockAlign;
    int m_samplesPerBlock;
    std::vector<uint8_t> m_nibbles[2];
    std::vector<uint8_t> m_trial;
};
