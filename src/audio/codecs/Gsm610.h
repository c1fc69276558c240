// GSM 06.10 full-rate speech in the WAV block layout (two 160-sample frames packed in 65 bytes), through libgsm.
#pragma once

#include <cstdint>
#include <span>

struct gsm_state;

namespace gsm610 {
constexpr int kBlockBytes = 65;
constexpr int kSamplesPerBlock = 320;
constexpr int kSamplesPerFrame = 160;
constexpr int kFirstFrameBytes = 32;   ///< the second frame of a block starts here when encoding
constexpr int kSecondFrameOffset = 33; ///< and here when decoding
} // namespace gsm610

class GsmDecoder {
public:
    GsmDecoder();
    ~GsmDecoder();
    GsmDecoder(const GsmDecoder&) = delete;
    GsmDecoder& operator=(const GsmDecoder&) = delete;
    /// Decodes one 65-byte block into 320 samples; returns false for a block libgsm rejects
    /// (its samples are then silence).
    bool process(std::span<const uint8_t> block, std::span<int16_t> out);
    void reset();

private:
    gsm_state* m_state = nullptr;
};

class GsmEncoder {
public:
    GsmEncoder();
    ~GsmEncoder();
    GsmEncoder(const GsmEncoder&) = delete;
    GsmEncoder& operator=(const GsmEncoder&) = delete;
    /// Encodes 320 samples into one 65-byte block.
    void process(std::span<const int16_t> in, std::span<uint8_t> block);
    void reset();

private:
    gsm_state* m_state = nullptr;
};
