// orlamo-cli record against the simulated modem: the first start finds it, writes its profile, arms
// automatic recording and reports the rings and the caller of a call.
#include "support/ModemSim.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
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

// Reads the recorder's standard output until `wanted` has appeared `count` times.
bool waitForCount(QProcess& process, QByteArray& seen, const QByteArray& wanted, qsizetype count) {
    while (seen.count(wanted) < count) {
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
    ASSERT_TRUE(sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini"))));
    QProcess recorder;
    recorder.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    QByteArray out;
    ASSERT_TRUE(waitForLine(recorder, out, "Enabling autoRecord mode")) << out.constData();
    EXPECT_TRUE(out.contains("----- finding modems -----"));
    EXPECT_TRUE(out.contains("Port 2 failed to open"));
    EXPECT_TRUE(out.contains("Com port 1 is " + sim.linkPath().toUtf8() + "\nCom port 1 opened...\n"));
    EXPECT_TRUE(out.contains("echo off..\nok\n"));
    EXPECT_TRUE(out.contains("Enable caller ID..\nok\n"));

    // The port is the recorder's: the commands that talk to the modem are refused in one line, and the
    // recorder goes on hearing the line.
    for (const QStringList& command :
         {QStringList{QStringLiteral("at"), QStringLiteral("ATI")}, QStringList{QStringLiteral("diagnostics")}}) {
        QProcess other;
        other.start(cli(), QStringList{QStringLiteral("--workdir"), dir.path()} + command);
        ASSERT_TRUE(other.waitForFinished(60000));
        const QByteArray err = other.readAllStandardError();
        EXPECT_NE(other.exitCode(), 0) << command.join(' ').toStdString();
        EXPECT_EQ(err.count('\n'), 1) << err.constData();
        EXPECT_TRUE(err.contains("in use")) << err.constData();
    }

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

TEST(CliRecord, CallsAreRecordedCataloguedAndListedAndTheLastOneIsKeptAtTheEnd) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    ASSERT_TRUE(sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini")), "[Params]\r\nDiscTime=2\r\n"));
    QProcess recorder;
    recorder.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    QByteArray out;
    ASSERT_TRUE(waitForLine(recorder, out, "Enabling autoRecord mode")) << out.constData();

    // The caller hangs up: the silence ends the recording, which is catalogued and reported.
    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=2 interval=1500 cid=5551234 audio=speech talk=3 end=silence endfor=20")));
    ASSERT_TRUE(waitForLine(recorder, out, "Recorded ")) << out.constData();
    EXPECT_TRUE(out.contains("Disconnect line..."));
    ASSERT_TRUE(waitForCount(recorder, out, "Enabling autoRecord mode", 2))
        << "the modem is not made ready again: " << out.constData();

    // A second call is still running when the recorder is told to end: it is kept too.
    ASSERT_TRUE(sim.command(QStringLiteral("call rings=2 interval=1500 cid=5559876 audio=speech talk=60")));
    ASSERT_TRUE(waitForCount(recorder, out, "Receiving data...", 2)) << out.constData();
    QThread::msleep(1500); // some of the call's sound arrives
    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(30000));
    out += recorder.readAllStandardOutput();
    EXPECT_EQ(recorder.exitCode(), 0);
    EXPECT_EQ(out.count("Recorded "), 2) << out.constData();

    QProcess catalog;
    catalog.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("catalog"), QStringLiteral("--csv")});
    ASSERT_TRUE(catalog.waitForFinished(30000));
    const QByteArray listing = catalog.readAllStandardOutput();
    EXPECT_EQ(catalog.exitCode(), 0) << catalog.readAllStandardError().constData();
    EXPECT_TRUE(listing.contains("5551234")) << listing.constData();
    EXPECT_TRUE(listing.contains("5559876")) << listing.constData();
    const QStringList files = QDir(dir.filePath(QStringLiteral("wav"))).entryList({QStringLiteral("1_*.wav")});
    EXPECT_EQ(files.size(), 2) << files.join(' ').toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("wav/Recorded.wav"))));
}

TEST(CliRecord, RecordOutgoingRecordsTheCallsTheUserMakesForThisRun) {
    QTemporaryDir dir;
    QFile personality(dir.filePath(QStringLiteral("handset.txt")));
    ASSERT_TRUE(personality.open(QIODevice::WriteOnly));
    personality.write("handset P\ndtmf\n");
    personality.close();
    ModemSim sim({QStringLiteral("--speed"), QStringLiteral("4"), QStringLiteral("--profile"), personality.fileName()});
    ASSERT_TRUE(sim.start());
    ASSERT_TRUE(sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini"))));

    QProcess bad;
    bad.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record"), QStringLiteral("--outgoing")});
    ASSERT_TRUE(bad.waitForFinished(30000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_EQ(bad.readAllStandardError(), "usage: orlamo-cli record [--record-outgoing]\n");

    QProcess recorder;
    recorder.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("record"),
                           QStringLiteral("--record-outgoing")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    QByteArray out;
    ASSERT_TRUE(waitForLine(recorder, out, "Enabling autoRecord mode")) << out.constData();
    ASSERT_TRUE(sim.command(QStringLiteral("dial number=5550199 audio=speech talk=2")));
    ASSERT_TRUE(waitForLine(recorder, out, "Recorded ")) << out.constData();
    EXPECT_TRUE(out.contains("Handset lifted\nOutgoing call\n-- Recording started\n")) << out.constData();
    ASSERT_TRUE(waitForCount(recorder, out, "Enabling autoRecord mode", 2)) << out.constData();
    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(30000));
    EXPECT_EQ(recorder.exitCode(), 0);

    QProcess catalog;
    catalog.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("catalog"), QStringLiteral("--csv")});
    ASSERT_TRUE(catalog.waitForFinished(30000));
    EXPECT_TRUE(catalog.readAllStandardOutput().contains("5550199"));
    // The option was for that run only: the setting stays as it was.
    QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray stored = ini.readAll();
    EXPECT_FALSE(stored.contains("RecordOutgoing")) << stored.constData();
    EXPECT_TRUE(stored.contains("HandsetEvents=P")) << stored.constData();
}

// A recorder that cannot record says so before the first call, and a failed start leaves it listening:
// every later call is still taken up (and fails with its message) instead of ringing unnoticed.
TEST(CliRecord, ARecorderThatCannotRecordSaysSoAtStartAndKeepsListening) {
    ModemSim sim({QStringLiteral("--speed"), QStringLiteral("4")});
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    ASSERT_TRUE(sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini"))));
    const QStringList arguments{QStringLiteral("--workdir"), dir.path(), QStringLiteral("record")};
    QByteArray out;
    {
        QProcess first;
        first.start(cli(), arguments);
        ASSERT_TRUE(waitForLine(first, out, "Enabling autoRecord mode")) << out.constData();
        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        ASSERT_TRUE(first.waitForFinished(30000));
    }
    EXPECT_FALSE(out.contains("cannot record")) << out.constData();
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("ModemCompression.cpn"))));

    QProcess recorder;
    recorder.start(cli(), arguments);
    out.clear();
    ASSERT_TRUE(waitForLine(recorder, out, "The recorder cannot record: None Codec found to match modem compression\n"))
        << out.constData();
    for (int call = 1; call <= 2; ++call) {
        ASSERT_TRUE(
            sim.command(QStringLiteral("call rings=1 interval=1000 cid=555123%1 audio=speech talk=2").arg(call)));
        ASSERT_TRUE(waitForCount(recorder, out, "-- Recording started", call)) << out.constData();
        ASSERT_TRUE(waitForCount(recorder, out, "Enabling autoRecord mode", call + 1))
            << "not listening after the failed start: " << out.constData();
    }
    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(30000));
    EXPECT_EQ(recorder.readAllStandardError().count("None Codec found to match modem compression"), 2);
}
