// The receive command that cannot be queued: the modem stopped the host's output (XOFF) while a long
// line selection filled the transmit buffer, so "at+vrx" finds no room.
#include "recorder/RecordingTestBase.h"

#include "modemsetup/ModemProfile.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QThread>
#include <functional>

namespace {

/// Records like the scripted prompter and lets the test act while a message is up.
struct HookedPrompter : ScriptedPrompter {
    std::function<void(const QString&)> onMessage;
    void message(const QString& text, Icon icon) override {
        ScriptedPrompter::message(text, icon);
        if (onMessage)
            onMessage(text);
    }
};

} // namespace

TEST_F(RecordingTestBase, ReceiveCommandThatCannotBeQueuedRestoresTheControlsAndTheModem) {
    configure(10);
    HookedPrompter hooked;
    core->setPrompter(hooked);
    config->writeInteger(QStringLiteral("Modem"), QStringLiteral("FlowControl"), 1); // XON/XOFF
    // The test answers by hand through the simulator's control line; on a loaded machine that takes a
    // while, so the modem gets the longest reply time there is.
    config->writeInteger(QStringLiteral("Params"), QStringLiteral("Timeout"), 6);
    // A silence timer and a line selection that together with the compression command fill the
    // 4096-byte transmit buffer to 3 bytes short once it cannot drain (a profile value holds 2047 characters).
    const QString longTimer = QStringLiteral("at+vsd=0,50").leftJustified(2047, QLatin1Char(' '));
    const QString longUseLine = QStringLiteral("at+vls=1").leftJustified(2030, QLatin1Char(' '));
    config->writeString(QStringLiteral("Modem"), QStringLiteral("SilenceTimer"), longTimer);
    config->writeString(QStringLiteral("Params"), QStringLiteral("UseLine"), longUseLine);
    createCore();
    ASSERT_TRUE(modem().portOpen());

    // The modem goes quiet after the voice mode's OK; the test answers each following command with an OK
    // and an XOFF (any byte received restarts the host's output, the XOFF stops it again), so the long
    // lines stay in the host's buffer; when the error is up, XON lets the host go on.
    // A command is logged as soon as it is handed to the port's thread; the gain command must have reached
    // the device before its XOFF comes back, or its bytes would stay behind and take the room the test
    // measured out. The port's thread writes on its own, so waiting here needs no events.
    const auto gainCommandWritten = [&] {
        QDeadlineTimer deadline(10000);
        while (modem().channel().outputRoom() < SerialChannel::kBufferSize && !deadline.hasExpired())
            QThread::msleep(5);
    };
    QString previous;
    QObject::connect(&core->logger(), &Logger::appended, [&](const QString& line) {
        if (line == QStringLiteral("OK") && previous == QStringLiteral("Setting modem in voice mode.."))
            sim.command(QStringLiteral("fault silent"));
        else if (line == QStringLiteral("at+vgr=128") || line == longTimer || line == QStringLiteral("at+vsm=1,8000") ||
                 line == QStringLiteral("Voice line set.. ")) {
            if (line == QStringLiteral("at+vgr=128"))
                gainCommandWritten();
            sim.command(QStringLiteral("send \\r\\nOK\\r\\n\\x13"));
        }
        previous = line;
    });
    hooked.onMessage = [&](const QString& text) {
        if (text == QStringLiteral("Error Receiving data..")) {
            sim.command(QStringLiteral("fault none"));
            sim.command(QStringLiteral("send \\x11"));
        }
    };
    QSignalSpy pressed(&recorder(), &VoiceRecorder::recordingChanged);
    QSignalSpy recordOn(&recorder(), &VoiceRecorder::recordEnabled);
    QSignalSpy stopOn(&recorder(), &VoiceRecorder::stopEnabled);
    const qsizetype before = core->logger().lines().size();
    recorder().startRecording();
    EXPECT_EQ(hooked.shown, QStringList{QStringLiteral("Error Receiving data..")})
        << core->logger().lines().mid(before).join('\n').toStdString();
    EXPECT_FALSE(recorder().recording());
    EXPECT_FALSE(recorder().receiving());
    ASSERT_FALSE(pressed.isEmpty());
    EXPECT_FALSE(pressed.last().at(0).toBool());
    ASSERT_FALSE(recordOn.isEmpty());
    EXPECT_TRUE(recordOn.last().at(0).toBool());
    ASSERT_FALSE(stopOn.isEmpty());
    EXPECT_TRUE(stopOn.last().at(0).toBool());
    EXPECT_FALSE(core->logger().lines().mid(before).contains(QStringLiteral("Receiving data...")));
    // Initialised again after the failure, and ready for the next call.
    EXPECT_TRUE(core->logger().lines().mid(before).contains(QStringLiteral("echo off..")));
    EXPECT_TRUE(modem().portOpen());
    EXPECT_TRUE(modem().calls().autoRecordMode());

    // With a line selection the modem gets, the next recording runs: the modem was left usable.
    QObject::disconnect(&core->logger(), &Logger::appended, nullptr, nullptr);
    hooked.onMessage = nullptr;
    config->writeString(QStringLiteral("Params"), QStringLiteral("UseLine"), QStringLiteral("at+vls=1"));
    config->writeString(QStringLiteral("Modem"), QStringLiteral("SilenceTimer"), QStringLiteral("none"));
    core->profile().load(*config);
    recorder().startRecording();
    EXPECT_TRUE(recorder().receiving()) << (hooked.shown + core->logger().lines()).join('\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 4000; }));
    recorder().stopRecording();
    EXPECT_EQ(core->catalogue().recordings().recordCount(), 1);
}
