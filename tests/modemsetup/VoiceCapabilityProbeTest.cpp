// The compression and line selection probes on real modem replies, and the gain range parser.
#include "modemsetup/VoiceCapabilityProbe.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/QueryModemBox.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kCx93001 = QStringLiteral("0,\"SIGNED PCM\",8,0,8000,0,0\r\n1,\"UNSIGNED PCM\",8,0,8000,0,0\r\n"
                                        "129,\"IMA ADPCM\",4,0,8000,0,0\r\n130,\"UNSIGNED PCM\",8,0,8000,0,0\r\n"
                                        "131,\"Mu-Law\",8,0,8000,0,0\r\n132,\"A-Law\",8,0,8000,0,0\r\n"
                                        "133,\"14 bit PCM\",14,0,8000,0,0");
const QString kUsr5637 = QStringLiteral("128,\"8-BIT LINEAR\",(7200,8000,11025)\r\n"
                                        "129,\"16-BIT LINEAR\",(7200,8000,11025)\r\n130,\"8-BIT ALAW\",(8000)\r\n"
                                        "131,\"8-BIT ULAW\",(8000)\r\n132,\"IMA ADPCM\",(7200,8000,11025)\r\n\r\nOK");

struct VoiceCapabilityProbeTest : ::testing::Test {
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    ScriptedPrompter prompter;
    ModemProfile profile;
    QueryModemBox box;
    VoiceCapabilityProbe parse{config, logger, prompter, profile, box, dir.path()};
    QStringList sent;

    void answer(const QString& reply, AtResult code = AtResult::Ok) {
        parse.setQuery([this, reply, code](const QString& command, QString& out) {
            sent << command;
            out = reply;
            return code;
        });
    }
    QList<CompressionRecord> stored() { return CompressionFile(parse.compressionsPath()).readAll(); }
    QString value(const char* section, const char* key) {
        return config.readString(QLatin1String(section), QLatin1String(key), QStringLiteral("<missing>"));
    }
};

} // namespace

TEST_F(VoiceCapabilityProbeTest, Cx93001SevenFieldReply) {
    answer(kCx93001);
    ASSERT_TRUE(parse.probeCompressions(false));
    EXPECT_EQ(sent, QStringList{QStringLiteral("at+vsm=?")});
    EXPECT_EQ(box.lines().size(), 7);
    EXPECT_EQ(logger.lines(), QStringList{QStringLiteral("at+vsm=?")});

    // "Mu-Law" is none of the u-law spellings, so A-law keeps the fourth place.
    const QList<CompressionRecord> records = stored();
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(QFileInfo(parse.compressionsPath()).size(), 4 * 279);
    EXPECT_EQ(records[0].Description, QStringLiteral("SIGNED PCM"));
    EXPECT_EQ(records[0].VsmCommand, QStringLiteral("at+vsm=0,8000,0,0"));
    EXPECT_EQ(records[1].Description, QStringLiteral("UNSIGNED PCM"));
    EXPECT_EQ(records[2].cml, QStringLiteral("130"));
    EXPECT_EQ(records[3].Description, QStringLiteral("ALAW"));
    EXPECT_EQ(records[3].VsmCommand, QStringLiteral("at+vsm=132,8000,0,0"));
    EXPECT_EQ(value("Modem compressions", "0"), QStringLiteral("SIGNED PCM,0,8,0,8000,0,0"));
    EXPECT_EQ(value("Modem compressions", "2"), QStringLiteral("UNSIGNED PCM,130,8,0,8000,0,0"));
    EXPECT_EQ(value("Modem compressions", "3"), QStringLiteral("ALAW,132,8,0,8000,0,0"));
    EXPECT_EQ(value("Modem compressions", "4"), QStringLiteral("<missing>"));
    EXPECT_TRUE(prompter.shown.isEmpty());

    // The automatic choice then takes the first unsigned 8-bit record.
    ASSERT_TRUE(chooseCurrentCompression(config, parse.compressionsPath()));
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("1"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=1,8000,0,0"));
}

TEST_F(VoiceCapabilityProbeTest, Usr5637ThreeFieldReplyReplacesAnEarlierProbe) {
    answer(kCx93001);
    ASSERT_TRUE(parse.probeCompressions(false));
    answer(kUsr5637);
    ASSERT_TRUE(parse.probeCompressions(false));

    const QList<CompressionRecord> records = stored();
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].displayText(), QStringLiteral("UNSIGNED PCM 8bit 8000Hz"));
    EXPECT_EQ(records[0].VsmCommand, QStringLiteral("at+vsm=128,8000"));
    EXPECT_EQ(records[1].displayText(), QStringLiteral("UNSIGNED PCM 16bit 8000Hz"));
    EXPECT_EQ(records[2].displayText(), QStringLiteral("ALAW 8bit 8000Hz"));
    EXPECT_EQ(records[3].displayText(), QStringLiteral("ULAW 8bit 8000Hz"));
    EXPECT_EQ(records[3].VsmCommand, QStringLiteral("at+vsm=131,8000"));
    // The section is rewritten whole: no key is left from the earlier, longer list.
    EXPECT_EQ(value("Modem compressions", "3"), QStringLiteral("ULAW,131,8,,8000,,"));
    EXPECT_EQ(value("Modem compressions", "4"), QStringLiteral("<missing>"));
}

TEST_F(VoiceCapabilityProbeTest, PrefixedRepliesAndDeveloperMode) {
    box.setText(QStringLiteral("+VSM: 128,\"8-BIT LINEAR\",8,0,(7200,8000,11025),0,0\n"
                               "  +VSM: 1,\"SIGNED PCM\",8000  \n\nOK"));
    ASSERT_TRUE(parse.probeCompressions(true));
    EXPECT_TRUE(sent.isEmpty()); // the developer's text is used as it stands
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(stored()[0].VsmCommand, QStringLiteral("at+vsm=128,11025,0,0"));
    EXPECT_EQ(stored()[1].VsmCommand, QStringLiteral("at+vsm=1,8000"));
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[0], QStringLiteral("cml : 128\rcmid : \"8-BIT LINEAR\"\rbps : 8\rtm : 0\rvsr : 11025\r"
                                                "scs : 0\rsel : 0\rDescription : UNSIGNED PCM\r"
                                                "VSM command : at+vsm=128,11025,0,0\r"));
}

TEST_F(VoiceCapabilityProbeTest, NothingRecognisedStoresNoCompression) {
    profile.setVoiceCompression(QStringLiteral("at+vsm=128,8000"));
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 2);
    answer(QStringLiteral("error"), AtResult::Error);
    EXPECT_FALSE(parse.probeCompressions(false));
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("None modem compression can be recognized")});
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=none"));
    EXPECT_EQ(value("Modem", "SamplingFreq"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "Compression"), QString());
    EXPECT_EQ(profile.params().VoiceCompression, QStringLiteral("at+vsm=none"));
    EXPECT_TRUE(QFile::exists(parse.compressionsPath()));
    EXPECT_EQ(QFileInfo(parse.compressionsPath()).size(), 0);
    EXPECT_FALSE(chooseCurrentCompression(config, parse.compressionsPath()));

    // Developer mode only reports it.
    prompter.shown.clear();
    config.writeString(QStringLiteral("Modem"), QStringLiteral("VoiceCompression"), QStringLiteral("kept"));
    box.setText(QStringLiteral("129,\"IMA ADPCM\",(8000)"));
    EXPECT_FALSE(parse.probeCompressions(true));
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("kept"));
}

TEST_F(VoiceCapabilityProbeTest, DamagedLinesAreSkippedNotFatal) {
    box.setText(QStringLiteral("128,\"8-BIT LINEAR\",(7200,8000\n(((((\n,,,,,,\n;\n131,\"8-BIT ULAW\",(8000)"));
    ASSERT_TRUE(parse.probeCompressions(true));
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored()[0].Description, QStringLiteral("ULAW"));
}

TEST_F(VoiceCapabilityProbeTest, UnwritableCompressionFileIsReported) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Compressions.d"))); // a folder in its place
    box.setText(QStringLiteral("131,\"8-BIT ULAW\",(8000)"));
    EXPECT_FALSE(parse.probeCompressions(true));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith(QStringLiteral("Unable to write to ")));
}

TEST_F(VoiceCapabilityProbeTest, LineSelectionProbeStoresTheProfileCommand) {
    ModemParams p;
    p.LineSel_T = QStringLiteral("at+vls=1");
    profile.setParams(p);
    answer(QStringLiteral("0,1,2,3\r\n(0-15)"));
    EXPECT_TRUE(parse.probeLineSelection());
    EXPECT_EQ(sent, QStringList{QStringLiteral("at+vls=?")});
    EXPECT_EQ(box.lines(), (QStringList{QStringLiteral("0,1,2,3"), QStringLiteral("(0-15)")}));
    EXPECT_EQ(value("Modem", "LineSel_T"), QStringLiteral("at+vls=1"));
    EXPECT_EQ(value("Modem", "LineSel_T#"), QStringLiteral("ok"));
}

TEST(GainRangeTest, RepliesOfRealModems) {
    auto parsed = [](const QString& reply) {
        GainRange range;
        VoiceCapabilityProbe::parseGainRange(reply, range);
        return std::pair{range.low, range.high};
    };
    EXPECT_EQ(parsed(QStringLiteral("(0-255)")), std::pair(0, 255));
    EXPECT_EQ(parsed(QStringLiteral("0,121-135")), std::pair(121, 135));
    EXPECT_EQ(parsed(QStringLiteral("+VGR: 0-255")), std::pair(0, 255));
    EXPECT_EQ(parsed(QStringLiteral("+VGR: (0-255)")), std::pair(0, 255));
    EXPECT_EQ(parsed(QStringLiteral("255-0")), std::pair(-1, -1));
    EXPECT_EQ(parsed(QStringLiteral("128")), std::pair(0, 0));
    EXPECT_EQ(parsed(QStringLiteral("(120-)")), std::pair(120, 255));
    EXPECT_EQ(parsed(QStringLiteral("7-7")), std::pair(-1, -1));
    GainRange kept{5, 9};
    VoiceCapabilityProbe::parseGainRange(QStringLiteral("error"), kept);
    EXPECT_EQ(kept, (GainRange{5, 9}));
}
