// Record identifiers: eight base-62 characters from the clock and a process-wide counter.
#pragma once

#include <QDateTime>
#include <QString>

/// A new identifier for the current local time.
QString makeUniqueId();
/// The identifier for the moment `now` (the counter still advances): part A = whole days since
/// 1 November 2000 × 24 + hour, part B = minute × 60 + second, part C = (ms div 10) × 1922 + counter.
/// From March 2055 on, part A wraps around (modulo 62³) so every character stays in the alphabet.
QString makeUniqueId(const QDateTime& now);
