// The udev rule that names a USB modem /dev/orlamo-modem and keeps ModemManager away from it.
#pragma once

#include <QString>
#include <optional>

struct UsbDeviceIds {
    QString vendor; ///< four hexadecimal digits, as lsusb shows them
    QString product;
};

namespace UsbModemRule {

/// The USB ids of the device behind a serial device such as /dev/ttyUSB0 (symbolic links such as
/// /dev/serial/by-id/... are followed), read from the sysfs tree at `sysRoot`. None when the device
/// is not on USB or its ids are not four hexadecimal digits each.
std::optional<UsbDeviceIds> idsOf(const QString& device, const QString& sysRoot = QStringLiteral("/sys"));

/// The rule line for /etc/udev/rules.d/61-orlamo-modem-local.rules.
QString ruleFor(const UsbDeviceIds& ids);

} // namespace UsbModemRule
