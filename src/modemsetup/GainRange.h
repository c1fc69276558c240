// The receive or transmit gain range a modem reports to "at+VGR=?" / "at+VGT=?".
#pragma once

#include <QString>

struct GainRange {
    int low = 0;
    int high = 0;
    bool operator==(const GainRange&) const = default;
};

/// Reads "low-high" after dropping the first "(" and ")" and anything up to the first ",". An
/// unreadable low value counts as 0, an unreadable high one as 255; low >= high gives (-1, -1). A
/// reply without "-" leaves `range` as the caller set it.
void parseGainRange(const QString& reply, GainRange& range);
