// A WAV file of any stored format read as PCM for playback, from any frame, a block at a time.
#pragma once

#include "audio/AudioConverter.h"
#include "audio/WavReader.h"
#include "audio/WaveFormat.h"

#include <QByteArray>
#include <QFile>
#include <memory>

/// Decodes only as far as it is read, so a long recording starts as fast as a short one. The PCM
/// format keeps the file's rate and channels (16-bit, or 8-bit for 8-bit PCM files).
class PlaybackSource {
public:
    /// Opens the file and its conversion. FileOpenError when the file cannot be opened; AudioError when it
    /// is not a WAV file or cannot be decoded.
    explicit PlaybackSource(const QString& fileName);
    ~PlaybackSource();
    PlaybackSource(const PlaybackSource&) = delete;
    PlaybackSource& operator=(const PlaybackSource&) = delete;

    const WaveFormat& fileFormat() const { return m_fileFormat; }
    const WaveFormat& pcmFormat() const { return m_pcmFormat; }
    /// Frames of the whole recording (whole codec blocks of the data the file holds).
    qint64 frames() const { return m_frames; }
    /// Frames of one codec block.
    qint64 framesPerBlock() const { return m_framesPerBlock; }

    /// The next reads start at `frame` (clamped to the recording): the codec restarts at the block
    /// holding it and the frames before it in that block are dropped.
    void seekFrame(qint64 frame);
    /// Up to `bytes` of PCM (whole frames); empty at the end.
    QByteArray read(qint64 bytes);
    bool atEnd() const { return m_pending.isEmpty() && m_fileDone; }

    /// Frames of a file's data: whole blocks for block codecs, an estimate from the byte rate otherwise.
    static qint64 framesOf(const WaveFormat& format, qint64 dataBytes, qint64* framesPerBlock = nullptr);

private:
    void decodeMore();

    QFile m_file;
    std::unique_ptr<WavReader> m_reader;
    AudioConverter m_converter;
    WaveFormat m_fileFormat;
    WaveFormat m_pcmFormat;
    qint64 m_dataBytes = 0;
    qint64 m_frames = 0;
    qint64 m_framesPerBlock = 1;
    qint64 m_readChunk = 0;
    QByteArray m_pending;
    qint64 m_skipBytes = 0;
    bool m_fileDone = false;
};
