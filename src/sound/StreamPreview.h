// The post-processing preview: plays working-format audio straight from a stream through the wave output.
#pragma once

#include "sound/WaveOutput.h"

#include <QIODevice>
#include <QObject>
#include <QPointer>

/// playStream hands the wave output five blocks of up to 2048 bytes (filling its pre-buffer, which
/// starts the sound) and one more each time a block has been heard; after the last block it closes
/// the output. A stream too short to fill the pre-buffer is played all the same.
class StreamPreview : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kBlockBytes = 2048;

    explicit StreamPreview(QObject* parent = nullptr);

    /// The program's one preview output: bufferCount 4, the working format.
    WaveOutput AudioOut;

    /// Plays `stream` from its start; the stream must stay open until the preview ends. An output
    /// already open stays open. AudioOutError when the device cannot be opened or take a buffer.
    void playStream(QIODevice& stream);
    void stopPlaying();
    bool active() const { return AudioOut.active(); }

Q_SIGNALS:
    /// The device refused a buffer while playing; the preview has stopped. `text` is the error's.
    void playFailed(const QString& text);

private:
    void playNext();
    bool playBlock();

    QPointer<QIODevice> m_stream;
};
