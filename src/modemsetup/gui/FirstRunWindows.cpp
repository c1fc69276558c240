// The first-run search with the modem initialization window.
#include "modemsetup/gui/FirstRunWindows.h"

#include "modemsetup/ModemSearch.h"
#include "modemsetup/StartupConfiguration.h"
#include "modemsetup/gui/ModemChoiceWindow.h"
#include "modemsetup/gui/ProgressWindow.h"

void FirstRunWindows::attach(StartupConfiguration& init, ModemSearch& search, ModemProfileWriter& writer,
                             ModemChoiceWindow& form, ProgressWindow& progress, Config& config, Prompter& prompter) {
    form.attach(search, writer, config, prompter);
    progress.follow(search);
    // The window's OK runs the profile writer; "No modem detected" is the first-run check's own.
    init.setModemSearch([&search, &form] {
        const int found = search.searchModems();
        if (found > 0)
            form.exec();
        return found;
    });
}
