// A modem: its identity, its port and the voice command table tested against it.
#pragma once

#include "base/Config.h"

#include <QList>
#include <QString>

/// One entry of the modem search and the program-wide profile. Every field is stored under the key of
/// its name in section `Modem`, except `PortName` (not stored), `LineSel_TResult` (key "LineSel_T#")
/// and `UseLine`, `UseLineRes` (section `Params`). A command holding "none" was rejected by the modem
/// and is never sent.
struct ModemParams {
    QString DriverDate;
    QString Manufacturer;
    QString DeviceDesc;
    QString Model;
    QString Reset;
    QString answer;
    QString monitor;
    QString PortName; ///< "com" + the port number
    int port = 1;
    QString VoiceMode;
    QString InitVoice;
    QString DisCallerId;
    QString ForCallerId;
    QString UnfCallerId;
    QString Distinctive;
    QString SpeakerVol;
    QString LineSel_T;
    QString LineSel_TResult; ///< key "LineSel_T#"
    QString BeepTone;
    QString SilenceTimer;
    QString ToneGeneration;
    QString VoiceProcess;
    QString VoiceTrx;
    QString VoiceRec;
    QString VoiceCompression;
    QString RecGain;
    QString SpeakerOn;
    QString SpeakerOff;
    QString MicGain;
    QString SpeakerGain;
    QString UseLine;
    QString UseLineRes;

    bool operator==(const ModemParams&) const = default;

    /// A text field and its configuration key (base/ConfigKeys.h).
    struct Field {
        ConfigKey key;
        QString ModemParams::*member;
    };
    /// The stored text fields: identity and reset first, then the voice command table in its order,
    /// then the line use of `Params`. `port` and `PortName` are not in it.
    static const QList<Field>& storedFields();

    /// True when `command` may be sent: not empty and not "none" (any letter case).
    static bool usable(const QString& command);
};

/// Reads the program-wide profile: the `Modem` texts (default empty), `port` (default 1), and
/// `UseLine`, `UseLineRes` of `Params`.
ModemParams loadModemProfile(const Config& config);
