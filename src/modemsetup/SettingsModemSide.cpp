// The settings dialog's view of the modem side.
#include "modemsetup/SettingsModemSide.h"

#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "base/Prompter.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/StartupConfiguration.h"

#include <QDir>

SettingsModemSide::SettingsModemSide(Config& config, Prompter& prompter, ModemProfile& profile,
                                     CurrentCompression& current, StartupConfiguration& startup, QString workingFolder)
    : m_config(config), m_prompter(prompter), m_profile(profile), m_current(current), m_startup(startup),
      m_workingFolder(std::move(workingFolder)) {}

bool SettingsModemSide::voiceFeatures() const {
    return m_profile.voiceFeatures();
}

QList<CompressionChoice> SettingsModemSide::compressionChoices() const {
    QList<CompressionChoice> choices;
    if (!m_profile.voiceFeatures())
        return choices;
    for (const CompressionRecord& record : CompressionFile(CompressionFile::pathIn(m_workingFolder)).readAll())
        choices.append({record.displayText(), record.VsmCommand});
    return choices;
}

bool SettingsModemSide::matchCompression() {
    try {
        return matchCurrentCompression(m_current, m_config, CompressionFile::pathIn(m_workingFolder), m_prompter,
                                       QDir(m_workingFolder).filePath(kModemCompressionFile));
    } catch (const FileOpenError& e) {
        m_prompter.message(e.text(), Prompter::Icon::Error);
        return false;
    }
}

int SettingsModemSide::findModems() {
    return m_startup.findModems();
}

bool SettingsModemSide::reportsHandset() const {
    return m_profile.handsetEvents() != 0;
}
