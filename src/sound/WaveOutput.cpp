// Pre-buffering, writing and reporting of the wave output's buffers.
#include "sound/WaveOutput.h"

#include "audio/AudioErrors.h"
#include "sound/OutputDevices.h"

#include <QPointer>
#include <cstring>

namespace {
/// How often the device's position is read while buffers are queued.
constexpr int kPollMs = 20;
} // namespace

WaveOutput::WaveOutput(QObject* parent) : QObject(parent), m_factory(openSystemSink) {
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &WaveOutput::checkPlayed);
}

WaveOutput::~WaveOutput() {
    try {
        close();
    } catch (...) {
    }
}

void WaveOutput::setOutputDevices(OutputDevices* devices) {
    if (m_devices)
        disconnect(m_devices, nullptr, this, nullptr);
    m_devices = devices;
    if (m_devices)
        connect(m_devices, &OutputDevices::volumeChanged, this, [this](const QByteArray& id) {
            if (m_active && id == m_openedId)
                applyVolume();
        });
}

void WaveOutput::open() {
    if (m_active)
        return;
    m_pool.clear();
    m_queuedCount = 0;
    m_preBuffer = m_bufferCount;
    m_writtenBytes = 0;
    m_reportedBytes = 0;
    m_paused = false;
    QAudioDevice device = m_device;
    if (device.isNull() && m_devices)
        device = m_devices->playbackDevice();
    m_sink = m_factory(m_format, device);
    m_openedId = device.id();
    ++m_session;
    m_active = true;
    applyVolume();
}

void WaveOutput::applyVolume() {
    if (m_sink && m_devices)
        m_sink->setVolume(m_devices->volumeOf(m_openedId));
}

void WaveOutput::close() {
    if (!m_active)
        return;
    ++m_session;
    m_active = false;
    m_paused = false;
    m_poll.stop();
    // The sink goes first: its end silences the device before the buffers are dropped.
    m_sink.reset();
    m_held.clear();
    while (!m_queued.empty())
        m_queued.pop_back();
    m_queuedCount = 0;
    m_pool.clear();
}

void WaveOutput::play(const void* data, qint64 count) {
    if (!m_active)
        throw AudioIOError(QStringLiteral("Cannot perform this action while not active."));
    if (count <= 0)
        return;
    if (m_preBuffer == 0 && m_maximumBuffers != 0 && m_queuedCount >= m_maximumBuffers)
        return;
    Buffer buffer;
    buffer.block = m_pool.take(static_cast<size_t>(count));
    std::memcpy(buffer.block.data.get(), data, static_cast<size_t>(count));
    buffer.length = count;
    if (m_preBuffer > 0) {
        m_held.push_back(std::move(buffer));
        --m_preBuffer;
        return;
    }
    writeHeld();
    write(std::move(buffer));
}

void WaveOutput::writeHeld() {
    m_preBuffer = 0;
    std::vector<Buffer> held;
    held.swap(m_held);
    for (Buffer& buffer : held)
        write(std::move(buffer));
}

void WaveOutput::startHeld() {
    if (!m_active)
        return;
    writeHeld();
    m_sink->drain();
}

void WaveOutput::write(Buffer buffer) {
    m_sink->write(buffer.block.data.get(), buffer.length);
    m_writtenBytes += buffer.length;
    buffer.end = m_writtenBytes;
    m_queued.push_back(std::move(buffer));
    ++m_queuedCount;
    updateTimer();
}

void WaveOutput::pause() {
    if (!m_active || m_paused)
        return;
    m_paused = true;
    m_sink->suspend();
    updateTimer();
}

void WaveOutput::restart() {
    if (!m_active || !m_paused)
        return;
    m_paused = false;
    m_sink->resume();
    updateTimer();
}

qint64 WaveOutput::devicePlayedBytes() const {
    return m_sink ? m_sink->playedBytes() : 0;
}

void WaveOutput::updateTimer() {
    const bool run = m_active && !m_paused && !m_queued.empty();
    if (run && !m_poll.isActive())
        m_poll.start();
    else if (!run)
        m_poll.stop();
}

void WaveOutput::checkPlayed() {
    if (!m_active)
        return;
    if (m_sink->failed()) {
        close();
        Q_EMIT playFailed(acmErrorText(AcmResult::NotEnabled, QStringLiteral("Error playing buffer.")));
        return;
    }
    const qint64 played = m_sink->playedBytes();
    const quint64 session = m_session;
    QPointer<WaveOutput> self(this);
    while (self && m_session == session && !m_queued.empty() && m_queued.front().end <= played) {
        Buffer buffer = std::move(m_queued.front());
        m_queued.pop_front();
        m_reportedBytes = buffer.end;
        Q_EMIT audioPlayed(QByteArray::fromRawData(buffer.block.data.get(), buffer.length));
        // A handler that closed (or reopened) the output has dropped this buffer with the rest.
        if (!self || m_session != session)
            return;
        m_pool.giveBack(std::move(buffer.block));
        m_queuedCount = std::max(0, m_queuedCount - 1);
    }
    if (self)
        updateTimer();
}
