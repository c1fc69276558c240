// Saves that fail half-way (a full disk, a killed program): the recording is kept whole.
#include "postproc/PostProcessingSession.h"

#include "audio/drivers/GsmDriver.h"
#include "postproc/RecordingFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

/// The recordings folder on a tmpfs of 64 KiB; needs the right to mount.
struct FailedSave : ::testing::Test {
    QTemporaryDir dir;
    QString mountPoint;
    ScriptedPrompter prompter;

    bool mountTinyDisk(QString& why) {
        const QString wav = dir.filePath(QStringLiteral("wav"));
        QDir().mkpath(wav);
        if (geteuid() != 0) {
            why = QStringLiteral("mounting a tmpfs needs root");
            return false;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=64k"), QStringLiteral("tmpfs"), wav});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0) {
            why = QStringLiteral("mount refused: ") + QString::fromLocal8Bit(mount.readAllStandardError());
            return false;
        }
        mountPoint = wav;
        return true;
    }
    void TearDown() override {
        if (!mountPoint.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {mountPoint});
    }
};

} // namespace

TEST_F(FailedSave, TheRecordingStaysWholeWhenTheDiskFillsUp) {
    QString why;
    if (!mountTinyDisk(why))
        GTEST_SKIP() << why.toStdString();
    // 2.5 s of 16-bit sound fill 40 KB of the 64: its re-encoded copy cannot fit beside it. The save
    // fails, says so, and leaves neither a changed recording nor a partial file.
    const QString recording = QDir(mountPoint).filePath(QStringLiteral("1_20240101_120000.wav"));
    ASSERT_TRUE(recordings::writeWav(recording, WaveFormat::pcm(8000, 16, 1), recordings::speech(3).left(40000)));
    const QByteArray original = readAll(recording);
    ASSERT_EQ(original.size(), 44 + 40000);

    PostProcessingSession session(prompter, dir.filePath(QStringLiteral("temp.wav")));
    ASSERT_TRUE(session.open(recording));
    session.applyGain(30);
    EXPECT_FALSE(session.save());
    EXPECT_EQ(readAll(recording), original);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("1_20240101_120000.wav")}));

    // Once there is room the same work file saves.
    QFile::remove(recording);
    ASSERT_TRUE(session.save());
    EXPECT_EQ(readAll(recording).size(), 44 + 40000);
}

TEST(InterruptedSave, ASaveKilledHalfWayLeavesTheRecordingWhole) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("wav"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString recording = QDir(folder).filePath(QStringLiteral("call.wav"));
    ASSERT_TRUE(recordings::writeRecording(recording, GsmDriver::gsmFormat(8000), 180));
    const QByteArray original = readAll(recording);

    // The moment the save starts writing (a new file beside the recording, or the recording itself
    // changing), the program is killed.
    QFileSystemWatcher watcher({folder, recording});
    bool writing = false;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { writing = true; });
    QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, [&] { writing = true; });
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), dir.path()); // its work file goes away with the test's folder
    cli.setProcessEnvironment(environment);
    cli.start(environment.value(QStringLiteral("ORLAMO_BIN_DIR")) + QStringLiteral("/orlamo-cli"),
              {QStringLiteral("--workdir"), dir.path(), QStringLiteral("level"), recording, QStringLiteral("--percent"),
               QStringLiteral("40")});
    ASSERT_TRUE(cli.waitForStarted(20000));
    ASSERT_TRUE(waitUntil([&] { return writing || cli.state() == QProcess::NotRunning; }, 120000));
    cli.kill();
    cli.waitForFinished(20000);
    ASSERT_TRUE(writing) << "orlamo-cli ended before it wrote anything: " << cli.readAllStandardError().toStdString();
    EXPECT_EQ(readAll(recording), original);
}
