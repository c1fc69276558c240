// Creation of the controllers in order, and their release in reverse.
#include "recorder/RecorderCore.h"

#include "app/AppState.h"
#include "audio/TfmAudio.h"
#include "modem/ModemSettings.h"
#include "modem/TfmModem.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/TfmInitTVK.h"
#include "modemsetup/TfmParse.h"
#include "settings/SettingsModel.h"

RecorderCore::RecorderCore(AppState& state, QObject* parent) : QObject(parent), m_state(state) {}

RecorderCore::~RecorderCore() {
    m_audio.reset();
    m_initTVK.reset();
    m_modem.reset();
    m_parse.reset();
    m_queryBox.reset();
    m_current.reset();
    m_profile.reset();
    m_settings.reset();
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
    createSettings();
    createParse();
    createModem();
    createInitTVK();
    createAudio();
}

void RecorderCore::closeModemPort() {
    if (m_modem)
        m_modem->CloseModemPort();
}
