// The pseudo-terminal pair the simulated modem sits on: the master side is the modem, the slave device is
// the serial port the host opens.
#pragma once

#include <string>

namespace modemsim {

class Pty {
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    /// Creates the pair, puts the line into raw mode and makes the master non-blocking.
    bool open(std::string& error);
    /// Closes the master; the slave device disappears, as a USB modem's device does when unplugged.
    void close();

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    const std::string& device() const { return m_device; }

    /// A descriptor that becomes readable when someone opens or closes the device (-1 if unavailable).
    int openWatchFd() const { return m_watch; }
    /// Empties the open watch's queue; true when it reported that the device was closed.
    bool drainOpenWatch();

    /// Discards what the modem sent that the host has not read (the host has closed the port).
    void flush();

private:
    int m_master = -1;
    int m_watch = -1;
    std::string m_device;
};

} // namespace modemsim
