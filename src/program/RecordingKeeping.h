// What keeps the recorder running for years: the disk floor and the retention of recordings.
#pragma once

#include "recorder/DiskSpaceWatch.h"

#include <QObject>
#include <QTimer>

class Catalogue;
class Config;
class Logger;
class PlaybackController;
class SettingsModel;
class VoiceRecorder;

/// Created by Program once the recorder and the playback exist. Watches the working folder's free
/// space (said in the event log; a recording ends at the floor) and runs retention at start and
/// once a day. The front ends show `diskSpace()`'s signals.
class RecordingKeeping : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetentionIntervalMs = 24 * 60 * 60 * 1000;

    RecordingKeeping(Logger& logger, Config& config, const SettingsModel& settings, Catalogue& catalogue,
                     VoiceRecorder& recorder, PlaybackController& playback, const QString& workDir,
                     const DiskSpaceWatch::FreeBytes& freeBytes, QObject* parent = nullptr);

    DiskSpaceWatch& diskSpace() { return m_disk; }
    /// The first look at the disk and the first retention run, then the timers.
    void start();
    /// Retention now; returns the number of recordings deleted.
    int runRetention();
    /// The file being played, which retention leaves alone; empty when nothing plays.
    QStringList filesInUse() const;

private:
    void applySettings();

    Logger& m_logger;
    Config& m_config;
    const SettingsModel& m_settings;
    Catalogue& m_catalogue;
    VoiceRecorder& m_recorder;
    PlaybackController& m_playback;
    DiskSpaceWatch m_disk;
    QTimer m_daily;
};
