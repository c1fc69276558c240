// The wave format descriptor: fields, format files, description and the format chooser.
#include "audio/WaveFormat.h"

#include "audio/AudioErrors.h"
#include "audio/CodecService.h"
#include "audio/FormatChooser.h"

#include <QFile>
#include <algorithm>

WaveFormat::WaveFormat() {
    setDefaults();
}

WaveFormat WaveFormat::pcm(uint32_t samplesPerSec, uint16_t bitsPerSample, uint16_t channels) {
    WaveFormat f;
    f.setFormatTag(wavetag::Pcm);
    f.setChannels(channels);
    f.setSamplesPerSec(samplesPerSec);
    const uint16_t align = static_cast<uint16_t>(channels * bitsPerSample / 8);
    f.setBlockAlign(align);
    f.setAvgBytesPerSec(samplesPerSec * align);
    f.setBitsPerSample(bitsPerSample);
    f.setExtraSize(0);
    return f;
}

WaveFormat WaveFormat::fromBytes(QByteArrayView bytes) {
    WaveFormat f;
    std::fill(f.m_buffer.begin(), f.m_buffer.end(), uint8_t{0});
    std::copy_n(bytes.data(), std::min<qsizetype>(bytes.size(), kBufferSize), f.m_buffer.begin());
    return f;
}

void WaveFormat::setDefaults() {
    setFormatTag(wavetag::Pcm);
    setChannels(2);
    setSamplesPerSec(11025);
    setAvgBytesPerSec(22050);
    setBlockAlign(2);
    setBitsPerSample(8);
    write16(16, 0);
}

uint16_t WaveFormat::extraSize() const {
    return std::min<uint16_t>(read16(16), kMaxExtraSize);
}

void WaveFormat::setExtraSize(uint16_t v) {
    if (v > kMaxExtraSize)
        throw AudioError(QStringLiteral("The wave format buffer is too small."));
    write16(16, v);
}

void WaveFormat::write16(int offset, uint16_t v) {
    m_buffer[offset] = static_cast<uint8_t>(v & 0xFF);
    m_buffer[offset + 1] = static_cast<uint8_t>(v >> 8);
}

void WaveFormat::write32(int offset, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        m_buffer[offset + i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}

void WaveFormat::loadFormatFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileOpenError(fileName);
    const QByteArray data = file.read(kBufferSize);
    std::copy(data.begin(), data.end(), m_buffer.begin());
}

void WaveFormat::saveFormatFile(const QString& fileName) const {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileOpenError(fileName);
    if (file.write(bytes()) != kBufferSize)
        throw FileOpenError(fileName);
}

QString WaveFormat::formatDescription() const {
    QString prefix;
    QString tagName;
    if (CodecService::formatTagDetails(formatTag(), &tagName) == AcmResult::NoError)
        prefix = tagName.left(CodecService::kMaxTagNameLength) + QStringLiteral(": ");
    QString text;
    if (CodecService::formatDetails(*this, &text) != AcmResult::NoError)
        return QString();
    return prefix + text.left(CodecService::kMaxFormatTextLength);
}

bool WaveFormat::chooseFormat(const QString& title, FormatChooser& chooser) {
    std::array<uint8_t, kBufferSize> scratch = m_buffer;
    const int result = chooser.chooseFormat(title, scratch);
    if (result == AcmResult::NoError) {
        m_buffer = scratch;
        return true;
    }
    if (result == AcmResult::Cancelled)
        return false;
    throw AudioConversionError(acmErrorText(result, QStringLiteral("Error selecting format.")));
}
