// The disk floor wired to the recorder and the event log; retention at start and once a day.
#include "program/RecordingKeeping.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "library/Catalogue.h"
#include "library/RetentionSweep.h"
#include "playback/PlaybackController.h"
#include "recorder/VoiceRecorder.h"
#include "settings/SettingsModel.h"

#include <QDateTime>

RecordingKeeping::RecordingKeeping(Logger& logger, Config& config, const SettingsModel& settings, Catalogue& catalogue,
                                   VoiceRecorder& recorder, PlaybackController& playback, const QString& workDir,
                                   const DiskSpaceWatch::FreeBytes& freeBytes, QObject* parent)
    : QObject(parent), m_logger(logger), m_config(config), m_settings(settings), m_catalogue(catalogue),
      m_recorder(recorder), m_playback(playback), m_disk(workDir) {
    if (freeBytes)
        m_disk.setFreeBytesSource(freeBytes);
    applySettings();
    connect(&m_settings, &SettingsModel::changed, this, &RecordingKeeping::applySettings);
    connect(&m_disk, &DiskSpaceWatch::lowChanged, this,
            [this](bool, const QString& message) { m_logger.add(message); });
    connect(&m_disk, &DiskSpaceWatch::floorReached, this,
            [this] { m_recorder.endAtDiskFloor(QStringLiteral("The disk reached the floor of free space")); });
    // A recording writes fast: the floor is looked at again as soon as one starts.
    connect(&m_recorder, &VoiceRecorder::recordingChanged, &m_disk, [this](bool running) {
        if (running)
            m_disk.check();
    });
    m_daily.setInterval(kRetentionIntervalMs);
    connect(&m_daily, &QTimer::timeout, this, &RecordingKeeping::runRetention);
}

void RecordingKeeping::applySettings() {
    m_disk.setBytesPerSecond(m_settings.fileCompression().avgBytesPerSec());
    m_disk.setFloorMegabytes(m_settings.diskFloorMegabytes());
}

void RecordingKeeping::start() {
    m_disk.start();
    runRetention();
    m_daily.start();
}

QStringList RecordingKeeping::filesInUse() const {
    if (!m_playback.playbackActive() || m_catalogue.currentFileName().isEmpty())
        return {};
    return {m_catalogue.wavPath(m_catalogue.currentFileName())};
}

int RecordingKeeping::runRetention() {
    RetentionSweep sweep(m_catalogue, m_config, m_logger);
    return sweep.run(QDateTime::currentDateTime(), filesInUse());
}
