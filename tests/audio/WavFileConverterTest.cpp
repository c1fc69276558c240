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

using namespace audiotest;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct WavFileConverterTest : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    /// Converts with one and with two threads and expects the same bytes.
    void expectSplitMatchesSinglePass(const QString& input, const TdeWaveFormat& target) {
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
    writeWav(path("in.wav"), TdeWaveFormat::pcm(8000, 16, 1), toBytes(tone(106543)));
    for (const TdeWaveFormat& target :
         {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1), MsAdpcmDriver::msAdpcmFormat(8000, 1),
          G711Driver::lawFormat(wavetag::Mulaw, 8000, 1), TdeWaveFormat::workingFormat()})
        expectSplitMatchesSinglePass(path("in.wav"), target);
}

TEST_F(WavFileConverterTest, DecodingsSplitAcrossThreadsMatchASinglePass) {
    writeWav(path("in.wav"), TdeWaveFormat::pcm(8000, 16, 1), toBytes(tone(106543)));
    for (const TdeWaveFormat& coded : {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1)}) {
        convertWavFile(path("in.wav"), path("coded.wav"), coded);
        expectSplitMatchesSinglePass(path("coded.wav"), TdeWaveFormat::pcm(8000, 16, 1));
    }
    // 8-bit modem PCM straight to GSM goes through a 16-bit step on both threads.
    convertWavFile(path("in.wav"), path("u8.wav"), TdeWaveFormat::workingFormat());
    expectSplitMatchesSinglePass(path("u8.wav"), GsmDriver::gsmFormat(8000));
}

TEST_F(WavFileConverterTest, TailIsPaddedToAWholeBlock) {
    writeWav(path("in.wav"), TdeWaveFormat::pcm(8000, 16, 1), toBytes(tone(1000)));
    convertWavFile(path("in.wav"), path("g.wav"), GsmDriver::gsmFormat(8000));
    EXPECT_EQ(readAll(path("g.wav")).size(), 48 + 4 * 65); // 1000 samples in four 320-sample blocks
}
