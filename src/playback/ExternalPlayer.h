// The external player: the program the user names in the settings, started on a recording's file.
#pragma once

#include <QString>
#include <functional>

class Prompter;

/// Starts `program` with the file as its one argument and does not follow it any further.
class ExternalPlayer {
public:
    static constexpr int kMaxCommandLength = 255;
    /// How a program is started: a detached process here; tests record the call instead.
    using Launcher = std::function<bool(const QString& program, const QString& path)>;

    explicit ExternalPlayer(Prompter& prompter);
    void setLauncher(Launcher launcher) { m_launch = std::move(launcher); }

    /// Shows "\"<path>\" file does not exist" when there is no such file, refuses a command longer than
    /// 255 characters, and says so when the program cannot be started. True when it was started.
    bool open(const QString& program, const QString& path);

private:
    Prompter& m_prompter;
    Launcher m_launch;
};
