// Shared fixture: a modem controller in a temporary working folder, wired to a modem on a pty.
#pragma once

#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct ModemTestBase : ::testing::Test {
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    std::unique_ptr<ModemController> modem;
    ModemSettings settings;

    /// Maps port 1 to `device` and creates the controller (which reads RingTimeOut now).
    void createModem(const QString& device) {
        config.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), device);
        modem = std::make_unique<ModemController>(config, logger);
        settings.replyTimeoutSeconds = 2;
        settings.flow = ComPort::FlowControl::None;
        modem->setSettings(settings);
    }
    QStringList linesSince(qsizetype from) const { return logger.lines().mid(from); }
};
