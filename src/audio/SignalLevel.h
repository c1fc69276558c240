// Level of a run of working-format samples: the mean distance from the mid level, in single precision.
#pragma once

#include <cstdint>
#include <span>

namespace SignalLevel {

/// The working format's mid level (8-bit unsigned PCM); silence sits here.
constexpr int kMidLevel = 127;

/// Mean of |x - 127| over the run. The distances are added up in a single-precision sum (every addition
/// rounded to single precision, as the equalizer's thresholds expect) and the quotient is rounded to
/// single precision. An empty run has level 0.
float ofBytes(std::span<const uint8_t> bytes);

/// The same measure over samples held as numbers.
float ofSamples(std::span<const int> samples);
float ofSamples(std::span<const float> samples);

} // namespace SignalLevel
