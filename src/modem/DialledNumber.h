// The number of a call the user makes, from the DTMF digits the modem reports while it is dialled.
#pragma once

#include <QString>

/// Digits are taken until the dialling is over: a digit that comes more than kPauseMs after the one
/// before it is a choice made during the conversation (a voice menu), not part of the number.
class DialledNumber {
public:
    static constexpr qint64 kPauseMs = 4000;
    /// Longer than any number dialled by hand; the rest of a flood of codes is dropped.
    static constexpr int kMaxDigits = 32;

    void clear() { *this = DialledNumber(); }
    /// `digit` (0 to 9, * or #) reported `atMs` into the call; times never go back.
    void add(char digit, qint64 atMs);
    const QString& digits() const { return m_digits; }

private:
    QString m_digits;
    qint64 m_lastMs = 0;
    bool m_over = false;
};
