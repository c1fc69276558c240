// Converts a whole WAV file into another format in blocks; long fixed-ratio conversions run on two threads.
#pragma once

#include "audio/WaveFormat.h"

#include <QString>

struct WavConversionOptions {
    /// Split long conversions between two threads (the second half warms up and is checked, see below).
    bool allowTwoThreads = true;
    /// Conversions shorter than this many seconds always run on one thread.
    int twoThreadMinimumSeconds = 60;
    /// Seconds of audio the second thread converts before its half and discards, to bring its codec
    /// state in step with a single pass.
    int warmUpSeconds = 2;
    /// An encoder's state may never meet a single pass's exactly (GSM's offset filter and long-term
    /// predictor keep a rounding difference alive), yet any of its encodings is as good: after this many
    /// seconds of the second half without agreement, the second thread's encoding is kept from there.
    int encoderCheckSeconds = 2;
};

/// Reads `inPath` with the RIFF reader, converts its data to `target` block by block and writes `outPath`
/// with the RIFF writer; the last partial block is completed with silence. Memory stays constant whatever
/// the file's length. Raises the file, read and conversion errors of the audio classes.
///
/// With two threads the second one starts a little audio early (the warm-up) to bring its codec state in
/// step and converts the second half into place. The first thread then converts on into the second half,
/// over what the other wrote, until both outputs have agreed for a whole second: from there the file is
/// byte for byte that of a single pass. A decoder that never agrees converts the rest itself; an encoder
/// gives up after `encoderCheckSeconds` and the second thread's encoding is spliced in there.
struct WavConversionReport {
    int threads = 1;
    /// How far into the second half, in output bytes, the second thread's output differed from the
    /// first's: 0 when the warm-up brought its codec state exactly in step.
    qint64 divergedBytes = 0;
    /// Whether the second thread's codec state came in step with the first's.
    bool segmentsAgreed = true;
    /// Where in the output data, in bytes, the second thread's output was taken over (-1: it never was).
    qint64 splicedAt = -1;
};

WavConversionReport convertWavFile(const QString& inPath, const QString& outPath, const WaveFormat& target,
                                   const WavConversionOptions& options = {});
