// Playback in the whole program: a recording that starts stops the playback, and the close stops it
// first, so its event log line is written.
#include "recorder/RecordingTestBase.h"

#include "audio/WavWriter.h"
#include "base/Logger.h"
#include "playback/PlaybackController.h"
#include "sound/OutputSink.h"
#include "sound/Player.h"
#include "support/TestFiles.h"

namespace {

/// A device that takes everything and never finishes playing it.
class SilentSink : public OutputSink {
public:
    void write(const char*, qint64) override {}
    qint64 playedBytes() override { return 0; }
    void suspend() override {}
    void resume() override {}
    void setVolume(double) override {}
};

struct PlaybackAndRecordingTest : RecordingTestBase {
    void SetUp() override {
        configure(10);
        createCore();
        core->player().setSinkFactory(
            [](const WaveFormat&, const QAudioDevice&) { return std::make_unique<SilentSink>(); });
        RecordingEntry entry;
        entry.audioBytes = 80000;
        entry.avgBytesPerSec = 8000;
        QFile file(core->catalogue().wavPath(core->catalogue().addRecordingEntry(entry)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        WavWriter writer(file);
        writer.setFormat(WaveFormat::pcm(8000, 8, 1));
        const QByteArray sound(80000, '\x60');
        writer.write(sound.constData(), sound.size());
    }
};

} // namespace

TEST_F(PlaybackAndRecordingTest, ARecordingThatStartsStopsThePlayback) {
    PlaybackController& playback = core->playback();
    bool recordEnabled = false;
    QObject::connect(&playback, &PlaybackController::recordControlsEnabled, [&](bool on) { recordEnabled = on; });
    playback.play();
    ASSERT_TRUE(playback.playbackActive()) << prompter.shown.join('\n').toStdString();
    recorder().startRecording();
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving(); }));
    EXPECT_FALSE(playback.playbackActive());
    EXPECT_EQ(logged(QStringLiteral("-- Playback stopped")), 1);
    EXPECT_EQ(core->player().mode(), MediaPlayer::Mode::NotReady);
    playback.play();
    EXPECT_FALSE(playback.playbackActive()) << "no playback while a call is recorded";
    recorder().stopRecording();
    ASSERT_TRUE(waitUntil([&] { return !recorder().recording(); }));
    EXPECT_TRUE(recordEnabled);
}

TEST_F(PlaybackAndRecordingTest, TheCloseStopsPlaybackBeforeTheEventLogIsWritten) {
    core->playback().play();
    ASSERT_TRUE(core->playback().playbackActive());
    EXPECT_TRUE(core->shutdown().isEmpty());
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("Events.log"))).contains("-- Playback stopped\r\n"));
}
