// Program start and shutdown.
#include "app/gui/OrlamoApplication.h"

#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/UnattendedPrompter.h"
#include "app/WorkingFolder.h"
#include "app/gui/DialogPrompter.h"
#include "app/gui/SignalTrace.h"
#include "app/gui/TfmAbout.h"
#include "app/gui/TfmMain.h"
#include "app/gui/TfmMonitor.h"
#include "app/gui/TrayIcon.h"
#include "library/gui/TMoveToForm.h"
#include "modem/TfmModem.h"
#include "modem/gui/TfmCallerID.h"
#include "modemsetup/TfmInitTVK.h"
#include "modemsetup/gui/FirstRunWindows.h"
#include "modemsetup/gui/TProgressForm.h"
#include "modemsetup/gui/TSpecModemForm.h"
#include "modemsetup/gui/TfmAskSupport.h"
#include "modemsetup/gui/TfmQueryModem.h"
#include "postproc/gui/TfmVoEqzer.h"
#include "postproc/gui/TfmVolLevel.h"
#include "recorder/RecorderCore.h"
#include "recorder/VoiceRecorder.h"
#include "settings/SettingsModel.h"
#include "settings/gui/TfmSettings.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

OrlamoApplication::OrlamoApplication(const QStringList& arguments, QObject* parent) : QObject(parent) {
    m_state.options = StartOptions::parse(arguments);
    const QString programFolder = QFileInfo(QApplication::applicationFilePath()).absolutePath();
    m_state.workDir = WorkingFolder::resolve(m_state.options.workDir, programFolder);
    if (m_state.options.unattended) {
        m_unattendedPrompter = std::make_unique<UnattendedPrompter>(&m_state.logger);
        m_state.prompter = m_unattendedPrompter.get();
    } else {
        m_dialogPrompter = std::make_unique<DialogPrompter>();
        m_state.prompter = m_dialogPrompter.get();
    }
}

OrlamoApplication::~OrlamoApplication() {
    // Reverse of creation.
    m_callerId.reset();
    m_specModem.reset();
    m_queryModem.reset();
    m_voEqzer.reset();
    m_moveTo.reset();
    m_monitor.reset();
    m_progress.reset();
    m_askSupport.reset();
    m_about.reset();
    m_volLevel.reset();
    m_settings.reset();
    m_main.reset();
    m_core.reset();
}

template <class T, class... Args> std::unique_ptr<T> OrlamoApplication::make(Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    m_created.append(QString::fromLatin1(T::staticMetaObject.className()));
    return object;
}

void OrlamoApplication::create() {
    m_core = std::make_unique<RecorderCore>(m_state);
    auto step = [this](const char* name, auto&& createStep) {
        createStep();
        m_created.append(QString::fromLatin1(name));
    };
    m_main = make<TfmMain>(m_state, [this] { m_core->openCatalogue(); });
    m_main->attachCatalogue(m_core->catalogue());
    if (m_dialogPrompter)
        m_dialogPrompter->setParent(m_main.get());
    m_settings = make<TfmSettings>(m_main.get());
    m_core->createSettings();
    m_volLevel = make<TfmVolLevel>(m_main.get());
    m_about = make<TfmAbout>(m_main.get());
    m_askSupport = make<TfmAskSupport>(m_main.get());
    m_progress = make<TProgressForm>(m_main.get());
    m_monitor = make<TfmMonitor>(m_state.logger);
    m_moveTo = make<TMoveToForm>(m_main.get());
    m_voEqzer = make<TfmVoEqzer>(m_main.get());
    m_queryModem = make<TfmQueryModem>(m_main.get());
    step("TfmParse", [this] { m_core->createParse(); });
    m_specModem = make<TSpecModemForm>(m_main.get());
    step("TfmModem", [this] { m_core->createModem(); });
    connectMainWindow();
    step("TfmInitTVK", [this] {
        m_core->createInitTVK([this](TfmInitTVK& init) {
            connect(&init, &TfmInitTVK::layoutDue, m_main.get(), &TfmMain::applyLayout);
            connect(&init, &TfmInitTVK::recordEnabled, m_main.get(), &TfmMain::setRecordEnabled);
            // With a screen the user picks the modem of a first start; unattended, the first one found is taken.
            if (!m_state.options.unattended)
                FirstRunWindows::attach(init, *m_specModem, *m_progress, *m_state.config, *m_state.prompter);
        });
    });
    step("TfmAudio", [this] {
        m_core->createAudio();
        m_core->createRecorder();
    });
    connectRecorder();
    m_callerId = make<TfmCallerID>();
    m_callerId->follow(m_core->modem());
    buildShutdownSequence();
    m_main->closeSequence = [this] {
        // A failing step is ignored; the rest of the close goes on.
        m_shutdown.run();
    };
}

void OrlamoApplication::connectMainWindow() {
    TfmModem& modem = m_core->modem();
    connect(&modem, &TfmModem::statusText, m_main.get(), &TfmMain::setModemStatus);
    connect(&modem, &TfmModem::portOpenChanged, m_main.get(), &TfmMain::setRecordEnabled);
    connect(m_main.get(), &TfmMain::modemOnRequested, this, [this, &modem] {
        if (!modem.modemOnClicked()) {
            m_state.prompter->message(QStringLiteral("Error during opening com port ") + modem.portText(),
                                      Prompter::Icon::Error);
            m_main->setRecordEnabled(false);
        }
    });
    connect(m_main.get(), &TfmMain::modemOffRequested, this, [&modem] { modem.modemOffClicked(); });
}

void OrlamoApplication::connectRecorder() {
    VoiceRecorder& recorder = m_core->recorder();
    TfmMain* main = m_main.get();
    main->isRecording = [&recorder] { return recorder.recording(); };
    main->stopRecording = [this] { m_core->stopRecording(); };
    connect(main, &TfmMain::recordRequested, &recorder, &VoiceRecorder::acRecordExecute);
    connect(main, &TfmMain::stopRequested, this, [this] { m_core->stopRecording(); });
    connect(&recorder, &VoiceRecorder::recordingChanged, main, &TfmMain::setRecording);
    connect(&recorder, &VoiceRecorder::recordEnabled, main, &TfmMain::setRecordEnabled);
    connect(&recorder, &VoiceRecorder::stopEnabled, main, &TfmMain::setStopEnabled);
    connect(&recorder, &VoiceRecorder::statusText, main, &TfmMain::setModemStatus);
    connect(&recorder, &VoiceRecorder::DisplayData, main->trace(), &SignalTrace::DisplayData);
    connect(&recorder, &VoiceRecorder::ClearDisplay, main->trace(), &SignalTrace::ClearDisplay);
    // The trace takes the settings' colours when the window is first shown.
    connect(main, &TfmMain::firstShown, this, [this] {
        const SettingsModel& settings = m_core->settings();
        m_main->trace()->setColours(colourFromStored(settings.backColor()), colourFromStored(settings.traceColor()));
    });
    main->setRecording(recorder.recording());
}

void OrlamoApplication::buildShutdownSequence() {
    m_shutdown.add(QStringLiteral("close tables"), [this] { m_core->closeCatalogue(); });
    m_shutdown.add(QStringLiteral("delete work files"), [this] {
        QFile::remove(m_state.path(QStringLiteral("temp.wav")));
        QFile::remove(m_state.path(QStringLiteral("tempFileWav.wav")));
    });
    m_shutdown.add(QStringLiteral("write event log"), [this] {
        if (!m_state.logger.writeEventLog(m_state.path(QStringLiteral("Events.log"))))
            std::fprintf(stderr, "orlamo: cannot write %s\n",
                         m_state.path(QStringLiteral("Events.log")).toLocal8Bit().constData());
    });
    m_shutdown.add(QStringLiteral("save folder tree"), [this] { m_core->saveTree(); });
    m_shutdown.add(QStringLiteral("close modem port"), [this] { m_core->closeModemPort(); });
    m_shutdown.add(QStringLiteral("write geometry"), [this] { m_main->writeGeometry(); });
    m_shutdown.add(QStringLiteral("release configuration"), [this] { m_state.config.reset(); });
}

void OrlamoApplication::requestClose() {
    if (!m_main)
        return;
    m_main->forcedClose = true;
    m_main->close();
}

void OrlamoApplication::installSignalHandlers() {
    auto* termination = new TerminationSignals(this);
    connect(termination, &TerminationSignals::terminationRequested, this, &OrlamoApplication::requestClose);
}

int OrlamoApplication::run() {
    if (!m_state.options.error.isEmpty()) {
        std::fprintf(stderr, "orlamo: %s\n", m_state.options.error.toLocal8Bit().constData());
        return 2;
    }
    m_instance = std::make_unique<SingleInstance>(m_state.workDir);
    if (m_instance->notifyRunningCopy()) {
        m_state.prompter->message(QString::fromLatin1(kAlreadyLoaded));
        return 0;
    }
    m_instance->listen();
    QApplication::setApplicationDisplayName(QStringLiteral("Orlamo"));
    installSignalHandlers();
    create();
    connect(m_instance.get(), &SingleInstance::raiseRequested, m_main.get(), &TfmMain::showFromTray);
    QApplication::setQuitOnLastWindowClosed(false);
    if (m_main->windowState() & Qt::WindowMinimized) {
        // Started into the tray: only the tray icon shows; without a tray the window shows minimised.
        if (!TrayIcon::available())
            m_main->showMinimized();
    } else {
        m_main->show();
    }
    if (m_state.options.unattended) {
        // Scripts driving an unattended run wait for this line before they go on.
        std::fprintf(stderr, "orlamo: ready in %s\n", m_state.workDir.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    // The loop ends when the main window has closed.
    connect(m_main.get(), &TfmMain::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    const int code = QApplication::exec();
    return code;
}
