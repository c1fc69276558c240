// The level measures: the mean distance from the mid level, summed and divided in single precision.
#include "audio/SignalLevel.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SignalLevel, MeanDistanceFromTheMidLevel) {
    const std::vector<uint8_t> bytes{127, 127, 0, 255};
    const std::vector<int> ints{127, 127, 0, 255};
    const std::vector<float> floats{127, 127, 0, 255};
    EXPECT_EQ(SignalLevel::ofBytes(bytes), 63.75f);
    EXPECT_EQ(SignalLevel::ofSamples(ints), 63.75f);
    EXPECT_EQ(SignalLevel::ofSamples(floats), 63.75f);
    EXPECT_EQ(SignalLevel::ofBytes(std::vector<uint8_t>{128, 128, 129}), 4.0f / 3.0f);
    EXPECT_EQ(SignalLevel::ofBytes({}), 0.0f);
    EXPECT_EQ(SignalLevel::ofSamples(std::vector<int>{-1000}), 1127.0f);
}

TEST(SignalLevel, VoiceThresholdOfTheEqualizerIsExact) {
    // A 200-sample frame differing from 127 by 200 in total has level 1.0 exactly; 201 lifts it above.
    std::vector<uint8_t> frame(200, 128);
    EXPECT_EQ(SignalLevel::ofBytes(frame), 1.0f);
    frame[0] = 129;
    EXPECT_GT(SignalLevel::ofBytes(frame), 1.0f);
}

TEST(SignalLevel, TheSumIsHeldInSinglePrecision) {
    // 131072 distances of 128 bring the sum to 2^24, where adding 1 no longer changes a single-precision
    // value: the following 131072 distances of 1 are lost, the level is 64.0 and not 64.5.
    std::vector<uint8_t> run(131072, 255);
    run.resize(262144, 128);
    EXPECT_EQ(SignalLevel::ofBytes(run), 64.0f);
}

TEST(SignalLevel, LongRunsMatchAddingOneDistanceAtATime) {
    // Whole recordings are measured with an exact integer sum up to 2^24 and rounded additions after
    // it; the result must be that of one single-precision addition per sample.
    std::vector<uint8_t> run(3'000'000);
    uint32_t noise = 12345;
    for (uint8_t& b : run) {
        noise = noise * 1103515245u + 12345u;
        b = static_cast<uint8_t>(noise >> 24);
    }
    for (const size_t length : {size_t{1}, size_t{199}, size_t{131071}, size_t{131073}, size_t{400'000}, run.size()}) {
        const std::span<const uint8_t> part(run.data(), length);
        float sum = 0.0f;
        for (const uint8_t b : part)
            sum += static_cast<float>(std::abs(b - 127));
        EXPECT_EQ(SignalLevel::ofBytes(part), static_cast<float>(static_cast<double>(sum) / length)) << length;
    }
}
