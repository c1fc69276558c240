// Field checks shared by the drivers.
#include "audio/drivers/FormatRules.h"

namespace formatrules {

bool rateInRange(const WaveFormat& f) {
    return f.samplesPerSec() >= kMinRate && f.samplesPerSec() <= kMaxRate;
}

bool isPcm(const WaveFormat& f) {
    return f.formatTag() == wavetag::Pcm && (f.channels() == 1 || f.channels() == 2) &&
           (f.bitsPerSample() == 8 || f.bitsPerSample() == 16) &&
           f.blockAlign() == f.channels() * f.bitsPerSample() / 8 && rateInRange(f);
}

bool isPcm16Like(const WaveFormat& pcm, const WaveFormat& other) {
    return isPcm(pcm) && pcm.bitsPerSample() == 16 && pcm.channels() == other.channels() &&
           pcm.samplesPerSec() == other.samplesPerSec();
}

void fillPcm16(WaveFormat& f, uint32_t rate, uint16_t channels) {
    f.setFormatTag(wavetag::Pcm);
    f.setChannels(channels);
    f.setSamplesPerSec(rate);
    f.setAvgBytesPerSec(rate * channels * 2);
    f.setBlockAlign(static_cast<uint16_t>(channels * 2));
    f.setBitsPerSample(16);
    f.setExtraSize(0);
}

uint16_t adpcmBlockAlign(uint32_t rate, uint16_t channels) {
    const uint16_t perChannel = rate <= 11025 ? 256 : rate <= 22050 ? 512 : 1024;
    return static_cast<uint16_t>(perChannel * channels);
}

int extraWord(const WaveFormat& f, int offset) {
    const auto extra = f.extra();
    if (static_cast<int>(extra.size()) < offset + 2)
        return -1;
    return extra[offset] | (extra[offset + 1] << 8);
}

} // namespace formatrules
