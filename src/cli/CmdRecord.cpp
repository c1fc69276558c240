// orlamo-cli record: the recorder without a window, until SIGINT or SIGTERM.
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "library/Catalogue.h"
#include "program/Program.h"
#include "program/SingleInstance.h"
#include "program/TerminationSignals.h"
#include "recorder/VoiceRecorder.h"
#include "settings/SettingsModel.h"
#include "web/WebServer.h"

#include <QCoreApplication>

int cmdRecord(CliContext& context) {
    // --record-outgoing: calls the user makes are recorded in this run, whatever the setting says.
    const bool recordOutgoing = context.args == QStringList{QStringLiteral("--record-outgoing")};
    if (!context.args.isEmpty() && !recordOutgoing) {
        context.err << "usage: orlamo-cli record [--record-outgoing]\n";
        return 2;
    }
    StartOptions options = context.options;
    options.unattended = true;

    SingleInstance instance(context.workDir);
    if (instance.notifyRunningCopy()) {
        context.err << SingleInstance::kAlreadyLoaded << '\n';
        return 1;
    }
    instance.listen();

    UnattendedPrompter prompter; // its messages go to standard error, the logger lines to standard output
    Program program(context.workDir, options, prompter);
    // Every logger line goes out as it comes, so a home server's journal holds the call history.
    QObject::connect(&program.logger(), &Logger::appended, [&context](const QString& line) {
        context.out << line << '\n';
        context.out.flush();
    });
    std::unique_ptr<WebServer> web; // the web page, with [Web] Enabled=1
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, qApp, &QCoreApplication::quit);
    try {
        program.start([&program, &context, &web, recordOutgoing](Program::Step step) {
            if (step == Program::Step::Settings && recordOutgoing)
                program.settings().setRecordOutgoing(true); // for this run; nothing is saved
            if (step == Program::Step::Armed)
                web = WebServer::startIfEnabled(program);
            if (step != Program::Step::Recorder)
                return;
            QObject::connect(&program.recorder(), &VoiceRecorder::recordingCatalogued,
                             [&context, &program](const QString& name) {
                                 context.out << "Recorded " << program.catalogue().wavPath(name) << '\n';
                                 context.out.flush();
                             });
        });
    } catch (const std::exception& e) {
        context.err << "orlamo-cli record: " << e.what() << '\n';
        program.shutdown();
        return 1;
    }
    QCoreApplication::exec();
    // A call still being recorded is ended and catalogued before the catalogue closes.
    program.shutdown();
    return 0;
}
