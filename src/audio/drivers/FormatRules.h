// What the drivers share: the offered sample rates, the checks of a format's fields, block sizes.
#pragma once

#include "audio/WaveFormat.h"

#include <array>

namespace formatrules {
/// The rates every driver offers in its list; streams accept any rate in kMinRate..kMaxRate.
constexpr std::array<uint32_t, 6> kOfferedRates = {7200, 8000, 9600, 11025, 22050, 44100};
constexpr uint32_t kMinRate = 1000;
constexpr uint32_t kMaxRate = 192000;

bool rateInRange(const WaveFormat& f);
/// PCM with 1 or 2 channels, 8 or 16 bits, a block alignment of channels * bits / 8.
bool isPcm(const WaveFormat& f);
/// PCM 16-bit with the rate and channels of `other`.
bool isPcm16Like(const WaveFormat& pcm, const WaveFormat& other);
/// PCM 16-bit of that rate and channel count, with extra size 0 and the other 110 bytes untouched.
void fillPcm16(WaveFormat& f, uint32_t rate, uint16_t channels);
/// The block alignment of the ADPCM formats: 256 bytes per channel up to 11025 Hz, 512 to 22050, 1024 above.
uint16_t adpcmBlockAlign(uint32_t rate, uint16_t channels);
/// The 16-bit little-endian value at `offset` of the extra bytes, or -1 when the extra size is too small.
int extraWord(const WaveFormat& f, int offset);
} // namespace formatrules
