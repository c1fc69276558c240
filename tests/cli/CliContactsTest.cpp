// orlamo-cli contacts: a phone's CSV export imported, numbers named and marked, deleted; bad usage refused.
#include "cli/CliCatalogueTest.h"

#include "support/TestFiles.h"

TEST_F(CliCatalogueTest, ContactsAreImportedListedNamedAndDeleted) {
    writeFile(QDir(work).filePath(QStringLiteral("tvk.ini")), "[Contacts]\r\nHomeCountry=US\r\n");
    const QString google = qEnvironmentVariable("ORLAMO_TEST_DATA") + QStringLiteral("/contacts/google.csv");
    CliResult result = cli({QStringLiteral("contacts"), QStringLiteral("import"), google});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("imported 2 contacts, 4 numbers (0 already known)\n"));

    // Bob's number in another spelling: renamed and marked.
    result = cli({QStringLiteral("contacts"), QStringLiteral("set"), QStringLiteral("+1 312 555 0142"),
                  QStringLiteral("Bob <i>M</i>"), QStringLiteral("--do-not-record")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    result = cli({QStringLiteral("contacts"), QStringLiteral("list")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("Anna Schmidt\t+49 170 1234567 (mobile)\tcell\n")))
        << result.out.toStdString();
    EXPECT_TRUE(
        result.out.contains(QStringLiteral("Bob <i>M</i>\t(312) 555-0142 (Chicago, IL)\twork\tdo not record\n")))
        << result.out.toStdString();
    EXPECT_TRUE(readAll(QDir(work).filePath(QStringLiteral("contacts.vcf"))).contains("X-ORLAMO-DO-NOT-RECORD:1"));

    result = cli({QStringLiteral("contacts"), QStringLiteral("delete"), QStringLiteral("3125550142")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_FALSE(cli({QStringLiteral("contacts"), QStringLiteral("list")}).out.contains(QStringLiteral("Bob")));
    result = cli({QStringLiteral("contacts"), QStringLiteral("delete"), QStringLiteral("3125550142")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, QStringLiteral("orlamo-cli contacts: no contact has the number 3125550142\n"));
    EXPECT_EQ(cli({QStringLiteral("contacts"), QStringLiteral("list"), QStringLiteral("--do-not-record")}).code, 2);
}
