// Playback: the time from Play to the first sound on the output device for a one-minute and a one-hour
// GSM recording, and the processor used while a recording plays with its trace. Needs a sound server:
// the sound goes to a null sink of the benchmark's own and is heard through its monitor (parec).
#include "audio/AudioConverter.h"
#include "audio/WavWriter.h"
#include "audio/drivers/GsmDriver.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "base/UnattendedPrompter.h"
#include "library/Catalogue.h"
#include "playback/PlaybackController.h"
#include "settings/SettingsModel.h"
#include "sound/OutputDevices.h"
#include "sound/Player.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cmath>
#include <sys/resource.h>

namespace {

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

/// Runs the event loop until `done` holds, looking every millisecond; false on the time-out.
template <typename Pred> bool waitFor(Pred done, int timeoutMs) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

/// Runs the event loop for `ms` without waking up for anything of its own.
void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QString pactl(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    p.waitForFinished(20000);
    return p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed() : QString();
}

/// A null sink of the benchmark's own, made the playback device, with parec on its monitor.
class Listener {
public:
    Listener() {
        m_module = pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                          QStringLiteral("sink_name=orlamo_bench"), QStringLiteral("rate=8000"),
                          QStringLiteral("channels=1"), QStringLiteral("format=s16le")});
        qputenv(OutputDevices::kDeviceVariable, "orlamo_bench");
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, [this] {
            const QByteArray bytes = m_parec.readAllStandardOutput();
            for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
                if (std::abs(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (bytes[i + 1] << 8))) > 1000)
                    m_loud = true;
        });
        m_parec.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("orlamo_bench.monitor"),
                                                QStringLiteral("--format=s16le"), QStringLiteral("--rate=8000"),
                                                QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=5")});
        m_parec.waitForStarted(10000);
    }
    ~Listener() {
        m_parec.kill();
        m_parec.waitForFinished(5000);
        if (!m_module.isEmpty())
            pactl({QStringLiteral("unload-module"), m_module});
    }
    bool ready() const { return !m_module.isEmpty(); }
    /// Stops recording the monitor: reading it costs this process wake-ups that are not playback's.
    void stopListening() {
        m_parec.kill();
        m_parec.waitForFinished(5000);
    }
    bool listening() const { return m_parec.state() == QProcess::Running; }
    void reset() { m_loud = false; }
    bool heard() const { return m_loud; }

private:
    QString m_module;
    QProcess m_parec;
    bool m_loud = false;
};

/// `seconds` of a speech-like GSM recording: ten seconds encoded, their blocks repeated.
void writeGsm(const QString& path, int seconds) {
    QByteArray pcm(8000 * 10 * 2, '\0');
    for (int i = 0; i < 8000 * 10; ++i) {
        const double t = i / 8000.0;
        const auto s = static_cast<int16_t>((0.6 + 0.4 * std::sin(2 * M_PI * 3 * t)) * 9000 *
                                            std::sin(2 * M_PI * (300 + 200 * std::sin(2 * M_PI * 0.5 * t)) * t));
        pcm[2 * i] = static_cast<char>(s & 0xFF);
        pcm[2 * i + 1] = static_cast<char>((s >> 8) & 0xFF);
    }
    AudioConverter converter;
    converter.setFormatIn(WaveFormat::pcm(8000, 16, 1));
    converter.setFormatOut(GsmDriver::gsmFormat(8000));
    QByteArray gsm;
    QObject::connect(&converter, &AudioConverter::audioConverted, [&gsm](const QByteArray& d) { gsm += d; });
    converter.open();
    converter.convert(pcm.constData(), pcm.size());
    converter.close();
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    WavWriter writer(file);
    writer.setFormat(GsmDriver::gsmFormat(8000));
    for (int i = 0; i < seconds / 10; ++i)
        writer.write(gsm.constData(), gsm.size());
}

Listener* g_listener = nullptr;

// Open and Play as the window does (the trace's copy decoding starts too), until the monitor hears it.
void BM_PlayToFirstSound(benchmark::State& state) {
    if (!g_listener || !g_listener->ready() || !g_listener->listening()) {
        state.SkipWithError("no sound server (source scripts/sound-server && start_sound_server)");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("call.wav"));
    writeGsm(path, static_cast<int>(state.range(0)));
    OutputDevices devices;
    for (auto _ : state) {
        Player player(&devices);
        g_listener->reset();
        QElapsedTimer clock;
        clock.start();
        player.open(path);
        player.play();
        if (!waitFor([] { return g_listener->heard(); }, 10000)) {
            state.SkipWithError("the sound never came");
            return;
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        player.close();
        idle(300); // the sink falls silent before the next round starts
    }
    state.SetLabel(std::to_string(state.range(0) / 60) + " min GSM");
}
BENCHMARK(BM_PlayToFirstSound)->Arg(60)->Arg(3600)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

// Ten seconds of a recording playing with Play, the tick and its trace block, as in the window.
// The one-hour recording includes decoding its whole copy for the trace on the second thread.
void BM_ProcessorWhilePlaying(benchmark::State& state) {
    if (!g_listener || !g_listener->ready()) {
        state.SkipWithError("no sound server");
        return;
    }
    g_listener->stopListening();
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("wav"));
    UnattendedPrompter prompter;
    Logger logger;
    Catalogue catalogue(dir.path(), prompter);
    catalogue.openCatalogue();
    RecordingEntry entry;
    entry.audioBytes = 1625 * state.range(0);
    entry.avgBytesPerSec = 1625;
    writeGsm(catalogue.wavPath(catalogue.addRecordingEntry(entry)), static_cast<int>(state.range(0)));
    Config config(dir.filePath(QStringLiteral("tvk.ini")));
    SettingsModel settings(config, dir.path());
    settings.load();
    OutputDevices devices;
    Player player(&devices);
    PlaybackController controller(logger, prompter, catalogue, settings, player, &devices);
    qint64 blocks = 0;
    QObject::connect(&controller, &PlaybackController::displayBlock, [&blocks](const QByteArray&) { ++blocks; });
    for (auto _ : state) {
        // The first ten seconds include decoding the trace's copy on the second thread; the next ten
        // are the steady state.
        auto measure = [](int ms) {
            const double before = processCpuMs();
            QElapsedTimer clock;
            clock.start();
            idle(ms);
            return 100.0 * (processCpuMs() - before) / static_cast<double>(clock.elapsed());
        };
        QElapsedTimer clock;
        clock.start();
        controller.play();
        const double first = measure(10000);
        const double steady = measure(10000);
        state.SetIterationTime(static_cast<double>(clock.elapsed()) / 1000.0);
        state.counters["cpu_pct_first_10s"] = first;
        state.counters["cpu_pct_steady"] = steady;
        state.counters["copy_done"] = player.decodedCopyDone() ? 1 : 0;
        state.counters["trace_blocks"] = static_cast<double>(blocks);
        controller.stopPlayback();
    }
    state.SetLabel(std::to_string(state.range(0) / 60) + " min GSM, trace on");
}
BENCHMARK(BM_ProcessorWhilePlaying)->Arg(60)->Arg(3600)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The player alone, without the tick or the trace's copy: what the sound itself costs.
void BM_ProcessorPlayerAlone(benchmark::State& state) {
    if (!g_listener || !g_listener->ready()) {
        state.SkipWithError("no sound server");
        return;
    }
    g_listener->stopListening();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("call.wav"));
    writeGsm(path, 60);
    OutputDevices devices;
    Player player(&devices);
    player.setDecodeCopy(false);
    for (auto _ : state) {
        player.open(path);
        player.play();
        idle(1000);
        const double before = processCpuMs();
        QElapsedTimer clock;
        clock.start();
        idle(10000);
        state.counters["cpu_pct"] = 100.0 * (processCpuMs() - before) / static_cast<double>(clock.elapsed());
        state.SetIterationTime(static_cast<double>(clock.elapsed()) / 1000.0);
        player.close();
    }
    state.SetLabel("1 min GSM, no trace");
}
BENCHMARK(BM_ProcessorPlayerAlone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Listener listener;
    g_listener = &listener;
    {
        // The first stream on a new sink pays for waking the sound server: not part of any figure.
        QTemporaryDir dir;
        writeGsm(dir.filePath(QStringLiteral("warm.wav")), 10);
        OutputDevices devices;
        Player player(&devices);
        player.open(dir.filePath(QStringLiteral("warm.wav")));
        player.play();
        waitFor([] { return g_listener->heard(); }, 10000);
        player.close();
        idle(300);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_listener = nullptr;
    return 0;
}
