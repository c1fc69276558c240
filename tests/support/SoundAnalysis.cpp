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

std::vector<Piece> follow(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, int threshold,
                          qint64 recordingFrom) {
    constexpr qint64 piece = 2000;
    constexpr qint64 widest = 3 * 8000; // the longest dropout looked for
    std::vector<Piece> pieces;
    const Span sent = loudSpan(source, threshold);
    if (sent.empty())
        return pieces;
    qint64 lag = bestLag(recording, source, threshold, recordingFrom);
    for (qint64 from = sent.first; from <= sent.last; from += piece) {
        Piece p{from, std::min(piece, sent.last + 1 - from), lag, 0.0};
        if (loudSpan(recording, threshold, from + lag).empty())
            break; // nothing more was heard
        p.correlation = correlation(recording, source, lag, p.from, p.count);
        if (p.correlation < 0.9) {
            // A dropout: search later lags coarsely, then around the best one.
            qint64 best = lag;
            for (qint64 l = lag - 80; l <= lag + widest; l += 2) {
                const double c = correlation(recording, source, l, p.from, p.count);
                if (c > p.correlation) {
                    p.correlation = c;
                    best = l;
                }
            }
            for (qint64 l = best - 2; l <= best + 2; ++l) {
                const double c = correlation(recording, source, l, p.from, p.count);
                if (c > p.correlation) {
                    p.correlation = c;
                    best = l;
                }
            }
            p.lag = best;
            // A piece cut by a dropout matches half at each lag: keep following the later one.
            lag = best;
        }
        pieces.push_back(p);
    }
    return pieces;
}

double meanCorrelation(const std::vector<Piece>& pieces, const std::vector<int16_t>& source) {
    double weighted = 0, energy = 0;
    for (const Piece& p : pieces) {
        double e = 0;
        for (qint64 i = p.from; i < p.from + p.count; ++i)
            e += static_cast<double>(source[static_cast<size_t>(i)]) * source[static_cast<size_t>(i)];
        weighted += e * p.correlation;
        energy += e;
    }
    return energy > 0 ? weighted / energy : 0.0;
}

qint64 heardEnd(const std::vector<int16_t>& recording, const std::vector<int16_t>& source,
                const std::vector<Piece>& pieces) {
    constexpr qint64 window = 80;
    qint64 end = 0;
    for (const Piece& p : pieces)
        for (qint64 from = p.from; from + window <= p.from + p.count; from += window)
            if (correlation(recording, source, p.lag, from, window) > 0.8)
                end = from + window;
    return end;
}

qint64 loudDuration(const std::vector<int16_t>& s, int threshold, qint64 from) {
    constexpr qint64 window = 80;
    qint64 total = 0;
    for (qint64 at = std::max<qint64>(from, 0); at + window <= static_cast<qint64>(s.size()); at += window)
        if (!loudSpan(s, threshold, at, at + window).empty())
            total += window;
    return total;
}

double soundingRms(const std::vector<int16_t>& s, qint64 from, qint64 to) {
    constexpr qint64 window = 80;
    const qint64 end = to < 0 ? static_cast<qint64>(s.size()) : std::min<qint64>(to, static_cast<qint64>(s.size()));
    double sum = 0;
    qint64 n = 0;
    for (qint64 at = std::max<qint64>(from, 0); at + window <= end; at += window) {
        if (loudSpan(s, 50, at, at + window).empty())
            continue;
        for (qint64 i = at; i < at + window; ++i)
            sum += static_cast<double>(s[static_cast<size_t>(i)]) * s[static_cast<size_t>(i)];
        n += window;
    }
    return n > 0 ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

} // namespace sound
