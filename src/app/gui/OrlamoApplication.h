// The composition root of the windowed program: creates every window and controller in order.
#pragma once

#include "app/AppState.h"
#include "app/ShutdownSequence.h"

#include <QObject>
#include <QStringList>
#include <memory>

class DialogPrompter;
class UnattendedPrompter;
class SingleInstance;
class TfmMain;
class TfmSettings;
class TfmVolLevel;
class TfmAbout;
class TfmAskSupport;
class TProgressForm;
class TfmMonitor;
class TMoveToForm;
class TfmVoEqzer;
class TfmQueryModem;
class TSpecModemForm;
class TfmCallerID;
class RecorderCore;

class OrlamoApplication : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kAlreadyLoaded =
        "TVK already loaded Maybe minimized on the taskbar (lower right side)";

    /// `arguments` without the program name.
    explicit OrlamoApplication(const QStringList& arguments, QObject* parent = nullptr);
    ~OrlamoApplication() override;

    /// Runs the program: single-instance check, creation of the windows, the message loop.
    /// Returns the process exit code.
    int run();

    /// Creates every window in the program's order (run() calls it; tests call it directly).
    void create();
    /// The class names of what create() made, in creation order.
    const QStringList& creationOrder() const { return m_created; }
    const ShutdownSequence& shutdownSequence() const { return m_shutdown; }
    AppState& state() { return m_state; }
    TfmMain* mainWindow() const { return m_main.get(); }
    RecorderCore* core() const { return m_core.get(); }

    /// The orderly close a desktop logout or SIGTERM asks for: no question, a running recording is stopped.
    void requestClose();

private:
    void buildShutdownSequence();
    void installSignalHandlers();
    template <class T, class... Args> std::unique_ptr<T> make(Args&&... args);
    void connectMainWindow();
    void connectRecorder();

    AppState m_state;
    std::unique_ptr<DialogPrompter> m_dialogPrompter;
    std::unique_ptr<UnattendedPrompter> m_unattendedPrompter;
    std::unique_ptr<SingleInstance> m_instance;
    QStringList m_created;
    ShutdownSequence m_shutdown;

    // In creation order; destroyed in reverse. The core's controllers are created between the windows.
    std::unique_ptr<RecorderCore> m_core;
    std::unique_ptr<TfmMain> m_main;
    std::unique_ptr<TfmSettings> m_settings;
    std::unique_ptr<TfmVolLevel> m_volLevel;
    std::unique_ptr<TfmAbout> m_about;
    std::unique_ptr<TfmAskSupport> m_askSupport;
    std::unique_ptr<TProgressForm> m_progress;
    std::unique_ptr<TfmMonitor> m_monitor;
    std::unique_ptr<TMoveToForm> m_moveTo;
    std::unique_ptr<TfmVoEqzer> m_voEqzer;
    std::unique_ptr<TfmQueryModem> m_queryModem;
    std::unique_ptr<TSpecModemForm> m_specModem;
    std::unique_ptr<TfmCallerID> m_callerId;
};
