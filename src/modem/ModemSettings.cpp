// Reading the modem controller's settings from the configuration file.
#include "modem/ModemSettings.h"

#include "app/Config.h"

#include <algorithm>

ModemSettings ModemSettings::fromConfig(const Config& config) {
    const QString params = QStringLiteral("Params");
    const QString modem = QStringLiteral("Modem");
    ModemSettings s;
    s.port = config.readInteger(modem, QStringLiteral("port"), 1);
    const int speed = std::clamp(config.readInteger(modem, QStringLiteral("baudrate"), 1), 0,
                                 static_cast<int>(ComPort::kSpeeds.size()) - 1);
    s.baud = ComPort::kSpeeds[static_cast<size_t>(speed)];
    const int flow = std::clamp(config.readInteger(modem, QStringLiteral("FlowControl"), 0), 0, 2);
    s.flow = static_cast<ComPort::FlowControl>(flow);
    s.replyTimeoutSeconds = std::clamp(config.readInteger(params, QStringLiteral("Timeout"), 4), 1, 6);
    s.autoRecord = config.readBool(params, QStringLiteral("AutoRecord"), true);
    s.callerId = config.readBool(params, QStringLiteral("CallerID"), true);
    s.rejectCall = config.readBool(params, QStringLiteral("RejectCall"), true);
    s.rejectRings = std::clamp(config.readInteger(params, QStringLiteral("RejectRings"), 6), 2, 20);
    s.forCallerId = config.readString(modem, QStringLiteral("ForCallerId"), QString());
    s.disCallerId = config.readString(modem, QStringLiteral("DisCallerId"), QString());
    return s;
}
