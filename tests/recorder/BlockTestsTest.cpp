// The two block tests: stillness by standard deviation, and a tone by evenly spaced mid-level crossings.
#include "recorder/LineAnalysis.h"

#include "recorder/LineSignals.h"

#include <gtest/gtest.h>

using namespace LineSignals;

namespace {

Samples mixture(size_t low126, size_t high128) {
    Samples block(low126, 126);
    block.insert(block.end(), high128, 128);
    block.resize(1536, 127);
    return block;
}

} // namespace

TEST(QuietBlock, EqualValuesAreQuietAtAnyLevel) {
    for (const uint8_t level : {0, 127, 200, 255})
        EXPECT_TRUE(isQuietBlock(Samples(1536, level))) << int(level);
}

TEST(QuietBlock, AlternatingOneStepEitherSideIsNotQuiet) {
    Samples block(1536);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = i % 2 ? 128 : 126;
    EXPECT_FALSE(isQuietBlock(block)); // deviation 1.0003
}

TEST(QuietBlock, DeviationIsTheSampleDeviationWithDivisorNMinusOne) {
    // Squared deviations 1535.997: below 1.0 over 1536, not below over 1535.
    EXPECT_FALSE(isQuietBlock(mixture(767, 769)));
    // Squared deviations 1534: 0.99967 over 1535.
    EXPECT_TRUE(isQuietBlock(mixture(767, 767)));
}

TEST(QuietBlock, RunsTooShortToMeasureAreNotQuiet) {
    EXPECT_FALSE(isQuietBlock({}));
    EXPECT_FALSE(isQuietBlock(Samples{127}));
    EXPECT_TRUE(isQuietBlock(Samples{127, 127}));
}

TEST(PeriodicBlock, SquareWaveOfExactlyEvenSpacingIsNotPeriodic) {
    Samples wave(1536);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = (i % 20) < 10 ? 0 : 255;
    EXPECT_FALSE(isPeriodicBlock(wave));
}

TEST(PeriodicBlock, SquareWaveOfMixedSpacingIsPeriodic) {
    Samples mixed;
    for (size_t run = 0; mixed.size() < 1536; ++run) {
        // Periods of 20 and 21 in turn: a low of 10 or 11, then a high of 10.
        const size_t low = run % 2 ? 11 : 10;
        mixed.insert(mixed.end(), low, 0);
        mixed.insert(mixed.end(), 10, 255);
    }
    mixed.resize(1536);
    EXPECT_TRUE(isPeriodicBlock(mixed));
}

TEST(PeriodicBlock, TwelveCrossingsAreTooFewThirteenAreEnough) {
    const std::vector<int> spacings{100, 101};
    EXPECT_FALSE(isPeriodicBlock(crossingsSpaced(spacings, 5, 12)));
    EXPECT_TRUE(isPeriodicBlock(crossingsSpaced(spacings, 5, 13)));
    EXPECT_FALSE(isPeriodicBlock(crossingsSpaced({100}, 5, 13))); // perfectly even
}

TEST(PeriodicBlock, SpacingsMayDeviateByUpToOneSample) {
    // Eleven spacings with squared deviations summing to 10: deviation exactly 1.0, the limit included.
    const std::vector<int> atLimit{99, 101, 99, 101, 99, 101, 99, 101, 99, 101, 100, 100};
    EXPECT_TRUE(isPeriodicBlock(crossingsSpaced(atLimit, 5, 13)));
    // Twelve spacings of 99 and 101: deviation 1.044.
    EXPECT_FALSE(isPeriodicBlock(crossingsSpaced({99, 101}, 5, 14)));
    EXPECT_FALSE(isPeriodicBlock(crossingsSpaced({50, 53})));
    EXPECT_TRUE(isPeriodicBlock(crossingsSpaced({40, 40, 41})));
}

TEST(PeriodicBlock, TheLastSpacingIsLeftOut) {
    // Eleven spacings of 100 and 101 in turn, then one of 300 that would spoil the deviation.
    std::vector<int> positions{5};
    for (int i = 0; i < 11; ++i)
        positions.push_back(positions.back() + (i % 2 ? 101 : 100));
    positions.push_back(positions.back() + 300);
    ASSERT_EQ(positions.size(), 13u);
    EXPECT_TRUE(isPeriodicBlock(crossingsAt(positions)));
}

TEST(PeriodicBlock, ElevenPositionsAfterACrossingAreNotTested) {
    // Spacings 12 and 13: every crossing is seen. Spacings 11 and 12: each crossing 11 after the previous
    // one is passed over, and what is left is perfectly even (23 apart).
    EXPECT_TRUE(isPeriodicBlock(crossingsSpaced({12, 13})));
    EXPECT_FALSE(isPeriodicBlock(crossingsSpaced({11, 12})));
}

TEST(PeriodicBlock, ACrossingMustLeaveAndReachBeyondTheMidLevel) {
    std::vector<int> positions;
    for (int p = 5, i = 0; p + 1 < 1536; p += i++ % 2 ? 41 : 40)
        positions.push_back(p);
    Samples fromMid = crossingsAt(positions);
    Samples toMid = crossingsAt(positions);
    for (const int p : positions) {
        fromMid[static_cast<size_t>(p) - 1] = 127;
        toMid[static_cast<size_t>(p) + 1] = 127;
    }
    EXPECT_TRUE(isPeriodicBlock(crossingsAt(positions)));
    EXPECT_FALSE(isPeriodicBlock(fromMid));
    EXPECT_FALSE(isPeriodicBlock(toMid));
}

TEST(PeriodicBlock, DialToneIsPeriodicSpeechAndStillnessAreNot) {
    const Samples dial = tone(425, 0.192);
    EXPECT_TRUE(isPeriodicBlock(dial));
    EXPECT_FALSE(isQuietBlock(dial));
    EXPECT_FALSE(isPeriodicBlock(Samples(1536, 127)));
    EXPECT_FALSE(isPeriodicBlock({}));
    EXPECT_FALSE(isPeriodicBlock(Samples{0, 127, 255}));
}
