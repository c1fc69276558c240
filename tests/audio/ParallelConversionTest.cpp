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

const WaveFormat kPcm16 = WaveFormat::pcm(8000, 16, 1);

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
    /// Split, with an encoder checked to the end: the file must then be that of a single pass.
    static WavConversionOptions splitExact(int warmUpSeconds = 2) {
        WavConversionOptions o = split(warmUpSeconds);
        o.encoderCheckSeconds = 1000;
        return o;
    }
    /// Converts `input` once in a single pass and once split; expects the same bytes, returns the report.
    WavConversionReport expectSameAsSinglePass(const QString& input, const WaveFormat& target,
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
    // checked to the end, the first thread finds that and replaces them: the file is that of a single pass.
    writePcm(speechLike(106543));
    const WavConversionReport r = expectSameAsSinglePass(path("in.wav"), GsmDriver::gsmFormat(8000), splitExact(0));
    EXPECT_EQ(r.threads, 2);
    EXPECT_GT(r.divergedBytes, 0);
}

TEST_F(ParallelConversionTest, DecodersAreInStepAfterTheWarmUp) {
    writePcm(speechLike(106543));
    for (const WaveFormat& coded : {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1)}) {
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
        for (const WaveFormat& coded : {GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(8000, 1),
                                        G711Driver::lawFormat(wavetag::Mulaw, 8000, 1)}) {
            SCOPED_TRACE(testing::Message() << samples << " samples, tag " << coded.formatTag());
            EXPECT_EQ(expectSameAsSinglePass(path("in.wav"), coded, splitExact()).threads, 2);
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
    expectSameAsSinglePass(path("odd.wav"), GsmDriver::gsmFormat(8000), splitExact());
    writeWav(path("odd.wav"), kPcm16, pcm.left(pcm.size() - 2 * 220));
    expectSameAsSinglePass(path("odd.wav"), GsmDriver::gsmFormat(8000), splitExact());
    EXPECT_EQ(readAll(path("split.wav")).size(), 48 + (60000 - 220 + 319) / 320 * 65);
}

TEST_F(ParallelConversionTest, ShortFilesRunOnOneThread) {
    writePcm(speechLike(8000 * 20));
    WavConversionOptions defaults;
    EXPECT_EQ(convertWavFile(path("in.wav"), path("a.wav"), GsmDriver::gsmFormat(8000), defaults).threads, 1);
    defaults.twoThreadMinimumSeconds = 19;
    defaults.encoderCheckSeconds = 1000;
    EXPECT_EQ(convertWavFile(path("in.wav"), path("b.wav"), GsmDriver::gsmFormat(8000), defaults).threads, 2);
    EXPECT_EQ(readAll(path("a.wav")), readAll(path("b.wav")));
}

namespace {

struct Splice {
    WavConversionReport report;
    double singleSnr = 0; ///< of the single pass's decoded samples against the source, 40 ms from the splice
    double splitSnr = 0;  ///< the same of the split conversion
};

} // namespace

/// Encodes `source` to GSM in a single pass and split, decodes both and measures them against the source
/// over the two frames after the point where the second thread's encoding was taken over.
static Splice measureSplice(ParallelConversionTest& t, const std::vector<int16_t>& source,
                            const WavConversionOptions& options) {
    t.writePcm(source);
    convertWavFile(t.path("in.wav"), t.path("single.wav"), GsmDriver::gsmFormat(8000),
                   ParallelConversionTest::singlePass());
    Splice r;
    r.report = convertWavFile(t.path("in.wav"), t.path("split.wav"), GsmDriver::gsmFormat(8000), options);
    const QByteArray a = readAll(t.path("single.wav"));
    const QByteArray b = readAll(t.path("split.wav"));
    EXPECT_EQ(a.size(), b.size());
    EXPECT_GE(r.report.splicedAt, 0);
    EXPECT_EQ(a.left(48 + r.report.splicedAt), b.left(48 + r.report.splicedAt)); // a single pass up to there
    convertWavFile(t.path("single.wav"), t.path("single16.wav"), kPcm16, ParallelConversionTest::singlePass());
    convertWavFile(t.path("split.wav"), t.path("split16.wav"), kPcm16, ParallelConversionTest::singlePass());
    const std::vector<int16_t> x = toSamples(readAll(t.path("single16.wav")).mid(44));
    const std::vector<int16_t> y = toSamples(readAll(t.path("split16.wav")).mid(44));
    const auto at = static_cast<ptrdiff_t>(r.report.splicedAt / 65 * 320);
    const std::vector<int16_t> reference(source.begin() + at, source.begin() + at + 320);
    r.singleSnr = snrDb(reference, {x.begin() + at, x.begin() + at + 320});
    r.splitSnr = snrDb(reference, {y.begin() + at, y.begin() + at + 320});
    EXPECT_NEAR(snrDb(source, x), snrDb(source, y), 0.1);
    return r;
}

TEST_F(ParallelConversionTest, AnEncoderNeverInStepIsSplicedInWithoutLoss) {
    // On these lengths the two GSM encoders never meet exactly; the second one's encoding is kept after
    // the check, and the 40 ms after the splice are as close to the source as the single pass's.
    for (size_t samples : {size_t{108044}, size_t{125055}}) {
        const Splice s = measureSplice(*this, speechLike(samples), split());
        EXPECT_FALSE(s.report.segmentsAgreed);
        EXPECT_GT(s.splitSnr, s.singleSnr - 1.0) << samples;
    }
}

TEST_F(ParallelConversionTest, AnEncoderSplicedInWithoutItsStateIsCaught) {
    // The measure above must see a second encoder started from a fresh state at the boundary.
    WavConversionOptions fresh = split(0);
    fresh.encoderCheckSeconds = 0;
    for (size_t samples : {size_t{108044}, size_t{125055}}) {
        const Splice s = measureSplice(*this, speechLike(samples), fresh);
        EXPECT_LT(s.splitSnr, s.singleSnr - 1.0) << samples;
    }
}
