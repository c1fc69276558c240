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
/// Where the heard part of the source ends (a source index): the end of the last 10 ms of the source
/// that the recording follows at `lag`.
qint64 heardEnd(const std::vector<int16_t>& recording, const std::vector<int16_t>& source, qint64 lag);
/// Root mean square of recording[from + lag .. from + lag + count).
double rms(const std::vector<int16_t>& recording, qint64 from, qint64 count);

} // namespace sound
