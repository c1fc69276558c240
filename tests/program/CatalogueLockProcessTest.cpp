// The window's program holds the catalogue: it runs the catalogue commands orlamo-cli hands over, and
// it does not start while another program holds the catalogue. At start it lists recording files without a row.
#include "library/CatalogueLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString binary(const char* name) {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QLatin1Char('/') + QLatin1String(name);
}

struct Finished {
    int code = -1;
    QByteArray err;
};

Finished run(const char* program, const QStringList& args) {
    QProcess process;
    process.start(binary(program), args);
    Finished result;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result.code = process.exitCode();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace

TEST(CatalogueLockProcess, TheWindowsProgramIsTheOneWriter) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("wav"));
    QFile orphan(dir.filePath(QStringLiteral("wav/1_20261208_100001.wav")));
    ASSERT_TRUE(orphan.open(QIODevice::WriteOnly));
    orphan.close();

    QProcess window;
    window.setReadChannel(QProcess::StandardError);
    window.start(binary("orlamo"), {QStringLiteral("--unattended"), QStringLiteral("--workdir"), dir.path()});
    ASSERT_TRUE(window.waitForStarted(10000));
    QByteArray seen;
    while (!seen.contains("orlamo: ready")) {
        ASSERT_TRUE(window.waitForReadyRead(30000)) << seen.constData();
        seen += window.readAllStandardError();
    }
    const Finished forwarded = run("orlamo-cli", {QStringLiteral("--workdir"), dir.path(), QStringLiteral("list"),
                                                  QStringLiteral("add"), QStringLiteral("Work")});
    EXPECT_EQ(forwarded.code, 0) << forwarded.err.constData();
    ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(30000));
    EXPECT_EQ(window.exitCode(), 0);
    QFile log(dir.filePath(QStringLiteral("Events.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Recording without a catalogue row, kept: wav/1_20261208_100001.wav\r\n"));
    // The list the window's program added is kept after its close.
    const Finished again = run("orlamo-cli", {QStringLiteral("--workdir"), dir.path(), QStringLiteral("list"),
                                              QStringLiteral("add"), QStringLiteral("Work")});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.contains("Work")) << again.err.constData();

    // Another program holds the catalogue: the window's program says who, and ends.
    CatalogueLock lock(dir.path());
    ASSERT_TRUE(lock.tryLock());
    const Finished second = run("orlamo", {QStringLiteral("--unattended"), QStringLiteral("--workdir"), dir.path()});
    EXPECT_EQ(second.code, 1);
    EXPECT_TRUE(second.err.contains(QStringLiteral("orlamo: The catalogue in %1 is in use by %2 (process %3)")
                                        .arg(dir.path(), QFileInfo(QCoreApplication::applicationFilePath()).fileName())
                                        .arg(QCoreApplication::applicationPid())
                                        .toUtf8()))
        << second.err.constData();
}
