// The codecs' fixed points, hostile input handling, PCM conversions and the codec service's contract.
#include "AudioTestData.h"
#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/CodecService.h"
#include "audio/codecs/G711.h"
#include "audio/codecs/ImaAdpcm.h"
#include "audio/codecs/MsAdpcm.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "audio/drivers/MsAdpcmDriver.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace audiotest;

namespace {
QByteArray run(const WaveFormat& in, const WaveFormat& out, const QByteArray& data) {
    AudioConverter c;
    c.setFormatIn(in);
    c.setFormatOut(out);
    QByteArray result;
    QObject::connect(&c, &AudioConverter::audioConverted, [&](const QByteArray& d) { result += d; });
    c.open();
    c.convert(data.constData(), data.size());
    return result;
}
} // namespace

TEST(G711Test, FixedPointsAndIdempotentRecoding) {
    EXPECT_EQ(g711::ulawToLinear(0xFF), 0);
    EXPECT_EQ(g711::ulawToLinear(0x00), -32124);
    EXPECT_EQ(g711::ulawToLinear(0x80), 32124);
    EXPECT_EQ(g711::alawToLinear(0xD5), 8);
    EXPECT_EQ(g711::alawToLinear(0x55), -8);
    EXPECT_EQ(g711::alawToLinear(0xAA), 32256);
    EXPECT_EQ(g711::linearToUlaw(0), 0xFF);
    EXPECT_EQ(g711::linearToAlaw(0), 0xD5);
    EXPECT_EQ(g711::linearToUlaw(32767), 0x80);
    EXPECT_EQ(g711::linearToUlaw(-32768), 0x00);
    for (int code = 0; code < 256; ++code) {
        const auto c = static_cast<uint8_t>(code);
        EXPECT_EQ(g711::ulawToLinear(g711::linearToUlaw(g711::ulawToLinear(c))), g711::ulawToLinear(c)) << code;
        EXPECT_EQ(g711::linearToAlaw(g711::alawToLinear(c)), c) << code;
    }
}

TEST(AdpcmTest, HostileBlockHeadersAreClamped) {
    // A step index past the table and a predictor index past the coefficients decode as the last
    // entry of each (and, under the sanitizer, without reading out of bounds).
    const auto decodeIma = [](const std::vector<uint8_t>& block) {
        ImaAdpcmDecoder ima(1, static_cast<int>(block.size()));
        std::vector<int16_t> out(static_cast<size_t>(ima.samplesPerBlock()));
        ima.process(block, out);
        return out;
    };
    const auto decodeMs = [](const std::vector<uint8_t>& block) {
        MsAdpcmDecoder ms(1, static_cast<int>(block.size()));
        std::vector<int16_t> out(static_cast<size_t>(ms.samplesPerBlock()));
        ms.process(block, out);
        return out;
    };
    std::vector<uint8_t> block(256, 0x88);
    std::vector<uint8_t> lastEntry = block;
    block[2] = 200;
    lastEntry[2] = 88;
    EXPECT_EQ(decodeIma(block), decodeIma(lastEntry));
    block[0] = 99;                    // predictor index past the table
    block[1] = 0xFF, block[2] = 0x7F; // delta 32767
    lastEntry = block;
    lastEntry[0] = static_cast<uint8_t>(msadpcm::kStandardCoefficients.size() - 1);
    EXPECT_EQ(decodeMs(block), decodeMs(lastEntry));
}

TEST(AdpcmTest, PredictorTableOfAFileCannotOverflowThePrediction) {
    // A file's own table with the extreme coefficients, and the extreme first samples: the prediction is
    // 2 x 32768 x 32768 / 256, beyond 32-bit arithmetic before the division.
    MsAdpcmDecoder ms(1, 64, {{-32768, -32768}});
    std::vector<uint8_t> block(64, 0x77);
    block[0] = 0;                     // the table's only predictor
    block[1] = 16, block[2] = 0;      // delta
    block[3] = 0x00, block[4] = 0x80; // sample 1: -32768
    block[5] = 0x00, block[6] = 0x80; // sample 2: -32768
    std::vector<int16_t> out(static_cast<size_t>(ms.samplesPerBlock()));
    ms.process(block, out);
    EXPECT_EQ(out[0], -32768);
    EXPECT_EQ(out[2], 32767); // the prediction far above the range, clamped
}

TEST(AdpcmTest, BlockGeometry) {
    EXPECT_EQ(ima::samplesPerBlock(256, 1), 505);
    EXPECT_EQ(ima::samplesPerBlock(512, 2), 505);
    EXPECT_EQ(ima::samplesPerBlock(6, 1), 0);
    EXPECT_EQ(msadpcm::samplesPerBlock(256, 1), 500);
    EXPECT_EQ(msadpcm::samplesPerBlock(512, 2), 500);
    const WaveFormat f = ImaAdpcmDriver::imaFormat(8000, 1);
    EXPECT_EQ(f.avgBytesPerSec(), 4055u);
    EXPECT_EQ(f.extraSize(), 2);
    EXPECT_EQ(MsAdpcmDriver::msAdpcmFormat(8000, 1).extraSize(), 32);
    EXPECT_EQ(GsmDriver::gsmFormat(8000).avgBytesPerSec(), 1625u);
}

TEST(DecoderRobustnessTest, RandomBytesNeverCrashAnyDecoder) {
    QRandomGenerator random(42);
    QByteArray noise(65 * 256, '\0');
    for (char& b : noise)
        b = static_cast<char>(random.bounded(256));
    const QList<WaveFormat> formats = {G711Driver::lawFormat(wavetag::Mulaw, 8000, 1),
                                       ImaAdpcmDriver::imaFormat(8000, 2), MsAdpcmDriver::msAdpcmFormat(8000, 2),
                                       GsmDriver::gsmFormat(8000), ImaAdpcmDriver::imaFormat(22050, 1)};
    for (const WaveFormat& f : formats) {
        const QByteArray out = run(f, WaveFormat::workingFormat(), noise);
        EXPECT_FALSE(out.isEmpty()) << f.formatTag();
    }
}

TEST(PcmConversionTest, SampleSizesChannelsAndRates) {
    const QByteArray u8 = QByteArray::fromHex("0080ff");
    EXPECT_EQ(run(WaveFormat::pcm(8000, 8, 1), WaveFormat::pcm(8000, 16, 1), u8), QByteArray::fromHex("0080"
                                                                                                      "0000"
                                                                                                      "007f"));
    EXPECT_EQ(run(WaveFormat::pcm(8000, 16, 1), WaveFormat::pcm(8000, 8, 1),
                  QByteArray::fromHex("7f00"
                                      "0080"
                                      "ff7f")),
              QByteArray::fromHex("80"
                                  "00"
                                  "ff"));
    const QByteArray stereo = toBytes({1000, 3000, -200, -400});
    EXPECT_EQ(run(WaveFormat::pcm(8000, 16, 2), WaveFormat::pcm(8000, 16, 1), stereo), toBytes({2000, -300}));
    EXPECT_EQ(run(WaveFormat::pcm(8000, 16, 1), WaveFormat::pcm(8000, 16, 2), toBytes({5, -7})),
              toBytes({5, 5, -7, -7}));

    // 8000 Hz to 7200 Hz keeps the duration and the tone.
    const std::vector<int16_t> signal = tone(8000);
    const std::vector<int16_t> resampled =
        toSamples(run(WaveFormat::pcm(8000, 16, 1), WaveFormat::pcm(7200, 16, 1), toBytes(signal)));
    EXPECT_NEAR(static_cast<double>(resampled.size()), 7200.0, 100.0);
    const std::vector<int16_t> back =
        toSamples(run(WaveFormat::pcm(7200, 16, 1), WaveFormat::pcm(8000, 16, 1), toBytes(resampled)));
    // Compare past the converter's delay by aligning on the best lag.
    double best = -100;
    for (size_t lag = 0; lag < 200 && lag < back.size(); ++lag)
        best = std::max(best, snrDb(signal, std::vector<int16_t>(back.begin() + static_cast<long>(lag), back.end())));
    EXPECT_GT(best, 15.0);
}

TEST(CodecServiceTest, ListTextsSuggestionAndCodes) {
    const QList<CodecListEntry> list = CodecService::codecList();
    ASSERT_EQ(list.size(), 5);
    EXPECT_EQ(list[0].driverName, QStringLiteral("PCM Converter"));
    EXPECT_EQ(list[0].formats[0].format.size(), 18);
    EXPECT_EQ(list[3].formats[0].format.size(), 18 + 32);
    EXPECT_EQ(list[1].formats[2].text, QStringLiteral("8.000 kHz, 8 Bit, Mono"));
    EXPECT_EQ(CodecService::formatText(GsmDriver::gsmFormat(8000)), QStringLiteral("8.000 kHz, Mono"));

    WaveFormat suggestion = ImaAdpcmDriver::imaFormat(11025, 2);
    suggestion.setFormatTag(wavetag::Pcm);
    ASSERT_EQ(CodecService::formatSuggest(ImaAdpcmDriver::imaFormat(11025, 2), suggestion), 0);
    EXPECT_EQ(suggestion.bitsPerSample(), 16);
    EXPECT_EQ(suggestion.channels(), 2);
    EXPECT_EQ(suggestion.samplesPerSec(), 11025u);
    EXPECT_EQ(suggestion.extraSize(), 0);
    WaveFormat notPcm = GsmDriver::gsmFormat(8000);
    EXPECT_EQ(CodecService::formatSuggest(GsmDriver::gsmFormat(8000), notPcm), AcmResult::NotPossible);

    EXPECT_EQ(CodecService::streamOpen(nullptr, GsmDriver::gsmFormat(8000), WaveFormat::workingFormat(), true),
              AcmResult::NotPossible);
    std::unique_ptr<CodecStream> stream;
    size_t size = 0;
    EXPECT_EQ(CodecService::streamSize(nullptr, 10, &size), AcmResult::InvalidHandle);
    ASSERT_EQ(CodecService::streamOpen(&stream, GsmDriver::gsmFormat(8000), WaveFormat::pcm(8000, 16, 1), true), 0);
    ASSERT_EQ(CodecService::streamSize(stream.get(), 64, &size), 0);
    EXPECT_EQ(size, 0u); // less than one block
    AcmStreamHeader header;
    EXPECT_EQ(CodecService::streamConvert(stream.get(), header, true), AcmResult::StreamUnprepared);
    EXPECT_EQ(CodecService::streamClose(stream), 0);
}
