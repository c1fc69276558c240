// Faults during a call, against the simulated modem: the modem pulled out and plugged in again, a line
// full of garbage, a modem that stops answering half-way through its initialisation.
#include "RecordingTestBase.h"
#include "base/Logger.h"

#include <QFile>
#include <QSignalSpy>

namespace {

int linesContaining(Program& core, const QString& text) {
    int count = 0;
    for (const QString& line : core.logger().lines())
        count += line.contains(text) ? 1 : 0;
    return count;
}

} // namespace

TEST_F(RecordingTestBase, ModemPulledOutMidCallAndPluggedInAgainRecordsTheNextCallWithoutARestart) {
    configure(1);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=1 interval=500 cid=5550101 audio=speech talk=60")));
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving() && recorder().writtenBytes() >= 8000; }));
    ASSERT_TRUE(sim.command(QStringLiteral("unplug")));
    ASSERT_TRUE(waitUntil([&] { return catalogued.size() == 1; }));
    EXPECT_FALSE(modem().portOpen());
    EXPECT_TRUE(recorder().waitingForModem());

    // Some tries find no device; then a new one appears behind the same name.
    ASSERT_TRUE(waitUntil([&] { return linesContaining(*core, QStringLiteral("opened again as soon")) == 1; }));
    ASSERT_TRUE(sim.command(QStringLiteral("plug")));
    ASSERT_TRUE(sim.waitForDevice());
    ASSERT_TRUE(waitUntil([&] { return modem().portOpen() && modem().calls().autoRecordMode(); }, 30000));
    EXPECT_FALSE(recorder().waitingForModem());

    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=2 interval=1000 cid=5550202 audio=speech talk=2 end=silence endfor=30")));
    ASSERT_TRUE(waitUntil([&] { return catalogued.size() == 2; }, 60000));
    EXPECT_EQ(core->catalogue().recordings().recordCount(), 2);
    EXPECT_EQ(recordings().size(), 2);
    core->catalogue().recordings().last();
    EXPECT_EQ(core->catalogue().recordings().fieldText(QStringLiteral("Comment")), QStringLiteral("5550202"));
    // Pulled out while nothing is recorded, it is waited for again.
    ASSERT_TRUE(waitUntil([&] { return modem().portOpen() && modem().calls().autoRecordMode(); }));
    ASSERT_TRUE(sim.command(QStringLiteral("unplug")));
    ASSERT_TRUE(waitUntil([&] { return recorder().waitingForModem(); }));
    ASSERT_TRUE(sim.command(QStringLiteral("plug")));
    ASSERT_TRUE(waitUntil([&] { return modem().portOpen() && modem().calls().autoRecordMode(); }, 30000));
}

TEST_F(RecordingTestBase, GarbageAtFullLineSpeedForAMinuteOfLineTimeLeavesTheRecorderWorking) {
    configure(1);
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    // 115 200 bit/s is 11 520 bytes a second: eleven bursts of 64 KiB are a minute of a full line.
    const qsizetype linesBefore = core->logger().lines().size();
    for (int burst = 0; burst < 11; ++burst)
        ASSERT_TRUE(sim.command(QStringLiteral("fault garbage=65536")));
    ASSERT_TRUE(waitUntil(
        [&] { return modem().channel().bytesHeld() == 0 && modem().exchange().replyBuffer().size() > 1000; }));
    EXPECT_LE(modem().exchange().replyBuffer().size(), 65536);
    EXPECT_FALSE(recorder().recording());
    EXPECT_LT(core->logger().lines().size() - linesBefore, 50);

    // A call after it is recorded as any other.
    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=2 interval=1000 cid=5550303 audio=speech talk=3 end=silence endfor=30")));
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving(); }, 60000));
    // Garbage in the middle of the call goes into the sound, and the call still ends and is kept.
    for (int burst = 0; burst < 3; ++burst)
        ASSERT_TRUE(sim.command(QStringLiteral("fault garbage=65536")));
    ASSERT_TRUE(waitUntil([&] { return catalogued.size() == 1; }, 60000));
    EXPECT_EQ(core->catalogue().recordings().recordCount(), 1);
    ASSERT_TRUE(waitUntil([&] { return modem().portOpen() && modem().calls().autoRecordMode(); }));
    EXPECT_LE(modem().exchange().replyBuffer().size(), 65536);
}

TEST_F(RecordingTestBase, ModemThatStopsAnsweringHalfWayThroughInitialisationLeavesAWorkingRecorder) {
    // The modem answers "atE0", then nothing to the auto-answer and caller-identification commands.
    const QString personality = dir.filePath(QStringLiteral("halfway.modem"));
    {
        QFile file(personality);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("base cx93001\nsilent ATS0=0\nsilent +VCID\n");
    }
    sim.setArguments({QStringLiteral("--profile"), personality, QStringLiteral("--speed"), QStringLiteral("4")});
    configure(1);
    createCore();
    const QStringList lines = core->logger().lines();
    const qsizetype init = lines.indexOf(QStringLiteral("echo off.."));
    ASSERT_GE(init, 0) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.mid(init, 6), (QStringList{QStringLiteral("echo off.."), QStringLiteral("ok"),
                                               QStringLiteral("Setting autoanswer off.."), QStringLiteral("time out"),
                                               QStringLiteral("Enable caller ID.."), QStringLiteral("time out")}));
    EXPECT_TRUE(modem().portOpen());
    EXPECT_TRUE(modem().calls().autoRecordMode());
    EXPECT_FALSE(modem().exchange().waiting());

    // Rings still come, and the call is recorded (the recording's own commands are answered).
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=2 interval=1000 audio=speech talk=2 end=silence endfor=30")));
    ASSERT_TRUE(waitUntil([&] { return catalogued.size() == 1; }, 60000));
    EXPECT_EQ(recordings().size(), 1);
}
