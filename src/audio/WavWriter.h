// The RIFF/WAVE writer: "RIFF", "WAVE", a fmt chunk, a data chunk, sizes patched when finished.
#pragma once

#include "audio/AudioFileStreams.h"

class WavWriter : public AudioFileWriter {
public:
    explicit WavWriter(QIODevice& stream) : AudioFileWriter(stream) {}
    /// Patches the sizes when at least one byte was written; stream errors are ignored here.
    ~WavWriter() override;

    /// Writes both sizes from the current position and returns to it.
    void finish() override;

    /// The fmt chunk's size for a format: 16 for PCM, else 18 + extra size.
    static int fmtSize(const WaveFormat& format);

    /// Completes the sizes of a RIFF file whose writer never finished (a crash, a power cut): the
    /// data chunk then runs to the end of the file. Returns the data size, or -1 when the file holds no
    /// RIFF/WAVE header with a fmt and a data chunk. The stream must be open for reading and writing.
    static qint64 repairHeader(QIODevice& stream);

protected:
    void writeHeader() override;
    void writeData(const void* buffer, qint64 count) override { writeRaw(buffer, count); }

private:
    void writeSize(qint64 position, qint64 value);
    qint64 m_dataPosition = 0;
};
