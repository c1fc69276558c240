// Raising or lowering the volume of working-format samples by a percentage.
#pragma once

#include "postproc/Progress.h"

#include <array>
#include <cstdint>
#include <span>

namespace VolumeLevel {

/// The range of the gain in percent: half to double the distance from the mid level.
constexpr int kMinPercent = -50;
constexpr int kMaxPercent = 100;

/// What each sample value becomes at `percent`: 127 + round(g * (b - 127)) with g = 1 + percent / 100,
/// worked out in extended precision, rounded to the nearest whole number with halves to even, and
/// clipped to 0..255. The percentage is held to the range.
std::array<uint8_t, 256> gainTable(int percent);

/// Applies the gain to every sample in place. `progress` gets round(i / size * 100) as the pass moves
/// on, each value once. Gains accumulate when applied again, each pass rounding.
void apply(std::span<uint8_t> samples, int percent, const ProgressCallback& progress = {});

} // namespace VolumeLevel
