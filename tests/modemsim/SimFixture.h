// A simulator on its own thread with a raw serial client on its link, for the simulator's tests.
#pragma once

#include "SerialClient.h"
#include "modemsim/SimulatorThread.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

struct SimFixture : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<modemsim::SimulatorThread> sim;
    SerialClient port;

    std::string link() const { return dir.filePath(QStringLiteral("modem")).toStdString(); }
    std::string file(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    /// Starts the simulator and opens the port; fails the test when either does not work.
    void startModem(const std::string& profile = "cx93001", double speed = 1.0, const std::string& log = {}) {
        modemsim::Options options;
        options.link = link();
        options.profile = profile;
        options.speed = speed;
        options.log = log;
        sim = std::make_unique<modemsim::SimulatorThread>(options);
        std::string error;
        ASSERT_TRUE(sim->start(error)) << error;
        ASSERT_TRUE(port.open(link()));
    }

    /// Voice mode with echo off, as the program sets the modem up.
    void voiceMode(const std::string& vsm) {
        ASSERT_EQ(port.command("ATE0"), "ATE0\r\r\nOK\r\n");
        ASSERT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
        ASSERT_EQ(port.command("AT+VSM=" + vsm), "\r\nOK\r\n");
    }

    void TearDown() override {
        port.close();
        if (sim)
            sim->stop();
    }
};

/// Removes the DLE shielding of a voice stream: doubled DLEs become one data byte, DLE events are collected.
inline std::string unshield(const std::string& stream, std::string* events = nullptr) {
    std::string data;
    for (size_t i = 0; i < stream.size(); ++i) {
        if (stream[i] != 0x10 || i + 1 == stream.size()) {
            data += stream[i];
            continue;
        }
        const char next = stream[++i];
        if (next == 0x10)
            data += next;
        else if (events)
            *events += next;
    }
    return data;
}
