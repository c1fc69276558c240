// orlamo-cli info and convert: every format to every other gives a file sox reads with the same duration.
#include "AudioTestData.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiotest;

namespace {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

Result runProgram(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Result r;
    if (!p.waitForStarted(20000) || !p.waitForFinished(120000))
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString cli() {
    return QProcessEnvironment::systemEnvironment().value("ORLAMO_BIN_DIR") + "/orlamo-cli";
}

/// The duration sox reads from a file, or -1 when it cannot read it.
double soxSeconds(const QString& path) {
    const Result r = runProgram("soxi", {"-D", path});
    return r.code == 0 ? r.out.trimmed().toDouble() : -1;
}

struct CliConvertTest : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    void SetUp() override {
        ASSERT_TRUE(QFile::exists(cli())) << "orlamo-cli not built in ORLAMO_BIN_DIR";
        writeWav(path("source.wav"), WaveFormat::pcm(8000, 16, 1), toBytes(tone(8000 * 2)));
    }
};

} // namespace

TEST_F(CliConvertTest, InfoShowsFormatDurationAndSize) {
    const Result r = runProgram(cli(), {"--workdir", dir.path(), "info", path("source.wav")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("format: PCM: 8.000 kHz, 16 Bit, Mono")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("data: 32000 bytes"));
    EXPECT_TRUE(r.out.contains("duration: 2.000 s"));

    QFile junk(path("junk.wav"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a wave");
    junk.close();
    const Result bad = runProgram(cli(), {"--workdir", dir.path(), "info", path("junk.wav")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains("Invalid file format.")) << bad.err.toStdString();
}

TEST_F(CliConvertTest, EveryFormatToEveryOtherIsReadBySox) {
    const QStringList formats = {"pcm:8000:8:1", "pcm", "ulaw", "alaw", "ima", "msadpcm", "gsm"};
    for (const QString& from : formats) {
        const QString first = path("from.wav");
        const Result a =
            runProgram(cli(), {"--workdir", dir.path(), "convert", path("source.wav"), first, "--to", from});
        ASSERT_EQ(a.code, 0) << from.toStdString() << ": " << a.err.toStdString();
        for (const QString& to : formats) {
            const QString second = path("to.wav");
            const Result b = runProgram(cli(), {"--workdir", dir.path(), "convert", first, second, "--to", to});
            ASSERT_EQ(b.code, 0) << from.toStdString() << " -> " << to.toStdString() << ": " << b.err.toStdString();
            // Block codecs round the length up to whole blocks (at most 505 samples here, twice).
            EXPECT_NEAR(soxSeconds(second), 2.0, 0.13) << from.toStdString() << " -> " << to.toStdString();
        }
    }
}

TEST_F(CliConvertTest, RatesChannelsAndBadRequests) {
    ASSERT_EQ(runProgram(cli(), {"convert", path("source.wav"), path("s.wav"), "--to", "pcm:22050:16:2"}).code, 0);
    EXPECT_EQ(runProgram("soxi", {"-r", path("s.wav")}).out.trimmed(), "22050");
    EXPECT_EQ(runProgram("soxi", {"-c", path("s.wav")}).out.trimmed(), "2");
    ASSERT_EQ(runProgram(cli(), {"convert", path("s.wav"), path("i.wav"), "--to", "ima:11025"}).code, 0);
    EXPECT_EQ(runProgram("soxi", {"-r", path("i.wav")}).out.trimmed(), "11025");
    EXPECT_EQ(runProgram("soxi", {"-c", path("i.wav")}).out.trimmed(), "2");
    EXPECT_NEAR(soxSeconds(path("i.wav")), 2.0, 0.1);

    EXPECT_EQ(runProgram(cli(), {"convert", path("source.wav"), path("x.wav"), "--to", "mp3"}).code, 2);
    EXPECT_EQ(runProgram(cli(), {"convert", path("source.wav"), path("x.wav"), "--to", "gsm:8000:0:2"}).code, 2);
    EXPECT_EQ(runProgram(cli(), {"convert", path("source.wav"), path("x.wav"), "--to", "pcm:abc"}).code, 2);
    EXPECT_EQ(runProgram(cli(), {"convert", path("source.wav"), path("x.wav")}).code, 2);
    EXPECT_FALSE(QFile::exists(path("x.wav")));
    EXPECT_EQ(runProgram(cli(), {"convert", path("missing.wav"), path("x.wav"), "--to", "pcm"}).code, 1);
}

TEST_F(CliConvertTest, RelativeNamesAreTakenFromTheFolderTheUserIsIn) {
    // The working folder is elsewhere: the files named on the command line are still the user's.
    QTemporaryDir work;
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(cli(), {"--workdir", work.path(), "convert", "source.wav", "relative.wav", "--to", "ulaw"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_TRUE(QFile::exists(path("relative.wav")));
    EXPECT_FALSE(QFile::exists(work.filePath("relative.wav")));

    QProcess info;
    info.setWorkingDirectory(dir.path());
    info.start(cli(), {"--workdir", work.path(), "info", "relative.wav"});
    ASSERT_TRUE(info.waitForFinished(60000));
    EXPECT_EQ(info.exitCode(), 0) << info.readAllStandardError().constData();
    EXPECT_TRUE(info.readAllStandardOutput().contains("duration: 2.000 s"));
}
