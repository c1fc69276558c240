// The modem side of the settings dialog: its compression list and the codec matcher on the choice.
#include "modemsetup/SettingsModemSide.h"
#include "audio/MatchModemCompression.h"
#include "audio/WaveFormat.h"
#include "modemsetup/CompressionFile.h"
#include "support/ModemSetupFixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

CompressionRecord record(const char* description, const char* bps, const char* rate, const char* command) {
    CompressionRecord r;
    r.Description = QLatin1String(description);
    r.bps = QLatin1String(bps);
    r.vsr = QLatin1String(rate);
    r.VsmCommand = QLatin1String(command);
    return r;
}

struct SettingsModemSideTest : ModemSetupFixture {
    SettingsModemSide side{config, prompter, profile, current, init, dir.path()};
    QString cpn = QDir(dir.path()).filePath(kModemCompressionFile);

    void SetUp() override {
        CompressionFileWriter compressions;
        ASSERT_TRUE(compressions.recreate(CompressionFile::pathIn(dir.path())));
        ASSERT_TRUE(compressions.write(0, record("UNSIGNED PCM", "8", "8000", "at+vsm=1,8000")));
        ASSERT_TRUE(compressions.write(1, record("ULAW", "8", "7000", "at+vsm=4,7000")));
        compressions.close();
    }
};

} // namespace

TEST_F(SettingsModemSideTest, TheListIsTheFileWhileTheModemHasVoiceFeatures) {
    const QList<CompressionChoice> choices = side.compressionChoices();
    ASSERT_EQ(choices.size(), 2);
    EXPECT_EQ(choices[0].text, QStringLiteral("UNSIGNED PCM 8bit 8000Hz"));
    EXPECT_EQ(choices[1].vsmCommand, QStringLiteral("at+vsm=4,7000"));
    profile.setVoiceFeatures(false);
    EXPECT_FALSE(side.voiceFeatures());
    EXPECT_TRUE(side.compressionChoices().isEmpty());
    profile.setVoiceFeatures(true);
    QFile::remove(CompressionFile::pathIn(dir.path()));
    EXPECT_TRUE(side.compressionChoices().isEmpty());
}

TEST_F(SettingsModemSideTest, TheMatcherWorksOnTheStoredChoice) {
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 0);
    ASSERT_TRUE(side.matchCompression());
    WaveFormat matched;
    matched.loadFormatFile(cpn);
    EXPECT_EQ(matched.samplesPerSec(), 8000u);
    EXPECT_EQ(current.record().VsmCommand, QStringLiteral("at+vsm=1,8000"));
    EXPECT_TRUE(prompter.shown.isEmpty());

    // u-law at 7000 Hz has no codec format: the matcher says so.
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 1);
    EXPECT_FALSE(side.matchCompression());
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("None Codec Format found to match modem compression\r"
                                                         "Choose a different modem compression")});
}
