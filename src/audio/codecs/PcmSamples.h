// Linear PCM sample conversions: 8-bit unsigned (mid level 128) to and from 16-bit signed, channel mixing.
#pragma once

#include <cstdint>
#include <span>

namespace pcm {
constexpr int kUnsigned8Offset = 128;

/// Each converts min(in, out) samples (frames for the channel functions) and returns the count.
size_t unsigned8ToLinear(std::span<const uint8_t> in, std::span<int16_t> out);
/// Rounds to the nearest 8-bit level.
size_t linearToUnsigned8(std::span<const int16_t> in, std::span<uint8_t> out);
/// Little-endian bytes to samples and back.
size_t bytesToLinear(std::span<const uint8_t> in, std::span<int16_t> out);
size_t linearToBytes(std::span<const int16_t> in, std::span<uint8_t> out);
/// `in` holds interleaved stereo frames; each output sample is the mean of its two channels.
size_t stereoToMono(std::span<const int16_t> in, std::span<int16_t> out);
size_t monoToStereo(std::span<const int16_t> in, std::span<int16_t> out);
} // namespace pcm
