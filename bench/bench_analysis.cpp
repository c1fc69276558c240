// Processor time of the line analysis per display block and of the level measure, on a speech-like signal.
#include "audio/SignalLevel.h"
#include "base/Logger.h"
#include "recorder/LineAnalysis.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 8000;
constexpr int kBlocks = 64;

/// About 12 s of 8-bit working-format samples: a voiced syllable-rate swell with some noise.
std::vector<uint8_t> speechBlocks() {
    std::vector<uint8_t> out(static_cast<size_t>(LineAnalysis::kBlockSize) * kBlocks);
    uint32_t noise = 12345;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        const double v =
            (0.5 + 0.5 * std::sin(2 * std::numbers::pi * 4 * t)) *
                (40 * std::sin(2 * std::numbers::pi * 210 * t) + 15 * std::sin(2 * std::numbers::pi * 1400 * t)) +
            static_cast<double>((noise >> 16) & 0x7) - 4;
        out[i] = static_cast<uint8_t>(std::lround(std::fmin(255, std::fmax(0, 127 + v))));
    }
    return out;
}

void BM_AnalyseBlock(benchmark::State& state) {
    const std::vector<uint8_t> sound = speechBlocks();
    Logger logger;
    LineAnalysis analysis(logger);
    analysis.reset(10);
    size_t block = 0;
    for (auto _ : state) {
        const auto frame = std::span(sound).subspan(block * LineAnalysis::kBlockSize, LineAnalysis::kBlockSize);
        benchmark::DoNotOptimize(analysis.analyseBlock(frame));
        block = (block + 1) % kBlocks;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["cpu_s_per_audio_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * LineAnalysis::kBlockSize / kRate,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AnalyseBlock);

void BM_LevelOfFrame(benchmark::State& state) {
    const std::vector<uint8_t> sound = speechBlocks();
    size_t at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SignalLevel::ofBytes(std::span(sound).subspan(at, 200)));
        at = (at + 200) % (sound.size() - 200);
    }
    state.SetBytesProcessed(state.iterations() * 200);
}
BENCHMARK(BM_LevelOfFrame);

} // namespace

BENCHMARK_MAIN();
