// Starts the modemsim program for a test: a simulated voice modem on a pseudo-terminal behind a symbolic
// link in a temporary folder, driven by control lines on its standard input.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class ModemSim {
public:
    /// extraArgs go to modemsim, e.g. {"--profile", "usr5637", "--speed", "20"}.
    explicit ModemSim(QStringList extraArgs = {});
    ~ModemSim();
    ModemSim(const ModemSim&) = delete;
    ModemSim& operator=(const ModemSim&) = delete;

    /// Arguments for a simulator not started yet (a fixture that made it before knowing them).
    void setExtraArgs(const QStringList& args) { m_extraArgs = args; }
    /// Replaces the extra arguments; for a fixture that starts the simulator itself.
    void setArguments(QStringList extraArgs) { m_extraArgs = std::move(extraArgs); }
    /// Starts <ORLAMO_BIN_DIR>/modemsim --link <tempdir>/modem and waits for its "modemsim: DEVICE" line.
    bool start(int timeoutMs = 10000);
    /// The symbolic link the program opens (write it as Com1 of section Ports in tvk.ini).
    QString linkPath() const;
    /// Writes a tvk.ini whose port 1 is this simulator and ports 2 to 8 are absent, followed by `more`
    /// (further sections, CR LF lines). False when the file cannot be written.
    bool writeFirstStartConfig(const QString& iniPath, const QByteArray& more = {}) const;
    /// The pseudo-terminal device (the latest one after a "plug").
    QString device() const;
    /// Sends one control line ("ring", "call rings=2 interval=500 cid=5551234", "unplug", ...) and returns
    /// once the simulator has executed it; false when it did not answer within the timeout.
    bool command(const QString& line, int timeoutMs = 10000);
    /// True when the simulator announced a new device (after "plug") since the last call; waits for it.
    bool waitForDevice(int timeoutMs = 10000);
    /// Sends "quit" and waits for the program to end.
    void stop();

private:
    /// Reads standard output lines until `wanted` ("done" or a device line); device lines update device().
    bool readUntil(bool wantDevice, int timeoutMs);

    QStringList m_extraArgs;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
    QByteArray m_pending;
    bool m_newDevice = false;
};
