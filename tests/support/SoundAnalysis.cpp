// Alignment, correlation and loudness measures on 16-bit sample vectors.
#include "SoundAnalysis.h"

#include <cmath>
#include <cstdlib>

namespace sound {

std::vector<int16_t> testSignal(size_t samples, int amplitude) {
    std::vector<int16_t> out(samples);
    double phase = 0;
    uint32_t noise = 2463534242u;
    for (size_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / 8000.0;
        const double frequency = 575 + 325 * std::sin(2 * M_PI * 0.37 * t) * std::cos(2 * M_PI * 0.11 * t);
        phase += 2 * M_PI * frequency / 8000.0;
        const double swell = 0.67 + 0.33 * std::sin(2 * M_PI * 2.3 * t);
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const double hiss = (static_cast<double>(noise % 2001) - 1000.0) / 1000.0 * 0.03;
        out[i] = static_cast<int16_t>(std::lround(amplitude * (swell * std::sin(phase) + hiss)));
    }
    return out;
}

QByteArray toBytes(const std::vector<int16_t>& samples) {
    QByteArray b(static_cast<qsizetype>(samples.size() * 2), '\0');
    for (size_t i = 0; i < samples.size(); ++i) {
        b[static_cast<qsizetype>(2 * i)] = static_cast<char>(samples[i] & 0xFF);
        b[static_cast<qsizetype>(2 * i + 1)] = static_cast<char>((samples[i] >> 8) & 0xFF);
    }
    return b;
}

std::vector<int16_t> fromBytes(const QByteArray& bytes) {
    std::vector<int16_t> s(static_cast<size_t>(bytes.size() / 2));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[static_cast<qsizetype>(2 * i)]) |
                                    (static_cast<uint8_t>(bytes[static_cast<qsizetype>(2 * i + 1)]) << 8));
    return s;
}

Span loudSpan(const std::vector<int16_t>& s, int threshold, qint64 from, qint64 to) {
    Span span;
    const qint64 end = to < 0 ? static_cast<qint64>(s.size()) : std::min<qint64>(to, static_cast<qint64>(s.size()));
    for (qint64 i = std::max<qint64>(from, 0); i < end; ++i) {
        if (std::abs(s[static_cast<size_t>(i)]) > threshold) {
            if (span.first < 0)
                span.first = i;
            span.last = i;
        }
    }
    return span;
}

double correlation(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, qint64 lag, qint64 from,
                   qint64 count) {
    double xy = 0, xx = 0, yy = 0;
    for (qint64 i = from; i < from + count; ++i) {
        const qint64 r = i + lag;
        if (i < 0 || i >= static_cast<qint64>(source.size()) || r < 0 || r >= static_cast<qint64>(recording.size()))
            continue;
        const double x = source[static_cast<size_t>(i)];
        const double y = recording[static_cast<size_t>(r)];
        xy += x * y;
        xx += x * x;
        yy += y * y;
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
}

qint64 bestLag(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, int threshold,
               qint64 recordingFrom) {
    const Span heard = loudSpan(recording, threshold, recordingFrom);
    const Span sent = loudSpan(source, threshold);
    if (heard.empty() || sent.empty())
        return 0;
    const qint64 guess = heard.first - sent.first;
    qint64 best = guess;
    double bestValue = -2;
    for (qint64 lag = guess - 800; lag <= guess + 800; ++lag) {
        const double c = correlation(recording, source, lag, sent.first, 4000);
        if (c > bestValue) {
            bestValue = c;
            best = lag;
        }
    }
    return best;
}

qint64 heardEnd(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, qint64 lag) {
    constexpr qint64 window = 80;
    qint64 end = 0;
    for (qint64 from = 0; from + window <= static_cast<qint64>(source.size()); from += window)
        if (correlation(recording, source, lag, from, window) > 0.8)
            end = from + window;
    return end;
}

double rms(const std::vector<int16_t>& recording, qint64 from, qint64 count) {
    double sum = 0;
    qint64 n = 0;
    for (qint64 i = std::max<qint64>(from, 0); i < from + count && i < static_cast<qint64>(recording.size()); ++i) {
        sum += static_cast<double>(recording[static_cast<size_t>(i)]) * recording[static_cast<size_t>(i)];
        ++n;
    }
    return n > 0 ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

} // namespace sound
