// PCM, G.711 and IMA ADPCM encoding of line samples.
#include "modemsim/SampleEncoder.h"

#include <algorithm>
#include <cmath>

namespace modemsim {

namespace {

constexpr int ImaSteps[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
                              25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
                              88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
                              307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
                              1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
                              3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
                              12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int ImaIndexShift[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

} // namespace

unsigned char SampleEncoder::ulaw(int pcm) {
    constexpr int Bias = 0x84;
    constexpr int Clip = 32635;
    int sign = 0;
    if (pcm < 0) {
        sign = 0x80;
        pcm = -pcm;
    }
    pcm = std::min(pcm, Clip) + Bias;
    int exponent = 7;
    for (int mask = 0x4000; !(pcm & mask) && exponent > 0; mask >>= 1)
        --exponent;
    const int mantissa = (pcm >> (exponent + 3)) & 0x0f;
    return static_cast<unsigned char>(~(sign | exponent << 4 | mantissa));
}

unsigned char SampleEncoder::alaw(int pcm) {
    static constexpr int SegmentEnds[8] = {0x1f, 0x3f, 0x7f, 0xff, 0x1ff, 0x3ff, 0x7ff, 0xfff};
    pcm >>= 3;
    int mask = 0xd5;
    if (pcm < 0) {
        mask = 0x55;
        pcm = -pcm - 1;
    }
    int segment = 0;
    while (segment < 8 && pcm > SegmentEnds[segment])
        ++segment;
    if (segment >= 8)
        return static_cast<unsigned char>(0x7f ^ mask);
    int value = segment << 4;
    value |= segment < 2 ? (pcm >> 1) & 0x0f : (pcm >> segment) & 0x0f;
    return static_cast<unsigned char>(value ^ mask);
}

unsigned SampleEncoder::imaNibble(int pcm) {
    const int step = ImaSteps[m_imaIndex];
    int diff = pcm - m_imaPredictor;
    unsigned nibble = 0;
    if (diff < 0) {
        nibble = 8;
        diff = -diff;
    }
    int delta = step >> 3;
    if (diff >= step) {
        nibble |= 4;
        diff -= step;
        delta += step;
    }
    if (diff >= step >> 1) {
        nibble |= 2;
        diff -= step >> 1;
        delta += step >> 1;
    }
    if (diff >= step >> 2) {
        nibble |= 1;
        delta += step >> 2;
    }
    m_imaPredictor = std::clamp(m_imaPredictor + ((nibble & 8) ? -delta : delta), -32768, 32767);
    m_imaIndex = std::clamp(m_imaIndex + ImaIndexShift[nibble & 7], 0, 88);
    return nibble;
}

void SampleEncoder::encode(double sample, std::string& out) {
    const int pcm = static_cast<int>(std::clamp(std::lround(sample * 32768.0), -32768L, 32767L));
    switch (m_format) {
    case SampleFormat::Unsigned8:
        out += static_cast<char>(std::clamp((pcm >> 8) + 128, 0, 255));
        break;
    case SampleFormat::Signed8:
        out += static_cast<char>(static_cast<signed char>(pcm >> 8));
        break;
    case SampleFormat::Linear16:
    case SampleFormat::Pcm14: {
        // 14-bit samples travel in 16-bit words with the two lowest bits clear.
        const int v = m_format == SampleFormat::Pcm14 ? pcm & ~3 : pcm;
        out += static_cast<char>(v & 0xff);
        out += static_cast<char>((v >> 8) & 0xff);
        break;
    }
    case SampleFormat::Ulaw:
        out += static_cast<char>(ulaw(pcm));
        break;
    case SampleFormat::Alaw:
        out += static_cast<char>(alaw(pcm));
        break;
    case SampleFormat::ImaAdpcm: {
        const unsigned nibble = imaNibble(pcm);
        if (m_imaPending < 0) {
            m_imaPending = static_cast<int>(nibble);
        } else {
            out += static_cast<char>(m_imaPending | nibble << 4);
            m_imaPending = -1;
        }
        break;
    }
    }
}

double SampleEncoder::byteRate(int sampleRate) const {
    switch (m_format) {
    case SampleFormat::Linear16:
    case SampleFormat::Pcm14:
        return 2.0 * sampleRate;
    case SampleFormat::ImaAdpcm:
        return sampleRate / 2.0;
    default:
        return sampleRate;
    }
}

} // namespace modemsim
