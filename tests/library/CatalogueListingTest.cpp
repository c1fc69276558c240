// The catalogue listing and orlamo-cli catalog on tables written by another program.
#include "library/CatalogueListing.h"
#include "library/TableError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

QString fixture() {
    return qEnvironmentVariable("ORLAMO_TEST_DATA") + QStringLiteral("/library/foreign");
}

void copyFixture(const QString& to) {
    QDir().mkpath(to + QStringLiteral("/wav"));
    for (const QString& name : {QStringLiteral("Recordings.d"), QStringLiteral("Folders.d"),
                                QStringLiteral("wav/1_20261208_131453.wav"), QStringLiteral("wav/Zz9yX8wV.wav")})
        ASSERT_TRUE(QFile::copy(fixture() + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            << name.toStdString();
}

CatalogueDateFormat usFormat() {
    CatalogueDateFormat format(QLocale(QStringLiteral("en_US")));
    format.setReferenceYear(2026);
    return format;
}

const char* const kCsv =
    "id,folder,date,time,duration,memo,wav,exists\r\n"
    "Ab3dE5gH,General,2026-12-08,13:14:53,09:59,'+49 30 1234,wav/1_20261208_131453.wav,yes\r\n"
    "Zz9yX8wV,\"Work, \"\"old\"\"\",1999-01-02,11:05:00,01:05,\"'=HYPERLINK(\"\"x\"\")\",wav/Zz9yX8wV.wav,yes\r\n"
    "Qq1wE2rT,\"Work, \"\"old\"\"\",2025-03-04,20:00:07,00:05,\"M\xc3\xbcller, \"\"Hans\"\"\","
    "wav/0_20250304_200007.wav,no\r\n";

} // namespace

TEST(CatalogueListingTest, ForeignTablesListAsCsvWithoutChanges) {
    QTemporaryDir dir;
    copyFixture(dir.path());
    const QByteArray before = readAll(dir.filePath(QStringLiteral("Recordings.d")));
    QStringList warnings;
    const auto rows = CatalogueListing::read(dir.path(), usFormat(), QString(), &warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(CatalogueListing::toCsv(rows), QString::fromUtf8(kCsv));
    const auto work = CatalogueListing::read(dir.path(), usFormat(), QStringLiteral("Work, \"old\""), nullptr);
    EXPECT_EQ(work.size(), 2u);
    EXPECT_THROW(CatalogueListing::read(dir.path(), usFormat(), QStringLiteral("work"), nullptr), TableError);
    const QString text = CatalogueListing::toText(rows);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Id        Folder ")));
    EXPECT_EQ(text.count(QLatin1Char('\n')), 4);
    // Nothing was changed or added.
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("Recordings.d"))), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("wav/Zz9yX8wV.wav"))));
}

TEST(CatalogueListingTest, DamagedTableIsReadFromItsBackup) {
    QTemporaryDir dir;
    copyFixture(dir.path());
    QFile::rename(dir.filePath(QStringLiteral("Recordings.d")), dir.filePath(QStringLiteral("Recordings.~d")));
    QFile damaged(dir.filePath(QStringLiteral("Recordings.d")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\0\0\0\0S", 5);
    damaged.close();
    QStringList warnings;
    EXPECT_EQ(CatalogueListing::read(dir.path(), usFormat(), QString(), &warnings).size(), 3u);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().startsWith(QStringLiteral("Error opening table: Buffer structure corruption!")));
    QFile::remove(dir.filePath(QStringLiteral("Recordings.~d")));
    EXPECT_THROW(CatalogueListing::read(dir.path(), usFormat(), QString(), nullptr), TableError);
}

TEST(CatalogueListingTest, CliCatalogPrintsCsv) {
    const QString cli = qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
    if (!QFile::exists(cli))
        GTEST_SKIP() << "orlamo-cli is not built in " << cli.toStdString();
    QTemporaryDir dir;
    copyFixture(dir.path());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(cli, {QStringLiteral("--workdir"), dir.path(), QStringLiteral("catalog"), QStringLiteral("--csv")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray(kCsv));
    process.start(cli, {QStringLiteral("--workdir"), dir.path(), QStringLiteral("catalog"), QStringLiteral("--folder"),
                        QStringLiteral("Nope")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("There is no list named \"Nope\""));
}
