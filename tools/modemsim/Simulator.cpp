// The event loop and the pseudo-terminal's host side: who has the port open, bytes in and out, the line's
// scheduled events.
#include "modemsim/Simulator.h"

#include "modemsim/Call.h"
#include "modemsim/Escapes.h"
#include "modemsim/VoiceStream.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace modemsim {

namespace {

// While nobody has the port open the master reports a hang-up on every poll, so the loop waits on the
// device's open watch instead, and looks at the master at this interval in case the watch missed an open.
constexpr int ReopenCheckMs = 50;
// Stream bytes are produced in slices of this much real time.
constexpr double StreamSliceSeconds = 0.01;
// A host that stops reading makes the modem drop stream bytes beyond this backlog (an overrun).
constexpr size_t MaxBacklog = 256 * 1024;

} // namespace

Simulator::Simulator(Options options) : m_options(std::move(options)), m_epoch(Clock::now()) {}

Simulator::~Simulator() {
    if (m_logFile)
        std::fclose(m_logFile);
}

bool Simulator::open(std::string& error) {
    auto personality = findPersonality(m_options.profile, error);
    if (!personality)
        return false;
    if (!m_options.log.empty()) {
        m_logFile = std::fopen(m_options.log.c_str(), "a");
        if (!m_logFile) {
            error = "cannot write log file " + m_options.log;
            return false;
        }
    }
    AtModem::Hooks hooks;
    hooks.send = [this](std::string_view bytes) { send(bytes); };
    hooks.startReceive = [this] { startReceive(); };
    m_modem = std::make_unique<AtModem>(std::move(*personality), std::move(hooks));
    return plug(error);
}

bool Simulator::plug(std::string& error) {
    if (!m_pty.open(error))
        return false;
    if (!m_options.link.empty()) {
        struct stat st {};
        if (lstat(m_options.link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = m_options.link + " exists and is not a symbolic link";
                m_pty.close();
                return false;
            }
            ::unlink(m_options.link.c_str());
        }
        if (::symlink(m_pty.device().c_str(), m_options.link.c_str()) != 0) {
            error = "cannot link " + m_options.link + ": " + std::strerror(errno);
            m_pty.close();
            return false;
        }
    }
    m_hostOpen = false;
    m_modem->reset(); // a modem plugged in starts from its power-on state
    log("device " + m_pty.device() + " (" + m_modem->personality().name + ")");
    if (announce)
        announce("modemsim: " + m_pty.device());
    return true;
}

void Simulator::unplug() {
    if (!m_pty.isOpen())
        return;
    log("unplugged");
    m_stream.reset();
    m_out.clear();
    m_pty.close();
    m_hostOpen = false;
    m_modem->hostClosed();
}

double Simulator::lineNow() const {
    return std::chrono::duration<double>(Clock::now() - m_epoch).count() * m_options.speed;
}

Simulator::Clock::time_point Simulator::wallTime(double lineSeconds) const {
    return m_epoch +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(lineSeconds / m_options.speed));
}

void Simulator::log(const std::string& text) {
    if (!m_logFile)
        return;
    std::fprintf(m_logFile, "%.3f %s\n", lineNow(), text.c_str());
    std::fflush(m_logFile);
}

void Simulator::send(std::string_view bytes) {
    if (!m_hostOpen || !m_pty.isOpen())
        return; // nobody listens: what the modem says is lost, as on a real line with DTR down
    if (!m_stream)
        log("modem: " + printable(bytes));
    m_out.append(bytes);
}

void Simulator::hostGone() {
    if (!m_hostOpen)
        return;
    log("host closed the port (DTR dropped)");
    m_hostOpen = false;
    m_out.clear();
    m_pty.flush();
    if (m_stream)
        endReceive(true);
    m_modem->hostClosed();
}

void Simulator::flushOutput() {
    // Look for a close right before writing, so that a host that closed and reopened the port does not get
    // bytes meant for the one before.
    if (!m_out.empty() && m_pty.isOpen())
        watchHost();
    while (!m_out.empty() && m_hostOpen) {
        const ssize_t n = ::write(m_pty.masterFd(), m_out.data(), m_out.size());
        if (n > 0) {
            m_out.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO)
            hostGone();
        return;
    }
}

void Simulator::readHost() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_pty.masterFd(), buf, sizeof buf);
        if (n > 0) {
            const std::string_view bytes(buf, static_cast<size_t>(n));
            if (m_stream) {
                scanStreamInput(bytes);
            } else {
                log("host: " + printable(bytes));
                m_modem->receive(bytes);
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO)
            hostGone();
        return;
    }
}

void Simulator::scanStreamInput(std::string_view bytes) {
    log("host (stream): " + printable(bytes));
    for (const char c : bytes) {
        if (!m_streamDle) {
            m_streamDle = c == 0x10;
            continue;
        }
        m_streamDle = false;
        if (c == '!') {
            endReceive(false);
            // Bytes after the end of the stream are commands again.
            continue;
        }
    }
}

void Simulator::startReceive() {
    m_stream = std::make_unique<VoiceStream>(*m_modem->compression(), m_modem->sampleRate(), m_modem->silenceTenths(),
                                             lineNow());
    m_streamDle = false;
    log("voice receive starts");
}

void Simulator::endReceive(bool hostWentAway) {
    log(hostWentAway ? "voice receive ends: host gone" : "voice receive ends: DLE !");
    m_stream.reset();
    m_streamDle = false;
    if (!hostWentAway)
        m_modem->receiveEnded();
}

void Simulator::runLine(double now) {
    if (m_call) {
        for (const CallEvent& e : m_call->due(now)) {
            // An event in the voice stream comes after the sound up to its moment.
            if (m_stream && !streamUpTo(e.time))
                return;
            callEvent(e);
        }
    }
    if (m_stream)
        streamUpTo(now);
}

bool Simulator::streamUpTo(double t) {
    if (m_out.size() > MaxBacklog) {
        m_stream->skipTo(t);
        return true;
    }
    std::string bytes;
    m_stream->produce(t, m_call.get(), bytes);
    if (m_unplugAfter >= 0 && m_stream->bytesSent() >= m_unplugAfter) {
        const auto over = static_cast<size_t>(m_stream->bytesSent() - m_unplugAfter);
        bytes.resize(bytes.size() - std::min(over, bytes.size()));
        m_unplugAfter = -1;
        send(bytes);
        flushOutput();
        unplug();
        return false;
    }
    send(bytes);
    return true;
}

void Simulator::callEvent(const CallEvent& e) {
    switch (e.kind) {
    case CallEvent::Ring:
        log("ring");
        m_modem->ring();
        break;
    case CallEvent::CallerId:
        log("caller id " + m_call->number);
        m_modem->callerId(callerIdNow(m_call->number, m_call->name));
        break;
    case CallEvent::OffHook:
        setHandset(true);
        break;
    case CallEvent::OnHook:
        setHandset(false);
        break;
    case CallEvent::Digit:
        log(std::string("dialled ") + e.digit);
        if (const char code = m_modem->dtmfCode(e.digit, m_stream != nullptr))
            lineEvent(code);
        break;
    }
}

void Simulator::setHandset(bool offHook) {
    if (m_offHook == offHook)
        return;
    m_offHook = offHook;
    log(offHook ? "handset lifted" : "handset put down");
    if (const char code = m_modem->handsetCode(offHook, m_stream != nullptr))
        lineEvent(code);
}

void Simulator::lineEvent(char code) {
    if (m_stream) {
        std::string bytes;
        m_stream->event(code, bytes);
        send(bytes);
    } else {
        m_modem->sendEvent(code);
    }
}

double Simulator::nextDeadline(double now) const {
    double next = HUGE_VAL;
    if (m_call)
        next = std::min(next, m_call->nextEventTime());
    if (m_stream)
        next = std::min(next, now + StreamSliceSeconds * m_options.speed);
    return next;
}

void Simulator::watchHost() {
    // A host that closes and at once reopens the port never lets the master see the hang-up; the watch
    // still reports the close, and that is the DTR drop.
    if (m_pty.drainOpenWatch() && m_hostOpen)
        hostGone();
    if (!m_hostOpen) {
        pollfd probe{m_pty.masterFd(), POLLIN, 0};
        if (::poll(&probe, 1, 0) >= 0 && !(probe.revents & POLLHUP)) {
            m_hostOpen = true;
            log("host opened the port");
        }
    }
}

int Simulator::run(int controlFd) {
    std::string pending;
    bool controlOpen = true;
    while (!m_quit && controlOpen) {
        runLine(lineNow());
        flushOutput();

        // The host side comes first in the list and is served first, so that a port opened before a control
        // line was written is open when that line runs.
        pollfd fds[3];
        nfds_t count = 0;
        const bool watchMaster = m_pty.isOpen() && m_hostOpen;
        const bool watchOpen = m_pty.isOpen() && m_pty.openWatchFd() >= 0;
        if (watchOpen)
            fds[count++] = {m_pty.openWatchFd(), POLLIN, 0};
        const nfds_t masterIndex = count;
        if (watchMaster)
            fds[count++] = {m_pty.masterFd(), static_cast<short>(POLLIN | (m_out.empty() ? 0 : POLLOUT)), 0};
        const nfds_t controlIndex = count;
        fds[count++] = {controlFd, POLLIN, 0};

        const double now = lineNow();
        const double next = nextDeadline(now);
        int timeoutMs = -1;
        if (next < HUGE_VAL) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wallTime(next) - Clock::now());
            timeoutMs = static_cast<int>(std::clamp<long long>(wait.count() + 1, 0, 60000));
        }
        if (m_pty.isOpen() && !m_hostOpen)
            timeoutMs = timeoutMs < 0 ? ReopenCheckMs : std::min(timeoutMs, ReopenCheckMs);

        const int ready = ::poll(fds, count, timeoutMs);
        if (ready < 0 && errno != EINTR) {
            std::perror("modemsim: poll");
            return 1;
        }
        if (watchOpen && (fds[0].revents & POLLIN))
            watchHost();
        if (watchMaster && m_hostOpen && m_pty.isOpen()) {
            const short ev = fds[masterIndex].revents;
            if (ev & POLLIN)
                readHost();
            if (m_hostOpen && (ev & (POLLHUP | POLLERR)))
                hostGone();
        }
        if (m_pty.isOpen() && !m_hostOpen)
            watchHost();
        if (ready > 0 && (fds[controlIndex].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buf[4096];
            const ssize_t n = ::read(controlFd, buf, sizeof buf);
            if (n <= 0) {
                controlOpen = false;
            } else {
                pending.append(buf, static_cast<size_t>(n));
                size_t eol;
                while (!m_quit && (eol = pending.find('\n')) != std::string::npos) {
                    const std::string line = pending.substr(0, eol);
                    pending.erase(0, eol + 1);
                    std::string error;
                    if (!control(line, error))
                        std::fprintf(stderr, "modemsim: %s\n", error.c_str());
                    runLine(lineNow());
                    flushOutput();
                    if (executed)
                        executed();
                }
            }
        }
    }
    log("quit");
    return 0;
}

} // namespace modemsim
