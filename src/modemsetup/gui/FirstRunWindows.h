// Lets the windowed program's first start choose the modem in the modem initialization window.
#pragma once

class Config;
class Prompter;
class TfmInitTVK;
class TProgressForm;
class TSpecModemForm;

namespace FirstRunWindows {

/// Connects the start-up controller's search (child "ModemSearch") and profile writer (child
/// "ModemProfileWriter") to the windows, and makes the first-run search show `form` modally when it
/// found a modem. Call it before the first-run check. False when `init` has no search to follow.
bool attach(TfmInitTVK& init, TSpecModemForm& form, TProgressForm& progress, Config& config, Prompter& prompter);

} // namespace FirstRunWindows
