// The decoding chain of a stored recording: RIFF reader, then the codec service's converter.
#include "export/RecordingDecoder.h"

#include "audio/AudioConverter.h"
#include "export/ExportError.h"

#include <QDir>
#include <cstring>

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;

} // namespace

RecordingDecoder::RecordingDecoder(const QString& path) : m_path(path), m_file(path) {
    if (!m_file.open(QIODevice::ReadOnly))
        fail(m_file.errorString());
    try {
        m_reader = std::make_unique<WavReader>(m_file);
        m_source.assign(m_reader->format());
        const uint16_t channels = std::max<uint16_t>(1, m_source.channels());
        m_pcm = WaveFormat::pcm(m_source.samplesPerSec(), 16, channels);
        if (m_source.formatTag() != wavetag::Pcm || m_source.bitsPerSample() != 16) {
            m_converter = std::make_unique<AudioConverter>();
            m_converter->setFormatIn(m_source);
            m_converter->setFormatOut(m_pcm);
            QObject::connect(m_converter.get(), &AudioConverter::audioConverted,
                             [this](const QByteArray& data) { m_decoded += data; });
            m_converter->open();
        }
        m_reader->seekItem(0);
    } catch (const std::exception& error) {
        fail(QString::fromUtf8(error.what()));
    }
    if (m_source.samplesPerSec() == 0)
        fail(QStringLiteral("the file gives no sample rate"));
    const qint64 align = std::max<qint64>(1, m_source.blockAlign());
    m_block.resize(static_cast<size_t>(std::max(align, kBlockBytes / align * align)));
}

RecordingDecoder::~RecordingDecoder() = default;

void RecordingDecoder::fail(const QString& why) const {
    throw ExportError(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(m_path), why));
}

bool RecordingDecoder::next(std::vector<int16_t>& samples) {
    samples.clear();
    try {
        while (samples.empty()) {
            const qint64 got = m_reader->readNext(m_block.data(), static_cast<qint64>(m_block.size()));
            if (got <= 0)
                return false;
            if (!m_converter) {
                mixDown(m_block.data(), got, samples);
                continue;
            }
            m_decoded.clear();
            m_converter->convert(m_block.data(), got);
            mixDown(m_decoded.constData(), m_decoded.size(), samples);
        }
    } catch (const std::exception& error) {
        fail(QString::fromUtf8(error.what()));
    }
    return true;
}

void RecordingDecoder::mixDown(const char* data, qint64 size, std::vector<int16_t>& samples) const {
    const int channels = m_pcm.channels();
    const qint64 frames = size / (2 * channels);
    samples.resize(static_cast<size_t>(frames));
    for (qint64 frame = 0; frame < frames; ++frame) {
        int sum = 0;
        for (int channel = 0; channel < channels; ++channel) {
            int16_t sample;
            std::memcpy(&sample, data + (frame * channels + channel) * 2, 2);
            sum += sample;
        }
        samples[static_cast<size_t>(frame)] = static_cast<int16_t>(sum / channels);
    }
}
