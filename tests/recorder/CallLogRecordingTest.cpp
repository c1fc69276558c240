// The call log over simulated calls: a call whose line gives busy tone at once is missed with its
// number, a recorded call's row carries its recording's id, and a call the user makes on a modem that
// reports no digits gets the number its key tones dialled, in the memo and in the log.
#include "recorder/RecordingTestBase.h"

#include "library/CallLog.h"
#include "library/TableFile.h"
#include "program/CallLogWriter.h"

#include <QFile>
#include <QSignalSpy>

namespace {

struct CallLogRecordingTest : RecordingTestBase {
    QString log() const { return core->logger().lines().join(QLatin1Char('\n')); }
    QList<CallLogRow> rows() const { return core->callLog().rows(); }
};

} // namespace

TEST_F(CallLogRecordingTest, MissedAndRecordedCallsAreRowsWithNumberAndRecording) {
    configure(2);
    config->writeInteger(QStringLiteral("General"), QStringLiteral("RingTimeOut"), 900);
    createCore();
    QSignalSpy logged(&core->callLogWriter(), &CallLogWriter::callLogged);
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);

    // Nobody takes it: the line is busy as soon as it is seized.
    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=2 interval=700 cid=5551234 name=\"JOHN DOE\" pickup=0 audio=busy talk=20")));
    ASSERT_TRUE(waitUntil([&] { return logged.size() == 1; }, 60000)) << log().toStdString();
    ASSERT_TRUE(waitUntil([&] { return modem().calls().autoRecordMode(); }));

    // Answered and talked in: recorded.
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=2 interval=700 cid=5559876 audio=speech talk=3 end=silence "
                                           "endfor=30")));
    ASSERT_TRUE(waitUntil([&] { return logged.size() == 2; }, 60000)) << log().toStdString();

    const QList<CallLogRow> calls = rows();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].outcome, CallOutcome::NotAnswered) << log().toStdString();
    EXPECT_TRUE(calls[0].missed());
    EXPECT_EQ(calls[0].number, QStringLiteral("5551234"));
    EXPECT_EQ(calls[0].name, QStringLiteral("JOHN DOE"));
    EXPECT_EQ(calls[0].rings, 2);

    EXPECT_EQ(calls[1].outcome, CallOutcome::Recorded) << log().toStdString();
    EXPECT_EQ(calls[1].number, QStringLiteral("5559876"));
    ASSERT_FALSE(calls[1].recordingId.isEmpty());
    TableFile& recordings = core->catalogue().recordings();
    ASSERT_TRUE(recordings.locate(QStringLiteral("id"), calls[1].recordingId));
    EXPECT_EQ(recordings.fieldText(QStringLiteral("Comment")), QStringLiteral("5559876"));
    EXPECT_EQ(core->catalogue().recordingBaseName(), catalogued.last().at(0).toString());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();

    // What was written is what the file holds.
    core->shutdown();
    EXPECT_EQ(CallLog::readRows(dir.path()).size(), 2);
}

TEST_F(CallLogRecordingTest, DigitsOfACallTheUserMakesComeFromItsKeyTones) {
    QFile personality(dir.filePath(QStringLiteral("handset.txt")));
    ASSERT_TRUE(personality.open(QIODevice::WriteOnly));
    personality.write("handset P\n");
    personality.close();
    sim.setExtraArgs({QStringLiteral("--profile"), personality.fileName()});
    configure(10);
    config->writeBool(QStringLiteral("Params"), QStringLiteral("RecordOutgoing"), true);
    createCore();
    QSignalSpy logged(&core->callLogWriter(), &CallLogWriter::callLogged);
    ASSERT_TRUE(sim.command(QStringLiteral("dial number=0301*5551234# audio=speech talk=3")));
    ASSERT_TRUE(waitUntil([&] { return logged.size() == 1; }, 60000)) << log().toStdString();

    TableFile& recordings = core->catalogue().recordings();
    recordings.last();
    EXPECT_EQ(recordings.fieldText(QStringLiteral("Comment")), QStringLiteral("0301*5551234#")) << log().toStdString();
    const QList<CallLogRow> calls = rows();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].outcome, CallOutcome::Outgoing);
    EXPECT_EQ(calls[0].number, QStringLiteral("0301*5551234#"));
    EXPECT_EQ(calls[0].recordingId, recordings.fieldText(QStringLiteral("id")));
}
