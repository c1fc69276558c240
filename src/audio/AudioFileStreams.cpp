// The writer's first-write protocol and the reader's item navigation.
#include "audio/AudioFileStreams.h"

#include "audio/AudioErrors.h"

void AudioFileWriter::write(const void* buffer, qint64 count) {
    // An empty write would put out the header without counting a byte, and the next write a second header.
    if (count <= 0)
        return;
    const bool first = m_written == 0;
    if (first)
        writeHeader();
    writeData(buffer, count);
    m_written += count;
    if (first)
        afterFirstWrite();
}

void AudioFileWriter::writeRaw(const void* buffer, qint64 count) {
    if (count > 0 && m_stream.write(static_cast<const char*>(buffer), count) != count)
        throw StreamWriteError();
}

void AudioFileReader::lastItem() {
    m_item = itemCount() - 1;
    seekItem(m_item);
    m_end = true;
}

void AudioFileReader::nextItem() {
    if (m_item + 1 >= itemCount()) {
        m_end = true;
        return;
    }
    ++m_item;
    seekItem(m_item);
}
