// Loading the stored modem profile and the voice-features flag.
#include "modemsetup/ModemProfile.h"
#include "base/Config.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ModemProfileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tvk.ini"));
    Config config{path};

    void writeIni(const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

} // namespace

TEST_F(ModemProfileTest, LoadsEveryKeyOfBothSections) {
    writeIni("[modem]\r\nport=3\r\nModel=USR5637\r\nManufacturer=Maker\r\nDriverDate=1.2\r\nReset=atz\r\n"
             "answer=ats0=0\r\nVoiceMode=at+fclass=8\r\nForCallerId=at+vcid=1\r\nDisCallerId=at+vcid=0\r\n"
             "RecGain=at+vgr=128\r\nSilenceTimer=none\r\nVoiceCompression=at+vsm=128,8000\r\n"
             "LineSel_T=at+vls=1\r\nLINESEL_T#=ok\r\nSpeakerGain=at+vgs=128\r\n"
             "[Params]\r\nUseLine=at+vls=1\r\nUseLineRes=OK\r\n");
    const ModemParams p = loadModemProfile(config);
    EXPECT_EQ(p.port, 3);
    EXPECT_EQ(p.PortName, QStringLiteral("com3"));
    EXPECT_EQ(p.Model, QStringLiteral("USR5637"));
    EXPECT_EQ(p.Manufacturer, QStringLiteral("Maker"));
    EXPECT_EQ(p.DriverDate, QStringLiteral("1.2"));
    EXPECT_EQ(p.Reset, QStringLiteral("atz"));
    EXPECT_EQ(p.answer, QStringLiteral("ats0=0"));
    EXPECT_EQ(p.VoiceMode, QStringLiteral("at+fclass=8"));
    EXPECT_EQ(p.ForCallerId, QStringLiteral("at+vcid=1"));
    EXPECT_EQ(p.DisCallerId, QStringLiteral("at+vcid=0"));
    EXPECT_EQ(p.RecGain, QStringLiteral("at+vgr=128"));
    EXPECT_EQ(p.SilenceTimer, QStringLiteral("none"));
    EXPECT_EQ(p.VoiceCompression, QStringLiteral("at+vsm=128,8000"));
    EXPECT_EQ(p.LineSel_T, QStringLiteral("at+vls=1"));
    EXPECT_EQ(p.LineSel_TResult, QStringLiteral("ok"));
    EXPECT_EQ(p.SpeakerGain, QStringLiteral("at+vgs=128"));
    EXPECT_EQ(p.UseLine, QStringLiteral("at+vls=1"));
    EXPECT_EQ(p.UseLineRes, QStringLiteral("OK"));
    EXPECT_TRUE(p.InitVoice.isEmpty());
    EXPECT_FALSE(ModemParams::usable(p.SilenceTimer));
    EXPECT_FALSE(ModemParams::usable(p.InitVoice));
    EXPECT_TRUE(ModemParams::usable(p.VoiceMode));
}

TEST_F(ModemProfileTest, MissingFileGivesDefaultsAndTheFieldTableCoversEveryKey) {
    const ModemParams p = loadModemProfile(config);
    EXPECT_EQ(p, ModemParams{.PortName = QStringLiteral("com1")});
    // 28 texts of Modem and the two of Params; port and PortName are handled apart.
    EXPECT_EQ(ModemParams::storedFields().size(), 30);
    for (const auto& field : ModemParams::storedFields()) {
        config.writeString(field.key, QStringLiteral("v"));
        EXPECT_EQ(loadModemProfile(config).*field.member, QStringLiteral("v")) << field.key.name.data();
    }
}

TEST_F(ModemProfileTest, ProgramWideProfileAndVoiceFeatures) {
    ModemProfile profile;
    QSignalSpy changed(&profile, &ModemProfile::changed);
    QSignalSpy voice(&profile, &ModemProfile::voiceFeaturesChanged);
    EXPECT_TRUE(profile.voiceFeatures());

    writeIni("[Modem]\r\nport=2\r\n[Params]\r\nVoicefeatures=0\r\n");
    profile.load(config);
    profile.loadVoiceFeatures(config);
    EXPECT_EQ(profile.params().port, 2);
    EXPECT_FALSE(profile.voiceFeatures());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(voice.count(), 1);

    profile.load(config); // unchanged: no signal
    EXPECT_EQ(changed.count(), 1);
    profile.setVoiceCompression(QStringLiteral("at+vsm=none"));
    EXPECT_EQ(profile.params().VoiceCompression, QStringLiteral("at+vsm=none"));
    EXPECT_EQ(profile.params().port, 2);
    EXPECT_EQ(changed.count(), 2);

    // The handset's letter: only the two a modem sends count.
    QSignalSpy handset(&profile, &ModemProfile::handsetEventsChanged);
    EXPECT_EQ(profile.handsetEvents(), 0);
    for (const auto& [stored, letter] : {std::pair{"P", 'P'}, {"H", 'H'}, {"HP", 0}, {"x", 0}, {"h", 0}}) {
        config.writeString(QStringLiteral("Modem"), QStringLiteral("HandsetEvents"), QString::fromLatin1(stored));
        profile.load(config);
        EXPECT_EQ(profile.handsetEvents(), letter) << stored;
    }
    EXPECT_EQ(handset.count(), 3);

    QFile::remove(path); // Voicefeatures missing reads as true
    profile.loadVoiceFeatures(config);
    EXPECT_TRUE(profile.voiceFeatures());
}
