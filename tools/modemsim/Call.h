// A call on the line: an incoming one (rings at the cadence, the caller ID burst after the first ring, the
// local handset lifted to answer) or one the user makes (handset lifted, dial tone, the digits dialled). The
// conversation follows the handset. Times are line seconds (real seconds times the speed factor).
#pragma once

#include "modemsim/AudioSource.h"

#include <memory>
#include <string>
#include <vector>

namespace modemsim {

struct CallEvent {
    enum Kind { Ring, CallerId, OffHook, Digit, OnHook } kind;
    double time = 0; ///< line time the event is due
    char digit = 0;  ///< the DTMF digit of a Digit event
};

struct Call {
    /// Seconds of dial tone before the first digit of a call the user makes.
    static constexpr double DialToneSeconds = 1.0;
    /// Each dialled digit's tone, and the pause after it.
    static constexpr double DigitSeconds = 0.15;
    static constexpr double DigitGapSeconds = 0.1;
    /// From the last digit to the answer of the called party.
    static constexpr double AnswerAfterDigitsSeconds = 0.5;

    double start = 0;
    bool outgoing = false; ///< the user makes the call: no rings, the handset is lifted at `start`
    int rings = 1;
    double interval = 6.0; ///< seconds from one RING to the next
    double pickup = -1;    ///< seconds from the last RING to the answer; below zero: half an interval
    bool hasCallerId = false;
    std::string number;
    std::string name;
    std::string digits;                  ///< what the user dials (outgoing)
    std::shared_ptr<AudioSource> audio;  ///< the conversation
    double talk = 10;                    ///< seconds of it
    bool hangUpAtEnd = false;            ///< the local handset goes down when the talk ends
    std::shared_ptr<AudioSource> ending; ///< what the line carries after the caller hung up
    double endFor = 0;                   ///< seconds of that, then silence

    /// The caller ID burst comes in the pause after the first ring.
    double callerIdTime() const { return start + 0.4 * interval; }
    /// When the local handset is lifted: for an incoming call, the answer after the last ring.
    double offHook() const;
    /// When the conversation begins.
    double talkStart() const;
    /// When the local handset goes down (HUGE_VAL while nothing puts it down).
    double onHook() const;
    /// When the dialled digit `i` begins.
    double digitTime(size_t i) const { return start + DialToneSeconds + i * (DigitSeconds + DigitGapSeconds); }

    /// The handset is lifted at `now`: a ringing call is answered (no more rings), one not yet answered
    /// is answered now. Nothing changes once it was lifted.
    void liftHandset(double now);
    /// The handset goes down at `now`: the conversation ends there, the line falls silent.
    void putDownHandset(double now);

    /// Events due at `now` that have not been reported yet, in order.
    std::vector<CallEvent> due(double now);
    /// When the next event is due (HUGE_VAL when none is left).
    double nextEventTime() const;

    /// The line's sound and what a detector would call it at line time t.
    double sample(double t) const;
    SignalKind kind(double t) const;

private:
    /// The key whose tone sounds at t while dialling (0 between them), and how far into it t is.
    char keyAt(double t, double& within) const;
    /// The next event not reported yet, or none.
    bool nextEvent(CallEvent& event) const;
    void markDone(const CallEvent& event);

    int m_ringsDone = 0;
    bool m_callerIdDone = false;
    bool m_offHookDone = false;
    size_t m_digitsDone = 0;
    bool m_onHookDone = false;
    double m_answeredAt = -1; ///< set by liftHandset
    double m_hungUpAt = -1;   ///< set by putDownHandset
};

} // namespace modemsim
