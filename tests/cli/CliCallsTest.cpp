// orlamo-cli calls on a call log made for the test: the filters, and CSV that keeps the line's text as text.
#include "cli/CliCatalogueTest.h"
#include "library/CallLog.h"

TEST_F(CliCatalogueTest, CallsListsTheLogFilteredAndAsCsv) {
    {
        CallLog log(work);
        ASSERT_TRUE(log.open().isEmpty());
        CallLogRow row;
        row.when = QDateTime(QDate(2026, 12, 1), QTime(9, 30, 5));
        row.rings = 4;
        row.number = QStringLiteral("5551234");
        row.name = QStringLiteral("=HYPERLINK(\"x\"), \"Bob\"");
        row.outcome = CallOutcome::NotAnswered;
        log.add(row);
        row.when = QDateTime(QDate(2026, 12, 9), QTime(17, 0, 0));
        row.number = QStringLiteral("0301");
        row.name = QStringLiteral("ACME");
        row.outcome = CallOutcome::Recorded;
        row.recordingId = a;
        log.add(row);
    }
    const CliResult all = cli({QStringLiteral("calls")});
    ASSERT_EQ(all.code, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.startsWith(QStringLiteral("Date"))) << all.out.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("Not answered")));
    EXPECT_TRUE(all.out.contains(QStringLiteral("Recorded")));
    EXPECT_TRUE(all.out.contains(a));

    const CliResult missed = cli({QStringLiteral("calls"), QStringLiteral("--missed"), QStringLiteral("--csv")});
    ASSERT_EQ(missed.code, 0) << missed.err.toStdString();
    EXPECT_EQ(missed.out, QStringLiteral("date,time,rings,number,name,outcome,recording\r\n"
                                         "2026-12-01,09:30:05,4,5551234,\"'=HYPERLINK(\"\"x\"\"), \"\"Bob\"\"\","
                                         "not answered,\r\n"));
    const CliResult since = cli(
        {QStringLiteral("calls"), QStringLiteral("--since"), QStringLiteral("2026-12-05"), QStringLiteral("--csv")});
    EXPECT_EQ(since.out.count(QStringLiteral("\r\n")), 2);
    EXPECT_TRUE(since.out.contains(QStringLiteral(",recorded,") + a)) << since.out.toStdString();

    const CliResult bad = cli({QStringLiteral("calls"), QStringLiteral("--since"), QStringLiteral("yesterday")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.err.count(QLatin1Char('\n')), 1);
}
