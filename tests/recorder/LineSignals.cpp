// Generated line sounds in the working format (8 kHz, 8-bit unsigned, mid level 127) for the analysis tests.
#include "recorder/LineSignals.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace LineSignals {
namespace {

constexpr double kRate = 8000;

uint8_t clampToByte(double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

size_t samplesFor(double seconds) {
    return static_cast<size_t>(seconds * kRate);
}

} // namespace

Samples crossingsAt(const std::vector<int>& positions, size_t size) {
    Samples block(size, 127);
    for (const int p : positions) {
        block.at(static_cast<size_t>(p) - 1) = 0;
        block.at(static_cast<size_t>(p) + 1) = 255;
    }
    return block;
}

Samples crossingsSpaced(const std::vector<int>& spacings, int first, int count) {
    std::vector<int> positions;
    for (int p = first, i = 0; p + 1 < 1536 && i < count; p += spacings[i % spacings.size()], ++i)
        positions.push_back(p);
    return crossingsAt(positions);
}

Samples tone(double hz, double seconds, double amplitude) {
    Samples out(samplesFor(seconds));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = clampToByte(127 + amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / kRate));
    return out;
}

Samples speech(double seconds, uint32_t seed, double longestPause) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> noise(0, 1);
    Samples out(samplesFor(seconds));
    size_t i = 0;
    while (i < out.size()) {
        // A syllable of 80..300 ms with its own pitch, then a gap of 20..120 ms of breath noise.
        const size_t length = static_cast<size_t>((0.08 + 0.22 * unit(random)) * kRate);
        const double pitch = 90 + 150 * unit(random);
        const double loudness = 15 + 45 * unit(random);
        double phase = 0;
        for (size_t k = 0; k < length && i < out.size(); ++k, ++i) {
            const double envelope = std::sin(std::numbers::pi * static_cast<double>(k) / static_cast<double>(length));
            phase += 2 * std::numbers::pi * pitch * (1 + 0.02 * noise(random)) / kRate;
            const double voiced = std::sin(phase) + 0.6 * std::sin(2 * phase + 0.4) + 0.4 * std::sin(3 * phase + 1.1);
            out[i] = clampToByte(127 + loudness * envelope * voiced + 4 * noise(random));
        }
        const size_t gap = static_cast<size_t>((0.02 + 0.1 * unit(random)) * kRate);
        for (size_t k = 0; k < gap && i < out.size(); ++k, ++i)
            out[i] = clampToByte(127 + 3 * noise(random));
        // Now and then the talker stops for a while and the line is still.
        if (longestPause > 0 && unit(random) < 0.1) {
            const size_t pause = static_cast<size_t>(longestPause * (0.25 + 0.75 * unit(random)) * kRate);
            for (size_t k = 0; k < pause && i < out.size(); ++k, ++i)
                out[i] = unit(random) < 0.05 ? 128 : 127;
        }
    }
    return out;
}

Samples silence(double seconds, uint32_t seed) {
    std::mt19937 random(seed);
    std::bernoulli_distribution step(0.05);
    Samples out(samplesFor(seconds), 127);
    for (uint8_t& s : out)
        s = step(random) ? 128 : 127;
    return out;
}

} // namespace LineSignals
