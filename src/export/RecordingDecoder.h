// Reads a stored recording, whatever its compression, as mono 16-bit samples.
#pragma once

#include "audio/WavReader.h"
#include "audio/WaveFormat.h"

#include <QFile>
#include <cstdint>
#include <memory>
#include <vector>

class AudioConverter;

/// The codec service decodes the WAV file's data block by block into PCM of the file's own rate;
/// several channels are mixed down to one. Memory stays constant whatever the file's length.
///
///     RecordingDecoder decoder(path);
///     for (std::vector<int16_t> block; decoder.next(block);)
///         encoder.write(block);
class RecordingDecoder {
public:
    /// ExportError "Cannot read <path>: <why>" when the file is missing, is no WAV file, or holds
    /// a format the codec service cannot decode.
    explicit RecordingDecoder(const QString& path);
    ~RecordingDecoder();

    int sampleRate() const { return static_cast<int>(m_source.samplesPerSec()); }
    /// Replaces `samples` with the next block; false at the end of the sound.
    bool next(std::vector<int16_t>& samples);

private:
    void fail(const QString& why) const;
    void mixDown(const char* data, qint64 size, std::vector<int16_t>& samples) const;

    QString m_path;
    QFile m_file;
    std::unique_ptr<WavReader> m_reader;
    WaveFormat m_source;
    WaveFormat m_pcm;
    std::unique_ptr<AudioConverter> m_converter;
    std::vector<char> m_block;
    QByteArray m_decoded;
};
