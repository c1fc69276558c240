// The converter's chains, its whole-block and buffer rules, its states, and the audio form's decode and encode.
#include "audio/AudioConverter.h"
#include "AudioTestData.h"
#include "audio/AudioErrors.h"
#include "audio/WorkingFormatCodec.h"
#include "audio/codecs/G711.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "support/ScriptedPrompter.h"

#include <QBuffer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiotest;

namespace {

/// Collects every output block of a converter.
struct Collector {
    QByteArray all;
    QList<int> sizes;
    explicit Collector(AudioConverter& c) {
        QObject::connect(&c, &AudioConverter::OnAudioConverted, [this](const QByteArray& d) {
            all += d;
            sizes.append(static_cast<int>(d.size()));
        });
    }
};

QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AudioError& e) {
        return e.text();
    }
    return QString();
}

} // namespace

TEST(ConvertorChainTest, ImaToWorkingFormatGoesThroughPcm16) {
    AudioConverter c;
    c.SetFormatIn(ImaAdpcmDriver::imaFormat(8000, 1));
    c.SetFormatOut(WaveFormat::workingFormat());
    c.Open();
    ASSERT_EQ(c.StageCount(), 2);
    EXPECT_EQ(c.FormatChain()[1].formatTag(), wavetag::Pcm);
    EXPECT_EQ(c.FormatChain()[1].bitsPerSample(), 16);
    EXPECT_EQ(c.FormatChain()[1].samplesPerSec(), 8000u);
    EXPECT_EQ(c.FormatChain()[1].channels(), 1);
    EXPECT_TRUE(c.FormatChain()[2].SameFormat(WaveFormat::workingFormat()));
}

TEST(ConvertorChainTest, ChainLengths) {
    AudioConverter c;
    c.SetFormatIn(WaveFormat::workingFormat());
    c.SetFormatOut(WaveFormat::workingFormat());
    c.Open();
    EXPECT_EQ(c.StageCount(), 1);
    c.Close();

    // The settings dialog's test open: PCM 11025 Hz stereo to GSM needs a 16-bit 8000 Hz mono step.
    c.SetFormatIn(WaveFormat());
    c.SetFormatOut(GsmDriver::gsmFormat(8000));
    c.Open();
    ASSERT_EQ(c.StageCount(), 2);
    EXPECT_TRUE(c.FormatChain()[1].SameFormat(WaveFormat::pcm(8000, 16, 1)));
    c.Close();

    c.SetFormatIn(ImaAdpcmDriver::imaFormat(11025, 1));
    c.Open();
    EXPECT_EQ(c.StageCount(), 3);
    c.Close();

    WaveFormat unknown;
    unknown.setFormatTag(0x55);
    c.SetFormatIn(unknown);
    EXPECT_EQ(errorOf([&] { c.Open(); }), QStringLiteral("The requested operation cannot be performed."));
    EXPECT_FALSE(c.Active());
    c.SetFormatIn(WaveFormat::pcm(8000, 24, 1));
    EXPECT_EQ(errorOf([&] { c.Open(); }), QStringLiteral("The requested operation cannot be performed."));
}

TEST(ConvertorStateTest, OpenCloseAndRealTimeRules) {
    AudioConverter c;
    c.SetFormatIn(WaveFormat::workingFormat());
    c.SetFormatOut(WaveFormat::pcm(8000, 16, 1));
    EXPECT_EQ(errorOf([&] { c.Close(); }), QStringLiteral("Cannot perform this action while not active."));
    EXPECT_EQ(errorOf([&] { c.Convert("x", 1); }), QStringLiteral("Cannot perform this action while not active."));
    c.SetActive(true);
    EXPECT_TRUE(c.Active());
    EXPECT_EQ(errorOf([&] { c.Open(); }), QStringLiteral("Cannot perform this action while active."));
    EXPECT_EQ(errorOf([&] { c.SetRequestRealTime(true); }), QStringLiteral("Cannot perform this action while active."));
    c.SetActive(true); // no change, no error
    EXPECT_TRUE(c.Active());
    c.SetActive(false);
    EXPECT_FALSE(c.Active());
    c.SetRequestRealTime(true);
    EXPECT_TRUE(c.RequestRealTime());
}

TEST(ConvertorBlockTest, ShortFirstBlockIsKeptUntilCompleted) {
    AudioConverter c;
    c.SetFormatIn(ImaAdpcmDriver::imaFormat(8000, 1)); // 256-byte blocks of 505 samples
    c.SetFormatOut(WaveFormat::workingFormat());
    Collector out(c);
    c.Open();
    const QByteArray block(512, '\x37');
    c.Convert(block.constData(), 100);
    EXPECT_TRUE(out.sizes.isEmpty());
    EXPECT_EQ(c.Stage(0).Fill(), 100u);
    c.Convert(block.constData() + 100, 156 + 50);
    ASSERT_EQ(out.sizes, QList<int>({505}));
    EXPECT_EQ(c.Stage(0).Fill(), 50u);
}

TEST(ConvertorBlockTest, PreparedStageRefusesMoreThanItsCapacity) {
    const WaveFormat pcm16 = WaveFormat::pcm(8000, 16, 1);
    ConverterStage stage(pcm16, GsmDriver::gsmFormat(8000), false, true);
    EXPECT_EQ(errorOf([&] { stage.Convert(nullptr, 0); }),
              QStringLiteral("Cannot perform this action while not active."));
    stage.Open();
    const QByteArray data(8192, '\0');
    EXPECT_EQ(stage.Convert(reinterpret_cast<const uint8_t*>(data.constData()), 2048), 3u * 65);
    EXPECT_TRUE(stage.Prepared());
    EXPECT_EQ(stage.Capacity(), 6144u);
    EXPECT_EQ(stage.Fill(), 128u); // 2048 - 3 * 640
    EXPECT_EQ(errorOf([&] { stage.Convert(reinterpret_cast<const uint8_t*>(data.constData()), 6144 - 128 + 1); }),
              QStringLiteral("Audio is too large to fit into conversion buffer"));
    EXPECT_EQ(stage.Fill(), 128u);
    EXPECT_EQ(stage.Convert(reinterpret_cast<const uint8_t*>(data.constData()), 6144 - 128), 9u * 65);
    EXPECT_EQ(stage.Fill(), 384u); // 6144 - 9 * 640
    EXPECT_EQ(errorOf([&] { stage.Open(); }), QStringLiteral("Cannot perform this action while active."));
}

TEST(ConvertorBlockTest, FlushPadsTheLastPartialBlock) {
    AudioConverter c;
    c.SetFormatIn(WaveFormat::workingFormat());
    c.SetFormatOut(GsmDriver::gsmFormat(8000));
    Collector out(c);
    c.Open();
    const QByteArray pcm8 = toUnsigned8(tone(1000));
    c.Convert(pcm8.constData(), pcm8.size());
    EXPECT_EQ(out.all.size(), 3 * 65);
    c.Flush();
    EXPECT_EQ(out.all.size(), 4 * 65);
    c.Flush(); // nothing left
    EXPECT_EQ(out.all.size(), 4 * 65);
}

TEST(ConvertorBlockTest, RecordingPathBlocks) {
    // The modem's u-law stream in 2048-byte blocks to an IMA file and in 1536-byte blocks to the working format.
    const WaveFormat modem = G711Driver::lawFormat(wavetag::Mulaw, 8000, 1);
    AudioConverter file;
    file.SetFormatIn(modem);
    file.SetFormatOut(ImaAdpcmDriver::imaFormat(8000, 1));
    AudioConverter display;
    display.SetFormatIn(modem);
    display.SetFormatOut(WaveFormat::workingFormat());
    Collector fileOut(file);
    Collector displayOut(display);
    file.Open();
    display.Open();
    QByteArray stream(2048 * 6, '\0');
    const std::vector<int16_t> signal = tone(static_cast<size_t>(stream.size()));
    for (qsizetype i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<char>(g711::linearToUlaw(signal[static_cast<size_t>(i)]));
    for (int i = 0; i < 6; ++i)
        file.Convert(stream.constData() + i * 2048, 2048);
    for (int i = 0; i < 8; ++i)
        display.Convert(stream.constData() + i * 1536, 1536);
    EXPECT_EQ(fileOut.all.size(), (2048 * 6 / 505) * 256);
    EXPECT_EQ(displayOut.sizes, QList<int>(8, 1536));
}

struct WorkingFormatCodecTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    WorkingFormatCodec audio{prompter};
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(WorkingFormatCodecTest, DecodeGsmToMemory) {
    AudioConverter enc;
    enc.SetFormatIn(WaveFormat::pcm(8000, 16, 1));
    enc.SetFormatOut(GsmDriver::gsmFormat(8000));
    Collector gsm(enc);
    enc.Open();
    const QByteArray pcm = toBytes(tone(3200));
    enc.Convert(pcm.constData(), pcm.size());
    writeWav(path("g.wav"), GsmDriver::gsmFormat(8000), gsm.all);

    QBuffer memory;
    memory.open(QIODevice::ReadWrite);
    memory.write("kept");
    ASSERT_TRUE(audio.DecodeToMemory(path("g.wav"), memory));
    EXPECT_EQ(memory.data().size(), 4 + 3200);
    EXPECT_TRUE(memory.data().startsWith("kept"));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(WorkingFormatCodecTest, DecodeFailuresAreReportedOnce) {
    QFile bad(path("bad.wav"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("RIFF\x04\0\0\0WAVEjunk");
    bad.close();
    QBuffer memory;
    memory.open(QIODevice::ReadWrite);
    EXPECT_FALSE(audio.DecodeToMemory(path("bad.wav"), memory));
    EXPECT_EQ(prompter.shown, QStringList({QStringLiteral("Error was created during pcm conversion")}));
    EXPECT_THROW(audio.DecodeToMemory(path("missing.wav"), memory), EFOpenError);
}

TEST_F(WorkingFormatCodecTest, EncodeBackInBlocksOf2048) {
    writeWav(path("p.wav"), WaveFormat::workingFormat(), QByteArray(3000, '\x80'));
    QBuffer work;
    work.open(QIODevice::ReadWrite);
    ASSERT_TRUE(audio.DecodeToStream(path("p.wav"), work));
    EXPECT_EQ(work.size(), 3000);
    work.buffer() = QByteArray(5000, '\x70');
    QSignalSpy spy(&audio.Converter, &AudioConverter::OnAudioConverted);
    ASSERT_TRUE(audio.EncodeToFile(path("p.wav"), work));
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy[0][0].toByteArray().size(), 2048);
    EXPECT_EQ(spy[1][0].toByteArray().size(), 2048);
    EXPECT_EQ(spy[2][0].toByteArray().size(), 904);
    QFile f(path("p.wav"));
    EXPECT_EQ(f.size(), 44 + 5000);
}

TEST_F(WorkingFormatCodecTest, EncodeKeepsTheFileFormat) {
    AudioConverter enc;
    enc.SetFormatIn(WaveFormat::pcm(8000, 16, 1));
    enc.SetFormatOut(ImaAdpcmDriver::imaFormat(8000, 1));
    Collector ima(enc);
    enc.Open();
    const std::vector<int16_t> signal = tone(505 * 10);
    const QByteArray pcm = toBytes(signal);
    enc.Convert(pcm.constData(), pcm.size());
    writeWav(path("i.wav"), ImaAdpcmDriver::imaFormat(8000, 1), ima.all);

    QBuffer work;
    work.open(QIODevice::ReadWrite);
    ASSERT_TRUE(audio.DecodeToStream(path("i.wav"), work));
    EXPECT_EQ(work.size(), 5050);
    ASSERT_TRUE(audio.EncodeToFile(path("i2.wav"), work));
    QBuffer again;
    again.open(QIODevice::ReadWrite);
    ASSERT_TRUE(audio.DecodeToStream(path("i2.wav"), again));
    EXPECT_TRUE(audio.pcmConverter2.FormatIn().SameFormat(ImaAdpcmDriver::imaFormat(8000, 1)));
    EXPECT_EQ(again.size(), 5050);
}
