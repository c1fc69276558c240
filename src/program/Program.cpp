// Creation of the controllers in the program's order, and the one close sequence.
#include "program/Program.h"

#include "base/Config.h"
#include "base/Prompter.h"
#include "base/WorkingFolder.h"
#include "library/Catalogue.h"
#include "modem/ModemController.h"
#include "modem/ModemSettings.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/StartupConfiguration.h"
#include "modemsetup/VoiceCapabilityProbe.h"
#include "recorder/VoiceRecorder.h"
#include "settings/SettingsModel.h"

#include <QFile>
#include <exception>

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
    m_recorder.reset();
    m_startup.reset();
    m_writer.reset();
    m_search.reset();
    m_modem.reset();
    m_probe.reset();
    m_queryBox.reset();
    m_current.reset();
    m_profile.reset();
    m_settings.reset();
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
    m_startup->FirstRunCheck();
    m_startup->ApplyConfiguration();
    step(Step::StartupApplied);
    createRecorder();
    step(Step::Recorder);
    // Armed by the program when start-up is complete, whether or not a window is ever shown: a start
    // into the tray at logon is the one time nobody is at the screen.
    m_armed = true;
    step(Step::Armed);
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
    m_catalogue = std::make_unique<Catalogue>(m_workDir, *m_prompter);
    m_catalogue->OpenCatalogue();
}

void Program::openConfiguration() {
    m_config = std::make_unique<Config>(path(QStringLiteral("tvk.ini")));
}

void Program::createSettings() {
    m_settings = std::make_unique<SettingsModel>(*m_config, m_workDir);
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
    line.port = m_config->readInteger(QStringLiteral("Modem"), QStringLiteral("port"), 1);
    m_modem->setSettings(ModemSettings::fromSettings(*m_settings, line));
    m_probe->setQuery([this](const QString& command, QString& reply) { return m_modem->SendQuery(command, reply); });
    // Every opening that succeeds offers Record again, but only to a modem with voice features.
    connect(m_modem.get(), &ModemController::portOpenChanged, this, [this](bool open) {
        if (open)
            setRecordAvailable(voiceFeatures());
    });
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
    if (m_modem->modemOnClicked())
        return true;
    m_prompter->message(m_modem->reportOpenFailure(), Prompter::Icon::Error);
    setRecordAvailable(false);
    return false;
}

void Program::modemOff() {
    if (m_recorder)
        m_recorder->stopWaitingForModem();
    m_modem->modemOffClicked();
}

void Program::createModemSetup() {
    m_search = std::make_unique<ModemSearch>(*m_config, m_logger, *m_modem);
    m_writer = std::make_unique<ModemProfileWriter>(*m_config, m_logger, *m_prompter, *m_modem, *m_profile, *m_probe,
                                                    *m_current, *m_search, m_workDir);
}

int Program::searchAndWriteFirstModem() {
    const int found = m_search->SearchModems();
    if (found > 0)
        m_writer->WriteModemProfile(1);
    return found;
}

void Program::createStartup() {
    m_startup = std::make_unique<StartupConfiguration>(*m_config, *m_prompter, *m_modem, *m_profile, *m_current,
                                                       *m_settings, m_workDir);
    connect(m_startup.get(), &StartupConfiguration::recordEnabled, this, &Program::setRecordAvailable);
    // Without a window to choose in, the first modem found is the one confirmed.
    m_startup->setModemSearch([this] { return searchAndWriteFirstModem(); });
}

void Program::createRecorder() {
    m_recorder = std::make_unique<VoiceRecorder>(m_logger, *m_prompter, *m_modem, *m_profile, *m_current, *m_settings,
                                                 *m_catalogue, m_workDir);
    m_recorder->RecoverRecordedFile();
    connect(m_recorder.get(), &VoiceRecorder::recordEnabled, this,
            [this](bool on) { setRecordAvailable(on && voiceFeatures()); });
    connect(m_modem.get(), &ModemController::recordTriggered, this, [this] {
        // The idle handler's turn: after the ring timer's handler has returned.
        QMetaObject::invokeMethod(this, &Program::recordTriggered, Qt::QueuedConnection);
    });
}

void Program::recordTriggered() {
    if (m_armed && m_recorder && m_settings->autoRecord() && m_modem->takeRecordTrigger())
        m_recorder->acRecordExecute();
}

bool Program::reprobeFromQueryBox() {
    if (!m_probe || !m_config)
        return false;
    try {
        if (!m_probe->ProbeCompressions(true))
            return false;
        return ChooseCurrentCompression(*m_config, m_probe->compressionsPath());
    } catch (const std::exception& e) {
        m_prompter->message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
        return false;
    }
}

void Program::stopRecording() {
    if (m_recorder && m_recorder->recording())
        m_recorder->acStopExecute();
}

QStringList Program::shutdownStepNames() {
    return {
        QStringLiteral("stop recording"),  QStringLiteral("close tables"),         QStringLiteral("delete work files"),
        QStringLiteral("write event log"), QStringLiteral("save folder tree"),     QStringLiteral("close modem port"),
        QStringLiteral("window"),          QStringLiteral("release configuration")};
}

QStringList Program::shutdown(const std::function<void()>& windowSteps) {
    if (m_shutDown)
        return {};
    m_shutDown = true;
    const QStringList names = shutdownStepNames();
    ShutdownSequence sequence;
    sequence.add(names[0], [this] {
        // Nothing queued may start a recording from here on.
        m_armed = false;
        if (m_recorder)
            m_recorder->closeDown();
    });
    sequence.add(names[1], [this] {
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
        if (m_catalogue && !m_catalogue->saveTree())
            m_prompter->message(QStringLiteral("Unable to write to ") + path(QStringLiteral("tree.d")),
                                Prompter::Icon::Error);
    });
    sequence.add(names[5], [this] {
        if (m_modem)
            m_modem->CloseModemPort();
    });
    sequence.add(names[6], [&windowSteps] {
        if (windowSteps)
            windowSteps();
    });
    sequence.add(names[7], [this] {
        // A close that came inside a modem exchange's wait (a recording's stop reinitialising the
        // modem) leaves the controllers to the destructor, after that wait has returned.
        if (!(m_modem && m_modem->exchangeWaiting()))
            releaseControllers();
    });
    const QStringList failed = sequence.run();
    for (const QString& name : failed)
        std::fprintf(stderr, "orlamo: close step failed: %s\n", name.toLocal8Bit().constData());
    Q_EMIT finished();
    return failed;
}
