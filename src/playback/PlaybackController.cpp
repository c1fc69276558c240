// Playback steps of the main window: what each action does to the player and to the controls.
#include "playback/PlaybackController.h"

#include "audio/AudioErrors.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "library/Catalogue.h"
#include "library/TableError.h"
#include "settings/SettingsModel.h"
#include "sound/MediaPlayer.h"
#include "sound/OutputDevices.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <exception>

namespace {

/// What a recording that does not decode shows, at the start or part-way.
const QString kConversionFailed = QStringLiteral("Error was created during pcm conversion");

int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

PlaybackController::PlaybackController(Logger& logger, Prompter& prompter, Catalogue& catalogue,
                                       const SettingsModel& settings, MediaPlayer& player, OutputDevices* devices,
                                       QObject* parent)
    : QObject(parent), m_logger(logger), m_prompter(prompter), m_catalogue(catalogue), m_settings(settings),
      m_player(player), m_devices(devices), m_external(prompter) {
    m_tick.setObjectName(QStringLiteral("Timer2"));
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &PlaybackController::tick);
    m_repeat.setObjectName(QStringLiteral("Timer1"));
    m_repeat.setInterval(kRepeatMs);
    connect(&m_repeat, &QTimer::timeout, this, &PlaybackController::repeatTick);
    connect(&m_player, &MediaPlayer::decodingFailed, this, &PlaybackController::decodingFailed);
}

qint64 PlaybackController::seekStep(qint64 lengthMs) {
    return lengthMs < 60 ? 1 : lengthMs / 60;
}

int PlaybackController::volumeValue(int position) {
    position = std::clamp(position, 0, kMaxVolumePosition);
    return position == 0 ? 0 : position * 4096 - 1;
}

QByteArray PlaybackController::traceBlock(const QByteArray& copy, qint64 position, int count) {
    QByteArray block(std::max(count, 0), kSilentSample);
    char last = kSilentSample;
    for (int i = 0; i < count; ++i) {
        const qint64 at = position + i;
        if (at >= 0 && at < copy.size())
            last = copy.at(at);
        block[i] = last;
    }
    return block;
}

bool PlaybackController::playbackActive() const {
    const MediaPlayer::Mode mode = m_player.mode();
    return mode == MediaPlayer::Mode::Playing || mode == MediaPlayer::Mode::Paused || m_seek;
}

QString PlaybackController::playerError(const char* call) const {
    return QStringLiteral("\"Mplayer1.%1\" Error num %2. %3")
        .arg(QLatin1String(call))
        .arg(m_player.error())
        .arg(m_player.errorText());
}

void PlaybackController::play() {
    if (m_recording)
        return;
    if (!playbackActive() && !startPlayback())
        return;
    if (m_player.mode() == MediaPlayer::Mode::Paused || m_seek)
        resume();
    setPlayDown(true);
}

bool PlaybackController::startPlayback() {
    QString name;
    try {
        name = m_catalogue.recordingBaseName();
        m_catalogue.migrateLegacyFile();
        // The legacy file may have taken the name with the id: ask again after the move.
        name = m_catalogue.recordingBaseName();
    } catch (const TableError& error) {
        m_prompter.message(error.message(), Prompter::Icon::Error);
        return false;
    } catch (const std::exception& error) {
        // No recording selected, or a row that cannot be read: nothing to play, and nothing escapes.
        m_prompter.message(QString::fromUtf8(error.what()), Prompter::Icon::Error);
        return false;
    }
    m_catalogue.setCurrentFileName(name);
    const QString path = m_catalogue.wavPath(name);
    if (m_settings.extPlayer()) {
        m_logger.add(QStringLiteral("-- External MediaPlayer"));
        m_external.open(m_settings.player(), path);
        return false;
    }
    m_logger.add(QStringLiteral("-- Playback file"));
    m_seek = false;
    if (!QFile::exists(path)) {
        // The internal player names the file as the working folder holds it.
        const QString shown = QStringLiteral("wav/") + name + QStringLiteral(".wav");
        m_prompter.message(QLatin1Char('"') + shown + QStringLiteral("\" file does not exist"), Prompter::Icon::Error);
        return false;
    }
    if (!m_player.open(path)) {
        // A file the codecs cannot read fails where the decoding of the trace's copy would.
        if (m_player.error() == MediaPlayer::CannotDecode)
            m_prompter.message(kConversionFailed, Prompter::Icon::Error);
        else
            m_prompter.message(playerError("open"), Prompter::Icon::Error);
        return false;
    }
    if (!m_player.play()) {
        m_prompter.message(playerError("play"), Prompter::Icon::Error);
        m_player.close();
        return false;
    }
    m_tick.start();
    setPlayDown(true);
    Q_EMIT recordControlsEnabled(false);
    Q_EMIT seekControlsEnabled(false);
    Q_EMIT postProcessingEnabled(false);
    setActive(true);
    return true;
}

void PlaybackController::resume() {
    m_seek = false;
    if (!m_player.resume())
        m_prompter.message(playerError("play"), Prompter::Icon::Error);
    setPlayDown(true);
    setPauseDown(false);
    m_tick.start();
    Q_EMIT seekControlsEnabled(false);
}

void PlaybackController::pause() {
    const MediaPlayer::Mode mode = m_player.mode();
    if ((mode == MediaPlayer::Mode::Paused && !m_pauseDown) || m_seek)
        setPauseDown(true);
    if (mode != MediaPlayer::Mode::Playing)
        return;
    m_player.pause();
    setPauseDown(true);
    setPlayDown(false);
    m_tick.stop();
    Q_EMIT seekControlsEnabled(true);
}

void PlaybackController::rewind() {
    step(-1);
}

void PlaybackController::fastForward() {
    step(1);
}

void PlaybackController::step(int direction) {
    // Seeking is offered only while paused; a held button or a shortcut at any other time does nothing.
    if (m_player.mode() != MediaPlayer::Mode::Paused && !m_seek)
        return;
    m_seek = true;
    // The player refuses a position outside the recording; the position then stays where it was.
    m_player.seek(m_player.position() + direction * seekStep(m_player.length()));
    tick();
}

void PlaybackController::stopPlayback() {
    if (!playbackActive())
        return;
    m_logger.add(QStringLiteral("-- Playback stopped"));
    m_player.close();
    Q_EMIT seekControlsEnabled(false);
    setPlayDown(false);
    Q_EMIT recordControlsEnabled(true);
    setTrack(0);
    m_tick.stop();
    Q_EMIT postProcessingEnabled(true);
    m_seek = false;
    Q_EMIT clearDisplay();
    setPauseDown(false);
    setActive(false);
}

void PlaybackController::tick() {
    const MediaPlayer::Mode mode = m_player.mode();
    if (mode == MediaPlayer::Mode::Playing || m_seek) {
        const qint64 length = m_player.length();
        const float ratio =
            length < 1 ? 0.0f
                       : static_cast<float>(static_cast<double>(m_player.position()) / static_cast<double>(length));
        setTrack(roundEven(static_cast<double>(ratio) * 100));
        const qint64 at = static_cast<qint64>(std::nearbyint(static_cast<double>(m_player.decodedCopySize()) * ratio));
        const QByteArray block = traceBlock(m_player.decodedCopy(), at, m_settings.points());
        if (m_settings.playTrace())
            Q_EMIT displayBlock(block);
    }
    if ((mode == MediaPlayer::Mode::Stopped || mode == MediaPlayer::Mode::NotReady) && !m_seek && m_active)
        endPlayback();
}

void PlaybackController::endPlayback() {
    m_player.close();
    Q_EMIT seekControlsEnabled(false);
    setPlayDown(false);
    Q_EMIT recordControlsEnabled(true);
    Q_EMIT postProcessingEnabled(true);
    setTrack(0);
    m_tick.stop();
    m_seek = false;
    Q_EMIT clearDisplay();
    setPauseDown(false);
    setActive(false);
}

void PlaybackController::decodingFailed() {
    // A recording that cannot be decoded to its end is not played on into silence.
    if (!m_active)
        return;
    endPlayback();
    m_prompter.message(kConversionFailed, Prompter::Icon::Error);
}

void PlaybackController::setVolumePosition(int position) {
    m_volumePosition = std::clamp(position, 0, kMaxVolumePosition);
    const int index = m_devices ? m_devices->playbackIndex() : -1;
    if (index < 0)
        return;
    try {
        m_devices->setVolume(index, volumeValue(m_volumePosition));
    } catch (const AudioError& error) {
        m_prompter.message(error.text(), Prompter::Icon::Error);
    }
}

void PlaybackController::setRecording(bool recording) {
    m_recording = recording;
    if (recording)
        stopPlayback();
}

void PlaybackController::setRewindHeld(bool held) {
    m_rewindHeld = held;
    updateRepeat();
}

void PlaybackController::setFastForwardHeld(bool held) {
    m_fastForwardHeld = held;
    updateRepeat();
}

void PlaybackController::updateRepeat() {
    if (m_rewindHeld || m_fastForwardHeld)
        m_repeat.start();
    else
        m_repeat.stop();
}

void PlaybackController::repeatTick() {
    if (m_rewindHeld)
        rewind();
    if (m_fastForwardHeld)
        fastForward();
}

void PlaybackController::setPlayDown(bool down) {
    m_playDown = down;
    Q_EMIT playPressed(down);
}

void PlaybackController::setPauseDown(bool down) {
    m_pauseDown = down;
    Q_EMIT pausePressed(down);
}

void PlaybackController::setTrack(int percent) {
    m_track = percent;
    Q_EMIT positionChanged(percent);
}

void PlaybackController::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    Q_EMIT playbackActiveChanged(active);
}
