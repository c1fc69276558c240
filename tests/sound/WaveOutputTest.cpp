// The wave output's buffer rules on a scripted device: pre-buffering, reports in order, Close, the
// block pool, and the preview's feeding from a stream.
#include "sound/WaveOutput.h"
#include "FakeOutputSink.h"
#include "audio/AudioErrors.h"
#include "sound/AudioBlockPool.h"
#include "sound/StreamPreview.h"

#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(int count, char value) {
    return QByteArray(count, value);
}

class WaveOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        out.setSinkFactory(fakeSinkFactory(device));
        QObject::connect(&out, &WaveOutput::audioPlayed, [this](const QByteArray& data) { played.append(data); });
    }
    void play(const QByteArray& data) { out.play(data.constData(), data.size()); }

    FakeSinkLog device;
    WaveOutput out;
    QList<QByteArray> played;
};

} // namespace

TEST(AudioBlockPool, TakesTheExactSizeBeforeALargerBlockAndTheSmallestLargerBeforeANewOne) {
    AudioBlockPool pool;
    AudioBlock a = pool.take(4096);
    AudioBlock b = pool.take(2048);
    AudioBlock c = pool.take(3000);
    const char* exact = b.data.get();
    const char* smallestLarger = c.data.get();
    pool.giveBack(std::move(a));
    pool.giveBack(std::move(c));
    pool.giveBack(std::move(b));
    ASSERT_EQ(pool.allocations(), 3u);

    AudioBlock again = pool.take(2048);
    EXPECT_EQ(again.data.get(), exact) << "the 2048-byte block, though larger ones came back first";
    AudioBlock mid = pool.take(2500);
    EXPECT_EQ(mid.data.get(), smallestLarger) << "3000 bytes serve 2500 before 4096 do";
    EXPECT_EQ(mid.capacity, 3000u);
    AudioBlock big = pool.take(5000);
    EXPECT_EQ(pool.allocations(), 4u) << "nothing free is large enough: a new block";
    EXPECT_EQ(pool.freeCount(), 1u);
    pool.clear();
    EXPECT_EQ(pool.freeCount(), 0u);
}

TEST_F(WaveOutputTest, NothingSoundsUntilTheFifthBufferThenAllFiveGoOutInOrder) {
    out.open();
    for (char i = 1; i <= 4; ++i)
        play(bytes(100 + i, i));
    EXPECT_TRUE(device.written.isEmpty());
    EXPECT_EQ(out.heldCount(), 4);
    EXPECT_EQ(out.queuedCount(), 0);

    play(bytes(105, 5));
    ASSERT_EQ(device.writes, (std::vector<qint64>{101, 102, 103, 104, 105}));
    EXPECT_EQ(device.written.left(101), bytes(101, 1));
    EXPECT_EQ(device.written.right(105), bytes(105, 5));
    EXPECT_EQ(out.heldCount(), 0);
    EXPECT_EQ(out.queuedCount(), 5);

    play(bytes(50, 6)); // past the pre-buffer every buffer is written at once
    EXPECT_EQ(device.writes.back(), 50);
    EXPECT_EQ(device.drains, 0) << "a stream that goes on is not drained";
}

TEST_F(WaveOutputTest, AStreamEndingInThePreBufferIsWrittenAndDrained) {
    out.open();
    play(bytes(30, 1));
    play(bytes(20, 2));
    out.startHeld();
    EXPECT_EQ(device.writes, (std::vector<qint64>{30, 20}));
    EXPECT_EQ(device.drains, 1);
    play(bytes(10, 3));
    EXPECT_EQ(device.writes.size(), 3u) << "the pre-buffer is over";
}

TEST_F(WaveOutputTest, PlayingNoBytesChangesNothingAlsoWhilePreBuffering) {
    out.open();
    play(bytes(10, 1));
    out.play(nullptr, 0);
    out.play("x", 0);
    EXPECT_EQ(out.heldCount(), 1);
    for (int i = 0; i < 3; ++i)
        play(bytes(10, 2));
    EXPECT_TRUE(device.written.isEmpty()) << "two empty calls did not count towards the five";
    out.play(nullptr, 0);
    EXPECT_TRUE(device.written.isEmpty());
    play(bytes(10, 3));
    EXPECT_EQ(device.writes.size(), 5u);
}

TEST_F(WaveOutputTest, PlayWhileClosedIsRefused) {
    try {
        play(bytes(10, 1));
        FAIL() << "no error";
    } catch (const AudioIOError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot perform this action while not active."));
    }
}

TEST_F(WaveOutputTest, EachBufferIsReportedOnceHeardInOrderAndThenLeavesTheQueue) {
    out.open();
    for (char i = 1; i <= 6; ++i)
        play(bytes(100, i));
    int queuedDuringReport = -1;
    QObject::connect(&out, &WaveOutput::audioPlayed, [&] { queuedDuringReport = out.queuedCount(); });

    device.played = 150; // the first buffer and half of the second
    out.checkPlayed();
    ASSERT_EQ(played.size(), 1);
    EXPECT_EQ(played[0], bytes(100, 1));
    EXPECT_EQ(queuedDuringReport, 6) << "the buffer being reported still counts";
    EXPECT_EQ(out.queuedCount(), 5);

    device.played = 600;
    out.checkPlayed();
    ASSERT_EQ(played.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(played[i], bytes(100, static_cast<char>(i + 1)));
    EXPECT_EQ(out.queuedCount(), 0);
    EXPECT_EQ(out.playedBytes(), 600);
}

TEST_F(WaveOutputTest, CloseSilencesTheDeviceAndDropsEveryBufferUnreported) {
    out.open();
    for (char i = 1; i <= 7; ++i)
        play(bytes(100, i));
    device.played = 100;
    out.checkPlayed();
    ASSERT_EQ(played.size(), 1);
    out.close();
    EXPECT_FALSE(device.open) << "the device stream is gone";
    EXPECT_FALSE(out.active());
    EXPECT_EQ(out.queuedCount(), 0);
    EXPECT_EQ(out.heldCount(), 0);
    EXPECT_EQ(out.pool().freeCount(), 0u);
    out.checkPlayed();
    EXPECT_EQ(played.size(), 1) << "dropped buffers are never reported";
    out.close(); // closing a closed output does nothing
}

TEST_F(WaveOutputTest, AHandlerMayCloseTheOutputWhileABufferIsReported) {
    out.open();
    for (int i = 0; i < 5; ++i)
        play(bytes(10, 1));
    QObject::connect(&out, &WaveOutput::audioPlayed, [&] { out.close(); });
    device.played = 50;
    out.checkPlayed();
    EXPECT_EQ(played.size(), 1);
    EXPECT_FALSE(out.active());
}

TEST_F(WaveOutputTest, FixedSizeBuffersStopAllocatingAfterTheFirstRound) {
    out.open();
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 5; ++i)
            play(bytes(2048, 1));
        device.playAll();
        out.checkPlayed();
        if (round == 0) {
            EXPECT_EQ(out.pool().allocations(), 5u);
        }
    }
    EXPECT_EQ(out.pool().allocations(), 5u);
}

TEST_F(WaveOutputTest, BeyondTheMaximumQueuedBuffersDataIsDropped) {
    out.setBufferCount(0);
    out.setMaximumBuffers(2);
    out.open();
    for (int i = 0; i < 4; ++i)
        play(bytes(10, 1));
    EXPECT_EQ(device.writes.size(), 2u);
}

TEST_F(WaveOutputTest, ADeviceThatFailsWhilePlayingClosesTheOutputAndSaysSo) {
    QSignalSpy failed(&out, &WaveOutput::playFailed);
    out.open();
    for (int i = 0; i < 5; ++i)
        play(bytes(10, 1));
    device.failed = true;
    out.checkPlayed();
    EXPECT_FALSE(out.active());
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(failed.at(0).at(0).toString().startsWith(QStringLiteral("Error playing buffer.\r\n")));
    EXPECT_TRUE(played.isEmpty());
}

TEST_F(WaveOutputTest, PauseAndRestartHoldTheReports) {
    out.open();
    for (int i = 0; i < 5; ++i)
        play(bytes(10, 1));
    out.pause();
    EXPECT_TRUE(device.suspended);
    out.restart();
    EXPECT_FALSE(device.suspended);
}

TEST(StreamPreview, AShortStreamIsPlayedWholeAndTheOutputClosesAfterItsLastBlock) {
    FakeSinkLog device;
    StreamPreview preview;
    preview.AudioOut.setSinkFactory(fakeSinkFactory(device));
    QByteArray data(5000, '\x40');
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    preview.playStream(stream);
    // Three blocks fill no pre-buffer of four; they are started all the same.
    EXPECT_EQ(device.writes, (std::vector<qint64>{2048, 2048, 904}));
    EXPECT_TRUE(preview.active());
    device.played = 4096;
    preview.AudioOut.checkPlayed();
    EXPECT_TRUE(preview.active());
    device.playAll();
    preview.AudioOut.checkPlayed();
    EXPECT_FALSE(preview.active());
    EXPECT_EQ(device.format, WaveFormat::workingFormat());
}

TEST(StreamPreview, ALongStreamStartsWithFiveBlocksAndFollowsEachBlockHeard) {
    FakeSinkLog device;
    StreamPreview preview;
    preview.AudioOut.setSinkFactory(fakeSinkFactory(device));
    QByteArray data(2048 * 8 + 100, '\x50');
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    preview.playStream(stream);
    EXPECT_EQ(device.writes.size(), 5u);
    device.played = 2048;
    preview.AudioOut.checkPlayed();
    EXPECT_EQ(device.writes.size(), 6u) << "one more block for the block heard";
    for (int i = 0; i < 10 && preview.active(); ++i) {
        device.playAll();
        preview.AudioOut.checkPlayed();
    }
    EXPECT_EQ(device.written, data);
    EXPECT_FALSE(preview.active());
}

TEST(StreamPreview, AnEmptyStreamClosesTheOutputAndStopPlayingSilencesIt) {
    FakeSinkLog device;
    StreamPreview preview;
    preview.AudioOut.setSinkFactory(fakeSinkFactory(device));
    QByteArray empty;
    QBuffer stream(&empty);
    stream.open(QIODevice::ReadOnly);
    preview.playStream(stream);
    EXPECT_FALSE(preview.active());

    QByteArray data(30000, '\x60');
    QBuffer full(&data);
    full.open(QIODevice::ReadOnly);
    preview.playStream(full);
    EXPECT_TRUE(device.open);
    preview.stopPlaying();
    EXPECT_FALSE(device.open);
    EXPECT_FALSE(preview.active());
}
