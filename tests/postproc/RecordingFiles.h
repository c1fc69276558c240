// Recordings for the post-processing tests: speech-like sound stored in the program's formats.
#pragma once

#include "audio/AudioConverter.h"
#include "audio/WavWriter.h"
#include "audio/WaveFormat.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cmath>
#include <cstdint>

namespace recordings {

/// Speech-like 16-bit mono PCM at 8 kHz: half-second bursts of two tones, alternately loud and quiet,
/// with pauses of near silence between them.
inline QByteArray speech(int seconds) {
    const int samples = 8000 * seconds;
    QByteArray bytes(samples * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        const double t = i / 8000.0;
        const int burst = i / 4000;
        const double amplitude = burst % 2 == 1 ? 0.0 : (burst % 4 == 0 ? 9000.0 : 1500.0);
        const double v = amplitude * (0.7 * std::sin(2 * M_PI * 310 * t) + 0.3 * std::sin(2 * M_PI * 1100 * t));
        const auto s = static_cast<int16_t>(std::lround(v));
        bytes[2 * i] = static_cast<char>(s & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((s >> 8) & 0xFF);
    }
    return bytes;
}

/// `pcm16` (16-bit mono at 8 kHz) converted to `format` through the codec service.
inline QByteArray encode(const WaveFormat& format, const QByteArray& pcm16) {
    AudioConverter converter;
    converter.setFormatIn(WaveFormat::pcm(8000, 16, 1));
    converter.setFormatOut(format);
    QByteArray out;
    QObject::connect(&converter, &AudioConverter::audioConverted, [&](const QByteArray& data) { out += data; });
    converter.open();
    converter.convert(pcm16.constData(), pcm16.size());
    converter.close();
    return out;
}

/// Writes a WAV file of `format` holding `data` as it is.
inline bool writeWav(const QString& path, const WaveFormat& format, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    WavWriter writer(file);
    writer.setFormat(format);
    writer.write(data.constData(), data.size());
    writer.finish();
    return true;
}

/// A recording of speech() stored in `format`.
inline bool writeRecording(const QString& path, const WaveFormat& format, int seconds) {
    return writeWav(path, format, encode(format, speech(seconds)));
}

} // namespace recordings
