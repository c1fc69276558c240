// The compression record's byte layout, Compressions.d, the current compression and the automatic choice.
#include "audio/WaveFormat.h"
#include "base/Config.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CompressionRecord makeRecord(const QString& description, const QString& bps,
                             const QString& cml = QStringLiteral("128")) {
    CompressionRecord r;
    r.Description = description;
    r.cml = cml;
    r.cmid = QStringLiteral("\"%1\"").arg(description);
    r.bps = bps;
    r.tm = QStringLiteral("0");
    r.vsr = QStringLiteral("8000");
    r.scs = QStringLiteral("0");
    r.sel = QStringLiteral("0");
    r.VsmCommand = QStringLiteral("at+vsm=%1,8000,0,0").arg(cml);
    return r;
}

struct CompressionFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = CompressionFile::pathIn(dir.path());
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};

    void writeRecords(const QList<CompressionRecord>& records) {
        CompressionFileWriter writer;
        ASSERT_TRUE(writer.recreate(path));
        for (int i = 0; i < records.size(); ++i)
            ASSERT_TRUE(writer.write(i, records[i]));
        writer.close();
    }
    QList<CompressionRecord> describedAs(const QList<std::pair<QString, QString>>& list) {
        QList<CompressionRecord> records;
        int cml = 128;
        for (const auto& [d, b] : list)
            records.append(makeRecord(d, b, QString::number(cml++)));
        return records;
    }
    int storedIndex() { return config.readInteger(QStringLiteral("Params"), QStringLiteral("Compression"), -99); }
    QString storedCommand() {
        return config.readString(QStringLiteral("Modem"), QStringLiteral("VoiceCompression"), QStringLiteral("unset"));
    }
};

} // namespace

TEST(CompressionRecordTest, LayoutIsNineLengthPrefixedFieldsOf31Bytes) {
    CompressionRecord r = makeRecord(QStringLiteral("UNSIGNED PCM"), QStringLiteral("8"));
    const QByteArray bytes = r.toBytes();
    ASSERT_EQ(bytes.size(), 279);
    EXPECT_EQ(bytes[0], 12);
    EXPECT_EQ(bytes.mid(1, 12), QByteArray("UNSIGNED PCM"));
    EXPECT_EQ(bytes[31], 3);
    EXPECT_EQ(bytes.mid(32, 3), QByteArray("128"));
    EXPECT_EQ(bytes[62], 14);
    EXPECT_EQ(bytes.mid(63, 14), QByteArray("\"UNSIGNED PCM\""));
    EXPECT_EQ(bytes.mid(93, 2), QByteArray("\x01"
                                           "8"));
    EXPECT_EQ(bytes.mid(155, 5), QByteArray("\x04"
                                            "8000"));
    EXPECT_EQ(bytes[248], 19);
    EXPECT_EQ(bytes.mid(249, 19), QByteArray("at+vsm=128,8000,0,0"));
    EXPECT_EQ(CompressionRecord::fromBytes(bytes), r);
    EXPECT_EQ(r.displayText(), QStringLiteral("UNSIGNED PCM 8bit 8000Hz"));
}

TEST(CompressionRecordTest, LongFieldsAreCutAndDamagedLengthsClamped) {
    CompressionRecord r;
    r.cmid = QString(40, QLatin1Char('x'));
    const QByteArray bytes = r.toBytes();
    EXPECT_EQ(bytes[62], 30);
    EXPECT_EQ(CompressionRecord::fromBytes(bytes).cmid, QString(30, QLatin1Char('x')));

    // Bytes after a field's text are not significant; a length above 30 reads 30 characters.
    QByteArray damaged(279, 'A');
    damaged[0] = char(0xFF);
    damaged[31] = 2;
    const CompressionRecord read = CompressionRecord::fromBytes(damaged);
    EXPECT_EQ(read.Description, QString(30, QLatin1Char('A')));
    EXPECT_EQ(read.cml, QStringLiteral("AA"));
    // A short buffer reads as empty fields instead of running past its end.
    EXPECT_EQ(CompressionRecord::fromBytes(QByteArray("\x05"
                                                      "AB",
                                                      3))
                  .Description,
              QStringLiteral("AB\0\0\0"));
}

TEST_F(CompressionFileTest, RecordsLieBackToBackAndReadByIndex) {
    writeRecords(describedAs({{"ALAW", "8"}, {"ULAW", "8"}, {"SIGNED PCM", "16"}}));
    EXPECT_EQ(QFileInfo(path).size(), 3 * 279);
    CompressionFile file(path);
    EXPECT_EQ(file.recordCount(), 3);
    ASSERT_TRUE(file.readRecord(1).has_value());
    EXPECT_EQ(file.readRecord(1)->Description, QStringLiteral("ULAW"));
    EXPECT_EQ(file.readRecord(2)->cml, QStringLiteral("130"));
    EXPECT_FALSE(file.readRecord(3).has_value());
    EXPECT_FALSE(file.readRecord(-1).has_value());
    EXPECT_EQ(file.readAll().size(), 3);
}

TEST_F(CompressionFileTest, RecreateReplacesTheOldFileAndExtraRecordsAreIgnored) {
    QList<CompressionRecord> many;
    for (int i = 0; i < 105; ++i)
        many.append(makeRecord(QStringLiteral("ULAW"), QStringLiteral("8"), QString::number(i)));
    writeRecords(many);
    const QList<CompressionRecord> read = CompressionFile(path).readAll();
    ASSERT_EQ(read.size(), CompressionFile::kMaxRecords);
    EXPECT_EQ(read.last().cml, QStringLiteral("100"));

    writeRecords(describedAs({{"ALAW", "8"}}));
    EXPECT_EQ(CompressionFile(path).recordCount(), 1);

    // A trailing partial record (a damaged file) is not read.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("partial");
    f.close();
    EXPECT_EQ(CompressionFile(path).readAll().size(), 1);
}

TEST_F(CompressionFileTest, MissingFileReadsAsNoRecords) {
    CompressionFile file(path);
    EXPECT_FALSE(file.exists());
    EXPECT_TRUE(file.readAll().isEmpty());
    EXPECT_FALSE(file.readRecord(0).has_value());
}

TEST_F(CompressionFileTest, ChoiceRulesInOrder) {
    using L = QList<std::pair<QString, QString>>;
    // rule 2 (SIGNED PCM/8) comes before rules 4 and 6
    EXPECT_EQ(chooseCompressionIndex(describedAs(L{{"ALAW", "8"}, {"UNSIGNED PCM", "16"}, {"SIGNED PCM", "8"}})), 2);
    // rule 5: 16-bit prefers signed
    EXPECT_EQ(chooseCompressionIndex(describedAs(L{{"SIGNED PCM", "16"}, {"UNSIGNED PCM", "16"}})), 0);
    EXPECT_EQ(chooseCompressionIndex(describedAs(L{{"UNSIGNED PCM", "16"}, {"SIGNED PCM", "16"}})), 1);
    // rule 1 wins over everything, lowest index within a rule
    EXPECT_EQ(chooseCompressionIndex(
                  describedAs(L{{"SIGNED PCM", "8"}, {"UNSIGNED PCM", "8"}, {"ULAW", "8"}, {"UNSIGNED PCM", "8"}})),
              1);
    EXPECT_EQ(chooseCompressionIndex(describedAs(L{{"ALAW", "8"}, {"ULAW", "8"}})), 1);
    // comparison is case-sensitive: nothing matches, record 0 is taken
    EXPECT_EQ(chooseCompressionIndex(describedAs(L{{"ALAW", "16"}, {"signed pcm", "8"}})), 0);
    EXPECT_EQ(chooseCompressionIndex({}), -1);
}

TEST_F(CompressionFileTest, ChoiceWritesCommandAndIndex) {
    writeRecords(describedAs({{"ALAW", "8"}, {"UNSIGNED PCM", "16"}, {"SIGNED PCM", "8"}}));
    ASSERT_TRUE(chooseCurrentCompression(config, path));
    EXPECT_EQ(storedIndex(), 2);
    EXPECT_EQ(storedCommand(), QStringLiteral("at+vsm=130,8000,0,0"));

    // A single ULAW record of 16 bits matches no rule: index 0 with its command.
    writeRecords(describedAs({{"ULAW", "16"}}));
    ASSERT_TRUE(chooseCurrentCompression(config, path));
    EXPECT_EQ(storedIndex(), 0);
    EXPECT_EQ(storedCommand(), QStringLiteral("at+vsm=128,8000,0,0"));
}

TEST_F(CompressionFileTest, EmptyFileChoosesNothingAndWritesNothing) {
    writeRecords({});
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_FALSE(chooseCurrentCompression(config, path));
    EXPECT_FALSE(QFile::exists(config.path()));
    QFile::remove(path);
    EXPECT_FALSE(chooseCurrentCompression(config, path));
}

TEST_F(CompressionFileTest, CurrentCompressionLoadsTheStoredIndex) {
    writeRecords(describedAs({{"ALAW", "8"}, {"ULAW", "8"}}));
    CurrentCompression current;
    QSignalSpy spy(&current, &CurrentCompression::changed);
    EXPECT_TRUE(current.record().Description.isEmpty());

    EXPECT_TRUE(current.load(config, path)); // Compression missing: index 0
    EXPECT_EQ(current.record().Description, QStringLiteral("ALAW"));
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 1);
    EXPECT_TRUE(current.load(config, path));
    EXPECT_EQ(current.record().Description, QStringLiteral("ULAW"));
    EXPECT_EQ(spy.count(), 2);

    // An index that designates no record, or the empty value a failed probe stores (read as 0) on a file
    // without records, leaves the current compression as it was.
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 7);
    EXPECT_FALSE(current.load(config, path));
    config.writeString(QStringLiteral("Params"), QStringLiteral("Compression"), QString());
    writeRecords({});
    EXPECT_FALSE(current.load(config, path));
    EXPECT_EQ(current.record().Description, QStringLiteral("ULAW"));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(CompressionFileTest, MatcherRunsOnTheStoredChoice) {
    ScriptedPrompter prompter;
    CurrentCompression current;
    const QString cpn = dir.filePath(QStringLiteral("ModemCompression.cpn"));
    QList<CompressionRecord> records = describedAs({{"ULAW", "16"}, {"UNSIGNED PCM", "8"}});
    writeRecords(records);
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 1);
    ASSERT_TRUE(matchCurrentCompression(current, config, path, prompter, cpn));
    EXPECT_EQ(current.record().Description, QStringLiteral("UNSIGNED PCM"));
    const WaveFormat format = WaveFormat::fromBytes(readFile(cpn));
    EXPECT_EQ(format.formatTag(), wavetag::Pcm);
    EXPECT_EQ(format.samplesPerSec(), 8000u);
    EXPECT_EQ(format.bitsPerSample(), 8);
    EXPECT_EQ(format.channels(), 1);
    EXPECT_TRUE(prompter.shown.isEmpty());

    // No codec offers 16-bit u-law: the matcher says so and leaves the file alone.
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 0);
    EXPECT_FALSE(matchCurrentCompression(current, config, path, prompter, cpn));
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(WaveFormat::fromBytes(readFile(cpn)).formatTag(), wavetag::Pcm);
}
