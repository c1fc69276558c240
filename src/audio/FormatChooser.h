// How core code asks the user for an audio format: the codec service's chooser, shown by the GUI.
#pragma once

#include <QString>
#include <cstdint>
#include <span>

class FormatChooser {
public:
    virtual ~FormatChooser() = default;
    /// Shows the chooser, initialised from the format in `buffer`. Returns 0 with the chosen format in
    /// `buffer`, AcmResult::Cancelled (515) when the user cancelled, or another result code on failure.
    virtual int chooseFormat(const QString& title, std::span<uint8_t, 128> buffer) = 0;
};
