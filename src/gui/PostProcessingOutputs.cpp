// The preview keeps its own copy of the samples: the stream must stay readable until it has played.
#include "gui/PostProcessingOutputs.h"

#include "recorder/gui/SignalTrace.h"
#include "sound/OutputDevices.h"

WavePreviewOutput::WavePreviewOutput(OutputDevices* devices, QObject* parent) : PreviewOutput(parent) {
    // No device is fixed here: each preview opens the playback device as it is then (a headset
    // plugged in since the start, or the start's device gone), with that device's volume.
    if (devices)
        m_preview.AudioOut.setOutputDevices(devices);
    connect(&m_preview, &StreamPreview::playFailed, this, [this](const QString& text) {
        Q_EMIT failed(text);
        Q_EMIT finished();
    });
}

void WavePreviewOutput::play(const QByteArray& samples) {
    m_preview.stopPlaying();
    m_samples.close();
    m_samples.setData(samples);
    m_samples.open(QIODevice::ReadOnly);
    m_preview.playStream(m_samples);
}

void WavePreviewOutput::stop() {
    const bool was = m_preview.active();
    m_preview.stopPlaying();
    if (was)
        Q_EMIT finished();
}

bool WavePreviewOutput::active() const {
    return m_preview.active();
}

void TraceOverview::drawOverview(const QByteArray& samples) {
    m_trace.drawOverview(samples);
}

void TraceOverview::clearDisplay() {
    m_trace.clearDisplay();
}
