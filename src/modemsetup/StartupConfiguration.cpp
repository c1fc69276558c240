// The first-run check and applying the configuration.
#include "modemsetup/StartupConfiguration.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Prompter.h"
#include "modem/ModemController.h"
#include "modem/ModemSettings.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QFile>

StartupConfiguration::StartupConfiguration(Config& config, Prompter& prompter, ModemController& modem,
                                           ModemProfile& profile, CurrentCompression& current, SettingsModel& settings,
                                           QString workingFolder, QObject* parent)
    : QObject(parent), m_config(config), m_prompter(prompter), m_modem(modem), m_profile(profile), m_current(current),
      m_settings(settings), m_workingFolder(std::move(workingFolder)) {}

void StartupConfiguration::firstRunCheck() {
    if (QFile::exists(m_config.path()) && m_config.readInteger(ConfigKeys::kModemPort, 0) != 0) {
        m_profile.load(m_config);
        return;
    }
    const int found = m_search ? m_search() : 0;
    if (found > 0) {
        m_profile.load(m_config);
        return;
    }
    m_config.writeBool(ConfigKeys::kVoiceFeatures, false);
    m_prompter.message(QStringLiteral("        No modem detected        "));
}

void StartupConfiguration::applyConfiguration() {
    m_profile.load(m_config);
    m_profile.loadVoiceFeatures(m_config);
    m_settings.loadMediaPlayer();
    Q_EMIT layoutDue();

    const bool modemConfigured = m_config.sectionExists(ConfigKeys::kModemSection);
    if (modemConfigured) {
        const QString compressions = CompressionFile::pathIn(m_workingFolder);
        if (QFile::exists(compressions))
            m_current.load(m_config, compressions);
        if (m_profile.voiceFeatures()) {
            Q_EMIT recordEnabled(true);
        } else {
            m_prompter.message(QStringLiteral("Your modem does not support V.253/IS-101 standard"));
            Q_EMIT recordEnabled(false);
        }
    } else {
        Q_EMIT recordEnabled(false); // nothing to record from
    }

    QDir(m_workingFolder).mkdir(QStringLiteral("wav")); // an existing folder is fine
    Q_EMIT controlsDue();

    if (!modemConfigured)
        return;
    const ModemParams& params = m_profile.params();
    ModemSettings line;
    line.port = params.port;
    line.forCallerId = params.ForCallerId;
    line.disCallerId = params.DisCallerId;
    const ModemSettings s = ModemSettings::fromSettings(m_settings, line);
    m_modem.setSettings(s);
    if (!m_modem.openModemPort(params.port, true)) {
        m_prompter.message(m_modem.reportOpenFailure(), Prompter::Icon::Error);
        Q_EMIT recordEnabled(false);
    }
    if (m_settings.autoRecord())
        m_modem.calls().enableAutoRecord();
    else
        m_modem.calls().disableAutoRecord();
}

int StartupConfiguration::findModems() {
    if (m_modem.portOpen())
        m_modem.closeModemPort();
    // The search opens every port with the line settings chosen in the dialog, not yet stored.
    m_modem.setSettings(ModemSettings::fromSettings(m_settings, m_modem.settings()));
    const int found = m_search ? m_search() : 0;
    if (found > 0)
        return found;
    m_config.writeBool(ConfigKeys::kVoiceFeatures, false);
    m_profile.setVoiceFeatures(false);
    m_prompter.message(QStringLiteral("        No modem detected        "));
    try {
        m_config.eraseSection(ConfigKeys::kModemSection);
    } catch (const ConfigWriteError&) {
        // The stale profile stays; the search already reported what it found.
    }
    return 0;
}
