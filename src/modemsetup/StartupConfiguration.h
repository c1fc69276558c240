// Start-up of the modem side: the first-run check and applying the configuration.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class Config;
class CurrentCompression;
class Logger;
class ModemProfile;
class Prompter;
class SettingsModel;
class ModemController;

/// Runs at start (first-run check, then apply) and after the settings dialog closes (apply). The
/// main window follows its signals to set its own controls.
class StartupConfiguration : public QObject {
    Q_OBJECT
public:
    /// Searches the ports and, when modems were found, lets the user confirm one (the profile writer
    /// stores it). Returns the number of modems found.
    using ModemSearch = std::function<int()>;

    StartupConfiguration(Config& config, Prompter& prompter, ModemController& modem, ModemProfile& profile,
                         CurrentCompression& current, SettingsModel& settings, QString workingFolder,
                         QObject* parent = nullptr);

    /// Without a search every first start finds no modem.
    void setModemSearch(ModemSearch search) { m_search = std::move(search); }

    /// A configured modem (tvk.ini exists and `Modem` `port` is not 0): loads the profile. Otherwise
    /// searches; none found writes `Voicefeatures` = false and shows "        No modem detected        ".
    void firstRunCheck();
    /// Loads the profile, the voice-features flag, the player settings and the current compression,
    /// creates the "wav" folder, opens the modem port and arms or disarms automatic recording.
    void applyConfiguration();
    /// "Find modems" of the settings: closes the port when it is open, and runs the search on the
    /// speed and flow control the settings hold now. None found: `Voicefeatures` false (in the file
    /// and the profile), "        No modem detected        ", section `Modem` erased (errors ignored).
    /// Returns the number found.
    int findModems();

Q_SIGNALS:
    /// The main window takes its volume, fonts, panel and column widths from the configuration now.
    void layoutDue();
    /// The main window sets its playback and recordings-list controls now.
    void controlsDue();
    /// Whether the Record button, menu item and tray item are enabled.
    void recordEnabled(bool on);

private:
    Config& m_config;
    Prompter& m_prompter;
    ModemController& m_modem;
    ModemProfile& m_profile;
    CurrentCompression& m_current;
    SettingsModel& m_settings;
    QString m_workingFolder;
    ModemSearch m_search;
};
