// What a finished recording says about its call, for the call log.
#pragma once

#include <QString>

struct RecordedCall {
    /// A tone within this much of the line's sound means nobody took the call: the line gave dial or
    /// busy tone as soon as it was seized.
    static constexpr qint64 kToneAtOnceMs = 3000;

    QString recordingId; ///< the catalogue row's id; empty when nothing was catalogued
    bool outgoing = false;
    QString dialled;         ///< the digits of a call the user made (from the modem, else from the sound)
    bool toneAtOnce = false; ///< an incoming call whose line gave a dial or busy tone at once
};
