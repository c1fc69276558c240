// Maps the program's serial port numbers 1..8 to the devices of this system.
#pragma once

#include <QString>

class Config;

namespace PortMap {

/// The device of port `number`: key `Com`n of section `Ports` when present, else the default table
/// (/dev/ttyS0, /dev/ttyS1, /dev/ttyACM0, /dev/ttyACM1, /dev/ttyUSB0, /dev/ttyUSB1, /dev/ttyS2,
/// /dev/ttyS3; "COM"n on Windows). A number outside 1..8 without a configured key has no device
/// and yields an empty text. `config` may be null.
QString devicePath(const Config* config, int number);

/// How a port is shown in logs and messages: the number followed by its device, "1 (/dev/ttyS0)".
QString describe(int number, const QString& device);

/// The log line that names a port's device, "Com port 1 is /dev/ttyS0" ("... has no device" when
/// none is known). It stands beside the fixed "Com port N opened..." lines, which support tools
/// read and which therefore carry the number alone.
QString deviceLine(int number, const QString& device);

} // namespace PortMap
