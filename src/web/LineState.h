// The telephone line as the page shows it: idle, ringing, recording, or the modem lost.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>

class ModemController;
class VoiceRecorder;

/// Follows the call detector, the recorder and the modem's port, and says when the state changes
/// (rings, caller ID, start and end of a recording, the port) and, at most every second, the level
/// of the call being recorded. It also hands on the recorded sound for live listening.
class LineState : public QObject {
    Q_OBJECT
public:
    LineState(ModemController& modem, VoiceRecorder& recorder, QObject* parent = nullptr);

    /// {"state": "idle"|"ringing"|"recording"|"modemLost", "rings", "callerId", "elapsedSeconds", "level"}
    QJsonObject toJson() const;
    bool recording() const { return m_recording; }

Q_SIGNALS:
    void changed();
    /// A block of the call being recorded, in the working format (8 kHz, 8-bit, mono).
    void sound(const QByteArray& block);

private:
    void soundBlock(const QByteArray& block);

    bool m_portOpen = false;
    bool m_recording = false;
    int m_rings = 0;
    QString m_callerId;
    QDateTime m_recordingSince;
    float m_level = 0;
    QDateTime m_levelSent;
};
