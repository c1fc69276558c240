// Port numbers to device paths.
#include "modem/PortMap.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"

#include <array>

QString PortMap::devicePath(const Config* config, int number) {
    const QString key = ConfigKeys::portKey(number);
    if (config != nullptr && config->valueExists(ConfigKeys::kPortsSection, key)) {
        return config->readString(ConfigKeys::kPortsSection, key, QString()).trimmed();
    }
#ifdef Q_OS_WIN
    return number >= 1 ? QStringLiteral("COM%1").arg(number) : QString();
#else
    static const std::array<const char*, 8> defaults = {"/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyACM0", "/dev/ttyACM1",
                                                        "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS2",   "/dev/ttyS3"};
    if (number < 1 || number > static_cast<int>(defaults.size()))
        return QString();
    return QString::fromLatin1(defaults[static_cast<size_t>(number - 1)]);
#endif
}

QString PortMap::deviceLine(int number, const QString& device) {
    if (device.isEmpty())
        return QStringLiteral("Com port %1 has no device").arg(number);
    return QStringLiteral("Com port %1 is %2").arg(number).arg(device);
}

QString PortMap::describe(int number, const QString& device) {
    if (device.isEmpty())
        return QString::number(number);
    return QStringLiteral("%1 (%2)").arg(number).arg(device);
}
