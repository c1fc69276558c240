// Where the trace's samples land: the block over the width, the smear guard, and the overview of a stream.
#include "audio/TraceGeometry.h"

#include <gtest/gtest.h>
#include <vector>

TEST(TraceGeometry, ZeroIsAtTheBottomAnd254AtTheTopWithTiesToEven) {
    EXPECT_EQ(traceY(0, 56), 56);
    EXPECT_EQ(traceY(254, 56), 0);
    EXPECT_EQ(traceY(255, 56), 0) << "255 lies a fraction above the top and rounds onto it";
    // 127 * 56 / 254 = 28 exactly; 1 * 127 / 254 = 0.5 rounds to the even 0, 3 * 127 / 254 = 1.5 to 2.
    EXPECT_EQ(traceY(127, 56), 28);
    EXPECT_EQ(traceY(1, 127), 127);
    EXPECT_EQ(traceY(3, 127), 125);
}

TEST(TraceGeometry, PointsSpreadOverTheWidthWithOnePointPerSample) {
    const std::vector<uint8_t> block = {0, 254, 127, 127};
    const auto points = tracePoints(block, 10, 50);
    ASSERT_TRUE(points.has_value());
    ASSERT_EQ(points->size(), 4);
    // Step 2.5 pixels: 0, 2.5 -> 2 (even), 5, 7.5 -> 8 (even).
    EXPECT_EQ(points->at(0), QPoint(0, 50));
    EXPECT_EQ(points->at(1), QPoint(2, 0));
    EXPECT_EQ(points->at(2), QPoint(5, 25));
    EXPECT_EQ(points->at(3), QPoint(8, 25));
}

TEST(TraceGeometry, EighteenHundredPointsOn477PixelsAreAllDrawnAQuarterPixelApart) {
    std::vector<uint8_t> block(1800);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i % 255);
    const auto points = tracePoints(block, 477, 56);
    ASSERT_TRUE(points.has_value());
    ASSERT_EQ(points->size(), 1800);
    // 477 / 1800 = 0.265 pixels per point: 4 -> 1.06 -> 1, 6 -> 1.59 -> 2, 1799 -> 476.7 -> 477.
    EXPECT_EQ(points->at(4).x(), 1);
    EXPECT_EQ(points->at(6).x(), 2);
    EXPECT_EQ(points->at(1799).x(), 477);
    EXPECT_EQ(points->at(127).y(), traceY(127, 56));
    EXPECT_EQ(points->at(127).y(), 28);
}

TEST(TraceGeometry, MoreThanFiftySamplesPerPixelDrawNothing) {
    const std::vector<uint8_t> fits(1500, 127);
    const std::vector<uint8_t> tooMany(1501, 127);
    EXPECT_TRUE(tracePoints(fits, 30, 56).has_value());
    EXPECT_FALSE(tracePoints(tooMany, 30, 56).has_value());
    EXPECT_FALSE(tracePoints(std::vector<uint8_t>(1800, 127), 30, 56).has_value()) << "1800 points on 30 pixels";
    EXPECT_FALSE(tracePoints(fits, 0, 56).has_value());
    EXPECT_TRUE(tracePoints({}, 0, 56).has_value()) << "an empty block is no error";
}

TEST(TraceGeometry, AnOverviewOfAFewSamplesDrawsEachAndRepeatsTheLastPastTheEnd) {
    const std::vector<uint8_t> stream = {0, 254, 127, 64};
    const QList<QPoint> points = overviewPoints(stream, 10, 254);
    // Scale 2.5: the first sample at x 0, then samples 1..3 at 2, 5, 8 and a last point at 10 that
    // reads past the end and repeats sample 3.
    ASSERT_EQ(points.size(), 5);
    EXPECT_EQ(points[0], QPoint(0, 254));
    EXPECT_EQ(points[1], QPoint(2, 0));
    EXPECT_EQ(points[2], QPoint(5, 127));
    EXPECT_EQ(points[3], QPoint(8, 190));
    EXPECT_EQ(points[4], QPoint(10, 190));
}

TEST(TraceGeometry, ALongOverviewTakesEveryStepthSampleAcrossTheWholeWidth) {
    // 10 pixels take 500 samples densely; 1234 samples go in steps of 1234 div 500 = 2, 617 points.
    std::vector<uint8_t> stream(1234);
    for (size_t i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<uint8_t>(i % 200);
    const QList<QPoint> points = overviewPoints(stream, 10, 200);
    ASSERT_EQ(points.size(), 1 + 617);
    EXPECT_EQ(points[0], QPoint(0, traceY(stream[0], 200)));
    EXPECT_EQ(points[1], QPoint(0, traceY(stream[3], 200))) << "index 1 + 1 * 2, x = round(2 * 10 / 1234)";
    EXPECT_EQ(points[100].y(), traceY(stream[201], 200));
    EXPECT_EQ(points[617].x(), 10);
    EXPECT_EQ(points[617].y(), traceY(stream[1233], 200)) << "index 1235 is past the end: the sample before it";
    EXPECT_TRUE(overviewPoints({}, 10, 200).isEmpty());
    EXPECT_TRUE(overviewPoints(stream, 0, 200).isEmpty());
}
