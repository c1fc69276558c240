// Creation of the controllers in order, and their release in reverse.
#include "recorder/RecorderCore.h"

#include "app/AppState.h"
#include "app/Prompter.h"
#include "audio/TfmAudio.h"
#include "library/Catalogue.h"
#include "modem/ModemSettings.h"
#include "modem/TfmModem.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/TfmInitTVK.h"
#include "modemsetup/TfmParse.h"
#include "recorder/VoiceRecorder.h"
#include "settings/SettingsModel.h"

RecorderCore::RecorderCore(AppState& state, QObject* parent) : QObject(parent), m_state(state) {}

RecorderCore::~RecorderCore() {
    m_recorder.reset();
    m_audio.reset();
    m_initTVK.reset();
    m_modem.reset();
    m_parse.reset();
    m_queryBox.reset();
    m_current.reset();
    m_profile.reset();
    m_settings.reset();
    m_catalogue.reset();
}

void RecorderCore::openCatalogue() {
    m_catalogue = std::make_unique<Catalogue>(m_state.workDir, *m_state.prompter);
    m_catalogue->OpenCatalogue();
}

void RecorderCore::closeCatalogue() {
    if (m_catalogue)
        m_catalogue->close();
}

void RecorderCore::saveTree() {
    if (m_catalogue && !m_catalogue->saveTree())
        m_state.prompter->message(QStringLiteral("Unable to write to ") + m_state.path(QStringLiteral("tree.d")),
                                  Prompter::Icon::Error);
}

void RecorderCore::createSettings(StartupRegistration* registration) {
    m_settings = std::make_unique<SettingsModel>(*m_state.config, m_state.workDir, registration);
    m_settings->load();
    m_profile = std::make_unique<ModemProfile>();
    m_current = std::make_unique<CurrentCompression>();
}

void RecorderCore::createParse() {
    m_queryBox = std::make_unique<QueryModemBox>();
    m_parse = std::make_unique<TfmParse>(*m_state.config, m_state.logger, *m_state.prompter, *m_profile, *m_queryBox,
                                         m_state.workDir);
}

void RecorderCore::createModem() {
    m_modem = std::make_unique<TfmModem>(*m_state.config, m_state.logger);
    applyModemSettings();
    m_parse->setQuery([this](const QString& command, QString& reply) { return m_modem->SendQuery(command, reply); });
}

void RecorderCore::applyModemSettings() {
    if (m_modem)
        m_modem->setSettings(ModemSettings::fromConfig(*m_state.config));
}

void RecorderCore::createInitTVK(const std::function<void(TfmInitTVK&)>& connect) {
    m_initTVK = std::make_unique<TfmInitTVK>(*m_state.config, *m_state.prompter, *m_modem, *m_profile, *m_current,
                                             *m_settings, m_state.workDir);
    // The first-run search and profile writer live as long as the start-up controller. Without a
    // window to choose in, the first modem found is the one confirmed (a window may replace the search).
    auto* search = new ModemSearch(*m_state.config, m_state.logger, *m_modem, m_initTVK.get());
    search->setObjectName(QStringLiteral("ModemSearch"));
    auto* writer = new ModemProfileWriter(*m_state.config, m_state.logger, *m_state.prompter, *m_modem, *m_profile,
                                          *m_parse, *m_current, *search, m_state.workDir, m_initTVK.get());
    writer->setObjectName(QStringLiteral("ModemProfileWriter"));
    m_initTVK->setModemSearch([search, writer] {
        const int found = search->SearchModems();
        if (found > 0)
            writer->WriteModemProfile(1);
        return found;
    });
    if (connect)
        connect(*m_initTVK);
    m_initTVK->FirstRunCheck();
    m_initTVK->ApplyConfiguration();
}

void RecorderCore::createAudio() {
    m_audio = std::make_unique<TfmAudio>(*m_state.prompter);
}

void RecorderCore::createAll() {
    openCatalogue();
    createSettings();
    createParse();
    createModem();
    createInitTVK();
    createAudio();
    createRecorder();
}

void RecorderCore::createRecorder() {
    if (!m_catalogue)
        openCatalogue();
    m_recorder = std::make_unique<VoiceRecorder>(m_state.logger, *m_state.prompter, *m_modem, *m_profile, *m_current,
                                                 *m_settings, *m_catalogue, m_state.workDir);
    m_recorder->RecoverRecordedFile();
    connect(m_modem.get(), &TfmModem::recordTriggered, m_recorder.get(), [this] {
        // The idle handler's turn: after the ring timer's handler has returned.
        QMetaObject::invokeMethod(
            m_recorder.get(),
            [this] {
                if (m_state.mainWindowShown && m_settings->autoRecord() && m_modem->takeRecordTrigger())
                    m_recorder->acRecordExecute();
            },
            Qt::QueuedConnection);
    });
}

void RecorderCore::stopRecording() {
    if (m_recorder && m_recorder->recording())
        m_recorder->acStopExecute();
}

void RecorderCore::closeModemPort() {
    stopRecording();
    if (m_modem)
        m_modem->CloseModemPort();
}
