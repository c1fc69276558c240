// The one composition root: every controller of a run, created in the program's order and closed in one sequence.
#pragma once

#include "base/Logger.h"
#include "program/ShutdownSequence.h"
#include "program/StartOptions.h"
#include "recorder/DiskSpaceWatch.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class CallLog;
class CallLogWriter;
class Catalogue;
class CommandServer;
class ForwardedCommands;
class ContactBook;
class DiagnosticsReport;
class CatalogueLock;
class Config;
class CurrentCompression;
class ModemController;
class ModemProfile;
class ModemProfileWriter;
class ModemSearch;
class OutputDevices;
class PlaybackController;
class Player;
class Prompter;
class QueryModemBox;
class RecordingKeeping;
class RecordingMirror;
class SettingsModel;
class SettingsModemAccess;
class SettingsModemSide;
class StartupConfiguration;
class StartupRegistration;
class VoiceCapabilityProbe;
class VoiceRecorder;

/// Both front ends create one Program and run `start`; the windowed program creates its windows
/// between the steps (the observer), orlamo-cli does not. Start steps raise the project's errors
/// (ConfigWriteError, TableError, ...) to the front end, which shows them and ends.
class Program : public QObject {
    Q_OBJECT
public:
    /// The steps of `start`, in order; the observer runs after each.
    enum class Step {
        Catalogue,      ///< working folder made current, the catalogue's lock taken (one writer at a
                        ///< time), recordings and folders tables, folder tree
        Configuration,  ///< tvk.ini open
        Settings,       ///< the settings model loaded with its rules
        Probe,          ///< the voice capability probe and the program-wide profile
        Modem,          ///< the modem controller with the settings' line settings
        StartupCreated, ///< the start-up configuration exists; its first-run check has not run
        StartupApplied, ///< first-run check done, configuration applied (port open, modem initialised)
        Recorder,       ///< the Record and Stop actions; a recording left by a crash recovered
        Armed,          ///< start-up complete: the rings of an accepted call now start a recording
    };
    using StepObserver = std::function<void(Step)>;

    /// The working folder `options` choose (--workdir, else the program's folder when writable,
    /// else $XDG_DATA_HOME/orlamo), created when missing.
    static QString workingFolderFor(const StartOptions& options, const QString& programFolder);

    /// `workDir` is made the current directory by `start`. The prompter must outlive the program.
    Program(QString workDir, StartOptions options, Prompter& prompter, QObject* parent = nullptr);
    /// Runs the close sequence when `shutdown` has not run.
    ~Program() override;

    /// The whole start, in the program's order. Errors propagate; what was created stays and is
    /// closed by `shutdown`.
    void start(const StepObserver& afterStep = {});
    /// The modem side only, for commands that talk to the modem without recording: configuration,
    /// settings, probe, modem controller, search and profile writer. Nothing of the catalogue is opened
    /// and the port stays closed.
    void startModemSide();

    /// The close: automatic recording disarmed, a running recording stopped and catalogued, tables
    /// closed, work files deleted, the event log written, the folder tree saved, the port closed,
    /// `windowSteps` (the window's geometry), the configuration released. A failing step is logged
    /// and the rest goes on. Runs once; returns the names of the steps that failed.
    QStringList shutdown(const std::function<void()>& windowSteps = {});
    bool closed() const { return m_closed; }
    /// The names of the close steps, in order.
    static QStringList shutdownStepNames();

    const QString& workDir() const { return m_workDir; }
    /// A file of the working folder.
    QString path(const QString& name) const;
    Logger& logger() { return m_logger; }
    /// Tests swap the prompter before `start`.
    void setPrompter(Prompter& prompter) { m_prompter = &prompter; }

    // The parts, for the front ends' composition code: the windowed program hands them to its
    // windows as it creates them, each orlamo-cli command wires the few it runs. Each exists from its
    // start step until the close sequence releases it (the catalogue until the program goes).
    bool hasConfig() const { return m_config != nullptr; }
    bool hasRecorder() const { return m_recorder != nullptr; }
    Config& config() const { return *m_config; }
    Catalogue& catalogue() const { return *m_catalogue; }
    SettingsModel& settings() const { return *m_settings; }
    QueryModemBox& queryBox() const { return *m_queryBox; }
    VoiceCapabilityProbe& probe() const { return *m_probe; }
    DiagnosticsReport& diagnostics() const { return *m_diagnostics; }
    ModemController& modem() const { return *m_modem; }
    ModemSearch& modemSearch() const { return *m_search; }
    ModemProfileWriter& profileWriter() const { return *m_writer; }
    StartupConfiguration& startup() const { return *m_startup; }
    /// What the settings dialog asks of the modem side; exists with the start-up configuration.
    SettingsModemAccess& settingsModemSide() const;
    VoiceRecorder& recorder() const { return *m_recorder; }
    /// The sound output devices and their volumes; the player and the previews play on them.
    OutputDevices& outputDevices() const { return *m_outputDevices; }
    /// Play, Pause, Stop, Rewind, Fast forward, the playback tick and the volume; created with the recorder.
    PlaybackController& playback() const { return *m_playback; }
    /// The disk floor and retention; created with the playback.
    RecordingKeeping& keeping() const { return *m_keeping; }
    /// Tests give the disk watch its free space before `start`.
    void setFreeBytesSource(DiskSpaceWatch::FreeBytes source) { m_freeBytes = std::move(source); }
    /// Every call that rang or was made, with what became of it; created with the recorder.
    CallLog& callLog() const { return *m_callLog; }
    bool hasCallLog() const { return m_callLog != nullptr; }
    /// Writes the call log's rows; a contact list gives it the callers' names (setNameLookup).
    CallLogWriter& callLogWriter() const { return *m_callLogWriter; }
    /// The contacts of the working folder (contacts.vcf); exists from the configuration step.
    bool hasContacts() const { return m_contacts != nullptr; }
    ContactBook& contacts() const { return *m_contacts; }
    /// The caller identification text with the contact's name when the line sent none: what the
    /// pop-up shows and the memo of the recording says.
    QString callerText(const QString& callerId) const;
    /// The mirror folder's copies; created with the recorder.
    RecordingMirror& mirror() const { return *m_mirror; }

    // What only the tests of a run without windows look into.
    ModemProfile& profile() const { return *m_profile; }
    CurrentCompression& currentCompression() const { return *m_current; }
    Player& player() const { return *m_player; }

    /// The first-run search: searches the ports and writes the profile of the first modem found. A
    /// window replaces it with the user's choice (StartupConfiguration::setModemSearch).
    int searchAndWriteFirstModem();

    /// Whether Record may be used: the modem has voice features, and no port opening has failed since
    /// the last one that succeeded. Modem Off leaves it as it is: Record then opens the port itself.
    bool recordAvailable() const { return m_recordAvailable; }
    /// The Modem On command; false (after the message) when the port could not be opened.
    bool modemOn();
    /// The Modem Off command.
    void modemOff();

    /// "Settings...": logs the click and closes the modem port (a port that does not close, or a
    /// recording in progress, ends it here: false, no dialog). Then, with the recordings view's updates
    /// held back, automatic recording disarmed while `dialog` runs, and the configuration applied
    /// again (port reopened, automatic recording restored); back on the row that was current.
    bool changeSettings(const std::function<void()>& dialog);

    /// True from the end of `start` until `shutdown`: an accepted call whose rings stopped is recorded.
    bool automaticRecordingArmed() const { return m_armed; }
    /// Stops a running recording with its full stop sequence (catalogue entry, modem reopened).
    void stopRecording();
    /// The developer's re-probe: the compression list rebuilt from the lines standing in the Query
    /// Modem box (no modem is asked), then the modem compression chosen from it. True when both worked.
    bool reprobeFromQueryBox();

Q_SIGNALS:
    void recordAvailableChanged(bool available);
    /// The rings of an accepted call stopped but its recording was not started automatically:
    /// `reason` says why (the caller is a contact marked do not record). The Record button still works.
    void automaticRecordingSkipped(const QString& callerText, const QString& reason);
    /// The close sequence has run.
    void finished();

private:
    void openCatalogue();
    void openConfiguration();
    void createSettings();
    void createProbe();
    void createModem();
    void createModemSetup();
    void createStartup();
    void createRecorder();
    void createPlayback();
    void createKeeping();
    void createCallLog();
    void createContacts();
    /// True (after logging it) when the call that rang is from a contact marked do not record.
    bool skipDoNotRecordCaller();
    void createMirror();
    void recordTriggered();
    void releaseControllers();
    void listenForCommands();
    void setRecordAvailable(bool available);
    bool voiceFeatures() const;

    StartOptions m_options;
    QString m_workDir;
    Prompter* m_prompter;
    Logger m_logger;
    bool m_armed = false;
    bool m_recordAvailable = false;
    bool m_closed = false;
    bool m_callerIdThisCall = false; ///< a caller identification came for the call that rings now

    // In creation order; released in reverse.
    std::unique_ptr<CatalogueLock> m_lock; // held from opening the catalogue until the tree is saved
    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<Config> m_config;
    std::unique_ptr<ContactBook> m_contacts;
    std::unique_ptr<StartupRegistration> m_registration;
    std::unique_ptr<SettingsModel> m_settings;
    std::unique_ptr<ModemProfile> m_profile;
    std::unique_ptr<CurrentCompression> m_current;
    std::unique_ptr<QueryModemBox> m_queryBox;
    std::unique_ptr<VoiceCapabilityProbe> m_probe;
    std::unique_ptr<ModemController> m_modem;
    std::unique_ptr<ModemSearch> m_search;
    std::unique_ptr<ModemProfileWriter> m_writer;
    std::unique_ptr<DiagnosticsReport> m_diagnostics;
    std::unique_ptr<StartupConfiguration> m_startup;
    std::unique_ptr<SettingsModemSide> m_settingsModemSide;
    std::unique_ptr<VoiceRecorder> m_recorder;
    std::unique_ptr<OutputDevices> m_outputDevices;
    std::unique_ptr<Player> m_player;
    std::unique_ptr<PlaybackController> m_playback;
    DiskSpaceWatch::FreeBytes m_freeBytes;
    std::unique_ptr<RecordingKeeping> m_keeping;
    // The catalogue commands orlamo-cli hands over while this program holds the catalogue.
    std::unique_ptr<ForwardedCommands> m_forwardedCommands;
    std::unique_ptr<CommandServer> m_commandServer;
    std::unique_ptr<CallLog> m_callLog;
    std::unique_ptr<CallLogWriter> m_callLogWriter;
    std::unique_ptr<RecordingMirror> m_mirror;
};
