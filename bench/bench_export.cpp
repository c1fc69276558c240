// Compressed copies of a one-hour call: decoding the stored file and encoding Opus, MP3 and FLAC.
// The file is ORLAMO_BENCH_SPEECH when set (bench/compare_encoders.sh passes the one the other
// encoders get), else one hour of a speech-like signal made here.
#include "audio/WavWriter.h"
#include "export/RecordingExporter.h"
#include "library/RecordingTags.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kRate = 8000;

QString makeSpeech(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    WavWriter writer(file);
    writer.setFormat(WaveFormat::pcm(kRate, 16, 1));
    QByteArray block(kRate * 2, '\0');
    uint32_t noise = 12345;
    for (int second = 0; second < 3600; ++second) {
        for (int i = 0; i < kRate; ++i) {
            const double t = second + static_cast<double>(i) / kRate;
            noise = noise * 1103515245u + 12345u;
            const double v = (0.5 + 0.5 * std::sin(2 * M_PI * 4 * t)) *
                                 (6000 * std::sin(2 * M_PI * 210 * t) + 2500 * std::sin(2 * M_PI * 1400 * t)) +
                             static_cast<double>((noise >> 16) & 0x3FF) - 512;
            const auto s = static_cast<int16_t>(v);
            block[2 * i] = static_cast<char>(s & 0xFF);
            block[2 * i + 1] = static_cast<char>((s >> 8) & 0xFF);
        }
        writer.write(block.constData(), block.size());
    }
    writer.finish();
    return path;
}

const QString& speechFile() {
    static QTemporaryDir dir;
    static const QString path = qEnvironmentVariableIsSet("ORLAMO_BENCH_SPEECH")
                                    ? qEnvironmentVariable("ORLAMO_BENCH_SPEECH")
                                    : makeSpeech(dir.filePath(QStringLiteral("speech.wav")));
    return path;
}

void exportAs(benchmark::State& state, CopyFormat format) {
    QTemporaryDir out;
    const RecordingExporter exporter;
    RecordingTags tags;
    tags.when = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    tags.caller = QStringLiteral("+44 20 7946 0958");
    const QString target = out.filePath(QStringLiteral("call") + copyFormatExtension(format));
    for (auto _ : state)
        exporter.exportRecording(speechFile(), target, format, tags);
    state.counters["output_MB"] = static_cast<double>(QFile(target).size()) / 1e6;
}

} // namespace

BENCHMARK_CAPTURE(exportAs, opus, CopyFormat::Opus)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(exportAs, mp3, CopyFormat::Mp3)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(exportAs, flac, CopyFormat::Flac)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
