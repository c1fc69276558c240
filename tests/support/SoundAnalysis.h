// A test signal and the measures that tell whether a recording of the monitor is that signal.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstdint>
#include <vector>

namespace sound {

/// A speech-like 8 kHz signal that never repeats: a tone gliding between 250 and 900 Hz under a slow
/// swell that never falls below a third, plus a little noise.
std::vector<int16_t> testSignal(size_t samples, int amplitude = 9000);
/// Little-endian 16-bit bytes, and back.
QByteArray toBytes(const std::vector<int16_t>& samples);
std::vector<int16_t> fromBytes(const QByteArray& bytes);

/// The first and last sample louder than `threshold` in [from, to); first is -1 when there is none.
struct Span {
    qint64 first = -1;
    qint64 last = -1;
    bool empty() const { return first < 0; }
    qint64 length() const { return empty() ? 0 : last - first + 1; }
};
Span loudSpan(const std::vector<int16_t>& s, int threshold, qint64 from = 0, qint64 to = -1);

/// Normalised correlation of recording[i + lag] with source[i] for i in [from, from + count); 0 where
/// either side is silent or out of range.
double correlation(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, qint64 lag, qint64 from,
                   qint64 count);
/// The lag (recording index minus source index) at which the recording, from `recordingFrom`, follows
/// the source best.
qint64 bestLag(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, int threshold,
               qint64 recordingFrom = 0);

/// The source followed through the recording a quarter of a second at a time. A machine too busy to
/// feed the sound device in time inserts silence (a dropout) and every later piece lies later in the
/// recording; each piece is matched at its own lag, so such a gap is told apart from wrong sound.
struct Piece {
    qint64 from = 0;  ///< first source sample of the piece
    qint64 count = 0; ///< its samples
    qint64 lag = 0;   ///< recording index minus source index where it matches best
    double correlation = 0;
};
std::vector<Piece> follow(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, int threshold,
                          qint64 recordingFrom = 0);
/// The pieces' correlations, weighted by the source's energy in each.
double meanCorrelation(const std::vector<Piece>& pieces, const std::vector<int16_t>& source);
/// Where the heard part of the source ends (a source index), to the nearest 10 ms.
qint64 heardEnd(const std::vector<int16_t>& recording, const std::vector<int16_t>& source,
                const std::vector<Piece>& pieces);
/// Samples of `s` from `from` in 10 ms windows that hold a sample louder than `threshold`: how long
/// something was heard, dropouts left out.
qint64 loudDuration(const std::vector<int16_t>& s, int threshold, qint64 from = 0);
/// Root mean square over the 10 ms windows from `from` that are not silent.
double soundingRms(const std::vector<int16_t>& s, qint64 from, qint64 to = -1);

} // namespace sound
