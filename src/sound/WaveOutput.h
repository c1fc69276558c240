// The wave output: queues buffers of one PCM format to an output device and reports each one played.
#pragma once

#include "audio/WaveFormat.h"
#include "sound/AudioBlockPool.h"
#include "sound/OutputSink.h"

#include <QAudioDevice>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

class OutputDevices;

/// Open, then Play buffers; the device starts only when bufferCount + 1 buffers have been handed
/// over (the first bufferCount are held back), and from then on every buffer is written at once.
/// Each buffer that has been heard is reported with audioPlayed, in order, on the thread that owns
/// the output. Close silences the device at once and drops whatever is still queued.
///
///     WaveOutput out;
///     out.setFormat(WaveFormat::workingFormat());
///     out.open();                     // AudioOutError on failure
///     out.play(block, 2048);          // held until the fifth buffer
///     connect(&out, &WaveOutput::audioPlayed, ...);
class WaveOutput : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultBufferCount = 4;

    explicit WaveOutput(QObject* parent = nullptr);
    ~WaveOutput() override;

    const WaveFormat& format() const { return m_format; }
    /// Takes effect at the next Open.
    void setFormat(const WaveFormat& format) { m_format.assign(format); }
    int bufferCount() const { return m_bufferCount; }
    void setBufferCount(int count) { m_bufferCount = std::clamp(count, 0, 255); }
    /// 0: no limit. Past the pre-buffer, data beyond this many queued buffers is dropped.
    int maximumBuffers() const { return m_maximumBuffers; }
    void setMaximumBuffers(int count) { m_maximumBuffers = std::max(count, 0); }

    /// The device to open; a null device means the output devices' playback device, or the system's
    /// default output when no device list is set.
    void setDevice(const QAudioDevice& device) { m_device = device; }
    /// The list whose volume for the opened device applies to this output, now and when it changes.
    void setOutputDevices(OutputDevices* devices);
    /// Tests open a scripted sink instead of the system's.
    void setSinkFactory(OutputSinkFactory factory) { m_factory = std::move(factory); }

    bool active() const { return m_active; }
    /// Opens the device with Format; nothing happens when open. AudioOutError on failure.
    void open();
    /// Stops the device and drops all queued audio; nothing happens when closed.
    void close();
    /// Copies the bytes into a buffer and queues it (see the class comment). A count of 0 does nothing.
    /// AudioIOError "Cannot perform this action while not active." when closed.
    void play(const void* data, qint64 count);
    /// The stream ends here (for now): writes the buffers the pre-buffer still holds and has the device
    /// play everything written, however little. A stream that ends before the pre-buffer is full is
    /// heard all the same.
    void startHeld();
    /// Pause and restart of the device; queued buffers stay.
    void pause();
    void restart();
    bool paused() const { return m_paused; }

    /// Buffers written to the device and not yet reported (during audioPlayed it still counts the
    /// buffer being reported).
    int queuedCount() const { return m_queuedCount; }
    int heldCount() const { return static_cast<int>(m_held.size()); }
    /// Bytes heard since Open.
    qint64 playedBytes() const { return m_reportedBytes; }
    /// Bytes of the session heard so far, read from the device now.
    qint64 devicePlayedBytes() const;

    const AudioBlockPool& pool() const { return m_pool; }

    /// Checks the device for buffers heard since the last check and reports them. Runs on a timer
    /// while buffers are queued; tests with a scripted sink call it directly.
    void checkPlayed();

Q_SIGNALS:
    /// A buffer has been heard; `data` is valid only during the signal.
    void audioPlayed(const QByteArray& data);
    /// The device failed while playing; the output has closed. `text` is "Error playing buffer." and why.
    void playFailed(const QString& text);

private:
    struct Buffer {
        AudioBlock block;
        qint64 length = 0;
        qint64 end = 0; ///< bytes written in the session up to and including this buffer
    };
    void writeHeld();
    void write(Buffer buffer);
    void applyVolume();
    void updateTimer();

    WaveFormat m_format = WaveFormat::workingFormat();
    int m_bufferCount = kDefaultBufferCount;
    int m_maximumBuffers = 0;
    QAudioDevice m_device;
    QByteArray m_openedId;
    OutputDevices* m_devices = nullptr;
    OutputSinkFactory m_factory;

    bool m_active = false;
    bool m_paused = false;
    int m_preBuffer = 0;
    int m_queuedCount = 0;
    quint64 m_session = 0;
    qint64 m_writtenBytes = 0;
    qint64 m_reportedBytes = 0;
    std::unique_ptr<OutputSink> m_sink;
    std::vector<Buffer> m_held;
    std::deque<Buffer> m_queued;
    AudioBlockPool m_pool;
    QTimer m_poll;
};
