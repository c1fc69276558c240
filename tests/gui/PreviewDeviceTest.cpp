// The post-processing preview plays on the playback device as it is when it plays: a headset plugged
// in after the start is heard, the device of the start is not.
#include "gui/PostProcessingOutputs.h"
#include "sound/OutputDevices.h"
#include "support/SoundAnalysis.h"
#include "support/SoundServer.h"
#include "support/WaitUntil.h"

#include <QByteArray>
#include <gtest/gtest.h>

TEST(PreviewDevice, APreviewPlaysOnTheDeviceChosenSinceTheStart) {
    QString reason;
    const auto atStart = NullSink::create(&reason);
    if (!atStart)
        ORLAMO_REQUIRE_SOUND(reason);
    const auto pluggedIn = NullSink::create(&reason);
    if (!pluggedIn)
        ORLAMO_REQUIRE_SOUND(reason);
    qputenv(OutputDevices::kDeviceVariable, atStart->name());
    OutputDevices devices;
    ASSERT_TRUE(waitUntil([&] { return devices.playbackDevice().id() == atStart->name(); }));
    WavePreviewOutput preview(&devices);

    qputenv(OutputDevices::kDeviceVariable, pluggedIn->name());
    ASSERT_TRUE(waitUntil([&] { return devices.playbackDevice().id() == pluggedIn->name(); }));
    MonitorRecording heard(pluggedIn->name());
    if (!heard.start(&reason))
        ORLAMO_REQUIRE_SOUND(reason);
    // A second of a square wave in the working format (8 kHz, unsigned 8-bit).
    QByteArray samples(8000, '\0');
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = char(i % 16 < 8 ? 128 + 60 : 128 - 60);
    preview.play(samples);
    ASSERT_TRUE(waitUntil([&] { return !preview.active(); }, 20000));
    ASSERT_TRUE(heard.waitForMore(2000));
    EXPECT_GT(sound::loudDuration(heard.samples(), 3000), 4000) << "the preview was not heard on the device chosen";
    qunsetenv(OutputDevices::kDeviceVariable);
}
