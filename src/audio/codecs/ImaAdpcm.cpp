// IMA ADPCM block codec: the standard step table and index adaptation.
#include "audio/codecs/ImaAdpcm.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 89> kStepTable = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr std::array<int, 16> kIndexAdjust = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kMaxStepIndex = 88;

struct ChannelState {
    int predictor = 0;
    int index = 0;

    int16_t decode(int nibble) {
        const int step = kStepTable[index];
        int diff = step >> 3;
        if (nibble & 4)
            diff += step;
        if (nibble & 2)
            diff += step >> 1;
        if (nibble & 1)
            diff += step >> 2;
        predictor = (nibble & 8) ? predictor - diff : predictor + diff;
        predictor = std::clamp(predictor, -32768, 32767);
        index = std::clamp(index + kIndexAdjust[nibble], 0, kMaxStepIndex);
        return static_cast<int16_t>(predictor);
    }

    int encode(int sample) {
        const int step = kStepTable[index];
        int diff = sample - predictor;
        int nibble = 0;
        if (diff < 0) {
            nibble = 8;
            diff = -diff;
        }
        if (diff >= step) {
            nibble |= 4;
            diff -= step;
        }
        if (diff >= step >> 1) {
            nibble |= 2;
            diff -= step >> 1;
        }
        if (diff >= step >> 2)
            nibble |= 1;
        decode(nibble); // the decoder's own arithmetic keeps both sides in step
        return nibble;
    }
};

} // namespace

int ima::samplesPerBlock(int blockAlign, int channels) {
    if (channels < 1 || channels > 2 || blockAlign <= kHeaderBytesPerChannel * channels)
        return 0;
    const int dataBytes = blockAlign - kHeaderBytesPerChannel * channels;
    if (dataBytes % (4 * channels) != 0)
        return 0;
    return dataBytes * 2 / channels + 1;
}

ImaAdpcmDecoder::ImaAdpcmDecoder(int channels, int blockAlign)
    : m_channels(channels), m_blockAlign(blockAlign), m_samplesPerBlock(ima::samplesPerBlock(blockAlign, channels)) {}

void ImaAdpcmDecoder::process(std::span<const uint8_t> block, std::span<int16_t> out) {
    const int ch = m_channels;
    ChannelState state[2];
    for (int c = 0; c < ch; ++c) {
        const uint8_t* h = block.data() + c * ima::kHeaderBytesPerChannel;
        state[c].predictor = static_cast<int16_t>(h[0] | (h[1] << 8));
        state[c].index = std::min<int>(h[2], kMaxStepIndex); // untrusted: clamp a bad index
        out[c] = static_cast<int16_t>(state[c].predictor);
    }
    const uint8_t* data = block.data() + ch * ima::kHeaderBytesPerChannel;
    const int groups = (m_samplesPerBlock - 1) / 8;
    for (int g = 0; g < groups; ++g) {
        for (int c = 0; c < ch; ++c) {
            const uint8_t* bytes = data + (g * ch + c) * 4;
            int16_t* dst = out.data() + (1 + g * 8) * ch + c;
            for (int b = 0; b < 4; ++b) {
                dst[(2 * b) * ch] = state[c].decode(bytes[b] & 0x0F);
                dst[(2 * b + 1) * ch] = state[c].decode(bytes[b] >> 4);
            }
        }
    }
}

ImaAdpcmEncoder::ImaAdpcmEncoder(int channels, int blockAlign)
    : m_channels(channels), m_blockAlign(blockAlign), m_samplesPerBlock(ima::samplesPerBlock(blockAlign, channels)),
      m_stepIndex(static_cast<size_t>(channels), 0) {}

void ImaAdpcmEncoder::reset() {
    std::fill(m_stepIndex.begin(), m_stepIndex.end(), 0);
}

void ImaAdpcmEncoder::process(std::span<const int16_t> in, std::span<uint8_t> block) {
    const int ch = m_channels;
    ChannelState state[2];
    for (int c = 0; c < ch; ++c) {
        state[c].predictor = in[c];
        state[c].index = m_stepIndex[c];
        uint8_t* h = block.data() + c * ima::kHeaderBytesPerChannel;
        h[0] = static_cast<uint8_t>(in[c] & 0xFF);
        h[1] = static_cast<uint8_t>((in[c] >> 8) & 0xFF);
        h[2] = static_cast<uint8_t>(state[c].index);
        h[3] = 0;
    }
    uint8_t* data = block.data() + ch * ima::kHeaderBytesPerChannel;
    const int groups = (m_samplesPerBlock - 1) / 8;
    for (int g = 0; g < groups; ++g) {
        for (int c = 0; c < ch; ++c) {
            uint8_t* bytes = data + (g * ch + c) * 4;
            const int16_t* src = in.data() + (1 + g * 8) * ch + c;
            for (int b = 0; b < 4; ++b) {
                const int low = state[c].encode(src[(2 * b) * ch]);
                const int high = state[c].encode(src[(2 * b + 1) * ch]);
                bytes[b] = static_cast<uint8_t>(low | (high << 4));
            }
        }
    }
    for (int c = 0; c < ch; ++c)
        m_stepIndex[c] = state[c].index;
}
