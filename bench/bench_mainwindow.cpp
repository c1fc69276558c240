// The main window on a 100 000-row catalogue: from the program's start to the list's first paint,
// and scrolling the whole list page by page.
#include "BenchCatalogue.h"
#include "gui/MainWindow.h"
#include "gui/WindowedProgram.h"
#include "library/Catalogue.h"
#include "library/gui/RecordingsListView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

SilentPrompter g_prompter;

/// A working folder with `rows` recordings and ports that lead nowhere (no modem to wait for).
std::unique_ptr<QTemporaryDir> workingFolder(int rows) {
    auto dir = std::make_unique<QTemporaryDir>();
    QFile ini(dir->filePath(QStringLiteral("tvk.ini")));
    if (ini.open(QIODevice::WriteOnly)) {
        QByteArray text = "[Ports]\r\n";
        for (int i = 1; i <= 8; ++i)
            text += "Com" + QByteArray::number(i) + "=" + dir->filePath(QStringLiteral("none")).toUtf8() + "\r\n";
        ini.write(text + "[Modem]\r\nport=1\r\nModel=Bench\r\n");
    }
    ini.close();
    QDir(dir->path()).mkdir(QStringLiteral("wav"));
    Catalogue catalogue(dir->path(), g_prompter);
    catalogue.openCatalogue();
    fillCatalogue(catalogue, rows, [](int i) { return QStringLiteral("+49 30 %1 caller %2").arg(5550000 + i).arg(i); });
    catalogue.saveTree();
    catalogue.close();
    return dir;
}

/// Counts the paints of the list's viewport.
class PaintWatch : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void BM_StartToFirstPaint(benchmark::State& state) {
    const auto dir = workingFolder(int(state.range(0)));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        WindowedProgram program({QStringLiteral("--workdir"), dir->path()}, &g_prompter);
        program.create();
        PaintWatch watch;
        program.mainWindow()->recordingsList()->viewport()->installEventFilter(&watch);
        program.mainWindow()->show();
        while (watch.paints == 0 && clock.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        program.mainWindow()->close();
    }
}

void BM_ScrollTheWholeList(benchmark::State& state) {
    const auto dir = workingFolder(int(state.range(0)));
    WindowedProgram program({QStringLiteral("--workdir"), dir->path()}, &g_prompter);
    program.create();
    MainWindow& main = *program.mainWindow();
    main.show();
    QApplication::processEvents();
    RecordingsListView& list = *main.recordingsList();
    QScrollBar* bar = list.verticalScrollBar();
    for (auto _ : state) {
        for (int value = bar->minimum(); value <= bar->maximum(); value += std::max(1, bar->pageStep())) {
            bar->setValue(value);
            list.viewport()->repaint();
        }
    }
    state.counters["pages"] = double(bar->maximum() / std::max(1, bar->pageStep()) + 1);
    main.close();
}

} // namespace

BENCHMARK(BM_StartToFirstPaint)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScrollTheWholeList)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
