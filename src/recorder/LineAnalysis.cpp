// Decides, block by block, whether the line of a running recording is silent, carries a tone, or neither.
#include "recorder/LineAnalysis.h"

#include "audio/SignalLevel.h"
#include "base/Logger.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// After a crossing this many positions are passed over before the next one is tested.
constexpr int kCrossingHoldOff = 11;
// A block needs more crossings than this before their spacing is looked at.
constexpr size_t kMinCrossings = 12;
// Silence: at least 85 % of the window's blocks were quiet (as the exact ratio 17/20).
constexpr int kQuietShareNum = 17;
constexpr int kQuietShareDen = 20;
constexpr float kQuietDeviation = 1.0f;

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double x) {
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5)
        return down + 1;
    if (rest < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1;
}

} // namespace

bool isQuietBlock(std::span<const uint8_t> block) {
    const size_t n = block.size();
    if (n < 2)
        return false;
    double sum = 0;
    for (const uint8_t b : block)
        sum += b;
    const double mean = sum / static_cast<double>(n);
    double squares = 0;
    for (const uint8_t b : block) {
        const double d = b - mean;
        squares += d * d;
    }
    const float deviation = static_cast<float>(std::sqrt(squares / static_cast<double>(n - 1)));
    return deviation < kQuietDeviation;
}

bool isPeriodicBlock(std::span<const uint8_t> block) {
    const int mid = SignalLevel::kMidLevel;
    std::vector<int64_t> crossings;
    bool holdOff = false;
    int held = 0;
    for (size_t p = 1; p + 1 < block.size(); ++p) {
        if (holdOff && held < kCrossingHoldOff) {
            ++held;
            continue;
        }
        holdOff = false;
        held = 0;
        if (block[p - 1] < mid && block[p + 1] > mid) {
            crossings.push_back(static_cast<int64_t>(p));
            holdOff = true;
        }
    }
    const size_t c = crossings.size();
    if (c <= kMinCrossings)
        return false;
    // The spacings p2 - p1 .. p(c-1) - p(c-2); the last one is left out. Their variance is worked out
    // exactly in integers: (n * sum(d^2) - sum(d)^2) / (n * (n - 1)), so "exactly even" and the limit
    // of 1.0 are decided without rounding.
    const int64_t n = static_cast<int64_t>(c) - 2;
    int64_t sum = 0;
    int64_t squares = 0;
    for (size_t i = 1; i + 1 < c; ++i) {
        const int64_t d = crossings[i] - crossings[i - 1];
        sum += d;
        squares += d * d;
    }
    const int64_t numerator = n * squares - sum * sum;
    const int64_t denominator = n * (n - 1);
    return numerator > 0 && numerator <= denominator;
}

int LineAnalysis::windowLength(int discTimeSeconds, int sampleRate) {
    const int discTime = std::clamp(discTimeSeconds, kMinDiscTime, kMaxDiscTime);
    const int rate = sampleRate > 0 ? sampleRate : kWorkingRate;
    const float blockDuration = static_cast<float>(static_cast<double>(kBlockSize) / rate);
    const double blocks = roundHalfEven(discTime / static_cast<double>(blockDuration));
    // A window of no blocks would declare silence with every block.
    return std::max(1, static_cast<int>(blocks));
}

LineAnalysis::LineAnalysis(Logger& logger) : m_logger(logger) {
    reset(10);
}

void LineAnalysis::reset(int discTimeSeconds, int frameSampleRate) {
    m_window.assign(static_cast<size_t>(windowLength(discTimeSeconds, frameSampleRate)), 0);
    m_next = 0;
    m_filled = 0;
    m_quiet = 0;
    m_lineEnd = 0;
    m_lastVerdict = LineVerdict::Neither;
    m_tonesEndCall = true;
}

bool LineAnalysis::windowSaysSilence(bool quiet) {
    const int n = windowLength();
    uint8_t& slot = m_window[static_cast<size_t>(m_next)];
    m_quiet += static_cast<int>(quiet) - slot;
    slot = quiet ? 1 : 0;
    m_next = (m_next + 1) % n;
    if (m_filled < n) {
        // Filling: no decision yet, also not by the block that fills the last slot.
        ++m_filled;
        return false;
    }
    return m_quiet * kQuietShareDen >= kQuietShareNum * n;
}

LineVerdict LineAnalysis::analyseBlock(std::span<const uint8_t> block) {
    const bool wasOver = callEnded();
    LineVerdict verdict = LineVerdict::Neither;
    if (windowSaysSilence(isQuietBlock(block))) {
        verdict = LineVerdict::Silence;
        m_lineEnd = std::max(m_lineEnd, kLineEnd);
    } else if (isPeriodicBlock(block)) {
        verdict = LineVerdict::Periodic;
        if (m_tonesEndCall && m_lineEnd < INT_MAX)
            ++m_lineEnd;
    }
    // A recording that goes on after the call was found over (a manual one) would otherwise log five
    // lines a second for as long as the line stays silent; once over, a run of equal verdicts logs once.
    if (!(wasOver && verdict == m_lastVerdict))
        log(verdict);
    m_lastVerdict = verdict;
    return verdict;
}

bool LineAnalysis::analyse(std::span<const uint8_t> block) {
    analyseBlock(block);
    return callEnded();
}

void LineAnalysis::log(LineVerdict verdict) {
    if (verdict == LineVerdict::Neither)
        return;
    m_logger.add(verdict == LineVerdict::Silence ? QStringLiteral("Silence...") : QStringLiteral("Periodic signal..."));
}
