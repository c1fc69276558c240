// Level of a run of working-format samples: the mean distance from the mid level, in single precision.
#include "recorder/SignalLevel.h"

#include <cmath>
#include <cstdlib>

namespace SignalLevel {
namespace {

// The count is exact in double; dividing there and rounding once gives the correctly rounded quotient
// also for runs longer than single precision can count.
float meanOf(float sum, size_t count) {
    return count == 0 ? 0.0f : static_cast<float>(static_cast<double>(sum) / static_cast<double>(count));
}

} // namespace

float ofBytes(std::span<const uint8_t> bytes) {
    float sum = 0.0f;
    for (const uint8_t b : bytes)
        sum += static_cast<float>(std::abs(static_cast<int>(b) - kMidLevel));
    return meanOf(sum, bytes.size());
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
