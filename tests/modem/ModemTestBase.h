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
#include <memory>

struct ModemTestBase : ::testing::Test {
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    Logger logger;
    std::unique_ptr<ModemController> modem;
    ModemSettings settings;

    /// Maps port 1 to `device` and creates the controller (which reads RingTimeOut now), on the clock
    /// `timing` or, without one, the real clock.
    void createModem(const QString& device, std::unique_ptr<ModemTiming> timing = nullptr) {
        config.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), device);
        modem = std::make_unique<ModemController>(config, logger, std::move(timing));
        settings.replyTimeoutSeconds = 2;
        settings.flow = SerialChannel::FlowControl::None;
        modem->setSettings(settings);
    }
    QStringList linesSince(qsizetype from) const { return logger.lines().mid(from); }
};
