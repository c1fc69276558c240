// Load and save rules of the program settings.
#include "settings/SettingsModel.h"

#include "audio/AudioErrors.h"
#include "base/Config.h"
#include "settings/SerialLine.h"
#include "settings/StartupRegistration.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace {

using namespace ConfigKeys;

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

bool SettingsModel::readOrWrite(const FlagSetting& setting) {
    if (m_config.valueExists(setting))
        return m_config.read(setting);
    m_config.writeBool(setting, setting.defaultValue);
    return setting.defaultValue;
}

int SettingsModel::readOrWrite(const IntegerSetting& setting) {
    if (m_config.valueExists(setting))
        return m_config.read(setting);
    m_config.writeInteger(setting, setting.defaultValue);
    return setting.defaultValue;
}

void SettingsModel::load() {
    loadMonitor();
    loadAutoRecord();
    loadStartUp();
    loadCallerId();
    loadFileCompression();
    loadSerial();
    loadFont();
    loadMirror();
    loadMail();
    loadRemoteAccess();
    Q_EMIT changed();
}

void SettingsModel::loadRemoteAccess() {
    m_remoteAccess.enabled = m_config.read(kWebEnabled);
    m_remoteAccess.address = m_config.read(kWebListenAddress).trimmed();
    m_remoteAccess.port = std::clamp(m_config.read(kWebPort), 1, 65535);
    m_remoteAccess.certificate = m_config.read(kWebCertificate);
    m_remoteAccess.privateKey = m_config.read(kWebPrivateKey);
    m_remoteAccess.allowPlainHttp = m_config.read(kWebAllowPlainHttp);
    m_remoteAccessEdited = false;
}

void SettingsModel::setRemoteAccess(const RemoteAccess& access) {
    RemoteAccess kept = access;
    kept.address = kept.address.trimmed();
    kept.port = std::clamp(kept.port, 1, 65535);
    if (kept == m_remoteAccess)
        return;
    m_remoteAccess = kept;
    m_remoteAccessEdited = true;
    Q_EMIT changed();
}

void SettingsModel::loadMirror() {
    // Read only: a file that never had a mirror stays without the key.
    m_mirrorFolder = m_config.read(kMirrorFolder).trimmed();
    m_diskFloorMegabytes = std::clamp(m_config.read(kDiskFloor), 0, kDiskFloorMaxMegabytes);
    const QString region = m_config.read(kHomeCountry).trimmed();
    m_homeCountry = isHomeCountry(region) ? region.toUpper() : QString();
}

void SettingsModel::loadMonitor() {
    m_playTrace = readOrWrite(kPlayTrace);
    m_recordTrace = readOrWrite(kRecordTrace);
    m_pointsIndex = clampIndex(readOrWrite(kPoints), kPointsCount, kPoints.defaultValue);
    m_backColor = readOrWrite(kBackColor);
    m_traceColor = readOrWrite(kTraceColor);
}

void SettingsModel::loadAutoRecord() {
    // Newer than the group: read where present, written by save() only, so older files stay as they are.
    m_recordOutgoing = m_config.read(kRecordOutgoing);
    if (m_config.valueExists(kAutoRecord)) {
        m_autoRecord = m_config.read(kAutoRecord);
        m_discTime = std::clamp(m_config.read(kDiscTime), kDiscTimeMin, kDiscTimeMax);
        m_rejectCall = m_config.read(kRejectCall);
        m_rejectRings = std::clamp(m_config.read(kRejectRings), kRejectRingsMin, kRejectRingsMax);
        m_timeout = std::clamp(m_config.read(kTimeout), kTimeoutMin, kTimeoutMax);
        return;
    }
    m_config.writeBool(kAutoRecord, kAutoRecord.defaultValue);
    m_config.writeInteger(kDiscTime, kDiscTime.defaultValue);
    m_config.writeBool(kRejectCall, kRejectCall.defaultValue);
    m_config.writeInteger(kRejectRings, kRejectRings.defaultValue);
    m_config.writeInteger(kTimeout, kTimeout.defaultValue);
    m_autoRecord = kAutoRecord.defaultValue;
    m_discTime = kDiscTime.defaultValue;
    m_rejectCall = kRejectCall.defaultValue;
    m_rejectRings = kRejectRings.defaultValue;
    m_timeout = kTimeout.defaultValue;
}

void SettingsModel::loadStartUp() {
    // Values the file does not decide go back to their design values, so a reload discards edits.
    m_startUp = false;
    m_startToTray = false;
    if (!m_config.valueExists(kStartUp)) {
        m_config.writeBool(kStartUp, false);
        return;
    }
    m_startUp = m_config.read(kStartUp);
    if (m_startUp)
        m_startToTray = m_config.read(kSystemTray);
}

void SettingsModel::loadCallerId() {
    if (m_config.valueExists(kCallerId)) {
        m_callerId = m_config.read(kCallerId);
        return;
    }
    if (m_config.valueExists(kForCallerId))
        m_callerId = m_config.readString(kForCallerId, QString()).toUpper() != QLatin1String("NONE");
    else
        m_callerId = true;
    m_config.writeBool(kCallerId, m_callerId);
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
    m_baudrateIndex = kBaudrate.defaultValue;
    m_flowControlIndex = kFlowControl.defaultValue;
    if (m_config.valueExists(kBaudrate))
        m_baudrateIndex = clampIndex(m_config.read(kBaudrate), int(SerialLine::kSpeeds.size()), kBaudrate.defaultValue);
    if (m_config.valueExists(kFlowControl))
        m_flowControlIndex =
            clampIndex(m_config.read(kFlowControl), SerialLine::kFlowControlCount, kFlowControl.defaultValue);
}

void SettingsModel::loadFont() {
    m_fontName = m_config.read(kFontName);
    m_fontSize = m_config.read(kFontSize);
    m_fontColor = m_config.read(kFontColor);
    m_fontChosen = false;
}

const QStringList& SettingsModel::attachFormats() {
    static const QStringList names{QStringLiteral("wav"), QStringLiteral("opus"), QStringLiteral("mp3")};
    return names;
}

void SettingsModel::loadMail() {
    // Read only: a file without the key stays as it is until another format is chosen.
    m_attachAsIndex = std::max<int>(0, int(attachFormats().indexOf(m_config.read(kAttachAs).toLower())));
}

void SettingsModel::loadMediaPlayer() {
    assign(m_extPlayer, m_config.read(kExtPlayer));
    assign(m_player, m_config.read(kPlayer));
}

void SettingsModel::save() {
    if (m_config.sectionExists(kModemSection)) {
        m_config.writeInteger(kBaudrate, m_baudrateIndex);
        m_config.writeInteger(kFlowControl, m_flowControlIndex);
    }
    m_config.writeBool(kExtPlayer, m_extPlayer);
    if (m_extPlayer)
        m_config.writeString(kPlayer, m_player);
    if (m_fontChosen) {
        m_config.writeString(kFontName, m_fontName);
        m_config.writeInteger(kFontSize, m_fontSize);
        m_config.writeInteger(kFontColor, m_fontColor);
        m_fontChosen = false;
    }
    m_config.writeInteger(kTimeout, m_timeout);
    m_config.writeBool(kPlayTrace, m_playTrace);
    m_config.writeBool(kRecordTrace, m_recordTrace);
    m_config.writeInteger(kPoints, m_pointsIndex);
    m_config.writeInteger(kBackColor, m_backColor);
    m_config.writeInteger(kTraceColor, m_traceColor);
    m_config.writeBool(kAutoRecord, m_autoRecord);
    m_config.writeInteger(kDiscTime, m_discTime);
    m_config.writeBool(kRejectCall, m_rejectCall);
    m_config.writeInteger(kRejectRings, m_rejectRings);
    m_config.writeBool(kRecordOutgoing, m_recordOutgoing);
    if (!m_mirrorFolder.isEmpty() || m_config.valueExists(kMirrorFolder))
        m_config.writeString(kMirrorFolder, m_mirrorFolder);
    if (m_diskFloorMegabytes != 0 || m_config.valueExists(kDiskFloor))
        m_config.writeInteger(kDiskFloor, m_diskFloorMegabytes);
    if (!m_homeCountry.isEmpty() || m_config.valueExists(kHomeCountry))
        m_config.writeString(kHomeCountry, m_homeCountry);
    if (m_attachAsIndex != 0 || m_config.valueExists(kAttachAs))
        m_config.writeString(kAttachAs, attachAs());
    if (m_startUp) {
        m_config.writeBool(kStartUp, true);
        m_config.writeBool(kSystemTray, m_startToTray);
        if (m_registration)
            m_registration->registerAtLogon(m_startToTray ? QStringLiteral("STARTUP") : QString());
    } else {
        if (m_registration)
            m_registration->unregister();
        m_config.writeBool(kStartUp, false);
    }
    m_config.writeBool(kCallerId, m_callerId);
    if (m_remoteAccessEdited) {
        m_config.writeBool(kWebEnabled, m_remoteAccess.enabled);
        m_config.writeString(kWebListenAddress, m_remoteAccess.address);
        m_config.writeInteger(kWebPort, m_remoteAccess.port);
        m_config.writeString(kWebCertificate, m_remoteAccess.certificate);
        m_config.writeString(kWebPrivateKey, m_remoteAccess.privateKey);
        m_config.writeBool(kWebAllowPlainHttp, m_remoteAccess.allowPlainHttp);
        m_remoteAccessEdited = false;
    }
}

int SettingsModel::baudrate() const {
    return SerialLine::kSpeeds[size_t(
        clampIndex(m_baudrateIndex, int(SerialLine::kSpeeds.size()), kBaudrate.defaultValue))];
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
    assign(m_baudrateIndex, clampIndex(index, int(SerialLine::kSpeeds.size()), kBaudrate.defaultValue));
}
void SettingsModel::setFlowControlIndex(int index) {
    assign(m_flowControlIndex, clampIndex(index, SerialLine::kFlowControlCount, kFlowControl.defaultValue));
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
    assign(m_pointsIndex, clampIndex(index, kPointsCount, kPoints.defaultValue));
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

void SettingsModel::setMirrorFolder(const QString& folder) {
    assign(m_mirrorFolder, folder.trimmed());
}

void SettingsModel::setDiskFloorMegabytes(int megabytes) {
    assign(m_diskFloorMegabytes, std::clamp(megabytes, 0, kDiskFloorMaxMegabytes));
}

bool SettingsModel::isHomeCountry(const QString& text) {
    static const QRegularExpression region(QStringLiteral("^([A-Za-z]{2})?$"));
    return region.match(text.trimmed()).hasMatch();
}

void SettingsModel::setHomeCountry(const QString& region) {
    if (isHomeCountry(region))
        assign(m_homeCountry, region.trimmed().toUpper());
}

void SettingsModel::setAttachAsIndex(int index) {
    assign(m_attachAsIndex, clampIndex(index, int(attachFormats().size()), 0));
}
