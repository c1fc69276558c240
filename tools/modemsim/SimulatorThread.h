// The simulator on a thread of its own inside a test program: control lines go through a pipe.
#pragma once

#include "modemsim/Simulator.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace modemsim {

class SimulatorThread {
public:
    explicit SimulatorThread(Options options);
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    /// Opens the modem and starts its loop; false with a message in error.
    bool start(std::string& error);
    /// One control line, executed by the simulator's thread in order; returns when it has been executed.
    void command(const std::string& line);
    /// Sends "quit" and waits for the loop to end.
    void stop();
    /// The latest device the simulator announced.
    std::string device() const;
    /// How many devices were announced so far (one more after each "plug").
    int announcements() const;

private:
    Simulator m_simulator;
    std::thread m_thread;
    int m_pipe[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::string m_device;
    int m_announcements = 0;
    std::condition_variable m_done;
    long m_sent = 0;
    long m_executed = 0;
};

} // namespace modemsim
