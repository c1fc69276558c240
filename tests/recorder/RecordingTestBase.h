// A working folder whose port 1 is the simulated modem, and the recorder's controllers created on it.
#pragma once

#include "audio/WaveFormat.h"
#include "base/Config.h"
#include "library/Catalogue.h"
#include "modem/ModemController.h"
#include "program/Program.h"
#include "recorder/VoiceRecorder.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

struct RecordingTestBase : ::testing::Test {
    QTemporaryDir dir;
    ModemSim sim;
    ScriptedPrompter prompter;
    std::unique_ptr<Config> config; ///< the test's own view of tvk.ini (the program reads the same file)
    std::unique_ptr<Program> core;

    /// The simulated modem as port 1 with a complete voice profile; `discTime` seconds of silence end a call.
    void configure(int discTime = 2) {
        ASSERT_TRUE(sim.start());
        core = std::make_unique<Program>(dir.path(), StartOptions{}, prompter);
        config = std::make_unique<Config>(dir.filePath(QStringLiteral("tvk.ini")));
        Config& c = *config;
        const QString modem = QStringLiteral("Modem");
        const QString params = QStringLiteral("Params");
        c.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), sim.linkPath());
        c.writeInteger(modem, QStringLiteral("port"), 1);
        c.writeString(modem, QStringLiteral("Model"), QStringLiteral("Simulated"));
        c.writeInteger(modem, QStringLiteral("FlowControl"), 2);
        c.writeString(modem, QStringLiteral("ForCallerId"), QStringLiteral("at+vcid=1"));
        c.writeString(modem, QStringLiteral("VoiceMode"), QStringLiteral("at+fclass=8"));
        c.writeString(modem, QStringLiteral("RecGain"), QStringLiteral("at+vgr=128"));
        c.writeString(modem, QStringLiteral("SilenceTimer"), QStringLiteral("none"));
        c.writeString(modem, QStringLiteral("VoiceCompression"), QStringLiteral("at+vsm=1,8000"));
        c.writeString(params, QStringLiteral("UseLine"), QStringLiteral("at+vls=1"));
        c.writeString(params, QStringLiteral("UseLineRes"), QStringLiteral("OK"));
        c.writeBool(params, QStringLiteral("Voicefeatures"), true);
        c.writeBool(params, QStringLiteral("AutoRecord"), true);
        c.writeBool(params, QStringLiteral("CallerID"), true);
        c.writeBool(params, QStringLiteral("RejectCall"), false);
        c.writeInteger(params, QStringLiteral("DiscTime"), discTime);
        WaveFormat::pcm(8000, 8, 1).saveFormatFile(dir.filePath(QStringLiteral("ModemCompression.cpn")));
    }
    void createCore() { core->start(); }
    VoiceRecorder& recorder() { return core->recorder(); }
    ModemController& modem() { return core->modem(); }

    int logged(const QString& line) const { return static_cast<int>(core->logger().lines().count(line)); }
    QStringList recordings() const {
        return QDir(dir.filePath(QStringLiteral("wav"))).entryList({QStringLiteral("*.wav")}, QDir::Files);
    }
    void TearDown() override {
        core.reset();
        sim.stop();
    }
};
