// One open conversion of the codec service: whole source blocks in, destination bytes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class CodecStream {
public:
    virtual ~CodecStream() = default;
    /// Bytes of one whole source block; only multiples of it are consumed.
    virtual size_t sourceBlockBytes() const = 0;
    /// The most destination bytes `sourceBytes` source bytes can give (0 below one whole block).
    virtual size_t destinationBytes(size_t sourceBytes) const = 0;
    /// Converts the whole source blocks of `source` that fit, with their output, in `destination`.
    /// Sets `consumed` to the source bytes used and returns the destination bytes produced.
    virtual size_t convert(std::span<const uint8_t> source, std::span<uint8_t> destination, size_t& consumed) = 0;
    /// Drops pending state (codec history, resampler delay).
    virtual void reset() = 0;
};
