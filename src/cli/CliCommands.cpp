// The table of orlamo-cli's subcommands. Each subcommand lives in its own Cmd*.cpp file.
#include "cli/CliContext.h"

int cmdAt(CliContext& context);
int cmdInfo(CliContext& context);
int cmdConvert(CliContext& context);
int cmdCatalog(CliContext& context);
int cmdRecord(CliContext& context);
int cmdModems(CliContext& context);
int cmdUdevRule(CliContext& context);
int cmdDiagnostics(CliContext& context);
int cmdLevel(CliContext& context);
int cmdEqualize(CliContext& context);
int cmdSettings(CliContext& context);
int cmdSearch(CliContext& context);
int cmdMemo(CliContext& context);
int cmdDelete(CliContext& context);
int cmdMove(CliContext& context);
int cmdExport(CliContext& context);
int cmdMail(CliContext& context);
int cmdLists(CliContext& context);
int cmdList(CliContext& context);
int cmdPlay(CliContext& context);
int cmdRetention(CliContext& context);
int cmdStatus(CliContext& context);
int cmdCalls(CliContext& context);
int cmdContacts(CliContext& context);
int cmdBackup(CliContext& context);
int cmdRestore(CliContext& context);
int cmdWebPassword(CliContext& context);

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
        {"export", "ID... --to DIR [--as opus|mp3|flac|wav]",
         "copy the recordings into DIR under their own names: the WAV files, or compressed copies with the call's tags",
         cmdExport},
        {"mail", "ID...", "open the mail program's compose window with the WAV files attached (xdg-email)", cmdMail},
        {"lists", "", "show the lists and sublists, indented", cmdLists},
        {"list", "add NAME [--under PARENT] | rename OLD NEW | delete NAME",
         "add a list (or a sublist), rename one, or delete one with its sublists and recordings", cmdList},
        {"list", "retention NAME DAYS|never|inherit | protect NAME on|off",
         "keep a list's recordings (and its sublists') DAYS days, for ever, or as its parent list does; a "
         "protected list loses nothing to retention",
         cmdList},
        {"retention", "[--dry-run] | cap MB|none",
         "delete the recordings retention lets go (older than their list's days, then the oldest above the size "
         "cap; never protected lists or recordings younger than a day); --dry-run only shows them; cap sets the "
         "catalogue's size cap",
         cmdRetention},
        {"status", "[--floor MB|auto]",
         "show the free space of the working folder as hours of recording in the chosen file format, and the "
         "floor at which a recording ends; --floor sets it (auto: the larger of 500 MB and one hour)",
         cmdStatus},
        {"record", "[--record-outgoing]",
         "run the recorder without a window until SIGINT or SIGTERM, printing the event log; --record-outgoing "
         "also records the calls made on the phone (modems that report the handset)",
         cmdRecord},
        {"modems", "[--write N]",
         "search ports 1 to 8 for modems and list them; --write N stores the profile of modem N", cmdModems},
        {"diagnostics", "[--port N]",
         "ask the modem the diagnostics questions; writes Diagnostics.log in the working folder and prints it",
         cmdDiagnostics},
        {"udev-rule", "[--port N]",
         "print the udev rule that names the configured USB modem /dev/orlamo-modem and keeps ModemManager off it",
         cmdUdevRule},
        {"level", "FILE|ID --percent P [--out FILE]",
         "raise or lower the volume of a recording (a WAV file or a catalogue id) by P % (-50 to 100), in its "
         "own format",
         cmdLevel},
        {"equalize", "FILE|ID [--out FILE]",
         "raise the quiet voice passages of a recording to 1.3 times its average voice level, in its own format",
         cmdEqualize},
        {"settings", "[NAME=VALUE...]",
         "show the settings, or change them as the settings dialog's OK does (StartUp=1 registers the program "
         "at logon; FileCompression=FORMAT[:RATE[:BITS[:CHANNELS]]] as convert's --to)",
         cmdSettings},
        {"play", "FILE|ID [--volume 0..16]",
         "play a WAV file, or the recording with that Id, on the default output device (volume 16 by default)",
         cmdPlay},
        {"calls", "[--since YYYY-MM-DD] [--missed] [--csv]",
         "list the call log: every call that rang or was made, with its rings, number, name and what became of it "
         "(--missed: only the calls nobody answered)",
         cmdCalls},
        {"contacts", "import FILE | list | set NUMBER NAME [--do-not-record] | delete NUMBER",
         "import contacts from a vCard or CSV file, list them, name a number (--do-not-record: its calls are not "
         "recorded automatically), or delete a number",
         cmdContacts},
        {"backup", "DIR|FILE.tar",
         "copy the catalogue, the settings, the modem profile and every recording to a new folder or a tar "
         "archive, consistent even while the recorder runs",
         cmdBackup},
        {"restore", "DIR|FILE.tar", "put a backup back into the working folder, which must be empty", cmdRestore},
        {"web-password", "[--clear]",
         "set the web page's password from the first line of standard input (stored as a salted slow hash); "
         "--clear removes it",
         cmdWebPassword},
    };
    return commands;
}
