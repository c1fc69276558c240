// The modem's sense of time: the pause before each command and the timers of the exchange and of call
// detection. The controller gives them the real clock unless it is given another one.
#pragma once

#include <functional>
#include <memory>

enum class TimerMode { SingleShot, Repeating };

/// A timer of the exchange or of call detection; its handler runs on their thread.
class ModemTimer {
public:
    virtual ~ModemTimer() = default;
    /// Starts the timer anew: it expires `ms` milliseconds from now (and every `ms` after, if repeating).
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class ModemTiming {
public:
    virtual ~ModemTiming() = default;
    /// Blocks the calling thread for `ms` milliseconds.
    virtual void pause(int ms) = 0;
    /// A stopped timer that calls `expired` each time it runs out; a single-shot one is inactive by then.
    virtual std::unique_ptr<ModemTimer> makeTimer(TimerMode mode, std::function<void()> expired) = 0;
};

/// The real clock: the pause sleeps the thread, the timers are precise Qt timers.
class RealModemTiming : public ModemTiming {
public:
    void pause(int ms) override;
    std::unique_ptr<ModemTimer> makeTimer(TimerMode mode, std::function<void()> expired) override;
};
