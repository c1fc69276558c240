// The table of orlamo-cli's subcommands. Each subcommand lives in its own Cmd*.cpp file.
#include "cli/CliContext.h"

int cmdAt(CliContext& context);
int cmdInfo(CliContext& context);
int cmdConvert(CliContext& context);
int cmdCatalog(CliContext& context);
int cmdRecord(CliContext& context);
int cmdModems(CliContext& context);
int cmdSearch(CliContext& context);
int cmdMemo(CliContext& context);
int cmdDelete(CliContext& context);
int cmdMove(CliContext& context);
int cmdExport(CliContext& context);
int cmdMail(CliContext& context);
int cmdLists(CliContext& context);
int cmdList(CliContext& context);

const QList<CliCommand>& cliCommands() {
    static const QList<CliCommand> commands = {
        {"at", "[--port N] COMMAND...", "send AT commands to the modem and print each reply", cmdAt},
        {"info", "FILE.wav", "show the format, duration and data size of a WAV file", cmdInfo},
        {"convert", "IN.wav OUT.wav --to FORMAT[:RATE[:BITS[:CHANNELS]]]",
         "convert a WAV file; FORMAT is pcm, ulaw, alaw, ima, msadpcm or gsm", cmdConvert},
        {"catalog", "[--csv] [--folder NAME]",
         "list the recordings (id, list, date, time, duration, memo, WAV file) without changing anything", cmdCatalog},
        {"search", "TEXT [--match-case] [--csv]", "list the recordings whose memo contains TEXT, as catalog does",
         cmdSearch},
        {"memo", "ID TEXT", "set the memo of a recording", cmdMemo},
        {"delete", "ID...", "delete recordings with their WAV files", cmdDelete},
        {"move", "ID... --to LIST", "file recordings in another list", cmdMove},
        {"export", "ID... --to DIR", "copy the recordings' WAV files into DIR under their own names", cmdExport},
        {"mail", "ID...", "open the mail program's compose window with the WAV files attached (xdg-email)", cmdMail},
        {"lists", "", "show the lists and sublists, indented", cmdLists},
        {"list", "add NAME [--under PARENT] | rename OLD NEW | delete NAME",
         "add a list (or a sublist), rename one, or delete one with its sublists and recordings", cmdList},
        {"record", "", "run the recorder without a window until SIGINT or SIGTERM, printing the event log", cmdRecord},
        {"modems", "[--write N]",
         "search ports 1 to 8 for modems and list them; --write N stores the profile of modem N", cmdModems},
    };
    return commands;
}
