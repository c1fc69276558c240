// Closing the program while a call rings and while a recording is being started: nothing the close
// has released is used afterwards, and nothing opens the modem again.
#include "recorder/RecordingTestBase.h"

#include "base/Logger.h"

#include <QSignalSpy>
#include <QTimer>

namespace {

/// Lets the event loop run for `ms` milliseconds.
void runEventsFor(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

TEST_F(RecordingTestBase, ClosingWhileACallRingsStartsNothingAfterwards) {
    configure(10);
    config->writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), 300);
    createCore();
    ASSERT_TRUE(modem().calls().autoRecordMode());
    ASSERT_TRUE(sim.command(QStringLiteral("ring")));
    ASSERT_TRUE(waitUntil([&] { return modem().calls().ringCount() == 1; }));
    EXPECT_TRUE(core->shutdown().isEmpty());
    // Past the ring time-out: the rings "stop" after the close.
    runEventsFor(800);
    EXPECT_TRUE(recordings().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("wav/Recorded.wav"))));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
}

TEST_F(RecordingTestBase, ClosingWhileARecordingStartsLeavesTheModemClosedAndSaysNothing) {
    configure(10);
    createCore();
    // The close comes while the start sequence waits for the modem's answer to the voice mode.
    bool closed = false;
    QObject::connect(&core->logger(), &Logger::appended, [&](const QString& line) {
        if (line == QStringLiteral("Setting modem in voice mode..") && !closed) {
            closed = true;
            QTimer::singleShot(0, [&] { core->shutdown(); });
        }
    });
    recorder().startRecording();
    ASSERT_TRUE(closed);
    EXPECT_TRUE(core->closed());
    runEventsFor(300);
    EXPECT_FALSE(recorder().recording());
    EXPECT_FALSE(recorder().receiving());
    EXPECT_FALSE(modem().portOpen()) << core->logger().lines().join('\n').toStdString();
    EXPECT_FALSE(modem().calls().autoRecordMode());
    // A close is not a failure the user has to read about.
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
    EXPECT_TRUE(recordings().isEmpty());
    // Released with the program, after the start sequence has returned.
    core.reset();
}
