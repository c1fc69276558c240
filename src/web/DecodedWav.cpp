// The WAV header written here; the samples come from PlaybackSource.
#include "web/DecodedWav.h"

#include <QtEndian>

namespace {

void put32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void put16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray DecodedWav::header(const WaveFormat& format, qint64 dataBytes) {
    const quint32 data = quint32(qMin<qint64>(dataBytes, 0xFFFFFFFFLL - 36));
    QByteArray out;
    out.reserve(int(kHeaderBytes));
    out += "RIFF";
    put32(out, 36 + data);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, format.channels());
    put32(out, format.samplesPerSec());
    put32(out, format.avgBytesPerSec());
    put16(out, format.blockAlign());
    put16(out, format.bitsPerSample());
    out += "data";
    put32(out, data);
    return out;
}

DecodedWav::DecodedWav(const QString& fileName) : m_source(std::make_unique<PlaybackSource>(fileName)) {
    m_dataBytes = m_source->frames() * qMax<qint64>(1, m_source->pcmFormat().blockAlign());
    m_header = header(m_source->pcmFormat(), m_dataBytes);
}

DecodedWav::~DecodedWav() = default;

qint64 DecodedWav::durationMs() const {
    const qint64 rate = qMax<qint64>(1, m_source->pcmFormat().samplesPerSec());
    return m_source->frames() * 1000 / rate;
}

void DecodedWav::seek(qint64 offset) {
    m_position = qBound<qint64>(0, offset, size());
    const qint64 frameBytes = qMax<qint64>(1, m_source->pcmFormat().blockAlign());
    const qint64 inData = qMax<qint64>(0, m_position - kHeaderBytes);
    m_source->seekFrame(inData / frameBytes);
    m_skip = inData % frameBytes;
}

QByteArray DecodedWav::read(qint64 max) {
    QByteArray out;
    if (m_position < kHeaderBytes) {
        out = m_header.mid(m_position, qMin(max, kHeaderBytes - m_position));
        m_position += out.size();
        max -= out.size();
    }
    while (max > 0 && m_position < size()) {
        QByteArray samples = m_source->read(qMin(max + m_skip, size() - m_position + m_skip));
        if (samples.isEmpty()) {
            // The decoder gave fewer frames than the file promised: the rest is silence.
            const qint64 fill = qMin(max, size() - m_position);
            const char silence = m_source->pcmFormat().bitsPerSample() == 8 ? char(0x80) : char(0);
            out += QByteArray(fill, silence);
            m_position += fill;
            break;
        }
        if (m_skip > 0) {
            samples.remove(0, qMin<qint64>(m_skip, samples.size()));
            m_skip = 0;
        }
        samples.truncate(qMin<qint64>(samples.size(), max));
        out += samples;
        m_position += samples.size();
        max -= samples.size();
    }
    return out;
}
