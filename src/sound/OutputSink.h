// The sound device under the wave output: a stream of bytes in one PCM format, and how much of it was heard.
#pragma once

#include "audio/WaveFormat.h"

#include <QAudioDevice>
#include <functional>
#include <memory>

/// One open stream to an output device. Everything written is played in order; `stop` silences it at
/// once and drops what is still queued. The wave output runs on this seam so that its buffer rules can
/// be tested without a sound server.
class OutputSink {
public:
    virtual ~OutputSink() = default;

    /// Bytes are queued behind what was written before and play as soon as the device can take them.
    virtual void write(const char* data, qint64 count) = 0;
    /// Bytes of what was written that have been played (heard) so far.
    virtual qint64 playedBytes() = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    /// Linear gain, 0 to 1.
    virtual void setVolume(double volume) = 0;
    /// Nothing more follows for now: what was written must be heard even if it is too little for the
    /// device to start on by itself.
    virtual void drain() {}
    /// The device went away while playing (unplugged, the sound server ended): nothing more will be heard.
    virtual bool failed() { return false; }
};

/// Opens a sink on a device for a format, or raises AudioOutError with the caption "Error opening audio
/// device for output." and the text of the failure.
using OutputSinkFactory = std::function<std::unique_ptr<OutputSink>(const WaveFormat&, const QAudioDevice&)>;

/// The real device: Qt Multimedia's sink (PulseAudio or PipeWire here, WASAPI on Windows).
std::unique_ptr<OutputSink> openSystemSink(const WaveFormat& format, const QAudioDevice& device);
