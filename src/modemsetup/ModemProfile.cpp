// Holding the program-wide profile.
#include "modemsetup/ModemProfile.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"

ModemProfile::ModemProfile(QObject* parent) : QObject(parent) {}

void ModemProfile::setParams(const ModemParams& params) {
    if (params == m_params)
        return;
    m_params = params;
    Q_EMIT changed();
}

void ModemProfile::setVoiceCompression(const QString& command) {
    ModemParams p = m_params;
    p.VoiceCompression = command;
    setParams(p);
}

void ModemProfile::setVoiceFeatures(bool on) {
    if (on == m_voiceFeatures)
        return;
    m_voiceFeatures = on;
    Q_EMIT voiceFeaturesChanged(on);
}

void ModemProfile::setHandsetEvents(char letter) {
    if (letter != 'H' && letter != 'P')
        letter = 0;
    if (letter == m_handsetEvents)
        return;
    m_handsetEvents = letter;
    Q_EMIT handsetEventsChanged(letter);
}

void ModemProfile::load(const Config& config) {
    setParams(loadModemProfile(config));
    const QString letter = config.readString(ConfigKeys::kHandsetEvents, QString());
    setHandsetEvents(letter.size() == 1 ? letter.at(0).toLatin1() : 0);
}

void ModemProfile::loadVoiceFeatures(const Config& config) {
    setVoiceFeatures(config.read(ConfigKeys::kVoiceFeatures));
}
