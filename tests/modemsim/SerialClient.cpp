// The raw serial client used by the simulator's tests.
#include "SerialClient.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

SerialClient::~SerialClient() {
    close();
}

bool SerialClient::open(const std::string& path) {
    close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0)
        return false;
    termios tio{};
    tcgetattr(m_fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_fd, TCSANOW, &tio);
    return true;
}

void SerialClient::close() {
    m_pending.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void SerialClient::write(const std::string& bytes) {
    size_t done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, 1000);
        } else {
            return;
        }
    }
}

std::string SerialClient::command(const std::string& line, int timeoutMs) {
    write(line + "\r");
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string got;
    for (;;) {
        size_t first = std::string::npos;
        for (const std::string end : {"OK\r\n", "ERROR\r\n", "CONNECT\r\n"}) {
            const size_t at = got.find(end);
            if (at != std::string::npos && (first == std::string::npos || at + end.size() < first))
                first = at + end.size();
        }
        if (first != std::string::npos) {
            m_pending = got.substr(first) + m_pending;
            got.resize(first);
            return got;
        }
        const std::string more = readFor(0);
        if (!more.empty()) {
            got += more;
            continue;
        }
        pollfd p{m_fd, POLLIN, 0};
        if (remainingMs(deadline) == 0 || ::poll(&p, 1, remainingMs(deadline)) <= 0 || (p.revents & POLLHUP))
            return got;
    }
}

std::string SerialClient::readUntil(const std::string& text, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string got = readFor(0);
    while (got.find(text) == std::string::npos) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, remainingMs(deadline)) <= 0 || !(p.revents & POLLIN))
            break;
        const std::string more = readFor(0);
        if (more.empty())
            break; // hang-up: the device is gone
        got += more;
    }
    return got;
}

std::string SerialClient::readBytes(size_t count, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string got = readFor(0);
    while (got.size() < count) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, remainingMs(deadline)) <= 0 || !(p.revents & POLLIN))
            break;
        const std::string more = readFor(0);
        if (more.empty())
            break; // hang-up: the device is gone
        got += more;
    }
    return got;
}

std::string SerialClient::readFor(int ms) {
    std::string got;
    got.swap(m_pending);
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        char buf[4096];
        const ssize_t n = m_fd >= 0 ? ::read(m_fd, buf, sizeof buf) : -1;
        if (n > 0) {
            got.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (ms == 0 || remainingMs(deadline) == 0)
            return got;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, remainingMs(deadline)) <= 0 || !(p.revents & POLLIN))
            return got;
    }
}

bool SerialClient::waitForHangup(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{m_fd, POLLIN, 0};
        const int r = ::poll(&p, 1, remainingMs(deadline));
        if (r <= 0)
            return false;
        if (p.revents & (POLLHUP | POLLERR))
            return true;
        char buf[4096];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n < 0 && errno == EIO)
            return true;
    }
}
