// The base classes of the audio file readers and writers: a held format on a caller's file stream.
#pragma once

#include "audio/WaveFormat.h"

#include <QIODevice>

/// Holds one format and the caller's file stream; the stream is neither opened nor closed here.
class AudioFileStream {
public:
    explicit AudioFileStream(QIODevice& stream) : m_stream(stream) {}
    virtual ~AudioFileStream() = default;
    AudioFileStream(const AudioFileStream&) = delete;
    AudioFileStream& operator=(const AudioFileStream&) = delete;

    virtual void setFormat(const WaveFormat& format) { m_format.assign(format); }
    virtual WaveFormat& format() { return m_format; }

protected:
    QIODevice& m_stream;
    WaveFormat m_format;
};

/// Counts the data bytes written and calls the header hooks around the first write.
class AudioFileWriter : public AudioFileStream {
public:
    /// The start position is the stream's position now.
    explicit AudioFileWriter(QIODevice& stream) : AudioFileStream(stream), m_start(stream.pos()) {}

    /// Writes the bytes at the stream's position; the header goes first on the first write.
    /// StreamWriteError when the stream refuses them.
    void write(const void* buffer, qint64 count);
    qint64 writtenBytes() const { return m_written; }
    qint64 startPosition() const { return m_start; }

    virtual void finish() {}

protected:
    virtual void afterFirstWrite() {}
    virtual void writeHeader() {}
    virtual void writeData(const void* buffer, qint64 count) = 0;
    /// Writes all bytes or raises StreamWriteError.
    void writeRaw(const void* buffer, qint64 count);

    qint64 m_written = 0;
    qint64 m_start;
};

/// Presents a file as items, each with a format and a block of audio data.
class AudioFileReader : public AudioFileStream {
public:
    explicit AudioFileReader(QIODevice& stream) : AudioFileStream(stream) {}

    WaveFormat& format() override { return itemFormat(m_item); }
    virtual int itemCount() = 0;
    virtual WaveFormat& itemFormat(int item) {
        (void)item;
        return m_format;
    }
    virtual qint64 itemSize(int item) = 0;
    virtual void seekItem(int item) = 0;
    /// Reads the smaller of `count` and the item's size from the start of its data; returns the
    /// bytes read (fewer at a truncated file).
    virtual qint64 readItem(int item, void* buffer, qint64 count) = 0;
    void lastItem();
    void nextItem();
    bool atEnd() const { return m_end; }
    int currentItem() const { return m_item; }

protected:
    int m_item = 0;
    bool m_end = false;
};
