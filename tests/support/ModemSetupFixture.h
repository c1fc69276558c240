// The modem side as the program wires it, in a temporary working folder: the tests of the modem
// search, the profile writer, the start-up configuration and their windows derive from it.
#pragma once

#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "modem/ModemSettings.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/StartupConfiguration.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "settings/SettingsModel.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

/// Every part only holds on to the others when made, so a test uses the ones it needs.
struct ModemSetupFixture : ::testing::Test {
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
    SettingsModel settings{config, dir.path()};
    StartupConfiguration init{config, prompter, modem, profile, current, settings, dir.path()};

    /// For a search: the simulator's line (no flow control, a short reply timeout), the probe asking
    /// the modem, and all eight ports on devices that do not exist until a test maps one.
    void prepareSearch() {
        ModemSettings line;
        line.flow = SerialChannel::FlowControl::None;
        line.replyTimeoutSeconds = 2;
        modem.setSettings(line);
        parse.setQuery(
            [this](const QString& command, QString& reply) { return modem.exchange().sendQuery(command, reply); });
        for (int port = 1; port <= 8; ++port)
            mapPort(port, dir.filePath(QStringLiteral("absent%1").arg(port)));
    }
    void mapPort(int port, const QString& device) {
        config.writeString(QStringLiteral("Ports"), QStringLiteral("Com%1").arg(port), device);
    }
    /// The stored profile's modem is on `port`, a device with hardware flow control.
    void configurePort(int port, const QString& device) {
        mapPort(port, device);
        config.writeInteger(QStringLiteral("Modem"), QStringLiteral("port"), port);
        config.writeInteger(QStringLiteral("Modem"), QStringLiteral("FlowControl"), 2);
    }
    /// A file of the working folder holding `text`; its path.
    QString writeFile(const QString& name, const QString& text) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }
};
