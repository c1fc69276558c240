// The modem side as the settings dialog sees it: voice features, the compression list, the codec
// matcher and "Find modems".
#pragma once

#include "settings/SettingsModemAccess.h"

#include <QString>

class Config;
class CurrentCompression;
class ModemProfile;
class Prompter;
class StartupConfiguration;

class SettingsModemSide : public SettingsModemAccess {
public:
    SettingsModemSide(Config& config, Prompter& prompter, ModemProfile& profile, CurrentCompression& current,
                      StartupConfiguration& startup, QString workingFolder);

    bool voiceFeatures() const override;
    QList<CompressionChoice> compressionChoices() const override;
    bool matchCompression() override;
    int findModems() override;
    bool reportsHandset() const override;

private:
    Config& m_config;
    Prompter& m_prompter;
    ModemProfile& m_profile;
    CurrentCompression& m_current;
    StartupConfiguration& m_startup;
    QString m_workingFolder;
};
