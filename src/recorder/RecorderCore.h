// The program's controllers without their windows, created and destroyed in the program's order.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

struct AppState;
class Catalogue;
class CurrentCompression;
class ModemProfile;
class QueryModemBox;
class SettingsModel;
class StartupRegistration;
class TfmAudio;
class TfmInitTVK;
class TfmModem;
class TfmParse;
class VoiceRecorder;

/// The windowed program interleaves these steps with the creation of its windows; orlamo-cli runs
/// them one after the other. Each step needs the ones before it; the configuration object must be
/// open (AppState::config) before `createSettings`.
class RecorderCore : public QObject {
    Q_OBJECT
public:
    explicit RecorderCore(AppState& state, QObject* parent = nullptr);
    ~RecorderCore() override;

    /// The recordings and folders tables and the folder tree (before the configuration is opened).
    void openCatalogue();
    /// The settings model, loaded with its rules (defaults written, FileCompression.cpn created).
    void createSettings(StartupRegistration* registration = nullptr);
    /// The reply parsers and the program-wide profile and current compression.
    void createParse();
    /// The modem controller, reading its line and call settings.
    void createModem();
    /// First-run check, then the configuration applied: profile, compression, wav folder, port, auto-record.
    /// `connect` runs before the start-up steps, so the windows follow them from the first one.
    void createInitTVK(const std::function<void(TfmInitTVK&)>& connect = {});
    void createAudio();
    /// The Record and Stop actions; recovers a recording a crash left behind, and starts a recording when the
    /// rings of an accepted call stop and the main window has been shown (the idle handler).
    void createRecorder();
    /// Every step in order (orlamo-cli); the configuration must be open.
    void createAll();

    /// The close steps that belong to the controllers.
    void closeCatalogue();
    void saveTree();
    /// Stops a running recording with its full stop sequence (catalogue entry, modem reopened).
    void stopRecording();
    void closeModemPort();

    Catalogue& catalogue() const { return *m_catalogue; }
    SettingsModel& settings() const { return *m_settings; }
    ModemProfile& profile() const { return *m_profile; }
    CurrentCompression& currentCompression() const { return *m_current; }
    QueryModemBox& queryBox() const { return *m_queryBox; }
    TfmParse& parse() const { return *m_parse; }
    TfmModem& modem() const { return *m_modem; }
    TfmInitTVK& initTVK() const { return *m_initTVK; }
    TfmAudio& audio() const { return *m_audio; }
    VoiceRecorder& recorder() const { return *m_recorder; }
    bool hasModem() const { return m_modem != nullptr; }

    /// The modem controller's settings as the settings model and profile hold them now.
    void applyModemSettings();

private:
    AppState& m_state;
    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<SettingsModel> m_settings;
    std::unique_ptr<ModemProfile> m_profile;
    std::unique_ptr<CurrentCompression> m_current;
    std::unique_ptr<QueryModemBox> m_queryBox;
    std::unique_ptr<TfmParse> m_parse;
    std::unique_ptr<TfmModem> m_modem;
    std::unique_ptr<TfmInitTVK> m_initTVK;
    std::unique_ptr<TfmAudio> m_audio;
    std::unique_ptr<VoiceRecorder> m_recorder;
};
