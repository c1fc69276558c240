// Collecting the digits of a dialled number.
#include "modem/DialledNumber.h"

#include "modem/DleFilter.h"

void DialledNumber::add(char digit, qint64 atMs) {
    if (m_over || !DleFilter::dtmfDigit(digit))
        return;
    if (!m_digits.isEmpty() && atMs - m_lastMs > kPauseMs) {
        m_over = true;
        return;
    }
    m_lastMs = atMs;
    if (m_digits.size() < kMaxDigits)
        m_digits.append(QLatin1Char(digit));
}
