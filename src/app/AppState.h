// What every window and controller of a run shares: options, working folder, logger, configuration.
#pragma once

#include "app/Config.h"
#include "app/Logger.h"
#include "app/StartOptions.h"

#include <memory>

class Prompter;

/// Owned by the composition root for the whole run; handed by reference to what needs it.
struct AppState {
    StartOptions options;
    QString workDir; ///< the working folder, without a trailing separator
    Logger logger;
    std::unique_ptr<Config> config; ///< open from the main window's creation to the end of its close
    Prompter* prompter = nullptr;
    bool mainWindowShown = false; ///< false until the main window is first shown; automatic recording waits for it

    /// A file of the working folder.
    QString path(const QString& name) const { return workDir + QLatin1Char('/') + name; }
};
