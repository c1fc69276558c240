// The table of orlamo-cli's subcommands. Each subcommand lives in its own Cmd*.cpp file.
#include "cli/CliContext.h"

const QList<CliCommand>& cliCommands() {
    static const QList<CliCommand> commands = {
    };
    return commands;
}
