// G.711 companding: segment search on 14-bit (u-law) or 13-bit (A-law) magnitudes.
#include "audio/codecs/G711.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kSignBit = 0x80;
constexpr int kQuantMask = 0x0F;
constexpr int kSegShift = 4;
constexpr int kSegMask = 0x70;
constexpr int kUlawBias = 0x84;
constexpr int kUlawClip = 8159; // largest 14-bit magnitude u-law can code

constexpr std::array<int, 8> kUlawSegmentEnd = {0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF, 0x1FFF};
constexpr std::array<int, 8> kAlawSegmentEnd = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};

constexpr int segmentOf(int value, const std::array<int, 8>& ends) {
    for (int i = 0; i < 8; ++i)
        if (value <= ends[i])
            return i;
    return 8;
}

constexpr int16_t decodeUlaw(uint8_t code) {
    const int u = ~code & 0xFF;
    int t = ((u & kQuantMask) << 3) + kUlawBias;
    t <<= (u & kSegMask) >> kSegShift;
    return static_cast<int16_t>((u & kSignBit) ? (kUlawBias - t) : (t - kUlawBias));
}

constexpr int16_t decodeAlaw(uint8_t code) {
    const int a = code ^ 0x55;
    int t = (a & kQuantMask) << 4;
    const int segment = (a & kSegMask) >> kSegShift;
    if (segment == 0)
        t += 8;
    else
        t = (t + 0x108) << (segment - 1);
    return static_cast<int16_t>((a & kSignBit) ? t : -t);
}

constexpr std::array<int16_t, 256> makeTable(int16_t (*decode)(uint8_t)) {
    std::array<int16_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = decode(static_cast<uint8_t>(i));
    return table;
}

constexpr std::array<int16_t, 256> kUlawTable = makeTable(decodeUlaw);
constexpr std::array<int16_t, 256> kAlawTable = makeTable(decodeAlaw);

} // namespace

namespace g711 {

int16_t ulawToLinear(uint8_t code) {
    return kUlawTable[code];
}
int16_t alawToLinear(uint8_t code) {
    return kAlawTable[code];
}

uint8_t linearToUlaw(int16_t sample) {
    int value = sample >> 2;
    int mask = 0xFF;
    if (value < 0) {
        value = -value;
        mask = 0x7F;
    }
    value = std::min(value, kUlawClip) + (kUlawBias >> 2);
    const int segment = segmentOf(value, kUlawSegmentEnd);
    if (segment >= 8)
        return static_cast<uint8_t>(0x7F ^ mask);
    return static_cast<uint8_t>(((segment << 4) | ((value >> (segment + 1)) & 0x0F)) ^ mask);
}

uint8_t linearToAlaw(int16_t sample) {
    int value = sample >> 3;
    int mask = 0xD5;
    if (value < 0) {
        mask = 0x55;
        value = -value - 1;
    }
    const int segment = segmentOf(value, kAlawSegmentEnd);
    if (segment >= 8)
        return static_cast<uint8_t>(0x7F ^ mask);
    int code = segment << kSegShift;
    code |= (segment < 2 ? (value >> 1) : (value >> segment)) & kQuantMask;
    return static_cast<uint8_t>(code ^ mask);
}

} // namespace g711

size_t UlawDecoder::process(std::span<const uint8_t> in, std::span<int16_t> out) const {
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = kUlawTable[in[i]];
    return n;
}

size_t UlawEncoder::process(std::span<const int16_t> in, std::span<uint8_t> out) const {
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = g711::linearToUlaw(in[i]);
    return n;
}

size_t AlawDecoder::process(std::span<const uint8_t> in, std::span<int16_t> out) const {
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = kAlawTable[in[i]];
    return n;
}

size_t AlawEncoder::process(std::span<const int16_t> in, std::span<uint8_t> out) const {
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = g711::linearToAlaw(in[i]);
    return n;
}
