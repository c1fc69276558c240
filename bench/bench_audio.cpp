// Throughput of every codec in both directions and of the recording path's two converters, in input bytes/s.
#include "audio/AudioConverter.h"
#include "audio/WavFileConverter.h"
#include "audio/WavWriter.h"
#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "audio/drivers/MsAdpcmDriver.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kRate = 8000;
constexpr int kSeconds = 60;

/// One minute of a speech-like 16-bit signal: two tones under a syllable-rate swell plus a little noise.
QByteArray speechPcm16() {
    QByteArray b(kRate * kSeconds * 2, '\0');
    uint32_t noise = 12345;
    for (int i = 0; i < kRate * kSeconds; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        const double v = (0.5 + 0.5 * std::sin(2 * M_PI * 4 * t)) *
                             (6000 * std::sin(2 * M_PI * 210 * t) + 2500 * std::sin(2 * M_PI * 1400 * t)) +
                         static_cast<double>((noise >> 16) & 0x3FF) - 512;
        const auto s = static_cast<int16_t>(v);
        b[2 * i] = static_cast<char>(s & 0xFF);
        b[2 * i + 1] = static_cast<char>((s >> 8) & 0xFF);
    }
    return b;
}

QByteArray convertAll(const WaveFormat& in, const WaveFormat& out, const QByteArray& data) {
    AudioConverter c;
    c.setFormatIn(in);
    c.setFormatOut(out);
    QByteArray result;
    QObject::connect(&c, &AudioConverter::audioConverted, [&](const QByteArray& d) { result += d; });
    c.open();
    for (qsizetype i = 0; i < data.size(); i += 65536)
        c.convert(data.constData() + i, std::min<qsizetype>(65536, data.size() - i));
    return result;
}

const QByteArray& pcm16() {
    static const QByteArray data = speechPcm16();
    return data;
}

const WaveFormat kPcm16 = WaveFormat::pcm(kRate, 16, 1);
const WaveFormat kPcm8 = WaveFormat::workingFormat();

/// Pushes `input` through a converter in blocks of `block` bytes, as the recording path and the CLI do.
void runConverter(benchmark::State& state, const WaveFormat& in, const WaveFormat& out, const QByteArray& input,
                  qsizetype block) {
    size_t produced = 0;
    for (auto _ : state) {
        AudioConverter c;
        c.setFormatIn(in);
        c.setFormatOut(out);
        QObject::connect(&c, &AudioConverter::audioConverted,
                         [&](const QByteArray& d) { produced += static_cast<size_t>(d.size()); });
        c.open();
        for (qsizetype i = 0; i + block <= input.size(); i += block)
            c.convert(input.constData() + i, block);
        c.close();
    }
    benchmark::DoNotOptimize(produced);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

void encode(benchmark::State& state, const WaveFormat& target) {
    runConverter(state, kPcm16, target, pcm16(), 65536);
}

void decode(benchmark::State& state, const WaveFormat& source) {
    const QByteArray encoded = convertAll(kPcm16, source, pcm16());
    runConverter(state, source, kPcm16, encoded, source.blockAlign() * 256);
}

const WaveFormat kUlaw = G711Driver::lawFormat(wavetag::Mulaw, kRate, 1);
const WaveFormat kAlaw = G711Driver::lawFormat(wavetag::Alaw, kRate, 1);
const WaveFormat kIma = ImaAdpcmDriver::imaFormat(kRate, 1);
const WaveFormat kMs = MsAdpcmDriver::msAdpcmFormat(kRate, 1);
const WaveFormat kGsm = GsmDriver::gsmFormat(kRate);

void BM_UlawEncode(benchmark::State& s) {
    encode(s, kUlaw);
}
void BM_UlawDecode(benchmark::State& s) {
    decode(s, kUlaw);
}
void BM_AlawEncode(benchmark::State& s) {
    encode(s, kAlaw);
}
void BM_AlawDecode(benchmark::State& s) {
    decode(s, kAlaw);
}
void BM_ImaAdpcmEncode(benchmark::State& s) {
    encode(s, kIma);
}
void BM_ImaAdpcmDecode(benchmark::State& s) {
    decode(s, kIma);
}
void BM_MsAdpcmEncode(benchmark::State& s) {
    encode(s, kMs);
}
void BM_MsAdpcmDecode(benchmark::State& s) {
    decode(s, kMs);
}
void BM_GsmEncode(benchmark::State& s) {
    encode(s, kGsm);
}
void BM_GsmDecode(benchmark::State& s) {
    decode(s, kGsm);
}
void BM_Pcm16To8(benchmark::State& s) {
    encode(s, kPcm8);
}
void BM_Pcm8To16(benchmark::State& s) {
    runConverter(s, kPcm8, kPcm16, convertAll(kPcm16, kPcm8, pcm16()), 65536);
}
void BM_Resample8000To7200(benchmark::State& s) {
    encode(s, WaveFormat::pcm(7200, 16, 1));
}

/// The recording path: the modem's 8-bit stream in 2048-byte blocks to the file format, and in
/// 1536-byte blocks to the working format.
void BM_RecordingFileConverter(benchmark::State& s, const WaveFormat& fileFormat) {
    runConverter(s, kPcm8, fileFormat, convertAll(kPcm16, kPcm8, pcm16()), 2048);
}
void BM_RecordingDisplayConverter(benchmark::State& s, const WaveFormat& modem) {
    runConverter(s, modem, kPcm8, convertAll(kPcm16, modem, pcm16()), 1536);
}

/// A whole one-minute WAV file through convertWavFile on one thread and on two (the CLI's path), in
/// input bytes/s. The two-thread figure counts the warm-up and the check past the boundary.
void BM_WholeFile(benchmark::State& state, const WaveFormat& in, const WaveFormat& out, bool twoThreads) {
    QTemporaryDir dir;
    const QByteArray data = in.formatTag() == wavetag::Pcm && in.bitsPerSample() == 16
                                ? speechPcm16()
                                : convertAll(kPcm16, in, speechPcm16());
    {
        QFile file(dir.filePath(QStringLiteral("in.wav")));
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the input file");
            return;
        }
        WavWriter writer(file);
        writer.setFormat(in);
        writer.write(data.constData(), data.size());
    }
    WavConversionOptions options;
    options.allowTwoThreads = twoThreads;
    options.twoThreadMinimumSeconds = kSeconds / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(convertWavFile(dir.filePath(QStringLiteral("in.wav")),
                                                dir.filePath(QStringLiteral("out.wav")), out, options)
                                     .threads);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * data.size());
}

} // namespace

BENCHMARK(BM_UlawEncode);
BENCHMARK(BM_UlawDecode);
BENCHMARK(BM_AlawEncode);
BENCHMARK(BM_AlawDecode);
BENCHMARK(BM_ImaAdpcmEncode);
BENCHMARK(BM_ImaAdpcmDecode);
BENCHMARK(BM_MsAdpcmEncode);
BENCHMARK(BM_MsAdpcmDecode);
BENCHMARK(BM_GsmEncode);
BENCHMARK(BM_GsmDecode);
BENCHMARK(BM_Pcm16To8);
BENCHMARK(BM_Pcm8To16);
BENCHMARK(BM_Resample8000To7200);
BENCHMARK_CAPTURE(BM_RecordingFileConverter, to_pcm8, kPcm8);
BENCHMARK_CAPTURE(BM_RecordingFileConverter, to_gsm, kGsm);
BENCHMARK_CAPTURE(BM_RecordingFileConverter, to_ima, kIma);
BENCHMARK_CAPTURE(BM_RecordingDisplayConverter, from_pcm8, kPcm8);
BENCHMARK_CAPTURE(BM_RecordingDisplayConverter, from_ulaw, kUlaw);

BENCHMARK_CAPTURE(BM_WholeFile, gsm_encode_1thread, kPcm16, kGsm, false)->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeFile, gsm_encode_2threads, kPcm16, kGsm, true)->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeFile, gsm_decode_1thread, kGsm, kPcm16, false)->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeFile, gsm_decode_2threads, kGsm, kPcm16, true)->UseRealTime();

BENCHMARK_MAIN();
