// The signals of the modem side gathered into one state.
#include "web/LineState.h"

#include "audio/SignalLevel.h"
#include "modem/CallDetector.h"
#include "modem/ModemController.h"
#include "recorder/VoiceRecorder.h"

LineState::LineState(ModemController& modem, VoiceRecorder& recorder, QObject* parent)
    : QObject(parent), m_portOpen(modem.portOpen()), m_recording(recorder.recording()) {
    CallDetector& calls = modem.calls();
    connect(&calls, &CallDetector::ringCountChanged, this, [this](int count) {
        m_rings = count;
        Q_EMIT changed();
    });
    connect(&calls, &CallDetector::callerIdShown, this, [this](const QString& text) {
        m_callerId = text;
        Q_EMIT changed();
    });
    connect(&calls, &CallDetector::callerIdHidden, this, [this] {
        m_callerId.clear();
        Q_EMIT changed();
    });
    connect(&modem, &ModemController::portOpenChanged, this, [this](bool open) {
        m_portOpen = open;
        Q_EMIT changed();
    });
    connect(&recorder, &VoiceRecorder::recordingChanged, this, [this](bool running) {
        m_recording = running;
        m_recordingSince = running ? QDateTime::currentDateTimeUtc() : QDateTime();
        m_level = 0;
        if (running)
            m_rings = 0;
        Q_EMIT changed();
    });
    connect(&recorder, &VoiceRecorder::displayBlock, this, &LineState::soundBlock);
}

void LineState::soundBlock(const QByteArray& block) {
    Q_EMIT sound(block);
    m_level = SignalLevel::ofBytes({reinterpret_cast<const uint8_t*>(block.constData()), size_t(block.size())});
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!m_levelSent.isValid() || m_levelSent.msecsTo(now) >= 1000) {
        m_levelSent = now;
        Q_EMIT changed();
    }
}

QJsonObject LineState::toJson() const {
    QString state = QStringLiteral("idle");
    if (m_recording)
        state = QStringLiteral("recording");
    else if (!m_portOpen)
        state = QStringLiteral("modemLost");
    else if (m_rings > 0)
        state = QStringLiteral("ringing");
    QJsonObject out{
        {QStringLiteral("state"), state}, {QStringLiteral("rings"), m_rings}, {QStringLiteral("callerId"), m_callerId}};
    if (m_recording) {
        out.insert(QStringLiteral("elapsedSeconds"), m_recordingSince.secsTo(QDateTime::currentDateTimeUtc()));
        out.insert(QStringLiteral("level"), double(m_level));
    }
    return out;
}
