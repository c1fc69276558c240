// Command line assembly, echo, command splitting, the basic and identity commands, and reply framing.
#include "modemsim/AtModem.h"

#include "modemsim/Escapes.h"

#include <cctype>
#include <cstdio>

namespace modemsim {

namespace {

constexpr char DLE = 0x10;
constexpr char ETX = 0x03;
constexpr size_t MaxLine = 255;

bool isDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

AtModem::AtModem(Personality personality, Hooks hooks)
    : m_personality(std::move(personality)), m_hooks(std::move(hooks)) {
    reset();
}

void AtModem::reset() {
    m_echo = true;
    m_verbose = true;
    m_quiet = false;
    m_fclass = "0";
    m_s.fill(0);
    m_s[2] = 43;
    m_s[3] = 13;
    m_s[4] = 10;
    m_s[5] = 8;
    m_s[6] = 2;
    m_s[7] = 50;
    m_s[8] = 2;
    m_s[10] = 14;
    if (!m_personality.compressions.empty()) {
        const Compression& c = m_personality.compressions.front();
        m_compressionCode = c.code;
        m_sampleRate = c.rates.front();
        for (int r : c.rates)
            if (r == 8000)
                m_sampleRate = r;
    }
    m_lineSelection = 0;
    m_receiveGain = m_personality.defaultGain;
    m_transmitGain = m_personality.defaultGain;
    m_silenceSensitivity = 128;
    m_silenceTenths = 50;
    m_callerIdMode = 0;
    m_values.clear();
}

const Compression* AtModem::compression() const {
    for (const auto& c : m_personality.compressions)
        if (c.code == m_compressionCode)
            return &c;
    return nullptr;
}

int AtModem::fclass() const {
    return m_fclass == "8" ? 8 : std::atoi(m_fclass.c_str());
}

void AtModem::hostClosed() {
    m_line.clear();
    m_lineSelection = 0;
}

void AtModem::receive(std::string_view bytes) {
    std::string echo;
    for (const char c : bytes) {
        if (!m_faults.silent && m_echo)
            echo += c;
        if (c == static_cast<char>(m_s[3])) {
            if (!echo.empty())
                m_hooks.send(echo);
            echo.clear();
            const std::string line = m_line;
            m_line.clear();
            executeLine(line);
            continue;
        }
        if (c == static_cast<char>(m_s[5])) {
            if (!m_line.empty())
                m_line.pop_back();
            continue;
        }
        if (c == '\n' || c == '\0')
            continue;
        if (m_line.size() < MaxLine)
            m_line += c;
        // "A/" repeats the previous command line at once, without a carriage return.
        const size_t n = m_line.size();
        if (n >= 2 && m_line[n - 1] == '/' && std::toupper(static_cast<unsigned char>(m_line[n - 2])) == 'A') {
            if (!echo.empty())
                m_hooks.send(echo);
            echo.clear();
            m_line.clear();
            executeLine(m_lastLine);
        }
    }
    if (!echo.empty())
        m_hooks.send(echo);
}

void AtModem::executeLine(const std::string& line) {
    // Anything before the "AT" prefix is line noise; a line without it is no command.
    size_t at = std::string::npos;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) == 'A' &&
            std::toupper(static_cast<unsigned char>(line[i + 1])) == 'T') {
            at = i;
            break;
        }
    }
    if (at == std::string::npos || m_faults.silent)
        return;
    const std::string text = line.substr(at);
    m_lastLine = text;
    std::vector<Command> commands;
    if (!splitCommands(text.substr(2), commands)) {
        sendResult(Result::Error);
        return;
    }
    std::string info;
    std::string after;
    for (const auto& c : commands) {
        const Result r = execute(c, info);
        if (r == Result::Nothing)
            return;
        if (r == Result::Error || r == Result::Connect) {
            if (!info.empty())
                m_hooks.send(info);
            sendResult(r);
            if (r == Result::Connect && m_hooks.startReceive)
                m_hooks.startReceive();
            return;
        }
        if (c.name == "Z")
            break;
        if (c.name == "+VLS" && c.form == "=" && c.args == "1" && m_personality.handsetEventAfterLineSelect)
            after = std::string{DLE, 'H'};
    }
    if (!info.empty())
        m_hooks.send(info);
    sendResult(Result::Ok);
    if (!after.empty())
        m_hooks.send(after);
}

bool AtModem::splitCommands(const std::string& raw, std::vector<Command>& out) const {
    // Blanks are ignored and letters compared in upper case, except inside quotes.
    std::string text;
    bool quoted = false;
    for (char c : raw) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == ' ' || c == '\t'))
            continue;
        text += quoted ? c : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    auto digitsAt = [&](size_t& i) {
        std::string d;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            d += text[i++];
        return d;
    };
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        Command cmd;
        if (c == ';') {
            ++i;
            continue;
        }
        if (c == '+' || c == '#' || c == '%') {
            cmd.name = c;
            ++i;
            while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i])))
                cmd.name += text[i++];
            if (cmd.name.size() < 2)
                return false;
            if (i + 1 < text.size() && text[i] == '=' && text[i + 1] == '?') {
                cmd.form = "=?";
                i += 2;
            } else if (i < text.size() && text[i] == '=') {
                cmd.form = "=";
                ++i;
                bool inQuotes = false;
                while (i < text.size()) {
                    const char a = text[i];
                    if (a == '"')
                        inQuotes = !inQuotes;
                    // A modem that separates +VSM values with ';' reads "1;8000" as one argument list.
                    const bool vsmSeparator = cmd.name == "+VSM" && m_personality.vsmSeparator == ';' &&
                                              i + 1 < text.size() &&
                                              std::isdigit(static_cast<unsigned char>(text[i + 1]));
                    if (a == ';' && !inQuotes && !vsmSeparator)
                        break;
                    cmd.args += a;
                    ++i;
                }
            } else if (i < text.size() && text[i] == '?') {
                cmd.form = "?";
                ++i;
            }
        } else if (c == '&') {
            if (i + 1 >= text.size() || !std::isalpha(static_cast<unsigned char>(text[i + 1])))
                return false;
            cmd.name = text.substr(i, 2);
            i += 2;
            cmd.args = digitsAt(i);
        } else if (c == 'S') {
            ++i;
            const std::string reg = digitsAt(i);
            if (reg.empty())
                return false;
            cmd.name = "S" + reg;
            if (i < text.size() && text[i] == '?') {
                cmd.form = "?";
                ++i;
            } else if (i < text.size() && text[i] == '=') {
                cmd.form = "=";
                ++i;
                cmd.args = digitsAt(i);
            } else {
                return false;
            }
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            cmd.name = std::string(1, c);
            ++i;
            cmd.args = digitsAt(i);
        } else {
            return false;
        }
        out.push_back(cmd);
    }
    return true;
}

bool AtModem::listed(const std::set<std::string>& set, const Command& c) const {
    return set.count(c.key()) || set.count(c.name + c.form) || set.count(c.name);
}

std::optional<std::string> AtModem::replyFor(const Command& c) const {
    const auto& replies = m_personality.replies;
    for (const std::string& key : {c.key(), c.name}) {
        const auto it = replies.find(key);
        if (it != replies.end())
            return it->second;
    }
    return std::nullopt;
}

AtModem::Result AtModem::execute(const Command& c, std::string& info) {
    if (listed(m_personality.silent, c))
        return Result::Nothing;
    if (listed(m_personality.rejected, c))
        return Result::Error;
    // Voice commands exist only in voice mode; caller ID works in every class.
    const bool voiceCommand = c.name.rfind("+V", 0) == 0 && c.name != "+VCID";
    if (voiceCommand && m_fclass != "8")
        return Result::Error;
    if (const auto reply = replyFor(c)) {
        if (c.name == "+VRX" && c.form.empty())
            return executeVoice(c, info);
        sendInfo(info, *reply);
        return Result::Ok;
    }
    if (c.name[0] == '+' || c.name[0] == '#' || c.name[0] == '%')
        return c.name.rfind("+V", 0) == 0 ? executeVoice(c, info) : executeExtended(c, info);
    return executeBasic(c, info);
}

AtModem::Result AtModem::executeBasic(const Command& c, std::string& info) {
    const std::string& n = c.name;
    const int value = c.args.empty() ? 0 : std::atoi(c.args.c_str());
    if (n == "E" || n == "V" || n == "Q") {
        if (value > 1)
            return Result::Error;
        (n == "E" ? m_echo : n == "V" ? m_verbose : m_quiet) = value == 1;
        return Result::Ok;
    }
    if (n == "Z" || n == "&F") {
        reset();
        return Result::Ok;
    }
    if (n == "I") {
        const auto& texts = m_personality.information;
        if (value < 0 || static_cast<size_t>(value) >= texts.size() || !texts[value])
            return Result::Error;
        const std::string text = value == 3 ? m_personality.model : *texts[value];
        if (!text.empty())
            sendInfo(info, text);
        return Result::Ok;
    }
    if (n[0] == 'S' && n.size() > 1) {
        const int reg = std::atoi(n.c_str() + 1);
        if (reg > 255)
            return Result::Error;
        if (c.form == "?") {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%03d", m_s[reg]);
            sendInfo(info, buf);
            return Result::Ok;
        }
        if (!isDigits(c.args) || std::atoi(c.args.c_str()) > 255)
            return Result::Error;
        m_s[reg] = std::atoi(c.args.c_str());
        return Result::Ok;
    }
    if (n == "H") {
        m_lineSelection = 0;
        return Result::Ok;
    }
    // Settings real modems accept and that change nothing on this line.
    static const std::set<std::string> accepted = {"B",  "L",  "M",  "N",  "X",  "Y",  "&C",
                                                   "&D", "&K", "&S", "&W", "&Y", "&Q", "\\N"};
    if (accepted.count(n))
        return Result::Ok;
    return Result::Error;
}

std::string AtModem::identity(const std::string& name, const std::string& value) const {
    return m_personality.prefixedReplies ? name + ": " + value : value;
}

AtModem::Result AtModem::executeExtended(const Command& c, std::string& info) {
    const std::string& n = c.name;
    if (n == "+FCLASS") {
        if (c.form == "?") {
            sendInfo(info, m_personality.prefixedReplies ? "+FCLASS: " + m_fclass : m_fclass);
            return Result::Ok;
        }
        if (c.form != "=")
            return Result::Error;
        static const std::set<std::string> dataClasses = {"0", "1", "1.0", "2", "2.0"};
        if (c.args == "8" ? !m_personality.voice : !dataClasses.count(c.args))
            return Result::Error;
        m_fclass = c.args;
        return Result::Ok;
    }
    const bool identityQuery = c.form == "?" || c.form.empty();
    if (n == "+GMM" || n == "+FMM" || n == "+CGMM") {
        if (c.form == "=?")
            return Result::Ok;
        if (!identityQuery)
            return Result::Error;
        sendInfo(info, identity(n, m_personality.model));
        return Result::Ok;
    }
    if (n == "+GMI" || n == "+FMI" || n == "+CGMI") {
        if (c.form == "=?")
            return Result::Ok;
        if (!identityQuery)
            return Result::Error;
        sendInfo(info, identity(n, m_personality.manufacturer));
        return Result::Ok;
    }
    if (n == "+GMR" || n == "+FMR" || n == "+CGMR") {
        if (c.form == "=?")
            return Result::Ok;
        if (!identityQuery)
            return Result::Error;
        sendInfo(info, identity(n, m_personality.revision));
        return Result::Ok;
    }
    // Any other command the personality describes with a test-form reply is a setting it keeps.
    if (m_personality.replies.count(n + "=?")) {
        if (c.form == "=")
            m_values[n] = c.args;
        else if (c.form == "?")
            sendInfo(info, m_values.count(n) ? m_values[n] : "0");
        return Result::Ok;
    }
    return Result::Error;
}

void AtModem::sendInfo(std::string& info, const std::string& text) {
    info += m_verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

std::string AtModem::noise() {
    std::string bytes;
    for (int i = 0; i < m_faults.noise; ++i) {
        m_noiseSeed = m_noiseSeed * 1103515245u + 12345u;
        bytes += static_cast<char>((m_noiseSeed >> 16) & 0xff);
    }
    return bytes;
}

void AtModem::sendResult(Result r) {
    if (m_quiet || r == Result::Nothing || r == Result::Quiet)
        return;
    const char* word = r == Result::Ok ? "OK" : r == Result::Error ? "ERROR" : "CONNECT";
    const char* code = r == Result::Ok ? "0" : r == Result::Error ? "4" : "1";
    m_hooks.send(noise() + (m_verbose ? std::string("\r\n") + word + "\r\n" : std::string(code) + "\r"));
}

void AtModem::ring() {
    if (m_faults.silent)
        return;
    m_s[1] = (m_s[1] + 1) & 0xff;
    if (!m_quiet)
        m_hooks.send(m_verbose ? "\r\nRING\r\n" : "2\r");
}

char AtModem::handsetCode(bool offHook, bool streaming) const {
    const char letter = m_personality.handsetEvents;
    if (letter == 0 || m_faults.silent || (!streaming && m_personality.handsetVoiceOnly && m_fclass != "8"))
        return 0;
    return offHook ? letter : static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

char AtModem::dtmfCode(char digit, bool streaming) const {
    if (!m_personality.dtmfEvents || m_faults.silent || (!streaming && m_personality.dtmfVoiceOnly && m_fclass != "8"))
        return 0;
    return digit;
}

void AtModem::sendEvent(char code) {
    m_hooks.send(std::string{DLE, code});
}

void AtModem::receiveEnded() {
    m_hooks.send(std::string{DLE, ETX});
    sendResult(Result::Ok);
}

} // namespace modemsim
