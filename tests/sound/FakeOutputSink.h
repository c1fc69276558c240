// A scripted output device: keeps what was written and plays exactly as much as the test says.
#pragma once

#include "sound/OutputSink.h"

#include <QByteArray>
#include <memory>
#include <vector>

/// What the device saw; the test moves `played` to make buffers heard.
struct FakeSinkLog {
    QByteArray written;
    std::vector<qint64> writes; ///< the size of each write, in order
    qint64 played = 0;
    bool open = false;
    int opened = 0;
    bool suspended = false;
    bool failed = false;
    int drains = 0;
    double volume = 1.0;
    WaveFormat format;

    /// Everything written so far has been heard.
    void playAll() { played = written.size(); }
};

class FakeOutputSink : public OutputSink {
public:
    explicit FakeOutputSink(FakeSinkLog& log) : m_log(log) {}
    ~FakeOutputSink() override { m_log.open = false; }
    void write(const char* data, qint64 count) override {
        m_log.written.append(data, count);
        m_log.writes.push_back(count);
    }
    qint64 playedBytes() override { return std::min<qint64>(m_log.played, m_log.written.size()); }
    void suspend() override { m_log.suspended = true; }
    void resume() override { m_log.suspended = false; }
    void setVolume(double volume) override { m_log.volume = volume; }
    bool failed() override { return m_log.failed; }
    void drain() override { ++m_log.drains; }

private:
    FakeSinkLog& m_log;
};

inline OutputSinkFactory fakeSinkFactory(FakeSinkLog& log) {
    return [&log](const WaveFormat& format, const QAudioDevice&) {
        log.open = true;
        ++log.opened;
        log.format.assign(format);
        log.written.clear();
        log.writes.clear();
        log.played = 0;
        log.failed = false;
        return std::make_unique<FakeOutputSink>(log);
    };
}
