// Reading a personality file: directives, one a line, that override a built-in personality.
#include "modemsim/Escapes.h"
#include "modemsim/Personality.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace modemsim {

namespace {

// Splits "WORD REST" at the first blank.
std::pair<std::string, std::string> splitWord(const std::string& line) {
    const size_t blank = line.find_first_of(" \t");
    if (blank == std::string::npos)
        return {line, {}};
    return {line.substr(0, blank), trimmed(line.substr(blank + 1))};
}

bool parseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parseCompression(const std::string& args, Compression& c) {
    std::istringstream in(args);
    std::string code, format, rates;
    if (!(in >> code >> format >> rates) || !parseInt(code, c.code))
        return false;
    const auto f = sampleFormatFromName(format);
    if (!f)
        return false;
    c.format = *f;
    c.rates.clear();
    std::istringstream r(rates);
    for (std::string rate; std::getline(r, rate, ',');) {
        int value = 0;
        if (!parseInt(rate, value) || value < 1000 || value > 48000)
            return false;
        c.rates.push_back(value);
    }
    return !c.rates.empty();
}

} // namespace

std::optional<Personality> loadPersonalityFile(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read personality file " + path;
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(trimmed(line));

    std::string baseName = "cx93001";
    for (const auto& line : lines) {
        auto [word, rest] = splitWord(line);
        if (upper(word) == "BASE")
            baseName = rest;
    }
    auto base = builtinPersonality(baseName);
    if (!base) {
        error = path + ": unknown base personality " + baseName;
        return std::nullopt;
    }
    Personality p = *base;
    p.name = path;
    bool compressionsReplaced = false;
    int number = 0;
    for (const auto& line : lines) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        auto [word, rest] = splitWord(line);
        const std::string directive = upper(word);
        auto fail = [&](const std::string& why) {
            error = path + ":" + std::to_string(number) + ": " + why;
            return std::nullopt;
        };
        if (directive == "BASE") {
            continue;
        } else if (directive == "REPLY") {
            auto [command, text] = splitWord(rest);
            if (command.empty())
                return fail("reply needs a command");
            p.replies[commandKey(command)] = decodeEscapes(text);
            p.rejected.erase(commandKey(command));
        } else if (directive == "REJECT" || directive == "SILENT") {
            if (rest.empty())
                return fail(word + " needs a command");
            (directive == "REJECT" ? p.rejected : p.silent).insert(commandKey(rest));
        } else if (directive == "MODEL") {
            p.model = decodeEscapes(rest);
            if (p.information.size() > 3)
                p.information[3] = p.model;
        } else if (directive == "MANUFACTURER") {
            p.manufacturer = decodeEscapes(rest);
        } else if (directive == "REVISION") {
            p.revision = decodeEscapes(rest);
        } else if (directive == "NOVOICE") {
            p.voice = false;
        } else if (directive == "HANDSET") {
            auto [letter, mode] = splitWord(rest);
            const std::string l = upper(letter);
            if ((l != "H" && l != "P" && l != "NONE") || (!mode.empty() && upper(mode) != "VOICE"))
                return fail("handset needs H, P or none, optionally followed by voice");
            p.handsetEvents = l == "NONE" ? 0 : l[0];
            p.handsetVoiceOnly = !mode.empty();
        } else if (directive == "DTMF") {
            if (!rest.empty() && upper(rest) != "VOICE")
                return fail("dtmf takes nothing or voice");
            p.dtmfEvents = true;
            p.dtmfVoiceOnly = !rest.empty();
        } else if (directive == "COMPRESSION") {
            Compression c;
            if (!parseCompression(rest, c))
                return fail("compression needs CODE FORMAT RATE[,RATE...] (formats u8 s8 s16 s14 ulaw alaw ima)");
            if (!compressionsReplaced)
                p.compressions.clear();
            compressionsReplaced = true;
            p.compressions.push_back(c);
        } else {
            return fail("unknown directive " + word);
        }
    }
    return p;
}

std::optional<Personality> findPersonality(const std::string& nameOrFile, std::string& error) {
    if (auto p = builtinPersonality(nameOrFile))
        return p;
    if (nameOrFile.find('/') == std::string::npos && nameOrFile.find('.') == std::string::npos) {
        std::ifstream probe(nameOrFile);
        if (!probe) {
            error = "unknown personality " + nameOrFile + " (built in: cx93001, usr5637, sv92, datamodem)";
            return std::nullopt;
        }
    }
    return loadPersonalityFile(nameOrFile, error);
}

} // namespace modemsim
