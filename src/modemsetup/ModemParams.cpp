// The profile's keys and its loader.
#include "modemsetup/ModemParams.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"

const QList<ModemParams::Field>& ModemParams::storedFields() {
    static const QList<Field> fields{
        {ConfigKeys::kDriverDate, &ModemParams::DriverDate},
        {ConfigKeys::kManufacturer, &ModemParams::Manufacturer},
        {ConfigKeys::kDeviceDesc, &ModemParams::DeviceDesc},
        {ConfigKeys::kModel, &ModemParams::Model},
        {ConfigKeys::kReset, &ModemParams::Reset},
        {ConfigKeys::kAnswer, &ModemParams::answer},
        {ConfigKeys::kMonitorCommand, &ModemParams::monitor},
        {ConfigKeys::kVoiceMode, &ModemParams::VoiceMode},
        {ConfigKeys::kInitVoice, &ModemParams::InitVoice},
        {ConfigKeys::kDisCallerId, &ModemParams::DisCallerId},
        {ConfigKeys::kForCallerId, &ModemParams::ForCallerId},
        {ConfigKeys::kUnfCallerId, &ModemParams::UnfCallerId},
        {ConfigKeys::kDistinctive, &ModemParams::Distinctive},
        {ConfigKeys::kSpeakerVol, &ModemParams::SpeakerVol},
        {ConfigKeys::kLineSelection, &ModemParams::LineSel_T},
        {ConfigKeys::kLineSelectionReply, &ModemParams::LineSel_TResult},
        {ConfigKeys::kBeepTone, &ModemParams::BeepTone},
        {ConfigKeys::kSilenceTimer, &ModemParams::SilenceTimer},
        {ConfigKeys::kToneGeneration, &ModemParams::ToneGeneration},
        {ConfigKeys::kVoiceProcess, &ModemParams::VoiceProcess},
        {ConfigKeys::kVoiceTrx, &ModemParams::VoiceTrx},
        {ConfigKeys::kVoiceRec, &ModemParams::VoiceRec},
        {ConfigKeys::kVoiceCompression, &ModemParams::VoiceCompression},
        {ConfigKeys::kRecGain, &ModemParams::RecGain},
        {ConfigKeys::kSpeakerOn, &ModemParams::SpeakerOn},
        {ConfigKeys::kSpeakerOff, &ModemParams::SpeakerOff},
        {ConfigKeys::kMicGain, &ModemParams::MicGain},
        {ConfigKeys::kSpeakerGain, &ModemParams::SpeakerGain},
        {ConfigKeys::kUseLine, &ModemParams::UseLine},
        {ConfigKeys::kUseLineRes, &ModemParams::UseLineRes},
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
        params.*field.member = config.readString(field.key, QString());
    params.port = config.read(ConfigKeys::kModemPort);
    params.PortName = QStringLiteral("com%1").arg(params.port);
    return params;
}
