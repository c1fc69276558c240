// The sound path of a running recording: DLE removal, the file and display blocks, the end-of-call test.
#include "recorder/VoiceRecorder.h"

#include "app/Logger.h"
#include "audio/AcmErrors.h"
#include "audio/TdeRIFFAudioWriter.h"
#include "modem/TfmModem.h"
#include "settings/SettingsModel.h"

#include <QTime>

namespace {

// What the modem answers to the receive command; it may arrive after the input was discarded.
const QByteArray kConnect = QByteArrayLiteral("CONNECT\r\n");
const QByteArray kConnectCrLf = QByteArrayLiteral("\r\nCONNECT\r\n");

} // namespace

void VoiceRecorder::voiceData(const QByteArray& bytes) {
    if (!m_receiving)
        return;
    QByteArray audio;
    std::vector<char> events;
    m_dle.process(bytes, audio, events);
    for (const char code : events) {
        m_logger.add(QStringLiteral("Modem reported ") + DleFilter::describe(code));
        if (DleFilter::endsCall(code) && m_modem.autoStarted() && !m_stopQueued)
            requestStop(QStringLiteral("Disconnect line..."));
    }
    if (m_checkLead) {
        m_lead.append(audio);
        audio.clear();
        for (const QByteArray& reply : {kConnectCrLf, kConnect}) {
            if (m_lead.startsWith(reply)) {
                m_lead.remove(0, reply.size());
                m_checkLead = false;
                break;
            }
            if (reply.startsWith(m_lead))
                return; // could still become the reply: wait for more
        }
        m_checkLead = false;
        audio.swap(m_lead);
    }
    takeAudio(std::move(audio));
}

void VoiceRecorder::takeAudio(QByteArray audio) {
    m_fileQueue.append(audio);
    m_displayQueue.append(audio);
    processBlocks(false);
    if (m_modem.autoStarted() && m_analysis.callEnded() && !m_stopQueued)
        requestStop(QStringLiteral("Disconnect line..."));
}

void VoiceRecorder::signFix(QByteArray& block) const {
    if (!m_signFix)
        return;
    for (char& b : block)
        b = static_cast<char>(static_cast<unsigned char>(b) ^ 0x80);
}

void VoiceRecorder::processBlocks(bool flush) {
    // Every whole block is taken at once, so the queues never hold more than one block's rest.
    try {
        qsizetype taken = 0;
        while (!m_writeFailed && (m_fileQueue.size() - taken >= kFileBlock || (flush && taken < m_fileQueue.size()))) {
            QByteArray block = m_fileQueue.mid(taken, kFileBlock);
            taken += block.size();
            signFix(block);
            m_cnvWav.Convert(block.constData(), block.size());
        }
        m_fileQueue.remove(0, taken);
        if (flush && !m_writeFailed)
            m_cnvWav.Flush();
    } catch (const EWriteError& e) {
        m_writeFailed = true;
        m_logger.add(e.text());
        requestStop(QStringLiteral("The recording file can not be written"),
                    QStringLiteral("The recording could not be written any further (is the disk full?). It was "
                                   "ended and keeps what was written."));
    } catch (const EACMError& e) {
        m_logger.add(e.text());
    }
    qsizetype taken = 0;
    while (m_displayQueue.size() - taken >= kDisplayBlock) {
        QByteArray block = m_displayQueue.mid(taken, kDisplayBlock);
        taken += kDisplayBlock;
        signFix(block);
        if (m_settings.recordTrace()) {
            try {
                m_displayConvert.Convert(block.constData(), block.size());
            } catch (const EACMError& e) {
                m_logger.add(e.text());
            }
        }
    }
    m_displayQueue.remove(0, taken);
}

void VoiceRecorder::fileConverted(const QByteArray& data) {
    if (m_writer && !m_writeFailed)
        m_writer->Write(data.constData(), data.size());
}

void VoiceRecorder::displayConverted(const QByteArray& data) {
    for (qsizetype i = 0; i < data.size();) {
        const qsizetype n = std::min<qsizetype>(kDisplayBlock - m_collector.size(), data.size() - i);
        m_collector.append(data.constData() + i, n);
        i += n;
        if (m_collector.size() < kDisplayBlock)
            break;
        if (m_settings.autoRecord()) {
            const auto* samples = reinterpret_cast<const uint8_t*>(m_collector.constData());
            m_analysis.AnalyseBlock(std::span<const uint8_t>(samples, kDisplayBlock));
        }
        Q_EMIT DisplayData(m_collector);
        m_collector.clear();
    }
}

void VoiceRecorder::requestStop(const QString& reason, const QString& message) {
    if (m_stopQueued)
        return;
    m_stopQueued = true;
    m_logger.add(reason);
    m_stopMessage = message;
    m_modem.setAutoStarted(false);
    // The stop closes and reopens the port; it runs after the serial notification that asked for it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_receiving)
                acStopExecute();
        },
        Qt::QueuedConnection);
}

void VoiceRecorder::portOpenChanged(bool open) {
    if (open || !m_receiving || m_stopQueued)
        return;
    requestStop(QStringLiteral("The modem was lost during the recording: ") + m_modem.ComPort1().errorString(),
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
