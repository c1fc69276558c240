// A recording's length in the catalogue after its file was rewritten (post-processing saves it again in
// its own format, whose block rounding can change the length).
#pragma once

#include <QString>

class Catalogue;

namespace RecordingDuration {

/// Reads the WAV header of `wavPath` and stores the length it gives as the Duration of the catalogue's
/// current row, when that row's file it is. False when the file cannot be read or the row is another.
bool update(Catalogue& catalogue, const QString& wavPath);

} // namespace RecordingDuration
