// A clock for the modem exchange and call detection that moves only when the test turns it: timers
// expire in advance(), and a pause returns at once after noting its length.
#pragma once

#include "modem/ModemTiming.h"

#include <QList>
#include <functional>
#include <vector>

class ManualTiming final : public ModemTiming {
public:
    /// Moves the clock `ms` ahead, expiring on the way every timer that falls due, in the order they do.
    void advance(int ms);
    qint64 now() const { return m_now; }
    /// The length of every pause so far, in order.
    QList<int> pauses() const { return m_pauses; }
    /// Runs at each pause, while the exchange is inside it.
    std::function<void()> duringPause;

    void pause(int ms) override;
    std::unique_ptr<ModemTimer> makeTimer(TimerMode mode, std::function<void()> expired) override;

private:
    class Timer;

    qint64 m_now = 0;
    std::vector<Timer*> m_timers;
    QList<int> m_pauses;
};
