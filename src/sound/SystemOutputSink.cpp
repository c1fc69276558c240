// The real output device: Qt's audio sink pulling the written bytes from a queue in order.
#include "audio/AudioErrors.h"
#include "sound/OutputSink.h"

#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <cmath>
#include <deque>

namespace {

constexpr auto kOpenCaption = "Error opening audio device for output.";
/// The device's own buffer: how long the sound goes on while this thread is kept from refilling it, and
/// how long a volume change takes to be heard. What is queued beyond it waits in the queue below.
constexpr int kDeviceBufferMs = 500;
/// A device whose clock has stood still this long with nothing left to pull has played everything.
constexpr qint64 kDrainedAfterMs = 500;

/// What the sink pulls from: the written bytes, in order. Emitting readyRead wakes a sink that ran dry.
class ByteQueue : public QIODevice {
public:
    ByteQueue() { open(QIODevice::ReadOnly); }

    void append(const char* data, qint64 count) {
        m_chunks.emplace_back(data, count);
        m_available += count;
        Q_EMIT readyRead();
    }
    void clear() {
        m_chunks.clear();
        m_offset = 0;
        m_available = 0;
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_available + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        qint64 done = 0;
        while (done < maxSize && !m_chunks.empty()) {
            const QByteArray& front = m_chunks.front();
            const qint64 n = std::min(maxSize - done, front.size() - m_offset);
            std::memcpy(data + done, front.constData() + m_offset, static_cast<size_t>(n));
            done += n;
            m_offset += n;
            if (m_offset == front.size()) {
                m_chunks.pop_front();
                m_offset = 0;
            }
        }
        m_available -= done;
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::deque<QByteArray> m_chunks;
    qint64 m_offset = 0;
    qint64 m_available = 0;
};

QAudioFormat qtFormat(const WaveFormat& format) {
    QAudioFormat qt;
    qt.setSampleRate(static_cast<int>(format.samplesPerSec()));
    qt.setChannelCount(format.channels());
    switch (format.bitsPerSample()) {
    case 8:
        qt.setSampleFormat(QAudioFormat::UInt8);
        break;
    case 16:
        qt.setSampleFormat(QAudioFormat::Int16);
        break;
    case 32:
        qt.setSampleFormat(QAudioFormat::Int32);
        break;
    default:
        qt.setSampleFormat(QAudioFormat::Unknown);
    }
    return qt;
}

class SystemOutputSink : public OutputSink {
public:
    SystemOutputSink(const WaveFormat& format, const QAudioDevice& device) {
        const QAudioFormat qt = qtFormat(format);
        if (format.formatTag() != wavetag::Pcm || !qt.isValid() || format.blockAlign() == 0)
            acmCheck<AudioOutError>(AcmResult::BadFormat, QLatin1String(kOpenCaption));
        const QAudioDevice target = device.isNull() ? QMediaDevices::defaultAudioOutput() : device;
        if (target.isNull())
            acmCheck<AudioOutError>(AcmResult::BadDeviceId, QLatin1String(kOpenCaption));
        if (!target.isFormatSupported(qt))
            acmCheck<AudioOutError>(AcmResult::BadFormat, QLatin1String(kOpenCaption));
        m_rate = format.samplesPerSec();
        m_frameBytes = format.blockAlign();
        m_silence = format.bitsPerSample() == 8 ? '\x80' : '\0';
        m_sink = std::make_unique<QAudioSink>(target, qt);
        m_sink->setBufferSize(static_cast<qsizetype>(m_rate) * m_frameBytes * kDeviceBufferMs / 1000);
        m_sink->start(&m_queue);
        if (m_sink->error() == QAudio::OpenError || m_sink->state() == QAudio::StoppedState)
            acmCheck<AudioOutError>(AcmResult::NotEnabled, QLatin1String(kOpenCaption));
        m_still.start();
    }

    ~SystemOutputSink() override {
        // Reset drops what the device holds, so the sound ends now and not when the buffer has drained.
        m_sink->reset();
        m_sink->stop();
        m_queue.clear();
    }

    void write(const char* data, qint64 count) override {
        m_queue.append(data, count);
        m_written += count;
    }

    // The server starts a stream only once it holds a buffer's worth, so the end of a short stream (or
    // of one that ran dry) is followed by a buffer of silence. The silence is not counted as written.
    void drain() override {
        if (m_written == m_drainedAt)
            return;
        m_drainedAt = m_written;
        const qsizetype bytes =
            std::max<qsizetype>(m_sink->bufferSize(), m_rate * m_frameBytes * kDeviceBufferMs / 1000);
        const QByteArray silence(bytes / m_frameBytes * m_frameBytes, m_silence);
        m_queue.append(silence.constData(), silence.size());
    }

    qint64 playedBytes() override {
        const qint64 usecs = m_sink->processedUSecs();
        if (usecs != m_lastUsecs) {
            m_lastUsecs = usecs;
            m_still.restart();
        }
        // The device counts time; whole frames of it are whole frames heard.
        const auto frames = static_cast<qint64>(std::llround(static_cast<double>(usecs) * m_rate / 1e6));
        qint64 played = std::min(frames * m_frameBytes, m_written);
        if (m_queue.bytesAvailable() == 0 && m_sink->state() == QAudio::IdleState &&
            m_still.elapsed() >= kDrainedAfterMs)
            played = m_written;
        return played;
    }

    void suspend() override { m_sink->suspend(); }
    void resume() override { m_sink->resume(); }
    void setVolume(double volume) override { m_sink->setVolume(std::clamp(volume, 0.0, 1.0)); }
    bool failed() override { return m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError; }

private:
    ByteQueue m_queue;
    std::unique_ptr<QAudioSink> m_sink;
    qint64 m_written = 0;
    qint64 m_drainedAt = 0;
    char m_silence = 0;
    qint64 m_lastUsecs = -1;
    QElapsedTimer m_still;
    uint32_t m_rate = 8000;
    int m_frameBytes = 1;
};

} // namespace

std::unique_ptr<OutputSink> openSystemSink(const WaveFormat& format, const QAudioDevice& device) {
    return std::make_unique<SystemOutputSink>(format, device);
}
