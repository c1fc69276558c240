// The table of orlamo-cli's subcommands. Each subcommand lives in its own Cmd*.cpp file.
#include "cli/CliContext.h"

int cmdAt(CliContext& context);
int cmdInfo(CliContext& context);
int cmdConvert(CliContext& context);
int cmdCatalog(CliContext& context);
int cmdRecord(CliContext& context);
int cmdModems(CliContext& context);
int cmdPlay(CliContext& context);

const QList<CliCommand>& cliCommands() {
    static const QList<CliCommand> commands = {
        {"at", "[--port N] COMMAND...", "send AT commands to the modem and print each reply", cmdAt},
        {"info", "FILE.wav", "show the format, duration and data size of a WAV file", cmdInfo},
        {"convert", "IN.wav OUT.wav --to FORMAT[:RATE[:BITS[:CHANNELS]]]",
         "convert a WAV file; FORMAT is pcm, ulaw, alaw, ima, msadpcm or gsm", cmdConvert},
        {"catalog", "[--csv] [--folder NAME]",
         "list the recordings (folder, date, time, duration, memo, WAV file) without changing anything", cmdCatalog},
        {"record", "", "run the recorder without a window until SIGINT or SIGTERM, printing the event log", cmdRecord},
        {"modems", "[--write N]",
         "search ports 1 to 8 for modems and list them; --write N stores the profile of modem N", cmdModems},
        {"play", "FILE|ID [--volume 0..16]",
         "play a WAV file, or the recording with that Id, on the default output device (volume 16 by default)",
         cmdPlay},
    };
    return commands;
}
