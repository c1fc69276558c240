// The sound path of a recording: DLE removal, the file and display blocks, the end-of-call test.
#include "recorder/RecordingPath.h"

#include "audio/AudioErrors.h"
#include "base/Logger.h"

#include <QFileDevice>

namespace {

// What the modem answers to the receive command; it may arrive after the input was discarded.
const QByteArray kConnect = QByteArrayLiteral("CONNECT\r\n");
const QByteArray kConnectCrLf = QByteArrayLiteral("\r\nCONNECT\r\n");

} // namespace

void RecordingFileWriter::complete() {
    if (m_written == 0 && !m_headerOnly) {
        writeHeader();
        m_headerOnly = true;
    }
    // A refused write may have put part of its bytes out (a disk that filled up midway): the file
    // ends with the last byte counted, so its sizes and the catalogue agree.
    const qint64 end = m_start + 12 + 8 + fmtSize(m_format) + 8 + m_written;
    if (m_stream.pos() != end) {
        if (auto* file = qobject_cast<QFileDevice*>(&m_stream))
            file->resize(end);
        m_stream.seek(end);
    }
    finish();
}

RecordingPath::RecordingPath(Logger& logger, QObject* parent) : QObject(parent), m_logger(logger), m_analysis(logger) {
    connect(&m_fileConverter, &AudioConverter::audioConverted, this, &RecordingPath::fileConverted);
    connect(&m_displayConvert, &AudioConverter::audioConverted, this, &RecordingPath::displayConverted);
}

bool RecordingPath::needsSignFix(const QString& bitsPerSample, const QString& description) {
    return bitsPerSample == QStringLiteral("8") && description == QStringLiteral("SIGNED PCM");
}

void RecordingPath::start(const WaveFormat& modemFormat, RecordingFileWriter* writer, bool signFix,
                          int discTimeSeconds) {
    if (m_displayConvert.active())
        m_displayConvert.close();
    if (m_fileConverter.active())
        m_fileConverter.close();
    m_writer = writer;
    m_collector.clear();
    m_analysis.reset(discTimeSeconds);
    m_displayConvert.setFormatIn(modemFormat);
    m_displayConvert.setFormatOut(WaveFormat::workingFormat());
    m_fileConverter.setFormatIn(modemFormat);
    if (writer != nullptr)
        m_fileConverter.setFormatOut(writer->format());
    else
        m_fileConverter.setFormatOut(modemFormat);
    m_fileQueue.clear();
    m_displayQueue.clear();
    m_dle.reset();
    m_lead.clear();
    m_checkLead = true;
    m_signFix = signFix;
    m_received = 0;
    m_bytesPerSecond = modemFormat.avgBytesPerSec();
    m_writeFailed = false;
    m_lineEndReported = false;
    m_keyDetector.reset();
    m_keys.clear();
    m_detectKeys = false;
    m_endedOnTone = false;
    m_displayConvert.open();
    m_fileConverter.open();
    m_active = true;
}

void RecordingPath::feed(QByteArrayView bytes) {
    if (!m_active)
        return;
    m_audio.clear();
    m_events.clear();
    m_dle.process(bytes, m_audio, m_events);
    for (const char code : m_events)
        Q_EMIT dleEvent(code);
    if (m_checkLead) {
        m_lead.append(m_audio);
        m_audio.clear();
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
        m_audio.swap(m_lead);
        m_lead.clear();
    }
    takeAudio(m_audio);
}

qint64 RecordingPath::receivedMs() const {
    return m_bytesPerSecond > 0 ? m_received * 1000 / m_bytesPerSecond : 0;
}

void RecordingPath::takeAudio(const QByteArray& audio) {
    m_received += audio.size();
    m_fileQueue.append(audio);
    m_displayQueue.append(audio);
    processBlocks(false);
    if (m_analysis.callEnded() && !m_lineEndReported) {
        m_lineEndReported = true;
        Q_EMIT lineEnded();
    }
}

void RecordingPath::signFix(QByteArray& block) const {
    if (!m_signFix)
        return;
    for (char& b : block)
        b = static_cast<char>(static_cast<unsigned char>(b) ^ 0x80);
}

void RecordingPath::processBlocks(bool flush) {
    // Every whole block is taken at once, so the queues never hold more than one block's rest.
    try {
        qsizetype taken = 0;
        while (!m_writeFailed && (m_fileQueue.size() - taken >= kFileBlock || (flush && taken < m_fileQueue.size()))) {
            QByteArray block = m_fileQueue.mid(taken, kFileBlock);
            taken += block.size();
            signFix(block);
            m_fileConverter.convert(block.constData(), block.size());
        }
        m_fileQueue.remove(0, taken);
        if (flush && !m_writeFailed)
            m_fileConverter.flush();
    } catch (const AudioError& e) {
        m_logger.add(e.text());
    }
    qsizetype taken = 0;
    while (m_displayQueue.size() - taken >= kDisplayBlock) {
        QByteArray block = m_displayQueue.mid(taken, kDisplayBlock);
        taken += kDisplayBlock;
        signFix(block);
        if (m_trace || m_detectKeys) {
            try {
                m_displayConvert.convert(block.constData(), block.size());
            } catch (const AudioError& e) {
                m_logger.add(e.text());
            }
        }
    }
    m_displayQueue.remove(0, taken);
}

void RecordingPath::reportWriteFailure(const QString& text) {
    if (m_writeFailed)
        return;
    m_writeFailed = true;
    Q_EMIT writeFailure(text);
}

void RecordingPath::fileConverted(const QByteArray& data) {
    if (m_writer == nullptr || m_writeFailed)
        return;
    // Caught here: the converter's signal is no place for an exception to pass through.
    try {
        m_writer->write(data.constData(), data.size());
    } catch (const StreamWriteError& e) {
        reportWriteFailure(e.text());
    }
}

void RecordingPath::displayConverted(const QByteArray& data) {
    if (m_detectKeys) {
        const auto* samples = reinterpret_cast<const uint8_t*>(data.constData());
        m_keyDetector.feed(std::span<const uint8_t>(samples, size_t(data.size())), m_keys);
        // A line that only ever beeps is no dialling either: the keys stop at kMaxKeys.
        if ((!m_keys.empty() && m_keyDetector.otherSoundFrames() >= kAnswerFrames) || m_keys.size() >= kMaxKeys)
            m_detectKeys = false;
    }
    // Converted for the keys alone, the sound is neither traced nor analysed: that follows the trace.
    if (!m_trace)
        return;
    for (qsizetype i = 0; i < data.size();) {
        const qsizetype n = std::min<qsizetype>(kDisplayBlock - m_collector.size(), data.size() - i);
        m_collector.append(data.constData() + i, n);
        i += n;
        if (m_collector.size() < kDisplayBlock)
            break;
        if (m_analyse) {
            const auto* samples = reinterpret_cast<const uint8_t*>(m_collector.constData());
            const bool ended = m_analysis.callEnded();
            const LineVerdict verdict = m_analysis.analyseBlock(std::span<const uint8_t>(samples, kDisplayBlock));
            if (!ended && m_analysis.callEnded())
                m_endedOnTone = verdict == LineVerdict::Periodic;
        }
        Q_EMIT displayFrame(m_collector);
        m_collector.clear();
    }
}

void RecordingPath::finish(bool flush) {
    if (m_active && flush) {
        // What the queues and the converters still hold belongs to the call: it goes into the file.
        processBlocks(true);
    }
    m_active = false;
    if (m_displayConvert.active())
        m_displayConvert.close();
    if (m_fileConverter.active())
        m_fileConverter.close();
    if (m_writer == nullptr)
        return;
    try {
        m_writer->complete();
    } catch (const StreamWriteError& e) {
        m_logger.add(e.text());
    }
    m_writer = nullptr;
}

void RecordingPath::abort() {
    m_active = false;
    m_writer = nullptr;
    if (m_displayConvert.active())
        m_displayConvert.close();
    if (m_fileConverter.active())
        m_fileConverter.close();
}
