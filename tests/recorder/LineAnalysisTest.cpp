// The silence window, the line-end counter, the logger lines, and whole calls streamed block by block.
#include "recorder/LineAnalysis.h"

#include "base/Logger.h"

#include "recorder/LineSignals.h"

#include <gtest/gtest.h>

#include <optional>

using namespace LineSignals;

namespace {

constexpr double kBlockSeconds = 0.192;

struct LineAnalysisTest : ::testing::Test {
    Logger logger;
    LineAnalysis analysis{logger};

    /// Feeds the sound in whole blocks; returns the number of the block (1-based) that ended the call.
    std::optional<int> stream(const Samples& sound, int blocksBefore = 0) {
        for (size_t at = 0; at + LineAnalysis::kBlockSize <= sound.size(); at += LineAnalysis::kBlockSize) {
            ++blocksBefore;
            if (analysis.analyse(std::span(sound).subspan(at, LineAnalysis::kBlockSize)))
                return blocksBefore;
        }
        return std::nullopt;
    }

    LineVerdict feed(const Samples& block, int times = 1) {
        LineVerdict last = LineVerdict::Neither;
        for (int i = 0; i < times; ++i)
            last = analysis.analyseBlock(block);
        return last;
    }

    qsizetype count(const char* line) const { return logger.lines().count(QString::fromLatin1(line)); }
};

const Samples kQuiet(1536, 127);
const Samples kBusy = speech(0.192, 7);

Samples join(std::initializer_list<Samples> parts) {
    Samples all;
    for (const Samples& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(WindowLength, DisconnectTimeOverBlockDurationRoundedHalfToEven) {
    EXPECT_EQ(LineAnalysis::windowLength(10, 8000), 52);
    EXPECT_EQ(LineAnalysis::windowLength(1, 8000), 5);
    EXPECT_EQ(LineAnalysis::windowLength(30, 8000), 156);
    EXPECT_EQ(LineAnalysis::windowLength(10, 7200), 47);
    // At 768 samples per second a block lasts exactly 2 s: 1.5 rounds to 2, 2.5 to 2, 3.5 to 4.
    EXPECT_EQ(LineAnalysis::windowLength(3, 768), 2);
    EXPECT_EQ(LineAnalysis::windowLength(5, 768), 2);
    EXPECT_EQ(LineAnalysis::windowLength(7, 768), 4);
}

TEST(WindowLength, UnusableSettingsStillGiveAWorkingWindow) {
    EXPECT_EQ(LineAnalysis::windowLength(1, 768), 1); // 0.5 would round to an empty window
    EXPECT_EQ(LineAnalysis::windowLength(10, 0), 52);
    EXPECT_EQ(LineAnalysis::windowLength(10, -7200), 52);
    EXPECT_EQ(LineAnalysis::windowLength(0, 8000), 5);
    EXPECT_EQ(LineAnalysis::windowLength(-3, 8000), 5);
    EXPECT_EQ(LineAnalysis::windowLength(2'000'000'000, 8000), 156);
}

TEST_F(LineAnalysisTest, OneSecondWindowDeclaresSilenceAtTheSixthQuietBlock) {
    analysis.reset(1);
    ASSERT_EQ(analysis.windowLength(), 5);
    EXPECT_EQ(feed(kQuiet, 5), LineVerdict::Neither);
    EXPECT_EQ(analysis.filledCount(), 5);
    EXPECT_FALSE(analysis.callEnded());
    EXPECT_EQ(count("Silence..."), 0);
    EXPECT_EQ(feed(kQuiet), LineVerdict::Silence);
    EXPECT_EQ(analysis.lineEndCounter(), 4);
    EXPECT_TRUE(analysis.callEnded());
    EXPECT_EQ(count("Silence..."), 1);
}

TEST_F(LineAnalysisTest, TenSecondWindowNeedsFortyFiveOfTheLastFiftyTwoBlocksQuiet) {
    analysis.reset(10);
    EXPECT_EQ(feed(kQuiet, 52), LineVerdict::Neither);
    EXPECT_EQ(feed(kQuiet), LineVerdict::Silence);

    // Blocks 2..53 hold 7 busy and 45 quiet ones: silence. With one busy block more, 44: no silence.
    analysis.reset(10);
    feed(kBusy, 8);
    feed(kQuiet, 44);
    EXPECT_EQ(analysis.quietInWindow(), 44);
    EXPECT_EQ(feed(kQuiet), LineVerdict::Silence);
    analysis.reset(10);
    feed(kBusy, 9);
    feed(kQuiet, 43);
    EXPECT_EQ(feed(kQuiet), LineVerdict::Neither);
    EXPECT_EQ(feed(kQuiet), LineVerdict::Silence);
}

TEST_F(LineAnalysisTest, PeriodicBlocksAddUpEvenWhenNotConsecutive) {
    const Samples dial = tone(425, 0.192);
    analysis.reset(10);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(feed(dial), LineVerdict::Periodic); // also while the window fills
        EXPECT_EQ(feed(kBusy), LineVerdict::Neither);
        EXPECT_EQ(analysis.lineEndCounter(), i);
    }
    EXPECT_FALSE(analysis.callEnded());
    EXPECT_TRUE(analysis.analyse(dial));
    EXPECT_EQ(count("Periodic signal..."), 4);
    // A periodic block beyond the fourth carries the counter past 4: the call stays ended.
    EXPECT_TRUE(analysis.analyse(dial));
    EXPECT_EQ(analysis.lineEndCounter(), 5);
}

TEST_F(LineAnalysisTest, ToneLeftOutOfTheEndStillEndsOnSilence) {
    const Samples dial = tone(425, 0.192);
    analysis.reset(1);
    analysis.setTonesEndCall(false);
    EXPECT_EQ(feed(dial, 10), LineVerdict::Periodic); // logged, but no end
    EXPECT_EQ(analysis.lineEndCounter(), 0);
    EXPECT_FALSE(analysis.callEnded());
    EXPECT_EQ(feed(kQuiet, 5), LineVerdict::Silence);
    EXPECT_TRUE(analysis.callEnded());
    // The next reception counts tones again.
    analysis.reset(1);
    feed(dial, 4);
    EXPECT_TRUE(analysis.callEnded());
}

TEST_F(LineAnalysisTest, SilenceIsDecidedBeforeThePeriodicTest) {
    analysis.reset(10);
    feed(kQuiet, 52);
    EXPECT_EQ(feed(tone(425, 0.192)), LineVerdict::Silence); // 51 of 52 quiet
    EXPECT_EQ(count("Periodic signal..."), 0);
}

TEST_F(LineAnalysisTest, ResetStartsAFreshReception) {
    analysis.reset(1);
    feed(kQuiet, 6);
    ASSERT_TRUE(analysis.callEnded());
    analysis.reset(1);
    EXPECT_EQ(analysis.lineEndCounter(), 0);
    EXPECT_EQ(analysis.filledCount(), 0);
    EXPECT_EQ(feed(kQuiet, 5), LineVerdict::Neither);
}

TEST_F(LineAnalysisTest, ARecordingGoingOnAfterTheEndLogsEachRunOfSilenceOnce) {
    analysis.reset(1);
    feed(kQuiet, 30);
    EXPECT_EQ(count("Silence..."), 1);
    feed(kBusy, 5);
    feed(kQuiet, 10);
    EXPECT_EQ(count("Silence..."), 2);
    EXPECT_TRUE(analysis.callEnded());
}

TEST_F(LineAnalysisTest, FramesOfOtherSizesDoNotBreakTheWindow) {
    analysis.reset(1);
    for (const size_t size : {0, 1, 2, 3, 100, 4000})
        EXPECT_EQ(analysis.analyseBlock(Samples(size, 0)), LineVerdict::Neither);
    EXPECT_EQ(analysis.filledCount(), 5);
    EXPECT_FALSE(analysis.callEnded());
}

TEST_F(LineAnalysisTest, GeneratedToneEndsTheRecording) {
    analysis.reset(10);
    const std::optional<int> dial = stream(join({speech(5), tone(425, 3)}));
    ASSERT_TRUE(dial);
    EXPECT_LE(*dial * kBlockSeconds, 5 + 4 * kBlockSeconds + kBlockSeconds);

    // A busy tone, half a second on and half a second off, ends it as well.
    analysis.reset(10);
    Samples busy = speech(5);
    for (int i = 0; i < 4; ++i)
        busy = join({busy, tone(425, 0.5), silence(0.5)});
    EXPECT_TRUE(stream(busy));
}

TEST_F(LineAnalysisTest, SpeechDoesNotEndTheRecording) {
    // The talker's pauses last up to two seconds, so a longer disconnect time must let them pass.
    for (const int discTime : {3, 10}) {
        analysis.reset(discTime);
        EXPECT_FALSE(stream(speech(120, 11))) << discTime;
        EXPECT_LT(analysis.lineEndCounter(), 4) << discTime;
    }
    EXPECT_EQ(count("Silence..."), 0);
}

TEST_F(LineAnalysisTest, SilenceAfterSpeechEndsTheRecordingAfterAboutTheDisconnectTime) {
    for (const int discTime : {1, 10, 30}) {
        analysis.reset(discTime);
        const Samples talk = speech(40, 3, 0); // a talker without pauses: no quiet block before the end
        ASSERT_FALSE(stream(talk)) << discTime;
        const int talkBlocks = static_cast<int>(talk.size() / LineAnalysis::kBlockSize);
        const std::optional<int> end = stream(silence(60), talkBlocks);
        ASSERT_TRUE(end) << discTime;
        const double silentFor = (*end - talkBlocks) * kBlockSeconds;
        EXPECT_GE(silentFor, 0.85 * discTime - kBlockSeconds) << discTime;
        EXPECT_LE(silentFor, discTime + kBlockSeconds) << discTime;
    }
}
