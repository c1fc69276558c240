// Whole-file conversion split between two threads, against a single pass of the same file: the bytes must
// be the same, and the warm-up must bring the second thread's codec state in step at the boundary.
#include "AudioTestData.h"
#include "audio/WavFileConverter.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

using namespace audiotest;

namespace {

const TdeWaveFormat kPcm16 = TdeWaveFormat::pcm(8000, 16, 1);

/// Tones with a swell under broadband noise: the GSM encoder's long-term predictor and offset filter
/// see a signal that never repeats, unlike a pure tone.
std::vector<int16_t> speechLike(size_t samples) {
    std::vector<int16_t> s = tone(samples);
    uint32_t seed = 12345;
    for (auto& v : s) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<int16_t>(v / 2 + static_cast<int>(seed >> 21) - 1024);
    }
    return s;
}

struct ParallelConversionTest : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    static WavConversionOptions singlePass() {
        WavConversionOptions o;
        o.allowTwoThreads = false;
        return o;
    }
    static WavConversionOptions split(int warmUpSeconds = 2) {
        WavConversionOptions o;
        o.twoThreadMinimumSeconds = 5;
        o.warmUpSeconds = warmUpSeconds;
        return o;
    }
    /// Converts `input` once in a single pass and once split; expects the same bytes, returns the report.
    WavConversionReport expectSameAsSinglePass(const QString& input, const TdeWaveFormat& target,
                                               const WavConversionOptions& options) {
        convertWavFile(input, path("single.wav"), target, singlePass());
        const WavConversionReport report = convertWavFile(input, path("split.wav"), target, options);
        const QByteArray a = readAll(path("single.wav"));
        const QByteArray b = readAll(path("split.wav"));
        EXPECT_GT(a.size(), 1000);
        EXPECT_EQ(a.size(), b.size()) << "tag " << target.formatTag();
        EXPECT_TRUE(a == b) << "tag " << target.formatTag();
        return report;
    }
    void writePcm(const std::vector<int16_t>& samples) { writeWav(path("in.wav"), kPcm16, toBytes(samples)); }
};

} // namespace

TEST_F(ParallelConversionTest, GsmEncoderStateIsInStepAfterTheWarmUp) {
    writePcm(speechLike(106543));
    const WavConversionReport r = expectSameAsSinglePass(path("in.wav"), GsmDriver::gsmFormat(8000), split());
    EXPECT_EQ(r.threads, 2);
    EXPECT_TRUE(r.segmentsAgreed);
    EXPECT_EQ(r.divergedBytes, 0); // the second half is the single pass's from its first block
}

TEST_F(ParallelConversionTest, GsmEncoderWithoutWarmUpDivergesAndTheCheckRepairsIt) {
    // A second thread starting from a fresh encoder state encodes the frames after the boundary differently;
    // the first thread must find that and replace them, so the file is still that of a single pass.
    writePcm(speechLike(106543));
    const WavConversionReport r = expectSameAsSinglePass(path("in.wav"), GsmDriver::gsmFormat(8000), split(0));
    EXPECT_EQ(r.threads, 2);
    EXPECT_GT(r.divergedBytes, 0);
}

TEST_F(ParallelConversionTest, DecodersAreInStepAfterTheWarmUp) {
    writePcm(speechLike(106543));
    for (const TdeWaveFormat& coded : {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1)}) {
        convertWavFile(path("in.wav"), path("coded.wav"), coded, singlePass());
        const WavConversionReport r = expectSameAsSinglePass(path("coded.wav"), kPcm16, split());
        EXPECT_EQ(r.threads, 2);
        EXPECT_EQ(r.divergedBytes, 0) << "tag " << coded.formatTag();
    }
}

TEST_F(ParallelConversionTest, GsmDecoderWithoutWarmUpDivergesAndTheCheckRepairsIt) {
    writePcm(speechLike(106543));
    convertWavFile(path("in.wav"), path("coded.wav"), GsmDriver::gsmFormat(8000), singlePass());
    const WavConversionReport r = expectSameAsSinglePass(path("coded.wav"), kPcm16, split(0));
    EXPECT_GT(r.divergedBytes, 0);
    EXPECT_TRUE(r.segmentsAgreed);
}

TEST_F(ParallelConversionTest, OddLengthsSplitOnWholeBlocks) {
    // Lengths around a GSM block and an IMA block (505 samples), with an even and an odd number of units.
    for (size_t samples : {size_t{48000}, size_t{48001}, size_t{48319}, size_t{48320 + 160}, size_t{50500 + 504}}) {
        writePcm(speechLike(samples));
        for (const TdeWaveFormat& coded : {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1),
                                           G711Driver::lawFormat(wavetag::Mulaw, 8000, 1)}) {
            SCOPED_TRACE(testing::Message() << samples << " samples, tag " << coded.formatTag());
            EXPECT_EQ(expectSameAsSinglePass(path("in.wav"), coded, split()).threads, 2);
            QFile::rename(path("single.wav"), path("coded.wav"));
            EXPECT_EQ(expectSameAsSinglePass(path("coded.wav"), kPcm16, split()).threads, 2);
        }
    }
}

TEST_F(ParallelConversionTest, PartialLastFrames) {
    const std::vector<int16_t> source = speechLike(60000);
    const QByteArray pcm = toBytes(source);
    // A GSM data chunk ending 30 bytes into a block: the partial block is dropped on both paths.
    writePcm(source);
    convertWavFile(path("in.wav"), path("whole.wav"), GsmDriver::gsmFormat(8000), singlePass());
    const QByteArray gsm = readAll(path("whole.wav")).mid(48);
    writeWav(path("gsm.wav"), GsmDriver::gsmFormat(8000), gsm + gsm.left(30));
    expectSameAsSinglePass(path("gsm.wav"), kPcm16, split());
    EXPECT_EQ(readAll(path("split.wav")).size(), 44 + gsm.size() / 65 * 640);
    // 16-bit PCM ending in half a sample, and ending 100 samples into a GSM block: padded with silence.
    writeWav(path("odd.wav"), kPcm16, pcm + pcm.left(1));
    expectSameAsSinglePass(path("odd.wav"), GsmDriver::gsmFormat(8000), split());
    writeWav(path("odd.wav"), kPcm16, pcm.left(pcm.size() - 2 * 220));
    expectSameAsSinglePass(path("odd.wav"), GsmDriver::gsmFormat(8000), split());
    EXPECT_EQ(readAll(path("split.wav")).size(), 48 + (60000 - 220 + 319) / 320 * 65);
}

TEST_F(ParallelConversionTest, ShortFilesRunOnOneThread) {
    writePcm(speechLike(8000 * 20));
    WavConversionOptions defaults;
    EXPECT_EQ(convertWavFile(path("in.wav"), path("a.wav"), GsmDriver::gsmFormat(8000), defaults).threads, 1);
    defaults.twoThreadMinimumSeconds = 19;
    EXPECT_EQ(convertWavFile(path("in.wav"), path("b.wav"), GsmDriver::gsmFormat(8000), defaults).threads, 2);
    EXPECT_EQ(readAll(path("a.wav")), readAll(path("b.wav")));
}
