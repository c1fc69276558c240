// The profile's keys and its loader.
#include "modemsetup/ModemParams.h"

#include "base/Config.h"

const QList<ModemParams::Field>& ModemParams::storedFields() {
    static const QList<Field> fields{
        {"Modem", "DriverDate", &ModemParams::DriverDate},
        {"Modem", "Manufacturer", &ModemParams::Manufacturer},
        {"Modem", "DeviceDesc", &ModemParams::DeviceDesc},
        {"Modem", "Model", &ModemParams::Model},
        {"Modem", "Reset", &ModemParams::Reset},
        {"Modem", "answer", &ModemParams::answer},
        {"Modem", "monitor", &ModemParams::monitor},
        {"Modem", "VoiceMode", &ModemParams::VoiceMode},
        {"Modem", "InitVoice", &ModemParams::InitVoice},
        {"Modem", "DisCallerId", &ModemParams::DisCallerId},
        {"Modem", "ForCallerId", &ModemParams::ForCallerId},
        {"Modem", "UnfCallerId", &ModemParams::UnfCallerId},
        {"Modem", "Distinctive", &ModemParams::Distinctive},
        {"Modem", "SpeakerVol", &ModemParams::SpeakerVol},
        {"Modem", "LineSel_T", &ModemParams::LineSel_T},
        {"Modem", "LineSel_T#", &ModemParams::LineSel_TResult},
        {"Modem", "BeepTone", &ModemParams::BeepTone},
        {"Modem", "SilenceTimer", &ModemParams::SilenceTimer},
        {"Modem", "ToneGeneration", &ModemParams::ToneGeneration},
        {"Modem", "VoiceProcess", &ModemParams::VoiceProcess},
        {"Modem", "VoiceTrx", &ModemParams::VoiceTrx},
        {"Modem", "VoiceRec", &ModemParams::VoiceRec},
        {"Modem", "VoiceCompression", &ModemParams::VoiceCompression},
        {"Modem", "RecGain", &ModemParams::RecGain},
        {"Modem", "SpeakerOn", &ModemParams::SpeakerOn},
        {"Modem", "SpeakerOff", &ModemParams::SpeakerOff},
        {"Modem", "MicGain", &ModemParams::MicGain},
        {"Modem", "SpeakerGain", &ModemParams::SpeakerGain},
        {"Params", "UseLine", &ModemParams::UseLine},
        {"Params", "UseLineRes", &ModemParams::UseLineRes},
    };
    return fields;
}

bool ModemParams::usable(const QString& command) {
    const QString t = command.trimmed();
    return !t.isEmpty() && t.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

ModemParams loadModemProfile(const Config& config) {
    ModemParams params;
    for (const ModemParams::Field& field : ModemParams::storedFields())
        params.*field.member = config.readString(QLatin1String(field.section), QLatin1String(field.key), QString());
    params.port = config.readInteger(QStringLiteral("Modem"), QStringLiteral("port"), 1);
    params.PortName = QStringLiteral("com%1").arg(params.port);
    return params;
}
