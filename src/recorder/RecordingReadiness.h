// Whether a recording could start now, asked before any call rings.
#pragma once

#include <QString>

class SettingsModel;

/// The checks of a recording's start that need no modem: the modem's compression has a codec
/// format (ModemCompression.cpn), the file compression loads, a conversion between the two opens,
/// and the wav folder takes a new file. A recorder on a server that fails one of them would lose
/// every call without a word until someone reads the event log.
class RecordingReadiness {
public:
    /// Empty when a recording could start; otherwise what stops it, in the words of the message a
    /// start would show.
    static QString problem(const QString& workDir, const SettingsModel& settings);
};
