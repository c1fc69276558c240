// Raising or lowering the volume of working-format samples by a percentage.
#include "postproc/VolumeLevel.h"

#include "audio/SignalLevel.h"

#include <algorithm>

namespace VolumeLevel {
namespace {

// The gauge is set at every hundredth sample, so a short recording moves it through every percent too.
constexpr size_t kChunk = 100;

} // namespace

std::array<uint8_t, 256> gainTable(int percent) {
    const int p = std::clamp(percent, kMinPercent, kMaxPercent);
    // Extended precision where the compiler offers it (x86): how 1 + p / 100 was rounded decides ties
    // such as 1.05 * 30 = 31.5 (31 in extended precision, 32 in double).
    const long double gain = 1.0L + static_cast<long double>(p) / 100.0L;
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const long long v =
            roundHalfEven(gain * static_cast<long double>(b - SignalLevel::kMidLevel)) + SignalLevel::kMidLevel;
        table[static_cast<size_t>(b)] = static_cast<uint8_t>(std::clamp<long long>(v, 0, 255));
    }
    return table;
}

void apply(std::span<uint8_t> samples, int percent, const ProgressCallback& progress) {
    const std::array<uint8_t, 256> table = gainTable(percent);
    ProgressSteps steps(progress);
    const size_t size = samples.size();
    for (size_t at = 0; at < size; at += kChunk) {
        // The gauge as it stands at the chunk's hundredth sample.
        if (at + 99 < size)
            steps.report(static_cast<int>(roundHalfEven(static_cast<long double>(at + 99) * 100 / size)));
        const size_t end = std::min(size, at + kChunk);
        for (size_t i = at; i < end; ++i)
            samples[i] = table[samples[i]];
    }
}

} // namespace VolumeLevel
