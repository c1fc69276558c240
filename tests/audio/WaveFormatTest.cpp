// The wave format descriptor's bytes, .cpn files, texts, the chooser results and the modem compression matcher.
#include "audio/WaveFormat.h"
#include "audio/AudioErrors.h"
#include "audio/FormatChooser.h"
#include "audio/MatchModemCompression.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

struct WaveFormatTest : ::testing::Test {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

/// Answers the chooser with a fixed result and format.
struct FixedChooser : FormatChooser {
    int result = 0;
    WaveFormat answer = WaveFormat::pcm(8000, 16, 1);
    QString title;
    int chooseFormat(const QString& t, std::span<uint8_t, 128> buffer) override {
        title = t;
        if (result == 0)
            std::copy_n(answer.raw(), 128, buffer.begin());
        else
            buffer[0] = 0xEE; // a failing chooser may scribble on its buffer
        return result;
    }
};

} // namespace

TEST_F(WaveFormatTest, NewDescriptorSavesTheDefaultBytes) {
    WaveFormat format;
    format.SaveFormatFile(path("a.cpn"));
    const QByteArray expected = QByteArray::fromHex("01000200112B000022560000020008000000") + QByteArray(110, '\0');
    EXPECT_EQ(readAll(path("a.cpn")), expected);
}

TEST_F(WaveFormatTest, SetDefaultsKeepsExtraBytes) {
    WaveFormat format = WaveFormat::pcm(8000, 16, 1);
    format.extraBuffer()[5] = 0x42;
    format.SetDefaults();
    WaveFormat expected;
    EXPECT_FALSE(format.SameFormat(expected));
    expected.extraBuffer()[5] = 0x42;
    EXPECT_TRUE(format.SameFormat(expected));
}

TEST_F(WaveFormatTest, SameFormatComparesBytesPastTheExtraSize) {
    WaveFormat a;
    WaveFormat b;
    EXPECT_TRUE(a.SameFormat(b));
    b.raw()[127] = 1;
    EXPECT_FALSE(a.SameFormat(b));
    a.Assign(b);
    EXPECT_TRUE(a.SameFormat(b));
}

TEST_F(WaveFormatTest, ExtraSizeLimit) {
    WaveFormat format;
    format.setExtraSize(110);
    EXPECT_EQ(format.extraSize(), 110);
    try {
        format.setExtraSize(111);
        FAIL() << "111 accepted";
    } catch (const AudioError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("The wave format buffer is too small."));
    }
    EXPECT_EQ(format.extraSize(), 110);
    format.raw()[16] = 0xFF; // a stored value above the limit reads back capped
    EXPECT_EQ(format.extraSize(), 110);
}

TEST_F(WaveFormatTest, ShortFormatFileFillsOnlyTheLeadingBytes) {
    QFile f(path("short.cpn"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(20, '\x07'));
    f.close();
    WaveFormat format;
    format.raw()[100] = 0x55;
    format.LoadFormatFile(path("short.cpn"));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(format.raw()[i], 7) << i;
    EXPECT_EQ(format.raw()[20], 0);
    EXPECT_EQ(format.raw()[100], 0x55);
}

TEST_F(WaveFormatTest, FormatFileRoundTripAndMissingFile) {
    WaveFormat saved = WaveFormat::pcm(7200, 16, 1);
    saved.raw()[90] = 9;
    saved.SaveFormatFile(path("r.cpn"));
    WaveFormat loaded;
    loaded.LoadFormatFile(path("r.cpn"));
    EXPECT_TRUE(loaded.SameFormat(saved));
    try {
        loaded.LoadFormatFile(path("missing.cpn"));
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot open file ") + path("missing.cpn"));
    }
}

TEST_F(WaveFormatTest, Descriptions) {
    EXPECT_EQ(WaveFormat::workingFormat().FormatDescription(), QStringLiteral("PCM: 8.000 kHz, 8 Bit, Mono"));
    EXPECT_EQ(WaveFormat().FormatDescription(), QStringLiteral("PCM: 11.025 kHz, 8 Bit, Stereo"));
    WaveFormat ulaw = WaveFormat::pcm(8000, 8, 1);
    ulaw.setFormatTag(wavetag::Mulaw);
    EXPECT_EQ(ulaw.FormatDescription(), QStringLiteral("CCITT u-Law: 8.000 kHz, 8 Bit, Mono"));
    WaveFormat unknown;
    unknown.setFormatTag(0x1234);
    EXPECT_EQ(unknown.FormatDescription(), QString());
}

TEST_F(WaveFormatTest, ChooseFormatResults) {
    FixedChooser chooser;
    WaveFormat format;
    EXPECT_TRUE(format.ChooseFormat(QStringLiteral("Choose file compression format"), chooser));
    EXPECT_EQ(chooser.title, QStringLiteral("Choose file compression format"));
    EXPECT_TRUE(format.SameFormat(chooser.answer));

    chooser.result = AcmResult::Cancelled;
    WaveFormat untouched;
    EXPECT_FALSE(untouched.ChooseFormat(QString(), chooser));
    EXPECT_TRUE(untouched.SameFormat(WaveFormat()));

    chooser.result = AcmResult::NoMemory;
    try {
        untouched.ChooseFormat(QString(), chooser);
        FAIL();
    } catch (const AudioConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Error selecting format.\r\nThe system is unable to allocate resources."));
    }
    EXPECT_TRUE(untouched.SameFormat(WaveFormat()));
}

TEST(AcmErrorTextTest, TextsByCode) {
    EXPECT_EQ(acmErrorText(2), QStringLiteral("Bad device ID."));
    EXPECT_EQ(acmErrorText(32, QStringLiteral("Play")),
              QStringLiteral("Play\r\nThe selected audio format is not supported on this machine."));
    EXPECT_EQ(acmErrorText(514), QStringLiteral("Cannot perform this action on a header that has not been prepared."));
    EXPECT_EQ(acmErrorText(9), QStringLiteral("An unexpected error has occurred (code #9)."));
    EXPECT_NO_THROW(acmCheck<AudioConversionError>(0));
    EXPECT_THROW(acmCheck<AudioConversionError>(512), AudioConversionError);
}

struct MatchTest : WaveFormatTest {
    ScriptedPrompter prompter;
    QString file = path("ModemCompression.cpn");
    WaveFormat saved() {
        WaveFormat f;
        f.LoadFormatFile(file);
        return f;
    }
};

TEST_F(MatchTest, PcmAndCompandedCompressions) {
    ASSERT_TRUE(MatchModemCompression({"UNSIGNED PCM", "8", "8000"}, prompter, file));
    EXPECT_TRUE(saved().SameFormat(WaveFormat::workingFormat()));
    ASSERT_TRUE(MatchModemCompression({"SIGNED PCM", "16", "8000"}, prompter, file));
    EXPECT_TRUE(saved().SameFormat(WaveFormat::pcm(8000, 16, 1)));
    ASSERT_TRUE(MatchModemCompression({"ULAW", "8", "7200"}, prompter, file));
    WaveFormat ulaw = WaveFormat::pcm(7200, 8, 1);
    ulaw.setFormatTag(wavetag::Mulaw);
    EXPECT_TRUE(saved().SameFormat(ulaw));
    ASSERT_TRUE(MatchModemCompression({"ALAW", "8", "8000"}, prompter, file));
    EXPECT_EQ(saved().formatTag(), wavetag::Alaw);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(MatchTest, Fixed7200Hz16BitFormatAndCaseSensitiveNames) {
    ASSERT_TRUE(MatchModemCompression({"UNSIGNED PCM", "16", "7200"}, prompter, file));
    EXPECT_TRUE(saved().SameFormat(WaveFormat::pcm(7200, 16, 1)));
    EXPECT_EQ(saved().avgBytesPerSec(), 14400u);

    QFile::remove(file);
    EXPECT_FALSE(MatchModemCompression({"unsigned pcm", "16", "7200"}, prompter, file));
    EXPECT_FALSE(QFile::exists(file));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0], QStringLiteral("None Codec Format found to match modem compression\r"
                                                "Choose a different modem compression"));
}

TEST_F(MatchTest, NoMatchLeavesTheFileAlone) {
    WaveFormat old = WaveFormat::pcm(11025, 8, 1);
    old.SaveFormatFile(file);
    EXPECT_FALSE(MatchModemCompression({"ULAW", "16", "8000"}, prompter, file));
    EXPECT_FALSE(MatchModemCompression({"SIGNED PCM", "8", "4800"}, prompter, file));
    EXPECT_TRUE(saved().SameFormat(old));
    EXPECT_EQ(prompter.shown.size(), 2);
}
