// Start-up of the modem side: first-run check and applying the configuration, with a simulated modem.
#include "modemsetup/StartupConfiguration.h"
#include "modem/ModemSettings.h"
#include "modemsetup/CompressionFile.h"
#include "support/ModemSetupFixture.h"
#include "support/ModemSim.h"

#include <QDir>
#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct StartupConfigurationTest : ModemSetupFixture {
    QSignalSpy record{&init, &StartupConfiguration::recordEnabled};
    int searches = 0;

    void SetUp() override {
        init.setModemSearch([this] {
            ++searches;
            return 0;
        });
    }
    void configureModem(int port, const QString& device) {
        configurePort(port, device);
        config.writeString(QStringLiteral("Modem"), QStringLiteral("Model"), QStringLiteral("Simulated"));
        config.writeString(QStringLiteral("Modem"), QStringLiteral("ForCallerId"), QStringLiteral("at+vcid=1"));
    }
    void start() {
        settings.load();
        init.firstRunCheck();
        init.applyConfiguration();
    }
    bool lastRecordEnabled() { return !record.isEmpty() && record.last().at(0).toBool(); }
};

} // namespace

TEST_F(StartupConfigurationTest, ConfiguredModemIsOpenedWithoutASearch) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    configureModem(3, sim.linkPath());
    start();
    EXPECT_EQ(searches, 0);
    EXPECT_EQ(profile.params().port, 3);
    EXPECT_EQ(profile.params().Model, QStringLiteral("Simulated"));
    EXPECT_TRUE(modem.portOpen());
    EXPECT_TRUE(logger.lines().contains(QStringLiteral("Com port 3 opened...")));
    EXPECT_TRUE(logger.lines().contains(QStringLiteral("Com port 3 is %1").arg(sim.linkPath())));
    EXPECT_TRUE(logger.lines().contains(QStringLiteral("Enabling autoRecord mode")));
    EXPECT_TRUE(modem.calls().autoRecordMode());
    // The initialisation went to the modem, with the profile's caller ID command.
    const QStringList lines = logger.lines();
    const qsizetype enable = lines.indexOf(QStringLiteral("Enable caller ID.."));
    ASSERT_GE(enable, 0);
    EXPECT_EQ(lines.value(enable + 1), QStringLiteral("ok"));
    EXPECT_TRUE(lastRecordEnabled());
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("wav"))).exists());

    // Applying again after the settings dialog closed with automatic recording off.
    modem.closeModemPort();
    settings.setAutoRecord(false);
    init.applyConfiguration();
    EXPECT_TRUE(modem.portOpen());
    EXPECT_FALSE(modem.calls().autoRecordMode());
    modem.closeModemPort();
}

TEST_F(StartupConfigurationTest, FirstStartWithoutAModem) {
    start();
    EXPECT_EQ(searches, 1);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("        No modem detected        ")});
    EXPECT_EQ(config.readString(QStringLiteral("Params"), QStringLiteral("Voicefeatures"), QString()),
              QStringLiteral("0"));
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
    EXPECT_FALSE(modem.portOpen());
    EXPECT_FALSE(profile.voiceFeatures());
    ASSERT_EQ(record.count(), 1);
    EXPECT_FALSE(lastRecordEnabled());
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("wav"))).exists());
}

TEST_F(StartupConfigurationTest, ModemWithoutVoiceAndPortThatCannotOpen) {
    configureModem(1, dir.filePath(QStringLiteral("no-such-device")));
    config.writeBool(QStringLiteral("Params"), QStringLiteral("Voicefeatures"), false);
    start();
    EXPECT_EQ(searches, 0);
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[0], QStringLiteral("Your modem does not support V.253/IS-101 standard"));
    EXPECT_EQ(prompter.shown[1], QStringLiteral("Error during opening com port 1"));
    EXPECT_FALSE(modem.portOpen());
    // The message keeps its fixed text; the log says which device failed and why.
    const QString failure =
        QStringLiteral("Com port 1 is %1 and cannot be opened: ").arg(dir.filePath(QStringLiteral("no-such-device")));
    EXPECT_TRUE(std::any_of(logger.lines().cbegin(), logger.lines().cend(), [&](const QString& line) {
        return line.startsWith(failure) && line.size() > failure.size();
    })) << logger.lines().join('\n').toStdString();
    EXPECT_FALSE(lastRecordEnabled());
    // Automatic-record mode is still set as configured.
    EXPECT_TRUE(modem.calls().autoRecordMode());
}

TEST_F(StartupConfigurationTest, CurrentCompressionIsLoadedFromTheStoredIndex) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    configureModem(2, sim.linkPath());
    CompressionFileWriter compressions;
    ASSERT_TRUE(compressions.recreate(CompressionFile::pathIn(dir.path())));
    CompressionRecord a, b;
    a.Description = QStringLiteral("ULAW");
    b.Description = QStringLiteral("UNSIGNED PCM");
    b.vsr = QStringLiteral("8000");
    ASSERT_TRUE(compressions.write(0, a));
    ASSERT_TRUE(compressions.write(1, b));
    compressions.close();
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 1);
    start();
    EXPECT_EQ(current.record(), b);
    modem.closeModemPort();
}

TEST_F(StartupConfigurationTest, FindModemsClosesThePortAndSearchesOnTheChosenLine) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    configureModem(1, sim.linkPath());
    start();
    ASSERT_TRUE(modem.portOpen());
    prompter.shown.clear();
    // The dialog's choice, not stored yet.
    settings.setBaudrateIndex(0);
    settings.setFlowControlIndex(1);
    bool openDuringSearch = true;
    ModemSettings line;
    init.setModemSearch([&] {
        openDuringSearch = modem.portOpen();
        line = modem.settings();
        return 0;
    });
    EXPECT_EQ(init.findModems(), 0);
    EXPECT_FALSE(openDuringSearch);
    EXPECT_EQ(line.baud, 57600);
    EXPECT_EQ(line.flow, SerialChannel::FlowControl::Software);
    // Nothing found: no voice features, the old profile gone, and the user told.
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("        No modem detected        ")});
    EXPECT_FALSE(config.readBool(QStringLiteral("Params"), QStringLiteral("Voicefeatures"), true));
    EXPECT_FALSE(profile.voiceFeatures());
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
    EXPECT_FALSE(modem.portOpen());

    // A search that finds one leaves its profile alone and says nothing.
    prompter.shown.clear();
    init.setModemSearch([&] {
        config.writeInteger(QStringLiteral("Modem"), QStringLiteral("port"), 1);
        return 1;
    });
    EXPECT_EQ(init.findModems(), 1);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_TRUE(config.sectionExists(QStringLiteral("Modem")));
}
