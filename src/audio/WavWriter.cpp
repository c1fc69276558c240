// The RIFF/WAVE writer and the repair of a file left without sizes.
#include "audio/WavWriter.h"

#include "audio/AudioErrors.h"

#include <QtEndian>

namespace {
constexpr qint64 kChunkHeaderBytes = 8;
constexpr qint64 kRiffHeaderBytes = 12;

QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
} // namespace

WavWriter::~WavWriter() {
    if (m_written <= 0)
        return;
    try {
        finish();
    } catch (...) {
        // The caller closes the file; a failing patch cannot be reported from a destructor.
    }
}

int WavWriter::fmtSize(const WaveFormat& format) {
    return format.formatTag() == wavetag::Pcm ? WaveFormat::kPcmHeaderSize
                                              : WaveFormat::kHeaderSize + format.extraSize();
}

void WavWriter::writeHeader() {
    const int fmtBytes = fmtSize(m_format);
    QByteArray header;
    header += "RIFF";
    header += le32(0);
    header += "WAVE";
    header += "fmt ";
    header += le32(static_cast<quint32>(fmtBytes));
    header += QByteArray(reinterpret_cast<const char*>(m_format.raw()), fmtBytes);
    writeRaw(header.constData(), header.size());
    m_dataPosition = m_stream.pos();
    writeRaw("data", 4);
    writeRaw(le32(0).constData(), 4);
}

void WavWriter::writeSize(qint64 position, qint64 value) {
    if (!m_stream.seek(position))
        throw StreamWriteError();
    writeRaw(le32(static_cast<quint32>(value)).constData(), 4);
}

void WavWriter::finish() {
    const qint64 end = m_stream.pos();
    writeSize(m_start + 4, end - (m_start + kChunkHeaderBytes));
    writeSize(m_dataPosition + 4, end - (m_dataPosition + kChunkHeaderBytes));
    m_stream.seek(end);
}

qint64 WavWriter::repairHeader(QIODevice& stream) {
    const qint64 fileSize = stream.size();
    if (!stream.seek(0))
        return -1;
    const QByteArray riff = stream.read(kRiffHeaderBytes);
    if (riff.size() < kRiffHeaderBytes || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return -1;
    bool fmtSeen = false;
    qint64 position = kRiffHeaderBytes;
    while (position + kChunkHeaderBytes <= fileSize) {
        stream.seek(position);
        const QByteArray header = stream.read(kChunkHeaderBytes);
        if (header.size() < kChunkHeaderBytes)
            return -1;
        const QByteArray id = header.left(4).toUpper();
        const qint64 size = qFromLittleEndian<quint32>(header.constData() + 4);
        const qint64 body = position + kChunkHeaderBytes;
        if (id == "DATA") {
            if (!fmtSeen)
                return -1;
            qint64 dataSize = size;
            if (size == 0 || body + size > fileSize)
                dataSize = fileSize - body;
            stream.seek(position + 4);
            if (stream.write(le32(static_cast<quint32>(dataSize))) != 4)
                return -1;
            stream.seek(4);
            if (stream.write(le32(static_cast<quint32>(body + dataSize - kChunkHeaderBytes))) != 4)
                return -1;
            return dataSize;
        }
        fmtSeen = fmtSeen || id == "FMT ";
        position = body + size;
    }
    return -1;
}
