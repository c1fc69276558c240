// Where the post-processing windows play their work file.
#pragma once

#include <QByteArray>
#include <QObject>

/// The wave output as the preview sees it (playStream and stopPlaying of the audio operations). The
/// windowed program implements it over its wave output; tests use a fake.
class PreviewOutput : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// Plays working-format samples (PCM 8 kHz 8-bit mono) from their start. Raises the output's
    /// errors (std::exception with the text to show) when the device cannot play.
    virtual void play(const QByteArray& samples) = 0;
    /// Stops at once and drops what is queued; nothing happens when nothing plays.
    virtual void stop() = 0;
    /// True from play() until the last sample has been played or stop() was called.
    virtual bool active() const = 0;

Q_SIGNALS:
    /// Playing ended, at the end of the samples or by stop().
    void finished();
    /// The device failed while playing (`text` says why); `finished` follows.
    void failed(const QString& text);
};
