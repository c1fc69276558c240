// The simulator's event loop: the pseudo-terminal, the control commands, the line (rings, caller ID, the
// call's sound) and the voice stream, all on one thread that sleeps in poll() until something happens.
#pragma once

#include "modemsim/AtModem.h"
#include "modemsim/Pty.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace modemsim {

struct Call;
struct CallEvent;
class VoiceStream;

struct Options {
    std::string link;                ///< symbolic link made to point at the device
    std::string profile = "cx93001"; ///< built-in personality name or personality file
    double speed = 1.0;              ///< audio and ring cadences run this many times faster than real time
    std::string log;                 ///< dialogue log file
};

/// Parses the command line; false with a message in error on a bad option.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

class Simulator {
public:
    explicit Simulator(Options options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    /// Loads the personality, creates the pseudo-terminal and the link.
    bool open(std::string& error);
    const std::string& device() const { return m_pty.device(); }

    /// Called with "modemsim: DEVICE" whenever a device is ready (at open and after "plug").
    std::function<void(const std::string&)> announce;

    /// Called after each control line has been executed (the in-process runner waits on it).
    std::function<void()> executed;

    /// Runs until "quit" or the end of the control input; returns the exit status.
    int run(int controlFd);

    /// Executes one control line (also used by run()); false on a malformed command.
    bool control(const std::string& line, std::string& error);

private:
    using Clock = std::chrono::steady_clock;

    double lineNow() const;
    Clock::time_point wallTime(double lineSeconds) const;
    void send(std::string_view bytes);
    void log(const std::string& text);
    void hostGone();
    void watchHost();
    void unplug();
    bool plug(std::string& error);
    void readHost();
    void flushOutput();
    void runLine(double now);
    /// Produces the voice stream up to line time t; false when the modem was unplugged on the way.
    bool streamUpTo(double t);
    void callEvent(const CallEvent& event);
    /// The local handset goes off (or on) hook; the modem reports it if it does such things.
    void setHandset(bool offHook);
    /// DLE `code` to the host: in the voice stream while one runs, else in command state.
    void lineEvent(char code);
    void startReceive();
    void endReceive(bool hostGone);
    void scanStreamInput(std::string_view bytes);
    bool controlCall(const std::string& args, std::string& error);
    bool controlDial(const std::string& args, std::string& error);
    bool controlCallerId(const std::string& args, std::string& error);
    bool controlFault(const std::string& args, std::string& error);
    CallerId callerIdNow(const std::string& number, const std::string& name) const;
    double nextDeadline(double now) const;

    Options m_options;
    Pty m_pty;
    std::unique_ptr<AtModem> m_modem;
    std::unique_ptr<VoiceStream> m_stream;
    std::unique_ptr<Call> m_call;
    Clock::time_point m_epoch;
    bool m_hostOpen = false;
    bool m_quit = false;
    bool m_streamDle = false;     ///< the host's last stream byte was a DLE
    bool m_offHook = false;       ///< the local handset is lifted
    long long m_unplugAfter = -1; ///< unplug when a stream has sent this many bytes
    std::string m_out;
    std::FILE* m_logFile = nullptr;
};

} // namespace modemsim
