// The first-run search with the modem initialization window.
#include "modemsetup/gui/FirstRunWindows.h"

#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/TfmInitTVK.h"
#include "modemsetup/gui/TProgressForm.h"
#include "modemsetup/gui/TSpecModemForm.h"

bool FirstRunWindows::attach(TfmInitTVK& init, TSpecModemForm& form, TProgressForm& progress, Config& config,
                             Prompter& prompter) {
    auto* search = init.findChild<ModemSearch*>(QStringLiteral("ModemSearch"));
    auto* writer = init.findChild<ModemProfileWriter*>(QStringLiteral("ModemProfileWriter"));
    if (search == nullptr || writer == nullptr)
        return false;
    form.attach(*search, *writer, config, prompter);
    progress.follow(*search);
    // The window's OK runs the profile writer; "No modem detected" is the first-run check's own.
    init.setModemSearch([search, &form] {
        const int found = search->SearchModems();
        if (found > 0)
            form.exec();
        return found;
    });
    return true;
}
