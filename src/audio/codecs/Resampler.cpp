// libsamplerate's fastest sinc converter: ample for telephone speech, cheap enough for live recording.
#include "audio/codecs/Resampler.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <samplerate.h>

namespace {
constexpr size_t kChunkFrames = 4096;
constexpr size_t kSlackFrames = 64; ///< what the converter may release beyond the rate ratio in one call
} // namespace

Resampler::Resampler(int channels, int inputRate, int outputRate)
    : m_channels(channels), m_ratio(static_cast<double>(outputRate) / inputRate) {
    int error = 0;
    m_state = src_new(SRC_SINC_FASTEST, channels, &error);
    if (!m_state)
        throw std::bad_alloc();
    m_in.resize(kChunkFrames * channels);
    m_out.resize(maxOutputFrames(kChunkFrames) * channels);
}

Resampler::~Resampler() {
    src_delete(m_state);
}

void Resampler::reset() {
    src_reset(m_state);
}

size_t Resampler::maxOutputFrames(size_t inputFrames) const {
    return static_cast<size_t>(std::ceil(static_cast<double>(inputFrames) * m_ratio)) + kSlackFrames;
}

size_t Resampler::process(std::span<const int16_t> in, std::span<int16_t> out) {
    const size_t channels = static_cast<size_t>(m_channels);
    size_t framesLeft = in.size() / channels;
    const int16_t* src = in.data();
    size_t produced = 0;
    const size_t outFrames = out.size() / channels;
    while (framesLeft > 0) {
        const size_t chunk = std::min(framesLeft, kChunkFrames);
        src_short_to_float_array(src, m_in.data(), static_cast<int>(chunk * channels));
        size_t offset = 0;
        while (offset < chunk && produced < outFrames) {
            SRC_DATA data{};
            data.data_in = m_in.data() + offset * channels;
            data.input_frames = static_cast<long>(chunk - offset);
            data.data_out = m_out.data();
            data.output_frames = static_cast<long>(std::min(m_out.size() / channels, outFrames - produced));
            data.src_ratio = m_ratio;
            if (src_process(m_state, &data) != 0)
                return produced;
            src_float_to_short_array(m_out.data(), out.data() + produced * channels,
                                     static_cast<int>(data.output_frames_gen * channels));
            produced += static_cast<size_t>(data.output_frames_gen);
            offset += static_cast<size_t>(data.input_frames_used);
            if (data.input_frames_used == 0 && data.output_frames_gen == 0)
                break;
        }
        src += chunk * channels;
        framesLeft -= chunk;
    }
    return produced;
}
