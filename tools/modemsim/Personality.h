// What distinguishes one modem model from another: identity texts, the replies to test commands, the voice
// compressions and ranges it accepts, its caller ID format and its quirks.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace modemsim {

/// The sample encodings a voice modem streams.
enum class SampleFormat { Unsigned8, Signed8, Linear16, Pcm14, Ulaw, Alaw, ImaAdpcm };

/// One voice compression the modem accepts with +VSM: its code and the sample rates allowed with it.
struct Compression {
    int code = 0;
    SampleFormat format = SampleFormat::Unsigned8;
    std::vector<int> rates;
};

enum class CallerIdStyle {
    Spaced,      ///< "DATE = 1015"
    Compact,     ///< "DATE=1015"
    LowerSpaced, ///< "date = 1015"
};

struct Personality {
    std::string name;
    std::string manufacturer;
    std::string model;
    std::string revision;
    /// ATI0..ATI10; a missing entry answers ERROR, an empty one just OK. ATI3 reports the model.
    std::vector<std::optional<std::string>> information;
    /// Information text by command (upper case, without "AT": "+VSM=?", "I4", "+VLS"). The modem frames the
    /// text with CR LF and adds OK. A key without form ("+VGR") answers every form of the command.
    std::map<std::string, std::string> replies;
    std::set<std::string> rejected; ///< commands (same keys) answered ERROR
    std::set<std::string> silent;   ///< commands answered with nothing at all
    bool voice = true;              ///< accepts +FCLASS=8
    bool prefixedReplies = false;   ///< "+GMM: ", "+VSM: " ... before identity texts and read forms
    std::vector<Compression> compressions;
    char vsmSeparator = ','; ///< the modem also takes this separator between +VSM values
    std::pair<int, int> receiveGain{0, 255};
    std::pair<int, int> transmitGain{0, 255};
    std::set<int> extraGains; ///< values outside the ranges that are also accepted (0 = automatic gain)
    int defaultGain = 128;
    std::set<int> lineSelections{0, 1};
    CallerIdStyle callerId = CallerIdStyle::Spaced;
    bool handsetEventAfterLineSelect = false; ///< sends DLE H after answering +VLS=1
    /// The local handset's line-current events: 'H' (DLE H off hook, DLE h on hook) or 'P' (DLE P, DLE p);
    /// 0 reports nothing.
    char handsetEvents = 0;
    bool handsetVoiceOnly = false; ///< reports the handset in command state only in voice mode (+FCLASS=8)
    bool dtmfEvents = false;       ///< reports DTMF digits dialled on the line as DLE 0..9, *, #
    bool dtmfVoiceOnly = false;    ///< ... in command state only in voice mode
};

/// The built-in personalities: "cx93001", "usr5637", "sv92", "datamodem".
std::vector<std::string> personalityNames();
std::optional<Personality> builtinPersonality(const std::string& name);

/// Normalises a command as written in a personality file ("at+vsm=?" -> "+VSM=?", "ATI3" -> "I3").
std::string commandKey(const std::string& command);

/// Reads a personality file over a base personality (the file's "base NAME" line, else "cx93001").
/// Directives: reply COMMAND TEXT, reject COMMAND, silent COMMAND, model TEXT, manufacturer TEXT,
/// revision TEXT, novoice, compression CODE FORMAT RATE[,RATE...], handset H|P [voice], dtmf [voice];
/// '#' starts a comment line.
std::optional<Personality> loadPersonalityFile(const std::string& path, std::string& error);

/// A built-in name or a personality file.
std::optional<Personality> findPersonality(const std::string& nameOrFile, std::string& error);

std::optional<SampleFormat> sampleFormatFromName(const std::string& name);

} // namespace modemsim
