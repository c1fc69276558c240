// What a subcommand of orlamo-cli gets: its arguments, the working folder and the output streams.
#pragma once

#include "program/StartOptions.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTextStream>

struct CliContext {
    StartOptions options; ///< the program's own options (--workdir, --unattended)
    QStringList args;     ///< the subcommand's arguments, after its name
    QString workDir;      ///< the working folder, already made current
    QTextStream& out;
    QTextStream& err;
    QString launchDir; ///< the folder the program was started in, where the user's relative paths point

    /// A file named on the command line: relative names are taken from the folder the user started in,
    /// not from the working folder the program has moved to.
    QString userPath(const QString& name) const {
        return launchDir.isEmpty() ? name : QDir(launchDir).absoluteFilePath(name);
    }
};

/// One subcommand: `run` returns the process exit code (0 success, 1 failure, 2 bad usage).
struct CliCommand {
    const char* name;
    const char* usage;   ///< arguments after the name, e.g. "[--port N] COMMAND..."
    const char* summary; ///< one line for --help
    int (*run)(CliContext& context);
};

/// Every subcommand, in the order --help lists them (CliCommands.cpp).
const QList<CliCommand>& cliCommands();
