// DTMF detection: Goertzel power of the eight keypad tones, the frame tests, the duration rules.
#include "audio/DtmfDetector.h"

#include <cmath>
#include <numbers>

namespace {

constexpr std::array<double, 4> kRows{697, 770, 852, 941};
constexpr std::array<double, 4> kColumns{1209, 1336, 1477, 1633};
constexpr char kKeys[4][5] = {"123A", "456B", "789C", "*0#D"};

/// Mean power of the sine at `hz` in `frame`: 2 |X|^2 / N^2 is A^2 / 2 for a sine of amplitude A.
double tonePower(std::span<const float> frame, double hz) {
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hz / DtmfDetector::kSampleRate);
    double s1 = 0;
    double s2 = 0;
    for (const float x : frame) {
        const double s = x + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    const auto n = static_cast<double>(frame.size());
    return 2 * power / (n * n);
}

/// Index of the strongest of four powers, or -1 when it does not stand kGroupMargin above the rest.
int strongest(const std::array<double, 4>& powers) {
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (powers[size_t(i)] > powers[size_t(best)])
            best = i;
    for (int i = 0; i < 4; ++i)
        if (i != best && powers[size_t(best)] < DtmfDetector::kGroupMargin * powers[size_t(i)])
            return -1;
    return best;
}

} // namespace

char DtmfDetector::frameKey(std::span<const float> frame, bool* loud) {
    if (loud)
        *loud = false;
    if (frame.empty())
        return 0;
    double mean = 0;
    for (const float x : frame)
        mean += x;
    mean /= static_cast<double>(frame.size());
    double total = 0;
    for (const float x : frame)
        total += (x - mean) * (x - mean);
    total /= static_cast<double>(frame.size());
    if (loud)
        *loud = total >= kMinTonePower;
    if (total < kMinTonePower)
        return 0;
    std::array<double, 4> rows{};
    std::array<double, 4> columns{};
    for (size_t i = 0; i < 4; ++i) {
        rows[i] = tonePower(frame, kRows[i]);
        columns[i] = tonePower(frame, kColumns[i]);
    }
    const int row = strongest(rows);
    const int column = strongest(columns);
    if (row < 0 || column < 0)
        return 0;
    const double low = rows[size_t(row)];
    const double high = columns[size_t(column)];
    if (low < kMinTonePower || high < kMinTonePower)
        return 0;
    if (low > kReverseTwist * high || high > kNormalTwist * low)
        return 0;
    if (low + high < kMinShare * total)
        return 0;
    return kKeys[row][column];
}

void DtmfDetector::feed(std::span<const uint8_t> samples, std::vector<DtmfKey>& keys) {
    for (const uint8_t sample : samples) {
        m_frame[size_t(m_filled++)] = (static_cast<float>(sample) - 128.0f) / 128.0f;
        if (m_filled == kFrame)
            endFrame(keys);
    }
}

void DtmfDetector::endFrame(std::vector<DtmfKey>& keys) {
    m_filled = 0;
    const qint64 frameStart = m_frames++ * kFrame;
    bool loud = false;
    const char key = frameKey(m_frame, &loud);
    m_otherSound = key == 0 && loud ? m_otherSound + 1 : 0;

    // The held key ends after kGapFrames frames without it; until then a new one cannot begin.
    if (m_current != 0) {
        if (key == m_current) {
            m_absent = 0;
            return;
        }
        if (++m_absent < kGapFrames && key == 0)
            return;
        m_current = 0;
        m_absent = 0;
    }
    if (key == 0) {
        m_candidate = 0;
        m_candidateFrames = 0;
        return;
    }
    if (key != m_candidate) {
        m_candidate = key;
        m_candidateFrames = 0;
        m_candidateStart = frameStart;
    }
    if (++m_candidateFrames < kMinFrames)
        return;
    m_current = key;
    m_candidate = 0;
    m_candidateFrames = 0;
    keys.push_back({key, m_candidateStart * 1000 / kSampleRate});
}
