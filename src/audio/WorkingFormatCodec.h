// The hidden audio form: decodes WAV files into the working format and encodes them back.
#pragma once

#include "audio/AudioConverter.h"

#include <QIODevice>
#include <QObject>

class Prompter;

class WorkingFormatCodec : public QObject {
    Q_OBJECT
public:
    explicit WorkingFormatCodec(Prompter& prompter, QObject* parent = nullptr);

    /// Decodes a WAV file into the working format, appending to `memory` (for the playback trace).
    /// A file that cannot be opened raises FileOpenError; any later failure shows "Error was created
    /// during pcm conversion" and returns false.
    bool decodeToMemory(const QString& fileName, QIODevice& memory);
    /// The same through m_encodeConverter, whose formats encodeToFile then reverses.
    bool decodeToStream(const QString& fileName, QIODevice& stream);
    /// Re-encodes the whole working-format `stream` into `fileName` in the format the last
    /// decodeToStream read. FileOpenError when the file cannot be created; false (no message) on any
    /// other failure.
    bool encodeToFile(const QString& fileName, QIODevice& stream);

    AudioConverter m_decodeConverter;
    AudioConverter m_encodeConverter;
    AudioConverter Converter;

    /// Bytes read and converted per call when decoding; the whole data chunk would need three times
    /// its size in the first stage.
    static constexpr qint64 kDecodeBlockBytes = 64 * 1024;
    static constexpr qint64 kEncodeBlockBytes = 2048;

private:
    bool decode(AudioConverter& converter, const QString& fileName, QIODevice& target);

    Prompter& m_prompter;
};
