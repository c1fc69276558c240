// The hand-turned clock.
#include "ManualTiming.h"

#include <algorithm>

class ManualTiming::Timer final : public ModemTimer {
public:
    Timer(ManualTiming& clock, TimerMode mode, std::function<void()> expired)
        : m_clock(clock), m_mode(mode), m_expired(std::move(expired)) {
        m_clock.m_timers.push_back(this);
    }
    ~Timer() override { std::erase(m_clock.m_timers, this); }

    void start(int ms) override {
        m_interval = std::max(ms, 1); // a repeating timer of no length would never let the clock move on
        m_due = m_clock.m_now + ms;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

    ManualTiming& m_clock;
    const TimerMode m_mode;
    const std::function<void()> m_expired;
    qint64 m_due = 0;
    int m_interval = 1;
    bool m_active = false;
};

void ManualTiming::advance(int ms) {
    const qint64 until = m_now + ms;
    for (;;) {
        // Of timers due at the same moment the one made first expires first.
        Timer* next = nullptr;
        for (Timer* timer : m_timers) {
            if (timer->m_active && timer->m_due <= until && (next == nullptr || timer->m_due < next->m_due))
                next = timer;
        }
        if (next == nullptr)
            break;
        m_now = next->m_due;
        if (next->m_mode == TimerMode::SingleShot)
            next->m_active = false;
        else
            next->m_due += next->m_interval;
        next->m_expired();
    }
    m_now = until;
}

void ManualTiming::pause(int ms) {
    if (duringPause)
        duringPause();
    m_pauses.append(ms);
}

std::unique_ptr<ModemTimer> ManualTiming::makeTimer(TimerMode mode, std::function<void()> expired) {
    return std::make_unique<Timer>(*this, mode, std::move(expired));
}
