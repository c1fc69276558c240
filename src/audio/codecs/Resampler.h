// Sample-rate conversion of interleaved 16-bit frames through libsamplerate, kept across calls.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

class Resampler {
public:
    Resampler(int channels, int inputRate, int outputRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    /// The most frames process() can give for `inputFrames` frames.
    size_t maxOutputFrames(size_t inputFrames) const;
    /// Consumes every input frame; returns the frames written to `out` (at most maxOutputFrames).
    size_t process(std::span<const int16_t> in, std::span<int16_t> out);
    void reset();

private:
    int m_channels;
    double m_ratio;
    SRC_STATE* m_state = nullptr;
    std::vector<float> m_in;
    std::vector<float> m_out;
};
