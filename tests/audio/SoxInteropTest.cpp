// Interoperability with sox: we decode what sox writes to sox's own samples, and sox decodes what we write
// to ours, in every format we offer.
#include "AudioTestData.h"
#include "audio/AudioConverter.h"
#include "audio/WavReader.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "audio/drivers/MsAdpcmDriver.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiotest;

namespace {

struct Case {
    const char* name;
    QStringList soxEncoding; ///< sox output options
    int channels;
    WaveFormat (*ours)(int channels);
    size_t blockSamples; ///< samples per channel of one codec block
};

WaveFormat lawU(int ch) {
    return G711Driver::lawFormat(wavetag::Mulaw, 8000, static_cast<uint16_t>(ch));
}
WaveFormat lawA(int ch) {
    return G711Driver::lawFormat(wavetag::Alaw, 8000, static_cast<uint16_t>(ch));
}
WaveFormat u8(int ch) {
    return WaveFormat::pcm(8000, 8, static_cast<uint16_t>(ch));
}
WaveFormat s16(int ch) {
    return WaveFormat::pcm(8000, 16, static_cast<uint16_t>(ch));
}
WaveFormat ima(int ch) {
    return ImaAdpcmDriver::imaFormat(8000, static_cast<uint16_t>(ch));
}
WaveFormat ms(int ch) {
    return MsAdpcmDriver::msAdpcmFormat(8000, static_cast<uint16_t>(ch));
}
WaveFormat gsm(int) {
    return GsmDriver::gsmFormat(8000);
}

const QList<Case>& cases() {
    static const QList<Case> list = {
        {"u8", {"-e", "unsigned", "-b", "8"}, 1, u8, 1},        {"u8 stereo", {"-e", "unsigned", "-b", "8"}, 2, u8, 1},
        {"s16", {"-e", "signed", "-b", "16"}, 1, s16, 1},       {"u-law", {"-e", "u-law"}, 1, lawU, 1},
        {"A-law stereo", {"-e", "a-law"}, 2, lawA, 1},          {"IMA ADPCM", {"-e", "ima-adpcm"}, 1, ima, 505},
        {"IMA ADPCM stereo", {"-e", "ima-adpcm"}, 2, ima, 505}, {"MS ADPCM", {"-e", "ms-adpcm"}, 1, ms, 500},
        {"MS ADPCM stereo", {"-e", "ms-adpcm"}, 2, ms, 500},    {"GSM 6.10", {"-e", "gsm-full-rate"}, 1, gsm, 320},
    };
    return list;
}

/// Runs sox; the test fails (never skips) when it is missing, since the setup script installs it.
void sox(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("sox"), args);
    ASSERT_TRUE(p.waitForStarted(20000)) << "sox is not installed (scripts/setup installs it)";
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << args.join(' ').toStdString() << ": " << p.readAllStandardError().toStdString();
}

/// Converts a whole byte block with our converter.
QByteArray convert(const WaveFormat& in, const WaveFormat& out, const QByteArray& data) {
    AudioConverter c;
    c.setFormatIn(in);
    c.setFormatOut(out);
    QByteArray result;
    QObject::connect(&c, &AudioConverter::audioConverted, [&](const QByteArray& d) { result += d; });
    c.open();
    c.convert(data.constData(), data.size());
    c.close();
    return result;
}

/// Our decoding of a WAV file to 16-bit PCM of its rate and channels.
std::vector<int16_t> ourDecode(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    WavReader reader(f);
    QByteArray data(reader.itemSize(0), '\0');
    data.resize(reader.readItem(0, data.data(), data.size()));
    const WaveFormat format = reader.format();
    return toSamples(convert(format, WaveFormat::pcm(format.samplesPerSec(), 16, format.channels()), data));
}

std::vector<int16_t> soxDecode(const QString& path, const QString& raw) {
    sox({path, "-t", "raw", "-e", "signed", "-b", "16", raw});
    QFile f(raw);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return toSamples(f.readAll());
}

struct SoxInteropTest : ::testing::TestWithParam<int> {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    /// 2.1 s of a two-tone signal; the right channel is a quieter, inverted copy.
    QByteArray source(int channels) const {
        const std::vector<int16_t> mono = tone(16800);
        if (channels == 1)
            return toBytes(mono);
        std::vector<int16_t> stereo(mono.size() * 2);
        for (size_t i = 0; i < mono.size(); ++i) {
            stereo[2 * i] = mono[i];
            stereo[2 * i + 1] = static_cast<int16_t>(-mono[i] / 2);
        }
        return toBytes(stereo);
    }
};

void expectSameSamples(const std::vector<int16_t>& ours, const std::vector<int16_t>& theirs, size_t blockSamples,
                       int channels) {
    ASSERT_FALSE(ours.empty());
    // sox may pad and decode a final partial block that a whole-block decoder leaves out.
    const size_t slack = blockSamples * static_cast<size_t>(channels);
    ASSERT_LE(ours.size(), theirs.size() + slack);
    ASSERT_LE(theirs.size(), ours.size() + slack);
    const size_t n = std::min(ours.size(), theirs.size());
    size_t differing = 0;
    for (size_t i = 0; i < n; ++i)
        differing += ours[i] != theirs[i];
    EXPECT_EQ(differing, 0u) << "of " << n << " samples";
}

} // namespace

TEST_P(SoxInteropTest, WeDecodeWhatSoxWrites) {
    const Case& c = cases()[GetParam()];
    writeWav(path("in.wav"), s16(c.channels), source(c.channels));
    sox(QStringList{"-D", path("in.wav")} + c.soxEncoding + QStringList{path("sox.wav")});
    expectSameSamples(ourDecode(path("sox.wav")), soxDecode(path("sox.wav"), path("sox.raw")), c.blockSamples,
                      c.channels);
}

TEST_P(SoxInteropTest, SoxDecodesWhatWeWrite) {
    const Case& c = cases()[GetParam()];
    const WaveFormat format = c.ours(c.channels);
    const QByteArray encoded = convert(s16(c.channels), format, source(c.channels));
    writeWav(path("ours.wav"), format, encoded);
    const std::vector<int16_t> ours = ourDecode(path("ours.wav"));
    expectSameSamples(ours, soxDecode(path("ours.wav"), path("ours.raw")), c.blockSamples, c.channels);
    // And the coding itself is sound: the decoded signal stays close to the source.
    const std::vector<int16_t> original = toSamples(source(c.channels));
    EXPECT_GT(snrDb(original, ours), format.formatTag() == wavetag::Gsm610 ? 5.0 : 12.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, SoxInteropTest, ::testing::Range(0, 10), [](const auto& info) {
    std::string name = cases()[info.param].name;
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});
