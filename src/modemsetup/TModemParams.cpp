// The profile's keys and its loader.
#include "modemsetup/TModemParams.h"

#include "app/Config.h"

const QList<TModemParams::Field>& TModemParams::storedFields() {
    static const QList<Field> fields{
        {"Modem", "DriverDate", &TModemParams::DriverDate},
        {"Modem", "Manufacturer", &TModemParams::Manufacturer},
        {"Modem", "DeviceDesc", &TModemParams::DeviceDesc},
        {"Modem", "Model", &TModemParams::Model},
        {"Modem", "Reset", &TModemParams::Reset},
        {"Modem", "answer", &TModemParams::answer},
        {"Modem", "monitor", &TModemParams::monitor},
        {"Modem", "VoiceMode", &TModemParams::VoiceMode},
        {"Modem", "InitVoice", &TModemParams::InitVoice},
        {"Modem", "DisCallerId", &TModemParams::DisCallerId},
        {"Modem", "ForCallerId", &TModemParams::ForCallerId},
        {"Modem", "UnfCallerId", &TModemParams::UnfCallerId},
        {"Modem", "Distinctive", &TModemParams::Distinctive},
        {"Modem", "SpeakerVol", &TModemParams::SpeakerVol},
        {"Modem", "LineSel_T", &TModemParams::LineSel_T},
        {"Modem", "LineSel_T#", &TModemParams::LineSel_TResult},
        {"Modem", "BeepTone", &TModemParams::BeepTone},
        {"Modem", "SilenceTimer", &TModemParams::SilenceTimer},
        {"Modem", "ToneGeneration", &TModemParams::ToneGeneration},
        {"Modem", "VoiceProcess", &TModemParams::VoiceProcess},
        {"Modem", "VoiceTrx", &TModemParams::VoiceTrx},
        {"Modem", "VoiceRec", &TModemParams::VoiceRec},
        {"Modem", "VoiceCompression", &TModemParams::VoiceCompression},
        {"Modem", "RecGain", &TModemParams::RecGain},
        {"Modem", "SpeakerOn", &TModemParams::SpeakerOn},
        {"Modem", "SpeakerOff", &TModemParams::SpeakerOff},
        {"Modem", "MicGain", &TModemParams::MicGain},
        {"Modem", "SpeakerGain", &TModemParams::SpeakerGain},
        {"Params", "UseLine", &TModemParams::UseLine},
        {"Params", "UseLineRes", &TModemParams::UseLineRes},
    };
    return fields;
}

bool TModemParams::usable(const QString& command) {
    const QString t = command.trimmed();
    return !t.isEmpty() && t.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

TModemParams LoadModemProfile(const Config& config) {
    TModemParams params;
    for (const TModemParams::Field& field : TModemParams::storedFields())
        params.*field.member = config.readString(QLatin1String(field.section), QLatin1String(field.key), QString());
    params.port = config.readInteger(QStringLiteral("Modem"), QStringLiteral("port"), 1);
    params.PortName = QStringLiteral("com%1").arg(params.port);
    return params;
}
