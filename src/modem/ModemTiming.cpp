// The real clock of the modem exchange and call detection.
#include "modem/ModemTiming.h"

#include <QThread>
#include <QTimer>

namespace {

class RealModemTimer final : public ModemTimer {
public:
    RealModemTimer(TimerMode mode, std::function<void()> expired) {
        // Coarse timers may fire up to 5 % early; the time-outs here are promises to the user.
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setSingleShot(mode == TimerMode::SingleShot);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(expired));
    }
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

void RealModemTiming::pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

std::unique_ptr<ModemTimer> RealModemTiming::makeTimer(TimerMode mode, std::function<void()> expired) {
    return std::make_unique<RealModemTimer>(mode, std::move(expired));
}
