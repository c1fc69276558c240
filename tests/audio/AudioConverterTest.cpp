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
        QObject::connect(&c, &AudioConverter::audioConverted, [this](const QByteArray& d) {
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
    c.setFormatIn(ImaAdpcmDriver::imaFormat(8000, 1));
    c.setFormatOut(WaveFormat::workingFormat());
    c.open();
    ASSERT_EQ(c.stageCount(), 2);
    EXPECT_EQ(c.formatChain()[1].formatTag(), wavetag::Pcm);
    EXPECT_EQ(c.formatChain()[1].bitsPerSample(), 16);
    EXPECT_EQ(c.formatChain()[1].samplesPerSec(), 8000u);
    EXPECT_EQ(c.formatChain()[1].channels(), 1);
    EXPECT_TRUE(c.formatChain()[2].sameFormat(WaveFormat::workingFormat()));
}

TEST(ConvertorChainTest, ChainLengths) {
    AudioConverter c;
    c.setFormatIn(WaveFormat::workingFormat());
    c.setFormatOut(WaveFormat::workingFormat());
    c.open();
    EXPECT_EQ(c.stageCount(), 1);
    c.close();

    // The settings dialog's test open: PCM 11025 Hz stereo to GSM needs a 16-bit 8000 Hz mono step.
    c.setFormatIn(WaveFormat());
    c.setFormatOut(GsmDriver::gsmFormat(8000));
    c.open();
    ASSERT_EQ(c.stageCount(), 2);
    EXPECT_TRUE(c.formatChain()[1].sameFormat(WaveFormat::pcm(8000, 16, 1)));
    c.close();

    c.setFormatIn(ImaAdpcmDriver::imaFormat(11025, 1));
    c.open();
    EXPECT_EQ(c.stageCount(), 3);
    c.close();

    WaveFormat unknown;
    unknown.setFormatTag(0x55);
    c.setFormatIn(unknown);
    EXPECT_EQ(errorOf([&] { c.open(); }), QStringLiteral("The requested operation cannot be performed."));
    EXPECT_FALSE(c.active());
    c.setFormatIn(WaveFormat::pcm(8000, 24, 1));
    EXPECT_EQ(errorOf([&] { c.open(); }), QStringLiteral("The requested operation cannot be performed."));
}

TEST(ConvertorStateTest, OpenCloseAndRealTimeRules) {
    AudioConverter c;
    c.setFormatIn(WaveFormat::workingFormat());
    c.setFormatOut(WaveFormat::pcm(8000, 16, 1));
    EXPECT_EQ(errorOf([&] { c.close(); }), QStringLiteral("Cannot perform this action while not active."));
    EXPECT_EQ(errorOf([&] { c.convert("x", 1); }), QStringLiteral("Cannot perform this action while not active."));
    c.setActive(true);
    EXPECT_TRUE(c.active());
    EXPECT_EQ(errorOf([&] { c.open(); }), QStringLiteral("Cannot perform this action while active."));
    EXPECT_EQ(errorOf([&] { c.setRequestRealTime(true); }), QStringLiteral("Cannot perform this action while active."));
    c.setActive(true); // no change, no error
    EXPECT_TRUE(c.active());
    c.setActive(false);
    EXPECT_FALSE(c.active());
    c.setRequestRealTime(true);
    EXPECT_TRUE(c.requestRealTime());
}

TEST(ConvertorBlockTest, ShortFirstBlockIsKeptUntilCompleted) {
    AudioConverter c;
    c.setFormatIn(ImaAdpcmDriver::imaFormat(8000, 1)); // 256-byte blocks of 505 samples
    c.setFormatOut(WaveFormat::workingFormat());
    Collector out(c);
    c.open();
    const QByteArray block(512, '\x37');
    c.convert(block.constData(), 100);
    EXPECT_TRUE(out.sizes.isEmpty());
    EXPECT_EQ(c.stage(0).fill(), 100u);
    c.convert(block.constData() + 100, 156 + 50);
    ASSERT_EQ(out.sizes, QList<int>({505}));
    EXPECT_EQ(c.stage(0).fill(), 50u);
}

TEST(ConvertorBlockTest, PreparedStageRefusesMoreThanItsCapacity) {
    const WaveFormat pcm16 = WaveFormat::pcm(8000, 16, 1);
    ConverterStage stage(pcm16, GsmDriver::gsmFormat(8000), false, true);
    EXPECT_EQ(errorOf([&] { stage.convert(nullptr, 0); }),
              QStringLiteral("Cannot perform this action while not active."));
    stage.open();
    const QByteArray data(8192, '\0');
    EXPECT_EQ(stage.convert(reinterpret_cast<const uint8_t*>(data.constData()), 2048), 3u * 65);
    EXPECT_TRUE(stage.prepared());
    EXPECT_EQ(stage.capacity(), 6144u);
    EXPECT_EQ(stage.fill(), 128u); // 2048 - 3 * 640
    EXPECT_EQ(errorOf([&] { stage.convert(reinterpret_cast<const uint8_t*>(data.constData()), 6144 - 128 + 1); }),
              QStringLiteral("Audio is too large to fit into conversion buffer"));
    EXPECT_EQ(stage.fill(), 128u);
    EXPECT_EQ(stage.convert(reinterpret_cast<const uint8_t*>(data.constData()), 6144 - 128), 9u * 65);
    EXPECT_EQ(stage.fill(), 384u); // 6144 - 9 * 640
    EXPECT_EQ(errorOf([&] { stage.open(); }), QStringLiteral("Cannot perform this action while active."));
}

TEST(ConvertorBlockTest, FlushPadsTheLastPartialBlock) {
    AudioConverter c;
    c.setFormatIn(WaveFormat::workingFormat());
    c.setFormatOut(GsmDriver::gsmFormat(8000));
    Collector out(c);
    c.open();
    const QByteArray pcm8 = toUnsigned8(tone(1000));
    c.convert(pcm8.constData(), pcm8.size());
    EXPECT_EQ(out.all.size(), 3 * 65);
    c.flush();
    EXPECT_EQ(out.all.size(), 4 * 65);
    c.flush(); // nothing left
    EXPECT_EQ(out.all.size(), 4 * 65);
}

TEST(ConvertorBlockTest, RecordingPathBlocks) {
    // The modem's u-law stream in 2048-byte blocks to an IMA file and in 1536-byte blocks to the working format.
    const WaveFormat modem = G711Driver::lawFormat(wavetag::Mulaw, 8000, 1);
    AudioConverter file;
    file.setFormatIn(modem);
    file.setFormatOut(ImaAdpcmDriver::imaFormat(8000, 1));
    AudioConverter display;
    display.setFormatIn(modem);
    display.setFormatOut(WaveFormat::workingFormat());
    Collector fileOut(file);
    Collector displayOut(display);
    file.open();
    display.open();
    QByteArray stream(2048 * 6, '\0');
    const std::vector<int16_t> signal = tone(static_cast<size_t>(stream.size()));
    for (qsizetype i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<char>(g711::linearToUlaw(signal[static_cast<size_t>(i)]));
    for (int i = 0; i < 6; ++i)
        file.convert(stream.constData() + i * 2048, 2048);
    for (int i = 0; i < 8; ++i)
        display.convert(stream.constData() + i * 1536, 1536);
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
    enc.setFormatIn(WaveFormat::pcm(8000, 16, 1));
    enc.setFormatOut(GsmDriver::gsmFormat(8000));
    Collector gsm(enc);
    enc.open();
    const QByteArray pcm = toBytes(tone(3200));
    enc.convert(pcm.constData(), pcm.size());
    writeWav(path("g.wav"), GsmDriver::gsmFormat(8000), gsm.all);

    QBuffer memory;
    memory.open(QIODevice::ReadWrite);
    memory.write("kept");
    ASSERT_TRUE(audio.decodeToMemory(path("g.wav"), memory));
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
    EXPECT_FALSE(audio.decodeToMemory(path("bad.wav"), memory));
    EXPECT_EQ(prompter.shown, QStringList({QStringLiteral("Error was created during pcm conversion")}));
    EXPECT_THROW(audio.decodeToMemory(path("missing.wav"), memory), FileOpenError);
}

TEST_F(WorkingFormatCodecTest, EncodeBackInBlocksOf2048) {
    writeWav(path("p.wav"), WaveFormat::workingFormat(), QByteArray(3000, '\x80'));
    QBuffer work;
    work.open(QIODevice::ReadWrite);
    ASSERT_TRUE(audio.decodeToStream(path("p.wav"), work));
    EXPECT_EQ(work.size(), 3000);
    work.buffer() = QByteArray(5000, '\x70');
    QSignalSpy spy(&audio.Converter, &AudioConverter::audioConverted);
    ASSERT_TRUE(audio.encodeToFile(path("p.wav"), work));
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy[0][0].toByteArray().size(), 2048);
    EXPECT_EQ(spy[1][0].toByteArray().size(), 2048);
    EXPECT_EQ(spy[2][0].toByteArray().size(), 904);
    QFile f(path("p.wav"));
    EXPECT_EQ(f.size(), 44 + 5000);
}

TEST_F(WorkingFormatCodecTest, EncodeKeepsTheFileFormat) {
    AudioConverter enc;
    enc.setFormatIn(WaveFormat::pcm(8000, 16, 1));
    enc.setFormatOut(ImaAdpcmDriver::imaFormat(8000, 1));
    Collector ima(enc);
    enc.open();
    const std::vector<int16_t> signal = tone(505 * 10);
    const QByteArray pcm = toBytes(signal);
    enc.convert(pcm.constData(), pcm.size());
    writeWav(path("i.wav"), ImaAdpcmDriver::imaFormat(8000, 1), ima.all);

    QBuffer work;
    work.open(QIODevice::ReadWrite);
    ASSERT_TRUE(audio.decodeToStream(path("i.wav"), work));
    EXPECT_EQ(work.size(), 5050);
    ASSERT_TRUE(audio.encodeToFile(path("i2.wav"), work));
    QBuffer again;
    again.open(QIODevice::ReadWrite);
    ASSERT_TRUE(audio.decodeToStream(path("i2.wav"), again));
    EXPECT_TRUE(audio.m_encodeConverter.formatIn().sameFormat(ImaAdpcmDriver::imaFormat(8000, 1)));
    EXPECT_EQ(again.size(), 5050);
}
