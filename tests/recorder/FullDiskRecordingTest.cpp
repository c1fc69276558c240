// A disk that fills up during a recording: the recording ends, keeps what was written, and says why.
#include "recorder/RecordingTestBase.h"

#include "audio/WavReader.h"
#include "library/TableFile.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtEndian>
#include <unistd.h>

namespace {

/// The recordings folder on a tmpfs of a few pages; needs the right to mount.
struct FullDiskRecording : RecordingTestBase {
    QString mountPoint;

    bool mountTinyDisk(QString& why) {
        mountPoint = dir.filePath(QStringLiteral("wav"));
        QDir().mkpath(mountPoint);
        if (geteuid() != 0) {
            why = QStringLiteral("mounting a tmpfs needs root");
            return false;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=48k"), QStringLiteral("tmpfs"), mountPoint});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0) {
            why = QStringLiteral("mount refused: ") + QString::fromLocal8Bit(mount.readAllStandardError());
            mountPoint.clear();
            return false;
        }
        return true;
    }
    void TearDown() override {
        RecordingTestBase::TearDown();
        if (!mountPoint.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {mountPoint});
    }
};

} // namespace

TEST_F(FullDiskRecording, RecordingEndsKeepsWhatWasWrittenAndNamesTheDisk) {
    configure(10);
    QString why;
    if (!mountTinyDisk(why))
        GTEST_SKIP() << why.toStdString();
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    recorder().startRecording();
    ASSERT_TRUE(recorder().receiving()) << prompter.shown.join('\n').toStdString();
    // 48 KiB hold six seconds of 8 kHz 8-bit sound; a manual recording is not ended by the silent line.
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 30000))
        << core->logger().lines().join('\n').toStdString();
    EXPECT_FALSE(recorder().recording());
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_TRUE(prompter.shown[0].contains(QStringLiteral("disk"))) << prompter.shown[0].toStdString();
    EXPECT_TRUE(core->logger().lines().contains(QStringLiteral("The recording file can not be written")));

    // The file has its final name and says how much sound it holds: all of what is behind the header.
    const QString baseName = catalogued.first().at(0).toString();
    QFile file(core->catalogue().wavPath(baseName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(48);
    file.seek(0);
    // The sizes are patched in place; nothing held back from the full disk may land over the header.
    ASSERT_TRUE(head.startsWith("RIFF") && head.mid(8, 8) == "WAVEfmt ")
        << file.size() << " " << head.toHex().toStdString() << "\n"
        << core->logger().lines().join('\n').toStdString();
    WavReader reader(file);
    const qint64 size = reader.itemSize(0);
    EXPECT_GT(size, 8000 * 2);
    EXPECT_EQ(size, file.size() - reader.dataPosition());
    TableFile& calls = core->catalogue().recordings();
    ASSERT_EQ(calls.recordCount(), 1);
    calls.first();
    EXPECT_EQ(calls.fieldText(QStringLiteral("Duration")),
              Catalogue::durationText(Catalogue::durationSeconds(size, 8000)));
    EXPECT_TRUE(modem().portOpen());
}
