// The playback controller: what Play, Pause, Stop, Rewind and Fast forward do to the player and the
// controls, the tick and its trace block, the end of playback, the external player and the volume.
#include "playback/PlaybackController.h"
#include "FakeMediaPlayer.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "library/Catalogue.h"
#include "settings/SettingsModel.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

/// The state of the window's controls as the controller's signals leave them.
struct Controls {
    bool play = false, pause = false, seek = false, record = true, postProcessing = true, active = false;
    int track = -1, cleared = 0;
    QList<QByteArray> traces;

    explicit Controls(PlaybackController& c) {
        QObject::connect(&c, &PlaybackController::playPressed, [this](bool v) { play = v; });
        QObject::connect(&c, &PlaybackController::pausePressed, [this](bool v) { pause = v; });
        QObject::connect(&c, &PlaybackController::seekControlsEnabled, [this](bool v) { seek = v; });
        QObject::connect(&c, &PlaybackController::recordControlsEnabled, [this](bool v) { record = v; });
        QObject::connect(&c, &PlaybackController::postProcessingEnabled, [this](bool v) { postProcessing = v; });
        QObject::connect(&c, &PlaybackController::playbackActiveChanged, [this](bool v) { active = v; });
        QObject::connect(&c, &PlaybackController::positionChanged, [this](int v) { track = v; });
        QObject::connect(&c, &PlaybackController::clearDisplay, [this] { ++cleared; });
        QObject::connect(&c, &PlaybackController::displayBlock, [this](const QByteArray& b) { traces.append(b); });
    }
};

CatalogueDateFormat usFormat() {
    CatalogueDateFormat format(QLocale(QStringLiteral("en_US")));
    format.setReferenceYear(2026);
    return format;
}

class PlaybackControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir(QStringLiteral("wav"));
        catalogue.openCatalogue();
        RecordingEntry entry;
        entry.audioBytes = 240000;
        entry.avgBytesPerSec = 8000;
        entry.endTime = QDateTime(QDate(2026, 12, 8), QTime(13, 14, 53));
        name = catalogue.addRecordingEntry(entry);
        path = catalogue.wavPath(name);
        writeFile(path, "RIFF");
        settings.load();
        player.currentLength = 30000;
    }
    void startPlaying() {
        controller.play();
        ASSERT_EQ(player.currentMode, MediaPlayer::Mode::Playing);
        player.calls.clear();
    }
    void pauseAt(qint64 ms) {
        startPlaying();
        player.currentPosition = ms;
        controller.pause();
        player.calls.clear();
    }
    bool logged(const QString& line) const { return logger.lines().contains(line); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    Logger logger;
    Catalogue catalogue{dir.path(), prompter, usFormat()};
    Config config{dir.filePath(QStringLiteral("tvk.ini"))};
    SettingsModel settings{config, dir.path()};
    FakeMediaPlayer player;
    PlaybackController controller{logger, prompter, catalogue, settings, player, nullptr};
    Controls controls{controller};
    QString name;
    QString path;
};

} // namespace

TEST(PlaybackSteps, RewindAndFastForwardMoveASixtiethOfTheRecordingAtLeastOneMillisecond) {
    EXPECT_EQ(PlaybackController::seekStep(30000), 500);
    EXPECT_EQ(PlaybackController::seekStep(40), 1);
    EXPECT_EQ(PlaybackController::seekStep(59), 1);
    EXPECT_EQ(PlaybackController::seekStep(119), 1);
    EXPECT_EQ(PlaybackController::seekStep(120), 2);
    EXPECT_EQ(PlaybackController::seekStep(0), 1);
}

TEST(PlaybackSteps, TheVolumeSliderMapsToTheDeviceVolume) {
    EXPECT_EQ(PlaybackController::volumeValue(16), 65535);
    EXPECT_EQ(PlaybackController::volumeValue(1), 4095);
    EXPECT_EQ(PlaybackController::volumeValue(4), 16383);
    EXPECT_EQ(PlaybackController::volumeValue(0), 0);
}

TEST(PlaybackSteps, ATraceBlockRepeatsItsLastSamplePastTheEndOfTheCopy) {
    const QByteArray copy("\x10\x20\x30\x40", 4);
    EXPECT_EQ(PlaybackController::traceBlock(copy, 1, 3), QByteArray("\x20\x30\x40", 3));
    EXPECT_EQ(PlaybackController::traceBlock(copy, 2, 5), QByteArray("\x30\x40\x40\x40\x40", 5));
    EXPECT_EQ(PlaybackController::traceBlock(copy, 9, 3), QByteArray(3, '\x7f')) << "nothing read: the mid level";
}

TEST_F(PlaybackControllerTest, PlayOpensTheSelectedRecordingAndLocksWhatMustNotRunMeanwhile) {
    controller.play();
    EXPECT_EQ(player.calls, (QStringList{QStringLiteral("Open ") + path, QStringLiteral("Play")}));
    EXPECT_TRUE(logged(QStringLiteral("-- Playback file")));
    EXPECT_EQ(catalogue.currentFileName(), name);
    EXPECT_TRUE(controls.play);
    EXPECT_FALSE(controls.record);
    EXPECT_FALSE(controls.seek);
    EXPECT_FALSE(controls.postProcessing);
    EXPECT_TRUE(controls.active);
    EXPECT_TRUE(controller.tickTimer().isActive());
    EXPECT_EQ(controller.tickTimer().objectName(), QStringLiteral("Timer2"));
    EXPECT_TRUE(prompter.shown.isEmpty());

    player.calls.clear();
    controller.play(); // already playing: only the button stays down
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_TRUE(controls.play);
}

TEST_F(PlaybackControllerTest, ARecordingStillUnderItsLegacyNameIsMovedAndPlayedUnderItsOwn) {
    QFile::remove(path);
    const QString id = catalogue.recordings().fieldText(QStringLiteral("id"));
    writeFile(catalogue.wavPath(id), "RIFF");
    controller.play();
    EXPECT_EQ(player.calls.value(0), QStringLiteral("Open ") + path);
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(PlaybackControllerTest, WithNoRecordingSelectedPlaySaysSoAndOpensNothing) {
    catalogue.recordings().deleteRecord();
    controller.play();
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_FALSE(controls.play);
}

TEST_F(PlaybackControllerTest, AMissingFileOrAFailingPlayerIsReportedAndNothingChanges) {
    QFile::remove(path);
    controller.play();
    EXPECT_EQ(prompter.shown.value(0), QStringLiteral("\"wav/") + name + QStringLiteral(".wav\" file does not exist"));
    EXPECT_TRUE(player.calls.isEmpty());

    writeFile(path, "RIFF");
    player.failOpen = MediaPlayer::CannotDecode;
    controller.play();
    EXPECT_EQ(prompter.shown.value(1), QStringLiteral("Error was created during pcm conversion"));

    player.failOpen = MediaPlayer::FileNotFound;
    controller.play();
    EXPECT_EQ(prompter.shown.value(2), QStringLiteral("\"Mplayer1.open\" Error num 1. scripted failure"));

    player.failOpen = MediaPlayer::NoError;
    player.failPlay = MediaPlayer::OutputFailed;
    controller.play();
    EXPECT_EQ(prompter.shown.value(3), QStringLiteral("\"Mplayer1.play\" Error num 6. scripted failure"));
    EXPECT_EQ(player.calls.last(), QStringLiteral("Close"));
    EXPECT_FALSE(controls.play);
    EXPECT_TRUE(controls.record);
    EXPECT_FALSE(controller.tickTimer().isActive());
    EXPECT_FALSE(controller.playbackActive());
}

TEST_F(PlaybackControllerTest, PauseStopsTheTickAndOffersSeeking) {
    startPlaying();
    controller.pause();
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Pause")});
    EXPECT_TRUE(controls.pause);
    EXPECT_FALSE(controls.play);
    EXPECT_TRUE(controls.seek);
    EXPECT_FALSE(controller.tickTimer().isActive());

    player.calls.clear();
    controller.play();
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Resume")});
    EXPECT_TRUE(controls.play);
    EXPECT_FALSE(controls.pause);
    EXPECT_FALSE(controls.seek);
    EXPECT_TRUE(controller.tickTimer().isActive());
}

TEST_F(PlaybackControllerTest, RewindAndFastForwardStepWhilePausedAndTheTraceFollows) {
    player.copy = QByteArray(240000, '\x33');
    pauseAt(10000);
    controller.rewind();
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Seek 9500")});
    EXPECT_TRUE(controller.seekFlag());
    EXPECT_EQ(controls.track, 32) << "9500 of 30000 ms";
    EXPECT_EQ(controls.traces.size(), 1);
    controller.fastForward();
    controller.fastForward();
    EXPECT_EQ(player.calls.last(), QStringLiteral("Seek 10500"));
    EXPECT_EQ(controls.cleared, 0) << "a moved, stopped player is not the end of playback";

    // Play goes on from the new position.
    player.calls.clear();
    controller.play();
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Resume")});
    EXPECT_FALSE(controller.seekFlag());
    EXPECT_TRUE(controls.play);
}

TEST_F(PlaybackControllerTest, AStepPastEitherEndIsRefusedByThePlayerAndNothingMoves) {
    player.currentLength = 40;
    pauseAt(0);
    controller.rewind();
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Seek -1")});
    EXPECT_EQ(player.currentPosition, 0);
    controller.fastForward();
    EXPECT_EQ(player.calls.last(), QStringLiteral("Seek 1"));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(PlaybackControllerTest, SeekingIsOfferedOnlyWhilePaused) {
    controller.fastForward();
    startPlaying();
    controller.rewind();
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_FALSE(controller.seekFlag());
}

TEST_F(PlaybackControllerTest, AHeldButtonRepeatsItsStep) {
    pauseAt(20000);
    controller.setRewindHeld(true);
    EXPECT_EQ(controller.repeatTimer().objectName(), QStringLiteral("Timer1"));
    ASSERT_TRUE(waitUntil([this] { return player.calls.size() >= 2; }));
    EXPECT_EQ(player.calls.mid(0, 2), (QStringList{QStringLiteral("Seek 19500"), QStringLiteral("Seek 19000")}));
    controller.setRewindHeld(false);
    EXPECT_FALSE(controller.repeatTimer().isActive());
    controller.setFastForwardHeld(true);
    const qsizetype before = player.calls.size();
    ASSERT_TRUE(waitUntil([&] { return player.calls.size() > before; }));
    EXPECT_TRUE(player.calls.last().startsWith(QStringLiteral("Seek ")));
    controller.setFastForwardHeld(false);
}

TEST_F(PlaybackControllerTest, TheTickMovesThePositionAndDrawsTheCopyAtThePlayedRatio) {
    QByteArray copy(8000, '\0');
    for (int i = 0; i < copy.size(); ++i)
        copy[i] = static_cast<char>(i % 251);
    player.copy = copy;
    player.copySize = 16000; // still being decoded: the scale is the size it will have
    player.currentLength = 1000;
    startPlaying();
    player.currentPosition = 250;
    controller.tick();
    EXPECT_EQ(controls.track, 25);
    ASSERT_EQ(controls.traces.size(), 1);
    EXPECT_EQ(controls.traces[0], copy.mid(4000, 1800)) << "1800 points from 16000 x 0.25";

    settings.setPointsIndex(0);
    player.currentPosition = 495;
    controller.tick();
    EXPECT_EQ(controls.track, 50) << "49.5 rounds to the even 50";
    EXPECT_EQ(controls.traces[1].size(), 1200);
    EXPECT_EQ(controls.traces[1].left(80), copy.mid(7920, 80));
    EXPECT_EQ(controls.traces[1].mid(80), QByteArray(1120, copy.at(7999))) << "past the copy, its last sample";

    settings.setPlayTrace(false);
    controller.tick();
    EXPECT_EQ(controls.traces.size(), 2) << "no trace while playing when switched off";
}

TEST_F(PlaybackControllerTest, TheEndOfPlaybackResetsTheControlsAndClearsTheTrace) {
    startPlaying();
    player.currentMode = MediaPlayer::Mode::Stopped; // the player reached the end
    controller.tick();
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Close")});
    EXPECT_FALSE(controls.play);
    EXPECT_FALSE(controls.pause);
    EXPECT_FALSE(controls.seek);
    EXPECT_TRUE(controls.record);
    EXPECT_TRUE(controls.postProcessing);
    EXPECT_EQ(controls.track, 0);
    EXPECT_EQ(controls.cleared, 1);
    EXPECT_FALSE(controls.active);
    EXPECT_FALSE(controller.tickTimer().isActive());
    EXPECT_FALSE(logged(QStringLiteral("-- Playback stopped")));
}

TEST_F(PlaybackControllerTest, ARecordingThatFailsToDecodeMidPlayEndsWithTheConversionMessage) {
    startPlaying();
    Q_EMIT player.decodingFailed();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error was created during pcm conversion")});
    EXPECT_EQ(player.calls.last(), QStringLiteral("Close"));
    EXPECT_FALSE(controls.play);
    EXPECT_FALSE(controls.active);
    EXPECT_FALSE(controller.tickTimer().isActive());
    // A failure reported after playback ended says nothing more.
    Q_EMIT player.decodingFailed();
    EXPECT_EQ(prompter.shown.size(), 1);
}

TEST_F(PlaybackControllerTest, StopEndsPlaybackOrPauseAndDoesNothingOtherwise) {
    controller.stopPlayback();
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_FALSE(logged(QStringLiteral("-- Playback stopped")));

    pauseAt(1000);
    controller.stopPlayback();
    EXPECT_TRUE(logged(QStringLiteral("-- Playback stopped")));
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Close")});
    EXPECT_FALSE(controls.pause);
    EXPECT_FALSE(controls.seek);
    EXPECT_TRUE(controls.record);
    EXPECT_TRUE(controls.postProcessing);
    EXPECT_EQ(controls.track, 0);
    EXPECT_EQ(controls.cleared, 1);
    EXPECT_FALSE(controller.playbackActive());
}

TEST_F(PlaybackControllerTest, RecordingAndPlaybackExcludeEachOther) {
    startPlaying();
    controller.setRecording(true);
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("Close")}) << "a call being recorded stops the playback";
    EXPECT_FALSE(controller.playbackActive());
    player.calls.clear();
    controller.play();
    EXPECT_TRUE(player.calls.isEmpty()) << "no playback during a recording";
    controller.setRecording(false);
    controller.play();
    EXPECT_EQ(player.calls.value(1), QStringLiteral("Play"));
}

TEST_F(PlaybackControllerTest, TheExternalPlayerGetsTheFileAndIsNotFollowed) {
    settings.setExtPlayer(true);
    settings.setPlayer(QStringLiteral("some-player"));
    QStringList started;
    controller.externalPlayer().setLauncher([&](const QString& program, const QString& file) {
        started << program << file;
        return true;
    });
    controller.play();
    EXPECT_EQ(started, (QStringList{QStringLiteral("some-player"), path}));
    EXPECT_TRUE(logged(QStringLiteral("-- External MediaPlayer")));
    EXPECT_TRUE(player.calls.isEmpty());
    EXPECT_FALSE(controls.play);

    QFile::remove(path);
    controller.play();
    EXPECT_EQ(prompter.shown.value(0), QLatin1Char('"') + path + QStringLiteral("\" file does not exist"));

    writeFile(path, "RIFF");
    settings.setPlayer(QString(256, QLatin1Char('p')));
    controller.play();
    EXPECT_EQ(started.size(), 2) << "a command longer than 255 characters is refused";
    EXPECT_EQ(prompter.shown.size(), 2);

    settings.setPlayer(QStringLiteral("no-such-player"));
    controller.externalPlayer().setLauncher([](const QString&, const QString&) { return false; });
    controller.play();
    EXPECT_EQ(prompter.shown.size(), 3) << "a program that cannot be started is reported";
}
