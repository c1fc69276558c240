// What the sound server hears: each stored format played back as the recording, Close silencing at
// once, and the preview's stream heard whole.
#include "AudioTestData.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "sound/OutputDevices.h"
#include "sound/Player.h"
#include "sound/StreamPreview.h"
#include "support/SoundAnalysis.h"
#include "support/SoundServer.h"
#include "support/WaitUntil.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kLoud = 1500;
const WaveFormat kPcm16 = WaveFormat::pcm(8000, 16, 1);

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString reason;
        sink = NullSink::create(&reason);
        if (!sink)
            ORLAMO_REQUIRE_SOUND(reason);
        qputenv(OutputDevices::kDeviceVariable, sink->name());
        devices = std::make_unique<OutputDevices>();
        ASSERT_TRUE(waitUntil([this] { return devices->playbackDevice().id() == sink->name(); }))
            << "Qt does not list the sink " << sink->name().constData();
        monitor = std::make_unique<MonitorRecording>(sink->name());
        if (!monitor->start(&reason))
            ORLAMO_REQUIRE_SOUND(reason);
    }
    void TearDown() override {
        monitor.reset();
        devices.reset();
        sink.reset();
        qunsetenv(OutputDevices::kDeviceVariable);
    }
    /// A recording of `seconds` of the test signal in `format`; `source` gets what it decodes to.
    QString recording(const WaveFormat& format, double seconds, std::vector<int16_t>& source) {
        const QString path = dir.filePath(QStringLiteral("r.wav"));
        const auto signal = sound::testSignal(static_cast<size_t>(seconds * 8000));
        audiotest::writeWav(path, format, audiotest::encode(sound::toBytes(signal), format));
        source = sound::fromBytes(audiotest::decodeFile(path, kPcm16));
        return path;
    }

    QTemporaryDir dir;
    std::unique_ptr<NullSink> sink;
    std::unique_ptr<OutputDevices> devices;
    std::unique_ptr<MonitorRecording> monitor;
};

/// The stored formats by name, so each is a test of its own name.
WaveFormat storedFormat(const std::string& name) {
    if (name == "pcm8")
        return WaveFormat::pcm(8000, 8, 1);
    if (name == "ulaw")
        return G711Driver::lawFormat(wavetag::Mulaw, 8000, 1);
    if (name == "ima")
        return ImaAdpcmDriver::imaFormat(8000, 1);
    if (name == "gsm")
        return GsmDriver::gsmFormat(8000);
    return kPcm16;
}

class FormatSoundTest : public SoundTest, public ::testing::WithParamInterface<std::string> {};

} // namespace

TEST_P(FormatSoundTest, APlayedRecordingIsHeardAsItsDecodedSoundForItsWholeLength) {
    std::vector<int16_t> source;
    const QString path = recording(storedFormat(GetParam()), 2.0, source);
    Player player(devices.get());
    player.setDecodeCopy(false);
    const qint64 start = monitor->size();
    ASSERT_TRUE(player.open(path)) << player.errorText().toStdString();
    ASSERT_TRUE(player.play()) << player.errorText().toStdString();
    ASSERT_TRUE(waitUntil([&] { return player.mode() == MediaPlayer::Mode::Stopped; }));
    ASSERT_TRUE(monitor->waitForMore(2000)) << "a quarter of a second after the end, for the tail";

    const std::vector<int16_t> heard = monitor->samples();
    ASSERT_FALSE(sound::loudSpan(heard, kLoud, start).empty()) << "nothing was heard";
    EXPECT_GT(sound::meanCorrelation(sound::follow(heard, source, kLoud, start), source), 0.9);
    const auto sent = static_cast<double>(sound::loudDuration(source, kLoud));
    EXPECT_NEAR(static_cast<double>(sound::loudDuration(heard, kLoud, start)), sent, 0.05 * sent);
}

INSTANTIATE_TEST_SUITE_P(StoredFormats, FormatSoundTest, ::testing::Values("pcm16", "pcm8", "ulaw", "ima", "gsm"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST_F(SoundTest, CloseSilencesThePlaybackWithinATenthOfASecond) {
    std::vector<int16_t> source;
    const QString path = recording(kPcm16, 6.0, source);
    Player player(devices.get());
    player.setDecodeCopy(false);
    const qint64 start = monitor->size();
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitUntil([&] { return player.position() >= 1500; }));
    const qint64 closedAt = player.position() * 8; // in samples of the source
    player.close();
    ASSERT_TRUE(monitor->waitForMore(8000)) << "a second of the monitor after Close";

    const std::vector<int16_t> heard = monitor->samples();
    const std::vector<sound::Piece> pieces = sound::follow(heard, source, kLoud, start);
    ASSERT_FALSE(pieces.empty()) << "nothing of the recording was heard";
    const qint64 lag = pieces.back().lag;
    const qint64 end = sound::heardEnd(heard, source, pieces);
    // Where the sound stopped, against where the player stood when it was closed.
    EXPECT_LE((end - closedAt) / 8, 100) << "heard up to " << end / 8 << " ms, closed at " << closedAt / 8 << " ms";
    const sound::Span after = sound::loudSpan(heard, kLoud, lag + end + 800);
    EXPECT_TRUE(after.empty()) << "sound again " << (after.first - lag - end) / 8 << " ms after the end";
}

TEST_F(SoundTest, ThePreviewPlaysItsWholeStreamAlsoOneTooShortToFillThePreBuffer) {
    for (const int samples : {16000, 3000}) {
        SCOPED_TRACE(samples);
        const std::vector<int16_t> signal = sound::testSignal(static_cast<size_t>(samples));
        QByteArray working = audiotest::toUnsigned8(signal);
        QBuffer stream(&working);
        stream.open(QIODevice::ReadOnly);
        StreamPreview preview;
        preview.AudioOut.setOutputDevices(devices.get());
        const qint64 start = monitor->size();
        preview.playStream(stream);
        ASSERT_TRUE(waitUntil([&] { return !preview.active(); })) << "the preview never ended";
        ASSERT_TRUE(monitor->waitForMore(2000));
        const std::vector<int16_t> heard = monitor->samples();
        const std::vector<sound::Piece> pieces = sound::follow(heard, signal, kLoud, start);
        ASSERT_FALSE(pieces.empty()) << "nothing of the stream was heard";
        // Heard to its end: a dropout of a busy machine delays the sound, it loses none of it.
        EXPECT_GE(sound::heardEnd(heard, signal, pieces), sound::loudSpan(signal, kLoud).last - 160)
            << "the output closed before its last block was heard";
        EXPECT_GT(sound::meanCorrelation(pieces, signal), 0.9) << "it played something else";
    }
}
