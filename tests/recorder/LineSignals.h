// Generated line sounds in the working format (8 kHz, 8-bit unsigned, mid level 127) for the analysis tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace LineSignals {

using Samples = std::vector<uint8_t>;

/// A block at the mid level with one upward crossing (0 before, 255 after) at each given position.
Samples crossingsAt(const std::vector<int>& positions, size_t size = 1536);
/// Crossings starting at `first`, each spacing taken in turn from `spacings`, as many as fit (or `count`).
Samples crossingsSpaced(const std::vector<int>& spacings, int first = 5, int count = 1000);
/// A sine tone of the given frequency and amplitude around 127.
Samples tone(double hz, double seconds, double amplitude = 60);
/// Voiced, jittered and noisy syllables with short gaps and pauses of up to two seconds: a stand-in for a talker.
Samples speech(double seconds, uint32_t seed = 1, double longestPause = 2.0);
/// A still line: 127 with now and then a step of one.
Samples silence(double seconds, uint32_t seed = 2);

} // namespace LineSignals
