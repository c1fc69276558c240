// The settings the modem controller works with: line settings, reply time-out and call handling.
#pragma once

#include "modem/SerialChannel.h"

#include <QString>

class SettingsModel;

/// A copy of what the controller needs, taken from the program's one settings model (`fromSettings`)
/// and the modem profile's port and caller-identification commands, so the controller never reads
/// tvk.ini with rules of its own.
struct ModemSettings {
    int port = 1;                                                           ///< the profile's `port`
    int baud = 115200;                                                      ///< the settings' speed
    SerialChannel::FlowControl flow = SerialChannel::FlowControl::Hardware; ///< the settings' flow control
    int replyTimeoutSeconds = 4;                                            ///< the settings' reply time-out, 1..6
    bool autoRecord = true;
    bool callerId = true;
    bool rejectCall = true;
    int rejectRings = 6;         ///< 2..20
    bool recordOutgoing = false; ///< the handset lifted without a ring before it starts a recording
    QString forCallerId;         ///< the profile's command that turns caller identification on
    QString disCallerId;         ///< the profile's command that turns it off

    /// Everything the settings model holds; the port and the caller-identification commands keep
    /// the values of `line`.
    static ModemSettings fromSettings(const SettingsModel& settings, const ModemSettings& line);
    static ModemSettings fromSettings(const SettingsModel& settings);
};
