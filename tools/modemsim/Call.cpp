// The call's schedule and its sound along the line's time.
#include "modemsim/Call.h"

#include <cmath>

namespace modemsim {

double Call::nextEventTime() const {
    double next = HUGE_VAL;
    if (m_ringsDone < rings)
        next = start + m_ringsDone * interval;
    if (hasCallerId && !m_callerIdDone && rings > 0)
        next = std::min(next, callerIdTime());
    return next;
}

std::vector<CallEvent> Call::due(double now) {
    std::vector<CallEvent> events;
    for (;;) {
        const double ringAt = m_ringsDone < rings ? start + m_ringsDone * interval : HUGE_VAL;
        const double idAt = hasCallerId && !m_callerIdDone && rings > 0 ? callerIdTime() : HUGE_VAL;
        if (ringAt <= now && ringAt <= idAt) {
            ++m_ringsDone;
            events.push_back({CallEvent::Ring});
        } else if (idAt <= now) {
            m_callerIdDone = true;
            events.push_back({CallEvent::CallerId});
        } else {
            return events;
        }
    }
}

double Call::sample(double t) const {
    const double rel = t - offHook();
    if (rel < 0)
        return 0;
    if (rel < talk)
        return audio ? audio->sample(rel) : 0;
    if (rel < talk + endFor)
        return ending ? ending->sample(rel - talk) : 0;
    return 0;
}

SignalKind Call::kind(double t) const {
    const double rel = t - offHook();
    if (rel >= 0 && rel < talk && audio)
        return audio->kind(rel);
    if (rel >= talk && rel < talk + endFor && ending)
        return ending->kind(rel - talk);
    return SignalKind::Silence;
}

} // namespace modemsim
