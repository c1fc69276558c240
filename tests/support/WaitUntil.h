// Waiting on events in tests without fixed sleeps.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

/// Handles events until `done` holds or the time is up; false when the time ran out.
template <typename Pred> bool waitUntil(Pred done, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}
