// The free-space floor: said once when the disk runs low and once when it is back, and a call that
// reaches it ends as on a full disk, with what was received catalogued.
#include "recorder/RecordingTestBase.h"

#include "library/TableFile.h"
#include "program/RecordingKeeping.h"
#include "recorder/DiskSpaceWatch.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <atomic>

namespace {

constexpr qint64 kGigabyte = 1024 * DiskSpaceWatch::kMegabyte;

struct DiskFloorRecording : RecordingTestBase {};

} // namespace

TEST(DiskSpaceWatchTest, LowSpaceIsSaidOnceAndAgainWhenBack) {
    qint64 free = 2 * kGigabyte;
    DiskSpaceWatch watch(QStringLiteral("/"));
    watch.setFreeBytesSource([&free](const QString&) { return free; });
    watch.setBytesPerSecond(8000);
    EXPECT_EQ(watch.floorBytes(), DiskSpaceWatch::kMinimumFloor);
    watch.setBytesPerSecond(176400); // an hour of CD sound is more than 500 MB
    EXPECT_EQ(watch.floorBytes(), 3600 * 176400);
    watch.setFloorMegabytes(100);
    EXPECT_EQ(watch.floorBytes(), 100 * DiskSpaceWatch::kMegabyte);
    watch.setBytesPerSecond(8000);
    watch.setFloorMegabytes(0);

    QSignalSpy changes(&watch, &DiskSpaceWatch::lowChanged);
    QSignalSpy floor(&watch, &DiskSpaceWatch::floorReached);
    for (const qint64 bytes : {2 * kGigabyte, 400 * DiskSpaceWatch::kMegabyte, 300 * DiskSpaceWatch::kMegabyte,
                               3 * kGigabyte, 4 * kGigabyte, qint64(-1)}) {
        free = bytes;
        watch.check();
    }
    ASSERT_EQ(changes.size(), 2);
    EXPECT_TRUE(changes.at(0).at(0).toBool());
    EXPECT_TRUE(changes.at(0).at(1).toString().startsWith(QStringLiteral("Disk space low: 400 MB free")));
    EXPECT_FALSE(changes.at(1).at(0).toBool());
    EXPECT_EQ(changes.at(1).at(1).toString(), QStringLiteral("Disk space is back: 3.0 GB free"));
    EXPECT_EQ(floor.size(), 2);
    // An unknown free space is neither low nor a number of hours.
    EXPECT_EQ(watch.summary(), QStringLiteral("Free space unknown"));
    free = 500 * DiskSpaceWatch::kMegabyte + 8000 * 3600 * 2;
    watch.check();
    EXPECT_EQ(watch.summary(), QStringLiteral("2.0 hours of recording left (554 MB free)"));
}

TEST_F(DiskFloorRecording, TheFloorEndsACallAndCataloguesWhatWasReceived) {
    configure(10);
    std::atomic<qint64> free = 50 * kGigabyte;
    core->setFreeBytesSource([&free](const QString&) { return free.load(); });
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    recorder().startRecording();
    ASSERT_TRUE(recorder().receiving()) << prompter.shown.join('\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 8000; }, 30000));

    free = 100 * DiskSpaceWatch::kMegabyte;
    core->keeping().diskSpace().check();
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 30000))
        << core->logger().lines().join('\n').toStdString();
    EXPECT_FALSE(recorder().recording());
    EXPECT_EQ(core->logger().lines().filter(QStringLiteral("Disk space low")).size(), 1);
    EXPECT_TRUE(core->logger().lines().contains(QStringLiteral("The recording file can not be written")));
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_TRUE(prompter.shown.last().contains(QStringLiteral("disk"))) << prompter.shown.last().toStdString();
    TableFile& calls = core->catalogue().recordings();
    ASSERT_EQ(calls.recordCount(), 1);
    EXPECT_GT(QFileInfo(core->catalogue().wavPath(catalogued.first().at(0).toString())).size(), 8000);
    EXPECT_TRUE(modem().portOpen());
}
