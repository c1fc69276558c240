// The configuration file's case rule, value decodings, section order and atomic writes.
#include "base/Config.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

struct ConfigTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tvk.ini"));
    Config config{path};
};

} // namespace

TEST_F(ConfigTest, SectionsAndKeysMatchWithoutCase) {
    writeFile(path, "[params]\r\nMainTop=10\r\n");
    EXPECT_EQ(config.readInteger(QStringLiteral("Params"), QStringLiteral("MAINTOP"), 0), 10);
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("maintop"), 20);
    EXPECT_EQ(readAll(path), QByteArray("[params]\r\nMainTop=20\r\n"));
}

TEST_F(ConfigTest, IntegerDecoding) {
    writeFile(path, "[P]\nhex=0x1F\nbare=1F\nneg=-5\nempty=\nzx=0x\nspace= 7\n");
    const QString s = QStringLiteral("P");
    EXPECT_EQ(config.readInteger(s, QStringLiteral("hex"), 99), 31);
    EXPECT_EQ(config.readInteger(s, QStringLiteral("bare"), 99), 99);
    EXPECT_EQ(config.readInteger(s, QStringLiteral("neg"), 99), -5);
    EXPECT_EQ(config.readInteger(s, QStringLiteral("empty"), 99), 99);
    EXPECT_EQ(config.readInteger(s, QStringLiteral("zx"), 99), 99);
    EXPECT_EQ(config.readInteger(s, QStringLiteral("missing"), 99), 99);
    EXPECT_EQ(config.readInteger(QStringLiteral("nosection"), QStringLiteral("hex"), 3), 3);
}

TEST_F(ConfigTest, BooleanDecoding) {
    writeFile(path, "[P]\ntwo=2\nzero=0\ntext=yes\n");
    const QString s = QStringLiteral("P");
    EXPECT_TRUE(config.readBool(s, QStringLiteral("two"), false));
    EXPECT_FALSE(config.readBool(s, QStringLiteral("zero"), true));
    EXPECT_TRUE(config.readBool(s, QStringLiteral("text"), true));
    EXPECT_FALSE(config.readBool(s, QStringLiteral("text"), false));
    config.writeBool(s, QStringLiteral("b"), true);
    EXPECT_EQ(config.readString(s, QStringLiteral("b"), QString()), QStringLiteral("1"));
}

TEST_F(ConfigTest, SectionsKeepTheOrderOfFirstWrite) {
    config.writeString(QStringLiteral("Monitor"), QStringLiteral("PlayTrace"), QStringLiteral("1"));
    config.writeString(QStringLiteral("Params"), QStringLiteral("Timeout"), QStringLiteral("4"));
    config.writeString(QStringLiteral("monitor"), QStringLiteral("Points"), QStringLiteral("3"));
    config.writeString(QStringLiteral("Params"), QStringLiteral("timeout"), QStringLiteral("2"));
    EXPECT_EQ(readAll(path), QByteArray("[Monitor]\r\nPlayTrace=1\r\nPoints=3\r\n\r\n[Params]\r\nTimeout=2\r\n"));
}

TEST_F(ConfigTest, ValueIsEverythingAfterTheFirstEquals) {
    config.writeString(QStringLiteral("Modem"), QStringLiteral("Reset"), QStringLiteral("at+vsm=1,8000=x "));
    EXPECT_EQ(config.readString(QStringLiteral("modem"), QStringLiteral("reset"), QString()),
              QStringLiteral("at+vsm=1,8000=x "));
}

TEST_F(ConfigTest, EraseRemovesEveryKeyOfTheSectionInAnySpelling) {
    config.writeInteger(QStringLiteral("Modem"), QStringLiteral("baudrate"), 1);
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Timeout"), 4);
    config.writeInteger(QStringLiteral("Modem"), QStringLiteral("FlowControl"), 0);
    ASSERT_TRUE(config.sectionExists(QStringLiteral("MODEM")));
    config.eraseSection(QStringLiteral("modem"));
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
    EXPECT_FALSE(config.valueExists(QStringLiteral("Modem"), QStringLiteral("baudrate")));
    EXPECT_TRUE(config.valueExists(QStringLiteral("Params"), QStringLiteral("Timeout")));
    EXPECT_EQ(readAll(path), QByteArray("[Params]\r\nTimeout=4\r\n"));
}

TEST_F(ConfigTest, EmptySectionDoesNotExist) {
    writeFile(path, "[Modem]\n\n[Params]\nx=1\n");
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
    EXPECT_TRUE(config.sectionExists(QStringLiteral("Params")));
}

TEST_F(ConfigTest, EveryWriteIsOnDiskAndSeenByAnotherReader) {
    config.writeString(QStringLiteral("Params"), QStringLiteral("Player"), QStringLiteral("vlc"));
    Config other(path);
    EXPECT_EQ(other.readString(QStringLiteral("PARAMS"), QStringLiteral("player"), QString()), QStringLiteral("vlc"));
    writeFile(path, "[Params]\nPlayer=mpv\n"); // changed behind the object's back: no cache
    EXPECT_EQ(config.readString(QStringLiteral("Params"), QStringLiteral("Player"), QString()), QStringLiteral("mpv"));
}

TEST_F(ConfigTest, LineBreaksInValuesAreRemoved) {
    config.writeString(QStringLiteral("Modem"), QStringLiteral("Model"), QStringLiteral("CX\r\n[Params]\nTimeout=9"));
    EXPECT_EQ(config.readString(QStringLiteral("Modem"), QStringLiteral("Model"), QString()),
              QStringLiteral("CX[Params]Timeout=9"));
    EXPECT_FALSE(config.valueExists(QStringLiteral("Params"), QStringLiteral("Timeout")));
}

TEST_F(ConfigTest, LongStringsAreCutOnRead) {
    const QString longValue(5000, QLatin1Char('a'));
    config.writeString(QStringLiteral("P"), QStringLiteral("k"), longValue);
    EXPECT_EQ(config.readString(QStringLiteral("P"), QStringLiteral("k"), QString()).size(), Config::kMaxStringRead);
}

TEST_F(ConfigTest, MissingFileReadsDefaultsAndUnwritableFileRaises) {
    Config missing(dir.filePath(QStringLiteral("nofolder/tvk.ini")));
    EXPECT_EQ(missing.readInteger(QStringLiteral("P"), QStringLiteral("k"), 7), 7);
    try {
        missing.writeInteger(QStringLiteral("P"), QStringLiteral("k"), 1);
        FAIL() << "write into a missing folder succeeded";
    } catch (const ConfigWriteError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + missing.path());
    }
}

TEST_F(ConfigTest, LinesFromTheOriginalPlatformAreWindows1252AndUtf8LinesStayUtf8) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Params]\r\nOld=\x93quoted\x94 \x80 \x96\r\nNew=\xe2\x80\x9cquoted\xe2\x80\x9d\r\n");
    file.close();
    EXPECT_EQ(config.readString(QStringLiteral("Params"), QStringLiteral("Old"), QString()),
              QStringLiteral("\u201cquoted\u201d \u20ac \u2013"));
    EXPECT_EQ(config.readString(QStringLiteral("Params"), QStringLiteral("New"), QString()),
              QStringLiteral("\u201cquoted\u201d"));
    // A write keeps the old line's text, now in UTF-8.
    config.writeString(QStringLiteral("Params"), QStringLiteral("Other"), QStringLiteral("x"));
    EXPECT_TRUE(readAll(path).contains("Old=\xe2\x80\x9cquoted\xe2\x80\x9d \xe2\x82\xac \xe2\x80\x93\r\n"));
}
