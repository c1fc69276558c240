// orlamo-cli record: the recorder without a window, until SIGINT or SIGTERM.
#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "library/Catalogue.h"
#include "modem/TfmModem.h"
#include "recorder/RecorderCore.h"
#include "recorder/VoiceRecorder.h"

#include <QCoreApplication>

int cmdRecord(CliContext& context) {
    if (!context.args.isEmpty()) {
        context.err << "usage: orlamo-cli record\n";
        return 2;
    }
    AppState state;
    state.options = context.options;
    state.options.unattended = true;
    state.workDir = context.workDir;

    SingleInstance instance(state.workDir);
    if (instance.notifyRunningCopy()) {
        context.err << "TVK already loaded Maybe minimized on the taskbar (lower right side)\n";
        return 1;
    }
    instance.listen();

    // Every logger line goes out as it comes, so a home server's journal holds the call history.
    QObject::connect(&state.logger, &Logger::appended, [&context](const QString& line) {
        context.out << line << '\n';
        context.out.flush();
    });
    UnattendedPrompter prompter; // its messages go to standard error, the logger lines to standard output
    state.prompter = &prompter;
    int code = 0;
    try {
        RecorderCore core(state);
        core.openCatalogue();
        state.config = std::make_unique<Config>(state.path(QStringLiteral("tvk.ini")));
        core.createSettings();
        core.createParse();
        core.createModem();
        core.createInitTVK();
        core.createAudio();
        core.createRecorder();
        QObject::connect(&core.recorder(), &VoiceRecorder::recordingCatalogued, [&context, &core](const QString& name) {
            context.out << "Recorded " << core.catalogue().wavPath(name) << '\n';
            context.out.flush();
        });
        TerminationSignals termination;
        QObject::connect(&termination, &TerminationSignals::terminationRequested, qApp, &QCoreApplication::quit);
        // Nothing shows a window here, so automatic recording may start as soon as a call comes.
        state.mainWindowShown = true;
        QCoreApplication::exec();
        // A call still being recorded is ended and catalogued before the catalogue closes.
        core.stopRecording();
        core.closeCatalogue();
        core.saveTree();
        core.closeModemPort();
    } catch (const ConfigWriteError& e) {
        context.err << "orlamo-cli record: " << e.text() << '\n';
        code = 1;
    }
    if (!state.logger.writeEventLog(state.path(QStringLiteral("Events.log"))))
        context.err << "orlamo-cli record: cannot write " << state.path(QStringLiteral("Events.log")) << '\n';
    return code;
}
