// The orlamo program as a user's session sees it: start, single instance, SIGTERM, files left behind.
#include "support/ModemSim.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString binary(const char* name) {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QLatin1Char('/') + QLatin1String(name);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Starts orlamo unattended; it says "orlamo: ready" on standard error once it listens for a second copy.
std::unique_ptr<QProcess> startProgram(const QString& workDir) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(binary("orlamo"));
    process->setReadChannel(QProcess::StandardError);
    process->setArguments({QStringLiteral("--unattended"), QStringLiteral("--workdir"), workDir});
    process->start();
    if (!process->waitForStarted(10000))
        return nullptr;
    return process;
}

bool waitUntilReady(QProcess& process) {
    QByteArray seen;
    while (!seen.contains("orlamo: ready")) {
        if (!process.waitForReadyRead(20000))
            return false;
        seen += process.readAllStandardError();
    }
    return true;
}

void terminate(QProcess& process) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
}

} // namespace

TEST(Program, SigtermClosesInOrderAndASecondCopyEndsWithTheMessage) {
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("temp.wav"))).open(QIODevice::WriteOnly);
    auto first = startProgram(dir.path());
    ASSERT_TRUE(first);
    ASSERT_TRUE(waitUntilReady(*first));

    QProcess second;
    QElapsedTimer clock;
    clock.start();
    second.start(binary("orlamo"), {QStringLiteral("--unattended"), QStringLiteral("--workdir"), dir.path()});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(
        second.readAllStandardError().contains("TVK already loaded Maybe minimized on the taskbar (lower right side)"));
    EXPECT_EQ(first->state(), QProcess::Running) << "the first copy keeps running";

    terminate(*first);
    const QByteArray ini = readAll(dir.filePath(QStringLiteral("tvk.ini")));
    for (const char* key : {"MainTop=", "MainLeft=", "MainWid=", "MainHeight="})
        EXPECT_TRUE(ini.contains(key)) << key << " missing from " << ini.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("temp.wav"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Events.log"))));

    // A second run replaces the event log rather than appending to it.
    QFile log(dir.filePath(QStringLiteral("Events.log")));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("line of an earlier run\r\n");
    log.close();
    auto again = startProgram(dir.path());
    ASSERT_TRUE(again);
    ASSERT_TRUE(waitUntilReady(*again));
    terminate(*again);
    EXPECT_FALSE(readAll(dir.filePath(QStringLiteral("Events.log"))).contains("earlier run"));
}

TEST(Program, CliAnswersHelpAndVersion) {
    QProcess cli;
    cli.start(binary("orlamo-cli"), {QStringLiteral("--version")});
    ASSERT_TRUE(cli.waitForFinished(20000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(cli.readAllStandardOutput().startsWith("orlamo-cli "));
    cli.start(binary("orlamo-cli"), {QStringLiteral("--help")});
    ASSERT_TRUE(cli.waitForFinished(20000));
    EXPECT_TRUE(cli.readAllStandardOutput().contains("--workdir DIR"));
    cli.start(binary("orlamo-cli"), {QStringLiteral("no-such-command")});
    ASSERT_TRUE(cli.waitForFinished(20000));
    EXPECT_EQ(cli.exitCode(), 2);
}

TEST(Program, FirstStartOnTheSimulatedModemRecordsACallByItself) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    ASSERT_TRUE(sim.writeFirstStartConfig(dir.filePath(QStringLiteral("tvk.ini")), "[Params]\r\nDiscTime=2\r\n"));
    auto program = startProgram(dir.path());
    ASSERT_TRUE(program);
    ASSERT_TRUE(waitUntilReady(*program));
    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=2 interval=1500 cid=5550199 audio=speech talk=3 end=silence endfor=20")));
    const QDir wav(dir.filePath(QStringLiteral("wav")));
    QDeadlineTimer deadline(60000);
    while (wav.entryList({QStringLiteral("1_*.wav")}, QDir::Files).isEmpty() && !deadline.hasExpired())
        QThread::msleep(200);
    terminate(*program);
    EXPECT_EQ(wav.entryList({QStringLiteral("1_*.wav")}, QDir::Files).size(), 1)
        << readAll(dir.filePath(QStringLiteral("Events.log"))).constData();
    const QByteArray log = readAll(dir.filePath(QStringLiteral("Events.log")));
    EXPECT_TRUE(log.contains("-- Recording started\r\n"));
    EXPECT_TRUE(log.contains("Disconnect line...\r\n-- Recording stopped\r\n")) << log.constData();

    QProcess catalog;
    catalog.start(binary("orlamo-cli"),
                  {QStringLiteral("--workdir"), dir.path(), QStringLiteral("catalog"), QStringLiteral("--csv")});
    ASSERT_TRUE(catalog.waitForFinished(30000));
    EXPECT_TRUE(catalog.readAllStandardOutput().contains(",5550199,wav/1_"));
}
