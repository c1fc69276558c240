// orlamo-cli record against the simulated modem: the first start finds it, writes its profile, arms
// automatic recording and reports the rings and the caller of a call.
#include "support/ModemSim.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString cli() {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
}

// Reads the recorder's standard output until `wanted` appears.
bool waitForLine(QProcess& process, QByteArray& seen, const QByteArray& wanted) {
    while (!seen.contains(wanted)) {
        if (!process.waitForReadyRead(30000))
            return false;
        seen += process.readAllStandardOutput();
    }
    return true;
}

} // namespace

TEST(CliRecord, FirstStartFindsTheModemAndReportsACall) {
    ModemSim sim({QStringLiteral("--speed"), QStringLiteral("4")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    {
        QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Ports]\r\nCom1=" + sim.linkPath().toUtf8() + "\r\n");
        for (int n = 2; n <= 8; ++n)
            ini.write("Com" + QByteArray::number(n) + "=\r\n");
    }
    QProcess recorder;
    recorder.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    QByteArray out;
    ASSERT_TRUE(waitForLine(recorder, out, "Enabling autoRecord mode")) << out.constData();
    EXPECT_TRUE(out.contains("----- finding modems -----"));
    EXPECT_TRUE(out.contains("Port 2 failed to open"));
    EXPECT_TRUE(out.contains("Com port 1 (" + sim.linkPath().toUtf8() + ") opened..."));
    EXPECT_TRUE(out.contains("echo off..\nok\n"));
    EXPECT_TRUE(out.contains("Enable caller ID..\nok\n"));

    ASSERT_TRUE(sim.command(QStringLiteral("call rings=2 interval=2000 cid=5551234 audio=silence talk=1")));
    ASSERT_TRUE(waitForLine(recorder, out, "5551234")) << out.constData();
    ASSERT_TRUE(waitForLine(recorder, out, "ring\n")) << out.constData();

    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(30000));
    EXPECT_EQ(recorder.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(recorder.exitCode(), 0);

    QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray profile = ini.readAll();
    EXPECT_TRUE(profile.contains("port=1")) << profile.constData();
    EXPECT_TRUE(profile.contains("VoiceMode=at+fclass=8"));
    QFile log(dir.filePath(QStringLiteral("Events.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Enabling autoRecord mode\r\n"));
}
