// Sounds the simulated line plays, and how closely a recording follows them.
#pragma once

#include <QByteArray>
#include <QString>

/// Writes a mono 8 kHz 16-bit WAV file of `pcm` (little-endian samples) for the simulator to play.
bool writeLinePcm16(const QString& path, const QByteArray& pcm);
/// Writes a noise that no detector takes for a tone (random levels, each held for four samples, the DLE
/// byte among them) as the line's sound; returns the unsigned 8-bit bytes a modem sends for it, empty
/// when the file could not be written.
QByteArray writeLineNoise(const QString& path, int seconds);

/// Where in `source` the stretch most like `window` begins, and how alike they are (normalised
/// correlation of unsigned 8-bit samples).
struct LineMatch {
    qsizetype offset = -1;
    double correlation = 0;
};
LineMatch bestMatch(const QByteArray& window, const QByteArray& source);
/// The best normalised correlation of `window` with any stretch of `source` (unsigned 8-bit samples).
double bestCorrelation(const QByteArray& window, const QByteArray& source);
