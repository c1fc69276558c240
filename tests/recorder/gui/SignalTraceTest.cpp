// The signal trace: where samples land, the smear guard, and what the bitmap shows.
#include "recorder/gui/SignalTrace.h"
#include "support/ScriptedPrompter.h"

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

TEST(TraceGeometry, MoreThanFiftySamplesPerPixelDrawNothing) {
    const std::vector<uint8_t> fits(1500, 127);
    const std::vector<uint8_t> tooMany(1501, 127);
    EXPECT_TRUE(tracePoints(fits, 30, 56).has_value());
    EXPECT_FALSE(tracePoints(tooMany, 30, 56).has_value());
    EXPECT_FALSE(tracePoints(fits, 0, 56).has_value());
    EXPECT_TRUE(tracePoints({}, 0, 56).has_value()) << "an empty block is no error";
}

TEST(TraceGeometry, StoredColoursAreBlueGreenRed) {
    EXPECT_EQ(colourFromStored(65280), QColor(0, 255, 0));
    EXPECT_EQ(colourFromStored(0x0000ff), QColor(255, 0, 0));
    EXPECT_EQ(colourFromStored(0xff0000), QColor(0, 0, 255));
}

namespace {

int pixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

} // namespace

TEST(SignalTrace, DrawsTheBlockInTheTraceColourAndClearsToTheBackColour) {
    ScriptedPrompter prompter;
    SignalTrace trace(prompter);
    trace.resize(200, 56);
    trace.setColours(QColor(0, 0, 0), QColor(0, 255, 0));
    QByteArray block(1536, static_cast<char>(254)); // a flat line along the top edge
    trace.DisplayData(block);
    const QImage& image = trace.bitmap();
    ASSERT_EQ(image.size(), QSize(200, 56));
    EXPECT_EQ(image.pixelColor(100, 0), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(100, 30), QColor(0, 0, 0));
    EXPECT_GE(pixelsOf(image, QColor(0, 255, 0)), 190);

    trace.ClearDisplay();
    EXPECT_EQ(pixelsOf(trace.bitmap(), QColor(0, 255, 0)), 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST(SignalTrace, TooNarrowATraceReportsOnceAndDrawsNothing) {
    ScriptedPrompter prompter;
    SignalTrace trace(prompter);
    trace.resize(20, 56);
    trace.setColours(QColor(0, 0, 0), QColor(0, 255, 0));
    const QByteArray block(1536, static_cast<char>(200));
    trace.DisplayData(block);
    trace.DisplayData(block); // a recording sends several blocks a second: one message, not a storm
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown.first(), QStringLiteral("Error \"DisplayData(a1:TDisp)\" Contact Brenmark support"));
    EXPECT_EQ(pixelsOf(trace.bitmap(), QColor(0, 255, 0)), 0);
}
