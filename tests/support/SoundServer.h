// A null sink of the test's own on the user's sound server, a recording of its monitor, and a silent
// stream that keeps the sink running so the recording runs in real time.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <memory>
#include <vector>

/// Loaded with `pactl` (8 kHz, mono, 16-bit: what Orlamo plays reaches the monitor unresampled) and
/// unloaded when destroyed. Each test has its own, so tests running side by side never hear each other.
class NullSink {
public:
    /// Null when there is no sound server to load a sink on; `reason` then says why.
    static std::unique_ptr<NullSink> create(QString* reason);
    ~NullSink();
    NullSink(const NullSink&) = delete;
    NullSink& operator=(const NullSink&) = delete;

    /// The sink's name, which is also its output device id.
    const QByteArray& name() const { return m_name; }

private:
    NullSink(QByteArray name, QString module) : m_name(std::move(name)), m_module(std::move(module)) {}
    QByteArray m_name;
    QString m_module;
};

/// Records the sink's monitor with parec as 8 kHz mono 16-bit samples, while a pacat stream of zeros
/// keeps the sink running: one recorded sample is then one sample of time.
class MonitorRecording {
public:
    static constexpr int kRate = 8000;

    explicit MonitorRecording(const QByteArray& sink);
    ~MonitorRecording();
    /// Starts both programs and waits until the monitor delivers; false (with `reason`) when it does not.
    bool start(QString* reason);
    /// Samples recorded so far.
    qint64 size() const { return m_bytes.size() / 2; }
    std::vector<int16_t> samples() const;
    /// Waits until `count` more samples than now have arrived; false on the time-out.
    bool waitForMore(qint64 count, int timeoutMs = 30000);
    /// Waits until at least `total` samples have arrived.
    bool waitForSize(qint64 total, int timeoutMs = 30000);

private:
    QByteArray m_sink;
    QProcess m_parec;
    QProcess m_keeper;
    QByteArray m_bytes;
};

/// Skips the test without a sound server, saying why; in CI (CI set) it fails instead, since the test
/// script starts one there.
#define ORLAMO_REQUIRE_SOUND(reason)                                                                                   \
    do {                                                                                                               \
        if (qEnvironmentVariableIsEmpty("CI"))                                                                         \
            GTEST_SKIP() << "no sound server: " << (reason).toStdString();                                             \
        FAIL() << "no sound server: " << (reason).toStdString();                                                       \
    } while (false)
