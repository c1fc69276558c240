// The program's settings while it runs: loaded from tvk.ini at start, edited by the settings dialog.
#pragma once

#include "audio/WaveFormat.h"
#include "settings/SerialLine.h"

#include <QObject>
#include <QString>
#include <optional>

class Config;
class FormatChooser;
class Prompter;
class SettingsModemAccess;
class StartupRegistration;

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

/// Every setting other parts read while they work (reply time-out, serial parameters, caller
/// identification, trace display, external player, automatic recording, the file compression).
/// `load()` follows the load rules: a missing key (or group) is written with its default.
/// `save()` writes what the dialog's OK writes after the modem section's gains and compression.
class SettingsModel : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeout = 4;
    static constexpr int kDefaultDiscTime = 10;
    static constexpr int kDefaultRejectRings = 6;
    static constexpr int kDefaultPointsIndex = 3;
    static constexpr int kDefaultBackColor = 0;
    static constexpr int kDefaultTraceColor = 65280; // 0x00BBGGRR: green
    static constexpr int kDefaultBaudrateIndex = 1;
    static constexpr int kDefaultFlowControlIndex = 0;

    /// `workingFolder` holds FileCompression.cpn. `registration` may be null (no start-at-logon entry).
    SettingsModel(Config& config, QString workingFolder, StartupRegistration* registration = nullptr,
                  QObject* parent = nullptr);

    /// The load rules; also what Cancel runs. Emits changed() once.
    void load();
    /// `ExtPlayer` (default false) and `Player` (default "wmPlayer.exe"), read when the configuration
    /// is applied.
    void loadMediaPlayer();
    /// Writes the serial indices (only when section `Modem` exists), the player, a chosen font,
    /// `Timeout`, the trace keys, the automatic-record keys, the start-up keys with the registration,
    /// and `CallerID`. ConfigWriteError propagates.
    void save();
    /// The dialog's gains: each key is written ("at+vgt=" / "at+vgr=" + level) unless it holds "none".
    void saveGains(int speakerLevel, int recordLevel);
    /// A chosen compression: `Modem` `VoiceCompression` and `Params` `Compression`.
    void saveCompressionChoice(int index, const QString& vsmCommand);

    // --- the settings dialog ---
    /// What the dialog takes from the configuration each time it is shown: with a modem section the
    /// speed and flow-control indices and the time-out (default 2); the external-player box; "Load at
    /// startup"; caller identification, unticked when the profile has no caller ID command. Clears the
    /// font-chosen flag. Emits changed() once.
    void loadShownValues();
    /// OK: the gains and the compression choice (with a modem section), then `save()`. When the
    /// codec matcher refuses the chosen compression, ModemCompression.cpn is deleted, nothing after
    /// the choice is written and false is returned: the dialog stays open. ConfigWriteError propagates.
    bool confirm(const SettingsConfirmation& choice, SettingsModemAccess* modemSide);

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

    QString fileCompressionPath() const;

    // General
    bool startUp() const { return m_startUp; }
    bool startToTray() const { return m_startToTray; }
    bool callerId() const { return m_callerId; }
    const WaveFormat& fileCompression() const { return m_fileCompression; }
    /// False when FileCompression.cpn could neither be read nor created; the format is then the default.
    bool fileCompressionStored() const { return m_fileCompressionStored; }
    QString fontName() const { return m_fontName; }
    int fontSize() const { return m_fontSize; }
    int fontColor() const { return m_fontColor; }
    bool fontChosen() const { return m_fontChosen; }
    // Modem
    int timeout() const { return m_timeout; }
    int baudrateIndex() const { return m_baudrateIndex; }
    /// The speed the index selects (57600, 115200, 128000, 256000); an index out of range gives 115200.
    int baudrate() const;
    int flowControlIndex() const { return m_flowControlIndex; }
    SerialLine::FlowControl flowControl() const;
    // Media player
    bool extPlayer() const { return m_extPlayer; }
    QString player() const { return m_player; }
    // Monitor
    bool playTrace() const { return m_playTrace; }
    bool recordTrace() const { return m_recordTrace; }
    int pointsIndex() const { return m_pointsIndex; }
    /// Samples per trace frame: 1200 + 200 x index, the index kept to 0..9.
    int points() const;
    int backColor() const { return m_backColor; }
    int traceColor() const { return m_traceColor; }
    // Auto record
    bool autoRecord() const { return m_autoRecord; }
    int discTime() const { return m_discTime; }
    bool rejectCall() const { return m_rejectCall; }
    int rejectRings() const { return m_rejectRings; }
    /// "Also record calls I make" (`RecordOutgoing`, default off): a modem that reports the handset starts
    /// a recording when it is lifted without a ring before it.
    bool recordOutgoing() const { return m_recordOutgoing; }

    // Edits, as the dialog's controls make them; values outside a control's range are clamped.
    void setStartUp(bool on);
    void setStartToTray(bool on);
    void setCallerId(bool on);
    /// Saves the format as FileCompression.cpn at once (the "Choose" button); FileOpenError propagates.
    void setFileCompression(const WaveFormat& format);
    void setFont(const QString& name, int size, int color);
    void setTimeout(int seconds);
    void setBaudrateIndex(int index);
    void setFlowControlIndex(int index);
    void setExtPlayer(bool on);
    void setPlayer(const QString& program);
    void setPlayTrace(bool on);
    void setRecordTrace(bool on);
    void setPointsIndex(int index);
    void setBackColor(int color);
    void setTraceColor(int color);
    void setAutoRecord(bool on);
    void setDiscTime(int seconds);
    void setRejectCall(bool on);
    void setRejectRings(int rings);
    void setRecordOutgoing(bool on);

Q_SIGNALS:
    void changed();

private:
    bool readOrWriteBool(const QString& section, const QString& key, bool defaultValue);
    int readOrWriteInteger(const QString& section, const QString& key, int defaultValue);
    void loadMonitor();
    void loadAutoRecord();
    void loadStartUp();
    void loadCallerId();
    void loadFileCompression();
    void loadSerial();
    void loadFont();
    std::optional<int> storedGain(const char* key) const;
    GainSpan storedSpan(const char* minKey, const char* maxKey) const;
    template <typename T> void assign(T& member, const T& value);

    Config& m_config;
    QString m_workingFolder;
    StartupRegistration* m_registration;

    bool m_startUp = false;
    bool m_startToTray = false;
    bool m_callerId = true;
    WaveFormat m_fileCompression = WaveFormat::pcm(8000, 8, 1);
    bool m_fileCompressionStored = false;
    QString m_fontName = QStringLiteral("tahoma");
    int m_fontSize = 8;
    int m_fontColor = 0;
    bool m_fontChosen = false;
    int m_timeout = kDefaultTimeout;
    int m_baudrateIndex = kDefaultBaudrateIndex;
    int m_flowControlIndex = kDefaultFlowControlIndex;
    bool m_extPlayer = false;
    QString m_player = QStringLiteral("wmPlayer.exe");
    bool m_playTrace = true;
    bool m_recordTrace = true;
    int m_pointsIndex = kDefaultPointsIndex;
    int m_backColor = kDefaultBackColor;
    int m_traceColor = kDefaultTraceColor;
    bool m_autoRecord = true;
    int m_discTime = kDefaultDiscTime;
    bool m_rejectCall = true;
    int m_rejectRings = kDefaultRejectRings;
    bool m_recordOutgoing = false;
};
