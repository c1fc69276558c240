// The settings dialog's work on the configuration, without widgets: what it shows each time, OK,
// "Choose" and "Browse".
#pragma once

#include <QString>
#include <optional>

class Config;
class FormatChooser;
class Prompter;
class SettingsModel;
class SettingsModemAccess;

/// A gain range of the modem profile (`vgtMin`/`vgtMax`, `vgrMin`/`vgrMax`).
struct GainSpan {
    int min = 0;
    int max = 255;
};

/// What the settings dialog's OK hands over besides the settings themselves.
struct SettingsConfirmation {
    int speakerLevel = 128;     ///< the speaker volume slider's position
    int recordLevel = 128;      ///< the recording level slider's position
    int compressionIndex = -1;  ///< the selected line of the compression list; -1 when none
    QString compressionCommand; ///< that line's "at+vsm=..." command
};

/// Edits the settings model as the dialog's steps do, and reads the modem profile keys the dialog shows
/// (the gains and the compression choice are part of the modem profile rather than settings, so the
/// model does not hold them). Kept apart from the dialog so that every step runs without a screen.
class SettingsEditor {
public:
    explicit SettingsEditor(SettingsModel& model);

    SettingsModel& model() const { return m_model; }

    /// What the dialog takes from the configuration each time it is shown: with a modem section the
    /// speed and flow-control indices and the time-out (default 2); the external-player box; "Load at
    /// startup"; caller identification, unticked when the profile has no caller ID command. Drops a
    /// chosen font.
    void loadShownValues();
    /// OK: the gains and the compression choice (with a modem section), then the model's save(). When
    /// the codec matcher refuses the chosen compression, ModemCompression.cpn is deleted, nothing after
    /// the choice is written and false is returned: the dialog stays open. ConfigWriteError propagates.
    bool confirm(const SettingsConfirmation& choice, SettingsModemAccess* modemSide);
    /// The dialog's gains: each key is written ("at+vgt=" / "at+vgr=" + level) unless it holds "none".
    void saveGains(int speakerLevel, int recordLevel);
    /// A chosen compression: `Modem` `VoiceCompression` and `Params` `Compression`.
    void saveCompressionChoice(int index, const QString& vsmCommand);

    enum class FormatChoice { Cancelled, Saved, Refused };
    /// "Choose" for the file compression: the codec service's chooser on the current format; a
    /// confirmed format is saved as FileCompression.cpn only when a converter to it opens. A refused
    /// format shows "Error was created. Choose a different compression." and the previous one stays.
    FormatChoice chooseFileCompression(FormatChooser& chooser, Prompter& prompter);
    /// "Browse": the player program, written as `Player` at once; the working folder is made current
    /// again. ConfigWriteError propagates.
    void setBrowsedPlayer(const QString& program);

    /// The configuration as the dialog shows it.
    bool modemConfigured() const;
    QString modemModel() const;
    int modemPort(int defaultPort) const;
    /// `Fonts` `FontName` as stored; empty when none was ever chosen.
    QString storedFontName() const;
    /// The profile has a formatted caller ID command (`ForCallerId` is not "none").
    bool callerIdAvailable() const;
    /// `Params` `Compression`, the selected line of the compression list (default 0).
    int compressionIndex() const;
    /// The levels of `SpeakerVol` and `RecGain` (default "128"); nothing for "none" or a text that is
    /// no number.
    std::optional<int> speakerLevel() const;
    std::optional<int> recordLevel() const;
    /// The level of a gain command: the text after the first "=" (the whole text without one).
    static std::optional<int> gainLevel(const QString& command);
    GainSpan speakerSpan() const;
    GainSpan recordSpan() const;
    /// A slider's tick spacing for its span (maximum - minimum); a span above 255 keeps `current`.
    static int tickSpacing(int span, int current);
    QString modemCompressionPath() const;

private:
    Config& config() const;
    /// Puts `contents` back into `path`, or removes it when it did not exist.
    static void restoreFile(const QString& path, bool existed, const QByteArray& contents);

    SettingsModel& m_model;
};
