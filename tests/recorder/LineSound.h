// Sounds the simulated line plays, and how closely a recording follows them.
#pragma once

#include <QByteArray>
#include <QString>

/// Writes a mono 8 kHz 16-bit WAV file of `pcm` (little-endian samples) for the simulator to play.
bool writeLinePcm16(const QString& path, const QByteArray& pcm);
/// The best normalised correlation of `window` with any stretch of `source` (unsigned 8-bit samples).
double bestCorrelation(const QByteArray& window, const QByteArray& source);
