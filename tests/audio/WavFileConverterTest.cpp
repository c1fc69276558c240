// Whole-file conversion: the two-thread split gives byte for byte the file of a single pass.
#include "audio/WavFileConverter.h"
#include "AudioTestData.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "audio/drivers/MsAdpcmDriver.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

using namespace audiotest;

namespace {

struct WavFileConverterTest : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    /// Converts with one and with two threads and expects the same bytes.
    void expectSplitMatchesSinglePass(const QString& input, const WaveFormat& target) {
        WavConversionOptions single;
        single.allowTwoThreads = false;
        WavConversionOptions split;
        split.twoThreadMinimumSeconds = 5;
        convertWavFile(input, path("single.wav"), target, single);
        convertWavFile(input, path("split.wav"), target, split);
        const QByteArray a = readAll(path("single.wav"));
        ASSERT_GT(a.size(), 1000);
        EXPECT_TRUE(a == readAll(path("split.wav"))) << "tag " << target.formatTag();
    }
};

} // namespace

TEST_F(WavFileConverterTest, EncodingsSplitAcrossThreadsMatchASinglePass) {
    // 13.3 s, so the split does not fall on a round block count.
    writeWav(path("in.wav"), WaveFormat::pcm(8000, 16, 1), toBytes(tone(106543)));
    for (const WaveFormat& target : {ImaAdpcmDriver::imaFormat(8000, 1), MsAdpcmDriver::msAdpcmFormat(8000, 1),
                                     G711Driver::lawFormat(wavetag::Mulaw, 8000, 1), WaveFormat::workingFormat()})
        expectSplitMatchesSinglePass(path("in.wav"), target);
}

TEST_F(WavFileConverterTest, GsmEncodingSplitAcrossThreadsIsAsGoodAsASinglePass) {
    const std::vector<int16_t> source = tone(106543);
    writeWav(path("in.wav"), WaveFormat::pcm(8000, 16, 1), toBytes(source));
    WavConversionOptions single;
    single.allowTwoThreads = false;
    WavConversionOptions split;
    split.twoThreadMinimumSeconds = 5;
    convertWavFile(path("in.wav"), path("single.wav"), GsmDriver::gsmFormat(8000), single);
    convertWavFile(path("in.wav"), path("split.wav"), GsmDriver::gsmFormat(8000), split);
    const QByteArray a = readAll(path("single.wav"));
    const QByteArray b = readAll(path("split.wav"));
    ASSERT_EQ(a.size(), b.size());
    const qsizetype firstHalf = 48 + 106543 / 320 / 2 * 65;
    EXPECT_EQ(a.left(firstHalf), b.left(firstHalf));
    // Decoded, the split encoding is as close to the source as the single pass, also around the split.
    convertWavFile(path("single.wav"), path("single16.wav"), WaveFormat::pcm(8000, 16, 1), single);
    convertWavFile(path("split.wav"), path("split16.wav"), WaveFormat::pcm(8000, 16, 1), single);
    const std::vector<int16_t> x = toSamples(readAll(path("single16.wav")).mid(44));
    const std::vector<int16_t> y = toSamples(readAll(path("split16.wav")).mid(44));
    EXPECT_NEAR(snrDb(source, x), snrDb(source, y), 0.5);
    const size_t middle = 106543 / 320 / 2 * 320;
    const std::vector<int16_t> around(source.begin() + middle - 1600, source.begin() + middle + 1600);
    EXPECT_NEAR(snrDb(around, {x.begin() + middle - 1600, x.begin() + middle + 1600}),
                snrDb(around, {y.begin() + middle - 1600, y.begin() + middle + 1600}), 1.0);
}

TEST_F(WavFileConverterTest, DecodingsSplitAcrossThreadsMatchASinglePass) {
    writeWav(path("in.wav"), WaveFormat::pcm(8000, 16, 1), toBytes(tone(106543)));
    for (const WaveFormat& coded : {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1)}) {
        convertWavFile(path("in.wav"), path("coded.wav"), coded);
        expectSplitMatchesSinglePass(path("coded.wav"), WaveFormat::pcm(8000, 16, 1));
    }
    // 8-bit modem PCM to u-law goes through a 16-bit step on both threads.
    convertWavFile(path("in.wav"), path("u8.wav"), WaveFormat::workingFormat());
    expectSplitMatchesSinglePass(path("u8.wav"), G711Driver::lawFormat(wavetag::Mulaw, 8000, 1));
}

TEST_F(WavFileConverterTest, TailIsPaddedToAWholeBlock) {
    writeWav(path("in.wav"), WaveFormat::pcm(8000, 16, 1), toBytes(tone(1000)));
    convertWavFile(path("in.wav"), path("g.wav"), GsmDriver::gsmFormat(8000));
    EXPECT_EQ(readAll(path("g.wav")).size(), 48 + 4 * 65); // 1000 samples in four 320-sample blocks
}
