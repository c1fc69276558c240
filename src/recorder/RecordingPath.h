// The sound path of a recording without the modem: voice bytes to the file converter and the trace frames.
#pragma once

#include "audio/AudioConverter.h"
#include "audio/DtmfDetector.h"
#include "audio/WavWriter.h"
#include "modem/DleFilter.h"
#include "recorder/LineAnalysis.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class Logger;

/// The recording's WAV writer; completes the header even when no sound was ever written, so a
/// recording stopped before the first block is still a valid, empty WAV file.
class RecordingFileWriter : public WavWriter {
public:
    using WavWriter::WavWriter;
    /// Header (when not yet out) and sizes. StreamWriteError when the stream refuses them.
    void complete();

private:
    bool m_headerOnly = false;
};

/// Takes the modem's voice stream as it arrives (DLE shielding, the receive command's "CONNECT" in
/// front), stores it in the file format through the writer, and converts it to the working format for the
/// trace and the end-of-call analysis. Whole blocks go to the converters, so the chunking of the serial
/// line does not change the file.
class RecordingPath : public QObject {
    Q_OBJECT
public:
    static constexpr int kFileBlock = 2048;
    static constexpr int kDisplayBlock = LineAnalysis::kBlockSize;

    explicit RecordingPath(Logger& logger, QObject* parent = nullptr);

    /// The modem's 8-bit signed PCM is stored as the unsigned PCM of WAV files.
    static bool needsSignFix(const QString& bitsPerSample, const QString& description);

    /// Starts a reception from `modemFormat` into `writer` (kept, not owned; null writes nothing).
    /// Throws AudioError when a converter cannot be opened.
    void start(const WaveFormat& modemFormat, RecordingFileWriter* writer, bool signFix, int discTimeSeconds);
    /// The trace conversion and the analysis follow the settings; read before every chunk.
    void setTrace(bool on) { m_trace = on; }
    void setAnalyse(bool on) { m_analyse = on; }
    /// Whether a repeating tone ends the call (set after start(), which turns it on).
    void setTonesEndCall(bool on) { m_analysis.setTonesEndCall(on); }
    /// Listens for the keys dialled on the line (set after start(), which turns it off) until the
    /// dialling is over: kAnswerFrames of sound that is no key after a key (ringback, a voice).
    void setDetectKeys(bool on) { m_detectKeys = on; }
    static constexpr int kAnswerFrames = 8;
    static constexpr size_t kMaxKeys = 64;
    /// The keys heard, with their times since start() in the line's milliseconds.
    const std::vector<DtmfKey>& keys() const { return m_keys; }
    /// The analysis ended the call on a repeating tone (dial or busy tone), not on silence.
    bool endedOnTone() const { return m_endedOnTone; }

    /// One chunk as the serial line delivered it.
    void feed(QByteArrayView bytes);
    /// Ends the reception; with `flush` the queued bytes and the converters' partial blocks go into the
    /// file first. The writer is completed either way; a failure to do so is logged.
    void finish(bool flush);
    /// Ends the reception without touching the writer (a start that did not get through).
    void abort();

    bool active() const { return m_active; }
    /// Milliseconds of sound received since start(), by the modem format's byte rate: the line's time.
    qint64 receivedMs() const;
    bool writeFailed() const { return m_writeFailed; }
    bool callEnded() const { return m_analysis.callEnded(); }
    const LineAnalysis& analysis() const { return m_analysis; }

Q_SIGNALS:
    /// A DLE event code found in the stream, before the audio of the same chunk is processed.
    void dleEvent(char code);
    /// One frame (kDisplayBlock samples) of the working format.
    void displayFrame(const QByteArray& frame);
    /// The writer refused the sound; nothing more is written. Raised once per reception.
    void writeFailure(const QString& text);
    /// The analysis found the line ended; raised once per reception.
    void lineEnded();

private:
    void takeAudio(const QByteArray& audio);
    void processBlocks(bool flush);
    void fileConverted(const QByteArray& data);
    void displayConverted(const QByteArray& data);
    void signFix(QByteArray& block) const;
    void reportWriteFailure(const QString& text);

    Logger& m_logger;
    RecordingFileWriter* m_writer = nullptr;
    AudioConverter m_fileConverter;
    AudioConverter m_displayConvert;
    DleFilter m_dle;
    LineAnalysis m_analysis;
    QByteArray m_lead; ///< the first bytes, until the receive command's "CONNECT" is known to be out
    bool m_checkLead = false;
    QByteArray m_fileQueue;
    QByteArray m_displayQueue;
    QByteArray m_collector;
    QByteArray m_audio;
    std::vector<char> m_events;
    bool m_signFix = false;
    qint64 m_received = 0;       ///< sound bytes since start()
    qint64 m_bytesPerSecond = 0; ///< of the modem format
    bool m_trace = true;
    bool m_analyse = true;
    bool m_active = false;
    bool m_writeFailed = false;
    bool m_lineEndReported = false;
    DtmfDetector m_keyDetector;
    std::vector<DtmfKey> m_keys;
    bool m_detectKeys = false;
    bool m_endedOnTone = false;
    QString m_pendingFailure;
};
