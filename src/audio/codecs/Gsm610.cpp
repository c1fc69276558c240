// libgsm in WAV49 mode: the library alternates between the two halves of a 65-byte block itself.
#include "audio/codecs/Gsm610.h"

#include <algorithm>
#include <gsm.h>
#include <new>

namespace {

gsm makeState() {
    gsm state = gsm_create();
    if (!state)
        throw std::bad_alloc();
    int on = 1;
    gsm_option(state, GSM_OPT_WAV49, &on);
    return state;
}

} // namespace

GsmDecoder::GsmDecoder() : m_state(makeState()) {}
GsmDecoder::~GsmDecoder() {
    gsm_destroy(m_state);
}

void GsmDecoder::reset() {
    gsm_destroy(m_state);
    m_state = nullptr;
    m_state = makeState();
}

bool GsmDecoder::process(std::span<const uint8_t> block, std::span<int16_t> out) {
    // libgsm takes non-const frames but only reads them.
    gsm_byte frame[gsm610::kBlockBytes];
    std::copy_n(block.data(), gsm610::kBlockBytes, frame);
    const bool first = gsm_decode(m_state, frame, out.data()) == 0;
    const bool second =
        gsm_decode(m_state, frame + gsm610::kSecondFrameOffset, out.data() + gsm610::kSamplesPerFrame) == 0;
    if (!first || !second) {
        std::fill_n(out.data(), gsm610::kSamplesPerBlock, int16_t{0});
        return false;
    }
    return true;
}

GsmEncoder::GsmEncoder() : m_state(makeState()) {}
GsmEncoder::~GsmEncoder() {
    gsm_destroy(m_state);
}

void GsmEncoder::reset() {
    gsm_destroy(m_state);
    m_state = nullptr;
    m_state = makeState();
}

void GsmEncoder::process(std::span<const int16_t> in, std::span<uint8_t> block) {
    gsm_signal samples[gsm610::kSamplesPerBlock];
    std::copy_n(in.data(), gsm610::kSamplesPerBlock, samples);
    // The second frame overwrites the last byte of the first: WAV49 shares it between the two.
    gsm_byte frame[gsm610::kBlockBytes + 1];
    gsm_encode(m_state, samples, frame);
    gsm_encode(m_state, samples + gsm610::kSamplesPerFrame, frame + gsm610::kFirstFrameBytes);
    std::copy_n(frame, gsm610::kBlockBytes, block.data());
}
