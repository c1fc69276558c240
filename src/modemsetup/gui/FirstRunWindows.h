// Lets the windowed program's first start choose the modem in the modem initialization window.
#pragma once

class Config;
class ModemChoiceWindow;
class ModemProfileWriter;
class ModemSearch;
class ProgressWindow;
class Prompter;
class StartupConfiguration;

namespace FirstRunWindows {

/// Connects the search and the profile writer to the windows, and makes the first-run search show
/// `form` modally when it found a modem. Call it before the first-run check.
void attach(StartupConfiguration& init, ModemSearch& search, ModemProfileWriter& writer, ModemChoiceWindow& form,
            ProgressWindow& progress, Config& config, Prompter& prompter);

} // namespace FirstRunWindows
