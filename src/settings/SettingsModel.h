// The program's settings while it runs: loaded from tvk.ini at start, edited by the settings dialog.
#pragma once

#include "audio/WaveFormat.h"
#include "base/ConfigKeys.h"
#include "settings/SerialLine.h"

#include <QObject>
#include <QString>
#include <QStringList>

class StartupRegistration;

/// Every setting other parts read while they work (reply time-out, serial parameters, caller
/// identification, trace display, external player, automatic recording, the file compression).
/// `load()` follows the load rules: a missing key (or group) is written with its default.
/// `save()` writes what the dialog's OK writes after the modem section's gains and compression
/// (SettingsEditor). The keys and their defaults are those of base/ConfigKeys.h.
class SettingsModel : public QObject {
    Q_OBJECT
public:
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
    /// `CallerID` and [Mail] `AttachAs` once it is stored or not WAV. ConfigWriteError propagates.
    void save();

    Config& config() const { return m_config; }
    /// The folder of tvk.ini and the format files.
    const QString& workingFolder() const { return m_workingFolder; }
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
    /// A font was chosen since the last load or save; save() writes it only then.
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
    // Mirror
    /// `MirrorFolder`: the folder kept as a second copy of the working folder; empty (the default) for none.
    QString mirrorFolder() const { return m_mirrorFolder; }
    /// `[Disk] FloorMB`: free megabytes below which a recording ends; 0 (the default) is automatic.
    int diskFloorMegabytes() const { return m_diskFloorMegabytes; }
    // Contacts
    /// `[Contacts] HomeCountry`: the two-letter region of numbers written without a country code;
    /// empty (the default) takes the system locale's. Read by the program at start.
    QString homeCountry() const { return m_homeCountry; }
    /// Empty or two letters A-Z in either case.
    static bool isHomeCountry(const QString& text);
    // Mail
    /// The names of the e-mail attachment formats ([Mail] AttachAs), in the dialog's order: the
    /// stored WAV file first, then the compressed copies.
    static const QStringList& attachFormats();
    /// The index in attachFormats(); a missing or unknown name is WAV's.
    int attachAsIndex() const { return m_attachAsIndex; }
    QString attachAs() const { return attachFormats().value(m_attachAsIndex); }
    /// "Remote access": the web page the running recorder serves ([Web] of tvk.ini).
    struct RemoteAccess {
        bool enabled = ConfigKeys::kWebEnabled.defaultValue;
        QString address = ConfigKeys::kWebListenAddress.defaultValue;
        int port = ConfigKeys::kWebPort.defaultValue;
        QString certificate;
        QString privateKey;
        bool allowPlainHttp = ConfigKeys::kWebAllowPlainHttp.defaultValue;
        bool operator==(const RemoteAccess&) const = default;
    };
    const RemoteAccess& remoteAccess() const { return m_remoteAccess; }

    // Edits, as the dialog's controls make them; values outside a control's range are clamped.
    void setStartUp(bool on);
    void setStartToTray(bool on);
    void setCallerId(bool on);
    /// Saves the format as FileCompression.cpn at once (the "Choose" button); FileOpenError propagates.
    void setFileCompression(const WaveFormat& format);
    void setFont(const QString& name, int size, int color);
    /// The chosen font is dropped: save() leaves the stored one.
    void forgetChosenFont() { m_fontChosen = false; }
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
    void setMirrorFolder(const QString& folder);
    void setDiskFloorMegabytes(int megabytes);
    /// Ignores text that is not a home country (isHomeCountry); stored in capitals.
    void setHomeCountry(const QString& region);
    void setAttachAsIndex(int index);
    /// Takes effect at the next start of the recorder; the port is kept to 1..65535.
    void setRemoteAccess(const RemoteAccess& access);

Q_SIGNALS:
    void changed();

private:
    bool readOrWrite(const FlagSetting& setting);
    int readOrWrite(const IntegerSetting& setting);
    void loadMonitor();
    void loadAutoRecord();
    void loadStartUp();
    void loadCallerId();
    void loadFileCompression();
    void loadSerial();
    void loadFont();
    void loadMirror();
    void loadMail();
    void loadRemoteAccess();
    template <typename T> void assign(T& member, const T& value);

    Config& m_config;
    QString m_workingFolder;
    StartupRegistration* m_registration;

    bool m_startUp = ConfigKeys::kStartUp.defaultValue;
    bool m_startToTray = ConfigKeys::kSystemTray.defaultValue;
    bool m_callerId = ConfigKeys::kCallerId.defaultValue;
    WaveFormat m_fileCompression = WaveFormat::pcm(8000, 8, 1);
    bool m_fileCompressionStored = false;
    QString m_fontName = ConfigKeys::kFontName.defaultValue;
    int m_fontSize = ConfigKeys::kFontSize.defaultValue;
    int m_fontColor = ConfigKeys::kFontColor.defaultValue;
    bool m_fontChosen = false;
    int m_timeout = ConfigKeys::kTimeout.defaultValue;
    int m_baudrateIndex = ConfigKeys::kBaudrate.defaultValue;
    int m_flowControlIndex = ConfigKeys::kFlowControl.defaultValue;
    bool m_extPlayer = ConfigKeys::kExtPlayer.defaultValue;
    QString m_player = ConfigKeys::kPlayer.defaultValue;
    bool m_playTrace = ConfigKeys::kPlayTrace.defaultValue;
    bool m_recordTrace = ConfigKeys::kRecordTrace.defaultValue;
    int m_pointsIndex = ConfigKeys::kPoints.defaultValue;
    int m_backColor = ConfigKeys::kBackColor.defaultValue;
    int m_traceColor = ConfigKeys::kTraceColor.defaultValue;
    bool m_autoRecord = ConfigKeys::kAutoRecord.defaultValue;
    int m_discTime = ConfigKeys::kDiscTime.defaultValue;
    bool m_rejectCall = ConfigKeys::kRejectCall.defaultValue;
    int m_rejectRings = ConfigKeys::kRejectRings.defaultValue;
    bool m_recordOutgoing = ConfigKeys::kRecordOutgoing.defaultValue;
    QString m_mirrorFolder;
    int m_diskFloorMegabytes = 0;
    QString m_homeCountry;
    int m_attachAsIndex = 0;
    RemoteAccess m_remoteAccess;
    bool m_remoteAccessEdited = false; // [Web] is written only once the user changed it
};
