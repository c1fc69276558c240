// Catalogue: first run, durations, memos, base names, same-second recordings, legacy files, backups.
#include "library/Catalogue.h"
#include "library/CatalogueListing.h"
#include "library/TableError.h"
#include "library/UniqueId.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

CatalogueDateFormat usFormat() {
    CatalogueDateFormat format(QLocale(QStringLiteral("en_US")));
    format.setReferenceYear(2026);
    return format;
}

RecordingEntry entryAt(const QDateTime& end, qint64 bytes = 8000, const QString& callerId = QString()) {
    RecordingEntry entry;
    entry.audioBytes = bytes;
    entry.avgBytesPerSec = 8000;
    entry.callerIdEnabled = !callerId.isNull();
    entry.callerId = callerId;
    entry.endTime = end;
    return entry;
}

struct CatalogueTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<Catalogue> catalogue = std::make_unique<Catalogue>(dir.path(), prompter, usFormat());
    const QDateTime end{QDate(2026, 12, 8), QTime(13, 14, 53)};

    void SetUp() override { QDir(dir.path()).mkdir(QStringLiteral("wav")); }
    QString file(const QString& name) const { return dir.filePath(name); }
    void reopen() {
        catalogue = std::make_unique<Catalogue>(dir.path(), prompter, usFormat());
        catalogue->openCatalogue();
    }
};

} // namespace

TEST_F(CatalogueTest, FirstRunCreatesBothTablesWithGeneral) {
    catalogue->openCatalogue();
    EXPECT_EQ(readAll(file(QStringLiteral("Recordings.d"))).size(), 112);
    EXPECT_EQ(catalogue->recordings().recordCount(), 0);
    ASSERT_EQ(catalogue->folders().recordCount(), 1);
    EXPECT_EQ(catalogue->folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("General"));
    EXPECT_EQ(catalogue->folders().fieldText(QStringLiteral("FolderId")).size(), 8);
    ASSERT_EQ(catalogue->folderTree().nodes().size(), 1);
    EXPECT_EQ(catalogue->folderTree().nodes().front()->text, QStringLiteral("General"));
    EXPECT_EQ(catalogue->folderTree().imageIndex(catalogue->folderTree().nodes().front()), 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(CatalogueTest, DurationTexts) {
    EXPECT_EQ(Catalogue::durationText(5), QStringLiteral("00:05"));
    EXPECT_EQ(Catalogue::durationText(65), QStringLiteral("01:05"));
    EXPECT_EQ(Catalogue::durationText(599), QStringLiteral("09:59"));
    EXPECT_EQ(Catalogue::durationText(600), QStringLiteral("10:00"));
    EXPECT_EQ(Catalogue::durationText(6000), QStringLiteral("100:00"));
    EXPECT_EQ(Catalogue::durationSeconds(3200, 8000), 0);  // 0.4 s
    EXPECT_EQ(Catalogue::durationSeconds(4000, 8000), 0);  // 0.5 to even
    EXPECT_EQ(Catalogue::durationSeconds(12000, 8000), 2); // 1.5 to even
    EXPECT_EQ(Catalogue::durationSeconds(12001, 8000), 2);
    EXPECT_EQ(Catalogue::durationSeconds(1000, 0), 0); // a format without a rate
}

TEST_F(CatalogueTest, AddRecordingEntryWritesTheRowAndNamesTheFile) {
    catalogue->openCatalogue();
    const QString general = catalogue->folders().fieldText(QStringLiteral("FolderId"));
    const QString name = catalogue->addRecordingEntry(entryAt(end, 599 * 8000 + 100, QStringLiteral("+4930\r\n123")));
    EXPECT_EQ(name, QStringLiteral("1_20261208_131453"));
    EXPECT_EQ(catalogue->currentFileName(), name);
    TableFile& calls = catalogue->recordings();
    EXPECT_EQ(calls.fieldText(QStringLiteral("DateS")), QStringLiteral("12/8/26"));
    EXPECT_EQ(calls.fieldText(QStringLiteral("TimeS")), QStringLiteral("1:14:53 PM"));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Duration")), QStringLiteral("09:59"));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Comment")), QStringLiteral("+4930  123"));
    EXPECT_EQ(calls.fieldText(QStringLiteral("FolderID")), general);
    EXPECT_EQ(calls.fieldValue(QStringLiteral("Channel")).toInt(), 1);
    // Caller ID off, or on but empty: the memo is one blank, not empty.
    catalogue->addRecordingEntry(entryAt(end.addSecs(60)));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Comment")), QStringLiteral(" "));
    catalogue->addRecordingEntry(entryAt(end.addSecs(120), 0, QStringLiteral("")));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Comment")), QStringLiteral(" "));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Duration")), QStringLiteral("00:00"));
    // Saved at once.
    reopen();
    EXPECT_EQ(catalogue->recordings().recordCount(), 3);
}

TEST_F(CatalogueTest, TwoRecordingsInTheSameSecondKeepBothFiles) {
    catalogue->openCatalogue();
    const QString first = catalogue->addRecordingEntry(entryAt(end));
    writeFile(catalogue->wavPath(first), "first");
    const QString firstId = catalogue->recordings().fieldText(QStringLiteral("id"));
    const QString second = catalogue->addRecordingEntry(entryAt(end));
    const QString secondId = catalogue->recordings().fieldText(QStringLiteral("id"));
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(second, first + QLatin1Char('_') + secondId);
    writeFile(catalogue->wavPath(second), "second");
    EXPECT_EQ(catalogue->recordingBaseName(), second);
    catalogue->recordings().first();
    EXPECT_EQ(catalogue->recordingBaseName(), first);
    // Deleting the first removes only its own file.
    catalogue->recordings().deleteRecord();
    EXPECT_FALSE(QFile::exists(catalogue->wavPath(first)));
    EXPECT_EQ(readAll(catalogue->wavPath(second)), QByteArray("second"));
    EXPECT_EQ(catalogue->recordingBaseName(), second);
}

TEST_F(CatalogueTest, BaseNamesReadTwoDigitYearsAndOtherFormats) {
    CatalogueDateFormat us = usFormat();
    EXPECT_EQ(us.parseDate(QStringLiteral("12/8/26")), QDate(2026, 12, 8));
    EXPECT_EQ(us.parseDate(QStringLiteral("1/2/45")), QDate(2045, 1, 2));
    EXPECT_EQ(us.parseDate(QStringLiteral("1/2/46")), QDate(1946, 1, 2));
    EXPECT_EQ(us.parseDate(QStringLiteral("2026-12-08")), QDate(2026, 12, 8)); // the fallback
    EXPECT_EQ(us.parseTime(QStringLiteral("12:00:01 AM")), QTime(0, 0, 1));
    EXPECT_THROW(us.parseDate(QStringLiteral("8 Dec")), TableError);
    EXPECT_THROW(us.parseTime(QStringLiteral("noon")), TableError);
    for (const char* locale : {"de_DE", "en_GB", "ja_JP", "ko_KR", "zh_CN", "fi_FI", "C", "ar_EG"}) {
        CatalogueDateFormat format{QLocale(QString::fromLatin1(locale))};
        const QString date = format.dateText(QDate(2026, 12, 8));
        const QString time = format.timeText(QTime(13, 14, 53));
        EXPECT_LE(date.toUtf8().size(), 12) << locale;
        EXPECT_LE(time.toUtf8().size(), 12) << locale;
        EXPECT_EQ(format.parseDate(date), QDate(2026, 12, 8)) << locale << " " << date.toStdString();
        EXPECT_EQ(format.parseTime(time), QTime(13, 14, 53)) << locale << " " << time.toStdString();
    }
}

// A catalogue brought from a machine whose short date has four-digit years, or puts the day first:
// every row still finds its file, the reading with a file winning where the text allows several.
TEST_F(CatalogueTest, RowsWrittenUnderOtherDateFormatsFindTheirFiles) {
    catalogue->openCatalogue();
    TableFile& calls = catalogue->recordings();
    const struct {
        const char* date;
        const char* time;
        const char* file;
    } rows[] = {
        {"12/09/2026", "13:14:53", "1_20261209_131453"},    // four-digit year, month first
        {"09/12/2026", "1:14:54 PM", "1_20261209_131454"},  // day first: 12 September has no file
        {"9.12.2026", "13.14.55", "1_20261209_131455"},     // dots
        {"2026-12-09", "13:14:56", "1_20261209_131456_X9"}, // the id form
    };
    for (const auto& row : rows) {
        catalogue->addRecordingEntry(entryAt(end));
        calls.edit();
        calls.setFieldValue(QStringLiteral("DateS"), QString::fromLatin1(row.date));
        calls.setFieldValue(QStringLiteral("TimeS"), QString::fromLatin1(row.time));
        if (QString::fromLatin1(row.file).endsWith(QLatin1String("_X9")))
            calls.setFieldValue(QStringLiteral("id"), QStringLiteral("X9"));
        calls.post();
        writeFile(file(QStringLiteral("wav/%1.wav").arg(QLatin1String(row.file))), "RIFF");
    }
    calls.saveTable();
    calls.last();
    for (int i = int(std::size(rows)) - 1; i >= 0; --i, calls.prior())
        EXPECT_EQ(catalogue->recordingBaseName(), QString::fromLatin1(rows[i].file)) << rows[i].date;

    QStringList warnings;
    const std::vector<CatalogueListRow> listed = CatalogueListing::read(dir.path(), usFormat(), QString(), &warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(listed.size(), std::size(rows));
    for (const CatalogueListRow& row : listed) {
        EXPECT_TRUE(row.exists) << row.wavPath.toStdString();
        EXPECT_EQ(row.date, QStringLiteral("2026-12-09"));
    }
    EXPECT_TRUE(catalogue->filesWithoutRow().isEmpty());

    calls.first();
    calls.next();
    calls.deleteRecord();
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("wav/1_20261209_131454.wav"))));
}

TEST_F(CatalogueTest, UnreadableDateKeepsTheRowAndItsFileOnDelete) {
    catalogue->openCatalogue();
    catalogue->addRecordingEntry(entryAt(end));
    TableFile& calls = catalogue->recordings();
    calls.edit();
    calls.setFieldValue(QStringLiteral("DateS"), QStringLiteral("8 Dec"));
    calls.post();
    writeFile(file(QStringLiteral("wav/1_20261208_131453.wav")), "x");
    EXPECT_THROW(calls.deleteRecord(), TableError);
    EXPECT_EQ(calls.recordCount(), 1);
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("wav/1_20261208_131453.wav"))));
}

TEST_F(CatalogueTest, LegacyFileIsRenamedOnFirstUseAndDeletesGoThroughTheHooks) {
    catalogue->openCatalogue();
    catalogue->addRecordingEntry(entryAt(end));
    const QString id = catalogue->recordings().fieldText(QStringLiteral("id"));
    writeFile(file(QStringLiteral("wav/") + id + QStringLiteral(".wav")), "legacy");
    catalogue->migrateLegacyFile();
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("wav/") + id + QStringLiteral(".wav"))));
    EXPECT_EQ(readAll(file(QStringLiteral("wav/1_20261208_131453.wav"))), QByteArray("legacy"));
    catalogue->migrateLegacyFile(); // nothing left to do
    // A row without its file deletes fine and the table is saved.
    catalogue->addRecordingEntry(entryAt(end.addSecs(5)));
    catalogue->recordings().deleteRecord();
    catalogue->recordings().first();
    catalogue->recordings().deleteRecord();
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("wav/1_20261208_131453.wav"))));
    reopen();
    EXPECT_EQ(catalogue->recordings().recordCount(), 0);
}

TEST_F(CatalogueTest, DamagedTableIsRestoredFromItsBackup) {
    catalogue->openCatalogue();
    const QByteArray firstFolders = readAll(file(QStringLiteral("Folders.d")));
    catalogue->addRecordingEntry(entryAt(end));
    catalogue->addRecordingEntry(entryAt(end.addSecs(1)));
    catalogue->close();
    writeFile(file(QStringLiteral("Folders.~d")), firstFolders);
    writeFile(file(QStringLiteral("Folders.d")), "garbage");
    writeFile(file(QStringLiteral("Recordings.d")), readAll(file(QStringLiteral("Recordings.d"))).left(130));
    reopen();
    EXPECT_EQ(prompter.shown, (QStringList{QStringLiteral("Can not open Recordings.d file. Restoring backup"),
                                           QStringLiteral("Can not open Folders.d file. Restoring backup")}));
    EXPECT_EQ(catalogue->recordings().recordCount(), 1); // the state before the last change
    EXPECT_EQ(catalogue->folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("General"));
    EXPECT_EQ(readAll(file(QStringLiteral("Folders.d.damaged"))), QByteArray("garbage"));
}

TEST_F(CatalogueTest, DamagedTableWithoutBackupStartsEmptyAndKeepsTheDamagedFile) {
    catalogue->openCatalogue();
    catalogue->close();
    writeFile(file(QStringLiteral("Recordings.d")), "garbage");
    QFile::remove(file(QStringLiteral("Recordings.~d")));
    reopen();
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_TRUE(prompter.shown.at(1).contains(QStringLiteral("missing or damaged too")));
    EXPECT_EQ(catalogue->recordings().recordCount(), 0);
    EXPECT_EQ(readAll(file(QStringLiteral("Recordings.d.damaged"))), QByteArray("garbage"));
}

TEST_F(CatalogueTest, FoldersWithoutNodeGetOneAndTheFirstNodeIsSelected) {
    catalogue->openCatalogue();
    TableFile& folders = catalogue->folders();
    folders.append();
    folders.setFieldValue(QStringLiteral("FolderId"), QStringLiteral("W"));
    folders.setFieldValue(QStringLiteral("FolderName"), QStringLiteral("Work"));
    folders.post();
    folders.saveTable();
    writeFile(file(QStringLiteral("tree.d")), "Work\r\n\t\tDeep\r\nGeneral\r\n");
    reopen();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Invalid level (2) for item \"Deep\"")});
    QStringList texts;
    for (const FolderNode* node : catalogue->folderTree().nodes())
        texts.append(node->text);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Work"), QStringLiteral("General")}));
    EXPECT_EQ(catalogue->folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("Work"));
}

TEST(MakeUniqueIdTest, LayoutAndCounter) {
    const QDateTime at(QDate(2000, 11, 2), QTime(1, 2, 3, 450));
    const QString a = makeUniqueId(at);
    const QString b = makeUniqueId(at);
    ASSERT_EQ(a.size(), 8);
    EXPECT_NE(a, b);
    // Part A: 1 day × 24 + 1 hour = 25 = "00P"; part B: 2 × 60 + 3 = 123 = "1z".
    EXPECT_EQ(a.left(5), QStringLiteral("00P1z"));
    EXPECT_EQ(b.left(5), a.left(5));
    QSet<QString> ids;
    for (int i = 0; i < 1000; ++i)
        ids.insert(makeUniqueId(at));
    EXPECT_EQ(ids.size(), 1000);
    // In 2060 part A has wrapped but stays in the alphabet.
    const QString late = makeUniqueId(QDateTime(QDate(2060, 1, 1), QTime(23, 0)));
    for (QChar c : late)
        EXPECT_TRUE(c.isLetterOrNumber() && c.unicode() < 128);
}
