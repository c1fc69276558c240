// The call's schedule and its sound along the line's time.
#include "modemsim/Call.h"

#include <cmath>
#include <numbers>

namespace modemsim {

namespace {

constexpr double DialToneLevel = 0.25;
constexpr double TwoPi = 2 * std::numbers::pi;

} // namespace

char Call::keyAt(double t, double& within) const {
    const double step = DigitSeconds + DigitGapSeconds;
    const double rel = t - start - DialToneSeconds;
    if (rel < 0)
        return 0;
    const auto i = static_cast<size_t>(rel / step);
    within = rel - static_cast<double>(i) * step;
    return i < digits.size() && within < DigitSeconds ? digits[i] : 0;
}

double Call::offHook() const {
    if (m_answeredAt >= 0)
        return m_answeredAt;
    if (outgoing || rings <= 0)
        return start;
    return start + (rings - 1) * interval + (pickup >= 0 ? pickup : 0.5 * interval);
}

double Call::talkStart() const {
    if (!outgoing)
        return offHook();
    return digitTime(digits.size()) + AnswerAfterDigitsSeconds;
}

double Call::onHook() const {
    if (m_hungUpAt >= 0)
        return m_hungUpAt;
    return hangUpAtEnd ? talkStart() + talk : HUGE_VAL;
}

void Call::liftHandset(double now) {
    if (now >= offHook())
        return;
    // Answered now: the rings that have not come yet never will.
    m_answeredAt = now;
    rings = m_ringsDone;
}

void Call::putDownHandset(double now) {
    if (now >= offHook() && now < onHook())
        m_hungUpAt = now;
}

bool Call::nextEvent(CallEvent& event) const {
    event.time = HUGE_VAL;
    auto consider = [&event](CallEvent::Kind kind, double time, char digit = 0) {
        if (time < event.time)
            event = {kind, time, digit};
    };
    const double lifted = offHook();
    if (!outgoing && m_ringsDone < rings)
        consider(CallEvent::Ring, start + m_ringsDone * interval);
    if (!outgoing && hasCallerId && !m_callerIdDone && rings > 0 && callerIdTime() < lifted)
        consider(CallEvent::CallerId, callerIdTime());
    if (!m_offHookDone)
        consider(CallEvent::OffHook, lifted);
    const double down = onHook();
    if (outgoing && m_digitsDone < digits.size() && digitTime(m_digitsDone) < down)
        consider(CallEvent::Digit, digitTime(m_digitsDone), digits[m_digitsDone]);
    if (!m_onHookDone && down < HUGE_VAL)
        consider(CallEvent::OnHook, std::max(down, lifted));
    return event.time < HUGE_VAL;
}

void Call::markDone(const CallEvent& event) {
    switch (event.kind) {
    case CallEvent::Ring:
        ++m_ringsDone;
        break;
    case CallEvent::CallerId:
        m_callerIdDone = true;
        break;
    case CallEvent::OffHook:
        m_offHookDone = true;
        break;
    case CallEvent::Digit:
        ++m_digitsDone;
        break;
    case CallEvent::OnHook:
        m_onHookDone = true;
        break;
    }
}

double Call::nextEventTime() const {
    CallEvent event{};
    return nextEvent(event) ? event.time : HUGE_VAL;
}

std::vector<CallEvent> Call::due(double now) {
    std::vector<CallEvent> events;
    CallEvent event{};
    while (nextEvent(event) && event.time <= now) {
        markDone(event);
        events.push_back(event);
    }
    return events;
}

double Call::sample(double t) const {
    if (t < offHook() || t >= onHook())
        return 0;
    if (t < talkStart()) {
        // Dialling: dial tone, then each digit's tone.
        if (t - start < DialToneSeconds)
            return DialToneLevel * (std::sin(TwoPi * 350 * t) + std::sin(TwoPi * 440 * t));
        // Two statements: the key's time into its tone is known only once keyAt has run.
        double within = 0;
        const char key = keyAt(t, within);
        return dtmfSample(key, within);
    }
    const double rel = t - talkStart();
    if (rel < talk)
        return audio ? audio->sample(rel) : 0;
    if (rel < talk + endFor)
        return ending ? ending->sample(rel - talk) : 0;
    return 0;
}

SignalKind Call::kind(double t) const {
    if (t < offHook() || t >= onHook())
        return SignalKind::Silence;
    if (t < talkStart()) {
        if (t - start < DialToneSeconds)
            return SignalKind::DialTone;
        double within = 0;
        return keyAt(t, within) != 0 ? SignalKind::Sound : SignalKind::Silence;
    }
    const double rel = t - talkStart();
    if (rel < talk && audio)
        return audio->kind(rel);
    if (rel >= talk && rel < talk + endFor && ending)
        return ending->kind(rel - talk);
    return SignalKind::Silence;
}

} // namespace modemsim
