// Microsoft ADPCM block codec: fixed-point linear prediction with an adaptive step.
#include "audio/codecs/MsAdpcm.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr std::array<int, 16> kAdaptTable = {230, 230, 230, 230, 307, 409, 512, 614,
                                             768, 614, 512, 409, 307, 230, 230, 230};
constexpr int kMinDelta = 16;
// Valid streams stay far below this; it keeps hostile data from overflowing the step arithmetic.
constexpr int kMaxDelta = 1 << 21;

int16_t readInt16(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}
void writeInt16(uint8_t* p, int value) {
    p[0] = static_cast<uint8_t>(value & 0xFF);
    p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

struct ChannelState {
    msadpcm::Coefficients coef{256, 0};
    int delta = kMinDelta;
    int sample1 = 0; ///< the latest sample
    int sample2 = 0; ///< the one before

    // In 64 bits: a file's own predictor table may hold any 16-bit values, and two extreme products
    // overflow 32 bits; the result, at most 2^23, fits again.
    int predict() const {
        return static_cast<int>((int64_t{sample1} * coef.first + int64_t{sample2} * coef.second) >> 8);
    }

    int16_t decode(int nibble) {
        const int signedNibble = nibble - ((nibble & 8) << 1);
        const int sample = std::clamp(predict() + signedNibble * delta, -32768, 32767);
        delta = std::clamp((kAdaptTable[nibble] * delta) >> 8, kMinDelta, kMaxDelta);
        sample2 = sample1;
        sample1 = sample;
        return static_cast<int16_t>(sample);
    }

    /// Picks the nibble whose decoded value is nearest the sample; returns it and the squared error.
    int encode(int sample, int64_t& error) {
        const int prediction = predict();
        int code = delta > 0 ? (sample - prediction + (sample >= prediction ? delta / 2 : -delta / 2)) / delta : 0;
        code = std::clamp(code, -8, 7);
        const int nibble = code & 0x0F;
        const int decoded = decode(nibble);
        const int64_t diff = decoded - sample;
        error += diff * diff;
        return nibble;
    }
};

} // namespace

int msadpcm::samplesPerBlock(int blockAlign, int channels) {
    if (channels < 1 || channels > 2 || blockAlign <= kHeaderBytesPerChannel * channels)
        return 0;
    return (blockAlign - kHeaderBytesPerChannel * channels) * 2 / channels + 2;
}

MsAdpcmDecoder::MsAdpcmDecoder(int channels, int blockAlign, std::vector<msadpcm::Coefficients> coefficients)
    : m_channels(channels), m_samplesPerBlock(msadpcm::samplesPerBlock(blockAlign, channels)),
      m_coefficients(std::move(coefficients)) {
    if (m_coefficients.empty())
        m_coefficients.assign(msadpcm::kStandardCoefficients.begin(), msadpcm::kStandardCoefficients.end());
}

void MsAdpcmDecoder::process(std::span<const uint8_t> block, std::span<int16_t> out) {
    const int ch = m_channels;
    ChannelState state[2];
    const uint8_t* p = block.data();
    for (int c = 0; c < ch; ++c) {
        const size_t index = std::min<size_t>(p[c], m_coefficients.size() - 1); // untrusted byte
        state[c].coef = m_coefficients[index];
    }
    p += ch;
    for (int c = 0; c < ch; ++c, p += 2)
        state[c].delta = readInt16(p);
    for (int c = 0; c < ch; ++c, p += 2)
        state[c].sample1 = readInt16(p);
    for (int c = 0; c < ch; ++c, p += 2)
        state[c].sample2 = readInt16(p);
    for (int c = 0; c < ch; ++c) {
        out[c] = static_cast<int16_t>(state[c].sample2);
        out[ch + c] = static_cast<int16_t>(state[c].sample1);
    }
    // Nibbles run over the interleaved samples from the third frame on, high nibble first.
    const int total = (m_samplesPerBlock - 2) * ch;
    int16_t* dst = out.data() + 2 * ch;
    for (int i = 0; i < total; ++i) {
        const int nibble = (i & 1) ? (p[i >> 1] & 0x0F) : (p[i >> 1] >> 4);
        dst[i] = state[i % ch].decode(nibble);
    }
}

MsAdpcmEncoder::MsAdpcmEncoder(int channels, int blockAlign)
    : m_channels(channels), m_blockAlign(blockAlign),
      m_samplesPerBlock(msadpcm::samplesPerBlock(blockAlign, channels)) {
    for (auto& n : m_nibbles)
        n.resize(static_cast<size_t>(std::max(0, m_samplesPerBlock - 2)));
    m_trial.resize(m_nibbles[0].size());
}

void MsAdpcmEncoder::process(std::span<const int16_t> in, std::span<uint8_t> block) {
    const int ch = m_channels;
    const int count = m_samplesPerBlock - 2;
    ChannelState chosen[2];
    uint8_t predictor[2] = {0, 0};
    for (int c = 0; c < ch; ++c) {
        const int first = in[c];
        const int second = in[ch + c];
        // Start the step near the size of the first differences so the block settles quickly.
        int spread = 0;
        for (int i = 2; i < std::min(count + 2, 6); ++i)
            spread += std::abs(in[i * ch + c] - in[(i - 1) * ch + c]);
        const int startDelta = std::max(kMinDelta, spread / 8);
        int64_t bestError = std::numeric_limits<int64_t>::max();
        for (size_t p = 0; p < msadpcm::kStandardCoefficients.size(); ++p) {
            ChannelState state;
            state.coef = msadpcm::kStandardCoefficients[p];
            state.delta = startDelta;
            state.sample1 = second;
            state.sample2 = first;
            int64_t error = 0;
            for (int i = 0; i < count && error < bestError; ++i)
                m_trial[i] = static_cast<uint8_t>(state.encode(in[(i + 2) * ch + c], error));
            if (error < bestError) {
                bestError = error;
                predictor[c] = static_cast<uint8_t>(p);
                std::copy(m_trial.begin(), m_trial.begin() + count, m_nibbles[c].begin());
                chosen[c].delta = startDelta;
                chosen[c].sample1 = second;
                chosen[c].sample2 = first;
            }
        }
    }
    uint8_t* p = block.data();
    for (int c = 0; c < ch; ++c)
        *p++ = predictor[c];
    for (int c = 0; c < ch; ++c, p += 2)
        writeInt16(p, chosen[c].delta);
    for (int c = 0; c < ch; ++c, p += 2)
        writeInt16(p, chosen[c].sample1);
    for (int c = 0; c < ch; ++c, p += 2)
        writeInt16(p, chosen[c].sample2);
    const int total = count * ch;
    std::fill(p, block.data() + m_blockAlign, uint8_t{0});
    for (int i = 0; i < total; ++i) {
        const uint8_t nibble = m_nibbles[i % ch][i / ch];
        p[i >> 1] |= (i & 1) ? nibble : static_cast<uint8_t>(nibble << 4);
    }
}
