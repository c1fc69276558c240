// A plain serial client for the simulator's tests: opens the device raw, writes commands and waits for
// replies with poll(). It knows nothing of the program's modem code.
#pragma once

#include <string>

class SerialClient {
public:
    ~SerialClient();
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    void write(const std::string& bytes);
    /// Sends "command\r" and returns what arrives up to and including the first final result code (or what
    /// came when the timeout passed); bytes after the result code stay for the next read.
    std::string command(const std::string& line, int timeoutMs = 5000);
    /// Reads until `text` has arrived; returns everything read (with `text`), or what came when it timed out.
    std::string readUntil(const std::string& text, int timeoutMs = 5000);
    /// Reads until at least `count` bytes arrived.
    std::string readBytes(size_t count, int timeoutMs = 10000);
    /// Reads what arrives within `ms` (used only to collect output that must not come).
    std::string readFor(int ms);
    /// True when the device reports a hang-up or an error (the modem vanished).
    bool waitForHangup(int timeoutMs = 5000);

private:
    int m_fd = -1;
    std::string m_pending; ///< read but not yet handed out
};
