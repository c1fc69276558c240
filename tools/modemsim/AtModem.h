// The modem's command state: assembles AT command lines from the host's bytes, echoes them, executes the
// commands the way the selected personality does and frames the replies as a verbose (or numeric) modem.
#pragma once

#include "modemsim/Personality.h"

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace modemsim {

/// A caller ID report as the line delivers it.
struct CallerId {
    std::string date; ///< MMDD
    std::string time; ///< HHMM
    std::string number;
    std::string name;
};

/// Faults a test can switch on.
struct Faults {
    bool silent = false;    ///< the modem answers nothing and echoes nothing
    bool noConnect = false; ///< +VRX answers nothing and streams nothing
    int noise = 0;          ///< garbage bytes before every reply
};

class AtModem {
public:
    struct Hooks {
        std::function<void(std::string_view)> send; ///< bytes to the host
        std::function<void()> startReceive;         ///< +VRX answered CONNECT: the voice stream begins
    };

    AtModem(Personality personality, Hooks hooks);

    /// Bytes from the host while the modem is in command state.
    void receive(std::string_view bytes);
    /// The host dropped DTR (closed the port): hang up, drop the half-typed line.
    void hostClosed();
    /// Power-on / ATZ state.
    void reset();

    void ring();
    /// Sends the caller ID report in the form +VCID selects; nothing when caller ID is off.
    void callerId(const CallerId& id);
    /// The voice stream ended on the host's DLE !: DLE ETX, then OK.
    void receiveEnded();
    /// The DLE code this modem reports for the local handset going off hook (or on hook), in a voice
    /// stream when `streaming`, else in command state; 0 when it reports nothing there.
    char handsetCode(bool offHook, bool streaming) const;
    /// The DLE code of a dialled DTMF digit, likewise; 0 when not reported.
    char dtmfCode(char digit, bool streaming) const;
    /// DLE `code` in command state.
    void sendEvent(char code);

    Faults& faults() { return m_faults; }
    const Personality& personality() const { return m_personality; }

    // The voice settings the stream uses.
    const Compression* compression() const;
    int sampleRate() const { return m_sampleRate; }
    int silenceTenths() const { return m_silenceTenths; }
    int fclass() const;

private:
    enum class Result { Ok, Error, Connect, Nothing, Quiet };
    struct Command {
        std::string name; ///< "E", "I", "S", "&F", "+VSM"
        std::string form; ///< "", "?", "=?", "=" (with args)
        std::string args;
        std::string key() const { return name + form + args; }
    };

    void executeLine(const std::string& line);
    bool splitCommands(const std::string& text, std::vector<Command>& out) const;
    Result execute(const Command& c, std::string& info);
    Result executeBasic(const Command& c, std::string& info);
    Result executeExtended(const Command& c, std::string& info);
    Result executeVoice(const Command& c, std::string& info);
    std::optional<std::string> replyFor(const Command& c) const;
    bool listed(const std::set<std::string>& set, const Command& c) const;
    void sendInfo(std::string& info, const std::string& text);
    void sendResult(Result r);
    std::string identity(const std::string& name, const std::string& value) const;
    std::string noise();

    Personality m_personality;
    Hooks m_hooks;
    Faults m_faults;

    std::string m_line;
    std::string m_lastLine;
    bool m_echo = true;
    bool m_verbose = true;
    bool m_quiet = false;
    std::string m_fclass = "0";
    std::array<int, 256> m_s{};
    int m_compressionCode = 0;
    int m_sampleRate = 8000;
    int m_lineSelection = 0;
    int m_receiveGain = 128;
    int m_transmitGain = 128;
    int m_silenceSensitivity = 128;
    int m_silenceTenths = 50;
    int m_callerIdMode = 0;
    std::map<std::string, std::string> m_values; ///< other settings, by command name
    unsigned m_noiseSeed = 12345;
};

} // namespace modemsim
