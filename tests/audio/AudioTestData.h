// Test signals and WAV helpers shared by the audio and sound tests.
#pragma once

#include "audio/WaveFormat.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace audiotest {
/// A speech-like mix of two tones with a slow swell, 16-bit mono.
std::vector<int16_t> tone(size_t samples, int rate = 8000, int amplitude = 9000);
QByteArray toBytes(const std::vector<int16_t>& samples);
std::vector<int16_t> toSamples(const QByteArray& bytes);
QByteArray toUnsigned8(const std::vector<int16_t>& samples);
/// Writes a WAV file with our writer.
void writeWav(const QString& path, const WaveFormat& format, const QByteArray& data);
/// Encodes 16-bit mono PCM at `rate` into `format` (the last partial block completed with silence).
QByteArray encode(const QByteArray& pcm16, const WaveFormat& format, int rate = 8000);
/// Decodes a WAV file's whole data chunk into `target`.
QByteArray decodeFile(const QString& path, const WaveFormat& target);
/// Signal-to-noise ratio of `decoded` against `reference` in dB, over the common length.
double snrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded);
} // namespace audiotest
