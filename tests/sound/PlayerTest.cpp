// The player on a scripted device: what reaches the device for each stored format, position, pause,
// seek, the end, the errors, and the working-format copy for the trace.
#include "sound/Player.h"
#include "AudioTestData.h"
#include "FakeOutputSink.h"
#include "audio/PlaybackSource.h"
#include "audio/WorkingFormatCodec.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiotest;

namespace {

const WaveFormat kPcm16 = WaveFormat::pcm(8000, 16, 1);

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        player.setSinkFactory(fakeSinkFactory(device));
    }
    /// A recording of `seconds` of the test tone in `format`.
    QString recording(const QString& name, const WaveFormat& format, double seconds) {
        const QString path = dir.filePath(name);
        writeWav(path, format, encode(toBytes(tone(static_cast<size_t>(seconds * 8000))), format));
        return path;
    }
    /// Lets the device hear everything until the player stops, as a real device would in time.
    void playToTheEnd() {
        for (int i = 0; i < 100000 && player.mode() == MediaPlayer::Mode::Playing; ++i) {
            device.playAll();
            player.output().checkPlayed();
        }
    }

    QTemporaryDir dir;
    FakeSinkLog device;
    Player player;
};

} // namespace

TEST_F(PlayerTest, EveryStoredFormatPlaysAsItsDecodedPcmFromStartToEnd) {
    const QList<WaveFormat> formats = {WaveFormat::pcm(8000, 8, 1), kPcm16,
                                       G711Driver::lawFormat(wavetag::Mulaw, 8000, 1),
                                       ImaAdpcmDriver::imaFormat(8000, 1), GsmDriver::gsmFormat(8000)};
    for (const WaveFormat& format : formats) {
        SCOPED_TRACE(format.formatDescription().toStdString());
        const QString path = recording(QStringLiteral("r.wav"), format, 1.5);
        const bool eightBit = format.formatTag() == wavetag::Pcm && format.bitsPerSample() == 8;
        const WaveFormat pcm = eightBit ? WaveFormat::pcm(8000, 8, 1) : kPcm16;
        QSignalSpy finished(&player, &MediaPlayer::finished);
        ASSERT_TRUE(player.open(path)) << player.errorText().toStdString();
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
        EXPECT_NEAR(player.length(), 1500, 40);
        ASSERT_TRUE(player.play());
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Playing);
        EXPECT_EQ(device.format, pcm);
        playToTheEnd();
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(player.position(), player.length());
        EXPECT_EQ(device.written, decodeFile(path, pcm));
        EXPECT_FALSE(device.open) << "the device is released at the end";
        player.close();
    }
}

TEST_F(PlayerTest, PlayStartsWithoutDecodingTheWholeRecording) {
    // Ten minutes of GSM: one second encoded, its blocks repeated.
    const QByteArray second = encode(toBytes(tone(8000)), GsmDriver::gsmFormat(8000));
    QByteArray tenMinutes;
    for (int i = 0; i < 600; ++i)
        tenMinutes += second;
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    writeWav(path, GsmDriver::gsmFormat(8000), tenMinutes);
    player.setDecodeCopy(false);
    ASSERT_TRUE(player.open(path));
    EXPECT_EQ(player.length(), 600000);
    ASSERT_TRUE(player.play());
    // The pre-buffer is full, so the device is playing; it holds about a second, not ten minutes.
    EXPECT_GE(device.written.size(), 5 * 1600);
    EXPECT_LE(device.written.size(), Player::kQueuedBlocks * 1600);
}

TEST_F(PlayerTest, ThePositionFollowsWhatWasHeardAndStandsStillWhilePaused) {
    const QString path = recording(QStringLiteral("r.wav"), kPcm16, 3);
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(player.play());
    device.played = 8000 * 2 / 2; // half a second of 16-bit samples
    EXPECT_EQ(player.position(), 500);
    ASSERT_TRUE(player.pause());
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Paused);
    EXPECT_TRUE(device.suspended);
    EXPECT_EQ(player.position(), 500);
    ASSERT_TRUE(player.resume());
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Playing);
    EXPECT_FALSE(device.suspended);
}

TEST_F(PlayerTest, SeekStopsAtTheNewPositionAndPlayGoesOnFromExactlyThere) {
    const QString path = recording(QStringLiteral("ima.wav"), ImaAdpcmDriver::imaFormat(8000, 1), 2);
    const QByteArray whole = decodeFile(path, kPcm16);
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(player.seek(1234));
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    EXPECT_EQ(player.position(), 1234);
    EXPECT_FALSE(device.open) << "what was queued is dropped";
    ASSERT_TRUE(player.resume()) << "resuming a stopped file plays from its position";
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Playing);
    playToTheEnd();
    // Frame 9872 lies inside an IMA block of 505 frames: the block is decoded and its head dropped.
    EXPECT_EQ(device.written, whole.mid(1234 * 8 * 2));
}

TEST_F(PlayerTest, APositionOutsideTheRecordingIsRefusedAndNothingMoves) {
    const QString path = recording(QStringLiteral("r.wav"), kPcm16, 1);
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(player.seek(400));
    EXPECT_FALSE(player.seek(-1));
    EXPECT_EQ(player.error(), MediaPlayer::OutOfRange);
    EXPECT_FALSE(player.errorText().isEmpty());
    EXPECT_FALSE(player.seek(1001));
    EXPECT_EQ(player.position(), 400);
    EXPECT_TRUE(player.seek(1000)) << "the end itself is inside";
    ASSERT_TRUE(player.play());
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped) << "nothing is left to play";
}

TEST_F(PlayerTest, AnOutputDeviceThatGoesAwayEndsThePlaybackWithItsError) {
    const QString path = recording(QStringLiteral("r.wav"), kPcm16, 3);
    QSignalSpy finished(&player, &MediaPlayer::finished);
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(player.play());
    device.played = 1600;
    player.output().checkPlayed();
    device.failed = true;
    player.output().checkPlayed();
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    EXPECT_EQ(player.error(), MediaPlayer::OutputFailed);
    EXPECT_TRUE(player.errorText().contains(QStringLiteral("Error playing buffer.")));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(player.position(), 100) << "where the sound stopped";
}

TEST_F(PlayerTest, FilesThatCannotBePlayedSayWhy) {
    EXPECT_FALSE(player.play());
    EXPECT_EQ(player.error(), MediaPlayer::NotOpen);
    EXPECT_FALSE(player.open(dir.filePath(QStringLiteral("missing.wav"))));
    EXPECT_EQ(player.error(), MediaPlayer::FileNotFound);
    const QString text = dir.filePath(QStringLiteral("text.wav"));
    writeFile(text, "This is not a RIFF file at all.");
    EXPECT_FALSE(player.open(text));
    EXPECT_EQ(player.error(), MediaPlayer::CannotDecode);
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotReady);
    EXPECT_EQ(device.opened, 0);
}

TEST_F(PlayerTest, ARecordingCutShortPlaysWhatItHolds) {
    const QString path = recording(QStringLiteral("cut.wav"), GsmDriver::gsmFormat(8000), 2);
    QByteArray bytes = readAll(path);
    bytes.chop(65 * 25); // a second of GSM blocks gone; the header still promises them
    writeFile(path, bytes);
    ASSERT_TRUE(player.open(path));
    EXPECT_EQ(player.length(), 1000);
    ASSERT_TRUE(player.play());
    playToTheEnd();
    EXPECT_EQ(device.written.size(), 1000 * 8 * 2);
}

TEST_F(PlayerTest, TheTraceCopyIsTheWholeRecordingInTheWorkingFormat) {
    const QString path = recording(QStringLiteral("g.wav"), GsmDriver::gsmFormat(8000), 3);
    ASSERT_TRUE(player.open(path));
    EXPECT_EQ(player.decodedCopySize(), 3 * 8000) << "the size it will reach, before it is complete";
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([this] { return player.decodedCopyDone(); }));
    ScriptedPrompter prompter;
    WorkingFormatCodec codec(prompter);
    QByteArray expected;
    QBuffer buffer(&expected);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(codec.decodeToMemory(path, buffer));
    EXPECT_EQ(player.decodedCopy(), expected);
    EXPECT_EQ(player.decodedCopySize(), expected.size());
    player.close();
    EXPECT_TRUE(player.decodedCopy().isEmpty());
}

TEST(PlaybackSource, ReadingFromAnyFrameGivesWhatAWholeDecodingHasThere) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ima.wav"));
    const WaveFormat ima = ImaAdpcmDriver::imaFormat(8000, 1);
    writeWav(path, ima, encode(toBytes(tone(8000)), ima));
    const QByteArray whole = decodeFile(path, WaveFormat::pcm(8000, 16, 1));
    PlaybackSource source(path);
    EXPECT_EQ(source.frames() * 2, whole.size());
    for (qint64 frame : {qint64(0), qint64(1), qint64(504), qint64(505), qint64(6001), source.frames()}) {
        source.seekFrame(frame);
        QByteArray got;
        for (QByteArray part; !(part = source.read(999)).isEmpty();)
            got += part;
        EXPECT_EQ(got, whole.mid(frame * 2)) << "from frame " << frame;
        EXPECT_TRUE(source.atEnd());
    }
}
