// The windowed program: the program's controllers with their windows, the single instance and the signals.
#pragma once

#include "program/Program.h"
#include "program/StartOptions.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>

class AboutDialog;
class CallerIdPopup;
class ContactsWindow;
class WebServer;
class DialogPrompter;
class FindDialog;
class LoggerWindow;
class MailHandOver;
class MainWindow;
class ModemChoiceWindow;
class MoveToDialog;
class Prompter;
class ProgressWindow;
class QueryModemWindow;
class RecordingOperations;
class ReportProblemDialog;
class SettingsDialog;
class SingleInstance;
class TerminationSignals;
class UnattendedPrompter;
class VoiceEqualizerDialog;
class VolumeLevelDialog;
class WavePreviewOutput;
class TraceOverview;
class ProblemReport;

/// The windowed front end's composition code: it creates the windows between the program's start
/// steps, each with the parts it uses, and wires them to the controllers here and nowhere else.
class WindowedProgram : public QObject {
    Q_OBJECT
public:
    /// A window or controller create() made, under its legacy component name (`TfmMain`, ...).
    struct Created {
        QString component;
        QPointer<QObject> object;
    };

    /// `arguments` without the program name. `prompter` replaces the dialogs (tests).
    explicit WindowedProgram(const QStringList& arguments, Prompter* prompter = nullptr, QObject* parent = nullptr);
    ~WindowedProgram() override;

    /// Runs the program: single-instance check, start, the message loop. Returns the exit code.
    int run();

    /// Starts the program and creates its windows in order. Errors of the start propagate (run()
    /// shows them); tests call it directly.
    void create();
    /// The windows and controllers create() made, in creation order.
    const QList<Created>& creationOrder() const { return m_created; }
    Program& program() const { return *m_program; }
    MainWindow* mainWindow() const { return m_main.get(); }
    SettingsDialog* settingsDialog() const { return m_settings.get(); }

    /// The orderly close a desktop logout or SIGTERM asks for: no question, a running recording is stopped.
    void requestClose();

private:
    void createWindowsAfter(Program::Step done);
    void connectMainWindow();
    void connectRecorder();
    /// The free-space panel, the tray's tool tip and the list's "Retention..." dialog.
    void connectKeeping();
    void connectDiagnostics();
    void connectRecordingOperations();
    void connectPlayback();
    void connectPostProcessing();
    void connectCallLog();
    /// "Contacts..." and "Name this caller..." open the contacts window, made on first use.
    void connectContacts();
    /// "Settings...": the dialog between closing the port and applying the configuration again.
    void settingsClicked();
    template <class T, class... Args> std::unique_ptr<T> make(const char* component, Args&&... args);
    void record(const char* component, QObject* object);

    StartOptions m_options;
    std::unique_ptr<DialogPrompter> m_dialogPrompter;
    std::unique_ptr<UnattendedPrompter> m_unattendedPrompter;
    Prompter* m_prompter = nullptr;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<TerminationSignals> m_termination;
    QList<Created> m_created;

    std::unique_ptr<Program> m_program;
    // In creation order, destroyed in reverse, all before the program: the windows follow the
    // controllers, which the program closes. A member with a Qt parent goes before that parent.
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SettingsDialog> m_settings;
    // What the post-processing windows play and draw into: made at the Recorder step, held before
    // the windows since a window stops its preview when it goes.
    std::unique_ptr<WavePreviewOutput> m_preview;
    std::unique_ptr<TraceOverview> m_overview;
    std::unique_ptr<VolumeLevelDialog> m_volumeLevel;
    std::unique_ptr<AboutDialog> m_about;
    std::unique_ptr<ReportProblemDialog> m_reportProblem;
    std::unique_ptr<ProgressWindow> m_progress;
    std::unique_ptr<LoggerWindow> m_loggerWindow;
    std::unique_ptr<MoveToDialog> m_moveTo;
    std::unique_ptr<VoiceEqualizerDialog> m_voiceEqualizer;
    std::unique_ptr<QueryModemWindow> m_queryModem;
    // The recordings' commands: mail, operations and the Find dialog (a child of the main window).
    std::unique_ptr<MailHandOver> m_mail;
    std::unique_ptr<RecordingOperations> m_operations;
    std::unique_ptr<FindDialog> m_find;
    std::unique_ptr<ModemChoiceWindow> m_modemChoice;
    // "Report a problem...": its own mail, then the report it sends.
    std::unique_ptr<MailHandOver> m_problemMail;
    std::unique_ptr<ProblemReport> m_problemReport;
    std::unique_ptr<CallerIdPopup> m_callerId;
    std::unique_ptr<ContactsWindow> m_contacts;
    // The web page, with [Web] Enabled=1.
    std::unique_ptr<WebServer> m_web;
};
