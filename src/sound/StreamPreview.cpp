// Feeding the preview from its stream, one block per block heard.
#include "sound/StreamPreview.h"

#include "audio/AudioErrors.h"

StreamPreview::StreamPreview(QObject* parent) : QObject(parent) {
    AudioOut.setBufferCount(WaveOutput::kDefaultBufferCount);
    AudioOut.setFormat(WaveFormat::workingFormat());
    connect(&AudioOut, &WaveOutput::audioPlayed, this, &StreamPreview::playNext);
    connect(&AudioOut, &WaveOutput::playFailed, this, &StreamPreview::playFailed);
}

void StreamPreview::playStream(QIODevice& stream) {
    AudioOut.open();
    m_stream = &stream;
    stream.seek(0);
    bool any = false;
    for (int i = 0; i <= AudioOut.bufferCount(); ++i)
        any = playBlock() || any;
    if (m_stream && m_stream->pos() >= m_stream->size()) {
        // The whole stream fits in the pre-buffer: start it now rather than never.
        AudioOut.startHeld();
        if (!any && AudioOut.queuedCount() == 0)
            AudioOut.close();
    }
}

bool StreamPreview::playBlock() {
    if (!m_stream || m_stream->pos() >= m_stream->size())
        return false;
    char block[kBlockBytes];
    const qint64 got = m_stream->read(block, kBlockBytes);
    if (got <= 0)
        return false;
    AudioOut.play(block, got);
    return true;
}

void StreamPreview::playNext() {
    try {
        if (m_stream && m_stream->pos() < m_stream->size())
            playBlock();
        else if (AudioOut.queuedCount() <= 1)
            AudioOut.close();
    } catch (const AudioError& e) {
        AudioOut.close();
        Q_EMIT playFailed(e.text());
    }
}

void StreamPreview::stopPlaying() {
    AudioOut.close();
}
