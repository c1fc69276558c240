// The whole recording data path: the modem's shielded 8-bit PCM in serial-sized chunks, through the DLE
// removal, the file converter to a GSM 6.10 WAV on disk, the trace converter and the line analysis.
#include "audio/drivers/GsmDriver.h"
#include "base/Logger.h"
#include "recorder/RecordingPath.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>
#include <unistd.h>

namespace {

constexpr int kRate = 8000;
constexpr int kChunk = 256;
constexpr int kSourceSeconds = 60;

/// A minute of speech-like unsigned 8-bit samples, as the modem sends them: the receive command's reply
/// in front is left out, DLE bytes doubled.
QByteArray shieldedSpeech() {
    QByteArray out;
    uint32_t noise = 12345;
    for (int i = 0; i < kSourceSeconds * kRate; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1103515245u + 12345u;
        const double pitch = 180 + 60 * std::sin(2 * std::numbers::pi * 0.3 * t);
        const double v =
            (0.5 + 0.5 * std::sin(2 * std::numbers::pi * 3.7 * t)) *
                (40 * std::sin(2 * std::numbers::pi * pitch * t) + 15 * std::sin(2 * std::numbers::pi * 1400 * t)) +
            static_cast<double>((noise >> 16) & 0xf) - 8;
        const char c = static_cast<char>(std::lround(std::fmin(255, std::fmax(0, 128 + v))));
        out.append(c);
        if (c == DleFilter::kDle)
            out.append(c);
    }
    return out;
}

double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

/// Resident set size in KiB, from /proc/self/statm.
double residentKib() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

/// One recording into a GSM 6.10 file in a temporary folder, with the analysis on as under AutoRecord.
struct Session {
    Logger logger;
    QFile file;
    std::unique_ptr<RecordingFileWriter> writer;
    RecordingPath path{logger};

    explicit Session(const QString& fileName, bool gsm = true) : file(fileName) {
        file.open(QIODevice::ReadWrite | QIODevice::Truncate);
        writer = std::make_unique<RecordingFileWriter>(file);
        writer->setFormat(gsm ? GsmDriver::gsmFormat(kRate) : WaveFormat::pcm(kRate, 8, 1));
        path.start(WaveFormat::pcm(kRate, 8, 1), writer.get(), false, 10);
        path.setTrace(true);
        path.setAnalyse(true);
        path.feed(QByteArrayLiteral("\r\nCONNECT\r\n"));
    }
    ~Session() {
        path.finish(true);
        writer.reset();
        file.close();
    }
    /// The stream bytes of `seconds` seconds from the source, from byte `at` on, in kChunk pieces.
    qsizetype feedSeconds(const QByteArray& source, qsizetype at, int seconds) {
        // The source is cycled; a second of it is about kRate stream bytes (a few more for the doubled DLE).
        const qsizetype want = static_cast<qsizetype>(seconds) * source.size() / kSourceSeconds;
        for (qsizetype done = 0; done < want;) {
            const qsizetype n = std::min<qsizetype>({kChunk, want - done, source.size() - at});
            path.feed(QByteArrayView(source).sliced(at, n));
            done += n;
            at = (at + n) % source.size();
        }
        return at;
    }
};

void BM_RecordingPathPerSecond(benchmark::State& state) {
    const QByteArray source = shieldedSpeech();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("Recorded.wav"));
    // Argument 1: the GSM 6.10 file of the task; 0: an 8-bit PCM file, which shows the path without the encoder.
    const bool gsm = state.range(0) != 0;
    auto session = std::make_unique<Session>(fileName, gsm);
    qsizetype at = 0;
    int secondsInFile = 0;
    double cpuMs = 0;
    int64_t audioSeconds = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        at = session->feedSeconds(source, at, 1);
        cpuMs += processCpuMs() - before;
        ++audioSeconds;
        if (++secondsInFile == 600) {
            // A new recording every 10 minutes of sound keeps the file a call's size.
            state.PauseTiming();
            session.reset();
            session = std::make_unique<Session>(fileName, gsm);
            secondsInFile = 0;
            state.ResumeTiming();
        }
    }
    state.counters["cpu_ms_per_audio_s"] = cpuMs / static_cast<double>(audioSeconds);
    state.counters["written_bytes"] = static_cast<double>(session->writer->writtenBytes());
}
BENCHMARK(BM_RecordingPathPerSecond)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_OneHourCall(benchmark::State& state) {
    const QByteArray source = shieldedSpeech();
    for (auto _ : state) {
        const double before = processCpuMs();
        QTemporaryDir dir;
        Session session(dir.filePath(QStringLiteral("Recorded.wav")));
        qsizetype at = 0;
        double first = 0, last = 0, max = 0;
        std::string trail;
        for (int minute = 0; minute < 60; minute += 5) {
            at = session.feedSeconds(source, at, 300);
            last = residentKib();
            if (minute == 0)
                first = last;
            max = std::max(max, last);
            trail += std::to_string(static_cast<long>(last)) + (minute < 55 ? " " : "");
        }
        state.counters["rss_first_kib"] = first;
        state.counters["rss_last_kib"] = last;
        state.counters["rss_max_kib"] = max;
        state.counters["rss_growth_kib"] = last - first;
        state.counters["file_bytes"] = static_cast<double>(session.writer->writtenBytes());
        state.counters["cpu_ms_per_audio_s"] = (processCpuMs() - before) / 3600.0;
        state.SetLabel("RSS KiB every 5 min: " + trail);
    }
}
BENCHMARK(BM_OneHourCall)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
