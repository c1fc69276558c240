// A recording of any stored format as a PCM WAV file that is decoded only where it is read.
#pragma once

#include "audio/PlaybackSource.h"

#include <QByteArray>
#include <QString>
#include <memory>

/// The bytes of a PCM WAV (a 44-byte header, then the decoded samples) read from any offset: a read
/// past the header seeks the decoder to the frame there, so a seek in a one-hour recording costs one
/// codec block, not the hour before it.
class DecodedWav {
public:
    static constexpr qint64 kHeaderBytes = 44;

    /// Opens the recording; throws the audio errors of PlaybackSource.
    explicit DecodedWav(const QString& fileName);
    ~DecodedWav();

    qint64 size() const { return kHeaderBytes + m_dataBytes; }
    qint64 durationMs() const;
    /// Reading starts at byte `offset` of the WAV.
    void seek(qint64 offset);
    /// Up to `max` bytes from the position; empty at the end.
    QByteArray read(qint64 max);

    /// The 44-byte header of a PCM WAV of `format` holding `dataBytes` of samples.
    static QByteArray header(const WaveFormat& format, qint64 dataBytes);

private:
    std::unique_ptr<PlaybackSource> m_source;
    qint64 m_dataBytes = 0;
    qint64 m_position = 0;
    qint64 m_skip = 0; ///< bytes of the first frame read after a seek that lie before the position
    QByteArray m_header;
};
