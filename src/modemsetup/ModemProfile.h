// The program-wide modem profile and the voice-features flag.
#pragma once

#include "modemsetup/ModemParams.h"

#include <QObject>

class Config;

/// Owned by the application object; the recording start, the modem initialisation, the main window
/// and the settings read it. The voice-features flag is true when the modem accepted the voice mode
/// command; it gates recording.
class ModemProfile : public QObject {
    Q_OBJECT
public:
    explicit ModemProfile(QObject* parent = nullptr);

    const ModemParams& params() const { return m_params; }
    /// The profile writer copies the chosen entry in here.
    void setParams(const ModemParams& params);
    /// Only the compression probe's "at+vsm=none" changes a single field.
    void setVoiceCompression(const QString& command);

    bool voiceFeatures() const { return m_voiceFeatures; }
    void setVoiceFeatures(bool on);

    /// The letter of the modem's off-hook event, 'H' or 'P' (`HandsetEvents` of `Modem`), learned from
    /// the first one the modem sent; 0 while it has shown none.
    char handsetEvents() const { return m_handsetEvents; }
    void setHandsetEvents(char letter);

    /// `loadModemProfile` into the program-wide profile, and the handset events.
    void load(const Config& config);
    /// `Voicefeatures` of `Params`, default true.
    void loadVoiceFeatures(const Config& config);

Q_SIGNALS:
    void changed();
    void voiceFeaturesChanged(bool on);
    void handsetEventsChanged(char letter);

private:
    ModemParams m_params;
    bool m_voiceFeatures = true;
    char m_handsetEvents = 0;
};
