// The serial line choices the settings offer: the speeds by index and the flow-control kinds.
#pragma once

#include <array>

namespace SerialLine {

/// The speeds of the settings' speed list, by stored index (`baudrate` of `Modem`).
inline constexpr std::array<int, 4> kSpeeds{57600, 115200, 128000, 256000};

/// The flow-control kinds, by stored index (`FlowControl` of `Modem`).
enum class FlowControl { Hardware = 0, Software = 1, None = 2 };
inline constexpr int kFlowControlCount = 3;

} // namespace SerialLine
