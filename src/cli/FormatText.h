// A sound format as a user writes it on the command line: FORMAT[:RATE[:BITS[:CHANNELS]]].
#pragma once

#include "audio/WaveFormat.h"

#include <QString>
#include <optional>

namespace FormatText {

/// The format `text` names, with missing values taken from `defaults`; nothing (and `error` says why)
/// on a text that names no format.
std::optional<WaveFormat> parse(const QString& text, const WaveFormat& defaults, QString& error);

} // namespace FormatText
