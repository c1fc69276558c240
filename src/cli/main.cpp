// orlamo-cli: the recorder's core without a window, for scripts and headless machines.
#include "base/WorkingFolder.h"
#include "cli/CliContext.h"
#include "program/Program.h"
#include "program/StartOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <exception>

namespace {

void printHelp(QTextStream& out) {
    out << "Usage: orlamo-cli [--workdir DIR] COMMAND [ARGUMENTS]\n\n"
           "Orlamo's telephone-call recorder without a window.\n\n"
           "Options:\n"
           "  --workdir DIR  use DIR as the working folder (tvk.ini, catalogue, wav/)\n"
           "  --help         show this help\n"
           "  --version      show the version\n\n"
           "Commands:\n";
    for (const CliCommand& command : cliCommands())
        out << "  " << command.name << ' ' << command.usage << "\n      " << command.summary << '\n';
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orlamo"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QLatin1String("--version"))) {
        out << "orlamo-cli " << ORLAMO_VERSION << '\n';
        return 0;
    }
    if (arguments.isEmpty() || arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        printHelp(out);
        return arguments.isEmpty() ? 2 : 0;
    }
    StartOptions options = StartOptions::parse(arguments);
    if (!options.error.isEmpty() || options.rest.isEmpty()) {
        err << "orlamo-cli: " << (options.error.isEmpty() ? QStringLiteral("no command given") : options.error) << "\n";
        return 2;
    }
    const QString name = options.rest.takeFirst();
    for (const CliCommand& command : cliCommands()) {
        if (name != QLatin1String(command.name))
            continue;
        const QString launchDir = QDir::currentPath();
        const QString programFolder = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
        const QString workDir = Program::workingFolderFor(options, programFolder);
        if (!WorkingFolder::makeCurrent(workDir)) {
            err << "orlamo-cli: cannot use the working folder " << workDir << '\n';
            return 1;
        }
        CliContext context{options, options.rest, WorkingFolder::current(), out, err, launchDir};
        int code = 1;
        try {
            code = command.run(context);
        } catch (const std::exception& e) {
            // The project's errors carry the text the user sees.
            err << "orlamo-cli " << command.name << ": " << e.what() << '\n';
        }
        out.flush();
        err.flush();
        return code;
    }
    err << "orlamo-cli: unknown command '" << name << "' (see orlamo-cli --help)\n";
    return 2;
}
