// The control commands read from standard input, and the command line.
#include "modemsim/Call.h"
#include "modemsim/Escapes.h"
#include "modemsim/Simulator.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>

namespace modemsim {

namespace {

// "key=value key2="a b" word" -> {key: value, key2: a b, word: ""}; keys in lower case.
bool parseArguments(const std::string& text, std::map<std::string, std::string>& args, std::string& error) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == text.size())
            break;
        std::string key;
        while (i < text.size() && text[i] != '=' && !std::isspace(static_cast<unsigned char>(text[i])))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i++])));
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            if (i < text.size() && text[i] == '"') {
                ++i;
                while (i < text.size() && text[i] != '"') {
                    if (text[i] == '\\' && i + 1 < text.size())
                        value += text[i++];
                    value += text[i++];
                }
                if (i == text.size()) {
                    error = "unterminated quote in: " + text;
                    return false;
                }
                ++i;
                value = decodeEscapes(value);
            } else {
                while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
                    value += text[i++];
            }
        }
        args[key] = value;
    }
    return true;
}

bool number(const std::map<std::string, std::string>& args, const std::string& key, double& value, std::string& error) {
    const auto it = args.find(key);
    if (it == args.end())
        return true;
    char* end = nullptr;
    value = std::strtod(it->second.c_str(), &end);
    if (it->second.empty() || *end != '\0' || !std::isfinite(value) || value < 0) {
        error = "bad number for " + key + ": " + it->second;
        return false;
    }
    return true;
}

} // namespace

CallerId Simulator::callerIdNow(const std::string& number, const std::string& name) const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[8];
    char time[8];
    std::strftime(date, sizeof date, "%m%d", &local);
    std::strftime(time, sizeof time, "%H%M", &local);
    return {date, time, number, name};
}

bool Simulator::control(const std::string& rawLine, std::string& error) {
    const std::string line = trimmed(rawLine);
    if (line.empty() || line[0] == '#')
        return true;
    const size_t blank = line.find(' ');
    const std::string word = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    log("control: " + line);
    if (word == "quit") {
        m_quit = true;
        return true;
    }
    if (word == "send") {
        send(decodeEscapes(rest));
        return true;
    }
    if (word == "ring") {
        m_modem->ring();
        return true;
    }
    if (word == "unplug") {
        unplug();
        return true;
    }
    if (word == "plug") {
        if (m_pty.isOpen()) {
            error = "plug: the modem is plugged in";
            return false;
        }
        return plug(error);
    }
    if (word == "pickup" || word == "hangup") {
        if (!rest.empty()) {
            error = word + " takes no arguments";
            return false;
        }
        const bool lift = word == "pickup";
        if (m_call) {
            // Streamed sound up to now is the line before the handset moved.
            runLine(lineNow());
            if (lift)
                m_call->liftHandset(lineNow());
            else
                m_call->putDownHandset(lineNow());
        }
        setHandset(lift);
        return true;
    }
    if (word == "call")
        return controlCall(rest, error);
    if (word == "dial")
        return controlDial(rest, error);
    if (word == "cid")
        return controlCallerId(rest, error);
    if (word == "fault")
        return controlFault(rest, error);
    error = "unknown control command: " + line;
    return false;
}

bool Simulator::controlCall(const std::string& text, std::string& error) {
    std::map<std::string, std::string> args;
    if (!parseArguments(text, args, error))
        return false;
    for (const auto& [key, value] : args) {
        static const std::set<std::string> known = {"rings", "interval", "cid",    "name",  "audio",
                                                    "talk",  "end",      "endfor", "pickup"};
        if (!known.count(key)) {
            error = "call: unknown argument " + key;
            return false;
        }
    }
    auto call = std::make_unique<Call>();
    double rings = 1;
    double intervalMs = 6000;
    double talk = 10;
    double endFor = 0;
    double pickup = -1;
    if (!number(args, "rings", rings, error) || !number(args, "interval", intervalMs, error) ||
        !number(args, "talk", talk, error) || !number(args, "endfor", endFor, error) ||
        !number(args, "pickup", pickup, error))
        return false;
    if (rings > 1000 || intervalMs < 1) {
        error = "call: rings must be 0..1000 and interval at least 1 ms";
        return false;
    }
    call->start = lineNow();
    call->rings = static_cast<int>(rings);
    call->interval = intervalMs / 1000.0;
    call->talk = talk;
    call->endFor = endFor;
    call->pickup = pickup;
    if (args.count("cid")) {
        call->hasCallerId = true;
        call->number = args["cid"];
        call->name = args.count("name") ? args["name"] : "";
    }
    call->audio = makeAudioSource(args.count("audio") ? args["audio"] : "speech", error);
    if (!call->audio)
        return false;
    const std::string end = args.count("end") ? args["end"] : "silence";
    if (end != "silence" && end != "dialtone" && end != "busy" && end != "hangup") {
        error = "call: end must be silence, dialtone, busy or hangup";
        return false;
    }
    // "hangup": the local handset goes down when the talk ends; the line is silent after it.
    call->hangUpAtEnd = end == "hangup";
    call->ending = makeAudioSource(call->hangUpAtEnd ? "silence" : end, error);
    m_call = std::move(call);
    return true;
}

bool Simulator::controlDial(const std::string& text, std::string& error) {
    std::map<std::string, std::string> args;
    if (!parseArguments(text, args, error))
        return false;
    for (const auto& [key, value] : args) {
        if (key != "number" && key != "audio" && key != "talk") {
            error = "dial: unknown argument " + key;
            return false;
        }
    }
    const std::string digits = args.count("number") ? args["number"] : "";
    if (digits.empty() || digits.size() > 64 || digits.find_first_not_of("0123456789*#") != std::string::npos) {
        error = "dial: number must be 1 to 64 of 0-9, * and #";
        return false;
    }
    auto call = std::make_unique<Call>();
    double talk = 10;
    if (!number(args, "talk", talk, error))
        return false;
    call->start = lineNow();
    call->outgoing = true;
    call->rings = 0;
    call->digits = digits;
    call->talk = talk;
    call->hangUpAtEnd = true;
    call->audio = makeAudioSource(args.count("audio") ? args["audio"] : "speech", error);
    if (!call->audio)
        return false;
    m_call = std::move(call);
    return true;
}

bool Simulator::controlCallerId(const std::string& text, std::string& error) {
    std::map<std::string, std::string> args;
    if (!parseArguments(text, args, error))
        return false;
    CallerId id = callerIdNow(args["nmbr"], args["name"]);
    if (args.count("date"))
        id.date = args["date"];
    if (args.count("time"))
        id.time = args["time"];
    m_modem->callerId(id);
    return true;
}

bool Simulator::controlFault(const std::string& text, std::string& error) {
    std::map<std::string, std::string> args;
    if (!parseArguments(text, args, error))
        return false;
    Faults& f = m_modem->faults();
    for (const auto& [key, value] : args) {
        const long n = std::strtol(value.c_str(), nullptr, 10);
        if (key == "none") {
            f = Faults{};
            m_unplugAfter = -1;
        } else if (key == "silent") {
            f.silent = true;
        } else if (key == "noconnect") {
            f.noConnect = true;
        } else if (key == "noise" && n >= 0 && n <= 4096) {
            f.noise = static_cast<int>(n);
        } else if (key == "garbage" && n > 0 && n <= 65536) {
            std::string bytes;
            unsigned seed = 77;
            for (long i = 0; i < n; ++i) {
                seed = seed * 1103515245u + 12345u;
                bytes += static_cast<char>((seed >> 16) & 0xff);
            }
            send(bytes);
        } else if (key == "unplug" && n > 0) {
            m_unplugAfter = n;
        } else {
            error = "fault: expected none, silent, noconnect, noise=N, garbage=N or unplug=BYTES, got " + key;
            return false;
        }
    }
    return true;
}

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string speed;
        if (arg == "--link") {
            if (!value(options.link))
                return false;
        } else if (arg == "--profile") {
            if (!value(options.profile))
                return false;
        } else if (arg == "--log") {
            if (!value(options.log))
                return false;
        } else if (arg == "--speed") {
            if (!value(speed))
                return false;
            char* end = nullptr;
            options.speed = std::strtod(speed.c_str(), &end);
            if (*end != '\0' || !(options.speed >= 0.01 && options.speed <= 1000)) {
                error = "--speed must be a number from 0.01 to 1000";
                return false;
            }
        } else {
            error = "unknown option " + arg +
                    "\nusage: modemsim [--link PATH] [--profile NAME|FILE] [--speed FACTOR] [--log FILE]";
            return false;
        }
    }
    return true;
}

} // namespace modemsim
