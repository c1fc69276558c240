// Calls from the user's contacts: named in the pop-up text and the memo; one marked do not record is passed over.
#include "recorder/RecordingTestBase.h"

#include "contacts/ContactBook.h"
#include "library/CallLog.h"
#include "library/TableFile.h"

#include <QSignalSpy>

TEST_F(RecordingTestBase, AContactsCallIsNamedAndADoNotRecordCallerIsNotRecorded) {
    configure(2);
    config->writeString(QStringLiteral("Contacts"), QStringLiteral("HomeCountry"), QStringLiteral("US"));
    ContactBook book(dir.filePath(QStringLiteral("contacts.vcf")), QStringLiteral("US"));
    book.set(QStringLiteral("+1 (312) 555 1234"), QStringLiteral("Jane <b>Doe</b>"), false);
    book.set(QStringLiteral("312-555-0666"), QStringLiteral("Telemarketer"), true);
    book.save();
    createCore();
    QSignalSpy shown(&modem().calls(), &CallDetector::callerIdShown);
    QSignalSpy skipped(core.get(), &Program::automaticRecordingSkipped);
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);

    sim.command(QStringLiteral("call rings=2 interval=700 cid=5550666 talk=3 end=silence endfor=10"));
    ASSERT_TRUE(waitUntil([&] { return !skipped.isEmpty(); }, 30000))
        << core->logger().lines().join('\n').toStdString();
    EXPECT_EQ(skipped.first().at(0).toString(), QStringLiteral("5550666 Telemarketer"));
    EXPECT_EQ(logged(QStringLiteral("Not recording the call of Telemarketer: the contact is marked do not record")), 1);
    EXPECT_FALSE(recorder().recording());
    EXPECT_TRUE(modem().calls().autoRecordMode());

    // The next call, from the contact written in another spelling, is recorded under the contact's name.
    sim.command(QStringLiteral("call rings=2 interval=700 cid=3125551234 talk=2 end=silence endfor=30"));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000))
        << core->logger().lines().join('\n').toStdString();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(core->callerText(shown.last().at(0).toString()), QStringLiteral("3125551234 Jane <b>Doe</b>"));
    EXPECT_EQ(skipped.size(), 1);
    TableFile& calls = core->catalogue().recordings();
    ASSERT_EQ(calls.recordCount(), 1);
    calls.first();
    EXPECT_EQ(calls.fieldText(QStringLiteral("Comment")), QStringLiteral("3125551234 Jane <b>Doe</b>"));

    // The call log names both callers from the contacts and says why the first was not recorded.
    ASSERT_TRUE(waitUntil([&] { return core->callLog().rows().size() == 2; }, 10000));
    const QList<CallLogRow> rows = core->callLog().rows();
    EXPECT_EQ(rows.at(0).name, QStringLiteral("Telemarketer"));
    EXPECT_EQ(rows.at(0).outcome, CallOutcome::DoNotRecord);
    EXPECT_EQ(rows.at(1).name, QStringLiteral("Jane <b>Doe</b>"));
    EXPECT_EQ(rows.at(1).outcome, CallOutcome::Recorded);
    EXPECT_EQ(rows.at(1).recordingId, calls.fieldText(QStringLiteral("id")));
}
