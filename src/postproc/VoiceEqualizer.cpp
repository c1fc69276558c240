// Evening out the loudness of the voice passages of working-format samples.
#include "postproc/VoiceEqualizer.h"

#include "audio/SignalLevel.h"

#include <algorithm>
#include <array>

namespace VoiceEqualizer {
namespace {

// round(part / whole * 100), the percentage the gauges show.
int percentOf(size_t part, size_t whole) {
    return whole == 0 ? 0 : static_cast<int>(roundHalfEven(static_cast<long double>(part) * 100 / whole));
}

// Scales the samples' distance from the mid level, rounding halves to even and clipping.
void scaleRun(std::span<uint8_t> run, float scale) {
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        // A single-precision scale times a whole number is exact in double precision.
        const long long v =
            roundHalfEven(static_cast<double>(b - SignalLevel::kMidLevel) * scale) + SignalLevel::kMidLevel;
        table[static_cast<size_t>(b)] = static_cast<uint8_t>(std::clamp<long long>(v, 0, 255));
    }
    for (uint8_t& b : run)
        b = table[b];
}

} // namespace

float Classification::average() const {
    if (voicedFrames == 0)
        return 0.0f;
    return static_cast<float>(static_cast<long double>(voicedSum) / voicedFrames);
}

Classification classifyFrames(std::span<const uint8_t> samples, const ProgressCallback& progress) {
    ProgressSteps steps(progress);
    const size_t size = samples.size();
    const size_t frames = size / kFrameSamples;
    Classification result;
    result.labels.assign(frames + 1, kSilence);
    result.labels[0] = kNoFrame;
    steps.report(0);
    for (size_t j = 1; j <= frames; ++j) {
        const float level = SignalLevel::ofBytes(samples.subspan((j - 1) * kFrameSamples, kFrameSamples));
        if (level > kVoiceLevel) {
            result.labels[j] = kVoice;
            ++result.voicedFrames;
            result.voicedSum += level;
        }
        steps.report(percentOf(j * kFrameSamples, size) / 2);
    }
    steps.report(percentOf(size, size) / 2);
    return result;
}

void smoothLabels(std::string& labels) {
    if (labels.size() < 3)
        return;
    for (size_t j = 1; j + 1 < labels.size(); ++j) {
        if (labels[j - 1] == kVoice && labels[j] == kSilence && labels[j + 1] == kVoice)
            labels[j] = kVoice;
        if (labels[j - 1] == kSilence && labels[j] == kVoice && labels[j + 1] == kSilence)
            labels[j] = kSilence;
    }
}

std::vector<Passage> findPassages(const std::string& labels) {
    std::vector<Passage> passages;
    if (labels.size() < 2)
        return passages;
    // The searches stop at the last frame but one: they look at the label after the current one.
    const size_t last = labels.size() - 2; // F - 1
    size_t j = 0;
    auto startsHere = [&] { return labels[j] == kSilence && labels[j + 1] == kVoice; };
    auto endsHere = [&] { return labels[j] == kVoice && labels[j + 1] == kSilence; };
    for (;;) {
        while (!startsHere() && j != last)
            ++j;
        if (j == last)
            break;
        Passage passage;
        passage.foundAt = j;
        passage.start = j * kFrameSamples;
        do
            ++j;
        while (!endsHere() && j != last);
        passage.end = j * kFrameSamples;
        passages.push_back(passage);
        if (j == last)
            break;
        ++j;
    }
    return passages;
}

float passageScale(float average, float level) {
    return static_cast<float>(static_cast<long double>(average) / level * kLift);
}

Result equalize(std::span<uint8_t> samples, const ProgressCallback& progress) {
    // Each half of the gauge has its own steps, so the second half starts from 50 again.
    Classification classes = classifyFrames(samples, progress);
    Result result;
    result.frames = classes.frames();
    result.voicedFrames = classes.voicedFrames;
    if (classes.voicedFrames == 0)
        return result;
    result.average = classes.average();
    smoothLabels(classes.labels);
    const std::vector<Passage> passages = findPassages(classes.labels);
    result.passages = static_cast<int>(passages.size());
    ProgressSteps steps(progress);
    for (const Passage& passage : passages) {
        steps.report(percentOf(passage.foundAt, result.frames) / 2 + 50);
        const std::span<uint8_t> run = samples.subspan(passage.start, passage.end - passage.start + 1);
        const float level = SignalLevel::ofBytes(run);
        if (level > 0.0f && level < result.average) {
            scaleRun(run, passageScale(result.average, level));
            ++result.raised;
        }
    }
    steps.report(100);
    return result;
}

} // namespace VoiceEqualizer
