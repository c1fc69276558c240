// The table of orlamo-cli's subcommands. Each subcommand lives in its own Cmd*.cpp file.
#include "cli/CliContext.h"

int cmdAt(CliContext& context);

const QList<CliCommand>& cliCommands() {
    static const QList<CliCommand> commands = {
        {"at", "[--port N] COMMAND...", "send AT commands to the modem and print each reply", cmdAt},
    };
    return commands;
}
