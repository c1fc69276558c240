// Level of a run of working-format samples: the mean distance from the mid level, in single precision.
#include "audio/SignalLevel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace SignalLevel {
namespace {

// The count is exact in double; dividing there and rounding once gives the correctly rounded quotient
// also for runs longer than single precision can count.
float meanOf(float sum, size_t count) {
    return count == 0 ? 0.0f : static_cast<float>(static_cast<double>(sum) / static_cast<double>(count));
}

// Every whole number up to 2^24 is a single-precision value, so as long as the running sum stays
// there each single-precision addition is exact and an integer sum gives the same result.
constexpr uint32_t kExactLimit = 1u << 24;
// The largest distance of a byte from the mid level (255 - 127).
constexpr uint32_t kLargestDistance = 128;

inline uint32_t distance(uint8_t b) {
    return static_cast<uint32_t>(std::abs(static_cast<int>(b) - kMidLevel));
}

} // namespace

float ofBytes(std::span<const uint8_t> bytes) {
    // The equalizer measures whole recordings: the exact stretch is added up in integers (vectorised),
    // the rest one rounded addition at a time as the measure prescribes.
    const size_t n = bytes.size();
    size_t i = 0;
    uint32_t whole = 0;
    for (;;) {
        const size_t room = (kExactLimit - whole) / kLargestDistance;
        if (room == 0 || i == n)
            break;
        const size_t end = std::min(n, i + room);
        uint32_t part = 0;
        for (; i < end; ++i)
            part += distance(bytes[i]);
        whole += part;
    }
    float sum = static_cast<float>(whole);
    for (; i < n; ++i)
        sum += static_cast<float>(distance(bytes[i]));
    return meanOf(sum, n);
}

float ofSamples(std::span<const int> samples) {
    float sum = 0.0f;
    for (const int x : samples)
        sum += static_cast<float>(std::abs(static_cast<long long>(x) - kMidLevel));
    return meanOf(sum, samples.size());
}

float ofSamples(std::span<const float> samples) {
    float sum = 0.0f;
    for (const float x : samples)
        sum += std::fabs(x - static_cast<float>(kMidLevel));
    return meanOf(sum, samples.size());
}

} // namespace SignalLevel
