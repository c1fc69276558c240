// The running recording: the voice stream handed to the sound path, the reasons to stop, the clock.
#include "recorder/VoiceRecorder.h"

#include "base/Logger.h"
#include "modem/ModemController.h"
#include "settings/SettingsModel.h"

#include <QTime>

void VoiceRecorder::voiceData(const QByteArray& bytes) {
    if (!m_receiving)
        return;
    // The settings may change during the recording; the path follows them chunk by chunk.
    m_path.setTrace(m_settings.recordTrace());
    m_path.setAnalyse(m_settings.autoRecord());
    m_path.feed(bytes);
    if (m_path.callEnded() && m_path.endedOnTone())
        noteTone();
    if (m_modem.calls().autoStarted() && (m_path.callEnded() || m_handsetDown) && !m_stopQueued)
        requestStop(QStringLiteral("Disconnect line..."));
}

void VoiceRecorder::dleEvent(char code) {
    m_logger.add(QStringLiteral("Modem reported ") + DleFilter::describe(code));
    if (DleFilter::dtmfDigit(code) && m_outgoing)
        m_dialled.add(code, m_path.receivedMs());
    if (DleFilter::endsCall(code))
        noteTone();
    // The handset put down ends the call either way; a tone only when the far end was called to.
    const bool ends = DleFilter::onHook(code) || (DleFilter::endsCall(code) && !m_outgoing);
    if (ends && m_modem.calls().autoStarted() && !m_stopQueued)
        requestStop(QStringLiteral("Disconnect line..."));
}

void VoiceRecorder::handsetPutDown() {
    if (!m_recordPressed)
        return;
    // Reported before the stream began (or with what was dropped at its start): the first sound that
    // comes ends the recording.
    m_logger.add(QStringLiteral("Modem reported ") + DleFilter::describe('h'));
    m_handsetDown = true;
}

QString VoiceRecorder::outgoingMemo() const {
    const QString digits = dialledDigits();
    return digits.isEmpty() ? QStringLiteral("Outgoing call") : digits;
}

QString VoiceRecorder::dialledDigits() const {
    if (!m_dialled.digits().isEmpty())
        return m_dialled.digits();
    // A modem that reports no digits: the keys its line carried, by the same pause rule.
    DialledNumber heard;
    for (const DtmfKey& key : m_path.keys())
        heard.add(key.key, key.atMs);
    return heard.digits();
}

void VoiceRecorder::noteTone() {
    if (m_toneAtMs < 0)
        m_toneAtMs = m_path.receivedMs();
}

void VoiceRecorder::writeFailure(const QString& text) {
    m_logger.add(text);
    requestStop(QStringLiteral("The recording file can not be written"),
                QStringLiteral("The recording could not be written any further (is the disk full?). It was "
                               "ended and keeps what was written."));
}

void VoiceRecorder::endAtDiskFloor(const QString& reason) {
    if (m_receiving && !m_stopQueued)
        writeFailure(reason);
}

void VoiceRecorder::lineEnded() {
    if (m_modem.calls().autoStarted() && !m_stopQueued)
        requestStop(QStringLiteral("Disconnect line..."));
}

void VoiceRecorder::requestStop(const QString& reason, const QString& message) {
    if (m_stopQueued)
        return;
    m_stopQueued = true;
    m_logger.add(reason);
    m_stopMessage = message;
    m_modem.calls().setAutoStarted(false);
    // The stop closes and reopens the port; it runs after the serial notification that asked for it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_receiving)
                stopRecording();
        },
        Qt::QueuedConnection);
}

void VoiceRecorder::portOpenChanged(bool open) {
    if (open) {
        m_reconnect.stop();
        return;
    }
    // Only a vanished device leaves an error behind a close; a close the program asked for does not.
    if (!m_receiving && !m_recordPressed && !m_closing && !m_modem.channel().errorString().isEmpty())
        waitForModem();
    if (!m_receiving || m_stopQueued)
        return;
    requestStop(QStringLiteral("The modem was lost during the recording: ") + m_modem.channel().errorString(),
                QStringLiteral("The modem was disconnected during the recording. The recording was ended and "
                               "keeps what was received."));
}

void VoiceRecorder::clockTick() {
    if (!m_receiving)
        return;
    if (++m_ticks * kClockMs < 1000)
        return;
    m_ticks = 0;
    const qint64 seconds = m_startTime.secsTo(QDateTime::currentDateTime());
    const QString text = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    Q_EMIT statusText(QLatin1Char(' ') + text);
}
