// Decides, block by block, whether the line of a running recording is silent, carries a tone, or neither.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class Logger;

/// What one block of the line's sound was found to be. The values are the ones the recording path
/// has always used for them.
enum class LineVerdict { Silence = 0, Periodic = 1, Neither = 2 };

/// True when the sample standard deviation (divisor n - 1) of the block, rounded to single precision,
/// is below 1.0. A run of fewer than two samples shows no stillness and is not quiet.
bool isQuietBlock(std::span<const uint8_t> block);

/// True when the block's upward crossings of the mid level come at nearly, but not perfectly, even
/// distances: more than 12 crossings, and the spacings' standard deviation in (0, 1.0]. A crossing at p
/// needs block[p - 1] < 127 and block[p + 1] > 127; after one, the next 11 positions are not tested.
bool isPeriodicBlock(std::span<const uint8_t> block);

/// Ends an automatic recording after the disconnect time of silence, or on a repeating tone. One
/// instance per recording path; reset() at the start of each reception.
class LineAnalysis {
public:
    /// Samples per block of the working format (PCM 8 kHz 8-bit unsigned) that the analysis is fed.
    static constexpr int kBlockSize = 1536;
    static constexpr int kWorkingRate = 8000;
    /// The line-end counter at which the call is over. Silence sets the counter to it at once.
    static constexpr int kLineEnd = 4;
    /// The range of the disconnect time setting, in seconds.
    static constexpr int kMinDiscTime = 1;
    static constexpr int kMaxDiscTime = 30;

    /// Number of blocks of the silence window: the disconnect time over the block duration (held in
    /// single precision), rounded half to even; at least 1. The disconnect time is held to 1..30 s and a
    /// rate that is not positive counts as the working rate.
    static int windowLength(int discTimeSeconds, int sampleRate = kWorkingRate);

    explicit LineAnalysis(Logger& logger);

    /// Starts a fresh reception: empty window, line-end counter 0. `frameSampleRate` is the rate of the
    /// blocks given to analyseBlock(); the display converter always delivers the working format, so the
    /// default is right even when the modem itself samples at another rate.
    void reset(int discTimeSeconds, int frameSampleRate = kWorkingRate);

    /// Analyses one block (kBlockSize samples of the working format) and applies the verdict to the
    /// line-end counter: silence raises it to kLineEnd, a periodic block adds 1, nothing lowers it.
    /// Logs "Silence..." or "Periodic signal..." for the verdicts it reaches; once the call is over, a run
    /// of equal verdicts on consecutive blocks is logged only once.
    LineVerdict analyseBlock(std::span<const uint8_t> block);

    /// Whether periodic blocks count towards the end of the call (from reset() on they do). A call the user
    /// makes begins with dial tone, key tones and ringback: there only silence ends it.
    void setTonesEndCall(bool on) { m_tonesEndCall = on; }

    /// analyseBlock(), then whether the call is over (callEnded()).
    bool analyse(std::span<const uint8_t> block);

    /// The call is over when the line-end counter has reached kLineEnd; it may pass it (two periodic
    /// blocks between two looks), so test this rather than the counter's equality.
    bool callEnded() const { return m_lineEnd >= kLineEnd; }
    int lineEndCounter() const { return m_lineEnd; }
    int windowLength() const { return static_cast<int>(m_window.size()); }
    int filledCount() const { return m_filled; }
    int quietInWindow() const { return m_quiet; }

private:
    bool windowSaysSilence(bool quiet);
    void log(LineVerdict verdict);

    Logger& m_logger;
    std::vector<uint8_t> m_window; // ring of the last N quiet flags; m_next is the oldest once full
    int m_next = 0;
    int m_filled = 0;
    int m_quiet = 0;
    int m_lineEnd = 0;
    LineVerdict m_lastVerdict = LineVerdict::Neither;
    bool m_tonesEndCall = true;
};
