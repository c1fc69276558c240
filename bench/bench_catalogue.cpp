// Catalogue speed and memory: open, append one recording and save, and Locate, at 1 000 to 100 000 rows.
#include "BenchCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

SilentPrompter g_prompter;

// Memos as they come from caller identification and from users' notes.
QString memo(int i) {
    static const char* const names[] = {
        "Mueller, Hans", "Dr. Schmidt", "Pizza Roma", "Mum", "Insurance claim 4711", "Landlord about the heating", "",
        "Bank"};
    return QStringLiteral("+49 30 %1 %2").arg(1000000 + (i * 7919) % 9000000).arg(QLatin1String(names[i % 8]));
}

// A working folder holding a catalogue of `rows` recordings, made once per size.
QString catalogueOf(int rows) {
    static QMap<int, std::shared_ptr<QTemporaryDir>> folders;
    if (folders.contains(rows))
        return folders[rows]->path();
    auto dir = std::make_shared<QTemporaryDir>();
    QDir(dir->path()).mkdir(QStringLiteral("wav"));
    Catalogue catalogue(dir->path(), g_prompter);
    catalogue.openCatalogue();
    fillCatalogue(catalogue, rows, memo);
    folders[rows] = dir;
    return dir->path();
}

long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void BM_Open(benchmark::State& state) {
    const QString folder = catalogueOf(int(state.range(0)));
    for (auto _ : state) {
        Catalogue catalogue(folder, g_prompter);
        catalogue.openCatalogue();
        benchmark::DoNotOptimize(catalogue.recordings().recordCount());
    }
    state.counters["peak_MB"] = double(peakKilobytes()) / 1024.0;
}

void BM_AppendAndSave(benchmark::State& state) {
    const QString folder = catalogueOf(int(state.range(0)));
    Catalogue catalogue(folder, g_prompter);
    catalogue.openCatalogue();
    RecordingEntry entry;
    entry.audioBytes = 8000 * 95;
    entry.avgBytesPerSec = 8000;
    entry.callerIdEnabled = true;
    entry.callerId = QStringLiteral("+49 30 5551234");
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.addRecordingEntry(entry));
    // Keep the catalogue at its size for the other benchmarks.
    catalogue.recordings().setBeforeDelete(nullptr);
    while (catalogue.recordings().recordCount() > state.range(0)) {
        catalogue.recordings().last();
        catalogue.recordings().deleteRecord();
    }
}

void BM_Locate(benchmark::State& state) {
    const int rows = int(state.range(0));
    Catalogue catalogue(catalogueOf(rows), g_prompter);
    catalogue.openCatalogue();
    const QString last = QStringLiteral("%1").arg(rows - 1, 8, 36, QLatin1Char('0'));
    for (auto _ : state) {
        catalogue.recordings().first();
        benchmark::DoNotOptimize(catalogue.recordings().locate(QStringLiteral("id"), last));
    }
}

} // namespace

BENCHMARK(BM_Open)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendAndSave)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Locate)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
