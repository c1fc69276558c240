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
    format.saveFormatFile(path("a.cpn"));
    const QByteArray expected = QByteArray::fromHex("01000200112B000022560000020008000000") + QByteArray(110, '\0');
    EXPECT_EQ(readAll(path("a.cpn")), expected);
}

TEST_F(WaveFormatTest, SetDefaultsKeepsExtraBytes) {
    WaveFormat format = WaveFormat::pcm(8000, 16, 1);
    format.extraBuffer()[5] = 0x42;
    format.setDefaults();
    WaveFormat expected;
    EXPECT_FALSE(format.sameFormat(expected));
    expected.extraBuffer()[5] = 0x42;
    EXPECT_TRUE(format.sameFormat(expected));
}

TEST_F(WaveFormatTest, SameFormatComparesBytesPastTheExtraSize) {
    WaveFormat a;
    WaveFormat b;
    EXPECT_TRUE(a.sameFormat(b));
    b.raw()[127] = 1;
    EXPECT_FALSE(a.sameFormat(b));
    a.assign(b);
    EXPECT_TRUE(a.sameFormat(b));
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
    format.loadFormatFile(path("short.cpn"));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(format.raw()[i], 7) << i;
    EXPECT_EQ(format.raw()[20], 0);
    EXPECT_EQ(format.raw()[100], 0x55);
}

TEST_F(WaveFormatTest, FormatFileRoundTripAndMissingFile) {
    WaveFormat saved = WaveFormat::pcm(7200, 16, 1);
    saved.raw()[90] = 9;
    saved.saveFormatFile(path("r.cpn"));
    WaveFormat loaded;
    loaded.loadFormatFile(path("r.cpn"));
    EXPECT_TRUE(loaded.sameFormat(saved));
    try {
        loaded.loadFormatFile(path("missing.cpn"));
        FAIL();
    } catch (const FileOpenError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot open file ") + path("missing.cpn"));
    }
}

TEST_F(WaveFormatTest, Descriptions) {
    EXPECT_EQ(WaveFormat::workingFormat().formatDescription(), QStringLiteral("PCM: 8.000 kHz, 8 Bit, Mono"));
    EXPECT_EQ(WaveFormat().formatDescription(), QStringLiteral("PCM: 11.025 kHz, 8 Bit, Stereo"));
    WaveFormat ulaw = WaveFormat::pcm(8000, 8, 1);
    ulaw.setFormatTag(wavetag::Mulaw);
    EXPECT_EQ(ulaw.formatDescription(), QStringLiteral("CCITT u-Law: 8.000 kHz, 8 Bit, Mono"));
    WaveFormat unknown;
    unknown.setFormatTag(0x1234);
    EXPECT_EQ(unknown.formatDescription(), QString());
}

TEST_F(WaveFormatTest, ChooseFormatResults) {
    FixedChooser chooser;
    WaveFormat format;
    EXPECT_TRUE(format.chooseFormat(QStringLiteral("Choose file compression format"), chooser));
    EXPECT_EQ(chooser.title, QStringLiteral("Choose file compression format"));
    EXPECT_TRUE(format.sameFormat(chooser.answer));

    chooser.result = AcmResult::Cancelled;
    WaveFormat untouched;
    EXPECT_FALSE(untouched.chooseFormat(QString(), chooser));
    EXPECT_TRUE(untouched.sameFormat(WaveFormat()));

    chooser.result = AcmResult::NoMemory;
    try {
        untouched.chooseFormat(QString(), chooser);
        FAIL();
    } catch (const AudioConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Error selecting format.\r\nThe system is unable to allocate resources."));
    }
    EXPECT_TRUE(untouched.sameFormat(WaveFormat()));
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
        f.loadFormatFile(file);
        return f;
    }
};

TEST_F(MatchTest, PcmAndCompandedCompressions) {
    ASSERT_TRUE(matchModemCompression({"UNSIGNED PCM", "8", "8000"}, prompter, file));
    EXPECT_TRUE(saved().sameFormat(WaveFormat::workingFormat()));
    ASSERT_TRUE(matchModemCompression({"SIGNED PCM", "16", "8000"}, prompter, file));
    EXPECT_TRUE(saved().sameFormat(WaveFormat::pcm(8000, 16, 1)));
    ASSERT_TRUE(matchModemCompression({"ULAW", "8", "7200"}, prompter, file));
    WaveFormat ulaw = WaveFormat::pcm(7200, 8, 1);
    ulaw.setFormatTag(wavetag::Mulaw);
    EXPECT_TRUE(saved().sameFormat(ulaw));
    ASSERT_TRUE(matchModemCompression({"ALAW", "8", "8000"}, prompter, file));
    EXPECT_EQ(saved().formatTag(), wavetag::Alaw);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(MatchTest, Fixed7200Hz16BitFormatAndCaseSensitiveNames) {
    ASSERT_TRUE(matchModemCompression({"UNSIGNED PCM", "16", "7200"}, prompter, file));
    EXPECT_TRUE(saved().sameFormat(WaveFormat::pcm(7200, 16, 1)));
    EXPECT_EQ(saved().avgBytesPerSec(), 14400u);

    QFile::remove(file);
    EXPECT_FALSE(matchModemCompression({"unsigned pcm", "16", "7200"}, prompter, file));
    EXPECT_FALSE(QFile::exists(file));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0], QStringLiteral("None Codec Format found to match modem compression\r"
                                                "Choose a different modem compression"));
}

TEST_F(MatchTest, NoMatchLeavesTheFileAlone) {
    WaveFormat old = WaveFormat::pcm(11025, 8, 1);
    old.saveFormatFile(file);
    EXPECT_FALSE(matchModemCompression({"ULAW", "16", "8000"}, prompter, file));
    EXPECT_FALSE(matchModemCompression({"SIGNED PCM", "8", "4800"}, prompter, file));
    EXPECT_TRUE(saved().sameFormat(old));
    EXPECT_EQ(prompter.shown.size(), 2);
}
