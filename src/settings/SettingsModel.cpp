// Load and save rules of the program settings.
#include "settings/SettingsModel.h"

#include "audio/AudioErrors.h"
#include "base/Config.h"
#include "settings/SerialLine.h"
#include "settings/StartupRegistration.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>

namespace {

const QString kParams = QStringLiteral("Params");
const QString kModem = QStringLiteral("Modem");
const QString kMonitor = QStringLiteral("Monitor");
const QString kFonts = QStringLiteral("Fonts");

constexpr int kPointsCount = 10; // 1200 to 3000 in steps of 200

constexpr int kTimeoutMin = 1, kTimeoutMax = 6;
constexpr int kDiscTimeMin = 1, kDiscTimeMax = 30;
constexpr int kRejectRingsMin = 2, kRejectRingsMax = 20;

int clampIndex(int index, int count, int fallback) {
    return (index >= 0 && index < count) ? index : fallback;
}

} // namespace

SettingsModel::SettingsModel(Config& config, QString workingFolder, StartupRegistration* registration, QObject* parent)
    : QObject(parent), m_config(config), m_workingFolder(std::move(workingFolder)), m_registration(registration) {}

QString SettingsModel::fileCompressionPath() const {
    return QDir(m_workingFolder).filePath(QStringLiteral("FileCompression.cpn"));
}

template <typename T> void SettingsModel::assign(T& member, const T& value) {
    if (member == value)
        return;
    member = value;
    Q_EMIT changed();
}

bool SettingsModel::readOrWriteBool(const QString& section, const QString& key, bool defaultValue) {
    if (m_config.valueExists(section, key))
        return m_config.readBool(section, key, defaultValue);
    m_config.writeBool(section, key, defaultValue);
    return defaultValue;
}

int SettingsModel::readOrWriteInteger(const QString& section, const QString& key, int defaultValue) {
    if (m_config.valueExists(section, key))
        return m_config.readInteger(section, key, defaultValue);
    m_config.writeInteger(section, key, defaultValue);
    return defaultValue;
}

void SettingsModel::load() {
    loadMonitor();
    loadAutoRecord();
    loadStartUp();
    loadCallerId();
    loadFileCompression();
    loadSerial();
    loadFont();
    Q_EMIT changed();
}

void SettingsModel::loadMonitor() {
    m_playTrace = readOrWriteBool(kMonitor, QStringLiteral("PlayTrace"), true);
    m_recordTrace = readOrWriteBool(kMonitor, QStringLiteral("RecordTrace"), true);
    m_pointsIndex = clampIndex(readOrWriteInteger(kMonitor, QStringLiteral("Points"), kDefaultPointsIndex),
                               kPointsCount, kDefaultPointsIndex);
    m_backColor = readOrWriteInteger(kMonitor, QStringLiteral("BackColor"), kDefaultBackColor);
    m_traceColor = readOrWriteInteger(kMonitor, QStringLiteral("TraceColor"), kDefaultTraceColor);
}

void SettingsModel::loadAutoRecord() {
    // Newer than the group: read where present, written by save() only, so older files stay as they are.
    m_recordOutgoing = m_config.readBool(kParams, QStringLiteral("RecordOutgoing"), false);
    if (m_config.valueExists(kParams, QStringLiteral("AutoRecord"))) {
        m_autoRecord = m_config.readBool(kParams, QStringLiteral("AutoRecord"), true);
        m_discTime = std::clamp(m_config.readInteger(kParams, QStringLiteral("DiscTime"), kDefaultDiscTime),
                                kDiscTimeMin, kDiscTimeMax);
        m_rejectCall = m_config.readBool(kParams, QStringLiteral("RejectCall"), true);
        m_rejectRings = std::clamp(m_config.readInteger(kParams, QStringLiteral("RejectRings"), kDefaultRejectRings),
                                   kRejectRingsMin, kRejectRingsMax);
        m_timeout = std::clamp(m_config.readInteger(kParams, QStringLiteral("Timeout"), kDefaultTimeout), kTimeoutMin,
                               kTimeoutMax);
        return;
    }
    m_config.writeBool(kParams, QStringLiteral("AutoRecord"), true);
    m_config.writeInteger(kParams, QStringLiteral("DiscTime"), kDefaultDiscTime);
    m_config.writeBool(kParams, QStringLiteral("RejectCall"), true);
    m_config.writeInteger(kParams, QStringLiteral("RejectRings"), kDefaultRejectRings);
    m_config.writeInteger(kParams, QStringLiteral("Timeout"), kDefaultTimeout);
    m_autoRecord = true;
    m_discTime = kDefaultDiscTime;
    m_rejectCall = true;
    m_rejectRings = kDefaultRejectRings;
    m_timeout = kDefaultTimeout;
}

void SettingsModel::loadStartUp() {
    // Values the file does not decide go back to their design values, so a reload discards edits.
    m_startUp = false;
    m_startToTray = false;
    if (!m_config.valueExists(kParams, QStringLiteral("StartUp"))) {
        m_config.writeBool(kParams, QStringLiteral("StartUp"), false);
        return;
    }
    m_startUp = m_config.readBool(kParams, QStringLiteral("StartUp"), false);
    if (m_startUp)
        m_startToTray = m_config.readBool(kParams, QStringLiteral("SystemTray"), false);
}

void SettingsModel::loadCallerId() {
    if (m_config.valueExists(kParams, QStringLiteral("CallerID"))) {
        m_callerId = m_config.readBool(kParams, QStringLiteral("CallerID"), true);
        return;
    }
    if (m_config.valueExists(kModem, QStringLiteral("ForCallerId")))
        m_callerId =
            m_config.readString(kModem, QStringLiteral("ForCallerId"), QString()).toUpper() != QLatin1String("NONE");
    else
        m_callerId = true;
    m_config.writeBool(kParams, QStringLiteral("CallerID"), m_callerId);
}

void SettingsModel::loadFileCompression() {
    const QString path = fileCompressionPath();
    WaveFormat format = WaveFormat::pcm(8000, 8, 1);
    if (QFile::exists(path)) {
        try {
            format.loadFormatFile(path);
            m_fileCompression = format;
            m_fileCompressionStored = true;
            return;
        } catch (const FileOpenError&) {
            // An unreadable file is left alone; recordings use the default until one is chosen.
            m_fileCompression = WaveFormat::pcm(8000, 8, 1);
            m_fileCompressionStored = false;
            return;
        }
    }
    m_fileCompression = format;
    try {
        format.saveFormatFile(path);
        m_fileCompressionStored = true;
    } catch (const FileOpenError&) {
        m_fileCompressionStored = false;
    }
}

void SettingsModel::loadSerial() {
    m_baudrateIndex = kDefaultBaudrateIndex;
    m_flowControlIndex = kDefaultFlowControlIndex;
    if (m_config.valueExists(kModem, QStringLiteral("baudrate")))
        m_baudrateIndex = clampIndex(m_config.readInteger(kModem, QStringLiteral("baudrate"), kDefaultBaudrateIndex),
                                     int(SerialLine::kSpeeds.size()), kDefaultBaudrateIndex);
    if (m_config.valueExists(kModem, QStringLiteral("FlowControl")))
        m_flowControlIndex =
            clampIndex(m_config.readInteger(kModem, QStringLiteral("FlowControl"), kDefaultFlowControlIndex),
                       SerialLine::kFlowControlCount, kDefaultFlowControlIndex);
}

void SettingsModel::loadFont() {
    m_fontName = m_config.readString(kFonts, QStringLiteral("FontName"), QStringLiteral("tahoma"));
    m_fontSize = m_config.readInteger(kFonts, QStringLiteral("FontSize"), 8);
    m_fontColor = m_config.readInteger(kFonts, QStringLiteral("FontColor"), 0);
    m_fontChosen = false;
}

void SettingsModel::loadMediaPlayer() {
    assign(m_extPlayer, m_config.readBool(kParams, QStringLiteral("ExtPlayer"), false));
    assign(m_player, m_config.readString(kParams, QStringLiteral("Player"), QStringLiteral("wmPlayer.exe")));
}

void SettingsModel::saveGains(int speakerLevel, int recordLevel) {
    if (m_config.readString(kModem, QStringLiteral("SpeakerVol"), QString()) != QLatin1String("none"))
        m_config.writeString(kModem, QStringLiteral("SpeakerVol"), QStringLiteral("at+vgt=%1").arg(speakerLevel));
    if (m_config.readString(kModem, QStringLiteral("RecGain"), QString()) != QLatin1String("none"))
        m_config.writeString(kModem, QStringLiteral("RecGain"), QStringLiteral("at+vgr=%1").arg(recordLevel));
}

void SettingsModel::saveCompressionChoice(int index, const QString& vsmCommand) {
    m_config.writeString(kModem, QStringLiteral("VoiceCompression"), vsmCommand);
    m_config.writeInteger(kParams, QStringLiteral("Compression"), index);
}

void SettingsModel::save() {
    if (m_config.sectionExists(kModem)) {
        m_config.writeInteger(kModem, QStringLiteral("baudrate"), m_baudrateIndex);
        m_config.writeInteger(kModem, QStringLiteral("FlowControl"), m_flowControlIndex);
    }
    m_config.writeBool(kParams, QStringLiteral("ExtPlayer"), m_extPlayer);
    if (m_extPlayer)
        m_config.writeString(kParams, QStringLiteral("Player"), m_player);
    if (m_fontChosen) {
        m_config.writeString(kFonts, QStringLiteral("FontName"), m_fontName);
        m_config.writeInteger(kFonts, QStringLiteral("FontSize"), m_fontSize);
        m_config.writeInteger(kFonts, QStringLiteral("FontColor"), m_fontColor);
        m_fontChosen = false;
    }
    m_config.writeInteger(kParams, QStringLiteral("Timeout"), m_timeout);
    m_config.writeBool(kMonitor, QStringLiteral("PlayTrace"), m_playTrace);
    m_config.writeBool(kMonitor, QStringLiteral("RecordTrace"), m_recordTrace);
    m_config.writeInteger(kMonitor, QStringLiteral("Points"), m_pointsIndex);
    m_config.writeInteger(kMonitor, QStringLiteral("BackColor"), m_backColor);
    m_config.writeInteger(kMonitor, QStringLiteral("TraceColor"), m_traceColor);
    m_config.writeBool(kParams, QStringLiteral("AutoRecord"), m_autoRecord);
    m_config.writeInteger(kParams, QStringLiteral("DiscTime"), m_discTime);
    m_config.writeBool(kParams, QStringLiteral("RejectCall"), m_rejectCall);
    m_config.writeInteger(kParams, QStringLiteral("RejectRings"), m_rejectRings);
    m_config.writeBool(kParams, QStringLiteral("RecordOutgoing"), m_recordOutgoing);
    if (m_startUp) {
        m_config.writeBool(kParams, QStringLiteral("StartUp"), true);
        m_config.writeBool(kParams, QStringLiteral("SystemTray"), m_startToTray);
        if (m_registration)
            m_registration->registerAtLogon(m_startToTray ? QStringLiteral("STARTUP") : QString());
    } else {
        if (m_registration)
            m_registration->unregister();
        m_config.writeBool(kParams, QStringLiteral("StartUp"), false);
    }
    m_config.writeBool(kParams, QStringLiteral("CallerID"), m_callerId);
}

int SettingsModel::baudrate() const {
    return SerialLine::kSpeeds[size_t(
        clampIndex(m_baudrateIndex, int(SerialLine::kSpeeds.size()), kDefaultBaudrateIndex))];
}

SerialLine::FlowControl SettingsModel::flowControl() const {
    return SerialLine::FlowControl(m_flowControlIndex);
}

int SettingsModel::points() const {
    return 1200 + 200 * m_pointsIndex;
}

void SettingsModel::setStartUp(bool on) {
    assign(m_startUp, on);
}
void SettingsModel::setStartToTray(bool on) {
    assign(m_startToTray, on);
}
void SettingsModel::setCallerId(bool on) {
    assign(m_callerId, on);
}

void SettingsModel::setFileCompression(const WaveFormat& format) {
    format.saveFormatFile(fileCompressionPath());
    m_fileCompressionStored = true;
    assign(m_fileCompression, format);
}

void SettingsModel::setFont(const QString& name, int size, int color) {
    m_fontChosen = true;
    const bool differs = name != m_fontName || size != m_fontSize || color != m_fontColor;
    m_fontName = name;
    m_fontSize = size;
    m_fontColor = color;
    if (differs)
        Q_EMIT changed();
}

void SettingsModel::setTimeout(int seconds) {
    assign(m_timeout, std::clamp(seconds, kTimeoutMin, kTimeoutMax));
}
void SettingsModel::setBaudrateIndex(int index) {
    assign(m_baudrateIndex, clampIndex(index, int(SerialLine::kSpeeds.size()), kDefaultBaudrateIndex));
}
void SettingsModel::setFlowControlIndex(int index) {
    assign(m_flowControlIndex, clampIndex(index, SerialLine::kFlowControlCount, kDefaultFlowControlIndex));
}
void SettingsModel::setExtPlayer(bool on) {
    assign(m_extPlayer, on);
}
void SettingsModel::setPlayer(const QString& program) {
    assign(m_player, program);
}
void SettingsModel::setPlayTrace(bool on) {
    assign(m_playTrace, on);
}
void SettingsModel::setRecordTrace(bool on) {
    assign(m_recordTrace, on);
}
void SettingsModel::setPointsIndex(int index) {
    assign(m_pointsIndex, clampIndex(index, kPointsCount, kDefaultPointsIndex));
}
void SettingsModel::setBackColor(int color) {
    assign(m_backColor, color);
}
void SettingsModel::setTraceColor(int color) {
    assign(m_traceColor, color);
}
void SettingsModel::setAutoRecord(bool on) {
    assign(m_autoRecord, on);
}
void SettingsModel::setDiscTime(int seconds) {
    assign(m_discTime, std::clamp(seconds, kDiscTimeMin, kDiscTimeMax));
}
void SettingsModel::setRejectCall(bool on) {
    assign(m_rejectCall, on);
}
void SettingsModel::setRejectRings(int rings) {
    assign(m_rejectRings, std::clamp(rings, kRejectRingsMin, kRejectRingsMax));
}
void SettingsModel::setRecordOutgoing(bool on) {
    assign(m_recordOutgoing, on);
}
