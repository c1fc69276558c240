// The main window's playback without the window: Play, Pause, Stop, Rewind, Fast forward, the tick, the volume.
#pragma once

#include "playback/ExternalPlayer.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class Catalogue;
class Logger;
class MediaPlayer;
class OutputDevices;
class Prompter;
class SettingsModel;

/// Plays the selected recording of the catalogue with the player (or the external player) and tells
/// the window which controls to press, enable and disable, where the position indicator stands and
/// what the trace shows. It owns the playback tick (100 ms, running while playing) and the repeat timer
/// (100 ms, running while Rewind or Fast forward is held down).
///
/// Wiring: the window's actions call the slots; its buttons follow the signals. Record controls are
/// enabled only when `recordControlsEnabled` says so *and* the program allows recording.
class PlaybackController : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 100;
    static constexpr int kRepeatMs = 100;
    static constexpr int kMaxVolumePosition = 16;
    /// A trace sample drawn where the decoded copy has no sample to repeat: the mid level (silence).
    static constexpr char kSilentSample = 127;

    PlaybackController(Logger& logger, Prompter& prompter, Catalogue& catalogue, const SettingsModel& settings,
                       MediaPlayer& player, OutputDevices* devices, QObject* parent = nullptr);

    /// One Rewind or Fast forward step: a sixtieth of the recording, at least 1 ms.
    static qint64 seekStep(qint64 lengthMs);
    /// The device volume of a slider position: p * 4096 - 1 (4095 to 65535), 0 at 0.
    static int volumeValue(int position);
    /// `count` samples of the decoded copy from `position`; past its end the last sample read repeats.
    static QByteArray traceBlock(const QByteArray& copy, qint64 position, int count);

    /// Playing, paused, or moved by Rewind or Fast forward.
    bool playbackActive() const;
    bool seekFlag() const { return m_seek; }
    bool playDown() const { return m_playDown; }
    bool pauseDown() const { return m_pauseDown; }
    /// `TrackBar1`, 0 to 100.
    int trackPosition() const { return m_track; }
    int volumePosition() const { return m_volumePosition; }
    QTimer& tickTimer() { return m_tick; }
    QTimer& repeatTimer() { return m_repeat; }
    ExternalPlayer& externalPlayer() { return m_external; }

public Q_SLOTS:
    /// `play`: starts the selected recording, or resumes a paused or moved one.
    void play();
    /// `pause`.
    void pause();
    /// The playback half of `stopAction`; nothing happens when nothing plays.
    void stopPlayback();
    /// `rewind` and `fastForward`: one step back or forward while paused.
    void rewind();
    void fastForward();
    /// The left mouse button went down (true) or up (false) on `PrevSb1` / `NextSb1`.
    void setRewindHeld(bool held);
    void setFastForwardHeld(bool held);
    /// `TrackBar2` moved (0 to 16); also called once at start with the restored position.
    void setVolumePosition(int position);
    /// A recording started or ended. Playback stops when one starts, and Play is refused during one.
    void setRecording(bool recording);
    /// The playback tick, also run after every Rewind and Fast forward.
    void tick();

Q_SIGNALS:
    /// `Playsb1` pressed (true) or released.
    void playPressed(bool down);
    /// `PauseSb1` pressed or released.
    void pausePressed(bool down);
    /// `PrevSb1`, `NextSb1`, `Previous1`, `Next1`: offered only while paused.
    void seekControlsEnabled(bool enabled);
    /// `RecSb1`, the Record menu item and `TrayRecord`.
    void recordControlsEnabled(bool enabled);
    /// `mnLevel` and `mnEqualizer`.
    void postProcessingEnabled(bool enabled);
    /// `TrackBar1`, 0 to 100.
    void positionChanged(int percent);
    /// A block of the decoded copy for the trace, and the trace's clearing.
    void displayBlock(const QByteArray& block);
    void clearDisplay();
    /// Playing or paused began (true) or ended.
    void playbackActiveChanged(bool active);

private:
    bool startPlayback();
    void resume();
    void step(int direction);
    void endPlayback();
    /// The player could not decode the recording to its end: playback ends with the conversion's message.
    void decodingFailed();
    void setPlayDown(bool down);
    void setPauseDown(bool down);
    void setTrack(int percent);
    void setActive(bool active);
    void repeatTick();
    void updateRepeat();
    QString playerError(const char* call) const;

    Logger& m_logger;
    Prompter& m_prompter;
    Catalogue& m_catalogue;
    const SettingsModel& m_settings;
    MediaPlayer& m_player;
    OutputDevices* m_devices;
    ExternalPlayer m_external;

    QTimer m_tick;
    QTimer m_repeat;
    bool m_seek = false;
    bool m_playDown = false;
    bool m_pauseDown = false;
    bool m_active = false;
    bool m_recording = false;
    bool m_rewindHeld = false;
    bool m_fastForwardHeld = false;
    int m_track = 0;
    int m_volumePosition = 8;
};
