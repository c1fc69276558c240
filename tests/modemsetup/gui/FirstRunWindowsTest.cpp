// The windowed first start: the search shows the modem initialization window, whose OK writes the profile.
#include "modemsetup/gui/FirstRunWindows.h"

#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/StartupConfiguration.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "modemsetup/gui/ModemChoiceWindow.h"
#include "modemsetup/gui/ProgressWindow.h"
#include "settings/SettingsModel.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(FirstRunWindows, TheUserConfirmsTheModemInTheWindow) {
    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    ModemSim sim({QStringLiteral("--profile"), QStringLiteral("sv92")});
    ASSERT_TRUE(sim.start());
    for (int port = 1; port <= 8; ++port)
        config.writeString(QStringLiteral("Ports"), QStringLiteral("Com%1").arg(port),
                           port == 4 ? sim.linkPath() : dir.filePath(QStringLiteral("absent")));
    Logger logger;
    ScriptedPrompter prompter;
    ModemController modem(config, logger);
    ModemSettings settings;
    settings.flow = SerialChannel::FlowControl::None;
    modem.setSettings(settings);
    ModemProfile profile;
    QueryModemBox box;
    VoiceCapabilityProbe parse(config, logger, prompter, profile, box, dir.path());
    parse.setQuery(
        [&modem](const QString& command, QString& reply) { return modem.exchange().sendQuery(command, reply); });
    CurrentCompression current;
    SettingsModel model(config, dir.path());
    StartupConfiguration init(config, prompter, modem, profile, current, model, dir.path());
    ModemChoiceWindow form;
    ProgressWindow progress;
    ModemSearch search(config, logger, modem);
    ModemProfileWriter writer(config, logger, prompter, modem, profile, parse, current, search, dir.path());
    FirstRunWindows::attach(init, search, writer, form, progress, config, prompter);

    bool windowShown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &form, [&] {
        if (!form.isVisible())
            return;
        poll.stop();
        windowShown = true;
        form.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    poll.start(20);
    init.firstRunCheck();
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(config.readInteger(QStringLiteral("Modem"), QStringLiteral("port"), 0), 4);
    EXPECT_EQ(profile.params().Model, QStringLiteral(" SV92 Soft Modem"));
    // Its lines with "," inside a rate group are no records; the first left is signed 8-bit PCM.
    EXPECT_EQ(profile.params().VoiceCompression, QStringLiteral("at+vsm=3;8000"));
    EXPECT_EQ(profile.params().SpeakerVol, QStringLiteral("none"));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();
}
