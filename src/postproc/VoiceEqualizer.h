// Evening out the loudness of the voice passages of working-format samples.
#pragma once

#include "postproc/Progress.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// The equalizer cuts the samples into frames of 200 (25 ms at 8 kHz), labels each frame voice or
/// silence, and raises every voice passage quieter than the average voice frame to 1.3 times that
/// average. Louder passages and silence stay as they are.
namespace VoiceEqualizer {

constexpr size_t kFrameSamples = 200;
/// A frame is voice when its level (mean distance from the mid level) is above this.
constexpr float kVoiceLevel = 1.0f;
/// A quiet passage is raised to this many times the average level.
constexpr long double kLift = 1.3L;

constexpr char kVoice = 'V';
constexpr char kSilence = 'S';
/// Label 0 belongs to no frame: it is neither voice nor silence, so no passage starts before frame 1.
constexpr char kNoFrame = '-';

struct Classification {
    /// Labels 0 to F: label j (j >= 1) is that of samples (j - 1) * 200 to j * 200 - 1. The samples
    /// after the last complete frame are not classified.
    std::string labels;
    int voicedFrames = 0;
    /// The levels of the voice frames, added up in single precision.
    float voicedSum = 0.0f;

    size_t frames() const { return labels.empty() ? 0 : labels.size() - 1; }
    /// voicedSum / voicedFrames in single precision; 0 when no frame is voice.
    float average() const;
};

/// Labels the complete frames. `progress` runs from 0 to 50.
Classification classifyFrames(std::span<const uint8_t> samples, const ProgressCallback& progress = {});

/// Fills one-frame gaps and removes one-frame blips, in place and in increasing order, for frames 1 to
/// F - 1: V S V becomes V V V, then S V S becomes S S S. Each step sees the labels already changed on
/// its left, so S V S V S becomes all silence.
void smoothLabels(std::string& labels);

/// A voice passage: samples `start` to `end` inclusive, from the first sample of its first voice frame
/// to the first sample of the silent frame after it (or the first sample of the last complete frame).
struct Passage {
    size_t start = 0;
    size_t end = 0;
    /// The label index where the passage was found (the silent frame before it), for the gauge.
    size_t foundAt = 0;
};

/// The passages that begin after a silent frame. One that begins in frame 1 or in the last complete
/// frame is not a passage; one that runs into the last frame ends at that frame's first sample.
std::vector<Passage> findPassages(const std::string& labels);

/// average / level * 1.3, worked out in extended precision and held in single precision.
float passageScale(float average, float level);

struct Result {
    size_t frames = 0;
    int voicedFrames = 0;
    float average = 0.0f;
    int passages = 0;
    /// Passages quieter than the average, which were raised.
    int raised = 0;
    /// No frame is voice: there is no average to raise to, and no sample was changed.
    bool noVoice() const { return voicedFrames == 0; }
};

/// The whole pass, in place. Without a voice frame (also for fewer than 200 samples) nothing changes
/// and the result says so. `progress` runs from 0 to 100.
Result equalize(std::span<uint8_t> samples, const ProgressCallback& progress = {});

} // namespace VoiceEqualizer
