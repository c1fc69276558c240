// The call log's table: rows kept across a reopening, the days it keeps, a damaged file begun anew.
#include "library/CallLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

CallLogRow call(const QDateTime& when, const QString& number, CallOutcome outcome) {
    CallLogRow row;
    row.when = when;
    row.rings = 3;
    row.number = number;
    row.name = QStringLiteral("<b>ACME</b>\r\nINC");
    row.outcome = outcome;
    row.recordingId = outcome == CallOutcome::Recorded ? QStringLiteral("A1B2") : QString();
    return row;
}

} // namespace

TEST(CallLog, KeepsItsRowsForTheSetDaysAndBeginsAnewOverADamagedFile) {
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    {
        CallLog log(dir.path());
        EXPECT_TRUE(log.open().isEmpty());
        log.add(call(now.addDays(-400), QStringLiteral("111"), CallOutcome::NotAnswered));
        log.add(call(now.addDays(-30), QStringLiteral("222"), CallOutcome::PassedOver));
        log.add(call(now.addDays(-2), QStringLiteral("333"), CallOutcome::Recorded));
        log.add(call(now, QStringLiteral("444"), CallOutcome::DoNotRecord));
        EXPECT_EQ(log.removeBefore(now.date().addDays(-30)), 1);
        EXPECT_EQ(log.removeBefore(now.date().addDays(-30)), 0);
        log.close();
    }
    const QList<CallLogRow> rows = CallLog::readRows(dir.path());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].number, QStringLiteral("222"));
    EXPECT_EQ(rows[0].outcome, CallOutcome::PassedOver);
    EXPECT_EQ(rows[1].outcome, CallOutcome::Recorded);
    EXPECT_EQ(rows[1].recordingId, QStringLiteral("A1B2"));
    EXPECT_EQ(rows[1].rings, 3);
    EXPECT_EQ(rows[1].when.date(), now.date().addDays(-2));
    EXPECT_EQ(rows[1].when.time().toString(), now.time().toString());
    // The line's text is stored as it came, on one line.
    EXPECT_EQ(rows[1].name, QStringLiteral("<b>ACME</b>  INC"));
    EXPECT_EQ(rows[2].outcome, CallOutcome::DoNotRecord);
    EXPECT_TRUE(rows[2].missed() == false && rows[0].missed() == false);

    // Every outcome has its stored word, and back.
    for (CallOutcome o : {CallOutcome::Recorded, CallOutcome::PassedOver, CallOutcome::NotAnswered,
                          CallOutcome::Outgoing, CallOutcome::DoNotRecord, CallOutcome::NotRecorded})
        EXPECT_EQ(CallLog::outcomeFromKey(CallLog::outcomeKey(o)), o);

    QFile file(dir.filePath(CallLog::kFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a table");
    file.close();
    CallLog log(dir.path());
    EXPECT_FALSE(log.open().isEmpty());
    EXPECT_TRUE(log.rows().isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath(CallLog::kFileName + QStringLiteral(".damaged"))));
}
