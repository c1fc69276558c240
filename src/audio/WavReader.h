// The RIFF/WAVE reader: one item, the fmt chunk's format and the data chunk's bytes; other chunks skipped.
#pragma once

#include "audio/AudioFileStreams.h"

class WavReader : public AudioFileReader {
public:
    /// Parses the file from the stream's current position; AudioReadError "Invalid file format."
    /// when it is not a RIFF/WAVE file with a fmt and a data chunk.
    explicit WavReader(QIODevice& stream);

    int itemCount() override { return 1; }
    /// The size in the data chunk's header (it may promise more than the file holds).
    qint64 itemSize(int item) override;
    void seekItem(int item) override;
    qint64 readItem(int item, void* buffer, qint64 count) override;

    /// After seekItem(0): reads on from the current position, never past the data chunk; returns the
    /// bytes read (0 at its end). For reading a long file in blocks.
    qint64 readNext(void* buffer, qint64 count);
    /// The next readNext starts `offset` bytes into the data chunk (clamped to it).
    void seekData(qint64 offset);

    qint64 dataPosition() const { return m_dataPosition; }

private:
    qint64 m_dataPosition = 0;
    qint64 m_dataSize = 0;
    qint64 m_readPosition = 0;
};
