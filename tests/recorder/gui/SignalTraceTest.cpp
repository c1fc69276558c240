// The signal trace widget: its colours and what the bitmap shows for a block and for a whole stream.
#include "recorder/gui/SignalTrace.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <vector>

TEST(SignalTrace, StoredColoursAreBlueGreenRed) {
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
    trace.displayBlock(block);
    const QImage& image = trace.bitmap();
    ASSERT_EQ(image.size(), QSize(200, 56));
    EXPECT_EQ(image.pixelColor(100, 0), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(100, 30), QColor(0, 0, 0));
    EXPECT_GE(pixelsOf(image, QColor(0, 255, 0)), 190);

    trace.clearDisplay();
    EXPECT_EQ(pixelsOf(trace.bitmap(), QColor(0, 255, 0)), 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST(SignalTrace, TooNarrowATraceReportsOnceAndDrawsNothing) {
    ScriptedPrompter prompter;
    SignalTrace trace(prompter);
    trace.resize(20, 56);
    trace.setColours(QColor(0, 0, 0), QColor(0, 255, 0));
    const QByteArray block(1536, static_cast<char>(200));
    trace.displayBlock(block);
    trace.displayBlock(block); // a recording sends several blocks a second: one message, not a storm
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown.first(), QStringLiteral("Error \"DisplayData(a1:TDisp)\" Contact Brenmark support"));
    EXPECT_EQ(pixelsOf(trace.bitmap(), QColor(0, 255, 0)), 0);
}

TEST(SignalTrace, AnOverviewDrawsTheWholeStreamAcrossTheWidth) {
    ScriptedPrompter prompter;
    SignalTrace trace(prompter);
    trace.resize(100, 56);
    trace.setColours(QColor(0, 0, 0), QColor(0, 255, 0));
    // Far more than 50 samples per pixel: the overview thins them instead of refusing.
    QByteArray stream(20000, static_cast<char>(5)); // y = 56 - round(5 * 56 / 254) = 55, the last row
    stream.replace(10000, 10000, QByteArray(10000, static_cast<char>(254)));
    trace.drawOverview(stream);
    const QImage& image = trace.bitmap();
    EXPECT_EQ(image.pixelColor(20, 55), QColor(0, 255, 0)) << "the first half along the bottom";
    EXPECT_EQ(image.pixelColor(80, 0), QColor(0, 255, 0)) << "the second half along the top";
    EXPECT_EQ(image.pixelColor(20, 0), QColor(0, 0, 0));
    EXPECT_TRUE(prompter.shown.isEmpty());
}
