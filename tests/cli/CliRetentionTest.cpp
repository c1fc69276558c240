// orlamo-cli list retention|protect and retention [--dry-run] on a catalogue made for the test.
#include "CliCatalogueTest.h"

#include <QFile>

// The fixture's recordings are of 8 December 2026: older than a day from then on.
TEST_F(CliCatalogueTest, RetentionIsSetByListShownByDryRunAndRun) {
    EXPECT_EQ(
        cli({QStringLiteral("list"), QStringLiteral("retention"), QStringLiteral("Nowhere"), QStringLiteral("1")}).code,
        1);
    EXPECT_EQ(
        cli({QStringLiteral("list"), QStringLiteral("retention"), QStringLiteral("Work"), QStringLiteral("soon")}).code,
        2);
    const CliResult set =
        cli({QStringLiteral("list"), QStringLiteral("retention"), QStringLiteral("Work"), QStringLiteral("1")});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_EQ(set.out, QStringLiteral("Work: kept 1 days\n"));
    ASSERT_EQ(
        cli({QStringLiteral("list"), QStringLiteral("retention"), QStringLiteral("General"), QStringLiteral("1")}).code,
        0);
    const CliResult protect =
        cli({QStringLiteral("list"), QStringLiteral("protect"), QStringLiteral("General"), QStringLiteral("on")});
    EXPECT_EQ(protect.out, QStringLiteral("General: kept 1 days, protected\n"));

    const CliResult dry = cli({QStringLiteral("retention"), QStringLiteral("--dry-run")});
    ASSERT_EQ(dry.code, 0) << dry.err.toStdString();
    EXPECT_TRUE(dry.out.contains(QStringLiteral("would delete Retention: %1 of Work").arg(d))) << dry.out.toStdString();
    EXPECT_TRUE(dry.out.endsWith(QStringLiteral("1 recording(s) would be deleted\n"))) << dry.out.toStdString();
    EXPECT_TRUE(QFile::exists(wavFile(4)));

    const CliResult run = cli({QStringLiteral("retention")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("1 recording(s) deleted\n"))) << run.out.toStdString();
    EXPECT_FALSE(QFile::exists(wavFile(4)));
    EXPECT_TRUE(QFile::exists(wavFile(1)) && QFile::exists(wavFile(3)));
    const CliResult catalog = cli({QStringLiteral("catalog"), QStringLiteral("--csv")});
    EXPECT_FALSE(catalog.out.contains(QStringLiteral("work call")));
    EXPECT_TRUE(catalog.out.contains(QStringLiteral("call from ABC Ltd")));
}
