// The RIFF/WAVE reader's acceptance rules: exact "RIFF" and "WAVE", chunk identifiers in any case,
// chunk sizes used as they are (no pad byte), a fmt chunk of at most 128 bytes.
#include "audio/WavReader.h"

#include "audio/AudioErrors.h"

#include <QtEndian>
#include <algorithm>

namespace {
constexpr qint64 kChunkHeaderBytes = 8;

[[noreturn]] void reject() {
    throw AudioReadError(QStringLiteral("Invalid file format."));
}
} // namespace

WavReader::WavReader(QIODevice& stream) : AudioFileReader(stream) {
    const QByteArray riff = m_stream.read(kChunkHeaderBytes);
    if (riff.size() < kChunkHeaderBytes || !riff.startsWith("RIFF") ||
        qFromLittleEndian<quint32>(riff.constData() + 4) == 0)
        reject();
    if (m_stream.read(4) != "WAVE")
        reject();
    const qint64 fileSize = m_stream.size();
    bool formatSeen = false;
    bool dataSeen = false;
    while (m_stream.pos() < fileSize && !(formatSeen && dataSeen)) {
        const QByteArray header = m_stream.read(kChunkHeaderBytes);
        if (header.size() < kChunkHeaderBytes)
            break;
        const QByteArray id = header.left(4).toUpper();
        const qint64 size = qFromLittleEndian<quint32>(header.constData() + 4);
        const qint64 body = m_stream.pos();
        if (id == "FMT ") {
            if (size > WaveFormat::kBufferSize)
                reject();
            m_format.setDefaults();
            const QByteArray bytes = m_stream.read(size);
            std::copy(bytes.begin(), bytes.end(), m_format.raw());
            formatSeen = true;
        } else if (id == "DATA") {
            m_dataPosition = body;
            m_dataSize = size;
            dataSeen = true;
        }
        if (!m_stream.seek(body + size))
            break;
    }
    if (!formatSeen || !dataSeen)
        reject();
    seekItem(0);
}

qint64 WavReader::itemSize(int item) {
    (void)item;
    return m_dataSize;
}

void WavReader::seekItem(int item) {
    (void)item;
    m_stream.seek(m_dataPosition);
    m_readPosition = 0;
}

qint64 WavReader::readItem(int item, void* buffer, qint64 count) {
    seekItem(item);
    return readNext(buffer, count);
}

qint64 WavReader::readNext(void* buffer, qint64 count) {
    const qint64 wanted = std::min(count, m_dataSize - m_readPosition);
    if (wanted <= 0)
        return 0;
    const qint64 got = m_stream.read(static_cast<char*>(buffer), wanted);
    if (got <= 0)
        return 0;
    m_readPosition += got;
    return got;
}

void WavReader::seekData(qint64 offset) {
    offset = std::clamp<qint64>(offset, 0, m_dataSize);
    m_stream.seek(m_dataPosition + offset);
    m_readPosition = offset;
}
