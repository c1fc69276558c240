// Converts a whole WAV file into another format in blocks; long fixed-ratio conversions run on two threads.
#pragma once

#include "audio/TdeWaveFormat.h"

#include <QString>

struct WavConversionOptions {
    /// Split long conversions between two threads (the second half warms up and is checked, see below).
    bool allowTwoThreads = true;
    /// Conversions shorter than this many seconds always run on one thread.
    int twoThreadMinimumSeconds = 60;
};

/// Reads `inPath` with the RIFF reader, converts its data to `target` block by block and writes `outPath`
/// with the RIFF writer; the last partial block is completed with silence. Memory stays constant whatever
/// the file's length. Raises the file, read and conversion errors of the audio classes.
///
/// With two threads the second one starts two seconds of audio early to bring its codec state in step
/// and converts the second half. When decoding, the first thread then converts on into the second half
/// until its own output and the second thread's agree for a whole second, taking over the rest when they
/// never do, so the samples are exactly those of a single pass. When encoding, the warmed-up second half
/// is kept: stateless and block-reset codecs give the single pass's bytes, GSM a different but equally
/// sound encoding of the second half.
void convertWavFile(const QString& inPath, const QString& outPath, const TdeWaveFormat& target,
                    const WavConversionOptions& options = {});
