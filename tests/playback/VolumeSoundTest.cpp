// The volume slider heard through a real sound server: the selected recording played with Play at
// slider positions 16 and 4, recorded from the monitor of a null sink of the test's own.
#include "audio/AudioConverter.h"
#include "audio/WavWriter.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "library/Catalogue.h"
#include "playback/PlaybackController.h"
#include "settings/SettingsModel.h"
#include "sound/OutputDevices.h"
#include "sound/Player.h"
#include "support/ScriptedPrompter.h"
#include "support/SoundAnalysis.h"
#include "support/SoundServer.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class VolumeSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString reason;
        sink = NullSink::create(&reason);
        if (!sink)
            ORLAMO_REQUIRE_SOUND(reason);
        qputenv(OutputDevices::kDeviceVariable, sink->name());
        ASSERT_TRUE(waitUntil([this] { return devices.playbackDevice().id() == sink->name(); }));
        monitor = std::make_unique<MonitorRecording>(sink->name());
        if (!monitor->start(&reason))
            ORLAMO_REQUIRE_SOUND(reason);

        QDir(dir.path()).mkdir(QStringLiteral("wav"));
        catalogue.openCatalogue();
        RecordingEntry entry;
        entry.audioBytes = 24000;
        entry.avgBytesPerSec = 16000;
        const QString path = catalogue.wavPath(catalogue.addRecordingEntry(entry));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        WavWriter writer(file);
        writer.setFormat(WaveFormat::pcm(8000, 16, 1));
        const QByteArray pcm = sound::toBytes(source);
        writer.write(pcm.constData(), pcm.size());
        settings.load();
    }
    void TearDown() override {
        controller.stopPlayback();
        monitor.reset();
        sink.reset();
        qunsetenv(OutputDevices::kDeviceVariable);
    }
    /// Plays the selected recording with the slider at `position`; the RMS of what was heard (a dropout
    /// on a busy machine leaves silence, which does not count).
    double playAt(int position) {
        controller.setVolumePosition(position);
        const qint64 start = monitor->size();
        controller.play();
        EXPECT_TRUE(controller.playbackActive()) << prompter.shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(waitUntil([this] { return !controller.playbackActive(); })) << "the end of playback never came";
        EXPECT_TRUE(monitor->waitForMore(2000));
        return sound::soundingRms(monitor->samples(), start);
    }

    const std::vector<int16_t> source = sound::testSignal(12000);
    QTemporaryDir dir;
    std::unique_ptr<NullSink> sink;
    std::unique_ptr<MonitorRecording> monitor;
    ScriptedPrompter prompter;
    Logger logger;
    Catalogue catalogue{dir.path(), prompter};
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    SettingsModel settings{config, dir.path()};
    OutputDevices devices;
    Player player{&devices};
    PlaybackController controller{logger, prompter, catalogue, settings, player, &devices};
};

} // namespace

TEST_F(VolumeSoundTest, TheSliderAtFourPlaysTwelveDecibelsBelowSixteen) {
    int traces = 0;
    bool traceHasSound = false;
    QObject::connect(&controller, &PlaybackController::displayBlock, [&](const QByteArray& block) {
        ++traces;
        traceHasSound = traceHasSound || block.count(static_cast<char>(127)) < block.size() / 2;
    });
    const double full = playAt(16);
    const double quarter = playAt(4);
    ASSERT_GT(full, 1000.0) << "the recording was not heard";
    const double db = 20 * std::log10(quarter / full);
    EXPECT_NEAR(db, 20 * std::log10(16383.0 / 65535.0), 1.0) << "measured " << db << " dB";
    EXPECT_GT(traces, 5) << "the trace followed the playback";
    EXPECT_TRUE(traceHasSound);
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(QLatin1Char('\n')).toStdString();
}
