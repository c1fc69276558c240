// The settings the modem controller reads: line settings, reply time-out and call handling.
#pragma once

#include "modem/ComPort.h"

#include <QString>

class Config;

/// Filled by the composition root (from the settings model once it exists) and handed to
/// `TfmModem::setSettings`; `fromConfig` reads the same values straight from tvk.ini.
struct ModemSettings {
    int port = 1;      ///< `port` of `Modem`
    int baud = 115200; ///< from `baudrate` of `Modem` (index into ComPort::kSpeeds)
    ComPort::FlowControl flow = ComPort::FlowControl::Hardware; ///< `FlowControl` of `Modem`
    int replyTimeoutSeconds = 4;                                ///< `Timeout` of `Params`, 1..6
    bool autoRecord = true;                                     ///< `AutoRecord` of `Params`
    bool callerId = true;                                       ///< `CallerID` of `Params`
    bool rejectCall = true;                                     ///< `RejectCall` of `Params`
    int rejectRings = 6;                                        ///< `RejectRings` of `Params`, 2..20
    QString forCallerId;                                        ///< `ForCallerId` of `Modem`
    QString disCallerId;                                        ///< `DisCallerId` of `Modem`

    /// The values as stored, with the file's defaults, out-of-range numbers brought into range.
    static ModemSettings fromConfig(const Config& config);
};
