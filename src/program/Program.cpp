// Creation of the controllers in the program's order, and the one close sequence.
#include "program/Program.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Prompter.h"
#include "base/WorkingFolder.h"
#include "contacts/CallerIdText.h"
#include "contacts/ContactBook.h"
#include "library/CallLog.h"
#include "library/Catalogue.h"
#include "library/CatalogueLock.h"
#include "library/RecordingOperations.h"
#include "library/TableError.h"
#include "modem/ModemController.h"
#include "modem/ModemSettings.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/DiagnosticsReport.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/SettingsModemSide.h"
#include "modemsetup/StartupConfiguration.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "playback/PlaybackController.h"
#include "program/CallLogWriter.h"
#include "program/CommandServer.h"
#include "program/ForwardedCommands.h"
#include "program/RecordingKeeping.h"
#include "program/RecordingMirror.h"
#include "recorder/VoiceRecorder.h"
#include "settings/SettingsModel.h"
#include "settings/StartupRegistration.h"
#include "sound/OutputDevices.h"
#include "sound/Player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <exception>

namespace {

// How long a start waits for a catalogue command of orlamo-cli to finish.
constexpr int kCatalogueLockWaitMs = 3000;

} // namespace

QString Program::workingFolderFor(const StartOptions& options, const QString& programFolder) {
    return WorkingFolder::resolve(options.workDir, programFolder);
}

Program::Program(QString workDir, StartOptions options, Prompter& prompter, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_workDir(std::move(workDir)), m_prompter(&prompter) {
    while (m_workDir.size() > 1 && m_workDir.endsWith(QLatin1Char('/')))
        m_workDir.chop(1);
}

Program::~Program() {
    shutdown();
    releaseControllers();
}

void Program::releaseControllers() {
    // Everything that holds the configuration goes before it.
    m_mirror.reset();
    m_callLogWriter.reset();
    m_callLog.reset();
    m_keeping.reset();
    m_playback.reset();
    m_player.reset();
    m_outputDevices.reset();
    m_recorder.reset();
    m_settingsModemSide.reset();
    m_startup.reset();
    m_diagnostics.reset();
    m_writer.reset();
    m_search.reset();
    m_modem.reset();
    m_probe.reset();
    m_queryBox.reset();
    m_current.reset();
    m_profile.reset();
    m_settings.reset();
    m_registration.reset();
    m_contacts.reset();
    m_config.reset();
}

QString Program::path(const QString& name) const {
    return m_workDir + QLatin1Char('/') + name;
}

void Program::start(const StepObserver& afterStep) {
    auto step = [&afterStep](Step done) {
        if (afterStep)
            afterStep(done);
    };
    openCatalogue();
    step(Step::Catalogue);
    openConfiguration();
    createContacts();
    step(Step::Configuration);
    createSettings();
    step(Step::Settings);
    createProbe();
    step(Step::Probe);
    createModem();
    step(Step::Modem);
    createModemSetup();
    createStartup();
    step(Step::StartupCreated);
    m_startup->firstRunCheck();
    m_startup->applyConfiguration();
    step(Step::StartupApplied);
    createRecorder();
    createPlayback();
    createKeeping();
    createCallLog();
    createMirror();
    step(Step::Recorder);
    // Armed by the program when start-up is complete, whether or not a window is ever shown: a start
    // into the tray at logon is the one time nobody is at the screen.
    m_armed = true;
    // Said now, before a call rings, and kept where the front ends show the recorder's state.
    m_recorder->checkReadiness();
    listenForCommands();
    step(Step::Armed);
}

void Program::listenForCommands() {
    m_forwardedCommands = std::make_unique<ForwardedCommands>(
        *m_catalogue, m_workDir, [this] { return RecordingOperations::webAddressFrom(*m_config); });
    m_commandServer = std::make_unique<CommandServer>(
        m_workDir, [this](const CommandProtocol::Request& request) { return m_forwardedCommands->run(request); });
    if (!m_commandServer->listen())
        m_commandServer.reset();
}

void Program::startModemSide() {
    if (!WorkingFolder::makeCurrent(m_workDir))
        throw std::runtime_error("Error setting starting directory");
    openConfiguration();
    createSettings();
    createProbe();
    createModem();
    createModemSetup();
}

void Program::openCatalogue() {
    if (!WorkingFolder::makeCurrent(m_workDir))
        m_prompter->message(QStringLiteral("Error setting starting directory"), Prompter::Icon::Error);
    else
        m_workDir = WorkingFolder::current();
    // A catalogue command of orlamo-cli that is running is waited for a moment.
    m_lock = std::make_unique<CatalogueLock>(m_workDir);
    m_catalogue = std::make_unique<Catalogue>(m_workDir, *m_prompter);
    m_catalogue->openCatalogue(*m_lock, kCatalogueLockWaitMs);
    // Left by a deletion that was interrupted after its row was saved away: kept, and told.
    for (const QString& file : m_catalogue->filesWithoutRow())
        m_logger.add(QStringLiteral("Recording without a catalogue row, kept: ") + file);
}

void Program::openConfiguration() {
    m_config = std::make_unique<Config>(path(QStringLiteral("tvk.ini")));
}

void Program::createSettings() {
    // At logon the windowed program starts, from the folder both programs are installed in.
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("orlamo.exe");
#else
    const QString program = QStringLiteral("orlamo");
#endif
    // A working folder chosen with --workdir is the one the program starts on at logon too.
    const QString chosenFolder = m_options.workDir.isEmpty() ? QString() : QDir(m_workDir).absolutePath();
    m_registration = std::make_unique<StartupRegistration>(
        StartupRegistration::defaultEntryPath(), QDir(QCoreApplication::applicationDirPath()).filePath(program),
        chosenFolder);
    m_settings = std::make_unique<SettingsModel>(*m_config, m_workDir, m_registration.get());
    m_settings->load();
    m_profile = std::make_unique<ModemProfile>();
    m_current = std::make_unique<CurrentCompression>();
}

void Program::createProbe() {
    m_queryBox = std::make_unique<QueryModemBox>();
    m_probe =
        std::make_unique<VoiceCapabilityProbe>(*m_config, m_logger, *m_prompter, *m_profile, *m_queryBox, m_workDir);
}

void Program::createModem() {
    m_modem = std::make_unique<ModemController>(*m_config, m_logger);
    // Until the configuration is applied the port is the stored one; the rest comes from the settings.
    ModemSettings line;
    line.port = m_config->read(ConfigKeys::kModemPort);
    m_modem->setSettings(ModemSettings::fromSettings(*m_settings, line));
    m_probe->setQuery(
        [this](const QString& command, QString& reply) { return m_modem->exchange().sendQuery(command, reply); });
    // Every opening that succeeds offers Record again, but only to a modem with voice features.
    connect(m_modem.get(), &ModemController::portOpenChanged, this, [this](bool open) {
        if (open)
            setRecordAvailable(voiceFeatures());
    });
    connect(&m_modem->calls(), &CallDetector::handsetEventsLearned, m_profile.get(), &ModemProfile::setHandsetEvents);
}

bool Program::voiceFeatures() const {
    return m_profile && m_profile->voiceFeatures();
}

void Program::setRecordAvailable(bool available) {
    if (available == m_recordAvailable)
        return;
    m_recordAvailable = available;
    Q_EMIT recordAvailableChanged(available);
}

bool Program::modemOn() {
    if (m_modem->switchOn())
        return true;
    m_prompter->message(m_modem->reportOpenFailure(), Prompter::Icon::Error);
    setRecordAvailable(false);
    return false;
}

void Program::modemOff() {
    if (m_recorder)
        m_recorder->stopWaitingForModem();
    m_modem->switchOff();
}

void Program::createModemSetup() {
    m_search = std::make_unique<ModemSearch>(*m_config, m_logger, *m_modem);
    m_writer = std::make_unique<ModemProfileWriter>(*m_config, m_logger, *m_prompter, *m_modem, *m_profile, *m_probe,
                                                    *m_current, *m_search, m_workDir);
    m_diagnostics = std::make_unique<DiagnosticsReport>(*m_modem, *m_queryBox, *m_profile, *m_settings, m_logger,
                                                        *m_prompter, m_workDir);
}

int Program::searchAndWriteFirstModem() {
    const int found = m_search->searchModems();
    if (found > 0)
        m_writer->writeModemProfile(1);
    return found;
}

void Program::createStartup() {
    m_startup = std::make_unique<StartupConfiguration>(*m_config, *m_prompter, *m_modem, *m_profile, *m_current,
                                                       *m_settings, m_workDir);
    connect(m_startup.get(), &StartupConfiguration::recordEnabled, this, &Program::setRecordAvailable);
    // Without a window to choose in, the first modem found is the one confirmed.
    m_startup->setModemSearch([this] { return searchAndWriteFirstModem(); });
    m_settingsModemSide =
        std::make_unique<SettingsModemSide>(*m_config, *m_prompter, *m_profile, *m_current, *m_startup, m_workDir);
}

SettingsModemAccess& Program::settingsModemSide() const {
    return *m_settingsModemSide;
}

bool Program::changeSettings(const std::function<void()>& dialog) {
    m_logger.add(QStringLiteral("-- Options -> Settings clicked"));
    // The port carries a recording's sound; the menu item is disabled meanwhile, this is the backstop.
    if ((m_recorder && m_recorder->recording()) || !m_modem->closeModemPort())
        return false;
    // The list stands still while the dialog is open; afterwards it comes back to the same row.
    TableFile* calls = m_catalogue ? &m_catalogue->recordings() : nullptr;
    const int row = calls && calls->active() ? calls->recNo() : 0;
    if (calls)
        calls->disableControls();
    try {
        if (m_settings->autoRecord())
            m_modem->calls().disableAutoRecord();
        if (dialog)
            dialog();
        m_startup->applyConfiguration();
    } catch (...) {
        if (calls)
            calls->enableControls();
        throw;
    }
    if (calls) {
        calls->enableControls();
        if (row > 0 && calls->active())
            calls->setRecNo(row);
    }
    if (m_recorder && m_armed)
        m_recorder->checkReadiness();
    if (m_mirror)
        m_mirror->setFolder(m_settings->mirrorFolder());
    return true;
}

void Program::createRecorder() {
    m_recorder = std::make_unique<VoiceRecorder>(m_logger, *m_prompter, *m_modem, *m_profile, *m_current, *m_settings,
                                                 *m_catalogue, m_workDir);
    m_recorder->setCallerMemo([this](const QString& callerId) { return callerText(callerId); });
    m_recorder->recoverRecordedFile();
    connect(m_recorder.get(), &VoiceRecorder::recordEnabled, this,
            [this](bool on) { setRecordAvailable(on && voiceFeatures()); });
    connect(&m_modem->calls(), &CallDetector::recordTriggered, this, [this] {
        // The idle handler's turn: after the ring timer's handler has returned.
        QMetaObject::invokeMethod(this, &Program::recordTriggered, Qt::QueuedConnection);
    });
    // The detector keeps the last caller's text after the call: only a text shown since the detector
    // was armed for this call says who is calling now.
    connect(&m_modem->calls(), &CallDetector::callerIdShown, this, [this] { m_callerIdThisCall = true; });
    connect(&m_modem->calls(), &CallDetector::autoRecordModeChanged, this, [this](bool on) {
        if (on)
            m_callerIdThisCall = false;
    });
}

void Program::createPlayback() {
    m_outputDevices = std::make_unique<OutputDevices>();
    m_player = std::make_unique<Player>(m_outputDevices.get());
    m_playback = std::make_unique<PlaybackController>(m_logger, *m_prompter, *m_catalogue, *m_settings, *m_player,
                                                      m_outputDevices.get());
    // Recording and playback exclude each other: a call recorded while a recording plays stops the playback.
    connect(m_recorder.get(), &VoiceRecorder::recordingChanged, m_playback.get(), &PlaybackController::setRecording);
    m_playback->setRecording(m_recorder->recording());
    // The volume slider's saved position applies from the start, with or without a window; 0 too, since
    // no device here keeps a volume of its own from the last run.
    m_playback->setVolumePosition(m_config->read(ConfigKeys::kVolume));
}

void Program::createKeeping() {
    m_keeping = std::make_unique<RecordingKeeping>(m_logger, *m_config, *m_settings, *m_catalogue, *m_recorder,
                                                   *m_playback, m_workDir, m_freeBytes);
    m_keeping->start();
}

void Program::createCallLog() {
    m_callLog = std::make_unique<CallLog>(m_workDir);
    try {
        const QString problem = m_callLog->open();
        if (!problem.isEmpty())
            m_logger.add(problem);
    } catch (const TableError& e) {
        // Calls are recorded without a log rather than not at all.
        m_logger.add(QStringLiteral("The call log cannot be written: ") + e.message());
    }
    m_callLogWriter = std::make_unique<CallLogWriter>(*m_callLog, m_modem->calls(), *m_recorder, m_logger);
    m_callLogWriter->setRetentionDays(m_config->read(ConfigKeys::kCallLogDays));
    m_callLogWriter->setNameLookup([this](const QString& number) {
        if (!m_contacts)
            return QString();
        m_contacts->reloadIfChanged();
        const Contact* contact = m_contacts->find(number);
        return contact ? contact->name : QString();
    });
}

void Program::createMirror() {
    m_mirror = std::make_unique<RecordingMirror>(m_workDir, m_logger);
    connect(m_recorder.get(), &VoiceRecorder::recordingCatalogued, m_mirror.get(), &RecordingMirror::copy);
    connect(&m_catalogue->recordings(), &TableFile::saved, m_mirror.get(), &RecordingMirror::copy);
    connect(&m_catalogue->folders(), &TableFile::saved, m_mirror.get(), &RecordingMirror::copy);
    // The first pass compares the whole folder: what a run before this one did not copy is copied now.
    m_mirror->setFolder(m_settings->mirrorFolder());
}

void Program::recordTriggered() {
    if (!m_armed || !m_recorder || !m_settings->autoRecord() || !m_modem->calls().recordTrigger())
        return;
    if (skipDoNotRecordCaller())
        return;
    if (m_modem->calls().takeRecordTrigger())
        m_recorder->startRecording();
}

void Program::createContacts() {
    m_contacts = std::make_unique<ContactBook>(path(QLatin1String(ContactBook::kFileName)),
                                               m_config->read(ConfigKeys::kHomeCountry));
    m_contacts->load();
}

QString Program::callerText(const QString& callerId) const {
    if (!m_contacts)
        return callerId;
    m_contacts->reloadIfChanged();
    return CallerIdText::withContactName(callerId, *m_contacts);
}

bool Program::skipDoNotRecordCaller() {
    CallDetector& calls = m_modem->calls();
    if (calls.outgoingCall() || !m_contacts || !m_callerIdThisCall)
        return false;
    m_contacts->reloadIfChanged();
    const QString callerId = calls.callerId();
    const Contact* contact = m_contacts->find(CallerIdText::number(callerId));
    if (contact == nullptr || !contact->doNotRecord)
        return false;
    calls.takeRecordTrigger();
    calls.setAutoStarted(false);
    if (m_callLogWriter)
        m_callLogWriter->markDoNotRecord();
    m_logger.add(QStringLiteral("Not recording the call of ") + contact->name +
                 QStringLiteral(": the contact is marked do not record"));
    // The next call counts its rings from the first, as after a recording.
    calls.enableAutoRecord();
    Q_EMIT automaticRecordingSkipped(CallerIdText::withContactName(callerId, *m_contacts),
                                     QStringLiteral("do not record"));
    return true;
}

bool Program::reprobeFromQueryBox() {
    if (!m_probe || !m_config)
        return false;
    // Probing during a call would rewrite the compressions from refused questions.
    if (m_modem && m_modem->exchange().voiceReception()) {
        m_prompter->message(QStringLiteral("The modem is recording a call; it can be probed when the call has ended."),
                            Prompter::Icon::Warning);
        return false;
    }
    try {
        if (!m_probe->probeCompressions(true))
            return false;
        return chooseCurrentCompression(*m_config, m_probe->compressionsPath());
    } catch (const std::exception& e) {
        m_prompter->message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
        return false;
    }
}

void Program::stopRecording() {
    if (m_recorder && m_recorder->recording())
        m_recorder->stopRecording();
}

QStringList Program::shutdownStepNames() {
    return {
        QStringLiteral("stop recording"),  QStringLiteral("close tables"),         QStringLiteral("delete work files"),
        QStringLiteral("write event log"), QStringLiteral("save folder tree"),     QStringLiteral("close modem port"),
        QStringLiteral("window"),          QStringLiteral("release configuration")};
}

QStringList Program::shutdown(const std::function<void()>& windowSteps) {
    if (m_closed)
        return {};
    m_closed = true;
    // No command of orlamo-cli runs on the tables from here on.
    if (m_commandServer)
        m_commandServer->close();
    const QStringList names = shutdownStepNames();
    ShutdownSequence sequence;
    sequence.add(names[0], [this] {
        // Nothing queued may start a recording from here on.
        m_armed = false;
        if (m_playback)
            m_playback->stopPlayback();
        if (m_recorder)
            m_recorder->closeDown();
    });
    sequence.add(names[1], [this] {
        if (m_callLogWriter)
            m_callLogWriter->flush();
        if (m_callLog)
            m_callLog->close();
        if (m_catalogue)
            m_catalogue->close();
    });
    sequence.add(names[2], [this] {
        QFile::remove(path(QStringLiteral("temp.wav")));
        QFile::remove(path(QStringLiteral("tempFileWav.wav")));
    });
    sequence.add(names[3], [this] {
        if (!m_logger.writeEventLog(path(QStringLiteral("Events.log"))))
            std::fprintf(stderr, "orlamo: cannot write %s\n",
                         path(QStringLiteral("Events.log")).toLocal8Bit().constData());
    });
    sequence.add(names[4], [this] {
        const bool saved = !m_catalogue || m_catalogue->saveTree();
        // The catalogue's files are all written: another writer may have them now.
        if (m_lock)
            m_lock->unlock();
        if (!saved)
            m_prompter->message(QStringLiteral("Unable to write to ") + path(QStringLiteral("tree.d")),
                                Prompter::Icon::Error);
    });
    sequence.add(names[5], [this] {
        if (m_modem)
            m_modem->closeModemPort();
    });
    sequence.add(names[6], [&windowSteps] {
        if (windowSteps)
            windowSteps();
    });
    sequence.add(names[7], [this] {
        // A close that came inside a modem exchange's wait (a recording's stop reinitialising the
        // modem) leaves the controllers to the destructor, after that wait has returned.
        if (!(m_modem && m_modem->exchange().waiting()))
            releaseControllers();
    });
    QStringList failed = sequence.run();
    for (const QString& name : failed)
        std::fprintf(stderr, "orlamo: close step failed: %s\n", name.toLocal8Bit().constData());
    Q_EMIT finished();
    return failed;
}
