// The windowed program: the program's controllers with their windows, the single instance and the signals.
#pragma once

#include "program/Program.h"
#include "program/StartOptions.h"

#include <QObject>
#include <QStringList>
#include <memory>

class AboutDialog;
class CallerIdPopup;
class DialogPrompter;
class LoggerWindow;
class MainWindow;
class ModemChoiceWindow;
class MoveToDialog;
class Prompter;
class ProgressWindow;
class QueryModemWindow;
class ReportProblemDialog;
class SettingsDialog;
class SingleInstance;
class UnattendedPrompter;
class VoiceEqualizerDialog;
class VolumeLevelDialog;
class WavePreviewOutput;
class TraceOverview;
class ProblemReport;

class WindowedProgram : public QObject {
    Q_OBJECT
public:
    /// `arguments` without the program name. `prompter` replaces the dialogs (tests).
    explicit WindowedProgram(const QStringList& arguments, Prompter* prompter = nullptr, QObject* parent = nullptr);
    ~WindowedProgram() override;

    /// Runs the program: single-instance check, start, the message loop. Returns the exit code.
    int run();

    /// Starts the program and creates its windows in order. Errors of the start propagate (run()
    /// shows them); tests call it directly.
    void create();
    /// The component names of the windows and controllers create() made, in creation order.
    const QStringList& creationOrder() const { return m_created; }
    Program& program() const { return *m_program; }
    MainWindow* mainWindow() const { return m_main.get(); }
    SettingsDialog* settingsDialog() const { return m_settings.get(); }

    /// The orderly close a desktop logout or SIGTERM asks for: no question, a running recording is stopped.
    void requestClose();

private:
    void createWindowsAfter(Program::Step done);
    void connectMainWindow();
    void connectRecorder();
    void connectDiagnostics();
    void connectRecordingOperations();
    void connectPlayback();
    void connectPostProcessing();
    /// "Settings...": the dialog between closing the port and applying the configuration again.
    void settingsClicked();
    template <class T, class... Args> std::unique_ptr<T> make(const char* component, Args&&... args);

    StartOptions m_options;
    std::unique_ptr<DialogPrompter> m_dialogPrompter;
    std::unique_ptr<UnattendedPrompter> m_unattendedPrompter;
    Prompter* m_prompter = nullptr;
    std::unique_ptr<SingleInstance> m_instance;
    QStringList m_created;

    std::unique_ptr<Program> m_program;
    // In creation order; destroyed in reverse, before the program.
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SettingsDialog> m_settings;
    std::unique_ptr<VolumeLevelDialog> m_volumeLevel;
    std::unique_ptr<AboutDialog> m_about;
    std::unique_ptr<ReportProblemDialog> m_reportProblem;
    std::unique_ptr<ProgressWindow> m_progress;
    std::unique_ptr<LoggerWindow> m_loggerWindow;
    std::unique_ptr<MoveToDialog> m_moveTo;
    std::unique_ptr<VoiceEqualizerDialog> m_voiceEqualizer;
    std::unique_ptr<QueryModemWindow> m_queryModem;
    std::unique_ptr<ModemChoiceWindow> m_modemChoice;
    std::unique_ptr<CallerIdPopup> m_callerId;
    // What the post-processing windows play and draw into; they go before the windows.
    std::unique_ptr<WavePreviewOutput> m_preview;
    std::unique_ptr<TraceOverview> m_overview;
    std::unique_ptr<ProblemReport> m_problemReport;
};
