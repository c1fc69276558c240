// The volume pass: rounding halves to even in extended precision, clipping, accumulation, progress.
#include "postproc/VolumeLevel.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <vector>

namespace {

uint8_t gained(uint8_t sample, int percent) {
    std::vector<uint8_t> samples{sample};
    VolumeLevel::apply(samples, percent);
    return samples[0];
}

} // namespace

TEST(VolumeLevel, PlusFiftyRoundsHalvesToEvenAndClips) {
    EXPECT_EQ(gained(128, 50), 129); // 1.5 rounds to 2
    EXPECT_EQ(gained(126, 50), 125); // -1.5 rounds to -2
    EXPECT_EQ(gained(130, 50), 131); // 4.5 rounds to 4
    EXPECT_EQ(gained(127, 50), 127);
    EXPECT_EQ(gained(255, 50), 255); // 319 clipped
    EXPECT_EQ(gained(0, 50), 0);     // -63.5 clipped
    EXPECT_EQ(gained(200, 50), 237); // 109.5 rounds to 110
}

TEST(VolumeLevel, MinusFiftyHalvesTheDistance) {
    EXPECT_EQ(gained(0, -50), 63); // -63.5 rounds to -64
    EXPECT_EQ(gained(127, -50), 127);
    EXPECT_EQ(gained(255, -50), 191);
    EXPECT_EQ(gained(126, -50), 127); // -0.5 rounds to 0
    EXPECT_EQ(gained(124, -50), 125); // -1.5 rounds to -2
}

TEST(VolumeLevel, ZeroPercentLeavesEverySampleAndDoublingClips) {
    std::vector<uint8_t> all(256);
    for (int b = 0; b < 256; ++b)
        all[static_cast<size_t>(b)] = static_cast<uint8_t>(b);
    std::vector<uint8_t> same = all;
    VolumeLevel::apply(same, 0);
    EXPECT_EQ(same, all);
    EXPECT_EQ(gained(190, 100), 253);
    EXPECT_EQ(gained(192, 100), 255);
    EXPECT_EQ(gained(63, 100), 0);
    EXPECT_EQ(gained(64, 100), 1);
}

TEST(VolumeLevel, GainsAccumulateRoundingEachTime) {
    // +50 % twice: 10 becomes 15, then 22.5, which rounds to 22 (not 22.5 from a gain of 2.25).
    std::vector<uint8_t> samples{137, 117};
    VolumeLevel::apply(samples, 50);
    VolumeLevel::apply(samples, 50);
    EXPECT_EQ(samples, (std::vector<uint8_t>{149, 105}));
}

TEST(VolumeLevel, PercentOutsideTheRangeIsHeldToIt) {
    EXPECT_EQ(VolumeLevel::gainTable(250), VolumeLevel::gainTable(100));
    EXPECT_EQ(VolumeLevel::gainTable(-90), VolumeLevel::gainTable(-50));
}

TEST(VolumeLevel, TiesFollowTheGainRoundedInExtendedPrecision) {
    if (std::numeric_limits<long double>::digits != 64)
        GTEST_SKIP() << "long double is not the x87 extended format on this compiler";
    // 1.05 * 30 and 0.7 * 45 are 31.5 exactly; 1 + p / 100 rounded in extended precision puts the first
    // product just below the tie and the second just above it.
    EXPECT_EQ(gained(127 + 30, 5), 127 + 31);   // in double precision 32
    EXPECT_EQ(gained(127 + 45, -30), 127 + 32); // in double precision 31
    EXPECT_EQ(gained(127 - 45, -30), 127 - 32);
}

TEST(VolumeLevel, ProgressPassesThroughEveryPercent) {
    // A minute of sound: the gauge is set at every hundredth sample, so it shows each percent once.
    std::vector<uint8_t> samples(480'000, 130);
    std::vector<int> seen;
    VolumeLevel::apply(samples, 20, [&](int percent) { seen.push_back(percent); });
    std::vector<int> everyPercent(101);
    std::iota(everyPercent.begin(), everyPercent.end(), 0);
    EXPECT_EQ(seen, everyPercent);
    EXPECT_EQ(samples.back(), 131); // 3.6 rounds to 4
}
