// Running the simulator on a thread.
#include "modemsim/SimulatorThread.h"

#include <fcntl.h>
#include <unistd.h>

namespace modemsim {

SimulatorThread::SimulatorThread(Options options) : m_simulator(std::move(options)) {
    m_simulator.announce = [this](const std::string& line) {
        std::lock_guard lock(m_mutex);
        m_device = line.substr(line.find('/'));
        ++m_announcements;
    };
    m_simulator.executed = [this] {
        std::lock_guard lock(m_mutex);
        ++m_executed;
        m_done.notify_all();
    };
}

SimulatorThread::~SimulatorThread() {
    stop();
    for (int fd : m_pipe)
        if (fd >= 0)
            ::close(fd);
}

bool SimulatorThread::start(std::string& error) {
    if (!m_simulator.open(error))
        return false;
    if (::pipe2(m_pipe, O_CLOEXEC) != 0) {
        error = "pipe failed";
        return false;
    }
    m_thread = std::thread([this] { m_simulator.run(m_pipe[0]); });
    return true;
}

void SimulatorThread::command(const std::string& line) {
    const std::string text = line + "\n";
    if (m_pipe[1] < 0 || !m_thread.joinable() || ::write(m_pipe[1], text.data(), text.size()) < 0)
        return;
    std::unique_lock lock(m_mutex);
    const long mine = ++m_sent;
    if (line != "quit")
        m_done.wait(lock, [&] { return m_executed >= mine; });
}

void SimulatorThread::stop() {
    if (!m_thread.joinable())
        return;
    command("quit");
    m_thread.join();
}

std::string SimulatorThread::device() const {
    std::lock_guard lock(m_mutex);
    return m_device;
}

int SimulatorThread::announcements() const {
    std::lock_guard lock(m_mutex);
    return m_announcements;
}

} // namespace modemsim
