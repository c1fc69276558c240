// What the settings dialog asks of the modem side, which is built on the settings and so cannot be
// reached from here directly.
#pragma once

#include <QList>
#include <QString>

/// One line of the dialog's compression list.
struct CompressionChoice {
    QString text;       ///< the record's display form, e.g. "UNSIGNED PCM 8bit 8000Hz"
    QString vsmCommand; ///< the record's "at+vsm=..." command
};

class SettingsModemAccess {
public:
    virtual ~SettingsModemAccess() = default;

    /// The program-wide voice-features flag.
    virtual bool voiceFeatures() const = 0;
    /// The records of Compressions.d in file order, at most 101; empty when the file is missing or
    /// the modem has no voice features.
    virtual QList<CompressionChoice> compressionChoices() const = 0;
    /// The codec format matcher on the stored compression choice: writes ModemCompression.cpn and
    /// returns true, or shows the matcher's message and returns false.
    virtual bool matchCompression() = 0;
    /// "Find modems": closes the port when it is open, searches the ports with the settings' speed and
    /// flow control, and lets the user confirm a modem (the profile writer stores it). With none found
    /// `Voicefeatures` becomes false, "        No modem detected        " is shown and section `Modem`
    /// is erased. Returns the number of modems found.
    virtual int findModems() = 0;
    /// Whether the modem has shown that it reports the local handset (an off-hook event was seen).
    virtual bool reportsHandset() const = 0;
};
