// The capability probes against simulated modems: compression lists, line selection and gain ranges.
#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Expected {
    const char* personality;
    QStringList records; ///< display text and selection command of each record
    int chosen;          ///< index the automatic choice takes
    GainRange receiveGain;
};

class ModemProbeTest : public ::testing::TestWithParam<Expected> {
protected:
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    ScriptedPrompter prompter;
    ModemProfile profile;
    QueryModemBox box;
    VoiceCapabilityProbe parse{config, logger, prompter, profile, box, dir.path()};
};

} // namespace

TEST_P(ModemProbeTest, ProbesTheSimulatedModem) {
    const Expected& expected = GetParam();
    ModemSim sim({QStringLiteral("--profile"), QLatin1String(expected.personality)});
    ASSERT_TRUE(sim.start());
    config.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), sim.linkPath());
    ModemController modem(config, logger);
    ModemSettings settings;
    settings.flow = SerialChannel::FlowControl::None;
    settings.replyTimeoutSeconds = 2;
    modem.setSettings(settings);
    ASSERT_TRUE(modem.openModemPort(1, true));
    // The voice commands answer only in voice mode, which the profile writer selects before probing.
    ASSERT_EQ(modem.exchange().sendCommand(QStringLiteral("at+fclass=8"), QStringLiteral("voice mode.."),
                                           QStringLiteral("ok")),
              AtResult::Ok);
    parse.setQuery(
        [&modem](const QString& command, QString& reply) { return modem.exchange().sendQuery(command, reply); });

    ASSERT_TRUE(parse.probeCompressions(false)) << box.text().toStdString();
    QStringList got;
    for (const CompressionRecord& r : CompressionFile(parse.compressionsPath()).readAll())
        got << r.displayText() + QStringLiteral(" / ") + r.VsmCommand;
    EXPECT_EQ(got, expected.records) << box.text().toStdString();
    ASSERT_TRUE(chooseCurrentCompression(config, parse.compressionsPath()));
    EXPECT_EQ(config.readInteger(QStringLiteral("Params"), QStringLiteral("Compression"), -1), expected.chosen);

    QString reply;
    EXPECT_EQ(modem.exchange().sendQuery(QStringLiteral("at+VGR=?"), reply), AtResult::Ok);
    GainRange range;
    VoiceCapabilityProbe::parseGainRange(reply, range);
    EXPECT_EQ(range, expected.receiveGain) << reply.toStdString();

    EXPECT_TRUE(parse.probeLineSelection());
    EXPECT_FALSE(box.lines().isEmpty());
    EXPECT_EQ(config.readString(QStringLiteral("Modem"), QStringLiteral("LineSel_T#"), QString()),
              QStringLiteral("ok"));
    EXPECT_TRUE(prompter.shown.isEmpty());
    modem.closeModemPort();
    sim.stop();
}

INSTANTIATE_TEST_SUITE_P(
    Personalities, ModemProbeTest,
    ::testing::Values(
        Expected{"cx93001",
                 {"SIGNED PCM 8bit 8000Hz / at+vsm=0,8000,0,0", "UNSIGNED PCM 8bit 8000Hz / at+vsm=1,8000,0,0",
                  // "Mu-Law" is no u-law spelling the parser knows, so it is no record.
                  "UNSIGNED PCM 8bit 8000Hz / at+vsm=130,8000,0,0", "ALAW 8bit 8000Hz / at+vsm=132,8000,0,0"},
                 1,
                 {0, 255}},
        Expected{"usr5637",
                 {"UNSIGNED PCM 8bit 8000Hz / at+vsm=128,8000", "UNSIGNED PCM 16bit 8000Hz / at+vsm=129,8000",
                  "ALAW 8bit 8000Hz / at+vsm=130,8000", "ULAW 8bit 8000Hz / at+vsm=131,8000"},
                 0,
                 {121, 135}},
        Expected{"sv92",
                 // The lines whose rate groups hold a ',' count as ','-separated and so are no records.
                 {"SIGNED PCM 8bit 8000Hz / at+vsm=3;8000", "ULAW 8bit 8000Hz / at+vsm=4;8000",
                  "ALAW 8bit 8000Hz / at+vsm=5;8000"},
                 0,
                 {0, 31}}),
    [](const ::testing::TestParamInfo<Expected>& info) { return std::string(info.param.personality); });
