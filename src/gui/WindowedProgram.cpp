// The windowed program: start with the windows created between the program's steps, the loop, the close.
#include "gui/WindowedProgram.h"

#include "base/Config.h"
#include "base/UnattendedPrompter.h"
#include "contacts/CallerIdText.h"
#include "contacts/gui/ContactsWindow.h"
#include "export/CompressedCopies.h"
#include "gui/AboutDialog.h"
#include "gui/DialogPrompter.h"
#include "gui/LoggerWindow.h"
#include "gui/MainWindow.h"
#include "gui/PostProcessingOutputs.h"
#include "gui/TrayIcon.h"
#include "library/CallLog.h"
#include "library/Catalogue.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"
#include "library/RetentionRules.h"
#include "library/TableFile.h"
#include "library/gui/CallLogView.h"
#include "library/gui/FindDialog.h"
#include "library/gui/MoveToDialog.h"
#include "library/gui/RecordingsListView.h"
#include "library/gui/RetentionDialog.h"
#include "modem/ModemController.h"
#include "modem/gui/CallerIdPopup.h"
#include "modemsetup/DiagnosticsReport.h"
#include "modemsetup/StartupConfiguration.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "modemsetup/gui/FirstRunWindows.h"
#include "modemsetup/gui/ModemChoiceWindow.h"
#include "modemsetup/gui/ProgressWindow.h"
#include "modemsetup/gui/QueryModemWindow.h"
#include "modemsetup/gui/ReportProblemDialog.h"
#include "playback/PlaybackController.h"
#include "postproc/gui/VoiceEqualizerDialog.h"
#include "postproc/gui/VolumeLevelDialog.h"
#include "program/CallLogWriter.h"
#include "program/ProblemReport.h"
#include "program/Program.h"
#include "program/RecordingDuration.h"
#include "program/RecordingKeeping.h"
#include "program/SingleInstance.h"
#include "program/TerminationSignals.h"
#include "recorder/VoiceRecorder.h"
#include "recorder/gui/SignalTrace.h"
#include "settings/SettingsModel.h"
#include "settings/gui/SettingsDialog.h"
#include "web/WebServer.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>
#include <exception>

WindowedProgram::WindowedProgram(const QStringList& arguments, Prompter* prompter, QObject* parent)
    : QObject(parent), m_options(StartOptions::parse(arguments)) {
    if (prompter) {
        m_prompter = prompter;
    } else if (m_options.unattended) {
        m_unattendedPrompter = std::make_unique<UnattendedPrompter>();
        m_prompter = m_unattendedPrompter.get();
    } else {
        m_dialogPrompter = std::make_unique<DialogPrompter>();
        m_prompter = m_dialogPrompter.get();
    }
    const QString programFolder = QFileInfo(QApplication::applicationFilePath()).absolutePath();
    m_program = std::make_unique<Program>(Program::workingFolderFor(m_options, programFolder), m_options, *m_prompter);
}

WindowedProgram::~WindowedProgram() {
    // The members go in reverse order of creation, the windows before the program. A close the
    // program still runs then asks without the main window.
    if (m_dialogPrompter)
        m_dialogPrompter->setParent(nullptr);
}

template <class T, class... Args> std::unique_ptr<T> WindowedProgram::make(const char* component, Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    record(component, object.get());
    return object;
}

void WindowedProgram::record(const char* component, QObject* object) {
    m_created.append({QString::fromLatin1(component), object});
}

void WindowedProgram::create() {
    if (m_unattendedPrompter)
        m_unattendedPrompter->setLogger(&m_program->logger());
    m_program->start([this](Program::Step step) { createWindowsAfter(step); });
}

void WindowedProgram::createWindowsAfter(Program::Step done) {
    Program& program = *m_program;
    switch (done) {
    case Program::Step::Catalogue:
        break;
    case Program::Step::Configuration:
        m_main = make<MainWindow>("TfmMain", program.config(), program.catalogue(), program.logger(), *m_prompter,
                                  m_options);
        // The configuration goes with the close sequence's last step.
        connect(&program, &Program::finished, m_main.get(), &MainWindow::releaseConfiguration);
        if (m_dialogPrompter)
            m_dialogPrompter->setParent(m_main.get());
        break;
    case Program::Step::Settings:
        m_settings = make<SettingsDialog>("TfmSettings", program.settings(), *m_prompter, m_main.get());
        m_volumeLevel = make<VolumeLevelDialog>("TfmVolLevel", m_main.get());
        m_about = make<AboutDialog>("TfmAbout", m_main.get());
        m_reportProblem = make<ReportProblemDialog>("TfmAskSupport", m_main.get());
        m_progress = make<ProgressWindow>("TProgressForm", m_main.get());
        m_loggerWindow = make<LoggerWindow>("TfmMonitor", program.logger());
        m_moveTo = make<MoveToDialog>("TMoveToForm", m_main.get());
        m_voiceEqualizer = make<VoiceEqualizerDialog>("TfmVoEqzer", m_main.get());
        m_queryModem = make<QueryModemWindow>("TfmQueryModem", m_main.get());
        connectRecordingOperations();
        connectContacts();
        break;
    case Program::Step::Probe:
        record("TfmParse", &program.probe());
        m_modemChoice = make<ModemChoiceWindow>("TSpecModemForm", m_main.get());
        break;
    case Program::Step::Modem:
        record("TfmModem", &program.modem());
        connectMainWindow();
        break;
    case Program::Step::StartupCreated: {
        StartupConfiguration& startup = program.startup();
        record("TfmInitTVK", &startup);
        connectDiagnostics();
        const SettingsModel& settings = program.settings();
        connect(&startup, &StartupConfiguration::layoutDue, m_main.get(),
                [this, &settings] { m_main->applyLayout(settings); });
        connect(&startup, &StartupConfiguration::controlsDue, m_main.get(), &MainWindow::resetListControls);
        m_settings->setModemSide(&program.settingsModemSide());
        connect(m_main->actions().settings, &QAction::triggered, this, &WindowedProgram::settingsClicked);
        // With a screen the user picks the modem of a first start; unattended, the first one found is taken.
        if (!m_options.unattended)
            FirstRunWindows::attach(startup, program.modemSearch(), program.profileWriter(), *m_modemChoice,
                                    *m_progress, program.config(), *m_prompter);
        break;
    }
    case Program::Step::StartupApplied:
        break;
    case Program::Step::Recorder:
        record("TfmAudio", &program.recorder());
        connectRecorder();
        connectPlayback();
        connectPostProcessing();
        connectKeeping();
        connectCallLog();
        break;
    case Program::Step::Armed:
        m_callerId = make<CallerIdPopup>("TfmCallerID");
        m_callerId->follow(program.modem().calls(),
                           [p = &program](const QString& text) { return p->callerText(text); });
        m_main->closeSequence = [this] { m_program->shutdown([this] { m_main->writeGeometry(); }); };
        m_web = WebServer::startIfEnabled(program);
        break;
    }
}

void WindowedProgram::connectMainWindow() {
    ModemController& modem = m_program->modem();
    connect(&modem, &ModemController::statusText, m_main.get(), &MainWindow::setModemStatus);
    connect(&modem, &ModemController::portOpenChanged, m_main.get(), &MainWindow::setModemPortOpen);
    connect(m_program.get(), &Program::recordAvailableChanged, m_main.get(), &MainWindow::setRecordEnabled);
    connect(m_main.get(), &MainWindow::modemOnRequested, m_program.get(), &Program::modemOn);
    connect(m_main.get(), &MainWindow::modemOffRequested, m_program.get(), &Program::modemOff);
    connect(m_main->actions().about, &QAction::triggered, m_about.get(), &QDialog::exec);
    connect(m_main->actions().reportProblem, &QAction::triggered, m_reportProblem.get(), &QDialog::exec);
    // The developer keys.
    connect(m_main.get(), &MainWindow::loggerWindowRequested, this, [this] {
        m_loggerWindow->show();
        m_loggerWindow->raise();
    });
    m_queryModem->follow(m_program->queryBox());
    connect(m_main.get(), &MainWindow::queryModemWindowRequested, this, [this] {
        m_queryModem->show();
        m_queryModem->raise();
    });
    connect(m_main.get(), &MainWindow::reprobeRequested, m_program.get(), &Program::reprobeFromQueryBox);
}

void WindowedProgram::connectRecordingOperations() {
    MainWindow* main = m_main.get();
    Program& program = *m_program;
    m_mail = std::make_unique<MailHandOver>(program.workDir());
    m_operations = std::make_unique<RecordingOperations>(program.catalogue(), *m_prompter, *m_mail);
    RecordingOperations* operations = m_operations.get();
    operations->setWebAddress(RecordingOperations::webAddressFrom(program.config()));
    // Copy to folder and e-mail write compressed copies; the attachment format is read at each mail.
    operations->setCopyWriter(compressedCopyWriter());
    operations->setAttachFormat([&program] { return RecordingOperations::attachFormatFrom(program.config()); });
    MoveToDialog* moveTo = m_moveTo.get();
    Catalogue& catalogue = program.catalogue();
    operations->setMoveTargetChooser([moveTo, &catalogue] { return moveTo->chooseFolder(catalogue.folderTree()); });
    m_find = std::make_unique<FindDialog>(operations->search(), main);
    FindDialog* find = m_find.get();
    connect(operations, &RecordingOperations::marksCleared, main->recordingsList(), &RecordingsListView::clearMarks);
    // Each command works on the marked recordings, or on the current one when none is marked.
    auto on = [main](QAction* command, auto work) {
        connect(command, &QAction::triggered, main, [main, work] {
            try {
                work(main->markedIds());
            } catch (const std::exception& e) {
                main->showError(QString::fromUtf8(e.what()));
            }
        });
    };
    const MainActions& a = main->actions();
    on(a.deleteRecordings, [operations](const QStringList& ids) { operations->confirmAndDelete(ids); });
    on(a.moveTo, [operations](const QStringList& ids) { operations->moveToList(ids); });
    on(a.copyToFolder, [operations](const QStringList& ids) { operations->copyToFolder(ids); });
    on(a.emailFile, [operations](const QStringList& ids) { operations->emailRecordings(ids); });
    on(a.memo, [operations](const QStringList&) { operations->editMemo(); });
    on(a.search, [find](const QStringList&) { find->findRecording(); });
}

void WindowedProgram::connectPlayback() {
    PlaybackController& playback = m_program->playback();
    MainWindow* main = m_main.get();
    const MainActions& a = main->actions();
    // Play and Pause stay down while playing or paused: the controller decides, not the click.
    for (QAction* command : {a.play, a.pause})
        command->setCheckable(true);
    auto command = [main](QAction* action, auto slot) {
        connect(action, &QAction::triggered, main, [action, slot] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            slot();
        });
    };
    command(a.play, [&playback] { playback.play(); });
    command(a.pause, [&playback] { playback.pause(); });
    command(a.rewind, [&playback] { playback.rewind(); });
    command(a.fastForward, [&playback] { playback.fastForward(); });
    // Stop ends a recording first (its own action), then playback.
    connect(main, &MainWindow::stopRequested, &playback, &PlaybackController::stopPlayback);
    QToolButton* rewind = main->rewindButton();
    QToolButton* forward = main->fastForwardButton();
    connect(rewind, &QToolButton::pressed, &playback, [&playback] { playback.setRewindHeld(true); });
    connect(rewind, &QToolButton::released, &playback, [&playback] { playback.setRewindHeld(false); });
    connect(forward, &QToolButton::pressed, &playback, [&playback] { playback.setFastForwardHeld(true); });
    connect(forward, &QToolButton::released, &playback, [&playback] { playback.setFastForwardHeld(false); });
    connect(main->volumeSlider(), &QSlider::valueChanged, &playback, &PlaybackController::setVolumePosition);
    playback.setVolumePosition(main->volumeSlider()->value());

    connect(&playback, &PlaybackController::playPressed, a.play, &QAction::setChecked);
    connect(&playback, &PlaybackController::pausePressed, a.pause, &QAction::setChecked);
    connect(&playback, &PlaybackController::seekControlsEnabled, main, &MainWindow::setSeekOffered);
    connect(&playback, &PlaybackController::playbackActiveChanged, main, &MainWindow::setPlaybackActive);
    connect(&playback, &PlaybackController::recordControlsEnabled, main, &MainWindow::setPlaybackAllowsRecord);
    connect(&playback, &PlaybackController::postProcessingEnabled, main, &MainWindow::setPlaybackAllowsPostProcessing);
    connect(&playback, &PlaybackController::positionChanged, main->positionBar(), &QSlider::setValue);
    connect(&playback, &PlaybackController::displayBlock, main->trace(), &SignalTrace::displayBlock);
    connect(&playback, &PlaybackController::clearDisplay, main->trace(), &SignalTrace::clearDisplay);
}

void WindowedProgram::connectPostProcessing() {
    m_preview = std::make_unique<WavePreviewOutput>(&m_program->outputDevices());
    m_overview = std::make_unique<TraceOverview>(*m_main->trace());
    const QString workFile = m_program->workDir() + QStringLiteral("/temp.wav");
    m_volumeLevel->attach(*m_prompter, *m_preview, m_overview.get(), workFile);
    m_voiceEqualizer->attach(*m_prompter, *m_preview, m_overview.get(), workFile);
    connect(m_main.get(), &MainWindow::volumeLevelRequested, m_volumeLevel.get(),
            [this](const QString& file) { m_volumeLevel->openRecording(file); });
    connect(m_main.get(), &MainWindow::voiceEqualizerRequested, m_voiceEqualizer.get(),
            [this](const QString& file) { m_voiceEqualizer->openRecording(file); });
    // A saved recording's length is the catalogue's again.
    for (PostProcessingWindow* window : {static_cast<PostProcessingWindow*>(m_volumeLevel.get()),
                                         static_cast<PostProcessingWindow*>(m_voiceEqualizer.get())})
        connect(window, &PostProcessingWindow::recordingSaved, this,
                [this](const QString& path) { RecordingDuration::update(m_program->catalogue(), path); });
}

void WindowedProgram::connectDiagnostics() {
    // "Diagnostics": the report, with the progress window following it.
    DiagnosticsReport& diagnostics = m_program->diagnostics();
    ProgressWindow* progress = m_progress.get();
    connect(&diagnostics, &DiagnosticsReport::progressShown, progress, [progress](const QString& caption) {
        progress->setWindowTitle(caption);
        progress->setProgress(0);
        progress->show();
    });
    connect(&diagnostics, &DiagnosticsReport::progressChanged, progress, &ProgressWindow::setProgress);
    connect(&diagnostics, &DiagnosticsReport::progressHidden, progress, &QWidget::hide);
    connect(m_main->actions().diagnostics, &QAction::triggered, &diagnostics, &DiagnosticsReport::runDiagnostics);
    // "Report a problem...": the window's OK mails the description with the report.
    m_problemMail = std::make_unique<MailHandOver>(m_program->workDir());
    m_problemReport = std::make_unique<ProblemReport>(m_program->config(), m_program->logger(), diagnostics,
                                                      m_program->queryBox(), *m_problemMail, m_program->workDir());
    connect(m_reportProblem.get(), &ReportProblemDialog::sendRequested, this, [this](const QString& description) {
        const bool sent = m_problemReport->send(description);
        if (!sent)
            m_prompter->message(QStringLiteral("The report could not be handed to the mail program: ") +
                                    m_problemReport->failure(),
                                Prompter::Icon::Error);
        m_reportProblem->sendingFinished(sent);
    });
}

void WindowedProgram::connectRecorder() {
    VoiceRecorder& recorder = m_program->recorder();
    MainWindow* main = m_main.get();
    main->isRecording = [this] { return m_program->hasRecorder() && m_program->recorder().recording(); };
    main->stopRecording = [this] { m_program->stopRecording(); };
    connect(main, &MainWindow::recordRequested, &recorder, &VoiceRecorder::startRecording);
    connect(main, &MainWindow::stopRequested, this, [this] { m_program->stopRecording(); });
    connect(main, &MainWindow::redirectionEnabled, &recorder, [&recorder] { recorder.setRedirection(true); });
    connect(&recorder, &VoiceRecorder::recordingChanged, main, &MainWindow::setRecording);
    connect(&recorder, &VoiceRecorder::stopEnabled, main, &MainWindow::setStopEnabled);
    connect(&recorder, &VoiceRecorder::readinessChanged, main, &MainWindow::setRecordingProblem);
    main->setRecordingProblem(recorder.readinessProblem());
    connect(&recorder, &VoiceRecorder::statusText, main, &MainWindow::setModemStatus);
    connect(&recorder, &VoiceRecorder::displayBlock, main->trace(), &SignalTrace::displayBlock);
    connect(&recorder, &VoiceRecorder::clearDisplay, main->trace(), &SignalTrace::clearDisplay);
    // The trace takes the settings' colours when the window is first shown.
    connect(main, &MainWindow::firstShown, this, [this] {
        if (!m_program->hasConfig())
            return;
        const SettingsModel& settings = m_program->settings();
        m_main->trace()->setColours(colourFromStored(settings.backColor()), colourFromStored(settings.traceColor()));
    });
    main->setRecording(recorder.recording());
}

void WindowedProgram::settingsClicked() {
    try {
        m_program->changeSettings([this] { m_settings->exec(); });
    } catch (const std::exception& e) {
        m_prompter->message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
    }
    // The trace draws in the colours chosen.
    const SettingsModel& settings = m_program->settings();
    m_main->trace()->setColours(colourFromStored(settings.backColor()), colourFromStored(settings.traceColor()));
}

void WindowedProgram::requestClose() {
    if (!m_main)
        return;
    m_main->forcedClose = true;
    m_main->close();
}

int WindowedProgram::run() {
    if (!m_options.error.isEmpty()) {
        std::fprintf(stderr, "orlamo: %s\n", m_options.error.toLocal8Bit().constData());
        return 2;
    }
    m_instance = std::make_unique<SingleInstance>(m_program->workDir());
    if (m_instance->notifyRunningCopy()) {
        m_prompter->message(QString::fromLatin1(SingleInstance::kAlreadyLoaded));
        return 0;
    }
    m_instance->listen();
    QApplication::setApplicationDisplayName(QStringLiteral("Orlamo"));
    m_termination = std::make_unique<TerminationSignals>();
    connect(m_termination.get(), &TerminationSignals::terminationRequested, this, &WindowedProgram::requestClose);
    try {
        create();
    } catch (const std::exception& e) {
        // The user sees why; nothing more is written than the close of what was opened.
        m_prompter->message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
        if (!m_options.unattended)
            std::fprintf(stderr, "orlamo: %s\n", e.what());
        m_program->shutdown();
        return 1;
    }
    connect(m_instance.get(), &SingleInstance::raiseRequested, m_main.get(), &MainWindow::showFromTray);
    QApplication::setQuitOnLastWindowClosed(false);
    if (m_main->windowState() & Qt::WindowMinimized) {
        // Started into the tray: only the tray icon shows; without a tray the window shows minimised.
        if (!TrayIcon::available())
            m_main->showMinimized();
    } else {
        m_main->show();
    }
    if (m_options.unattended) {
        // Scripts driving an unattended run wait for this line before they go on.
        std::fprintf(stderr, "orlamo: ready in %s\n", m_program->workDir().toLocal8Bit().constData());
        std::fflush(stderr);
    }
    // The loop ends when the main window has closed.
    connect(m_main.get(), &MainWindow::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    return QApplication::exec();
}

void WindowedProgram::connectKeeping() {
    MainWindow* main = m_main.get();
    DiskSpaceWatch& disk = m_program->keeping().diskSpace();
    const auto show = [main, &disk] { main->setDiskSpace(disk.summary(), disk.warning()); };
    connect(&disk, &DiskSpaceWatch::checked, main, show);
    show();
    connect(main->actions().retention, &QAction::triggered, main, [this, main] {
        const FolderNode* list = m_program->catalogue().folderTree().selected();
        if (!list)
            return;
        RetentionRules rules(m_program->config());
        RetentionDialog dialog(rules, list->text, main);
        try {
            dialog.exec();
        } catch (const ConfigWriteError& error) {
            main->showError(error.text());
        }
    });
}

void WindowedProgram::connectCallLog() {
    CallLogView* view = m_main->callLogView();
    CallLog& log = m_program->callLog();
    view->setRows(log.rows());
    connect(&m_program->callLogWriter(), &CallLogWriter::callLogged, view, [view, &log] { view->setRows(log.rows()); });
    // Play on a recorded call plays its recording as the list's Play does: its row becomes current.
    connect(view, &CallLogView::playRequested, this, [this](const QString& id) {
        if (!m_program->catalogue().locateRecording(id, true)) {
            m_main->showError(QStringLiteral("The recording of this call is no longer in the catalogue."));
            return;
        }
        m_program->playback().play();
    });
}

void WindowedProgram::connectContacts() {
    auto window = [this]() -> ContactsWindow& {
        if (!m_contacts)
            m_contacts = std::make_unique<ContactsWindow>(m_program->contacts(), *m_prompter, m_main.get());
        m_contacts->refresh();
        return *m_contacts;
    };
    connect(m_main->actions().contacts, &QAction::triggered, this, [window] { window().exec(); });
    connect(m_main->actions().nameCaller, &QAction::triggered, this, [this, window] {
        TableFile& calls = m_program->catalogue().recordings();
        if (!calls.active() || calls.recordCount() == 0)
            return;
        window().nameCaller(CallerIdText::number(calls.fieldText(QStringLiteral("Comment"))));
    });
}
