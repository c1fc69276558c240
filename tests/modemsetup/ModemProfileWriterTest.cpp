// The profile writer against simulated modems: the stored keys, the compressions, the gauge, the failures.
#include "modemsetup/ModemProfileWriter.h"

#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString kModem = QStringLiteral("Modem");
const QString kParams = QStringLiteral("Params");

struct ModemProfileWriterTest : ::testing::Test {
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    ScriptedPrompter prompter;
    ModemController modem{config, logger};
    ModemProfile profile;
    QueryModemBox box;
    VoiceCapabilityProbe parse{config, logger, prompter, profile, box, dir.path()};
    CurrentCompression current;
    ModemSearch search{config, logger, modem};
    ModemProfileWriter writer{config, logger, prompter, modem, profile, parse, current, search, dir.path()};

    void SetUp() override {
        ModemSettings settings;
        settings.flow = SerialChannel::FlowControl::None;
        settings.replyTimeoutSeconds = 2;
        modem.setSettings(settings);
        parse.setQuery(
            [this](const QString& command, QString& reply) { return modem.exchange().sendQuery(command, reply); });
        for (int port = 1; port <= 8; ++port)
            config.writeString(QStringLiteral("Ports"), QStringLiteral("Com%1").arg(port),
                               dir.filePath(QStringLiteral("absent%1").arg(port)));
    }
    /// Starts the simulator on port 3 and runs the search, which must find it as entry 1.
    void findOnPort3(ModemSim& sim) {
        ASSERT_TRUE(sim.start());
        config.writeString(QStringLiteral("Ports"), QStringLiteral("Com3"), sim.linkPath());
        ASSERT_EQ(search.searchModems(), 1);
    }
    QString modemKey(const char* key) {
        return config.readString(kModem, QLatin1String(key), QStringLiteral("<absent>"));
    }
    QString personalityFile(const QString& text) {
        const QString path = dir.filePath(QStringLiteral("modem.personality"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }
};

struct Case {
    const char* personality;
    std::map<std::string, std::string> keys; ///< expected `Modem` values
    int chosen;
};

struct ModemProfileWriterKeys : ModemProfileWriterTest, ::testing::WithParamInterface<Case> {};

} // namespace

TEST(ModemProfileWriterGauge, ThirteenStepsToTheNearestPercent) {
    QList<int> got;
    for (int step = 0; step <= 13; ++step)
        got << ModemProfileWriter::gaugeFor(step);
    EXPECT_EQ(got, (QList<int>{0, 8, 15, 23, 31, 38, 46, 54, 62, 69, 77, 85, 92, 100}));
}

TEST(ModemProfileWriterTable, DefaultCommands) {
    ModemParams e;
    ModemProfileWriter::fillDefaultCommands(e);
    EXPECT_EQ(e.VoiceMode, QStringLiteral("at+fclass=8"));
    EXPECT_EQ(e.Reset, QStringLiteral("atz"));
    EXPECT_EQ(e.answer, QStringLiteral("ats0=0"));
    EXPECT_EQ(e.SilenceTimer, QStringLiteral("at+vsd=127,255"));
    EXPECT_EQ(e.VoiceCompression, QStringLiteral("at+vsm=128"));
    EXPECT_EQ(e.SpeakerGain, QStringLiteral("at+vgs=128"));
    EXPECT_TRUE(e.LineSel_TResult.isEmpty());
    EXPECT_TRUE(e.UseLine.isEmpty());
}

TEST_P(ModemProfileWriterKeys, StoresTheTestedProfile) {
    const Case& c = GetParam();
    ModemSim sim({QStringLiteral("--profile"), QLatin1String(c.personality)});
    findOnPort3(sim);
    config.writeInteger(kParams, QStringLiteral("Timeout"), 6);
    config.writeString(kModem, QStringLiteral("BeepTone"), QStringLiteral("kept"));
    QSignalSpy gauge(&writer, &ModemProfileWriter::gaugeChanged);
    QSignalSpy busy(&writer, &ModemProfileWriter::busyChanged);

    EXPECT_EQ(writer.writeModemProfile(1), ModemProfileWriter::Result::Written);

    for (const auto& [key, value] : c.keys)
        EXPECT_EQ(modemKey(key.c_str()).toStdString(), value) << key;
    EXPECT_EQ(modemKey("Model"), search.entry(1).Model);
    EXPECT_EQ(modemKey("Reset"), QString()); // written before the table is filled
    EXPECT_EQ(config.readInteger(kModem, QStringLiteral("port"), 0), 3);
    EXPECT_EQ(modemKey("BeepTone"), QStringLiteral("kept"));
    EXPECT_EQ(modemKey("SilenceTimer"), QStringLiteral("none"));
    EXPECT_EQ(modemKey("LineSel_T"), QStringLiteral("at+vls=1"));
    EXPECT_EQ(modemKey("LineSel_T#"), QStringLiteral("ok"));
    EXPECT_EQ(config.readString(kParams, QStringLiteral("UseLine"), QString()), QStringLiteral("at+vls=1"));
    EXPECT_EQ(config.readString(kParams, QStringLiteral("UseLineRes"), QString()), QStringLiteral("ok"));
    EXPECT_EQ(config.readInteger(kParams, QStringLiteral("Timeout"), 0), 4);
    EXPECT_TRUE(config.readBool(kParams, QStringLiteral("Voicefeatures"), false));
    EXPECT_TRUE(profile.voiceFeatures());

    // The compressions were probed, one chosen, and its codec format saved.
    EXPECT_GT(CompressionFile(parse.compressionsPath()).recordCount(), 0);
    EXPECT_EQ(config.readInteger(kParams, QStringLiteral("Compression"), -1), c.chosen);
    const auto chosen = CompressionFile(parse.compressionsPath()).readRecord(c.chosen);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(modemKey("VoiceCompression"), chosen->VsmCommand);
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("ModemCompression.cpn"))).size(), 128);
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();

    // The profile holds the table as copied, not the results.
    EXPECT_EQ(profile.params().MicGain, QStringLiteral("at+vgm=128"));
    ASSERT_EQ(gauge.size(), 14);
    EXPECT_EQ(gauge.first().at(0).toInt(), 0);
    EXPECT_EQ(gauge.last().at(0).toInt(), 100);
    ASSERT_EQ(busy.size(), 2);
    EXPECT_FALSE(busy.last().at(0).toBool());
    EXPECT_FALSE(modem.portOpen());
    const QStringList lines = logger.lines();
    EXPECT_LT(lines.indexOf(QStringLiteral("now vsm")), lines.indexOf(QStringLiteral("now vls")));
}

INSTANTIATE_TEST_SUITE_P(Personalities, ModemProfileWriterKeys,
                         ::testing::Values(
                             // No built-in modem knows "at+vid".
                             Case{"cx93001",
                                  {{"VoiceMode", "at+fclass=8"},
                                   {"InitVoice", "none"},
                                   {"DisCallerId", "at+vcid=0"},
                                   {"ForCallerId", "at+vcid=1"},
                                   {"UnfCallerId", "at+vcid=2"},
                                   {"Distinctive", "at+vdr=0"},
                                   {"vgrMin", "0"},
                                   {"vgrMax", "255"},
                                   {"RecGain", "at+vgr=127"},
                                   {"vgtMin", "0"},
                                   {"vgtMax", "255"},
                                   {"SpeakerVol", "at+vgt=127"},
                                   {"ToneGeneration", "at+vts="},
                                   {"VoiceProcess", "at+vtr"},
                                   {"VoiceTrx", "at+vtx"},
                                   {"VoiceRec", "at+vrx"},
                                   {"SpeakerOn", "at+vsp=1"},
                                   {"SpeakerOff", "at+vsp=0"},
                                   {"MicGain", "at+vgm=128"},
                                   {"SpeakerGain", "at+vgs=128"}},
                                  1},
                             // No microphone or speaker gain; gains 0,121-135.
                             Case{"usr5637",
                                  {{"RecGain", "at+vgr=128"},
                                   {"vgrMin", "121"},
                                   {"vgrMax", "135"},
                                   {"SpeakerVol", "at+vgt=128"},
                                   {"MicGain", "none"},
                                   {"SpeakerGain", "none"},
                                   {"SpeakerOn", "at+vsp=1"}},
                                  0},
                             // Rejects the transmit gain; "+VGR: (0-31)".
                             Case{"sv92",
                                  {{"RecGain", "at+vgr=15"},
                                   {"vgrMin", "0"},
                                   {"vgrMax", "31"},
                                   {"SpeakerVol", "none"},
                                   {"vgtMin", "<absent>"},
                                   {"MicGain", "at+vgm=128"},
                                   {"Distinctive", "at+vdr=0"}},
                                  0}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.personality);
                         });

TEST_F(ModemProfileWriterTest, OnlyTheRejectedCommandIsNone) {
    // This modem knows "at+vid" but refuses caller ID formatting and answers the gain query with 255-0.
    ModemSim sim({QStringLiteral("--profile"),
                  personalityFile(QStringLiteral("base cx93001\nreply +VID \nreject +VCID=1\nreply +VGT=? 255-0\n"
                                                 "reply +VGR=? 128\n"))});
    findOnPort3(sim);
    EXPECT_EQ(writer.writeModemProfile(1), ModemProfileWriter::Result::Written);
    EXPECT_EQ(modemKey("InitVoice"), QStringLiteral("at+vid"));
    EXPECT_EQ(modemKey("ForCallerId"), QStringLiteral("none"));
    EXPECT_EQ(modemKey("DisCallerId"), QStringLiteral("at+vcid=0"));
    EXPECT_EQ(modemKey("UnfCallerId"), QStringLiteral("at+vcid=2"));
    EXPECT_EQ(modemKey("vgtMin"), QStringLiteral("-1"));
    EXPECT_EQ(modemKey("vgtMax"), QStringLiteral("-1"));
    EXPECT_EQ(modemKey("SpeakerVol"), QStringLiteral("at+vgt=-1"));
    EXPECT_EQ(modemKey("vgrMin"), QStringLiteral("0"));
    EXPECT_EQ(modemKey("vgrMax"), QStringLiteral("0"));
    EXPECT_EQ(modemKey("RecGain"), QStringLiteral("at+vgr=0"));
}

TEST_F(ModemProfileWriterTest, AModemWithoutVoiceGetsNoVoiceCommands) {
    ModemSim sim({QStringLiteral("--profile"), QStringLiteral("datamodem")});
    findOnPort3(sim);
    config.writeString(kParams, QStringLiteral("UseLine"), QStringLiteral("at+vls=1"));
    QSignalSpy gaugeShown(&writer, &ModemProfileWriter::gaugeShown);

    EXPECT_EQ(writer.writeModemProfile(1), ModemProfileWriter::Result::Written);
    for (const char* key :
         {"VoiceMode",    "InitVoice",   "DisCallerId",     "ForCallerId", "UnfCallerId",  "Distinctive",
          "SpeakerVol",   "LineSel_T",   "LineSel_T#",      "BeepTone",    "SilenceTimer", "ToneGeneration",
          "VoiceProcess", "VoiceTrx",    "VoiceRec",        "RecGain",     "SpeakerOn",    "SpeakerOff",
          "MicGain",      "SpeakerGain", "VoiceCompression"})
        EXPECT_EQ(modemKey(key), QStringLiteral("none")) << key;
    EXPECT_EQ(modemKey("Model"), QStringLiteral("56K Data Fax Modem"));
    EXPECT_EQ(config.readInteger(kModem, QStringLiteral("port"), 0), 3);
    EXPECT_FALSE(config.readBool(kParams, QStringLiteral("Voicefeatures"), true));
    EXPECT_FALSE(profile.voiceFeatures());
    EXPECT_EQ(config.readInteger(kParams, QStringLiteral("Timeout"), 0), 4);
    EXPECT_EQ(config.readString(kParams, QStringLiteral("UseLine"), QString()), QStringLiteral("none"));
    EXPECT_FALSE(QFile::exists(parse.compressionsPath()));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ModemCompression.cpn"))));
    for (const auto& signal : gaugeShown)
        EXPECT_FALSE(signal.at(0).toBool());
    EXPECT_FALSE(modem.portOpen());
}

TEST_F(ModemProfileWriterTest, AnUnusablePortKeepsTheWindowOpen) {
    search.entry(1).port = 9; // no device for it
    QSignalSpy busy(&writer, &ModemProfileWriter::busyChanged);
    EXPECT_EQ(writer.writeModemProfile(1), ModemProfileWriter::Result::PortUnusable);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("No valid com port specified for this modem")});
    ASSERT_EQ(busy.size(), 2);
    EXPECT_FALSE(busy.last().at(0).toBool());
    EXPECT_FALSE(config.sectionExists(kModem));

    search.entry(1).port = 2; // mapped to a path that does not exist
    EXPECT_EQ(writer.writeModemProfile(1), ModemProfileWriter::Result::PortUnusable);
}

TEST_F(ModemProfileWriterTest, APortThatDoesNotAnswerStoresNothing) {
    ModemSim sim;
    findOnPort3(sim);
    sim.command(QStringLiteral("fault silent"));
    // The fault applies once the simulator has read it; until then the modem still answers.
    ModemProfileWriter::Result result = ModemProfileWriter::Result::Written;
    for (int attempt = 0; attempt < 3 && result != ModemProfileWriter::Result::NoModem; ++attempt) {
        config.eraseSection(kModem);
        prompter.shown.clear();
        result = writer.writeModemProfile(1);
    }
    EXPECT_EQ(result, ModemProfileWriter::Result::NoModem);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("There is no voice modem at this com port")});
    EXPECT_FALSE(config.sectionExists(kModem));
    EXPECT_FALSE(modem.portOpen());
}
