// The modem controller's settings, taken from the settings model.
#include "modem/ModemSettings.h"

#include "settings/SettingsModel.h"

ModemSettings ModemSettings::fromSettings(const SettingsModel& settings, const ModemSettings& line) {
    ModemSettings s = line;
    s.baud = settings.baudrate();
    s.flow = settings.flowControl();
    s.replyTimeoutSeconds = settings.timeout();
    s.autoRecord = settings.autoRecord();
    s.callerId = settings.callerId();
    s.rejectCall = settings.rejectCall();
    s.rejectRings = settings.rejectRings();
    s.recordOutgoing = settings.recordOutgoing();
    return s;
}

ModemSettings ModemSettings::fromSettings(const SettingsModel& settings) {
    return fromSettings(settings, ModemSettings());
}
