// The Stop action of a recording, the reopening of the modem, and the recovery of an interrupted recording.
#include "recorder/VoiceRecorder.h"

#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "library/Catalogue.h"
#include "library/TableError.h"
#include "modem/ModemController.h"
#include "modemsetup/ModemProfile.h"
#include "settings/SettingsModel.h"

#include <QDateTime>
#include <QFileInfo>

void VoiceRecorder::stopRecording() {
    // A start still waiting on the modem has no recording to stop yet.
    if (!m_recordPressed || m_starting)
        return;
    m_logger.add(QStringLiteral("-- Recording stopped"));
    m_modem.calls().setAutoStarted(false);
    // What the queues and the converters still hold belongs to the call: it goes into the file, and the
    // header is completed even for a recording that got no sound.
    m_path.finish(m_receiving);
    m_modem.exchange().setVoiceReception(false);
    m_receiving = false;
    m_clock.stop();
    m_modem.closeModemPort();
    Q_EMIT clearDisplay();

    QString baseName;
    if (m_writer) {
        RecordingEntry entry;
        entry.audioBytes = m_writer->writtenBytes();
        entry.avgBytesPerSec = m_writer->format().avgBytesPerSec();
        entry.callerIdEnabled = m_settings.callerId() || m_outgoing;
        const QString callerId = m_modem.calls().callerId();
        entry.callerId = m_outgoing ? outgoingMemo() : m_callerMemo ? m_callerMemo(callerId) : callerId;
        try {
            baseName = m_catalogue.addRecordingEntry(entry);
        } catch (const TableError& e) {
            m_prompter.message(QString::fromStdString(e.what()), Prompter::Icon::Error);
        }
    }
    releaseWriter();
    RecordedCall call;
    call.outgoing = m_outgoing;
    call.dialled = m_outgoing ? dialledDigits() : QString();
    call.toneAtOnce = !m_outgoing && m_toneAtMs >= 0 && m_toneAtMs <= RecordedCall::kToneAtOnceMs;
    m_outgoing = false;
    if (!baseName.isEmpty()) {
        call.recordingId = m_catalogue.lastAddedId();
        const QString target = m_catalogue.wavPath(baseName);
        if (QFile::rename(recordedPath(), target)) {
            Q_EMIT recordingCatalogued(baseName);
        } else {
            m_prompter.message(QStringLiteral("The recording could not be renamed to ") + target +
                                   QStringLiteral("; its sound stays in ") + recordedPath(),
                               Prompter::Icon::Warning);
        }
    }
    Q_EMIT callRecorded(call);
    m_recordPressed = false;
    Q_EMIT recordingChanged(false);
    Q_EMIT recordEnabled(true);
    Q_EMIT stopEnabled(true);
    if (!m_stopMessage.isEmpty()) {
        const QString message = m_stopMessage;
        m_stopMessage.clear();
        m_prompter.message(message, Prompter::Icon::Warning);
    }
    reopenModem();
    if (!m_profile.voiceFeatures())
        Q_EMIT recordEnabled(false);
}

void VoiceRecorder::reopenModem() {
    // Closing: the next step closes the port for good.
    if (m_closing)
        return;
    if (!m_modem.openModemPort(m_profile.params().port, true)) {
        m_prompter.message(m_modem.reportOpenFailure(), Prompter::Icon::Error);
        Q_EMIT recordEnabled(false);
        waitForModem();
        return;
    }
    if (m_settings.autoRecord())
        m_modem.calls().enableAutoRecord();
    else
        m_modem.calls().disableAutoRecord();
}

void VoiceRecorder::waitForModem() {
    if (m_closing || m_reconnect.isActive())
        return;
    m_logger.add(QStringLiteral("The modem is gone; it is opened again as soon as it is back"));
    m_reconnect.start();
}

void VoiceRecorder::tryReconnect() {
    if (m_closing || m_modem.portOpen()) {
        m_reconnect.stop();
        return;
    }
    // An unattended recorder must not need a restart after the modem was pulled out and plugged in.
    if (m_recordPressed || !m_modem.openModemPort(m_profile.params().port, true))
        return;
    m_reconnect.stop();
    if (m_settings.autoRecord())
        m_modem.calls().enableAutoRecord();
    else
        m_modem.calls().disableAutoRecord();
    Q_EMIT recordEnabled(true);
    if (!m_profile.voiceFeatures())
        Q_EMIT recordEnabled(false);
}

bool VoiceRecorder::recoverRecordedFile() {
    if (m_recordPressed || !QFileInfo::exists(recordedPath()))
        return false;
    // The call ended when its sound was last written. Mending the header must not move that time: a
    // start that lost the power after saving the row finds the row again by it.
    const QDateTime lastWritten = QFileInfo(recordedPath()).lastModified();
    QFile file(recordedPath());
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const qint64 dataSize = WavWriter::repairHeader(file);
    if (dataSize <= 0) {
        // No header, or a header without sound: nothing to keep. The next recording replaces it.
        return false;
    }
    file.flush();
    file.setFileTime(lastWritten, QFileDevice::FileModificationTime);
    file.seek(0);
    RecordingEntry entry;
    entry.audioBytes = dataSize;
    try {
        WavReader reader(file);
        entry.avgBytesPerSec = reader.format().avgBytesPerSec();
    } catch (const std::exception&) {
        return false;
    }
    file.close();
    entry.callerIdEnabled = true;
    entry.callerId = QStringLiteral("Recovered after an interruption");
    entry.endTime = lastWritten;
    try {
        // A row saved for this very file by a start that lost the power before naming it gets the file.
        QString baseName = m_catalogue.rowAwaitingFile(entry);
        if (baseName.isEmpty())
            baseName = m_catalogue.addRecordingEntry(entry);
        if (!QFile::rename(recordedPath(), m_catalogue.wavPath(baseName)))
            return false;
        m_logger.add(QStringLiteral("Recovered an interrupted recording as ") + baseName);
        Q_EMIT recordingCatalogued(baseName);
    } catch (const TableError& e) {
        m_logger.add(QString::fromStdString(e.what()));
        return false;
    }
    return true;
}
