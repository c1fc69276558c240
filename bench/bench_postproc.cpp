// Post-processing on a one-hour call: the volume and equalizer passes alone, and the whole round trip
// of the windows and orlamo-cli (decode into the work file, one pass, encode in the recording's format).
#include "audio/AudioConverter.h"
#include "audio/WavWriter.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "base/UnattendedPrompter.h"
#include "postproc/PostProcessingSession.h"
#include "postproc/VoiceEqualizer.h"
#include "postproc/VolumeLevel.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 8000;
constexpr int kSeconds = 3600;

/// One hour of a speech-like call, 16-bit: phrases of one to three seconds from two speakers (one
/// loud, one faint) with pauses between them and a little line noise throughout.
const std::vector<int16_t>& callPcm16() {
    static const std::vector<int16_t> samples = [] {
        std::vector<int16_t> s(static_cast<size_t>(kRate) * kSeconds);
        uint32_t noise = 12345;
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            noise = noise * 1103515245u + 12345u;
            const auto phrase = static_cast<int>(t / 2.3);
            const bool speaking = std::fmod(t, 2.3) < 1.6;
            const double amplitude = !speaking ? 0 : phrase % 2 == 0 ? 7000 : 900;
            const double pitch = phrase % 2 == 0 ? 140 : 220;
            const double v = amplitude * (0.5 + 0.5 * std::sin(2 * std::numbers::pi * 4 * t)) *
                                 (0.7 * std::sin(2 * std::numbers::pi * pitch * t) +
                                  0.3 * std::sin(2 * std::numbers::pi * 1300 * t)) +
                             static_cast<double>((noise >> 16) & 0x7f) - 64;
            s[i] = static_cast<int16_t>(std::lround(v));
        }
        return s;
    }();
    return samples;
}

QByteArray convert(const WaveFormat& in, const WaveFormat& out, const QByteArray& data) {
    AudioConverter c;
    c.setFormatIn(in);
    c.setFormatOut(out);
    QByteArray result;
    QObject::connect(&c, &AudioConverter::audioConverted, [&](const QByteArray& d) { result += d; });
    c.open();
    for (qsizetype i = 0; i < data.size(); i += 65536)
        c.convert(data.constData() + i, std::min<qsizetype>(65536, data.size() - i));
    c.close();
    return result;
}

QByteArray pcm16Bytes() {
    const std::vector<int16_t>& s = callPcm16();
    return QByteArray(reinterpret_cast<const char*>(s.data()), static_cast<qsizetype>(s.size() * 2));
}

/// The hour in the working format (28.8 MB).
const std::vector<uint8_t>& callWorking() {
    static const std::vector<uint8_t> samples = [] {
        const QByteArray working = convert(WaveFormat::pcm(kRate, 16, 1), WaveFormat::workingFormat(), pcm16Bytes());
        return std::vector<uint8_t>(working.begin(), working.end());
    }();
    return samples;
}

void runPass(benchmark::State& state, const std::function<void(std::span<uint8_t>)>& pass) {
    const std::vector<uint8_t>& source = callWorking();
    std::vector<uint8_t> work(source.size());
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(source.begin(), source.end(), work.begin());
        state.ResumeTiming();
        pass(work);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(source.size()));
}

void BM_VolumeLevelOneHour(benchmark::State& state) {
    runPass(state, [](std::span<uint8_t> s) { VolumeLevel::apply(s, 35, [](int) {}); });
}
BENCHMARK(BM_VolumeLevelOneHour)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VoiceEqualizerOneHour(benchmark::State& state) {
    VoiceEqualizer::Result result;
    runPass(state, [&](std::span<uint8_t> s) { result = VoiceEqualizer::equalize(s, [](int) {}); });
    state.counters["passages"] = result.passages;
    state.counters["raised"] = result.raised;
}
BENCHMARK(BM_VoiceEqualizerOneHour)->Unit(benchmark::kMillisecond)->UseRealTime();

/// A one-hour recording stored in `format`, then: open (decode into the work file), Apply, Save to a
/// second file. The phases' average seconds are reported as counters.
void roundTrip(benchmark::State& state, const WaveFormat& format, bool equalize) {
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("call.wav"));
    {
        const QByteArray encoded = convert(WaveFormat::pcm(kRate, 16, 1), format, pcm16Bytes());
        QFile file(recording);
        file.open(QIODevice::WriteOnly);
        WavWriter writer(file);
        writer.setFormat(format);
        writer.write(encoded.constData(), encoded.size());
        writer.finish();
    }
    UnattendedPrompter prompter;
    double decode = 0, apply = 0, encode = 0;
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); };
    for (auto _ : state) {
        PostProcessingSession session(prompter, dir.filePath(QStringLiteral("temp.wav")));
        auto start = Clock::now();
        if (!session.open(recording)) {
            state.SkipWithError("decoding failed");
            return;
        }
        decode += seconds(start);
        start = Clock::now();
        if (equalize)
            session.equalize();
        else
            session.applyGain(35);
        apply += seconds(start);
        start = Clock::now();
        if (!session.save(dir.filePath(QStringLiteral("saved.wav")))) {
            state.SkipWithError("saving failed");
            return;
        }
        encode += seconds(start);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["decode_s"] = decode / n;
    state.counters["apply_s"] = apply / n;
    state.counters["encode_s"] = encode / n;
}

void BM_RoundTripGsmVolume(benchmark::State& state) {
    roundTrip(state, GsmDriver::gsmFormat(kRate), false);
}
void BM_RoundTripGsmEqualizer(benchmark::State& state) {
    roundTrip(state, GsmDriver::gsmFormat(kRate), true);
}
void BM_RoundTripImaAdpcmVolume(benchmark::State& state) {
    roundTrip(state, ImaAdpcmDriver::imaFormat(kRate, 1), false);
}
void BM_RoundTripImaAdpcmEqualizer(benchmark::State& state) {
    roundTrip(state, ImaAdpcmDriver::imaFormat(kRate, 1), true);
}
BENCHMARK(BM_RoundTripGsmVolume)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RoundTripGsmEqualizer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RoundTripImaAdpcmVolume)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RoundTripImaAdpcmEqualizer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
