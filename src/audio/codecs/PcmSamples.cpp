// Linear PCM sample conversions.
#include "audio/codecs/PcmSamples.h"

#include <algorithm>
#include <cstring>

namespace pcm {

size_t unsigned8ToLinear(std::span<const uint8_t> in, std::span<int16_t> out) {
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<int16_t>((in[i] - kUnsigned8Offset) * 256);
    return n;
}

size_t linearToUnsigned8(std::span<const int16_t> in, std::span<uint8_t> out) {
    const size_t n = std::min(in.size(), out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(std::min((in[i] + 32768 + 128) >> 8, 255));
    return n;
}

size_t bytesToLinear(std::span<const uint8_t> in, std::span<int16_t> out) {
    const size_t n = std::min(in.size() / 2, out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<int16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    return n;
}

size_t linearToBytes(std::span<const int16_t> in, std::span<uint8_t> out) {
    const size_t n = std::min(in.size(), out.size() / 2);
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = static_cast<uint8_t>(in[i] & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>((in[i] >> 8) & 0xFF);
    }
    return n;
}

size_t stereoToMono(std::span<const int16_t> in, std::span<int16_t> out) {
    const size_t n = std::min(in.size() / 2, out.size());
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<int16_t>((in[2 * i] + in[2 * i + 1]) >> 1);
    return n;
}

size_t monoToStereo(std::span<const int16_t> in, std::span<int16_t> out) {
    const size_t n = std::min(in.size(), out.size() / 2);
    for (size_t i = 0; i < n; ++i)
        out[2 * i] = out[2 * i + 1] = in[i];
    return n;
}

} // namespace pcm
