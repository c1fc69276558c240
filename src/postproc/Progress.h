// How the post-processing passes report how far they are, and the rounding their numbers use.
#pragma once

#include <cmath>
#include <functional>

/// Receives a percentage (0 to 100) while a pass runs; called only when the value changes, so a
/// window may repaint its gauge and run pending events there.
using ProgressCallback = std::function<void(int percent)>;

/// Passes the percentages of a pass on to a callback, each value once.
class ProgressSteps {
public:
    explicit ProgressSteps(const ProgressCallback& callback) : m_callback(callback) {}
    void report(int percent) {
        if (m_callback && percent != m_last) {
            m_last = percent;
            m_callback(percent);
        }
    }

private:
    const ProgressCallback& m_callback;
    int m_last = -1;
};

/// Rounds to the nearest whole number, halves to the even neighbour (the default rounding of the
/// processor, which the sample arithmetic of both passes relies on).
inline long long roundHalfEven(long double x) {
    return std::llrint(x);
}
