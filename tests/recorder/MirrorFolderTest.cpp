// The mirror folder: a working folder that opens after a call, and a share that is away for a while.
#include "recorder/LineSound.h"
#include "recorder/RecordingTestBase.h"

#include "library/TableFile.h"
#include "program/RecordingMirror.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <atomic>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

struct MirrorFolder : RecordingTestBase {
    QString mirror = dir.filePath(QStringLiteral("share/mirror"));
    QStringList passErrors;

    void startWithMirror() {
        configure(2);
        config->writeString(QStringLiteral("Params"), QStringLiteral("MirrorFolder"), mirror);
        createCore();
        core->mirror().setDelay(0);
        core->mirror().setRetryInterval(100);
        QObject::connect(&core->mirror(), &RecordingMirror::passFinished,
                         [this](const QString& error) { passErrors.append(error); });
    }
    void call(const QString& caller) {
        const QString noise = dir.filePath(QStringLiteral("noise.wav"));
        ASSERT_FALSE(writeLineNoise(noise, 2).isEmpty());
        sim.command(QStringLiteral("call rings=2 interval=700 cid=%1 audio=%2 talk=2 end=silence endfor=30")
                        .arg(caller, noise));
    }
    /// Waits until the passes asked for so far have run and the last one succeeded.
    bool mirrored() {
        return waitUntil(
            [&] { return !core->mirror().busy() && !passErrors.isEmpty() && passErrors.last().isEmpty(); });
    }
};

} // namespace

TEST_F(MirrorFolder, AfterACallTheMirrorOpensWithTheRowAndItsFile) {
    startWithMirror();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    call(QStringLiteral("5551234"));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000))
        << core->logger().lines().join('\n').toStdString();
    ASSERT_TRUE(mirrored()) << passErrors.join('\n').toStdString();

    ScriptedPrompter quiet;
    Catalogue copy(mirror, quiet);
    copy.openCatalogue();
    ASSERT_EQ(copy.recordings().recordCount(), 1);
    copy.recordings().first();
    EXPECT_EQ(copy.recordings().fieldText(QStringLiteral("Comment")), QStringLiteral("5551234"));
    const QString name = copy.recordingBaseName();
    EXPECT_EQ(name, catalogued.first().at(0).toString());
    EXPECT_EQ(bytesOf(copy.wavPath(name)), bytesOf(core->catalogue().wavPath(name)));
    EXPECT_TRUE(copy.filesWithoutRow().isEmpty());
    for (const QString& file : {QStringLiteral("Recordings.d"), QStringLiteral("Folders.d"), QStringLiteral("tvk.ini")})
        EXPECT_EQ(bytesOf(QDir(mirror).filePath(file)), bytesOf(dir.filePath(file))) << file.toStdString();
    EXPECT_TRUE(quiet.shown.isEmpty()) << quiet.shown.join('\n').toStdString();
}

TEST_F(MirrorFolder, AnUnreachableMirrorIsRetriedWithoutHoldingUpTheRecorder) {
    // The share is not mounted: where its folder should be, there is a file.
    writeFile(dir.filePath(QStringLiteral("share")), "not a folder");
    startWithMirror();
    ASSERT_TRUE(waitUntil([&] { return passErrors.size() >= 2; })) << passErrors.join('\n').toStdString();
    EXPECT_FALSE(passErrors.first().isEmpty());
    const QStringList log = core->logger().lines();
    EXPECT_EQ(log.filter(QStringLiteral("not updated, trying again later")).size(), 1) << log.join('\n').toStdString();

    // A pass that hangs (a share that does not answer) while a call comes in: the call is recorded
    // and catalogued all the same.
    QSemaphore release;
    std::atomic<bool> held = false;
    core->mirror().setPassHook([&] {
        held = true;
        release.tryAcquire(1, 60000); // never for ever, should the pass run on the test's own thread
    });
    ASSERT_TRUE(waitUntil([&] { return held.load(); }));
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    call(QStringLiteral("5550000"));
    const bool recorded = waitUntil([&] { return !catalogued.isEmpty(); }, 60000);
    EXPECT_TRUE(core->mirror().busy());
    core->mirror().setPassHook({});
    release.release(100);
    ASSERT_TRUE(recorded) << core->logger().lines().join('\n').toStdString();

    // The share is back: the next retry brings the mirror up to date, the call included.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("share"))));
    ASSERT_TRUE(mirrored()) << passErrors.join('\n').toStdString();
    EXPECT_EQ(bytesOf(QDir(mirror).filePath(QStringLiteral("wav/") + catalogued.first().at(0).toString() +
                                            QStringLiteral(".wav"))),
              bytesOf(core->catalogue().wavPath(catalogued.first().at(0).toString())));
    EXPECT_EQ(core->logger().lines().filter(QStringLiteral("is up to date again")).size(), 1);
}
