// Creating and closing the pseudo-terminal pair.
#include "modemsim/Pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace modemsim {

Pty::~Pty() {
    close();
}

bool Pty::open(std::string& error) {
    close();
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("grantpt/unlockpt: ") + std::strerror(errno);
        ::close(master);
        return false;
    }
    char name[256];
    if (ptsname_r(master, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        ::close(master);
        return false;
    }
    // The line settings belong to the pair and survive the host's closing and reopening the device, so a
    // raw line set once here is what every host sees until it changes it.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        error = std::string("open ") + name + ": " + std::strerror(errno);
        ::close(master);
        return false;
    }
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        tcsetattr(slave, TCSANOW, &tio);
    }
    ::close(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    m_master = master;
    m_device = name;
    // Opening the device shows up here at once, so the host's first bytes and the modem's first report
    // are never lost to a late look at the master.
    m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
    return true;
}

void Pty::close() {
    if (m_master >= 0)
        ::close(m_master);
    if (m_watch >= 0)
        ::close(m_watch);
    m_master = -1;
    m_watch = -1;
}

bool Pty::drainOpenWatch() {
    bool closed = false;
    alignas(inotify_event) char buf[4096];
    ssize_t n;
    while (m_watch >= 0 && (n = ::read(m_watch, buf, sizeof buf)) > 0) {
        for (ssize_t pos = 0; pos + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buf + pos);
            closed = closed || (event->mask & IN_CLOSE);
            pos += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return closed;
}

void Pty::flush() {
    if (m_master >= 0)
        tcflush(m_master, TCOFLUSH);
}

} // namespace modemsim
