// CCITT G.711 A-law and u-law companding between 16-bit linear samples and 8-bit codes.
#pragma once

#include <cstdint>
#include <span>

namespace g711 {
/// Decoded values span -32124..32124 (u-law) and -32256..32256 (A-law).
int16_t ulawToLinear(uint8_t code);
int16_t alawToLinear(uint8_t code);
uint8_t linearToUlaw(int16_t sample);
uint8_t linearToAlaw(int16_t sample);
} // namespace g711

/// Stateless sample-by-sample codecs; process() converts min(in, out) samples and returns the count.
class UlawDecoder {
public:
    size_t process(std::span<const uint8_t> in, std::span<int16_t> out) const;
    void reset() {}
};

class UlawEncoder {
public:
    size_t process(std::span<const int16_t> in, std::span<uint8_t> out) const;
    void reset() {}
};

class AlawDecoder {
public:
    size_t process(std::span<const uint8_t> in, std::span<int16_t> out) const;
    void reset() {}
};

class AlawEncoder {
public:
    size_t process(std::span<const int16_t> in, std::span<uint8_t> out) const;
    void reset() {}
};
