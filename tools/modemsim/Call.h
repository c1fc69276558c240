// An incoming call on the line: its rings at the cadence, the caller ID burst after the first ring, and the
// sound once the handset is lifted. Times are line seconds (real seconds times the speed factor).
#pragma once

#include "modemsim/AudioSource.h"

#include <memory>
#include <string>
#include <vector>

namespace modemsim {

struct CallEvent {
    enum Kind { Ring, CallerId } kind;
};

struct Call {
    double start = 0;
    int rings = 1;
    double interval = 6.0; ///< seconds from one RING to the next
    bool hasCallerId = false;
    std::string number;
    std::string name;
    std::shared_ptr<AudioSource> audio;  ///< the conversation
    double talk = 10;                    ///< seconds of it
    std::shared_ptr<AudioSource> ending; ///< what the line carries after the caller hung up
    double endFor = 0;                   ///< seconds of that, then silence

    /// The caller ID burst comes in the pause after the first ring.
    double callerIdTime() const { return start + 0.4 * interval; }
    /// The handset is lifted half an interval after the last ring.
    double offHook() const { return rings > 0 ? start + (rings - 1 + 0.5) * interval : start; }

    /// Events due at `now` that have not been reported yet, in order.
    std::vector<CallEvent> due(double now);
    /// When the next event is due (HUGE_VAL when none is left).
    double nextEventTime() const;

    /// The line's sound and what a detector would call it at line time t.
    double sample(double t) const;
    SignalKind kind(double t) const;

private:
    int m_ringsDone = 0;
    bool m_callerIdDone = false;
};

} // namespace modemsim
