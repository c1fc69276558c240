// The profile writer: tests the voice commands against the chosen modem and stores its profile.
#pragma once

#include "modemsetup/ModemParams.h"

#include <QObject>
#include <QString>

class Config;
class CurrentCompression;
class Logger;
class ModemProfile;
class ModemSearch;
class Prompter;
class ModemController;
class VoiceCapabilityProbe;

/// The OK button of the modem initialization window. The window follows `busyChanged` (hourglass,
/// OK and list disabled) and the gauge signals, and closes unless the result is `PortUnusable`.
class ModemProfileWriter : public QObject {
    Q_OBJECT
public:
    /// Steps of the progress gauge while the voice commands are tested.
    static constexpr int kGaugeSteps = 13;

    enum class Result {
        Written,      ///< the profile was stored (voice features or not)
        PortUnusable, ///< "No valid com port specified for this modem"; the window stays open
        PortNotOpen,  ///< the channel did not report itself open; nothing stored
        NoModem,      ///< "There is no voice modem at this com port"; nothing stored
        WriteFailed,  ///< tvk.ini could not be written; its message was shown
    };

    ModemProfileWriter(Config& config, Logger& logger, Prompter& prompter, ModemController& modem,
                       ModemProfile& profile, VoiceCapabilityProbe& parse, CurrentCompression& current,
                       ModemSearch& search, QString workingFolder, QObject* parent = nullptr);

    /// The default voice command table into entry `number` of the search.
    void fillCommandTable(int number);
    /// The default voice command table into `entry`.
    static void fillDefaultCommands(ModemParams& entry);
    /// Probes the modem of entry `number` and stores its profile.
    Result writeModemProfile(int number);

    /// The gauge after `step` steps: step·100/13 to the nearest integer.
    static int gaugeFor(int step);

Q_SIGNALS:
    void busyChanged(bool busy);
    void gaugeShown(bool shown);
    void gaugeChanged(int percent);

private:
    Result writeSteps(int number);
    void testCommand(const ConfigKey& key, const QString& command);
    void probeGain(const char* query, const ConfigKey& minKey, const ConfigKey& maxKey, const ConfigKey& key,
                   const char* command);
    void gaugeStep();
    void writeModem(const ConfigKey& key, const QString& value);

    Config& m_config;
    Logger& m_logger;
    Prompter& m_prompter;
    ModemController& m_modem;
    ModemProfile& m_profile;
    VoiceCapabilityProbe& m_parse;
    CurrentCompression& m_current;
    ModemSearch& m_search;
    QString m_workingFolder;
    int m_step = 0;
};
