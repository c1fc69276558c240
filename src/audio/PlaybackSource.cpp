// Reading a WAV file as PCM from any frame: codec blocks are decoded as they are asked for.
#include "audio/PlaybackSource.h"

#include "audio/AudioErrors.h"
#include "audio/codecs/Gsm610.h"
#include "audio/codecs/ImaAdpcm.h"
#include "audio/codecs/MsAdpcm.h"

#include <algorithm>
#include <vector>

namespace {
/// Codec blocks decoded per file read: a few tenths of a second for the usual formats.
constexpr qint64 kReadBlocksMin = 1;
constexpr qint64 kReadBytesGoal = 4096;
} // namespace

qint64 PlaybackSource::framesOf(const WaveFormat& format, qint64 dataBytes, qint64* framesPerBlock) {
    const qint64 align = format.blockAlign();
    const int channels = std::max<int>(1, format.channels());
    qint64 perBlock = 0;
    switch (format.formatTag()) {
    case wavetag::Pcm:
    case wavetag::Alaw:
    case wavetag::Mulaw:
        perBlock = 1;
        break;
    case wavetag::ImaAdpcm:
        perBlock = ima::samplesPerBlock(static_cast<int>(align), channels);
        break;
    case wavetag::MsAdpcm:
        perBlock = msadpcm::samplesPerBlock(static_cast<int>(align), channels);
        break;
    case wavetag::Gsm610:
        perBlock = gsm610::kSamplesPerBlock;
        break;
    default:
        break;
    }
    if (framesPerBlock)
        *framesPerBlock = std::max<qint64>(perBlock, 1);
    if (perBlock > 0 && align > 0)
        return dataBytes / align * perBlock;
    if (format.avgBytesPerSec() == 0)
        return 0;
    return dataBytes * format.samplesPerSec() / format.avgBytesPerSec();
}

PlaybackSource::PlaybackSource(const QString& fileName) : m_file(fileName) {
    if (!m_file.open(QIODevice::ReadOnly))
        throw FileOpenError(fileName);
    m_reader = std::make_unique<WavReader>(m_file);
    m_fileFormat.assign(m_reader->format());
    const bool pcm8 = m_fileFormat.formatTag() == wavetag::Pcm && m_fileFormat.bitsPerSample() == 8;
    m_pcmFormat = WaveFormat::pcm(m_fileFormat.samplesPerSec(), pcm8 ? 8 : 16, m_fileFormat.channels());
    if (m_fileFormat.samplesPerSec() == 0 || m_fileFormat.channels() == 0 || m_fileFormat.blockAlign() == 0)
        throw AudioConversionError(QStringLiteral("Conversion not possible."));
    // What the file holds, not what its header promises: a recording cut short by a crash still plays.
    m_dataBytes = std::max<qint64>(0, std::min(m_reader->itemSize(0), m_file.size() - m_reader->dataPosition()));
    m_frames = framesOf(m_fileFormat, m_dataBytes, &m_framesPerBlock);
    const qint64 align = m_fileFormat.blockAlign();
    m_readChunk = std::max(kReadBlocksMin, kReadBytesGoal / align) * align;
    m_converter.setFormatIn(m_fileFormat);
    m_converter.setFormatOut(m_pcmFormat);
    QObject::connect(&m_converter, &AudioConverter::audioConverted,
                     [this](const QByteArray& data) { m_pending.append(data); });
    m_converter.open();
    seekFrame(0);
}

PlaybackSource::~PlaybackSource() {
    try {
        if (m_converter.active())
            m_converter.close();
    } catch (...) {
    }
}

void PlaybackSource::seekFrame(qint64 frame) {
    frame = std::clamp<qint64>(frame, 0, m_frames);
    const qint64 block = frame / m_framesPerBlock;
    const qint64 offset = std::min(block * m_fileFormat.blockAlign(), m_dataBytes);
    // A codec restarted at a block boundary decodes exactly what a pass from the start would there
    // (ADPCM blocks carry their own state; GSM settles within a few milliseconds).
    if (m_converter.active())
        m_converter.close();
    m_converter.open();
    m_pending.clear();
    m_reader->seekData(offset);
    m_fileDone = offset >= m_dataBytes;
    m_skipBytes = (frame - block * m_framesPerBlock) * m_pcmFormat.blockAlign();
}

void PlaybackSource::decodeMore() {
    std::vector<char> buffer(static_cast<size_t>(m_readChunk));
    while (m_pending.isEmpty() && !m_fileDone) {
        const qint64 got = m_reader->readNext(buffer.data(), m_readChunk);
        if (got <= 0) {
            m_fileDone = true;
            break;
        }
        m_converter.convert(buffer.data(), got);
        if (m_skipBytes > 0) {
            const qint64 drop = std::min<qint64>(m_skipBytes, m_pending.size());
            m_pending.remove(0, drop);
            m_skipBytes -= drop;
        }
    }
}

QByteArray PlaybackSource::read(qint64 bytes) {
    const qint64 frame = m_pcmFormat.blockAlign();
    bytes = bytes / frame * frame;
    QByteArray out;
    while (out.size() < bytes) {
        if (m_pending.isEmpty())
            decodeMore();
        if (m_pending.isEmpty())
            break;
        const qint64 take = std::min<qint64>(bytes - out.size(), m_pending.size());
        out.append(m_pending.constData(), take);
        m_pending.remove(0, take);
    }
    return out;
}
