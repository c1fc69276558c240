// The equalizer: frame labels, smoothing in increasing order, the passage search and the scale.
#include "postproc/VoiceEqualizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Samples = std::vector<uint8_t>;
constexpr size_t kFrame = VoiceEqualizer::kFrameSamples;

// Appends `frames` frames of one value.
void addFrames(Samples& samples, size_t frames, uint8_t value) {
    samples.insert(samples.end(), frames * kFrame, value);
}

std::string labelsOf(const Samples& samples) {
    return VoiceEqualizer::classifyFrames(samples).labels;
}

std::string smoothed(std::string labels) {
    VoiceEqualizer::smoothLabels(labels);
    return labels;
}

std::vector<std::pair<size_t, size_t>> passagesOf(const std::string& labels) {
    std::vector<std::pair<size_t, size_t>> found;
    for (const VoiceEqualizer::Passage& p : VoiceEqualizer::findPassages(labels))
        found.emplace_back(p.start, p.end);
    return found;
}

} // namespace

TEST(VoiceEqualizer, AFrameIsVoiceWhenItsDistancesAddUpToMoreThan200) {
    Samples samples;
    addFrames(samples, 1, 128); // 200 in total: silence
    addFrames(samples, 1, 128);
    samples[kFrame] = 129; // 201: voice
    addFrames(samples, 1, 126);
    samples.insert(samples.end(), 199, 255); // an incomplete frame is never classified
    const VoiceEqualizer::Classification c = VoiceEqualizer::classifyFrames(samples);
    EXPECT_EQ(c.labels, "-SVS");
    EXPECT_EQ(c.frames(), 3u);
    EXPECT_EQ(c.voicedFrames, 1);
    EXPECT_EQ(c.voicedSum, 1.005f);
}

TEST(VoiceEqualizer, TheAverageIsOfTheVoiceFramesInSinglePrecision) {
    Samples samples;
    addFrames(samples, 1, 131); // 4
    addFrames(samples, 2, 127);
    addFrames(samples, 1, 117); // 10
    addFrames(samples, 1, 140); // 13
    const VoiceEqualizer::Classification c = VoiceEqualizer::classifyFrames(samples);
    EXPECT_EQ(c.labels, "-VSSVV");
    EXPECT_EQ(c.average(), 9.0f);
    EXPECT_EQ(VoiceEqualizer::Classification{}.average(), 0.0f);
}

TEST(VoiceEqualizer, SmoothingFillsGapsAndDropsBlipsLeftToRight) {
    EXPECT_EQ(smoothed("-VSV"), "-VVV");
    EXPECT_EQ(smoothed("-SVS"), "-SSS");
    EXPECT_EQ(smoothed("-VSSV"), "-VSSV");
    EXPECT_EQ(smoothed("-SVVS"), "-SVVS");
    // Each step sees the changes on its left: a chain collapses the way it is read.
    EXPECT_EQ(smoothed("-SVSVS"), "-SSSSS");
    EXPECT_EQ(smoothed("-VSVSV"), "-VVVVV");
    // Label 0 belongs to no frame, and the last frame has no right neighbour: neither is smoothed.
    EXPECT_EQ(smoothed("-VS"), "-VS");
    EXPECT_EQ(smoothed("-SSV"), "-SSV");
    EXPECT_EQ(smoothed("-"), "-");
}

TEST(VoiceEqualizer, PassagesRunFromTheirFirstVoiceSampleToTheFirstSilentOne) {
    EXPECT_EQ(passagesOf("-SVVSS"), (std::vector<std::pair<size_t, size_t>>{{200, 600}}));
    EXPECT_EQ(passagesOf("-SVVSSVSSVVVSS"),
              (std::vector<std::pair<size_t, size_t>>{{200, 600}, {1000, 1200}, {1600, 2200}}));
    // Beginning in frame 1: no silent frame before it, so it is passed over.
    EXPECT_EQ(passagesOf("-VVSSVVS"), (std::vector<std::pair<size_t, size_t>>{{800, 1200}}));
    // Beginning in the last complete frame: never a passage.
    EXPECT_EQ(passagesOf("-SVSSV"), (std::vector<std::pair<size_t, size_t>>{{200, 400}}));
    // Running into the last frame: it ends at that frame's first sample.
    EXPECT_EQ(passagesOf("-SSVVV"), (std::vector<std::pair<size_t, size_t>>{{400, 800}}));
    EXPECT_TRUE(passagesOf("-").empty());
    EXPECT_TRUE(passagesOf("-V").empty());
    EXPECT_TRUE(passagesOf("-SSSS").empty());
}

namespace {

// Frames: S, quiet passage (level 4) of two frames, S, S, loud passage (level 12) of two frames, S, S.
// The passages' first silent samples carry the passage's level, so each passage's level is exact.
Samples quietAndLoud() {
    Samples samples;
    addFrames(samples, 1, 127);
    addFrames(samples, 2, 131);
    // Three samples of the quiet passage that still add up to 12: 137 (10), 127 (0), 129 (2).
    samples[300] = 137;
    samples[301] = 127;
    samples[302] = 129;
    addFrames(samples, 2, 127);
    samples[600] = 131;
    addFrames(samples, 2, 139);
    addFrames(samples, 2, 127);
    samples[1400] = 139;
    return samples;
}

} // namespace

TEST(VoiceEqualizer, AQuietPassageIsRaisedTo1Point3TimesTheAverage) {
    Samples samples = quietAndLoud();
    const Samples before = samples;
    ASSERT_EQ(labelsOf(samples), "-SVVSSVVSS");
    const VoiceEqualizer::Result result = VoiceEqualizer::equalize(samples);
    EXPECT_EQ(result.average, 8.0f);
    EXPECT_EQ(result.passages, 2);
    EXPECT_EQ(result.raised, 1);
    // The scale is 8 / 4 * 1.3 held in single precision, just below 2.6: 10 * 2.6 rounds to 26.
    EXPECT_EQ(VoiceEqualizer::passageScale(8.0f, 4.0f), 2.6f);
    EXPECT_EQ(samples[300], 153);
    EXPECT_EQ(samples[301], 127);
    EXPECT_EQ(samples[302], 132); // 2 * 2.6 = 5.2
    EXPECT_EQ(samples[200], 137); // 4 * 2.6 = 10.4
    EXPECT_EQ(samples[599], 137);
    // The one silent sample after the passage is raised with it; the next one is not touched.
    EXPECT_EQ(samples[600], 137);
    EXPECT_EQ(samples[601], 127);
    // Silence before it and the loud passage (at or above the average) stay as they were.
    EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 200, before.begin()));
    EXPECT_TRUE(std::equal(samples.begin() + 601, samples.end(), before.begin() + 601));
}

TEST(VoiceEqualizer, PassagesAtTheFirstAndTheLastFrameAreLeftAlone) {
    Samples samples;
    addFrames(samples, 2, 131); // frames 1-2: a quiet passage from the first frame
    addFrames(samples, 2, 127);
    addFrames(samples, 2, 150); // a loud passage lifts the average
    addFrames(samples, 2, 127);
    addFrames(samples, 1, 131); // frame 9, the last complete frame: a quiet passage starts there
    samples.insert(samples.end(), 150, 131);
    ASSERT_EQ(labelsOf(samples), "-VVSSVVSSV");
    const Samples before = samples;
    const VoiceEqualizer::Result result = VoiceEqualizer::equalize(samples);
    EXPECT_EQ(result.passages, 1);
    EXPECT_EQ(result.raised, 0);
    EXPECT_EQ(samples, before);
}

TEST(VoiceEqualizer, APassageIntoTheLastFrameChangesOnlyThatFramesFirstSample) {
    Samples samples;
    addFrames(samples, 1, 127);
    addFrames(samples, 2, 150); // loud
    addFrames(samples, 2, 127);
    addFrames(samples, 3, 131); // quiet, into frame 8, the last complete one
    samples.insert(samples.end(), 120, 131);
    ASSERT_EQ(labelsOf(samples), "-SVVSSVVV");
    const VoiceEqualizer::Result result = VoiceEqualizer::equalize(samples);
    EXPECT_EQ(result.raised, 1);
    // Samples 1000 to 1400 inclusive are raised; the other 199 of frame 8 and the rest stay.
    EXPECT_GT(samples[1000], 131);
    EXPECT_GT(samples[1400], 131);
    EXPECT_EQ(samples[1401], 131);
    EXPECT_EQ(samples[1599], 131);
    EXPECT_EQ(samples.back(), 131);
    EXPECT_EQ(samples[999], 127);
}

TEST(VoiceEqualizer, WithoutAVoiceFrameNothingChanges) {
    Samples loudButShort(199, 255);
    EXPECT_TRUE(VoiceEqualizer::equalize(loudButShort).noVoice());
    EXPECT_EQ(loudButShort, Samples(199, 255));

    Samples quiet;
    addFrames(quiet, 50, 128);
    const Samples before = quiet;
    const VoiceEqualizer::Result result = VoiceEqualizer::equalize(quiet);
    EXPECT_TRUE(result.noVoice());
    EXPECT_EQ(result.frames, 50u);
    EXPECT_EQ(quiet, before);

    Samples none;
    EXPECT_TRUE(VoiceEqualizer::equalize(none).noVoice());
}

TEST(VoiceEqualizer, ClippedWhenTheScaleOvershoots) {
    Samples samples;
    addFrames(samples, 1, 127);
    addFrames(samples, 2, 131); // level 4
    samples[250] = 250;         // one high peak in the quiet passage
    addFrames(samples, 2, 127);
    addFrames(samples, 2, 250); // loud
    addFrames(samples, 2, 127);
    VoiceEqualizer::equalize(samples);
    EXPECT_EQ(samples[250], 255);
}

TEST(VoiceEqualizer, ProgressRunsUpToOneHundred) {
    Samples samples = quietAndLoud();
    std::vector<int> seen;
    VoiceEqualizer::equalize(samples, [&](int percent) { seen.push_back(percent); });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}
