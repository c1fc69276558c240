// Test signals and WAV helpers.
#include "AudioTestData.h"

#include "audio/AudioConverter.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace audiotest {

std::vector<int16_t> tone(size_t samples, int rate, int amplitude) {
    std::vector<int16_t> out(samples);
    for (size_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double swell = 0.6 + 0.4 * std::sin(2 * M_PI * 3 * t);
        const double v = swell * (std::sin(2 * M_PI * 440 * t) * 0.7 + std::sin(2 * M_PI * 1130 * t) * 0.3);
        out[i] = static_cast<int16_t>(std::lround(v * amplitude));
    }
    return out;
}

QByteArray toBytes(const std::vector<int16_t>& samples) {
    QByteArray b(static_cast<qsizetype>(samples.size() * 2), '\0');
    for (size_t i = 0; i < samples.size(); ++i) {
        b[2 * i] = static_cast<char>(samples[i] & 0xFF);
        b[2 * i + 1] = static_cast<char>((samples[i] >> 8) & 0xFF);
    }
    return b;
}

std::vector<int16_t> toSamples(const QByteArray& bytes) {
    std::vector<int16_t> s(static_cast<size_t>(bytes.size() / 2));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return s;
}

QByteArray toUnsigned8(const std::vector<int16_t>& samples) {
    QByteArray b(static_cast<qsizetype>(samples.size()), '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        b[i] = static_cast<char>(std::clamp((samples[i] + 32768 + 128) >> 8, 0, 255));
    return b;
}

void writeWav(const QString& path, const WaveFormat& format, const QByteArray& data) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    WavWriter writer(file);
    writer.setFormat(format);
    writer.write(data.constData(), data.size());
}

QByteArray encode(const QByteArray& pcm16, const WaveFormat& format, int rate) {
    AudioConverter converter;
    converter.setFormatIn(WaveFormat::pcm(static_cast<uint32_t>(rate), 16, 1));
    converter.setFormatOut(format);
    QByteArray out;
    QObject::connect(&converter, &AudioConverter::audioConverted, [&out](const QByteArray& d) { out += d; });
    converter.open();
    converter.convert(pcm16.constData(), pcm16.size());
    converter.flush();
    converter.close();
    return out;
}

QByteArray decodeFile(const QString& path, const WaveFormat& target) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    WavReader reader(file);
    QByteArray data(static_cast<qsizetype>(reader.itemSize(0)), '\0');
    data.resize(static_cast<qsizetype>(reader.readItem(0, data.data(), data.size())));
    AudioConverter converter;
    converter.setFormatIn(reader.format());
    converter.setFormatOut(target);
    QByteArray out;
    QObject::connect(&converter, &AudioConverter::audioConverted, [&out](const QByteArray& d) { out += d; });
    converter.open();
    converter.convert(data.constData(), data.size());
    converter.close();
    return out;
}

double snrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded) {
    const size_t n = std::min(reference.size(), decoded.size());
    double signal = 0;
    double noise = 0;
    for (size_t i = 0; i < n; ++i) {
        signal += static_cast<double>(reference[i]) * reference[i];
        const double d = static_cast<double>(reference[i]) - decoded[i];
        noise += d * d;
    }
    return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
}

} // namespace audiotest
